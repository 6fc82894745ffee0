#include "shell/uTMain.h"

#include "support/ScriptedMessages.h"
#include "support/SimProcess.h"
#include "support/TestMainGui.h"

#include <QLabel>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>

namespace {

constexpr int SimCom = 13;

template <typename T = QWidget>
T *Child(QObject *root, const char *name)
{
    return root->findChild<T *>(QLatin1String(name));
}

QString Text(QObject *root, const char *name)
{
    const QLabel *label = Child<QLabel>(root, name);
    return label != nullptr ? label->text() : QStringLiteral("<no %1>").arg(QLatin1String(name));
}

// The window with its communication settings dialog answered by the test:
// every opening is recorded with the settings it was preset with.
struct TWindow {
    TScriptedMessages messages;
    std::unique_ptr<TfTMain> w = std::make_unique<TfTMain>(QStringList{QStringLiteral("pelinor")});
    QList<TCommSettings> dialogs;

    TWindow()
    {
        w->CommSettingsDialog = [this](TCommSettings &settings, bool) {
            dialogs.append(settings);
            return TCommSettingsOutcome::Cancelled;
        };
        w->show();
        if (!QTest::qWaitForWindowExposed(w.get()))
            qWarning("the window was not exposed");
        QTRY_COMPARE(dialogs.size(), 1);
        dialogs.clear();
    }

    void Connect(quint8 interfaceType, int baud, int address = 1)
    {
        w->CommSettingAccepted = true;
        w->Session.InterfaceType = interfaceType;
        w->Session.ComPort = SimCom;
        w->Session.BaudRate = baud;
        w->Session.DeviceAddress = static_cast<quint8>(address);
        w->RunCommand([this] { w->Connect(); });
    }
    bool Connected() const { return w->Session.Connected() && w->IsConnectedState(); }
};

} // namespace

class TestTMainConnect : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void connectShowsDeviceAndLiveValues();
    void refusedDeviceReopensSettingsOnItsInterface();
    void errorCodesOfTheSensor();
    void failingReadingDisconnects();
    void removedPortDisconnects();
    void commandsWaitForTheRunningOne();
};

void TestTMainConnect::initTestCase()
{
    TestEnvironment::MaskSystemPorts();
}

void TestTMainConnect::connectShowsDeviceAndLiveValues()
{
    SimProcess sim;
    QVERIFY2(sim.start({"--profile", "Q0131", "--com", QString::number(SimCom)}), qPrintable(sim.errorString()));
    TWindow t;
    t.Connect(InterfaceRS485, 19200, 12);
    QVERIFY2(t.Connected(), qPrintable(t.messages.Texts().join(QLatin1Char('|'))));
    QCOMPARE(t.w->StatusText(), QStringLiteral("Sensor is connected"));
    auto *pages = Child<QTabWidget>(t.w.get(), "pcConSensor");
    QVERIFY(pages->isVisible());
    QCOMPARE(pages->currentWidget(), Child(t.w.get(), "tabInfo"));
    QCOMPARE(Child<QPushButton>(t.w.get(), "btnConnect")->text(), QStringLiteral("Disconnect"));

    QCOMPARE(Text(t.w.get(), "stActAddr"), QStringLiteral("12"));
    QCOMPARE(Text(t.w.get(), "lSensNameOrProtocol"), QStringLiteral("Protocol:"));
    QCOMPARE(Text(t.w.get(), "stActSensNameOrProtocol"), QStringLiteral("ModBus"));
    QCOMPARE(Text(t.w.get(), "stActSensType"), QStringLiteral("Q0131"));
    QCOMPARE(Text(t.w.get(), "stActSerNum"), QStringLiteral("15090012"));
    QVERIFY(Text(t.w.get(), "stActFirmVer").startsWith(QLatin1String("05.05  from  ")));
    QCOMPARE(Text(t.w.get(), "lQuan1"), QStringLiteral("Temperature:"));

    // The values follow the sensor.
    QVERIFY(sim.commandOk(QStringLiteral("set temperature 21.5")));
    QTRY_COMPARE(Text(t.w.get(), "pActQuan1"), QStringLiteral("21.50 °C"));
    QVERIFY(sim.commandOk(QStringLiteral("set temperature 22.25")));
    QTRY_COMPARE(Text(t.w.get(), "pActQuan1"), QStringLiteral("22.25 °C"));
    QVERIFY(Child(t.w.get(), "gbRelays")->isVisible());
    QVERIFY(Text(t.w.get(), "stActStateRe1") == QLatin1String("Opened") ||
            Text(t.w.get(), "stActStateRe1") == QLatin1String("Closed"));

    // A click during the reading disconnects at the end of the pass.
    QTest::mouseClick(Child<QPushButton>(t.w.get(), "btnConnect"), Qt::LeftButton);
    QTRY_VERIFY(!t.w->Session.Connected());
    QVERIFY(!pages->isVisible());
    QCOMPARE(t.w->StatusText(), QStringLiteral("Press 'Connect' button to connect sensor"));
    QVERIFY(t.messages.shown.isEmpty());
}

void TestTMainConnect::refusedDeviceReopensSettingsOnItsInterface()
{
    SimProcess sim;
    QVERIFY2(sim.start({"--profile", "Q0029", "--com", QString::number(SimCom)}), qPrintable(sim.errorString()));
    TWindow t;
    t.Connect(InterfaceRS485, 19200);
    QVERIFY(!t.Connected());
    QCOMPARE(t.messages.Texts(),
             QStringList{QStringLiteral("Interface for connected sensor Q0029 is different from selected! Select "
                                        "correct communication interface and try to connect again.")});
    QCOMPARE(t.dialogs.size(), 1);
    QCOMPARE(t.dialogs[0].InterfaceType, quint8(icRS232));
    QVERIFY(!Child(t.w.get(), "pcConSensor")->isVisible());

    // The next click connects again instead of disconnecting.
    t.messages.Clear();
    t.Connect(InterfaceRS232, 19200);
    QVERIFY(t.Connected());
}

void TestTMainConnect::errorCodesOfTheSensor()
{
    SimProcess sim;
    QVERIFY2(sim.start({"--profile", "Q0030-errors", "--com", QString::number(SimCom)}),
             qPrintable(sim.errorString()));
    TWindow t;
    t.Connect(InterfaceRS485, 9600);
    QVERIFY(t.Connected());
    QTRY_COMPARE(Text(t.w.get(), "pActQuan1"), QStringLiteral("Error 1"));
    QCOMPARE(Text(t.w.get(), "pActQuan2"), QStringLiteral("Error 2"));
    QCOMPARE(Text(t.w.get(), "pActQuan4"), QStringLiteral("Error 2"));
}

void TestTMainConnect::failingReadingDisconnects()
{
    SimProcess sim;
    QVERIFY2(sim.start({"--profile", "Q0075", "--com", QString::number(SimCom)}), qPrintable(sim.errorString()));
    TWindow t;
    t.Connect(InterfaceRS232, 57600);
    QVERIFY(t.Connected());
    QVERIFY(sim.commandOk(QStringLiteral("set co2 -999.8")));
    QTRY_COMPARE(Text(t.w.get(), "pActQuan5"), QStringLiteral("---"));

    QVERIFY(sim.commandOk(QStringLiteral("fault silence on")));
    QTRY_COMPARE(Text(t.w.get(), "pActQuan1"), QStringLiteral("Reading error"));
    QTRY_VERIFY_WITH_TIMEOUT(!t.w->Session.Connected(), 10000);
    QCOMPARE(t.messages.Texts(), QStringList{QStringLiteral("Reading of values has failed!")});
    QCOMPARE(t.dialogs.size(), 1);
}

void TestTMainConnect::removedPortDisconnects()
{
    SimProcess sim;
    QVERIFY2(sim.start({"--profile", "Q0029", "--com", QString::number(SimCom)}), qPrintable(sim.errorString()));
    TWindow t;
    t.Connect(InterfaceRS232, 19200);
    QVERIFY(t.Connected());
    QVERIFY(sim.commandOk(QStringLiteral("vanish")));
    QTRY_VERIFY(!t.w->Session.Connected());
    QVERIFY(t.messages.Texts().contains(QStringLiteral(
        "USB device was disconnected! Sensor will be disconnected! Press 'Connect' button to connect again.")));
    QCOMPARE(t.dialogs.size(), 1);
}

void TestTMainConnect::commandsWaitForTheRunningOne()
{
    TWindow t;
    QStringList order;
    t.w->RunCommand([&] {
        order.append(QStringLiteral("first begins"));
        // A command that arrives while this one waits runs after it.
        t.w->RunCommand([&] { order.append(QStringLiteral("second")); });
        order.append(QStringLiteral("first ends"));
    });
    QCOMPARE(order, (QStringList{"first begins", "first ends", "second"}));
}

PELINOR_TEST_GUI_MAIN(TestTMainConnect)
#include "test_uTMainConnect.moc"
