#include "ui/Preview.h"

#include "core/base/TextRoutines.h"
#include "core/base/UserInteraction.h"
#include "core/lang/LStr.h"
#include "print/DisplayText.h"
#include "print/PagePrinter.h"
#include "print/PdfPrintTarget.h"
#include "ui/Margins.h"
#include "ui/PagePrinterView.h"
#include "ui/SelectPages.h"

#include <QComboBox>
#include <QEvent>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPrintDialog>
#include <QPrinter>
#include <QStyle>
#include <QToolButton>
#include <QVBoxLayout>
#include <algorithm>

namespace zarn {

int TPreview::zoomInItem(int z) {
    for (size_t i = 0; i < ZoomPresets.size(); ++i) {
        if (ZoomPresets[i] > z)
            return static_cast<int>(i);
    }
    return static_cast<int>(ZoomPresets.size()) - 1;
}

int TPreview::zoomOutItem(int z) {
    for (size_t i = ZoomPresets.size(); i-- > 0;) {
        if (ZoomPresets[i] < z)
            return static_cast<int>(i);
    }
    return 0;
}

TPreview::TPreview(const TLStr& texts, UserInteraction& ui, QWidget* parent)
    : QWidget(parent, Qt::Window), texts_(texts), ui_(ui), prn_(std::make_unique<TPagePrinter>()),
      report_(std::make_unique<ResultsReport>(*prn_)) {
    setObjectName(QStringLiteral("TPreview"));
    setWindowTitle(QStringLiteral("Print Preview"));
    prn_->setMeasureUnit(TMeasureUnit::muMillimeters);
    prn_->setShowProgress(false);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    PanelIcons = new QWidget(this);
    PanelIcons->setObjectName(QStringLiteral("PanelIcons"));
    auto* icons = new QHBoxLayout(PanelIcons);
    icons->setContentsMargins(4, 2, 4, 2);
    const auto button = [this, icons](const char* name, QStyle::StandardPixmap pixmap,
                                      const QString& text, void (TPreview::*slot)()) {
        auto* b = new QToolButton(PanelIcons);
        b->setObjectName(QString::fromLatin1(name));
        if (pixmap != QStyle::SP_CustomBase)
            b->setIcon(style()->standardIcon(pixmap));
        b->setText(text);
        b->setToolButtonStyle(pixmap == QStyle::SP_CustomBase ? Qt::ToolButtonTextOnly
                                                              : Qt::ToolButtonIconOnly);
        b->setAutoRaise(true);
        icons->addWidget(b);
        connect(b, &QToolButton::clicked, this, slot);
        return b;
    };
    IcoLeftK = button("IcoLeftK", QStyle::SP_MediaSkipBackward, QStringLiteral("|<"),
                      &TPreview::IcoLeftKClick);
    IcoLeft = button("IcoLeft", QStyle::SP_MediaSeekBackward, QStringLiteral("<"),
                     &TPreview::IcoLeftClick);
    IcoRight = button("IcoRight", QStyle::SP_MediaSeekForward, QStringLiteral(">"),
                      &TPreview::IcoRightClick);
    IcoRightK = button("IcoRightK", QStyle::SP_MediaSkipForward, QStringLiteral(">|"),
                       &TPreview::IcoRightKClick);
    IcoZoomOut = button("IcoZoomOut", QStyle::SP_CustomBase, QStringLiteral("\u2212"),
                        &TPreview::IcoZoomOutClick);
    Zoom = new QComboBox(PanelIcons);
    Zoom->setObjectName(QStringLiteral("Zoom"));
    Zoom->setEditable(true);
    Zoom->setInsertPolicy(QComboBox::NoInsert);
    for (int z : ZoomPresets)
        Zoom->addItem(QStringLiteral("%1%").arg(z));
    Zoom->addItem(QStringLiteral("Page Width"));
    Zoom->addItem(QStringLiteral("Whole Page"));
    Zoom->setMinimumContentsLength(10);
    Zoom->lineEdit()->installEventFilter(this);
    icons->addWidget(Zoom);
    connect(Zoom, &QComboBox::activated, this, &TPreview::ZoomChange);
    IcoZoomIn =
        button("IcoZoomIn", QStyle::SP_CustomBase, QStringLiteral("+"), &TPreview::IcoZoomInClick);
    IcoPrintSet = button("IcoPrintSet", QStyle::SP_FileDialogDetailedView,
                         QStringLiteral("Printer set-up"), &TPreview::IcoPrintSetClick);
    IcoMargins = button("IcoMargins", QStyle::SP_FileDialogListView, QStringLiteral("Margins"),
                        &TPreview::IcoMarginsClick);
    IcoPrint = button("IcoPrint", QStyle::SP_DialogSaveButton, QStringLiteral("Print"),
                      &TPreview::IcoPrintClick);
    IcoPrint->setIcon(QIcon::fromTheme(QStringLiteral("document-print"), IcoPrint->icon()));
    IcoSavePdf = button("IcoSavePdf", QStyle::SP_CustomBase, QStringLiteral("Save as PDF..."),
                        &TPreview::IcoSavePdfClick);
    IcoSavePdf->setToolTip(QStringLiteral("Save the pages as a PDF file"));
    IcoExit = button("IcoExit", QStyle::SP_DialogCloseButton, QStringLiteral("Stop"),
                     &TPreview::IcoExitClick);
    IcoExit->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    Page = new QLabel(PanelIcons);
    Page->setObjectName(QStringLiteral("Page"));
    icons->addSpacing(12);
    icons->addWidget(Page);
    icons->addStretch();
    layout->addWidget(PanelIcons);

    PrnView = new PagePrinterView(*prn_, this);
    PrnView->setObjectName(QStringLiteral("Prn"));
    layout->addWidget(PrnView, 1);
    PrnView->setZoomPercent(100);
    Zoom->setCurrentIndex(3);
    resize(900, 700);
}

TPreview::~TPreview() = default;

void TPreview::setDialogs(TMargins* margins, TSelectPages* selectPages) {
    margins_ = margins;
    selectPages_ = selectPages;
    if (selectPages_)
        selectPages_->setPrintHandler([this] { printPages(); });
}

bool TPreview::ComposeReport() {
    Page->clear();
    if (!contentSource_)
        return false;
    try {
        const ReportContent content = contentSource_();
        // Margins that are no numbers stop here, before the window shows.
        marginsInMillimetres(content.margins);
        showMaximized();
        report_->compose(content, &ui_);
    } catch (const std::exception& e) {
        ui_.messageDlg(e.what(), DialogType::Error, {DialogButton::Ok});
        UpdateNavigation();
        return false;
    }
    UpdateNavigation();
    return true;
}

int TPreview::zoomValue() const {
    return text::digitsToInt(fromDisplay(Zoom->currentText()));
}

void TPreview::UpdateNavigation() {
    const int page = prn_->currentPage();
    const int count = prn_->pageCount();
    IcoLeftK->setEnabled(page > 1);
    IcoLeft->setEnabled(page > 1);
    IcoRightK->setEnabled(page < count);
    IcoRight->setEnabled(page < count);
    const int z = zoomValue();
    IcoZoomIn->setEnabled(z < MaxZoom);
    IcoZoomOut->setEnabled(z > ZoomPresets.front());
    Page->setText(
        QStringLiteral("%1 %2 %3").arg(page).arg(toDisplay(texts_.text("of_5"))).arg(count));
}

void TPreview::showPage(int page) {
    try {
        prn_->showPage(page);
    } catch (const EPagePrinter& e) {
        ui_.messageDlg(e.what(), DialogType::Error, {DialogButton::Ok});
    }
    UpdateNavigation();
}

void TPreview::IcoLeftKClick() {
    if (prn_->currentPage() != 1)
        showPage(1);
}

void TPreview::IcoLeftClick() {
    if (prn_->currentPage() >= 2)
        showPage(prn_->currentPage() - 1);
}

void TPreview::IcoRightClick() {
    if (prn_->currentPage() < prn_->pageCount())
        showPage(prn_->currentPage() + 1);
}

void TPreview::IcoRightKClick() {
    if (prn_->currentPage() != prn_->pageCount())
        showPage(prn_->pageCount());
}

void TPreview::ZoomChange(int item) {
    if (item >= 0 && item < static_cast<int>(ZoomPresets.size()))
        PrnView->setZoomPercent(ZoomPresets[static_cast<size_t>(item)]);
    else if (item == PageWidthItem)
        PrnView->zoomToWidth();
    else if (item == WholePageItem)
        PrnView->zoomToFit();
    UpdateNavigation();
}

// Any typed number is taken, within what the view can draw.
void TPreview::ZoomEntered() {
    const int typed = zoomValue();
    if (typed == 0) {
        // No number: the zoom stays as it is.
        Zoom->setEditText(QStringLiteral("%1%").arg(PrnView->zoomPercent()));
        UpdateNavigation();
        return;
    }
    const int zoom = std::clamp(typed, MinZoom, MaxZoom);
    if (zoom != typed)
        Zoom->setEditText(QStringLiteral("%1%").arg(zoom));
    PrnView->setZoomPercent(zoom);
    UpdateNavigation();
}

void TPreview::IcoZoomInClick() {
    const int item = zoomInItem(zoomValue());
    Zoom->setCurrentIndex(item);
    ZoomChange(item);
}

void TPreview::IcoZoomOutClick() {
    const int item = zoomOutItem(zoomValue());
    Zoom->setCurrentIndex(item);
    ZoomChange(item);
}

bool TPreview::eventFilter(QObject* watched, QEvent* event) {
    if (watched == Zoom->lineEdit() && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            ZoomEntered();
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

// Orientation and paper may change, so the report is composed again.
void TPreview::IcoPrintSetClick() {
    QPrintDialog dialog(&prn_->printer(), this);
    dialog.setOptions(QAbstractPrintDialog::PrintToFile | QAbstractPrintDialog::PrintShowPageSize);
    if (dialog.exec() == QDialog::Accepted)
        prn_->printerChanged();
    ComposeReport();
}

void TPreview::IcoMarginsClick() {
    if (!margins_)
        return;
    margins_->exec();
    if (margins_->saved()) {
        margins_->load();
        ComposeReport();
    }
}

void TPreview::IcoPrintClick() {
    if (prn_->pageCount() == 0 || !selectPages_)
        return;
    selectPages_->prepare(*prn_);
    selectPages_->exec();
}

void TPreview::printPages() {
    try {
        if (printTarget_)
            prn_->print(*printTarget_, &ui_);
        else
            prn_->print(&ui_);
    } catch (const std::exception& e) {
        ui_.messageDlg(e.what(), DialogType::Error, {DialogButton::Ok});
    }
}

void TPreview::IcoSavePdfClick() {
    if (prn_->pageCount() == 0)
        return;
    FileDialogRequest request;
    request.title = "Save as PDF";
    request.filterName = "PDF files";
    request.extension = "pdf";
    request.proposedName = "report.pdf";
    const auto file = ui_.chooseSaveFile(request);
    if (!file)
        return;
    try {
        writePdfPages(*prn_, QString::fromStdString(*file));
    } catch (const std::exception& e) {
        ui_.messageDlg(e.what(), DialogType::Error, {DialogButton::Ok});
    }
}

// The composed document stays for the next showing.
void TPreview::IcoExitClick() {
    close();
}

} // namespace zarn
