// TPreview: the print preview. It composes the results report on its page printer, shows it
// with zoom and page navigation, prints a page range, and saves the pages as PDF.
#pragma once

#include "print/ResultsReport.h"

#include <QWidget>
#include <array>
#include <functional>
#include <memory>

class QComboBox;
class QLabel;
class QToolButton;

namespace zarn {

class PagePrinterView;
class PrintTarget;
class TLStr;
class TMargins;
class TPagePrinter;
class TSelectPages;
class UserInteraction;

class TPreview : public QWidget {
    Q_OBJECT
public:
    // The zoom box's fixed percentages, items 0 … 11; items 12 and 13 are Page Width and
    // Whole Page.
    static constexpr std::array<int, 12> ZoomPresets = {25,  50,  75,  100, 125, 150,
                                                        175, 200, 250, 300, 350, 400};
    static constexpr int PageWidthItem = 12;
    static constexpr int WholePageItem = 13;
    static constexpr int MinZoom = 1;
    static constexpr int MaxZoom = ZoomPresets.back();
    // The preset zoom-in (zoom-out) selects from zoom z.
    static int zoomInItem(int z);
    static int zoomOutItem(int z);

    TPreview(const TLStr& texts, UserInteraction& ui, QWidget* parent = nullptr);
    ~TPreview() override;

    // What the report shows, asked for at every composition.
    void setContentSource(std::function<ReportContent()> source) {
        contentSource_ = std::move(source);
    }
    // The margins dialog that Margins shows, and the page-range dialog of Print.
    void setDialogs(TMargins* margins, TSelectPages* selectPages);
    // Where Print sends the pages; null sends them to the page printer's printer.
    void setPrintTarget(PrintTarget* target) { printTarget_ = target; }

    // Composes the whole report anew and shows the window. False when it could not be
    // composed (the reason was shown).
    bool ComposeReport();
    void UpdateNavigation();

    TPagePrinter& Prn() { return *prn_; }
    PagePrinterView* PrnView = nullptr;
    QWidget* PanelIcons = nullptr;
    QToolButton* IcoLeftK = nullptr;
    QToolButton* IcoLeft = nullptr;
    QToolButton* IcoRight = nullptr;
    QToolButton* IcoRightK = nullptr;
    QToolButton* IcoZoomOut = nullptr;
    QToolButton* IcoZoomIn = nullptr;
    QToolButton* IcoPrintSet = nullptr;
    QToolButton* IcoMargins = nullptr;
    QToolButton* IcoPrint = nullptr;
    QToolButton* IcoSavePdf = nullptr;
    QToolButton* IcoExit = nullptr;
    QComboBox* Zoom = nullptr;
    QLabel* Page = nullptr;

public slots:
    void IcoLeftKClick();
    void IcoLeftClick();
    void IcoRightClick();
    void IcoRightKClick();
    void IcoZoomInClick();
    void IcoZoomOutClick();
    void IcoPrintSetClick();
    void IcoMarginsClick();
    void IcoPrintClick();
    void IcoSavePdfClick();
    void IcoExitClick();
    // Chooses a zoom item (0 … 13).
    void ZoomChange(int item);
    // A typed zoom, confirmed with Enter.
    void ZoomEntered();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void printPages();
    void showPage(int page);
    // The decimal digits of the zoom box's text.
    int zoomValue() const;

    const TLStr& texts_;
    UserInteraction& ui_;
    std::unique_ptr<TPagePrinter> prn_;
    std::unique_ptr<ResultsReport> report_;
    std::function<ReportContent()> contentSource_;
    TMargins* margins_ = nullptr;
    TSelectPages* selectPages_ = nullptr;
    PrintTarget* printTarget_ = nullptr;
};

} // namespace zarn
