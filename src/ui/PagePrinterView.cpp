#include "ui/PagePrinterView.h"

#include "print/PagePrinter.h"

#include <QLinearGradient>
#include <QPaintEvent>
#include <QPainter>
#include <QScrollBar>
#include <QStyle>
#include <algorithm>
#include <cmath>

namespace zarn {

namespace {

int roundToInt(double value) {
    return static_cast<int>(std::lround(value));
}

} // namespace

PagePrinterView::PagePrinterView(TPagePrinter& printer, QWidget* parent)
    : QAbstractScrollArea(parent), printer_(printer),
      shadowColor_(palette().color(QPalette::Dark)) {
    setBackgroundRole(QPalette::Window);
    viewport()->setAutoFillBackground(false);
    connect(&printer_, &TPagePrinter::pageShown, this, [this](int) { pageShown(); });
    connect(&printer_, &TPagePrinter::geometryChanged, this, [this] {
        updateRanges();
        viewport()->update();
    });
    updateRanges();
}

PagePrinterView::~PagePrinterView() = default;

void PagePrinterView::setZoomPercent(int percent) {
    zoomPercent_ = percent;
    updateRanges();
    scrollToLocation();
    viewport()->update();
    emit zoomChanged(zoomPercent_);
}

void PagePrinterView::setShadowOffset(int pixels) {
    shadowOffset_ = std::max(0, pixels);
    updateRanges();
    viewport()->update();
}

void PagePrinterView::setShadowColor(const QColor& color) {
    shadowColor_ = color;
    viewport()->update();
}

void PagePrinterView::setShowMargins(bool on) {
    showMargins_ = on;
    viewport()->update();
}

void PagePrinterView::setGradientBackground(bool on) {
    gradientBackground_ = on;
    viewport()->update();
}

void PagePrinterView::setScreenDpi(int dpiX, int dpiY) {
    screenDpiX_ = dpiX;
    screenDpiY_ = dpiY;
    updateRanges();
    viewport()->update();
}

int PagePrinterView::screenDpiX() const {
    return screenDpiX_ > 0 ? screenDpiX_ : logicalDpiX();
}

int PagePrinterView::screenDpiY() const {
    return screenDpiY_ > 0 ? screenDpiY_ : logicalDpiY();
}

QSize PagePrinterView::sheetSize() const {
    const PrinterGeometry g = printer_.geometry();
    // f = printer pixels per screen pixel at 100 %.
    const double fx = double(g.dpiX) / screenDpiX();
    const double fy = double(g.dpiY) / screenDpiY();
    const int w = roundToInt(g.paperWidth * double(zoomPercent_) / fx / 100);
    const int h = roundToInt(g.paperHeight * double(zoomPercent_) / fy / 100);
    return {std::max(0, w), std::max(0, h)};
}

QSize PagePrinterView::scrollRange() const {
    const QSize sheet = sheetSize();
    return {sheet.width() + 2 * shadowOffset_ + 2, sheet.height() + 2 * shadowOffset_ + 2};
}

QRect PagePrinterView::sheetRect() const {
    const QSize sheet = sheetSize();
    const QSize range = scrollRange();
    const QSize client = viewport()->size();
    // The sheet is centred on the larger of the view and the scrolled area.
    const int areaW = std::max(client.width(), range.width());
    const int areaH = std::max(client.height(), range.height());
    const int left = (areaW - sheet.width()) / 2 - horizontalScrollBar()->value();
    const int top = (areaH - sheet.height()) / 2 - verticalScrollBar()->value();
    return {left, top, sheet.width(), sheet.height()};
}

void PagePrinterView::updateRanges() {
    const QSize range = scrollRange();
    const QSize client = viewport()->size();
    horizontalScrollBar()->setRange(0, std::max(0, range.width() - client.width()));
    horizontalScrollBar()->setPageStep(std::max(1, client.width()));
    horizontalScrollBar()->setSingleStep(std::max(1, client.width() / 20));
    verticalScrollBar()->setRange(0, std::max(0, range.height() - client.height()));
    verticalScrollBar()->setPageStep(std::max(1, client.height()));
    verticalScrollBar()->setSingleStep(std::max(1, client.height() / 20));
}

void PagePrinterView::scrollToLocation() {
    const QSize range = scrollRange();
    const QSize client = viewport()->size();
    switch (zoomLocation_) {
    case TZoomLocation::zlTopLeft:
        horizontalScrollBar()->setValue(0);
        verticalScrollBar()->setValue(0);
        break;
    case TZoomLocation::zlTopCenter:
        horizontalScrollBar()->setValue((range.width() - client.width()) / 2);
        verticalScrollBar()->setValue(0);
        break;
    case TZoomLocation::zlCenter:
        horizontalScrollBar()->setValue((range.width() - client.width()) / 2);
        verticalScrollBar()->setValue((range.height() - client.height()) / 2);
        break;
    }
}

void PagePrinterView::pageShown() {
    updateRanges();
    scrollToLocation();
    viewport()->update();
}

void PagePrinterView::zoomToWidth() {
    const PrinterGeometry g = printer_.geometry();
    const int clientWidth = width() - 2 * frameWidth();
    const int scrollBar = style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, this);
    const double f = double(g.dpiX) / screenDpiX();
    const double usable = clientWidth - scrollBar - 2 * (shadowOffset_ + 1);
    setZoomPercent(static_cast<int>(std::trunc(100 * usable * f / g.paperWidth)));
}

void PagePrinterView::zoomToFit() {
    const PrinterGeometry g = printer_.geometry();
    const double sheetRatio = (double(g.paperWidth) * screenDpiX() / g.dpiX) /
                              (double(g.paperHeight) * screenDpiY() / g.dpiY);
    const int clientWidth = width() - 2 * frameWidth();
    const int clientHeight = height() - 2 * frameWidth();
    if (clientHeight <= 0 || sheetRatio > double(clientWidth) / clientHeight) {
        zoomToWidth();
        return;
    }
    const int scrollBar = style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, this);
    const double f = double(g.dpiY) / screenDpiY();
    const double usable = clientHeight - scrollBar - 2 * (shadowOffset_ + 1);
    setZoomPercent(static_cast<int>(std::trunc(100 * usable * f / g.paperHeight)));
}

int PagePrinterView::toScreenX(double inches) const {
    return roundToInt(roundToInt(inches * screenDpiX()) * double(zoomPercent_) / 100);
}

int PagePrinterView::toScreenY(double inches) const {
    return roundToInt(roundToInt(inches * screenDpiY()) * double(zoomPercent_) / 100);
}

void PagePrinterView::resizeEvent(QResizeEvent* event) {
    QAbstractScrollArea::resizeEvent(event);
    updateRanges();
}

void PagePrinterView::paintEvent(QPaintEvent*) {
    QPainter painter(viewport());
    const QRect client = viewport()->rect();
    const QColor base = palette().color(QPalette::Window);
    if (gradientBackground_) {
        QLinearGradient gradient(client.topLeft(), client.bottomLeft());
        gradient.setColorAt(0, base.lighter(115));
        gradient.setColorAt(1, base.darker(130));
        painter.fillRect(client, gradient);
    } else {
        painter.fillRect(client, base);
    }

    const QRect sheet = sheetRect();
    if (shadowOffset_ > 0) {
        painter.setPen(shadowColor_);
        painter.setBrush(shadowColor_);
        // Along the right edge and along the bottom edge, both displaced down and right.
        painter.fillRect(
            QRect(sheet.right() + 1, sheet.top() + shadowOffset_, shadowOffset_, sheet.height()),
            shadowColor_);
        painter.fillRect(
            QRect(sheet.left() + shadowOffset_, sheet.bottom() + 1, sheet.width(), shadowOffset_),
            shadowColor_);
    }
    painter.setPen(QPen(Qt::black, 0));
    painter.setBrush(Qt::white);
    painter.drawRect(sheet.adjusted(0, 0, -1, -1));

    const PrinterGeometry g = printer_.geometry();
    const double mmPerInch = 25.4;
    const bool mm = printer_.measureUnit() == TMeasureUnit::muMillimeters;
    auto inches = [&](double units) { return mm ? units / mmPerInch : units; };

    if (const PageRecording* page = printer_.page(printer_.currentPage())) {
        const int left = sheet.left() + toScreenX(double(g.offsetX) / g.dpiX) + 1;
        const int top = sheet.top() + toScreenY(double(g.offsetY) / g.dpiY) + 1;
        const QRect target(QPoint(left, top), QPoint(sheet.right() + 1, sheet.bottom() + 1));
        const QSize source = page->sizePixels();
        if (target.width() > 0 && target.height() > 0 && !source.isEmpty()) {
            painter.save();
            painter.setRenderHint(QPainter::Antialiasing);
            painter.setRenderHint(QPainter::TextAntialiasing);
            painter.setRenderHint(QPainter::SmoothPixmapTransform);
            painter.setClipRect(target);
            painter.translate(target.topLeft());
            painter.scale(double(target.width()) / source.width(),
                          double(target.height()) / source.height());
            playRecording(painter, *page);
            painter.restore();
        }
    }

    if (showMargins_) {
        QPen dotted(QColor(192, 192, 192));
        dotted.setStyle(Qt::DotLine);
        painter.setPen(dotted);
        painter.setBrush(Qt::NoBrush);
        const QRect margins(QPoint(sheet.left() + toScreenX(inches(printer_.marginLeft())),
                                   sheet.top() + toScreenY(inches(printer_.marginTop()))),
                            QPoint(sheet.right() - toScreenX(inches(printer_.marginRight())),
                                   sheet.bottom() - toScreenY(inches(printer_.marginBottom()))));
        painter.drawRect(margins.adjusted(0, 0, -1, -1)); // outline on the rectangle's edge
    }
}

} // namespace zarn
