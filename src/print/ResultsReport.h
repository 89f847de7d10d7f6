// The results report: the results view drawn as a ruled table on the pages of a TPagePrinter,
// each page with its frame and the printout heading, followed by the comment lines.
//
// The same composition serves the preview, the printer, PDF files and the tests: it only draws
// on the page printer's canvas, in printer pixels. Every length below is converted with the page
// printer's own units-to-pixels rule, so a 200-dpi and a 300-dpi printer get the same layout in
// millimetres.
#pragma once

#include "core/app/PrintMargins.h"
#include "core/grid/CellData.h"
#include "core/inspection/PrintoutComments.h"
#include "core/inspection/PrintoutHeading.h"

#include <QFont>
#include <QFontMetrics>
#include <QImage>
#include <QPainter>
#include <QString>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace zarn {

class StringGridData;
class TPagePrinter;
class UserInteraction;

// What a report shows.
struct ReportContent {
    // The results view: row 0 is the heading row, repeated on every page.
    const StringGridData* grid = nullptr;
    // The results view's font; a cell with a font of its own uses that instead.
    FontSpec gridFont{"Courier New", 10};
    PrintoutHeading heading;
    PrintoutComments comments;
    // Captions of the operator and test-site groups of the heading dialog (without ":").
    QString operatorCaption = QStringLiteral("Operator");
    QString siteCaption = QStringLiteral("Test Site");
    // The wait notice shown while composing.
    std::string waitText;
    MarginTexts margins;
    // Code page of stored bytes that are not UTF-8.
    int codePage = 1252;
};

// The table's fitted layout, in printer pixels.
struct ColumnFit {
    int fontStep = 0; // points taken from every table font, 0 … MaxFontStep
    std::vector<int> widths;
    int tableWidth = 0;
};

class ResultsReport {
public:
    static constexpr int MaxFontStep = 16;
    // The heading, page numbers and the footers are printed in this font.
    static constexpr const char* PrintFontName = "Arial";
    // The comment lines keep the font of the comments dialog.
    static constexpr const char* CommentFontName = "Courier New";

    explicit ResultsReport(TPagePrinter& printer);

    // Composes the whole document anew: margins, pages, table and comments. A margin text that
    // is no number throws EMarginError before anything changes, and the previous document stays.
    // `ui` shows the wait notice (may be null).
    void compose(const ReportContent& content, UserInteraction* ui = nullptr);

    // The layout of the last composition.
    const ColumnFit& columns() const { return fit_; }
    int tableX() const { return tableX_; }

    // Tries font steps 0, 1, 2 … until the widths fit `available`, or the step reaches
    // MaxFontStep. `widthAt(col, step)` is the width a column needs at a step.
    static ColumnFit fitColumns(int columnCount, int available,
                                const std::function<int(int col, int step)>& widthAt);

private:
    struct Line {
        QString text;
        bool centred = false;
    };
    struct Cell {
        std::vector<Line> lines;
        bool bold = false;
        std::optional<FontSpec> font;
    };

    QFont fontOf(const FontSpec& spec, int fontStep, bool bold) const;
    QFont printFont(double points, bool bold = false) const;
    void textOut(int x, int y, const QString& text);
    const QFontMetrics& metrics(const QFont& font) const;
    int textWidth(const QFont& font, const QString& text) const;
    int textHeight(const QFont& font) const;

    void takeCells(const ReportContent& content);
    int columnWidth(int col, int step) const;
    void pageFrame();
    void pageHeading();
    void startPage(); // frame and heading of a fresh page
    void newPage();
    void drawRow(int row, bool header);
    void drawComments();
    QString decoded(const std::string& bytes) const;

    TPagePrinter& prn_;
    const ReportContent* content_ = nullptr;
    std::vector<std::vector<Cell>> cells_; // [row][col]
    std::optional<QImage> logo_;
    mutable std::map<QString, QFontMetrics> metrics_;
    ColumnFit fit_;

    // Device pixels of the page being composed.
    int x0_ = 0;
    int y0_ = 0;
    int pw_ = 0;
    int ph_ = 0;
    int sideGap_ = 0;
    int headingHeight_ = 0;
    int footerReserve_ = 0;
    int tableX_ = 0;
    int y_ = 0;
    bool headerDrawn_ = false;
    bool pageStarted_ = false;
    bool shade_ = false;
};

} // namespace zarn
