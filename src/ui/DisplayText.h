// The edge between the program's bytes and what a window shows.
//
// Texts are kept as bytes everywhere below the windows: language texts, names read from
// structure files, instrument strings. Windows turn them into QString here and nowhere
// else, and turn what the user types back into UTF-8 bytes.
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
// Text the user typed, as the bytes the program stores (UTF-8).
std::string fromDisplay(const QString& text);

} // namespace zarn
