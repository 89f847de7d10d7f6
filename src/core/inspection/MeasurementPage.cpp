#include "core/inspection/MeasurementPage.h"

#include "core/base/TextRoutines.h"
#include "core/inspection/Protocol.h"
#include "core/lang/LStr.h"

#include <utility>

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

std::string headingKey(const TableLayout& layout, int c) {
    return layout.headingPrefix + text::toText(c) + "_0";
}

std::string unitKey(const TableLayout& layout, int c) {
    return layout.unitPrefix + text::toText(c) + "_0";
}

bool hasUnit(const TableLayout& layout, int c) {
    return c >= 1 && c <= layout.lastUnit;
}

const TableLayout* layoutsOf(PageKind kind) {
    return kind == PageKind::LightningRodMeasurement ? kRodTables : kBlockTables;
}

std::shared_ptr<TStringGridAll2> makeTable(const TableLayout& layout, const TLStr& texts,
                                           int charset) {
    auto t = std::make_shared<TStringGridAll2>(layout.columns, 3);
    t->setDefaultColWidth(30);
    t->setDefaultRowHeight(10);
    t->setFixedRows(2);
    t->setFixedCols(0);
    t->setAlignment(TSAlign::alsCenter);
    for (int c = 0; c < layout.columns; ++c) {
        TProtocol::SetTableCell(*t, c, 0, texts.text(headingKey(layout, c)));
        TProtocol::SetTableCell(*t, c, 1, hasUnit(layout, c) ? texts.text(unitKey(layout, c)) : "");
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

TMeasurementPage::Tables TMeasurementPage::makeTables(PageKind kind, const TLStr& texts,
                                                      int charset) {
    const TableLayout* layouts = layoutsOf(kind);
    return {makeTable(layouts[0], texts, charset), makeTable(layouts[1], texts, charset)};
}

bool TMeasurementPage::headersMatch(const Tables& tables, PageKind kind, const TLStr& texts,
                                    int charset) {
    const TableLayout* layouts = layoutsOf(kind);
    for (size_t i = 0; i < tables.size(); ++i) {
        const TStringGridAll2* t = tables[i].get();
        const TableLayout& layout = layouts[i];
        if (!t || t->colCount() != layout.columns)
            return false;
        for (int c = 0; c < layout.columns; ++c) {
            const TCellData* data = t->object(c, 0);
            if (!data || !data->font || data->font->charset != charset ||
                t->cell(c, 0) != texts.text(headingKey(layout, c)) ||
                t->cell(c, 1) != (hasUnit(layout, c) ? texts.text(unitKey(layout, c)) : kEmpty))
                return false;
        }
    }
    return true;
}

TMeasurementPage::TMeasurementPage(PageKind kind, const TLStr& texts, int charset)
    : kind_(kind), tables_(makeTables(kind, texts, charset)) {}

TMeasurementPage::TMeasurementPage(PageKind kind, Tables shared)
    : kind_(kind), tables_(std::move(shared)) {}

TStringGridAll2& TMeasurementPage::table(int n) {
    auto& t = tables_.at(static_cast<size_t>(n));
    if (t.use_count() > 1)
        t = std::make_shared<TStringGridAll2>(*t);
    return *t;
}

void TMeasurementPage::setObjectName(int n, std::string_view name) {
    if (std::as_const(*this).table(n).objectName != name)
        table(n).objectName = name;
}

void TMeasurementPage::setBlockName(int n, std::string_view name) {
    if (std::as_const(*this).table(n).blockName != name)
        table(n).blockName = name;
}

void TMeasurementPage::setSubText(int n, int k, std::string_view text) {
    const TStringGridAll2& current = std::as_const(*this).table(n);
    // A table without the sub-data object gets one even for empty texts, as setSubText does.
    const TCellData* data = current.object(0, 0);
    if (data && data->subData && current.subText(k) == text)
        return;
    table(n).setSubText(k, std::string(text));
}

void TMeasurementPage::setTableCell(int n, int col, int row, std::string_view text) {
    if (col < 0 || row < 0)
        return;
    const TStringGridAll2& current = std::as_const(*this).table(n);
    if (col < current.colCount() && row < current.rowCount() && current.cell(col, row) == text)
        return;
    TProtocol::SetTableCell(table(n), col, row, text);
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
