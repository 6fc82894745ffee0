#include "serialconfig/uWriteSettings.h"

#include "support/ScriptedMessages.h"
#include "support/SimProcess.h"
#include "support/TestEnvironment.h"

#include <QTest>

namespace {

constexpr int SimCom = 11;

class TFakeUi final : public TQuietConnectionUi {
public:
    void SetBusy(bool busy) override { busyDepth += busy ? 1 : -1; }
    int busyDepth = 0;
};

const QString Success = QStringLiteral("New settings were successfully written into your sensor.");
const QString Restart = QStringLiteral(
    "It is needed to restart the sensor to apply this change! Please disconnect power supply and then connect it again.");

// A connected sensor with its pages, as the window holds it.
struct TFixture {
    TSession session;
    TFakeUi ui;
    TScriptedMessages messages;
    TSensorConnection connection{session, ui};
    std::unique_ptr<TSerialConfigPages> pages;

    bool Connect(quint8 interfaceType, int baud, int address = 1)
    {
        session.InterfaceType = interfaceType;
        session.ComPort = SimCom;
        session.BaudRate = baud;
        session.DeviceAddress = static_cast<quint8>(address);
        if (connection.Connect() != TConnectOutcome::Accepted)
            return false;
        pages = std::make_unique<TSerialConfigPages>(SerialPageContextOf(session));
        pages->Fill();
        return true;
    }
    void Save() { TSensorWriter(session, connection, ui).WriteToSensor(pages.get()); }
    void TypeLimit(const QString &edit, double value)
    {
        TOutputPageModel &out = pages->Output();
        out.pbssOutputEnter(edit);
        out.pbssOutputChange(edit, value);
        out.pbssOutputExit(edit, TFocusTarget::Other);
    }
    void Choose(const QString &combo, const QString &text)
    {
        TConfigPageModel &config = pages->Config();
        const int index = config.Controls().Combo(combo).IndexOfText(text);
        QVERIFY2(index >= 0, qPrintable(combo + QLatin1Char(' ') + text));
        if (combo == QLatin1String("cbCBaudRate"))
            config.cbCBaudRateSelect(index);
        else
            config.cbUnitSelect(combo, index);
    }
};

// The blocks the sensor was asked to write, by protocol address.
QStringList BlockWrites(const SimProcess &sim)
{
    QStringList blocks;
    for (const QString &line : sim.logLines())
        if (line.contains(QLatin1String("fn=16")))
            blocks.append(line.section(QLatin1String("addr="), 1).section(QLatin1Char(' '), 0, 0));
    return blocks;
}

} // namespace

class TestWriteSettings : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void saveWithoutChangeWritesNothing();
    void changedSettingsReachTheSensor();
    void changedLimitWritesBlock1();
    void writeProtectedSensorKeepsEverything();
    void changedSensorIsNotWritten();
    void protocolWithoutWritesIsRefused();
    void restartNeeded_data();
    void restartNeeded();
};

void TestWriteSettings::initTestCase()
{
    TestEnvironment::MaskSystemPorts();
}

void TestWriteSettings::saveWithoutChangeWritesNothing()
{
    SimProcess sim;
    QVERIFY2(sim.start({"--profile", "Q0007", "--com", QString::number(SimCom)}), qPrintable(sim.errorString()));
    TFixture f;
    QVERIFY(f.Connect(InterfaceServiceCable, 9600));
    f.ui.SetStatusText(QStringLiteral("Sensor is connected"));
    f.Save();
    QCOMPARE(BlockWrites(sim), QStringList{});
    QCOMPARE(f.messages.Texts(), QStringList{Success});
    QVERIFY(!f.session.Connected());
    QCOMPARE(f.ui.busyDepth, 0);
}

void TestWriteSettings::changedSettingsReachTheSensor()
{
    SimProcess sim;
    QVERIFY2(sim.start({"--profile", "Q0030", "--com", QString::number(SimCom)}), qPrintable(sim.errorString()));
    TFixture f;
    QVERIFY(f.Connect(InterfaceRS485, 38400, 5));
    f.Choose(QStringLiteral("cbCTempUnit"), QStringLiteral("°F"));
    f.Choose(QStringLiteral("cbCBaudRate"), QStringLiteral("9600"));
    f.Save();
    QCOMPARE(BlockWrites(sim), QStringList{QStringLiteral("0x2000")});
    QCOMPARE(f.messages.Texts(), (QStringList{Restart, Success}));
    QCOMPARE(f.session.BaudRate, 9600);
    QCOMPARE(int(f.session.DeviceAddress), 5);

    // The sensor answers at its new rate, with the new unit.
    TFixture again;
    QVERIFY(again.Connect(InterfaceRS485, 9600, 5));
    QCOMPARE(again.session.Temperature.GetUnitText(), QStringLiteral("°F"));
    QCOMPARE(again.session.BitRate.GetValue(), quint32(9600));
    again.connection.Disconnect();
}

void TestWriteSettings::changedLimitWritesBlock1()
{
    SimProcess sim;
    QVERIFY2(sim.start({"--profile", "Q0003", "--com", QString::number(SimCom)}), qPrintable(sim.errorString()));
    TFixture f;
    QVERIFY(f.Connect(InterfaceServiceCable, 9600));
    const QString edit = QStringLiteral("pbneRelHumHi1");
    f.TypeLimit(edit, 90);
    f.Save();
    QCOMPARE(BlockWrites(sim), QStringList{QStringLiteral("0x1000")});

    TFixture again;
    QVERIFY(again.Connect(InterfaceServiceCable, 9600));
    QCOMPARE(ImageFloat(0x100B, again.session.SegmentImage1), 90.0);
    QCOMPARE(again.pages->Output().Controls().NumEdit(edit).Value, 90.0);
}

void TestWriteSettings::writeProtectedSensorKeepsEverything()
{
    SimProcess sim;
    QVERIFY2(sim.start({"--profile", "Q0029", "--com", QString::number(SimCom)}), qPrintable(sim.errorString()));
    QVERIFY(sim.commandOk(QStringLiteral("jumper open")));
    TFixture f;
    QVERIFY(f.Connect(InterfaceRS232, 19200));
    f.Choose(QStringLiteral("cbCPressUnit"), QStringLiteral("kPa"));
    f.ui.SetStatusText(QStringLiteral("Sensor is connected"));
    f.messages.Answer(mrRetry);
    f.messages.Answer(mrAbort);
    f.Save();
    QCOMPARE(f.messages.Texts(), (QStringList{QStringLiteral("Sensor is write-protected! Please close jumper!"),
                                              QStringLiteral("Sensor is write-protected! Please close jumper!")}));
    QVERIFY((f.messages.shown[0].buttons & mbHelp) != 0);
    QVERIFY(f.session.Connected());
    QCOMPARE(f.ui.StatusText(), QStringLiteral("Sensor is connected"));
    QCOMPARE(f.ui.busyDepth, 0);
    QVERIFY(f.session.Msp.PatchIdentity);

    // Closing the jumper and saving again writes the block.
    QVERIFY(sim.commandOk(QStringLiteral("jumper closed")));
    f.Save();
    QCOMPARE(f.messages.Texts().last(), Success);
}

void TestWriteSettings::changedSensorIsNotWritten()
{
    SimProcess sim;
    QVERIFY2(sim.start({"--profile", "Q0029", "--com", QString::number(SimCom)}), qPrintable(sim.errorString()));
    TFixture f;
    QVERIFY(f.Connect(InterfaceRS232, 19200));
    f.Choose(QStringLiteral("cbCPressUnit"), QStringLiteral("kPa"));
    QVERIFY(sim.commandOk(QStringLiteral("serial 0A0B0C0D")));
    QVERIFY_THROWS_EXCEPTION(ESensorChanged, f.Save());
    QCOMPARE(BlockWrites(sim), QStringList{});
    QVERIFY(f.session.Connected());
    QCOMPARE(f.ui.busyDepth, 0);
}

void TestWriteSettings::protocolWithoutWritesIsRefused()
{
    SimProcess sim;
    QVERIFY2(sim.start({"--profile", "Q0029", "--com", QString::number(SimCom)}), qPrintable(sim.errorString()));
    TFixture f;
    QVERIFY(f.Connect(InterfaceRS232, 19200));
    // A sensor reached over a protocol whose writes the program lacks.
    f.session.Protocol.SetProtocolType(ProtocolType::AdamWithCrc);
    QVERIFY_THROWS_EXCEPTION(ESensorWrite, f.Save());
    QVERIFY(!f.messages.Texts().contains(Success));
    QCOMPARE(BlockWrites(sim), QStringList{});
    QVERIFY(f.session.Connected());
}

void TestWriteSettings::restartNeeded_data()
{
    QTest::addColumn<int>("deviceInterface");
    QTest::addColumn<int>("connected");
    QTest::addColumn<int>("chosen");
    QTest::addColumn<bool>("baudChanged");
    QTest::addColumn<bool>("needed");
    QTest::newRow("RS485 ModBus baud") << 4 << 1 << 1 << true << true;
    QTest::newRow("RS485 ModBus unchanged") << 4 << 1 << 1 << false << false;
    QTest::newRow("RS485 ModBus to ADAM") << 4 << 1 << 3 << false << true;
    QTest::newRow("RS485 to Arion") << 4 << 2 << 4 << false << true;
    QTest::newRow("RS485 from Arion") << 4 << 4 << 4 << false << true;
    QTest::newRow("RS232 ModBus baud") << 3 << 1 << 1 << true << false;
}

void TestWriteSettings::restartNeeded()
{
    QFETCH(int, deviceInterface);
    QFETCH(int, connected);
    QFETCH(int, chosen);
    QFETCH(bool, baudChanged);
    QFETCH(bool, needed);
    QCOMPARE(TSensorWriter::RestartNeeded(deviceInterface, quint8(connected), quint8(chosen), baudChanged), needed);
}

PELINOR_TEST_MAIN(TestWriteSettings)
#include "test_uWriteSettings.moc"
