// PagePrinterView: shows the current page of a TPagePrinter as a white sheet with a shadow on
// a gradient, scaled to a zoom factor, with the margins as a dotted silver rectangle.
//
// The zoom is in percent of natural size: printer inches shown as screen inches.
#pragma once

#include <QAbstractScrollArea>
#include <QColor>
#include <QRect>
#include <QSize>

namespace zarn {

class TPagePrinter;

enum class TZoomLocation { zlTopLeft, zlTopCenter, zlCenter };

class PagePrinterView : public QAbstractScrollArea {
    Q_OBJECT
public:
    explicit PagePrinterView(TPagePrinter& printer, QWidget* parent = nullptr);
    ~PagePrinterView() override;

    TPagePrinter& pagePrinter() { return printer_; }

    int zoomPercent() const { return zoomPercent_; }
    // Stores the zoom, recomputes the scroll ranges, scrolls per zoomLocation() and repaints.
    void setZoomPercent(int percent);
    TZoomLocation zoomLocation() const { return zoomLocation_; }
    void setZoomLocation(TZoomLocation location) { zoomLocation_ = location; }
    int shadowOffset() const { return shadowOffset_; }
    void setShadowOffset(int pixels);
    QColor shadowColor() const { return shadowColor_; }
    void setShadowColor(const QColor& color);
    bool showMargins() const { return showMargins_; }
    void setShowMargins(bool on);
    bool gradientBackground() const { return gradientBackground_; }
    void setGradientBackground(bool on);

    // The zoom at which the sheet fills the client width (plus shadow and scroll bar).
    void zoomToWidth();
    // zoomToWidth, or the same by height when the sheet is relatively taller than the view.
    void zoomToFit();

    // Screen pixels per inch used for the scale; the widget's logical dpi unless set (tests).
    void setScreenDpi(int dpiX, int dpiY);
    int screenDpiX() const;
    int screenDpiY() const;
    // The sheet's size on screen at the current zoom.
    QSize sheetSize() const;
    // The scroll ranges: sheet plus shadow on both sides plus the outline.
    QSize scrollRange() const;
    // Where the sheet lies in the viewport, scroll position included.
    QRect sheetRect() const;

signals:
    void zoomChanged(int percent);

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void updateRanges();
    void scrollToLocation();
    void pageShown();
    int toScreenX(double inches) const;
    int toScreenY(double inches) const;

    TPagePrinter& printer_;
    int zoomPercent_ = 25;
    TZoomLocation zoomLocation_ = TZoomLocation::zlTopLeft;
    int shadowOffset_ = 5;
    QColor shadowColor_;
    bool showMargins_ = true;
    bool gradientBackground_ = true;
    int screenDpiX_ = 0;
    int screenDpiY_ = 0;
};

} // namespace zarn
