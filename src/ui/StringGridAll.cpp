#include "ui/StringGridAll.h"

#include "core/grid/CellMarkup.h"
#include "print/DisplayText.h"

#include <QKeyEvent>
#include <QPainter>
#include <QScrollBar>
#include <QStyledItemDelegate>
#include <QTimer>
#include <algorithm>

namespace zarn {

namespace {

// Rows above the heading row that the model does not show: row 0 sits in the header.
int headerRows(const StringGridData& data) {
    return data.fixedRows() > 0 ? 1 : 0;
}

constexpr int MaxLineLength = 255;

QColor colourOf(uint32_t rgb) {
    return QColor((rgb >> 16) & 0xFF, (rgb >> 8) & 0xFF, rgb & 0xFF);
}

QFont fontOf(const FontSpec& spec) {
    QFont f(QString::fromStdString(spec.name), spec.size);
    f.setBold(spec.bold);
    f.setItalic(spec.italic);
    f.setUnderline(spec.underline);
    return f;
}

class StringGridDelegate : public QStyledItemDelegate {
public:
    StringGridDelegate(TStringGridAll& grid) : QStyledItemDelegate(&grid), grid_(grid) {}

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override {
        const bool selected = option.state.testFlag(QStyle::State_Selected);
        const int row = index.row() + headerRows(grid_.cells());
        const QPalette& pal = option.palette;
        QColor background = pal.color(QPalette::Base);
        if (selected)
            background = pal.color(option.state.testFlag(QStyle::State_Active) ? QPalette::Active
                                                                               : QPalette::Inactive,
                                   QPalette::Highlight);
        else if (row < grid_.cells().fixedRows() || index.column() < grid_.cells().fixedCols())
            background = pal.color(QPalette::Button);
        painter->fillRect(option.rect, background);
        grid_.DrawCell(*painter, index.column(), row, option.rect, selected);
    }

private:
    TStringGridAll& grid_;
};

} // namespace

// --- model ---------------------------------------------------------------------------------

int StringGridModel::rowCount(const QModelIndex& parent) const {
    if (parent.isValid())
        return 0;
    return std::max(0, data_.rowCount() - headerRows(data_));
}

int StringGridModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : data_.colCount();
}

QVariant StringGridModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || (role != Qt::DisplayRole && role != Qt::ToolTipRole))
        return {};
    if (role == Qt::ToolTipRole)
        return {};
    return toDisplay(data_.cell(index.column(), index.row() + headerRows(data_)));
}

QVariant StringGridModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (role != Qt::DisplayRole)
        return {};
    if (orientation == Qt::Horizontal)
        return headerRows(data_) ? toDisplay(data_.cell(section, 0)) : QVariant(section);
    return section + headerRows(data_);
}

void StringGridModel::reload() {
    beginResetModel();
    endResetModel();
}

// --- heading -------------------------------------------------------------------------------

StringGridHeader::StringGridHeader(TStringGridAll& grid)
    : QHeaderView(Qt::Horizontal, &grid), grid_(grid) {
    setSectionsClickable(false);
    setHighlightSections(false);
    setMinimumSectionSize(1);
    setSectionResizeMode(QHeaderView::Interactive);
}

QSize StringGridHeader::sizeHint() const {
    QSize size = QHeaderView::sizeHint();
    size.setHeight(grid_.cells().rowHeight(0) + 1);
    return size;
}

void StringGridHeader::paintSection(QPainter* painter, const QRect& rect, int logicalIndex) const {
    painter->save();
    painter->fillRect(rect, palette().color(QPalette::Button));
    painter->setPen(palette().color(QPalette::Mid));
    painter->drawLine(rect.topRight(), rect.bottomRight());
    painter->drawLine(rect.bottomLeft(), rect.bottomRight());
    painter->setPen(palette().color(QPalette::ButtonText));
    painter->setFont(grid_.font());
    grid_.DrawCell(*painter, logicalIndex, 0, rect, false);
    painter->restore();
}

// --- grid ----------------------------------------------------------------------------------

TStringGridAll::TStringGridAll(QWidget* parent) : QTableView(parent), data_(5, 5) {
    model_ = new StringGridModel(data_, this);
    header_ = new StringGridHeader(*this);
    setHorizontalHeader(header_);
    setModel(model_);
    setItemDelegate(new StringGridDelegate(*this));
    verticalHeader()->hide();
    verticalHeader()->setMinimumSectionSize(1);
    verticalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    setSelectionBehavior(QAbstractItemView::SelectItems);
    setSelectionMode(QAbstractItemView::ContiguousSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setWordWrap(false);
    setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
    setVerticalScrollMode(QAbstractItemView::ScrollPerItem);
    setTabKeyNavigation(false);
    connect(header_, &QHeaderView::sectionResized, this, [this](int col, int, int size) {
        if (!syncing_)
            data_.setColWidth(col, size);
    });
    connect(verticalHeader(), &QHeaderView::sectionResized, this, [this](int row, int, int size) {
        if (!syncing_)
            data_.setRowHeight(row + headerRows(data_), size);
    });
    applyAllSizes();
}

TStringGridAll::~TStringGridAll() = default;

void TStringGridAll::setRowCount(int rows) {
    data_.setRowCount(rows);
    reload();
}

void TStringGridAll::setColCount(int cols) {
    data_.setColCount(cols);
    reload();
}

void TStringGridAll::setCell(int col, int row, std::string_view text) {
    data_.setCell(col, row, text);
    if (row < headerRows(data_)) {
        header_->viewport()->update();
        return;
    }
    const QModelIndex index = model_->index(row - headerRows(data_), col);
    emit model_->dataChanged(index, index);
}

void TStringGridAll::reload() {
    model_->reload();
    applyAllSizes();
}

void TStringGridAll::setAlignment(TSAlign a) {
    data_.setAlignment(a);
    viewport()->update();
    header_->viewport()->update();
}

void TStringGridAll::SetColAlignment(int col, TSAlign a) {
    data_.setColAlignment(col, a);
    viewport()->update();
}

void TStringGridAll::SetFixedAlignment(int col, TSAlign a) {
    data_.setFixedAlignment(col, a);
    header_->viewport()->update();
}

void TStringGridAll::setDefaultSizes(int colWidth, int rowHeight) {
    data_.setDefaultColWidth(colWidth);
    data_.setDefaultRowHeight(rowHeight);
    applyAllSizes();
}

void TStringGridAll::setGridFont(const QFont& font) {
    setFont(font);
    header_->setFont(font);
    viewport()->update();
    header_->viewport()->update();
}

void TStringGridAll::DrawCell(QPainter& painter, int col, int row, const QRect& rect,
                              bool selected) {
    const QColor defaultColour =
        selected ? palette().color(QPalette::HighlightedText)
                 : (row < headerRows(data_) ? palette().color(QPalette::ButtonText)
                                            : palette().color(QPalette::Text));
    const TCellData* object = data_.object(col, row);
    const CellMarkup markup =
        markupCell(data_.cell(col, row), data_.alignmentFor(col, row), object);

    QFont base = font();
    base.setBold(base.bold() || markup.bold);
    if (markup.fontSlot >= 1 && markup.fontSlot <= 3) {
        if (const auto& aux = data_.auxFont(markup.fontSlot)) {
            base.setFamily(QString::fromStdString(aux->name));
            base.setPointSize(aux->size);
        }
    }
    QFont cellFont = base;
    QColor cellFontColour = defaultColour;
    if (markup.cellFont && object && object->font) {
        cellFont = fontOf(*object->font);
        cellFontColour = colourOf(object->font->colour);
    }

    painter.save();
    painter.setClipRect(rect);
    int lineHeight = QFontMetrics(cellFont).height();
    int widest = 0;
    int i = 0;
    for (const MarkupLine& line : markup.lines) {
        QString text = toDisplay(line.text);
        if (text.size() > MaxLineLength)
            text.truncate(MaxLineLength);
        QColor colour = defaultColour;
        switch (line.colour) {
        case LineColour::Default:
            break;
        case LineColour::CellFont:
            colour = cellFontColour;
            break;
        default:
            colour = colourOf(rgbOf(line.colour));
            break;
        }
        painter.setFont(cellFont);
        painter.setPen(colour);
        const QFontMetrics fm(cellFont);
        lineHeight = fm.height();
        const int w = fm.horizontalAdvance(text);
        widest = std::max(widest, w);
        int x = rect.left() + 2;
        if (line.alignment == TSAlign::alsRight)
            x = rect.right() + 1 - w - 2;
        else if (line.alignment == TSAlign::alsCenter)
            x = rect.left() + (rect.width() - w) / 2 + 1;
        const int y = rect.top() + 2 + lineHeight * i;
        painter.drawText(x, y + fm.ascent(), text);
        ++i;
    }
    painter.restore();

    // Fit: rows and columns only grow.
    if (data_.fitCell(col, row, widest + 5, lineHeight * i + 2)) {
        if (row >= headerRows(data_))
            grownRows_.insert(row);
        grownCols_ = true;
        scheduleSizeSync();
    }
}

void TStringGridAll::scheduleSizeSync() {
    if (syncPending_)
        return;
    syncPending_ = true;
    QTimer::singleShot(0, this, [this] { syncSizes(); });
}

// Carries the sizes that drawing grew into the headers; the repaint they cause draws the
// cells in their new size.
void TStringGridAll::syncSizes() {
    syncPending_ = false;
    syncing_ = true;
    const int first = headerRows(data_);
    for (int row : grownRows_) {
        const int section = row - first;
        if (section >= 0 && section < model_->rowCount() &&
            verticalHeader()->sectionSize(section) != data_.rowHeight(row))
            verticalHeader()->resizeSection(section, data_.rowHeight(row));
    }
    grownRows_.clear();
    if (grownCols_) {
        for (int col = 0; col < data_.colCount(); ++col) {
            if (header_->sectionSize(col) != data_.colWidth(col))
                header_->resizeSection(col, data_.colWidth(col));
        }
        grownCols_ = false;
    }
    if (first && header_->height() != data_.rowHeight(0) + 1)
        updateGeometries();
    syncing_ = false;
}

void TStringGridAll::applyAllSizes() {
    syncing_ = true;
    const int first = headerRows(data_);
    header_->setVisible(first > 0);
    header_->setDefaultSectionSize(data_.defaultColWidth());
    verticalHeader()->setDefaultSectionSize(data_.defaultRowHeight());
    for (int col = 0; col < data_.colCount(); ++col) {
        if (data_.colWidth(col) != data_.defaultColWidth())
            header_->resizeSection(col, data_.colWidth(col));
    }
    const int rows = model_->rowCount();
    for (int section = 0; section < rows; ++section) {
        const int h = data_.rowHeight(section + first);
        if (h != data_.defaultRowHeight())
            verticalHeader()->resizeSection(section, h);
    }
    grownRows_.clear();
    grownCols_ = false;
    updateGeometries();
    syncing_ = false;
}

TStringGridAll::GridRect TStringGridAll::selectionRect() const {
    GridRect r;
    const QModelIndexList indexes =
        selectionModel() ? selectionModel()->selectedIndexes() : QModelIndexList();
    if (indexes.isEmpty())
        return r;
    r.left = r.top = INT_MAX;
    r.right = r.bottom = -1;
    for (const QModelIndex& i : indexes) {
        r.left = std::min(r.left, i.column());
        r.right = std::max(r.right, i.column());
        r.top = std::min(r.top, i.row());
        r.bottom = std::max(r.bottom, i.row());
    }
    r.top += headerRows(data_);
    r.bottom += headerRows(data_);
    return r;
}

void TStringGridAll::selectRect(const GridRect& rect) {
    const int first = headerRows(data_);
    const QModelIndex tl = model_->index(rect.top - first, rect.left);
    const QModelIndex br = model_->index(rect.bottom - first, rect.right);
    if (!tl.isValid() || !br.isValid())
        return;
    selectionModel()->select(QItemSelection(tl, br), QItemSelectionModel::ClearAndSelect);
    selectionModel()->setCurrentIndex(tl, QItemSelectionModel::NoUpdate);
}

// The grid has no key handling of its own beyond moving around; copying is the
// window's Copy command, which knows the clipboard format.
void TStringGridAll::keyPressEvent(QKeyEvent* event) {
    if (event == QKeySequence::Copy) {
        event->ignore();
        return;
    }
    QTableView::keyPressEvent(event);
}

} // namespace zarn
