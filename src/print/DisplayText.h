// The edge between the program's bytes and what a window shows.
//
// Texts are kept as bytes everywhere below the windows: language texts, names read from
// structure files, instrument strings. Windows turn them into QString here and nowhere
// else, and turn what the user types back into the bytes the program keeps.
#pragma once

#include <QString>
#include <string>
#include <string_view>

namespace zarn {

// Sets the Windows code page used for bytes that are not valid UTF-8 (1250, 1251, 1252).
void setDisplayCodePage(int codePage);
int displayCodePage();

// Stored bytes as text for display.
QString toDisplay(std::string_view bytes);
// Text the user typed, as the bytes the program keeps: in the code page of the language when
// every character fits, otherwise UTF-8.
std::string toStored(const QString& typed);
// As above; a text the user left as `original` was shown keeps the original bytes.
std::string toStored(const QString& typed, std::string_view original);
// As UTF-8, for texts that are no part of a document (file names go through QFile).
std::string fromDisplay(const QString& text);

} // namespace zarn
