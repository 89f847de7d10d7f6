// The printout heading dialogs: Comments (line limits, trimming, OK) and Operator/Test site
// (modes, logo fitting, OK).
#include "UiTestSupport.h"
#include "core/base/IniFile.h"
#include "core/lang/LStr.h"
#include "core/structfile/StructFile.h"
#include "print/DisplayText.h"
#include "support/ScriptedInteraction.h"
#include "ui/CommentBox.h"
#include "ui/PersonalData.h"

#include <QCheckBox>
#include <QClipboard>
#include <QGuiApplication>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTextCursor>
#include <QtTest>

using namespace zarn;

namespace {

QString numberedLines(int count) {
    QStringList lines;
    for (int i = 1; i <= count; ++i)
        lines << QStringLiteral("line %1").arg(i);
    return lines.join(QLatin1Char('\n'));
}

} // namespace

class PrintoutHeadingTest : public QObject {
    Q_OBJECT
private:
    QTemporaryDir dir_;
    std::string settingsPath() const {
        return dir_.filePath(QStringLiteral("ZARN.INI")).toStdString();
    }

private slots:
    void init() { QFile::remove(dir_.filePath(QStringLiteral("ZARN.INI"))); }

    void pasteBeyondTheLimitIsUndone_data() {
        QTest::addColumn<int>("before");
        QTest::addColumn<int>("pasted");
        QTest::addColumn<bool>("autotest");
        QTest::addColumn<int>("expectedLines");
        QTest::newRow("250 into empty comments") << 0 << 250 << false << 0;
        QTest::newRow("150 after 100") << 100 << 150 << false << 100;
        QTest::newRow("100 after 100") << 100 << 100 << false << 200;
        QTest::newRow("6 into autotest") << 0 << 6 << true << 0;
        QTest::newRow("5 into autotest") << 0 << 5 << true << 5;
    }
    void pasteBeyondTheLimitIsUndone() {
        QFETCH(int, before);
        QFETCH(int, pasted);
        QFETCH(bool, autotest);
        QFETCH(int, expectedLines);
        PrintoutComments comments;
        for (int n = 1; n <= before; ++n)
            comments.setLine(n, "line " + std::to_string(n));
        PrivateProfile settings(settingsPath());
        TCommentBox box(comments, settings);
        box.show();
        QPlainTextEdit* memo = autotest ? box.SComm : box.Comments;
        const QString original = memo->toPlainText();
        memo->setFocus();
        memo->moveCursor(QTextCursor::End);
        if (before > 0)
            QTest::keyClick(memo, Qt::Key_Return);
        const QString beforePaste = memo->toPlainText();
        QGuiApplication::clipboard()->setText(numberedLines(pasted));
        QTest::keyClick(memo, Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(memoLineCount(memo->toPlainText()), expectedLines);
        if (expectedLines == before)
            QCOMPARE(memo->toPlainText(), beforePaste);
        QVERIFY(memoLineCount(memo->toPlainText()) <= (autotest ? 5 : 200));
        (void)original;
    }

    void typingAtTheLimitAddsNoLine() {
        PrintoutComments comments;
        for (int n = 1; n <= 200; ++n)
            comments.setLine(n, "c" + std::to_string(n));
        PrivateProfile settings(settingsPath());
        TCommentBox box(comments, settings);
        box.show();
        box.Comments->setFocus();
        box.Comments->moveCursor(QTextCursor::End);
        QTest::keyClick(box.Comments, Qt::Key_Return);
        // A final line break opens no line yet; typing on it would make line 201.
        QCOMPARE(memoLineCount(box.Comments->toPlainText()), 200);
        QTest::keyClicks(box.Comments, QStringLiteral("x"));
        QCOMPARE(memoLineCount(box.Comments->toPlainText()), 200);
        QVERIFY(box.Comments->toPlainText().endsWith(QStringLiteral("c200\n")));
    }

    void trailingBlanksAreTrimmedWhileTypingElsewhere() {
        PrintoutComments comments;
        PrivateProfile settings(settingsPath());
        TCommentBox box(comments, settings);
        box.show();
        box.Comments->setPlainText(QStringLiteral("abc   \n\n  "));
        box.Comments->setFocus();
        box.Comments->moveCursor(QTextCursor::Start);
        QTest::keyClick(box.Comments, Qt::Key_X);
        QCOMPARE(box.Comments->toPlainText(), QStringLiteral("xabc"));
        // At the end of the text the blanks stay: they are being typed.
        box.Comments->moveCursor(QTextCursor::End);
        QTest::keyClicks(box.Comments, QStringLiteral("  "));
        QCOMPARE(box.Comments->toPlainText(), QStringLiteral("xabc  "));
    }

    void okWritesAllKeysAndSwitches() {
        PrintoutComments comments;
        comments.setLine(7, "old");
        comments.setSwitches("1");
        PrivateProfile settings(settingsPath());
        TCommentBox box(comments, settings);
        int accepted = 0;
        box.setAcceptedHandler([&] { ++accepted; });
        box.show();
        // A switches text shorter than three characters shows every box unticked.
        QVERIFY(!box.checkComments->isChecked());
        QVERIFY(!box.checkPageNum->isChecked());
        box.Comments->clear();
        box.checkPageNum->setChecked(true);
        QTest::mouseClick(box.OkBtn, Qt::LeftButton);
        QCOMPARE(accepted, 1);
        const auto ini = IniDocument::load(settingsPath());
        QVERIFY(ini.has_value());
        for (int n = 1; n <= 200; ++n) {
            const auto value = ini->find("COMMENTS", "comm" + std::to_string(n));
            QVERIFY2(value.has_value(), ("comm" + std::to_string(n)).c_str());
            QCOMPARE(QString::fromStdString(*value), QString());
        }
        QCOMPARE(QString::fromStdString(ini->read("COMMENTS", "checks")), QStringLiteral("001"));
        QCOMPARE(QString::fromStdString(comments.line(7)), QString());
    }

    // OK stores each line as a structure file can hold it, so that a save and reopen gives
    // back exactly what memory holds.
    void markerLinesAreStoredAsTheFileKeepsThem_data() {
        QTest::addColumn<QString>("memo");
        QTest::addColumn<QString>("autotest");
        QTest::addColumn<QStringList>("lines");
        QTest::addColumn<QStringList>("autotestLines");
        QTest::newRow("structure data")
            << QStringLiteral("a\n*** STRUCTURE DATA\nb") << QString()
            << QStringList{"a", "*** STRUCTURE DATA ", "b"} << QStringList{};
        QTest::newRow("comments2 and end marker")
            << QStringLiteral("*** COMMENTS2\nx\n*** KONEC") << QString()
            << QStringList{"*** COMMENTS2", "x", "*** KONEC"} << QStringList{};
        QTest::newRow("autotest markers")
            << QString() << QStringLiteral("*** COMMENTS2\n*** STRUCTURE DATA") << QStringList{}
            << QStringList{"*** COMMENTS2 ", "*** STRUCTURE DATA "};
    }
    void markerLinesAreStoredAsTheFileKeepsThem() {
        QFETCH(QString, memo);
        QFETCH(QString, autotest);
        QFETCH(QStringList, lines);
        QFETCH(QStringList, autotestLines);
        TLStr texts;
        InstallationTree tree;
        ResultsTable table;
        PrintoutHeading heading;
        PrintoutComments comments;
        TProtocol protocol(texts);
        const NodeHandle root = tree.createNode(NoNode);
        tree.initialiseNode(root, kind::Object);
        tree.setText(root, "root");
        PrivateProfile settings(settingsPath());
        TCommentBox box(comments, settings);
        box.show();
        box.Comments->setPlainText(memo);
        box.SComm->setPlainText(autotest);
        QTest::mouseClick(box.OkBtn, Qt::LeftButton);
        for (int n = 1; n <= PrintoutComments::LineCount; ++n)
            QCOMPARE(QString::fromStdString(comments.line(n)), lines.value(n - 1));
        for (int n = 1; n <= PrintoutComments::AutotestLineCount; ++n)
            QCOMPARE(QString::fromStdString(comments.autotestLine(n)), autotestLines.value(n - 1));

        const std::string bytes =
            writeStructure({tree, table, heading, comments, protocol}, 16, {});
        InstallationTree tree2;
        ResultsTable table2;
        PrintoutHeading heading2;
        PrintoutComments comments2;
        TProtocol protocol2(texts);
        const auto read = readStructure(bytes, {tree2, table2, heading2, comments2, protocol2}, {});
        QVERIFY(read.tookWholeFile());
        QVERIFY(comments2 == comments);
        QCOMPARE(tree2.nodeCount(), size_t{1});
    }

    void cancelChangesNothing() {
        PrintoutComments comments;
        comments.setLine(1, "keep");
        PrivateProfile settings(settingsPath());
        TCommentBox box(comments, settings);
        box.show();
        box.Comments->setPlainText(QStringLiteral("changed"));
        QTest::mouseClick(box.CancelBtn, Qt::LeftButton);
        QCOMPARE(QString::fromStdString(comments.line(1)), QStringLiteral("keep"));
        QVERIFY(!QFile::exists(dir_.filePath(QStringLiteral("ZARN.INI"))));
    }

    void logoFitting_data() {
        QTest::addColumn<QSize>("natural");
        QTest::addColumn<QSize>("shown");
        QTest::newRow("twice as high") << QSize(100, 160) << QSize(50, 80);
        QTest::newRow("small grows") << QSize(40, 20) << QSize(160, 80);
        QTest::newRow("wide is cut to width") << QSize(1000, 80) << QSize(200, 16);
        QTest::newRow("exact") << QSize(120, 80) << QSize(120, 80);
    }
    void logoFitting() {
        QFETCH(QSize, natural);
        QFETCH(QSize, shown);
        QCOMPARE(fitLogo(natural, 80, 200), shown);
    }

    void personalDataModesAndOk() {
        const QString logo = dir_.filePath(QStringLiteral("logo.png"));
        QImage image(400, 320, QImage::Format_RGB32);
        image.fill(Qt::red);
        QVERIFY(image.save(logo));
        PrintoutHeading heading;
        heading.setText(PrintoutHeading::Op1, "Ann");
        heading.setText(PrintoutHeading::Site3, "Hall 3");
        heading.setText(PrintoutHeading::Logo, logo.toStdString());
        heading.setLogoMode(1);
        PrivateProfile settings(settingsPath());
        TLStr texts;
        ScriptedInteraction ui;
        TPersonalData dlg(heading, settings, texts, ui);
        int accepted = 0;
        dlg.setAcceptedHandler([&] { ++accepted; });
        dlg.show();
        QVERIFY(dlg.PicturePanel->isVisible());
        QVERIFY(!dlg.TextPanel->isVisible());
        QCOMPARE(dlg.Operator1->text(), QStringLiteral("Ann"));
        QCOMPARE(dlg.Site3->text(), QStringLiteral("Hall 3"));
        // The logo fits the panel's height; it is twice as high as the room, so half size.
        const int room = dlg.PicturePanel->height() - 2 * dlg.OpImage->y();
        QCOMPARE(dlg.OpImage->height(), room);
        QCOMPARE(dlg.OpImage->width(), qRound(400.0 * room / 320));

        QTest::mouseClick(dlg.ToBtn, Qt::LeftButton);
        QCOMPARE(dlg.workingMode(), 0);
        QVERIFY(dlg.TextPanel->isVisible());
        dlg.Footer2->setText(QStringLiteral("Footer two"));
        QTest::mouseClick(dlg.OKBtn, Qt::LeftButton);
        QCOMPARE(accepted, 1);
        QVERIFY(dlg.acceptedFlag());
        const auto ini = IniDocument::load(settingsPath());
        QVERIFY(ini.has_value());
        QCOMPARE(QString::fromStdString(ini->read("OPERATOR", "FOOTER2")),
                 QStringLiteral("Footer two"));
        QCOMPARE(QString::fromStdString(ini->read("OPERATOR", "LogoText")), QStringLiteral("0"));
        QCOMPARE(QString::fromStdString(ini->read("SITE", "site3")), QStringLiteral("Hall 3"));
        QCOMPARE(QString::fromStdString(ini->read("OPERATOR", "Logo")), logo);
        QCOMPARE(heading.logoMode(), 0);
    }

    void personalDataLoadsJpegAndKeepsMissingLogoEmpty() {
        const QString jpeg = dir_.filePath(QStringLiteral("logo.jpg"));
        QImage image(60, 40, QImage::Format_RGB32);
        image.fill(Qt::blue);
        QVERIFY(image.save(jpeg, "JPEG"));
        PrintoutHeading heading;
        heading.setText(PrintoutHeading::Logo, "/nonexistent/logo.bmp");
        heading.setLogoMode(1);
        PrivateProfile settings(settingsPath());
        TLStr texts;
        ScriptedInteraction ui;
        ui.openFileAnswers.push_back(jpeg.toStdString());
        TPersonalData dlg(heading, settings, texts, ui);
        dlg.show();
        QVERIFY(dlg.OpImage->pixmap().isNull()); // missing file: empty, no message
        QVERIFY(ui.messages.empty());
        QTest::mouseClick(dlg.LoadBtn, Qt::LeftButton);
        QCOMPARE(QString::fromStdString(dlg.workingLogo()), jpeg);
        QVERIFY(!dlg.OpImage->pixmap().isNull());
        QTest::mouseClick(dlg.CancelBtn, Qt::LeftButton);
        QCOMPARE(QString::fromStdString(heading.text(PrintoutHeading::Logo)),
                 QStringLiteral("/nonexistent/logo.bmp"));
    }

    // What the user types in the heading and comments dialogs is kept in the code page of the
    // language when it fits there, and as UTF-8 when it does not.
    void typedTextEncoding_data() {
        QTest::addColumn<int>("codePage");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QByteArray>("stored");
        QTest::newRow("slovene letters in 1250") << 1250 << QString::fromUtf8("Kuča Šola")
                                                 << QByteArray("Ku\xE8"
                                                               "a \x8A"
                                                               "ola");
        QTest::newRow("western letters in 1252")
            << 1252 << QString::fromUtf8("Café") << QByteArray("Caf\xE9");
        QTest::newRow("C with caron does not fit 1252") << 1252 << QString::fromUtf8("Kuča")
                                                        << QByteArray("Ku\xC4\x8D"
                                                                      "a");
        QTest::newRow("ohm sign fits no code page")
            << 1250 << QString::fromUtf8("Riso 10 M\u2126") << QByteArray("Riso 10 M\xE2\x84\xA6");
    }
    void typedTextEncoding() {
        QFETCH(int, codePage);
        QFETCH(QString, typed);
        QFETCH(QByteArray, stored);
        setDisplayCodePage(codePage);
        PrintoutHeading heading;
        PrintoutComments comments;
        PrivateProfile settings(settingsPath());
        TLStr texts;
        ScriptedInteraction ui;
        TPersonalData dlg(heading, settings, texts, ui);
        dlg.show();
        dlg.Site2->setText(typed);
        QTest::mouseClick(dlg.OKBtn, Qt::LeftButton);
        TCommentBox box(comments, settings);
        box.show();
        box.Comments->setPlainText(QStringLiteral("first\n") + typed);
        QTest::mouseClick(box.OkBtn, Qt::LeftButton);
        setDisplayCodePage(1252);

        QCOMPARE(QByteArray::fromStdString(heading.text(PrintoutHeading::Site2)), stored);
        QCOMPARE(QByteArray::fromStdString(comments.line(2)), stored);
        const auto ini = IniDocument::load(settingsPath());
        QVERIFY(ini.has_value());
        QCOMPARE(QByteArray::fromStdString(ini->read("SITE", "site2")), stored);
        QCOMPARE(QByteArray::fromStdString(ini->read("COMMENTS", "comm2")), stored);
    }

    // OK in a dialog the user did not change writes the bytes that were there, also bytes the
    // code page does not define; a comment line keeps its bytes when lines above it go.
    void untouchedTextKeepsItsBytes() {
        setDisplayCodePage(1250);
        const std::string codePage = "\xC8rka"; // Črka in 1250
        const std::string utf8 = "\xC5\xA0ola"; // Šola in UTF-8, which 1250 could hold
        const std::string undefined = "a\x98"
                                      "b"; // 0x98 means nothing in 1250
        PrintoutHeading heading;
        heading.setText(PrintoutHeading::Op1, codePage);
        heading.setText(PrintoutHeading::Op2, utf8);
        heading.setText(PrintoutHeading::Site1, undefined);
        PrintoutComments comments;
        comments.setLine(1, codePage);
        comments.setLine(2, utf8);
        comments.setLine(3, undefined);
        PrivateProfile settings(settingsPath());
        TLStr texts;
        ScriptedInteraction ui;
        TPersonalData dlg(heading, settings, texts, ui);
        dlg.show();
        QTest::mouseClick(dlg.OKBtn, Qt::LeftButton);
        TCommentBox box(comments, settings);
        box.show();
        QTest::mouseClick(box.OkBtn, Qt::LeftButton);
        QCOMPARE(heading.text(PrintoutHeading::Op1), codePage);
        QCOMPARE(heading.text(PrintoutHeading::Op2), utf8);
        QCOMPARE(heading.text(PrintoutHeading::Site1), undefined);
        QCOMPARE(comments.line(1), codePage);
        QCOMPARE(comments.line(2), utf8);
        QCOMPARE(comments.line(3), undefined);

        box.show();
        QTextCursor c(box.Comments->document());
        c.select(QTextCursor::LineUnderCursor);
        c.removeSelectedText();
        c.deleteChar(); // the line break: the other lines move up
        QTest::mouseClick(box.OkBtn, Qt::LeftButton);
        setDisplayCodePage(1252);
        QCOMPARE(comments.line(1), utf8);
        QCOMPARE(comments.line(2), undefined);
        QCOMPARE(comments.line(3), std::string());
    }
};

QTEST_MAIN(PrintoutHeadingTest)
#include "test_ui_printoutheading.moc"
