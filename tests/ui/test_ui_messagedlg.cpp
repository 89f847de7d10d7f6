// The program's message dialog: buttons, results, default and Escape buttons, texts.
#include "UiTestSupport.h"
#include "ui/MessageDlg.h"

#include <QLabel>
#include <QPushButton>
#include <QtTest>

using namespace zarn;

Q_DECLARE_METATYPE(zarn::ButtonSet)

namespace {

MessageDlgTexts englishTexts() {
    MessageDlgTexts t;
    t.buttonCaptions = {"&Yes",   "&No",     "&OK",    "&Cancel",    "&Abort",
                        "&Retry", "&Ignore", "&All",   "N&o to All", "Yes to A&ll",
                        "&Help",  "&Close",  "Cus&tom"};
    t.dialogTitles = {"Warning", "Error", "Information", "Confirmation", "Custom"};
    return t;
}

} // namespace

class MessageDlgTest : public QObject {
    Q_OBJECT
private slots:
    void init() { setMessageDlgTexts(englishTexts()); }

    void defaultAndEscape_data() {
        QTest::addColumn<ButtonSet>("buttons");
        QTest::addColumn<QString>("defaultName");
        QTest::addColumn<QString>("escapeName");
        QTest::addColumn<int>("enterResult");
        QTest::addColumn<int>("escapeResult"); // -1: Escape leaves the dialog open
        using B = DialogButton;
        QTest::newRow("yes-no-cancel") << ButtonSet{B::Yes, B::No, B::Cancel} << "Yes"
                                       << "Cancel" << modal::Yes << modal::Cancel;
        QTest::newRow("yes-no") << ButtonSet{B::Yes, B::No} << "Yes"
                                << "No" << modal::Yes << modal::No;
        QTest::newRow("ok-cancel") << ButtonSet{B::Ok, B::Cancel} << "OK"
                                   << "Cancel" << modal::Ok << modal::Cancel;
        QTest::newRow("ok-only") << ButtonSet{B::Ok} << "OK"
                                 << "OK" << modal::Ok << modal::Ok;
        QTest::newRow("yes-ok: OK wins") << ButtonSet{B::Yes, B::Ok} << "OK"
                                         << "OK" << modal::Ok << modal::Ok;
        QTest::newRow("abort-retry-ignore") << ButtonSet{B::Abort, B::Retry, B::Ignore} << "Retry"
                                            << "" << modal::Retry << -1;
    }
    void defaultAndEscape() {
        QFETCH(ButtonSet, buttons);
        QFETCH(QString, defaultName);
        QFETCH(QString, escapeName);
        QFETCH(int, enterResult);
        QFETCH(int, escapeResult);

        {
            TMessageForm form("Question?", DialogType::Confirmation, buttons, 0);
            QCOMPARE(form.defaultButton() ? form.defaultButton()->objectName() : QString(),
                     defaultName);
            QCOMPARE(form.escapeButton() ? form.escapeButton()->objectName() : QString(),
                     escapeName);
            form.show();
            QTest::keyClick(&form, Qt::Key_Escape);
            if (escapeResult < 0) {
                QVERIFY(form.isVisible());
            } else {
                QVERIFY(!form.isVisible());
                QCOMPARE(form.result(), escapeResult);
            }
        }
        {
            TMessageForm form("Question?", DialogType::Confirmation, buttons, 0);
            form.show();
            QApplication::setActiveWindow(&form);
            form.defaultButton()->setFocus();
            QTest::keyClick(QApplication::focusWidget() ? QApplication::focusWidget()
                                                        : static_cast<QWidget*>(&form),
                            Qt::Key_Return);
            QVERIFY(!form.isVisible());
            QCOMPARE(form.result(), enterResult);
        }
    }

    void buttonResults_data() {
        QTest::addColumn<int>("button");
        QTest::addColumn<int>("result");
        const int results[] = {6, 7, 1, 2, 3, 4, 5, 8, 9, 10, 0, 30, 31};
        const char* names[] = {"Yes", "No",      "OK",       "Cancel", "Abort", "Retry", "Ignore",
                               "All", "NoToAll", "YesToAll", "Help",   "Close", "Custom"};
        for (int i = 0; i < MessageButtonCount; ++i) {
            if (i != static_cast<int>(DialogButton::Help))
                QTest::newRow(names[i]) << i << results[i];
        }
    }
    void buttonResults() {
        QFETCH(int, button);
        QFETCH(int, result);
        const auto kind = static_cast<DialogButton>(button);
        test::onNextModal([kind](QWidget* w) {
            auto* form = qobject_cast<TMessageForm*>(w);
            QVERIFY(form);
            form->button(kind)->click();
        });
        QCOMPARE(MessageDlg("Pick one", DialogType::Information, {kind, DialogButton::Help}),
                 result);
    }

    // Help shows the help and leaves the question open.
    void helpDoesNotClose() {
        int helpCalls = 0;
        int helpContext = -1;
        setMessageHelpHandler([&](int context, const std::string&) {
            ++helpCalls;
            helpContext = context;
        });
        TMessageForm form("Need help?", DialogType::Warning, {DialogButton::Ok, DialogButton::Help},
                          17);
        form.show();
        form.button(DialogButton::Help)->click();
        QCOMPARE(helpCalls, 1);
        QCOMPARE(helpContext, 17);
        QVERIFY(form.isVisible());
        form.button(DialogButton::Ok)->click();
        QVERIFY(!form.isVisible());
        QCOMPARE(form.result(), modal::Ok);
        setMessageHelpHandler({});
    }

    void texts_data() {
        QTest::addColumn<int>("type");
        QTest::addColumn<QString>("title");
        QTest::addColumn<bool>("hasIcon");
        QTest::newRow("warning") << 0 << "Warning" << true;
        QTest::newRow("error") << 1 << "Error" << true;
        QTest::newRow("information") << 2 << "Information" << true;
        QTest::newRow("confirmation") << 3 << "Confirmation" << true;
        QTest::newRow("custom") << 4 << "Custom" << false;
    }
    void texts() {
        QFETCH(int, type);
        QFETCH(QString, title);
        QFETCH(bool, hasIcon);
        TMessageForm form("Line one\rLine two", static_cast<DialogType>(type),
                          {DialogButton::Yes, DialogButton::NoToAll}, 0);
        QCOMPARE(form.windowTitle(), title);
        QCOMPARE(form.button(DialogButton::Yes)->text(), QStringLiteral("&Yes"));
        QCOMPARE(form.button(DialogButton::NoToAll)->text(), QStringLiteral("N&o to All"));
        QVERIFY(!form.button(DialogButton::Yes)->icon().isNull());
        QVERIFY(form.button(DialogButton::NoToAll)->icon().isNull()); // caption only
        QCOMPARE(form.iconLabel() != nullptr, hasIcon);
        QCOMPARE(form.messageLabel()->text(), QStringLiteral("Line one\nLine two"));
        // Buttons left to right in table order.
        QVERIFY(form.button(DialogButton::Yes)->x() < form.button(DialogButton::NoToAll)->x());
    }

    void textsEmptyBeforeLanguage() {
        setMessageDlgTexts({});
        TMessageForm form("x", DialogType::Error, {DialogButton::Ok}, 0);
        QCOMPARE(form.windowTitle(), QString());
        QCOMPARE(form.button(DialogButton::Ok)->text(), QString());
    }

    void layout() {
        std::string longText;
        for (int i = 0; i < 200; ++i)
            longText += "measurement ";
        TMessageForm wide(longText, DialogType::Custom, {DialogButton::Ok}, 0);
        QVERIFY(wide.messageLabel()->width() <= TMessageForm::wrapWidth() + 1);
        QVERIFY(wide.messageLabel()->width() > TMessageForm::wrapWidth() / 2);
        QVERIFY(wide.messageLabel()->height() > 3 * wide.fontMetrics().height());
        QVERIFY(wide.button(DialogButton::Ok)->y() > wide.messageLabel()->geometry().bottom());

        // One short line next to an icon still takes the icon's 32 pixels.
        TMessageForm small("Saved.", DialogType::Information, {DialogButton::Ok}, 0);
        QVERIFY(small.messageLabel()->height() < 32);
        QVERIFY(small.button(DialogButton::Ok)->y() >= small.iconLabel()->y() + 32);
        QVERIFY(small.messageLabel()->x() > small.iconLabel()->geometry().right());
    }

    void position() {
        test::onNextModal([](QWidget* w) {
            QCOMPARE(w->pos(), QPoint(40, 50));
            qobject_cast<TMessageForm*>(w)->button(DialogButton::Ok)->click();
        });
        QCOMPARE(MessageDlgPos("here", DialogType::Warning, {DialogButton::Ok}, 0, 40, 50),
                 modal::Ok);
        test::onNextModal([](QWidget* w) {
            QCOMPARE(w->windowTitle(), QStringLiteral("Custom"));
            QVERIFY(!qobject_cast<TMessageForm*>(w)->iconLabel());
            qobject_cast<TMessageForm*>(w)->button(DialogButton::Ok)->click();
        });
        ShowMessage("plain notice");
    }
};

QTEST_MAIN(MessageDlgTest)
#include "test_ui_messagedlg.moc"
