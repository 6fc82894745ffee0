#include "shell/uConnection.h"
#include "shell/uValues.h"

#include "support/PtyPair.h"
#include "support/ScriptedMessages.h"
#include "support/SimProcess.h"
#include "support/TestEnvironment.h"

#include <QElapsedTimer>
#include <QTest>

#include <sys/file.h>

#include <fcntl.h>
#include <unistd.h>

namespace {

constexpr int SimCom = 7;

// Answers every request of the connection sequence and keeps count.
class TFakeUi final : public TQuietConnectionUi {
public:
    void OpenCommSettings() override { ++commSettingsOpened; }
    void ShowSensor(TPageSet p, bool) override
    {
        pages = p;
        ++shown;
    }
    void ShowDisconnected() override { ++disconnectedShown; }

    int commSettingsOpened = 0;
    int shown = 0;
    int disconnectedShown = 0;
    TPageSet pages = TPageSet::Full;
};

struct TFixture {
    TSession session;
    TFakeUi ui;
    TScriptedMessages messages;
    TSensorConnection connection{session, ui};

    void Choose(quint8 interfaceType, int baud, int address = 1)
    {
        session.InterfaceType = interfaceType;
        session.ComPort = SimCom;
        session.BaudRate = baud;
        session.DeviceAddress = static_cast<quint8>(address);
    }
};

} // namespace

class TestConnection : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void everyProfileConnects_data();
    void everyProfileConnects();
    void firmwareRule();
    void interfaceMismatchReopensOnDeviceInterface();
    void unknownDeviceKeepsChosenInterface();
    void silentPortFailsWithinBudgetAndNextClickConnects();
    void portHeldByAnotherProgram();
    void changedSerialNumberIsDetected();
    void removedPortDisconnects();
};

void TestConnection::initTestCase()
{
    TestEnvironment::MaskSystemPorts();
}

void TestConnection::everyProfileConnects_data()
{
    QTest::addColumn<QString>("profile");
    QTest::addColumn<int>("interfaceType");
    QTest::addColumn<int>("baud");
    QTest::addColumn<int>("address");
    QTest::addColumn<int>("typeCode");
    QTest::addColumn<QString>("serial");
    QTest::addColumn<QString>("firmware");
    QTest::addColumn<QStringList>("quantities");
    const QString t = QStringLiteral("Temperature"), rh = QStringLiteral("Relative humidity"),
                  p = QStringLiteral("Atmospheric pressure"), co2 = QStringLiteral("CO2 concentration");
    QTest::newRow("Q0001") << "Q0001" << 0 << 9600 << 1 << 1 << "08050117" << "02.09" << QStringList{t};
    QTest::newRow("Q0003") << "Q0003" << 0 << 9600 << 1 << 3 << "09100342" << "02.20"
                           << QStringList{t, rh, QStringLiteral("Dew point")};
    QTest::newRow("Q0007 swapped ROM words") << "Q0007" << 0 << 9600 << 1 << 7 << "09010056" << "02.30"
                                             << QStringList{t, rh, QStringLiteral("Absolute humidity")};
    QTest::newRow("Q0029") << "Q0029" << 1 << 19200 << 1 << 29 << "11030021" << "02.50"
                           << QStringList{t, rh, QStringLiteral("Dew point"), p};
    QTest::newRow("Q0030") << "Q0030" << 2 << 38400 << 5 << 30 << "12060007" << "02.91"
                           << QStringList{t, rh, QStringLiteral("Specific enthalpy"), p};
    QTest::newRow("Q0073") << "Q0073" << 0 << 9600 << 1 << 73 << "10080310" << "02.45" << QStringList{t, co2};
    QTest::newRow("Q0075") << "Q0075" << 1 << 57600 << 1 << 75 << "13050099" << "02.80" << QStringList{t, co2};
    QTest::newRow("Q00089") << "Q00089" << 0 << 9600 << 1 << 89 << "09110501" << "02.15" << QStringList{t, rh};
    QTest::newRow("Q0113") << "Q0113" << 0 << 9600 << 1 << 113 << "14020033" << "04.20"
                           << QStringList{t, rh, QStringLiteral("Specific humidity")};
    QTest::newRow("Q0131") << "Q0131" << 2 << 19200 << 12 << 131 << "15090012" << "05.05"
                           << QStringList{t, rh, QStringLiteral("Mixing ratio")};
}

void TestConnection::everyProfileConnects()
{
    QFETCH(QString, profile);
    QFETCH(int, interfaceType);
    QFETCH(int, baud);
    QFETCH(int, address);
    QFETCH(int, typeCode);
    QFETCH(QString, serial);
    QFETCH(QString, firmware);
    QFETCH(QStringList, quantities);
    SimProcess sim;
    QVERIFY2(sim.start({"--profile", profile, "--com", QString::number(SimCom)}), qPrintable(sim.errorString()));
    TFixture f;
    f.Choose(static_cast<quint8>(interfaceType), baud, address);

    QCOMPARE(f.connection.Connect(), TConnectOutcome::Accepted);
    QVERIFY2(f.messages.shown.isEmpty(), qPrintable(f.messages.Texts().join(QLatin1Char('|'))));
    QVERIFY(f.session.MspConnected);
    QVERIFY(f.session.SetupAllowed);
    QCOMPARE(f.ui.shown, 1);
    QCOMPARE(f.ui.pages, TPageSet::Full);
    QCOMPARE(int(f.session.SensType.GetTypeCode()), typeCode);
    const TInformationLayout l = LayoutInformationPage(f.session);
    QCOMPARE(l.firmware.value.left(5), firmware);
    QVERIFY(l.firmware.value.contains(QLatin1String("  from  ")));
    QCOMPARE(l.serialNumber.value, serial);
    QStringList shown;
    for (const TInfoRow &row : l.quantities)
        if (row.visible)
            shown.append(row.label.chopped(1));
    std::sort(shown.begin(), shown.end());
    std::sort(quantities.begin(), quantities.end());
    QCOMPARE(shown, quantities);
    QCOMPARE(l.address.visible, interfaceType == 2);
    if (l.address.visible)
        QCOMPARE(l.address.value, QString::number(address));
    QCOMPARE(f.session.BitRate.GetValue(), quint32(baud));

    f.connection.CheckSensorIdentity();
    f.connection.Disconnect();
    QVERIFY(!f.session.Connected());
}

void TestConnection::firmwareRule()
{
    SimProcess sim;
    QVERIFY2(sim.start({"--profile", "Q0029", "--com", QString::number(SimCom), "--firmware", "0x0285"}),
             qPrintable(sim.errorString()));
    TFixture f;
    f.Choose(1, 19200);
    QCOMPARE(f.connection.Connect(), TConnectOutcome::Refused);
    QCOMPARE(f.messages.Texts(), QStringList{ConnectionTexts::FirmwareNotSupported()});
    QVERIFY(!f.session.Connected());
    QCOMPARE(f.ui.commSettingsOpened, 1);

    f.session.FirmwareCheck = false;
    QCOMPARE(f.connection.Connect(), TConnectOutcome::Accepted);
}

void TestConnection::interfaceMismatchReopensOnDeviceInterface()
{
    SimProcess sim;
    QVERIFY2(sim.start({"--profile", "Q0029", "--com", QString::number(SimCom)}), qPrintable(sim.errorString()));
    TFixture f;
    f.Choose(InterfaceRS485, 19200);
    QCOMPARE(f.connection.Connect(), TConnectOutcome::Refused);
    QCOMPARE(f.messages.Texts(),
             QStringList{QStringLiteral("Interface for connected sensor Q0029 is different from selected! Select "
                                        "correct communication interface and try to connect again.")});
    QCOMPARE(f.session.InterfaceType, InterfaceRS232);
    QCOMPARE(f.ui.commSettingsOpened, 1);
    QVERIFY(!f.session.Connected());
}

void TestConnection::unknownDeviceKeepsChosenInterface()
{
    SimProcess sim;
    QVERIFY2(sim.start({"--profile", "Q0029", "--com", QString::number(SimCom)}), qPrintable(sim.errorString()));
    QVERIFY(sim.commandOk(QStringLiteral("write 0x1037 0x1FFF")));
    TFixture f;
    f.Choose(InterfaceRS485, 19200);
    QCOMPARE(f.connection.Connect(), TConnectOutcome::Refused);
    QCOMPARE(f.messages.Texts(), QStringList{ConnectionTexts::DeviceNotSupported()});
    QCOMPARE(f.session.InterfaceType, InterfaceRS485);
}

void TestConnection::silentPortFailsWithinBudgetAndNextClickConnects()
{
    SimProcess sim;
    QVERIFY2(sim.start({"--profile", "Q0001", "--com", QString::number(SimCom)}), qPrintable(sim.errorString()));
    QVERIFY(sim.commandOk(QStringLiteral("fault silence on")));
    TFixture f;
    f.Choose(InterfaceServiceCable, 9600);
    f.ui.SetStatusText(QStringLiteral("before"));
    QElapsedTimer t;
    t.start();
    QCOMPARE(f.connection.Connect(), TConnectOutcome::Failed);
    // Two Modbus attempts of about 1.4 s each fit the 2 s budget.
    QVERIFY2(t.elapsed() < 4500, qPrintable(QString::number(t.elapsed())));
    QCOMPARE(f.messages.Texts(), QStringList{ConnectionTexts::ConnectionFailed()});
    QCOMPARE(f.ui.StatusText(), QStringLiteral("before"));
    QCOMPARE(f.ui.commSettingsOpened, 1);
    QVERIFY(!f.session.MspConnected);
    QVERIFY(!f.session.NetConnected);

    QVERIFY(sim.commandOk(QStringLiteral("fault silence off")));
    QCOMPARE(f.connection.Connect(), TConnectOutcome::Accepted);
}

void TestConnection::portHeldByAnotherProgram()
{
    TPtyPair pty;
    QVERIFY2(pty.IsValid(), qPrintable(pty.Error()));
    QVERIFY(pty.LinkAs(SimCom));
    const int holder = ::open(pty.SlavePath().toLocal8Bit().constData(), O_RDWR | O_NOCTTY);
    QVERIFY(holder >= 0);
    QCOMPARE(::flock(holder, LOCK_EX | LOCK_NB), 0);
    TFixture f;
    f.Choose(InterfaceRS232, 9600);
    QCOMPARE(f.connection.Connect(), TConnectOutcome::Failed);
    ::close(holder);
    QCOMPARE(f.messages.Texts(), QStringList{ConnectionTexts::PortBusy()});
}

void TestConnection::changedSerialNumberIsDetected()
{
    SimProcess sim;
    QVERIFY2(sim.start({"--profile", "Q0029", "--com", QString::number(SimCom)}), qPrintable(sim.errorString()));
    TFixture f;
    f.Choose(InterfaceRS232, 19200);
    QCOMPARE(f.connection.Connect(), TConnectOutcome::Accepted);
    QVERIFY(sim.commandOk(QStringLiteral("serial 0A0B0C0D")));
    try {
        f.connection.CheckSensorIdentity();
        QFAIL("the changed sensor passed");
    } catch (const ESensorChanged &e) {
        QCOMPARE(e.Message(), QStringLiteral("Connected sensor was changed! Select correct communication interface "
                                             "and try to connect again."));
    }
    QVERIFY(sim.commandOk(QStringLiteral("fault silence on")));
    QVERIFY_THROWS_EXCEPTION(ESensorWrite, f.connection.CheckSensorIdentity());
}

void TestConnection::removedPortDisconnects()
{
    SimProcess sim;
    QVERIFY2(sim.start({"--profile", "Q0029", "--com", QString::number(SimCom)}), qPrintable(sim.errorString()));
    TFixture f;
    f.Choose(InterfaceRS232, 19200);
    QCOMPARE(f.connection.Connect(), TConnectOutcome::Accepted);
    f.connection.PortRemoved(QStringLiteral("COM8"));
    QVERIFY(f.session.Connected());
    f.connection.PortRemoved(QStringLiteral("COM%1").arg(SimCom));
    QVERIFY(!f.session.Connected());
    QCOMPARE(f.messages.Texts(), QStringList{ConnectionTexts::PortRemoved()});
    QCOMPARE(f.ui.commSettingsOpened, 1);
    QCOMPARE(f.ui.disconnectedShown, 1);
}

PELINOR_TEST_MAIN(TestConnection)
#include "test_uConnection.moc"
