#include "core/app/NumberArgument.h"

#include <gtest/gtest.h>
#include <optional>

using namespace zarn;

namespace {

struct NumberCase {
    const char* text;
    std::optional<int> value; // nothing: refused
};

class NumberArgument : public testing::TestWithParam<NumberCase> {};

TEST_P(NumberArgument, DigitsWithinTheRangeOnly) {
    const auto& c = GetParam();
    if (c.value) {
        EXPECT_EQ(parseNumberArgument("--retries", c.text, 0, 1000), *c.value);
        return;
    }
    try {
        parseNumberArgument("--retries", c.text, 0, 1000);
        FAIL() << "accepted \"" << c.text << "\"";
    } catch (const NumberArgumentError& e) {
        EXPECT_EQ(std::string(e.what()), "--retries needs a whole number from 0 to 1000, not \"" +
                                             std::string(c.text) + "\"");
    }
}

INSTANTIATE_TEST_SUITE_P(Cases, NumberArgument,
                         testing::Values(NumberCase{"0", 0}, NumberCase{"1000", 1000},
                                         NumberCase{"007", 7}, NumberCase{"", {}},
                                         NumberCase{"abc", {}}, NumberCase{"3abc", {}},
                                         NumberCase{"-1", {}}, NumberCase{"+1", {}},
                                         NumberCase{" 1", {}}, NumberCase{"1 ", {}},
                                         NumberCase{"0x10", {}}, NumberCase{"1e3", {}},
                                         NumberCase{"1.5", {}}, NumberCase{"1001", {}},
                                         NumberCase{"99999999999999999999", {}}));

} // namespace
