#include "core/comm/RecordDecoder.h"

#include "core/lang/NamefTables.h"
#include "sim/InstrumentSimulator.h"

#include <gtest/gtest.h>

using namespace zarn;
using namespace std::string_literals;

namespace {

NamefTables namef() {
    NamefTables t;
    t.load({"funkcija7=RCD$contact voltage", "funkcija3=Insulation$resistance"});
    return t;
}

TEST(RecordDecoder, WritesIdsNamesFunctionAndEntriesOfTheExampleRecord) {
    const auto payload = recordPayload(2, 15, 7, {{'R', 1, 5, "> 1999"}});
    const auto rec = decodeRecord(payload, namef());
    EXPECT_TRUE(rec.complete);
    EXPECT_EQ(rec.cells[0], "");
    EXPECT_EQ(rec.cells[1], "1\r2\r15");
    EXPECT_EQ(rec.cells[2], "001\r002\r015\r6,13");
    EXPECT_EQ(rec.cells[3], "7\rRCD\rcontact voltage");
    EXPECT_EQ(rec.cells[4], "001005>1999");
    for (size_t c = 5; c < 10; ++c)
        EXPECT_EQ(rec.cells[c], "") << c;
}

struct ItemCase {
    const char* name;
    std::string items;                  // bytes after the function code
    std::array<std::string, 6> columns; // expected cells 3..8
};

class RecordItems : public testing::TestWithParam<ItemCase> {};

TEST_P(RecordItems, FillsTheValueColumns) {
    const auto& tc = GetParam();
    const std::string payload = "\x00\x01\x00\x02\x03"s + tc.items;
    const auto rec = decodeRecord(payload, namef());
    for (size_t c = 0; c < 6; ++c)
        EXPECT_EQ(rec.cells[c + 3], tc.columns[c]) << "column " << c + 3;
    EXPECT_EQ(rec.cells[9], "");
}

const std::string fn3 = "3\rInsulation\rresistance";

INSTANTIATE_TEST_SUITE_P(
    Cases, RecordItems,
    testing::Values(ItemCase{"NoItems", "", {fn3, "", "", "", "", ""}},
                    ItemCase{"TwoRItemsInRecordOrder",
                             "R\x04\x03> 999\0R\x01\x01 0.41 \0"s,
                             {fn3,
                              "004003>999\r001001"
                              "0.41",
                              "", "", "", ""}},
                    ItemCase{"EachLetterItsColumn",
                             "M\x05\x05"
                             "512\0P\x07\x08"
                             "264\0DSocket 2\0TPASS\0"s,
                             {fn3, "", "005005512", "007008264", "Socket2", "PASS"}},
                    ItemCase{"OtherLetterAppendsToFunctionCell",
                             "X a b\0Zc\0"s,
                             {fn3 + "\rab\rc", "", "", "", "", ""}},
                    ItemCase{"CodesPaddedToThreeDigits",
                             "R\xFF\x00"
                             "1\0"s,
                             {fn3, "2550001", "", "", "", ""}},
                    ItemCase{"ItemEndingExactlyAtPayloadEnd", "T\0"s, {fn3, "", "", "", "", ""}},
                    ItemCase{"LastTextWithoutZeroByte", "TPA S"s, {fn3, "", "", "", "", "PAS"}},
                    ItemCase{"CodesCutOffByTheEnd", "R\x01"s, {fn3, "001000", "", "", "", ""}},
                    ItemCase{"LetterAloneAtTheEnd", "D"s, {fn3, "", "", "", "", ""}},
                    ItemCase{"ZeroByteIsALetterToo", "\0\0"s, {fn3 + "\r", "", "", "", "", ""}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(RecordDecoder, ShortPayloadTakesMissingBytesAsZeroAndSaysSo) {
    const struct {
        std::string payload;
        const char* ids;
        const char* function;
    } cases[] = {{"", "1\r0\r0", "0\r"},
                 {"\x01"s, "1\r256\r0", "0\r"},
                 {"\x00\x02\x01\x00"s, "1\r2\r256", "0\r"}};
    for (const auto& c : cases) {
        const auto rec = decodeRecord(c.payload, namef());
        EXPECT_FALSE(rec.complete);
        EXPECT_EQ(rec.cells[1], c.ids);
        EXPECT_EQ(rec.cells[3], c.function);
    }
    EXPECT_TRUE(decodeRecord("\0\0\0\0\0"s, namef()).complete);
}

TEST(RecordDecoder, LargeIdsAndFunctionCode) {
    const auto rec = decodeRecord(recordPayload(65535, 1000, 255, {}), namef());
    EXPECT_EQ(rec.cells[1], "1\r65535\r1000");
    EXPECT_EQ(rec.cells[2], "001\r65535\r1000\r6,13");
    EXPECT_EQ(rec.cells[3], "255\r");
}

} // namespace
