// TStringGridAll: markers drawn as colours, rows and columns that grow to fit and never
// shrink, the heading row, and selections in grid coordinates.
#include "ui/StringGridAll.h"

#include <QHeaderView>
#include <QImage>
#include <QPainter>
#include <QtTest>

using namespace zarn;

namespace {

// Draws one cell into an image and counts the pixels of a colour.
int pixelsOf(TStringGridAll& grid, int col, int row, bool selected, QColor colour,
             QColor background = Qt::white) {
    QImage image(200, 60, QImage::Format_RGB32);
    image.fill(background);
    {
        QPainter p(&image);
        grid.DrawCell(p, col, row, image.rect(), selected);
    }
    int n = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            n += QColor(image.pixel(x, y)) == colour ? 1 : 0;
    return n;
}

void settle(TStringGridAll& grid) {
    grid.viewport()->repaint();
    grid.horizontalHeader()->viewport()->repaint();
    QCoreApplication::processEvents();
    QCoreApplication::processEvents();
}

} // namespace

class GridTest : public QObject {
    Q_OBJECT
private slots:
    void lineColours_data() {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<bool>("selected");
        QTest::addColumn<QColor>("expected");
        QTest::addColumn<QColor>("absent");
        QTest::newRow("C1 red") << QByteArray("\xff"
                                              "C\x01"
                                              "Fail")
                                << false << QColor(255, 0, 0) << QColor(0, 0, 0);
        QTest::newRow("C3 green") << QByteArray("\xff"
                                                "C\x03"
                                                "Pass*")
                                  << false << QColor(0, 128, 0) << QColor(255, 0, 0);
        QTest::newRow("! beats green") << QByteArray("\xff"
                                                     "C\x03"
                                                     "0.41 s !")
                                       << false << QColor(255, 0, 0) << QColor(0, 128, 0);
        QTest::newRow("plain text")
            << QByteArray("Plain") << false << QColor(0, 0, 0) << QColor(255, 0, 0);
    }
    void lineColours() {
        QFETCH(QByteArray, text);
        QFETCH(bool, selected);
        QFETCH(QColor, expected);
        QFETCH(QColor, absent);
        TStringGridAll grid;
        QPalette pal = grid.palette();
        pal.setColor(QPalette::Text, Qt::black);
        grid.setPalette(pal);
        grid.setRowCount(2);
        grid.setCell(0, 1, text.toStdString());
        QFont f = grid.font();
        f.setPixelSize(20);
        f.setStyleStrategy(QFont::NoAntialias);
        grid.setGridFont(f);
        QVERIFY(pixelsOf(grid, 0, 1, selected, expected) > 10);
        QCOMPARE(pixelsOf(grid, 0, 1, selected, absent), 0);
    }

    // A selected cell without a colour marker uses the highlight text colour.
    void selectedCellUsesHighlightText() {
        TStringGridAll grid;
        QPalette pal = grid.palette();
        pal.setColor(QPalette::HighlightedText, QColor(0, 0, 255));
        pal.setColor(QPalette::Text, Qt::black);
        grid.setPalette(pal);
        grid.setRowCount(2);
        grid.setCell(0, 1, "Selected");
        QFont f = grid.font();
        f.setPixelSize(20);
        f.setStyleStrategy(QFont::NoAntialias);
        grid.setGridFont(f);
        QVERIFY(pixelsOf(grid, 0, 1, true, QColor(0, 0, 255)) > 10);
        QCOMPARE(pixelsOf(grid, 0, 1, false, QColor(0, 0, 255)), 0);
    }

    // Hidden text is not drawn: x H2 yzw shows as xw, the same width as "xw" drawn plainly.
    void hiddenText() {
        TStringGridAll grid;
        grid.setRowCount(3);
        grid.setDefaultSizes(4, 4);
        grid.setCell(0, 1,
                     std::string("x\xff"
                                 "H\x02"
                                 "yzw"));
        grid.setCell(1, 1, "xw");
        QImage image(100, 40, QImage::Format_RGB32);
        QPainter p(&image);
        grid.DrawCell(p, 0, 1, image.rect(), false);
        grid.DrawCell(p, 1, 1, image.rect(), false);
        p.end();
        QCOMPARE(grid.cells().colWidth(0), grid.cells().colWidth(1));
    }

    // Two lines grow the row to two line heights + 2 and the column to the wider line + 5;
    // shorter text later leaves both as they are.
    void growsAndNeverShrinks() {
        TStringGridAll grid;
        grid.resize(400, 300);
        grid.setColCount(2);
        grid.setRowCount(3);
        grid.setDefaultSizes(30, 10);
        grid.setCell(1, 1, "a\rbbbbbbbbbbbbbbbbbbbb");
        grid.show();
        QVERIFY(QTest::qWaitForWindowExposed(&grid));
        settle(grid);
        const QFontMetrics fm(grid.font());
        const int height = 2 * fm.height() + 2;
        const int width = fm.horizontalAdvance(QStringLiteral("bbbbbbbbbbbbbbbbbbbb")) + 5;
        QCOMPARE(grid.cells().rowHeight(1), height);
        QCOMPARE(grid.cells().colWidth(1), width);
        QCOMPARE(grid.verticalHeader()->sectionSize(0), height); // model row 0 = grid row 1
        QCOMPARE(grid.horizontalHeader()->sectionSize(1), width);
        QCOMPARE(grid.cells().rowHeight(2), 10 > fm.height() + 2 ? 10 : fm.height() + 2);

        grid.setCell(1, 1, "c");
        settle(grid);
        QCOMPARE(grid.cells().rowHeight(1), height);
        QCOMPARE(grid.horizontalHeader()->sectionSize(1), width);
    }

    // Row 0 is the heading: it stays out of the scrolled rows and grows like any row.
    void headingRow() {
        TStringGridAll grid;
        grid.resize(400, 300);
        grid.setColCount(2);
        grid.setRowCount(4);
        grid.setDefaultSizes(30, 10);
        grid.setCell(0, 0, "Function\rname");
        grid.setCell(0, 1, "first");
        QCOMPARE(grid.model()->rowCount(), 3);
        QCOMPARE(grid.model()->headerData(0, Qt::Horizontal).toString(),
                 QStringLiteral("Function\rname"));
        grid.show();
        QVERIFY(QTest::qWaitForWindowExposed(&grid));
        settle(grid);
        const int height = 2 * QFontMetrics(grid.font()).height() + 2;
        QCOMPARE(grid.cells().rowHeight(0), height);
        QTRY_VERIFY(grid.horizontalHeader()->height() >= height);
    }

    void alignmentsAndSelection() {
        TStringGridAll grid;
        grid.setColCount(3);
        grid.setRowCount(5);
        QCOMPARE(grid.GetColAlignment(2), TSAlign::alsLeft);
        grid.setAlignment(TSAlign::alsRight);
        QCOMPARE(grid.GetColAlignment(2), TSAlign::alsRight);
        grid.SetColAlignment(2, TSAlign::alsCenter);
        grid.SetFixedAlignment(1, TSAlign::alsLeft);
        QCOMPARE(grid.GetColAlignment(2), TSAlign::alsCenter);
        QCOMPARE(grid.GetFixedAlignment(2), TSAlign::alsRight);
        QCOMPARE(grid.GetFixedAlignment(1), TSAlign::alsLeft);

        grid.selectRect({1, 2, 2, 3});
        const auto r = grid.selectionRect();
        QCOMPARE(r.left, 1);
        QCOMPARE(r.top, 2);
        QCOMPARE(r.right, 2);
        QCOMPARE(r.bottom, 3);
    }
};

QTEST_MAIN(GridTest)
#include "test_ui_grid.moc"
