// PagePrinterView: zoom to width and to fit, scrolling per zoom location, and the painted
// sheet with its shadow, margins and the recorded page.
//
// A4 at 300 dpi shown on a 100 dpi screen: at 100 % one screen pixel stands for three printer
// pixels. The scroll bars are 16 pixels wide whatever the style, so the figures are exact.
#include "print/PagePrinter.h"
#include "ui/PagePrinterView.h"

#include <QProxyStyle>
#include <QScrollBar>
#include <QtTest>

using namespace zarn;

namespace {

class FixedScrollBarStyle : public QProxyStyle {
public:
    int pixelMetric(PixelMetric metric, const QStyleOption* option,
                    const QWidget* widget) const override {
        if (metric == PM_ScrollBarExtent)
            return 16;
        return QProxyStyle::pixelMetric(metric, option, widget);
    }
};

struct Fixture {
    Fixture(int width, int height) : view(printer) {
        printer.setFixedGeometry(fallbackGeometry(TMeasureUnit::muMillimeters));
        printer.setMeasureUnit(TMeasureUnit::muMillimeters);
        view.setStyle(&style);
        view.setFrameShape(QFrame::NoFrame);
        view.setScreenDpi(100, 100);
        view.resize(width, height);
        view.show();
        QCoreApplication::processEvents();
    }
    TPagePrinter printer;
    FixedScrollBarStyle style;
    PagePrinterView view;
};

} // namespace

class PagePrinterViewTest : public QObject {
    Q_OBJECT
private slots:
    void sheetSizeFollowsZoom() {
        Fixture f(400, 300);
        f.view.setZoomPercent(100);
        QCOMPARE(f.view.sheetSize(), QSize(827, 1169)); // 2480 / 3, 3508 / 3
        QCOMPARE(f.view.scrollRange(), QSize(827 + 12, 1169 + 12));
        f.view.setZoomPercent(25);
        QCOMPARE(f.view.sheetSize(), QSize(207, 292));
        f.view.setZoomPercent(-5);
        QCOMPARE(f.view.sheetSize(), QSize(0, 0));
        f.view.grab(); // paints without a sheet
    }

    void zoomToWidth_data() {
        QTest::addColumn<int>("width");
        QTest::addColumn<int>("zoom");
        // zoom = trunc(100 × (width − 16 − 2 × 6) × 3 / 2480)
        QTest::newRow("normal window") << 800 << 93;
        QTest::newRow("wide window") << 1600 << 190;
        QTest::newRow("just the scroll bar and shadow") << 28 << 0;
        QTest::newRow("narrower than that") << 10 << -2;
    }
    void zoomToWidth() {
        QFETCH(int, width);
        QFETCH(int, zoom);
        Fixture f(width, 600);
        QSignalSpy changed(&f.view, &PagePrinterView::zoomChanged);
        f.view.zoomToWidth();
        QCOMPARE(f.view.zoomPercent(), zoom);
        QCOMPARE(changed.count(), 1);
    }

    void zoomToFit_data() {
        QTest::addColumn<QSize>("size");
        QTest::addColumn<int>("zoom");
        // A wide window fits the height: trunc(100 × (500 − 28) × 3 / 3508).
        QTest::newRow("wide window, by height") << QSize(1000, 500) << 40;
        // A tall window fits the width: trunc(100 × (400 − 28) × 3 / 2480).
        QTest::newRow("tall window, by width") << QSize(400, 2000) << 45;
    }
    void zoomToFit() {
        QFETCH(QSize, size);
        QFETCH(int, zoom);
        Fixture f(size.width(), size.height());
        f.view.zoomToFit();
        QCOMPARE(f.view.zoomPercent(), zoom);
    }

    void scrollsPerZoomLocation_data() {
        QTest::addColumn<TZoomLocation>("location");
        QTest::addColumn<QPoint>("position");
        // At 200 % the ranges are 1653 + 12 by 2339 + 12 in a 400 × 300 view.
        QTest::newRow("top left") << TZoomLocation::zlTopLeft << QPoint(0, 0);
        QTest::newRow("top centre") << TZoomLocation::zlTopCenter << QPoint(632, 0);
        QTest::newRow("centre") << TZoomLocation::zlCenter << QPoint(632, 1025);
    }
    void scrollsPerZoomLocation() {
        QFETCH(TZoomLocation, location);
        QFETCH(QPoint, position);
        Fixture f(400, 300);
        f.view.setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        f.view.setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        f.view.setZoomLocation(location);
        f.view.setZoomPercent(200);
        auto scrolled = [&] {
            return QPoint(f.view.horizontalScrollBar()->value(),
                          f.view.verticalScrollBar()->value());
        };
        QCOMPARE(scrolled(), position);

        // Showing another page scrolls the same way.
        f.printer.beginDoc();
        f.printer.newPage();
        f.printer.endDoc();
        f.view.horizontalScrollBar()->setValue(100);
        f.view.verticalScrollBar()->setValue(700);
        f.printer.showPage(2);
        QCOMPARE(scrolled(), position);
    }

    void paintsSheetShadowMarginsAndPage() {
        Fixture f(400, 400);
        f.view.setShadowColor(Qt::red);
        f.view.setZoomPercent(25);
        f.printer.setMarginLeft(25.4);
        f.printer.setMarginTop(25.4);
        f.printer.setMarginRight(25.4);
        f.printer.setMarginBottom(25.4);
        // One black inch square at the top-left margin corner.
        f.printer.beginDoc();
        const QPoint origin = f.printer.drawOrigin();
        f.printer.canvas().fillRect(QRect(origin, QSize(300, 300)), Qt::black);
        f.printer.endDoc();

        const QImage image = f.view.viewport()->grab().toImage();
        // The sheet is 207 × 292, centred: left 96, top 54; 25 screen pixels to the inch.
        const QRect sheet = f.view.sheetRect();
        QCOMPARE(sheet, QRect(96, 54, 207, 292));
        auto colour = [&](int x, int y) { return QColor(image.pixel(x, y)); };
        QCOMPARE(colour(96 + 100, 54 + 200), QColor(Qt::white));
        QCOMPARE(colour(96, 54 + 100), QColor(Qt::black));                // outline
        QCOMPARE(colour(96 + 207 + 2, 54 + 100), QColor(Qt::red));        // shadow, right
        QCOMPARE(colour(96 + 100, 54 + 292 + 2), QColor(Qt::red));        // shadow, bottom
        QCOMPARE(colour(96 + 2, 54 + 292 + 2) == QColor(Qt::red), false); // displaced
        // The page: the square spans 1 to 2 inches from the paper edge.
        QCOMPARE(colour(96 + 37, 54 + 37), QColor(Qt::black));
        QCOMPARE(colour(96 + 37, 54 + 80), QColor(Qt::white));
        QCOMPARE(colour(96 + 80, 54 + 37), QColor(Qt::white));
        // The right margin line, one inch in from the right edge: dotted silver.
        int silver = 0;
        int white = 0;
        for (int y = 54 + 40; y < 54 + 250; ++y) {
            silver += colour(96 + 207 - 1 - 25, y) == QColor(192, 192, 192) ? 1 : 0;
            white += colour(96 + 207 - 1 - 25, y) == QColor(Qt::white) ? 1 : 0;
        }
        QVERIFY(silver > 20);
        QVERIFY(white > 20);
        // A gradient behind the sheet.
        QVERIFY(colour(2, 2) != colour(2, 397));

        f.view.setShowMargins(false);
        const QImage plain = f.view.viewport()->grab().toImage();
        QCOMPARE(QColor(plain.pixel(96 + 207 - 1 - 25, 54 + 150)), QColor(Qt::white));
    }
};

QTEST_MAIN(PagePrinterViewTest)
#include "test_ui_pageprinterview.moc"
