#include "core/comm/Identification.h"

#include "sim/InstrumentSimulator.h"

#include <gtest/gtest.h>
#include <optional>

using namespace zarn;
using namespace std::string_literals;

namespace {

TEST(Identification, TypeCodeGivesTheFamily) {
    const struct {
        std::string payload;
        std::optional<int> family;
    } cases[] = {
        {"\x10\x00"s, 16},       {"\x74\x00"s, 16},  // 116 counts as 16
        {"\x04\x00"s, 4},        {"\xC7\x00"s, 99},  // 199
        {"\x63\x00"s, 99},       {"\xC8\x00"s, 200}, // 99 and 200 stay
        {"\x10\x01"s, 16},                           // 272: the low byte
        {"\x74"s, std::nullopt}, {""s, std::nullopt},
    };
    for (const auto& c : cases)
        EXPECT_EQ(decodeIdentification(c.payload).familyCode, c.family) << int(c.payload.size());
}

TEST(Identification, StringsDropLineFeedsAndStopAtThePayloadEnd) {
    auto id = decodeIdentification("\x10\x00"
                                   "A\nB\0\0C\r\nD\0unterminated"s);
    EXPECT_EQ(id.strings[0], "AB");
    EXPECT_EQ(id.strings[1], "");
    EXPECT_EQ(id.strings[2], "C\rD");
    EXPECT_EQ(id.strings[3], "unterminated");
    for (size_t i = 4; i < 10; ++i)
        EXPECT_EQ(id.strings[i], "");
    // More than ten strings: the rest is not read.
    std::vector<std::string> many(12, "x");
    many[10] = "eleven";
    id = decodeIdentification(identificationPayload(16, many));
    EXPECT_EQ(id.strings[9], "x");
}

TEST(Identification, FixedTextsAndTheHeaderRow) {
    std::vector<std::string> s = {"name",     "code",
                                  "line3",    "SN42",
                                  "firm\x01", "user\r\x7F\x80\x1F",
                                  "line7",    std::string(60, '8'),
                                  "line9",    "line10"};
    auto id = decodeIdentification(identificationPayload(116, s));
    applyFixedTexts(id);
    EXPECT_EQ(id.strings[0], "KAVOX 5");
    EXPECT_EQ(id.strings[1], "K204B");
    EXPECT_EQ(id.strings[4], "Fanrik Osterlamp");
    EXPECT_EQ(id.strings[7], std::string(50, '8'));

    const auto row = identificationRowOf(id);
    EXPECT_EQ(row.instrument,
              "KAVOX 5\rK204B\rline3\rSN42\rline7\r" + std::string(50, '8') + "\rline9\rline10");
    EXPECT_EQ(row.firm, "Fanrik Osterlamp");
    EXPECT_EQ(row.user, "user\r\x7F  ");

    const auto fresh = instrumentDataOf(id);
    EXPECT_EQ(fresh.instrumentLines,
              (std::vector<std::string>{"KAVOX 5", "K204B", "line3", "line7", std::string(50, '8'),
                                        "line9", "line10"}));
    EXPECT_EQ(fresh.serialNumber, "SN42");
    EXPECT_EQ(fresh.firmLines, std::vector<std::string>{"Fanrik Osterlamp"});
    EXPECT_EQ(fresh.userLines, (std::vector<std::string>{"user", "\x7F  "}));

    const auto shown = instrumentDataOf(row);
    EXPECT_EQ(shown.instrumentLines,
              (std::vector<std::string>{"KAVOX 5", "K204B", "line3", "line7"}));
    EXPECT_EQ(shown.serialNumber, "SN42");
    EXPECT_EQ(shown.userLines, fresh.userLines);
}

} // namespace
