// Stored text to display text, and typed text to stored text.
//
// The core keeps every text as the bytes it was read or received as. The program's texts are
// single-byte texts in the Windows code page of their language: files travel to the
// instruments' other software, which reads them that way. The shipped language files are
// UTF-8. For display a text is read as UTF-8 when it is valid UTF-8, and otherwise decoded
// with the code page of the language in use, so old files are shown correctly and written
// back unchanged. What the user types is stored in the code page when every character has a
// byte there, and as UTF-8 only when one has not, so nothing typed is lost.
#pragma once

#include <string>
#include <string_view>

namespace zarn {

// True when the bytes are well-formed UTF-8 (no overlong forms, surrogates or values above
// U+10FFFF). Plain ASCII is valid UTF-8.
bool isValidUtf8(std::string_view bytes);

// The Windows ANSI code page of a locale id: 1251 for Cyrillic languages (Russian 1049,
// Macedonian 1071, Bulgarian 1026, Serbian Cyrillic 3098, ...), 1250 for Central European ones
// (Slovenian 1060, Croatian, Czech, Slovak, Polish, Hungarian, Romanian, Serbian Latin, ...),
// 1252 for all others.
int codePageForLcid(int lcid);

// The bytes as UTF-8: unchanged when already valid UTF-8, else decoded from `codePage`
// (1250, 1251 or 1252). Bytes the code page leaves undefined become U+FFFD.
std::string displayText(std::string_view bytes, int codePage);

// As above, with the code page of the locale id.
inline std::string displayTextForLcid(std::string_view bytes, int lcid) {
    return displayText(bytes, codePageForLcid(lcid));
}

// Typed text (UTF-8) as the bytes to store: encoded in `codePage` when every character has a
// byte there and the bytes show as the same text again; otherwise the UTF-8 unchanged.
std::string storedText(std::string_view typed, int codePage);

// As above, but a text the user left as `original` shows keeps the original bytes, even
// bytes the code page does not define.
std::string storedText(std::string_view typed, std::string_view original, int codePage);

} // namespace zarn
