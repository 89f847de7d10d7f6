// The COM Port dialog against real pseudo-terminals: OK and Cancel, the device paths beside
// the COM items, and Auto Find with its search panel.
#include "UiTestSupport.h"
#include "core/comm/LineTermios.h"
#include "sim/PseudoTerminal.h"
#include "support/ScriptedInteraction.h"
#include "ui/ConfigureCOM.h"

#include <QElapsedTimer>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QtTest>
#include <atomic>
#include <chrono>
#include <thread>

using namespace zarn;

namespace {

// Scripted answers, but letting the window's events run so its buttons can be pressed.
class LiveScriptedInteraction : public ScriptedInteraction {
public:
    void processEvents() override {
        ScriptedInteraction::processEvents();
        QCoreApplication::processEvents();
    }
};

// Sends a 4-byte command and awaits a 5-byte acknowledgement (idle time-out), as the
// dialogue does; ends early on the cancel flag.
int command(SerialPort& port, UserInteraction& ui, const char* cmd, int idleTimeoutMs) {
    port.writeBytes(reinterpret_cast<const uint8_t*>(cmd), 4);
    QElapsedTimer idle;
    idle.start();
    int seen = 0;
    while (port.inputCount() < 5) {
        if (port.inputCount() > seen) {
            seen = port.inputCount();
            idle.restart();
        }
        if (idle.elapsed() > idleTimeoutMs || ui.cancelRequested())
            return 1;
        ui.processEvents();
        port.waitForInput(20);
    }
    uint8_t ack[5];
    port.readBytes(ack, 5);
    return (ack[0] == 'S' && ack[1] == 'E' && ack[2] == 'R') ? ack[4] : 2;
}

TransferModeProbe testProbe() {
    TransferModeProbe probe;
    probe.enter = [](SerialPort& port, UserInteraction& ui, int timeoutMs) {
        return command(port, ui, "MRD\0", timeoutMs);
    };
    probe.leave = [](SerialPort& port, UserInteraction& ui) { command(port, ui, "MEX\0", 1000); };
    return probe;
}

// An instrument that answers at one line speed only, like a real one.
class Instrument {
public:
    explicit Instrument(long speed) : speed_(speed) {
        pty_.holdSlave();
        thread_ = std::thread([this] {
            std::string in;
            while (!stop_) {
                in += pty_.readSome(20);
                while (in.size() >= 4) {
                    std::string cmd = in.substr(0, 4);
                    in.erase(0, 4);
                    if (speed_ == 0 || currentSpeed(pty_.masterFd()) != speed_)
                        continue;
                    if (cmd.compare(0, 3, "MEX") == 0)
                        ++left;
                    pty_.write(std::string("SER\0\0", 5));
                }
            }
        });
    }
    ~Instrument() {
        stop_ = true;
        thread_.join();
    }
    std::string path() const { return pty_.slavePath(); }
    std::atomic<int> left{0};

private:
    PseudoTerminal pty_;
    long speed_;
    std::atomic<bool> stop_{false};
    std::thread thread_;
};

QByteArray readFile(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

} // namespace

class ConfigureComTest : public QObject {
    Q_OBJECT
private slots:
    void itemsShowTheirDevices() {
        TVaComm comm;
        ScriptedInteraction ui;
        TConfigureCOM dlg(comm, ui);
        ComPortMap map;
        map.set(1, "/dev/serial/by-id/usb-FTDI-if00-port0");
        map.set(16, "/dev/ttyS0");
        dlg.setPortMap(map);
        const auto radios = dlg.COMPortGrp->findChildren<QRadioButton*>();
        QCOMPARE(radios.size(), 16);
        QCOMPARE(dlg.findChild<QRadioButton*>("COM1")->text(), QStringLiteral("COM1"));
        QCOMPARE(dlg.findChild<QRadioButton*>("COM16")->text(), QStringLiteral("COM16"));
        QCOMPARE(dlg.findChild<QLabel*>("Path1")->text(),
                 QStringLiteral("/dev/serial/by-id/usb-FTDI-if00-port0"));
        QCOMPARE(dlg.findChild<QLabel*>("Path2")->text(), QStringLiteral("-"));
        QCOMPARE(dlg.findChild<QLabel*>("Path16")->text(), QStringLiteral("/dev/ttyS0"));
        QStringList bauds;
        for (auto* r : dlg.BaudRateGrp->findChildren<QRadioButton*>())
            bauds << r->text();
        QCOMPARE(bauds, (QStringList{"115200", "38400", "19200", "9600", "4800", "2400"}));
        QCOMPARE(dlg.selection(), (ComSelection{0, 3}));
        QVERIFY(dlg.PanelFind->isHidden());
    }

    void closing_data() {
        QTest::addColumn<QString>("how");
        QTest::addColumn<QByteArray>("settings");
        QTest::addColumn<int>("portNum");
        QTest::addColumn<int>("speed");
        QTest::newRow("ok") << "ok" << QByteArray("[SETUP]\r\nLNG=1\r\nCOM=5\r\nBAUD=1\r\n") << 5
                            << 115200;
        QTest::newRow("cancel") << "cancel" << QByteArray("[SETUP]\r\nLNG=1\r\n") << 3 << 19200;
        QTest::newRow("close box") << "close" << QByteArray("[SETUP]\r\nLNG=1\r\n") << 3 << 19200;
    }
    void closing() {
        QFETCH(QString, how);
        QFETCH(QByteArray, settings);
        QFETCH(int, portNum);
        QFETCH(int, speed);
        QTemporaryDir dir;
        const QString ini = dir.filePath("ZARN.INI");
        QFile f(ini);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("[SETUP]\r\nLNG=1\r\n");
        f.close();

        TVaComm comm;
        ScriptedInteraction ui;
        TConfigureCOM dlg(comm, ui);
        dlg.setSettings(PrivateProfile(ini.toStdString()));
        dlg.setSelection({2, 2});
        dlg.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dlg));
        dlg.findChild<QRadioButton*>("COM5")->click();
        dlg.findChild<QRadioButton*>("Baud0")->click();
        QCOMPARE(dlg.selection(), (ComSelection{4, 0}));
        if (how == "ok")
            dlg.OKBtn->click();
        else if (how == "cancel")
            dlg.CancelBtn->click();
        else
            dlg.close();
        QVERIFY(!dlg.isVisible());
        QCOMPARE(readFile(ini), settings);
        QCOMPARE(dlg.selection(), (ComSelection{portNum - 1, speed == 115200 ? 0 : 2}));
        QCOMPARE(comm.portNum(), portNum);
        QCOMPARE(speedOf(comm.baudrate()), speed);
        QCOMPARE(comm.stopbits(), TVaStopbits::sb2);
    }

    void autoFindSelectsTheAnsweringPortAndSpeed() {
        Instrument instrument(38400);
        QTemporaryDir dir;
        const QString ini = dir.filePath("ZARN.INI");
        ComPortMap map;
        map.set(2, instrument.path());
        TVaComm comm;
        comm.setPortMap(map);
        LiveScriptedInteraction ui;
        TConfigureCOM dlg(comm, ui);
        dlg.setSettings(PrivateProfile(ini.toStdString()));
        dlg.setPortMap(map);
        dlg.setProbe(testProbe());
        dlg.setNotFoundText("not found");
        dlg.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dlg));

        bool panelShown = false;
        bool groupsLocked = false;
        QTimer watch;
        connect(&watch, &QTimer::timeout, [&] {
            panelShown |= dlg.PanelFind->isVisible();
            groupsLocked |= !dlg.COMPortGrp->isEnabled() && !dlg.BaudRateGrp->isEnabled() &&
                            !dlg.OKBtn->isEnabled();
        });
        watch.start(1);
        dlg.FindBtn->click();
        watch.stop();

        QVERIFY(panelShown);
        QVERIFY(groupsLocked);
        QVERIFY(ui.messages.empty());
        QCOMPARE(dlg.selection(), (ComSelection{1, 1}));
        QCOMPARE(instrument.left.load(), 1); // taken out of transfer mode again
        QVERIFY(dlg.PanelFind->isHidden());
        QVERIFY(dlg.COMPortGrp->isEnabled() && dlg.BaudRateGrp->isEnabled());
        QVERIFY(dlg.OKBtn->isEnabled() && dlg.FindBtn->isEnabled());
        QVERIFY(!comm.isOpen());
        QVERIFY(!QFile::exists(ini)); // only OK stores it

        dlg.OKBtn->click();
        QCOMPARE(readFile(ini), QByteArray("[SETUP]\nCOM=2\nBAUD=2\n"));
        QCOMPARE(comm.portNum(), 2);
        QCOMPARE(comm.baudrate(), TVaBaudrate::br38400);
    }

    void autoFindCancelEndsTheSearchAtOnce() {
        Instrument silent(0); // a device that never answers
        ComPortMap map;
        map.set(1, silent.path());
        TVaComm comm;
        comm.setPortMap(map);
        LiveScriptedInteraction ui;
        TConfigureCOM dlg(comm, ui);
        dlg.setProbe(testProbe());
        dlg.setNotFoundText("not found");
        dlg.setSelection({6, 4});
        dlg.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dlg));

        QTimer::singleShot(300, dlg.Cancel2Btn, &QPushButton::click);
        QElapsedTimer took;
        took.start();
        dlg.FindBtn->click();
        QVERIFY2(took.elapsed() < 1500, "the probe under way did not see Cancel");
        QCOMPARE(dlg.selection(), (ComSelection{6, 4}));
        QCOMPARE(ui.messages.size(), size_t(1));
        QCOMPARE(ui.messages[0].text, std::string("not found"));
        QVERIFY(dlg.PanelFind->isHidden());
        QVERIFY(dlg.isVisible());
        QVERIFY(!comm.isOpen());

        // Escape during a search ends the search, not the dialog.
        QTimer::singleShot(300, &dlg, [&] { QTest::keyClick(&dlg, Qt::Key_Escape); });
        took.restart();
        dlg.FindBtn->click();
        QVERIFY(took.elapsed() < 1500);
        QVERIFY(dlg.isVisible());
    }
};

QTEST_MAIN(ConfigureComTest)
#include "test_ui_configurecom.moc"
