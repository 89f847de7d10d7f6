#include "core/app/PrintMargins.h"

#include <filesystem>
#include <gtest/gtest.h>

using namespace zarn;

struct MarginCase {
    const char* text;
    std::optional<double> mm;
};

void PrintTo(const MarginCase& c, std::ostream* os) {
    *os << '"' << c.text << '"';
}

class MarginText : public ::testing::TestWithParam<MarginCase> {};

TEST_P(MarginText, ReadsCentimetresAsMillimetres) {
    const auto& c = GetParam();
    MarginTexts texts;
    texts.setText(MarginSide::Top, c.text);
    if (!c.mm) {
        try {
            marginsInMillimetres(texts);
            FAIL() << "no error for " << c.text;
        } catch (const EMarginError& e) {
            EXPECT_EQ(e.side(), MarginSide::Top);
            EXPECT_NE(std::string(e.what()).find("top margin"), std::string::npos) << e.what();
        }
        return;
    }
    EXPECT_DOUBLE_EQ(marginsInMillimetres(texts).top, *c.mm);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, MarginText,
    ::testing::Values(MarginCase{"2.5", 25.0}, MarginCase{"2,5", 25.0}, MarginCase{"2.54", 25.4},
                      MarginCase{" 1,5 cm", 15.0}, MarginCase{"0", 0.0},
                      MarginCase{"", std::nullopt}, MarginCase{"cm", std::nullopt},
                      MarginCase{"1,2.3", std::nullopt}, MarginCase{"1e3", 10.0},
                      MarginCase{"9999999999999999999999999999999999999999999999999999999999999"
                                 "9999999999999999999999999999999999999999999999999999999999999"
                                 "9999999999999999999999999999999999999999999999999999999999999"
                                 "9999999999999999999999999999999999999999999999999999999999999"
                                 "9999999999999999999999999999999999999999999999999999999999999"
                                 "9999999",
                                 std::nullopt}));

TEST(MarginTexts, DefaultsAndRoundTripThroughSettings) {
    const auto dir = std::filesystem::temp_directory_path() / "zarn-margins-test";
    std::filesystem::create_directories(dir);
    const PrivateProfile settings((dir / "ZARN.INI").string());
    std::filesystem::remove(settings.path());

    const MarginTexts defaults = MarginTexts::load(settings);
    EXPECT_DOUBLE_EQ(marginsInMillimetres(defaults).left, 25.4);

    MarginTexts typed;
    typed.setText(MarginSide::Left, "1,5");
    typed.setText(MarginSide::Bottom, "3.0");
    typed.save(settings);
    EXPECT_EQ(MarginTexts::load(settings), typed); // the decimal comma stays as typed
    std::filesystem::remove_all(dir);
}

struct RangeCase {
    const char* from;
    const char* to;
    int pages;
    std::optional<PageRange> range;
};

void PrintTo(const RangeCase& c, std::ostream* os) {
    *os << '"' << c.from << "\"-\"" << c.to << "\" of " << c.pages;
}

class SelectPages : public ::testing::TestWithParam<RangeCase> {};

TEST_P(SelectPages, DigitsRule) {
    const auto& c = GetParam();
    EXPECT_EQ(selectedPageRange(c.from, c.to, c.pages), c.range);
}

INSTANTIATE_TEST_SUITE_P(Cases, SelectPages,
                         ::testing::Values(RangeCase{"1", "5", 5, PageRange{1, 5}},
                                           RangeCase{"3", "2", 5, PageRange{2, 2}}, // page 2 only
                                           RangeCase{"", "2", 5, std::nullopt},
                                           RangeCase{"0", "2", 5, std::nullopt},
                                           RangeCase{"1", "6", 5, std::nullopt},
                                           RangeCase{"2", "", 5, std::nullopt},
                                           RangeCase{"p.2", "4x", 5, PageRange{2, 4}},
                                           RangeCase{"1", "99999999999999", 5, std::nullopt},
                                           RangeCase{"-3", "3", 5, PageRange{3, 3}}));
