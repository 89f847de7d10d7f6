// TStringGridAll: the string grid of every results table. Cell texts may carry in-band
// markers that switch alignment, colour, boldness and font line by line; drawing grows rows
// and columns to fit the text and never shrinks them.
//
// The cells live in a StringGridData; the view is a model/view table that paints only the
// rows on screen, so a table of ten thousand rows costs no more than the rows shown. Fixed
// row 0 is drawn as the heading and stays in place while the rows scroll.
#pragma once

#include "core/grid/StringGridData.h"

#include <QHeaderView>
#include <QTableView>
#include <set>

namespace zarn {

class TStringGridAll;

// The cells of a grid as a table model; model row r is grid row r + fixedRows.
class StringGridModel : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit StringGridModel(StringGridData& data, QObject* parent = nullptr)
        : QAbstractTableModel(parent), data_(data) {}

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    // Tells the views that the cells changed wholesale.
    void reload();

private:
    StringGridData& data_;
};

// The heading: fixed row 0 drawn with the grid's own cell drawing.
class StringGridHeader : public QHeaderView {
    Q_OBJECT
public:
    explicit StringGridHeader(TStringGridAll& grid);
    QSize sizeHint() const override;

protected:
    void paintSection(QPainter* painter, const QRect& rect, int logicalIndex) const override;

private:
    TStringGridAll& grid_;
};

class TStringGridAll : public QTableView {
    Q_OBJECT
public:
    explicit TStringGridAll(QWidget* parent = nullptr);
    ~TStringGridAll() override;

    StringGridData& cells() { return data_; }
    const StringGridData& cells() const { return data_; }

    int rowCount() const { return data_.rowCount(); }
    int colCount() const { return data_.colCount(); }
    void setRowCount(int rows);
    void setColCount(int cols);
    const std::string& cell(int col, int row) const { return data_.cell(col, row); }
    // Changes one cell and repaints it. For many cells, change cells() and call reload().
    void setCell(int col, int row, std::string_view text);
    // Shows the current content of cells() after a bulk change.
    void reload();

    TSAlign Alignment() const { return data_.alignment(); }
    void setAlignment(TSAlign a);
    TSAlign GetColAlignment(int col) const { return data_.colAlignment(col); }
    void SetColAlignment(int col, TSAlign a);
    TSAlign GetFixedAlignment(int col) const { return data_.fixedAlignment(col); }
    void SetFixedAlignment(int col, TSAlign a);

    // Default sizes of rows and columns; resets every row and column to them.
    void setDefaultSizes(int colWidth, int rowHeight);

    // Draws cell (col, row) of the grid into rect: background already filled, `selected`
    // chooses the highlight text colour as the default. Grows the row and column to fit.
    void DrawCell(QPainter& painter, int col, int row, const QRect& rect, bool selected);

    // The selected rectangle in grid coordinates (rows counted with the fixed row).
    struct GridRect {
        int left = 0;
        int top = 0;
        int right = -1;
        int bottom = -1;
        bool empty() const { return right < left || bottom < top; }
    };
    GridRect selectionRect() const;
    void selectRect(const GridRect& rect);

    // The font of the cells (grid font).
    void setGridFont(const QFont& font);

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    void scheduleSizeSync();
    void syncSizes();
    void applyAllSizes();

    StringGridData data_;
    StringGridModel* model_ = nullptr;
    StringGridHeader* header_ = nullptr;
    std::set<int> grownRows_;
    bool grownCols_ = false;
    bool syncPending_ = false;
    bool syncing_ = false;
};

} // namespace zarn
