#include "core/base/TextRoutines.h"

#include <gtest/gtest.h>

using namespace zarn::text;

struct NumberCase {
    const char* text;
    std::optional<double> expected;
};

// Readable case names in test output.
void PrintTo(const NumberCase& c, std::ostream* os) {
    *os << '"' << c.text << '"';
}

class TolerantNumber : public ::testing::TestWithParam<NumberCase> {};

TEST_P(TolerantNumber, ReadsOrReportsConversionError) {
    const auto& c = GetParam();
    const auto value = tolerantNumber(c.text);
    ASSERT_EQ(value.has_value(), c.expected.has_value()) << c.text;
    if (c.expected) {
        EXPECT_DOUBLE_EQ(*value, *c.expected) << c.text;
    }
}

INSTANTIATE_TEST_SUITE_P(Cases, TolerantNumber,
                         ::testing::Values(NumberCase{"12,5 V", 12.5}, NumberCase{"<0.01", 0.01},
                                           NumberCase{"> 999 MOhm", 999.0},
                                           NumberCase{"1.234,5", std::nullopt},
                                           NumberCase{"abc", std::nullopt},
                                           NumberCase{"", std::nullopt},
                                           NumberCase{".", std::nullopt}, NumberCase{"7", 7.0}));

TEST(DigitsToInt, KeepsDigitsAndRejectsOverflow) {
    EXPECT_EQ(digitsToInt("a1b2"), 12);
    EXPECT_EQ(digitsToInt("OBJECTX"), 0);
    EXPECT_EQ(digitsToInt(""), 0);
    EXPECT_EQ(digitsToInt("2147483647"), 2147483647);
    EXPECT_EQ(digitsToInt("2147483648"), 0);
    EXPECT_EQ(digitsToInt("99999999999999999999999"), 0);
    EXPECT_EQ(digitsToInt("0000000000000000000007"), 7);
}

TEST(Fields, SplitCountReplaceRemove) {
    EXPECT_EQ(field("1\r2\r3", 2), "2");
    EXPECT_EQ(field("1\r2\r3", 3), "3");
    EXPECT_EQ(field("1\r2\r3", 4), "");
    EXPECT_EQ(field("", 1), "");
    EXPECT_EQ(field("a;;c", 2, ';'), "");
    EXPECT_EQ(field("a;;c", 0, ';'), "");
    EXPECT_EQ(countFields("a\rb"), 2);
    EXPECT_EQ(countFields(""), 1);
    auto s = splitAt("key=value=x", '=');
    EXPECT_TRUE(s.found);
    EXPECT_EQ(s.before, "key");
    EXPECT_EQ(s.after, "value=x");
    s = splitAt("novalue", '=');
    EXPECT_FALSE(s.found);
    EXPECT_EQ(s.before, "novalue");
    EXPECT_EQ(replaceChar("a_b_c", '_', ' '), "a b c");
    EXPECT_EQ(removeChars(" \r", "a b\rc"), "abc");
}
