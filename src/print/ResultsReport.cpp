#include "print/ResultsReport.h"

#include "core/base/UserInteraction.h"
#include "core/grid/CellMarkup.h"
#include "core/grid/StringGridData.h"
#include "core/lang/TextEncoding.h"
#include "print/PagePrinter.h"

#include <QFile>
#include <QFontMetrics>
#include <QPolygon>
#include <algorithm>
#include <cmath>

namespace zarn {

namespace {

const QColor LightGrey(229, 229, 229);

// Point sizes of the heading dialog's controls (16, 11 and 9 pixels high at 96 dpi), which the
// printout keeps.
constexpr double LabelPoints = 8;
constexpr double FirstLinePoints = 12;
constexpr double OtherLinePoints = 8;
constexpr double FooterPoints = 7;
constexpr double PageNumberPoints = 8;
constexpr double CommentPoints = 8;

// Hides the wait notice however the composition ends.
class WaitNotice {
public:
    WaitNotice(UserInteraction* ui, const std::string& text) : ui_(ui) {
        if (!ui_)
            return;
        ui_->progressShow({});
        ui_->progressLabels(text, {});
        ui_->progressPosition(0);
        ui_->progressCancelVisible(false);
        ui_->processEvents();
    }
    ~WaitNotice() {
        if (!ui_)
            return;
        ui_->progressHide();
        ui_->progressCancelVisible(true);
    }
    WaitNotice(const WaitNotice&) = delete;
    WaitNotice& operator=(const WaitNotice&) = delete;

    void position(int percent) {
        if (ui_ && percent != last_) {
            last_ = percent;
            ui_->progressPosition(percent);
        }
    }

private:
    UserInteraction* ui_;
    int last_ = 0;
};

} // namespace

ResultsReport::ResultsReport(TPagePrinter& printer) : prn_(printer) {}

ColumnFit ResultsReport::fitColumns(int columnCount, int available,
                                    const std::function<int(int, int)>& widthAt) {
    ColumnFit fit;
    for (fit.fontStep = 0;; ++fit.fontStep) {
        fit.widths.assign(static_cast<size_t>(std::max(0, columnCount)), 0);
        fit.tableWidth = 0;
        for (int c = 0; c < columnCount; ++c) {
            fit.widths[static_cast<size_t>(c)] = widthAt(c, fit.fontStep);
            fit.tableWidth += fit.widths[static_cast<size_t>(c)];
        }
        if (fit.tableWidth <= available || fit.fontStep >= MaxFontStep)
            return fit;
    }
}

QString ResultsReport::decoded(const std::string& bytes) const {
    return QString::fromStdString(displayText(bytes, content_->codePage));
}

QFont ResultsReport::fontOf(const FontSpec& spec, int fontStep, bool bold) const {
    QFont f(QString::fromStdString(spec.name));
    const int points = std::max(1, spec.size - fontStep);
    // Pixel sizes keep the measurements the same on every device the pages replay on.
    f.setPixelSize(
        std::max(1, static_cast<int>(std::lround(points * prn_.pixelsPerInchY() / 72.0))));
    f.setBold(spec.bold || bold);
    f.setItalic(spec.italic);
    f.setUnderline(spec.underline);
    return f;
}

QFont ResultsReport::printFont(double points, bool bold) const {
    QFont f(QString::fromLatin1(PrintFontName));
    f.setStyleHint(QFont::SansSerif);
    f.setPixelSize(
        std::max(1, static_cast<int>(std::lround(points * prn_.pixelsPerInchY() / 72.0))));
    f.setBold(bold);
    return f;
}

// Metrics are made once per font: a long report asks for them on every row.
const QFontMetrics& ResultsReport::metrics(const QFont& font) const {
    const QString key = font.key();
    auto it = metrics_.find(key);
    if (it == metrics_.end())
        it = metrics_.emplace(key, QFontMetrics(font)).first;
    return it->second;
}

int ResultsReport::textWidth(const QFont& font, const QString& text) const {
    return metrics(font).horizontalAdvance(text);
}

int ResultsReport::textHeight(const QFont& font) const {
    return metrics(font).height();
}

// Text with its top-left corner at (x, y).
void ResultsReport::textOut(int x, int y, const QString& text) {
    QPainter& p = prn_.canvas();
    p.drawText(QPoint(x, y + metrics(p.font()).ascent()), text);
}

void ResultsReport::takeCells(const ReportContent& content) {
    const StringGridData& grid = *content.grid;
    cells_.assign(static_cast<size_t>(grid.rowCount()), {});
    for (int r = 0; r < grid.rowCount(); ++r) {
        auto& row = cells_[static_cast<size_t>(r)];
        row.resize(static_cast<size_t>(grid.colCount()));
        for (int c = 0; c < grid.colCount(); ++c) {
            const TCellData* data = grid.object(c, r);
            const CellMarkup markup = markupCell(grid.cell(c, r), grid.alignmentFor(c, r), data);
            Cell& cell = row[static_cast<size_t>(c)];
            cell.bold = markup.bold;
            if (data && data->font)
                cell.font = data->font;
            for (const MarkupLine& line : markup.lines)
                cell.lines.push_back({decoded(line.text), line.alignment == TSAlign::alsCenter});
            if (cell.lines.empty())
                cell.lines.push_back({});
        }
    }
}

int ResultsReport::columnWidth(int col, int step) const {
    const int gap = prn_.unitsToPixelsX(3);
    const QFontMetrics& plain = metrics(fontOf(content_->gridFont, step, false));
    const QFontMetrics& bold = metrics(fontOf(content_->gridFont, step, true));
    int widest = 0;
    for (const auto& row : cells_) {
        const Cell& cell = row[static_cast<size_t>(col)];
        const QFontMetrics& fm = cell.font   ? metrics(fontOf(*cell.font, step, cell.bold))
                                 : cell.bold ? bold
                                             : plain;
        for (const Line& line : cell.lines)
            widest = std::max(widest, fm.horizontalAdvance(line.text) + gap);
    }
    return widest;
}

void ResultsReport::compose(const ReportContent& content, UserInteraction* ui) {
    const MarginsMm margins = marginsInMillimetres(content.margins);
    content_ = &content;

    prn_.setMeasureUnit(TMeasureUnit::muMillimeters);
    prn_.setMarginLeft(margins.left);
    prn_.setMarginRight(margins.right);
    prn_.setMarginTop(margins.top);
    prn_.setMarginBottom(margins.bottom);

    sideGap_ = prn_.unitsToPixelsX(2);
    headingHeight_ = prn_.unitsToPixelsY(30);
    footerReserve_ = prn_.unitsToPixelsY(10);
    const QPoint origin = prn_.drawOrigin();
    x0_ = origin.x();
    y0_ = origin.y();
    pw_ = prn_.unitsToPixelsX(prn_.printableWidth());
    ph_ = prn_.unitsToPixelsY(prn_.printableHeight());
    shade_ = prn_.pixelsPerInchX() > 250;

    logo_.reset();
    if (content.heading.logoMode() == 1) {
        const std::string& path = content.heading.text(PrintoutHeading::Logo);
        QImage image(QFile::decodeName(QByteArray::fromStdString(path)));
        const int h = prn_.unitsToPixelsY(12);
        if (!image.isNull() && image.height() > 0 && h > 0) {
            const double w = std::round(double(image.width()) * h / image.height());
            // A logo wider than the page is squeezed onto it rather than blown up past it.
            const int width = static_cast<int>(std::clamp(w, 1.0, double(std::max(1, pw_))));
            logo_ = image.scaled(width, h, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
        }
    }

    prn_.beginDoc();
    headerDrawn_ = false;
    pageStarted_ = false;

    WaitNotice wait(ui, content.waitText);
    takeCells(content);
    const int columnCount = content.grid ? content.grid->colCount() : 0;
    fit_ = fitColumns(columnCount, pw_ - 2 * sideGap_,
                      [this](int col, int step) { return columnWidth(col, step); });
    tableX_ = x0_ + sideGap_ + (pw_ - 2 * sideGap_ - fit_.tableWidth) / 2;
    y_ = y0_;

    const int rows = static_cast<int>(cells_.size());
    for (int r = 1; r < rows; ++r) {
        drawRow(r, false);
        wait.position(static_cast<int>(std::lround(r * 100.0 / (rows - 1))));
    }
    // A view without rows still prints its heading, and the comments go below it.
    if (!pageStarted_) {
        startPage();
        y_ = y0_ + headingHeight_;
    }
    drawComments();
    prn_.endDoc();
    content_ = nullptr;
    cells_.clear();
    metrics_.clear();
}

void ResultsReport::pageFrame() {
    QPainter& p = prn_.canvas();
    if (shade_) {
        const auto mmX = [this](double mm) { return prn_.unitsToPixelsX(mm); };
        const auto mmY = [this](double mm) { return prn_.unitsToPixelsY(mm); };
        const auto fill = [&p](int l, int t, int r, int b) {
            p.fillRect(QRect(l, t, r - l, b - t), LightGrey);
        };
        fill(x0_, y0_, x0_ + pw_, y0_ + mmY(4));
        fill(x0_, y0_ + ph_ - mmY(10), x0_ + pw_, y0_ + ph_);
        fill(x0_, y0_, x0_ + mmX(2), y0_ + ph_);
        fill(x0_ + pw_ - mmX(2), y0_, x0_ + pw_, y0_ + ph_);

        // The stepped wedge in the top-left corner.
        const int wedgeH = mmY(30);
        const int wedgeW = mmX(40);
        int n = 100;
        while (n > 1 && (wedgeH / n <= 0 || wedgeW / n <= 0))
            --n;
        const int dy = wedgeH / n;
        const int dx = wedgeW / n;
        if (dx > 0 && dy > 0) {
            // The N steps, each one dx narrower than the one above, as one staircase outline.
            QPolygon stairs;
            stairs << QPoint(x0_, y0_);
            for (int k = 0; k < n; ++k) {
                const int right = x0_ + (n - k) * dx;
                stairs << QPoint(right, y0_ + k * dy) << QPoint(right, y0_ + (k + 1) * dy);
            }
            stairs << QPoint(x0_, y0_ + n * dy);
            p.save();
            p.setPen(Qt::NoPen);
            p.setBrush(LightGrey);
            p.drawPolygon(stairs);
            p.restore();
        }
        fill(x0_, y0_ + mmY(16), x0_ + pw_, y0_ + mmY(25));
    }
    PrintoutComments switches = content_->comments;
    if (switches.numberPages()) {
        p.setFont(printFont(PageNumberPoints));
        const QString number = QStringLiteral(" -%1- ").arg(prn_.currentPage());
        textOut(x0_ + (pw_ - textWidth(p.font(), number)) / 2, y0_ + ph_, number);
    }
}

void ResultsReport::pageHeading() {
    QPainter& p = prn_.canvas();
    const PrintoutHeading& heading = content_->heading;
    const int l = prn_.unitsToPixelsX(104.0 / 3.0);
    const int top = y0_ + prn_.unitsToPixelsY(4);
    const auto text = [&heading, this](PrintoutHeading::Text t) {
        return decoded(heading.text(t));
    };
    const QFont label = printFont(LabelPoints);
    const QFont first = printFont(FirstLinePoints);
    const QFont other = printFont(OtherLinePoints);

    p.setFont(label);
    textOut(x0_ + l, y0_, content_->operatorCaption + QLatin1Char(':'));

    if (heading.logoMode() == 0) {
        const QString l1 = text(PrintoutHeading::Op1);
        const QString l2 = text(PrintoutHeading::Op2);
        const QString l3 = text(PrintoutHeading::Op3);
        const int w1 = textWidth(first, l1);
        const int w = std::max({w1, textWidth(other, l2), textWidth(other, l3)});
        const int h1 = textHeight(first);
        const int h2 = textHeight(other);
        p.setFont(first);
        textOut(x0_ + l + w - w1, top, l1);
        p.drawLine(x0_ + l, top + h1 + 1, x0_ + l + w, top + h1 + 1);
        p.setFont(other);
        textOut(x0_ + l, top + h1 + 3, l2);
        textOut(x0_ + l, top + h1 + 3 + h2 + 3, l3);
    } else if (heading.logoMode() == 1 && logo_) {
        p.drawImage(QPoint(x0_ + l, top), *logo_);
    }

    // The test-site block is right-aligned; its width includes its label.
    const int e = x0_ + pw_ - prn_.unitsToPixelsX(2);
    const QString siteLabel = content_->siteCaption + QLatin1Char(':');
    const QString s1 = text(PrintoutHeading::Site1);
    const QString s2 = text(PrintoutHeading::Site2);
    const QString s3 = text(PrintoutHeading::Site3);
    const int w1 = textWidth(first, s1);
    const int w =
        std::max({textWidth(label, siteLabel), w1, textWidth(other, s2), textWidth(other, s3)});
    const int h1 = textHeight(first);
    const int h2 = textHeight(other);
    p.setFont(label);
    textOut(e - w, y0_, siteLabel);
    p.setFont(first);
    textOut(e - w1, top, s1);
    p.drawLine(e, top + h1 + 1, e - w, top + h1 + 1);
    p.setFont(other);
    textOut(e - w, top + h1 + 3, s2);
    textOut(e - w, top + h1 + 3 + h2 + 3, s3);

    const QFont footer = printFont(FooterPoints);
    p.setFont(footer);
    int y = y0_ + ph_ - prn_.unitsToPixelsY(10);
    for (auto t : {PrintoutHeading::Footer, PrintoutHeading::Footer2, PrintoutHeading::Footer3}) {
        const QString line = text(t);
        textOut(x0_ + (pw_ - textWidth(footer, line)) / 2, y, line);
        y += textHeight(footer);
    }
}

void ResultsReport::startPage() {
    // One printer pixel at the resolutions the report was laid out for; as thick on finer
    // printers, so the rules do not fade to hairlines.
    prn_.canvas().setPen(
        QPen(Qt::black, std::max(1, static_cast<int>(std::lround(prn_.pixelsPerInchX() / 300.0)))));
    pageFrame();
    pageHeading();
    pageStarted_ = true;
}

void ResultsReport::newPage() {
    prn_.newPage();
    headerDrawn_ = false;
    startPage();
}

void ResultsReport::drawRow(int row, bool header) {
    const auto& cells = cells_[static_cast<size_t>(row)];
    const FontSpec& rowSpec =
        !cells.empty() && cells.front().font ? *cells.front().font : content_->gridFont;
    const QFont rowFont = fontOf(rowSpec, fit_.fontStep, false);
    const int h = textHeight(rowFont);
    size_t lines = 1;
    for (const Cell& cell : cells)
        lines = std::max(lines, cell.lines.size());
    const int height = static_cast<int>(lines) * h + prn_.unitsToPixelsY(1);

    if (!header && y_ + height > y0_ + ph_ - footerReserve_)
        newPage();
    if (!header && !headerDrawn_) {
        if (!pageStarted_)
            startPage();
        y_ = y0_ + headingHeight_;
        drawRow(0, true);
    }

    QPainter& p = prn_.canvas();
    const int textLeft = prn_.unitsToPixelsX(1.5);
    const int textTop = prn_.unitsToPixelsY(0.5);
    const int gap = prn_.unitsToPixelsX(3);
    QFont boldFont = rowFont;
    boldFont.setBold(true);
    int x = tableX_;
    for (size_t c = 0; c < cells.size() && c < fit_.widths.size(); ++c) {
        const int w = fit_.widths[c];
        if (header && shade_)
            p.fillRect(QRect(x, y_, w, height), LightGrey);
        const Cell& cell = cells[c];
        const QFont& font = cell.bold ? boldFont : rowFont;
        p.setFont(font);
        int lineTop = y_ + textTop;
        for (const Line& line : cell.lines) {
            const int o = line.centred ? (w - gap - textWidth(font, line.text)) / 2 : 0;
            textOut(x + textLeft + o, lineTop, line.text);
            lineTop += h;
        }
        p.drawLine(x, y_, x, y_ + height);
        x += w;
    }
    const int right = tableX_ + fit_.tableWidth;
    p.drawLine(right, y_, right, y_ + height);
    if (header)
        p.drawLine(tableX_, y_, right, y_);
    y_ += height;
    p.drawLine(tableX_, y_, right, y_);
    if (header)
        headerDrawn_ = true;
}

void ResultsReport::drawComments() {
    PrintoutComments comments = content_->comments;
    if (!comments.printComments())
        return;
    int n = 0;
    for (int i = PrintoutComments::LineCount; i >= 1; --i) {
        if (!comments.line(i).empty()) {
            n = i;
            break;
        }
    }
    if (n == 0)
        return;
    QFont font(QString::fromLatin1(CommentFontName));
    font.setStyleHint(QFont::TypeWriter);
    font.setPixelSize(
        std::max(1, static_cast<int>(std::lround(CommentPoints * prn_.pixelsPerInchY() / 72.0))));
    const int h = textHeight(font);
    const int limit = y0_ + ph_ - footerReserve_;
    const int textTop = prn_.unitsToPixelsY(0.5);
    const int textLeft = prn_.unitsToPixelsX(1.5);

    // Comments that do not fit below the table start on a page of their own.
    if (y_ + h * (n + 1) > limit) {
        newPage();
        y_ = y0_ + headingHeight_;
    }
    int a = h;
    for (int i = 1; i <= n; ++i) {
        if (y_ + textTop + a + h > limit) {
            newPage();
            a = h;
            y_ = y0_ + headingHeight_;
        }
        prn_.canvas().setFont(font);
        textOut(tableX_ + textLeft, y_ + textTop + a, decoded(comments.line(i)));
        a += h;
    }
}

} // namespace zarn
