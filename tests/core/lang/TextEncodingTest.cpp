#include "core/lang/TextEncoding.h"

#include <gtest/gtest.h>
#include <iconv.h>

using namespace zarn;

namespace {

// The reference: glibc's own conversion of the whole text.
std::string iconvReference(const std::string& bytes, const char* codePage) {
    iconv_t cd = iconv_open("UTF-8", codePage);
    EXPECT_NE(cd, reinterpret_cast<iconv_t>(-1));
    std::string in = bytes;
    std::string out(bytes.size() * 4, '\0');
    char* inPtr = in.data();
    char* outPtr = out.data();
    size_t inLeft = in.size();
    size_t outLeft = out.size();
    EXPECT_NE(iconv(cd, &inPtr, &inLeft, &outPtr, &outLeft), static_cast<size_t>(-1));
    iconv_close(cd);
    out.resize(out.size() - outLeft);
    return out;
}

} // namespace

TEST(TextEncoding, Windows1250BytesDecodeAsIconvDoes) {
    const std::string stored = "\x8A"
                               "ola \x9A"
                               "ola \xE8"
                               "rka"; // Šola šola črka
    EXPECT_EQ(displayText(stored, 1250), iconvReference(stored, "WINDOWS-1250"));
    EXPECT_EQ(displayText(stored, 1250), "\xC5\xA0ola \xC5\xA1ola \xC4\x8Drka");
    // The same bytes in a Western file are other letters.
    EXPECT_EQ(displayText("\x8A\x9A\xE8", 1252), "\xC5\xA0\xC5\xA1\xC3\xA8"); // Š š è
    EXPECT_EQ(displayText("\xC8", 1251), "\xD0\x98");                         // И
}

TEST(TextEncoding, ValidUtf8IsKeptAndEverythingElseIsDecoded) {
    struct Case {
        std::string bytes;
        bool valid;
    };
    const Case cases[] = {
        {"", true},
        {"plain ASCII\r", true},
        {"\xC5\xA0ola \xE2\x84\xA6", true}, // Šola Ω
        {"\xF0\x9F\x94\x8C", true},         // 4-byte sequence
        {"\xC5", false},                    // cut sequence
        {"\xC0\xAF", false},                // overlong
        {"\xE0\x80\xAF", false},            // overlong, 3 bytes
        {"\xED\xA0\x80", false},            // surrogate
        {"\xF4\x90\x80\x80", false},        // above U+10FFFF
        {"\xC5\xA0\x8A", false},            // UTF-8 followed by a code-page byte
    };
    for (const auto& c : cases) {
        EXPECT_EQ(isValidUtf8(c.bytes), c.valid) << c.bytes;
        const std::string shown = displayText(c.bytes, 1250);
        EXPECT_TRUE(isValidUtf8(shown)) << c.bytes;
        if (c.valid) {
            EXPECT_EQ(shown, c.bytes);
        }
    }
    // A mixed text is decoded as a whole with the code page.
    EXPECT_EQ(displayText("\xC5\xA0\x8A", 1250), "\xC4\xB9\xC2\xA0\xC5\xA0"); // Ĺ nbsp Š
}

TEST(TextEncoding, UndefinedBytesBecomeReplacementCharacters) {
    // 0x98 has no character in windows-1250; the text around it survives.
    EXPECT_EQ(displayText("a\x98"
                          "b\x8A",
                          1250),
              "a\xEF\xBF\xBD"
              "b\xC5\xA0");
}

TEST(TextEncoding, CodePageOfTheLanguage) {
    const std::pair<int, int> cases[] = {{1060, 1250}, {1050, 1250}, {1029, 1250}, {1045, 1250},
                                         {1038, 1250}, {2074, 1250}, {1071, 1251}, {1049, 1251},
                                         {3098, 1251}, {1026, 1251}, {1058, 1251}, {1033, 1252},
                                         {1031, 1252}, {1036, 1252}, {0, 1252}};
    for (const auto& [lcid, codePage] : cases)
        EXPECT_EQ(codePageForLcid(lcid), codePage) << lcid;
    EXPECT_EQ(displayTextForLcid("\xE8", 1060), "\xC4\x8D");
    EXPECT_EQ(displayTextForLcid("\xE8", 1049), "\xD0\xB8");
    EXPECT_EQ(displayTextForLcid("\xE8", 1033), "\xC3\xA8");
}

// Typed text goes into the code page when all of it fits there, and stays UTF-8 otherwise.
TEST(TextEncoding, TypedTextIsStoredInTheCodePageWhenItFits) {
    struct Case {
        const char* name;
        std::string typed;
        int codePage;
        std::string stored;
    };
    const Case cases[] = {
        {"ascii", "Kitchen 1", 1250, "Kitchen 1"},
        {"slovene letters in 1250", "\xC4\x8Crka \xC5\xA1ola", 1250, "\xC8rka \x9Aola"},
        {"cyrillic in 1251", "\xD0\x98\xD0\xB8", 1251, "\xC8\xE8"},
        {"western letters in 1252", "Caf\xC3\xA9 \xE2\x82\xAC", 1252, "Caf\xE9 \x80"},
        {"C with caron does not fit 1252",
         "Ku\xC4\x8D"
         "a",
         1252,
         "Ku\xC4\x8D"
         "a"},
        {"ohm sign fits no code page", "1 \xE2\x84\xA6", 1250, "1 \xE2\x84\xA6"},
        {"one foreign letter keeps all of it UTF-8", "\xC4\x8D\xD0\x98", 1250, "\xC4\x8D\xD0\x98"},
        // In 1252 these two letters are the bytes C3 A9, which would show as one letter.
        {"bytes that would read as UTF-8", "\xC3\x83\xC2\xA9", 1252, "\xC3\x83\xC2\xA9"},
        {"not UTF-8 at all", "\xE8", 1250, "\xE8"},
    };
    for (const Case& c : cases) {
        const std::string stored = storedText(c.typed, c.codePage);
        EXPECT_EQ(stored, c.stored) << c.name;
        // Whatever is stored shows as what was typed.
        if (isValidUtf8(c.typed)) {
            EXPECT_EQ(displayText(stored, c.codePage), c.typed) << c.name;
        }
    }
}

// A text left as it was shown keeps its bytes, whatever they are.
TEST(TextEncoding, UnchangedTextKeepsItsOriginalBytes) {
    struct Case {
        const char* name;
        std::string original;
        int codePage;
    };
    const Case cases[] = {
        {"code page", "\xC8rka", 1250},
        {"UTF-8 that would fit the code page", "\xC4\x8Crka", 1250},
        {"byte the code page leaves undefined",
         "a\x98"
         "b",
         1250},
        {"empty", "", 1252},
    };
    for (const Case& c : cases) {
        const std::string shown = displayText(c.original, c.codePage);
        EXPECT_EQ(storedText(shown, c.original, c.codePage), c.original) << c.name;
        // An edit is stored as new typed text.
        EXPECT_EQ(storedText(shown + "x", c.original, c.codePage),
                  storedText(shown + "x", c.codePage))
            << c.name;
    }
    EXPECT_EQ(storedText("\xC4\x8Crka 2", "\xC8rka", 1250), "\xC8rka 2");
}
