#include "core/inspection/MeasurementPage.h"

#include "core/base/TextRoutines.h"
#include "core/lang/LStr.h"
#include "core/inspection/Protocol.h"

namespace zarn {

namespace {

const std::string kEmpty;

struct TableLayout {
    int columns;
    const char* headingPrefix; // row 0: prefix + c + "_0" for c = 0..columns-1
    const char* unitPrefix;    // row 1: prefix + c + "_0" for c = 1..lastUnit
    int lastUnit;
};

// Block measurement page: 11 + 5 columns; lightning-rod measurement page: 5 + 2 columns.
constexpr TableLayout kBlockTables[2] = {{11, "Glava", "GlavaE", 10}, {5, "GlavaF", "GlavaFE", 4}};
constexpr TableLayout kRodTables[2] = {{5, "GlavaS1", "GlavaS1E", 3},
                                       {2, "GlavaS2", "GlavaS2E", 1}};

std::unique_ptr<TStringGridAll2> makeTable(const TableLayout& layout, const TLStr& texts,
                                           int charset) {
    auto t = std::make_unique<TStringGridAll2>(layout.columns, 3);
    t->setDefaultColWidth(30);
    t->setDefaultRowHeight(10);
    t->setFixedRows(2);
    t->setFixedCols(0);
    t->setAlignment(TSAlign::alsCenter);
    for (int c = 0; c < layout.columns; ++c) {
        TProtocol::SetTableCell(*t, c, 0,
                                texts.text(layout.headingPrefix + text::toText(c) + "_0"));
        const bool hasUnit = c >= 1 && c <= layout.lastUnit;
        TProtocol::SetTableCell(
            *t, c, 1, hasUnit ? texts.text(layout.unitPrefix + text::toText(c) + "_0") : "");
        t->setColAlignment(c, TSAlign::alsCenter);
        t->setFixedAlignment(c, TSAlign::alsCenter);
        auto data = std::make_unique<TCellData>();
        data->font = FontSpec{};
        data->font->name = "Arial";
        data->font->size = TMeasurementPage::FontSize;
        data->font->charset = charset;
        t->setObject(c, 0, std::move(data));
    }
    t->object(0, 0)->subData = std::make_unique<TSubData>();
    return t;
}

} // namespace

const std::string& TStringGridAll2::subText(int n) const {
    const TCellData* data = object(0, 0);
    if (!data || !data->subData)
        return kEmpty;
    return n == 1 ? data->subData->text1 : n == 2 ? data->subData->text2 : kEmpty;
}

void TStringGridAll2::setSubText(int n, std::string text) {
    TCellData* data = object(0, 0);
    if (!data) {
        setObject(0, 0, std::make_unique<TCellData>());
        data = object(0, 0);
    }
    if (!data)
        return;
    if (!data->subData)
        data->subData = std::make_unique<TSubData>();
    if (n == 1)
        data->subData->text1 = std::move(text);
    else if (n == 2)
        data->subData->text2 = std::move(text);
}

TMeasurementPage::TMeasurementPage(PageKind kind, const TLStr& texts, int charset) : kind_(kind) {
    const TableLayout* layouts =
        kind == PageKind::LightningRodMeasurement ? kRodTables : kBlockTables;
    for (int i = 0; i < 2; ++i)
        tables_[static_cast<size_t>(i)] = makeTable(layouts[i], texts, charset);
}

void TProtocol::SetTableCell(TStringGridAll2& table, int col, int row, std::string_view text) {
    if (col < 0 || row < 0)
        return;
    if (table.colCount() <= col)
        table.setColCount(col + 1);
    if (table.rowCount() <= row) {
        table.setRowCount(row + 1);
        if (table.rowCount() >= 3)
            table.setFixedRows(2);
    }
    table.setCell(col, row, text);
}

bool TProtocol::IsTableEmpty(const TStringGridAll2* table) {
    if (!table || table->rowCount() < 3)
        return true;
    for (int r = 2; r < table->rowCount(); ++r) {
        for (int c = 0; c < table->colCount(); ++c) {
            for (char ch : table->cell(c, r)) {
                if (ch != '\n')
                    return false;
            }
        }
    }
    return true;
}

} // namespace zarn
