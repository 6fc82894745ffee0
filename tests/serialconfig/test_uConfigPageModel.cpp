#include "serialconfig/uConfigPageModel.h"

#include "TransmitterFixture.h"
#include "support/ScriptedMessages.h"
#include "support/TestEnvironment.h"

#include <QTest>

namespace {

const QString ModBus = QStringLiteral("ModBus");
const QString AdamWithout = QStringLiteral("Adam without CRC");
const QString AdamWith = QStringLiteral("Adam with CRC");
const QString Arion = QStringLiteral("Amit Arion");
const QString Poseidon = QStringLiteral("HWg Poseidon");
constexpr int ArionIndex = 3;
constexpr int PoseidonIndex = 4;
constexpr int NoProtocolChange = -1;

const QStringList AllPressureUnits = {"hPa", "PSI", "inHg", "mBar", "oz/in", "mmHg", "inH2O", "kPa"};
const QStringList AllComputed = {"Dew point", "Absolute humidity", "Specific humidity", "Mixing ratio",
                                 "Specific enthalpy"};

// The controls whose visibility the page decides.
const QStringList LaidOutControls = {
    "cbCProtocol", "cbCBaudRate", "pbssCAddr", "eCAddr", "cbCCompQuan", "cbCTempUnit", "cbCPressUnit",
    "cbCCO2Value", "pbssAtmPress", "chDispOn", "chDispTemp", "chDispPress", "chDispCO2", "chDispRelHum",
    "chDispCompQuan", "gbCComm", "gbCQuantities", "gbCDisplay", "gbCAlarms", "fPressAlt", "fAlt2Pre",
    "tabConfig"};

QStringList ItemTexts(const TComboBoxView &combo)
{
    QStringList texts;
    for (const TComboItem &item : combo.Items)
        texts.append(item.Text);
    return texts;
}

QStringList VisibleControls(const TControlRegistry &controls)
{
    QStringList visible;
    for (const QString &name : LaidOutControls) {
        if (controls.Control(name).Visible)
            visible.append(name);
    }
    return visible;
}

const TComboBoxView &Combo(TTransmitter &device, const char *name)
{
    return device.Config().Controls().Combo(QLatin1String(name));
}

} // namespace

class TestConfigPageModel : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void protocolList_data();
    void protocolList();
    void choiceLists_data();
    void choiceLists();
    void visibility_data();
    void visibility();
    void connectedAddress_data();
    void connectedAddress();
    void arionNarrowsTheAddress();
    void poseidonLetterAddress_data();
    void poseidonLetterAddress();
    void keypadProtocolWarning_data();
    void keypadProtocolWarning();
    void olderFirmwareInfo_data();
    void olderFirmwareInfo();
    void displayBoxes();
    void computedPressureFollowsTheUnit();
    void choiceChangesReachTheOtherPages();
};

void TestConfigPageModel::protocolList_data()
{
    QTest::addColumn<QString>("type");
    QTest::addColumn<int>("firmware");
    QTest::addColumn<QStringList>("items");
    QTest::addColumn<bool>("shown");
    const QStringList adam = {ModBus, AdamWithout, AdamWith};
    QTest::newRow("RS485 at 219") << "Q0030" << 219 << adam << true;
    QTest::newRow("RS485 at 220") << "Q0030" << 220 << (adam + QStringList{Arion}) << true;
    QTest::newRow("RS485 at 232") << "Q0030" << 232 << (adam + QStringList{Arion}) << true;
    QTest::newRow("RS485 at 233") << "Q0030" << 233 << (adam + QStringList{Arion, Poseidon}) << true;
    QTest::newRow("RS232 at 233") << "Q0029" << 233 << (adam + QStringList{Arion}) << true;
    QTest::newRow("keypad RS485") << "Q0131" << 250 << adam << true;
    QTest::newRow("keypad service cable") << "Q0113" << 250 << adam << true;
    QTest::newRow("service cable") << "Q0001" << 240 << (adam + QStringList{Arion}) << false;
    QTest::newRow("fixed configuration") << "Q00089" << 240 << (adam + QStringList{Arion}) << false;
}

void TestConfigPageModel::protocolList()
{
    QFETCH(QString, type);
    QFETCH(int, firmware);
    QFETCH(QStringList, items);
    QFETCH(bool, shown);
    TTransmitter device(qPrintable(type), firmware);
    const TPageResponse response = device.Connect().Fill();

    const TComboBoxView &protocol = Combo(device, "cbCProtocol");
    QCOMPARE(ItemTexts(protocol), items);
    QCOMPARE(protocol.SelectedText(), ModBus);
    QCOMPARE(protocol.Visible, shown);
    QCOMPARE(Combo(device, "cbCBaudRate").Visible, shown);
    QCOMPARE(response.SaveEnabled, std::optional<bool>(false));
}

void TestConfigPageModel::choiceLists_data()
{
    QTest::addColumn<int>("firmware");
    QTest::addColumn<int>("protocolIndex");
    QTest::addColumn<QStringList>("computed");
    QTest::addColumn<QStringList>("tempUnits");
    QTest::addColumn<QStringList>("pressUnits");
    QTest::addColumn<QStringList>("bauds");
    const QStringList c = {"°C"};
    const QStringList cf = {"°C", "°F"};
    const QStringList hPa = {"hPa"};
    const QStringList allBauds = {"110", "300", "600", "1200", "2400", "4800", "9600", "14400", "19200",
                                  "38400", "56000", "57600", "115200"};
    QTest::newRow("214") << 214 << NoProtocolChange << QStringList{"Dew point"} << c << hPa << allBauds;
    QTest::newRow("215") << 215 << NoProtocolChange << AllComputed << c << hPa << allBauds;
    QTest::newRow("229") << 229 << NoProtocolChange << AllComputed << c << hPa << allBauds;
    QTest::newRow("230") << 230 << NoProtocolChange << AllComputed << cf << AllPressureUnits << allBauds;
    QTest::newRow("Adam") << 240 << 2 << AllComputed << cf << AllPressureUnits
                          << QStringList{"1200", "2400", "4800", "9600", "19200", "38400", "57600", "115200"};
    QTest::newRow("Arion") << 240 << ArionIndex << AllComputed << cf << hPa
                           << QStringList{"9600", "19200", "38400", "57600"};
    QTest::newRow("Poseidon") << 240 << PoseidonIndex << QStringList{"Dew point", "Absolute humidity"} << c << hPa
                              << QStringList{"9600"};
}

void TestConfigPageModel::choiceLists()
{
    QFETCH(int, firmware);
    QFETCH(int, protocolIndex);
    QFETCH(QStringList, computed);
    QFETCH(QStringList, tempUnits);
    QFETCH(QStringList, pressUnits);
    QFETCH(QStringList, bauds);
    TTransmitter device("Q0030", firmware);
    device.Connect();
    if (protocolIndex != NoProtocolChange)
        device.Config().cbCProtocolSelect(protocolIndex);

    QCOMPARE(ItemTexts(Combo(device, "cbCCompQuan")), computed);
    QCOMPARE(ItemTexts(Combo(device, "cbCTempUnit")), tempUnits);
    QCOMPARE(ItemTexts(Combo(device, "cbCPressUnit")), pressUnits);
    QCOMPARE(ItemTexts(Combo(device, "cbCBaudRate")), bauds);
    QCOMPARE(Combo(device, "cbCBaudRate").SelectedText(), QStringLiteral("9600"));
    QCOMPARE(Combo(device, "cbCTempUnit").Visible, firmware >= 230);
}

void TestConfigPageModel::visibility_data()
{
    QTest::addColumn<QString>("type");
    QTest::addColumn<int>("firmware");
    QTest::addColumn<bool>("setupAllowed");
    QTest::addColumn<int>("connectedProtocol");  // 0: ModBus as read
    QTest::addColumn<QStringList>("visible");
    const QStringList comm = {"cbCProtocol", "cbCBaudRate", "pbssCAddr"};
    QTest::newRow("Q0001 at 240") << "Q0001" << 240 << true << 0
                                  << QStringList{"cbCTempUnit", "chDispOn", "chDispTemp", "gbCQuantities",
                                                 "gbCDisplay", "tabConfig"};
    QTest::newRow("Q0001 at 229") << "Q0001" << 229 << true << 0
                                  << QStringList{"chDispOn", "chDispTemp", "gbCDisplay", "tabConfig"};
    QTest::newRow("Q0001 at 220") << "Q0001" << 220 << true << 0
                                  << QStringList{"chDispOn", "gbCDisplay", "tabConfig"};
    QTest::newRow("Q0003 at 214") << "Q0003" << 214 << true << 0
                                  << QStringList{"cbCCompQuan", "chDispOn", "chDispRelHum", "chDispCompQuan",
                                                 "gbCQuantities", "gbCDisplay", "tabConfig"};
    QTest::newRow("Q0003 at 215") << "Q0003" << 215 << true << 0
                                  << QStringList{"cbCCompQuan", "pbssAtmPress", "chDispOn", "chDispRelHum",
                                                 "chDispCompQuan", "gbCQuantities", "gbCDisplay", "tabConfig"};
    // The pressure unit is offered for the pressure of the computed quantities.
    QTest::newRow("Q0003 at 240") << "Q0003" << 240 << true << 0
                                  << QStringList{"cbCCompQuan", "cbCTempUnit", "cbCPressUnit", "pbssAtmPress",
                                                 "chDispOn", "chDispTemp", "chDispRelHum", "chDispCompQuan",
                                                 "gbCQuantities", "gbCDisplay", "tabConfig"};
    QTest::newRow("Q0003 without setup") << "Q0003" << 240 << false << 0 << QStringList{};
    QTest::newRow("Q0007 voltage output") << "Q0007" << 233 << true << 0
                                          << QStringList{"cbCCompQuan", "cbCTempUnit", "cbCPressUnit",
                                                         "pbssAtmPress", "chDispOn", "chDispTemp", "chDispRelHum",
                                                         "chDispCompQuan", "gbCQuantities", "gbCDisplay",
                                                         "tabConfig"};
    QTest::newRow("Q0073 at 249") << "Q0073" << 249 << true << 0
                                  << QStringList{"cbCTempUnit", "chDispOn", "chDispTemp", "chDispCO2",
                                                 "gbCQuantities", "gbCDisplay", "tabConfig"};
    QTest::newRow("Q0073 at 250") << "Q0073" << 250 << true << 0
                                  << QStringList{"cbCTempUnit", "cbCCO2Value", "chDispOn", "chDispTemp",
                                                 "chDispCO2", "gbCQuantities", "gbCDisplay", "tabConfig"};
    QTest::newRow("Q00089 fixed configuration") << "Q00089" << 240 << true << 0 << QStringList{};
    QTest::newRow("Q0029 RS232 at 209") << "Q0029" << 209 << true << 0
                                        << (comm + QStringList{"cbCCompQuan", "chDispOn", "chDispRelHum",
                                                               "chDispCompQuan", "gbCComm", "gbCQuantities",
                                                               "gbCDisplay", "tabConfig"});
    QTest::newRow("Q0030 RS485 at 240") << "Q0030" << 240 << true << 0
                                        << (comm + QStringList{"cbCCompQuan", "cbCTempUnit", "cbCPressUnit",
                                                               "chDispOn", "chDispTemp", "chDispPress",
                                                               "chDispRelHum", "chDispCompQuan", "gbCComm",
                                                               "gbCQuantities", "gbCDisplay", "tabConfig"});
    // Only ModBus reaches the other settings.
    QTest::newRow("Q0030 over Arion") << "Q0030" << 240 << true << int(ProtocolType::Arion)
                                      << (comm + QStringList{"gbCComm", "tabConfig"});
    QTest::newRow("Q0030 over Poseidon") << "Q0030" << 240 << true << int(ProtocolType::Poseidon)
                                         << QStringList{"cbCProtocol", "cbCBaudRate", "eCAddr", "gbCComm",
                                                        "tabConfig"};
    QTest::newRow("Q0113 keypad service cable") << "Q0113" << 237 << true << 0
                                                << (comm + QStringList{"cbCCompQuan", "cbCTempUnit", "cbCPressUnit",
                                                                       "pbssAtmPress", "chDispOn", "chDispTemp",
                                                                       "chDispRelHum", "chDispCompQuan", "gbCComm",
                                                                       "gbCQuantities", "gbCDisplay", "tabConfig"});
}

void TestConfigPageModel::visibility()
{
    QFETCH(QString, type);
    QFETCH(int, firmware);
    QFETCH(bool, setupAllowed);
    QFETCH(int, connectedProtocol);
    QFETCH(QStringList, visible);
    TTransmitter device(qPrintable(type), firmware);
    device.setupAllowed = setupAllowed;
    if (connectedProtocol != 0)
        device.connectedProtocol = quint8(connectedProtocol);
    device.Connect();

    QCOMPARE(VisibleControls(device.Config().Controls()), visible);
}

void TestConfigPageModel::connectedAddress_data()
{
    QTest::addColumn<int>("connectedProtocol");  // 0: ModBus as read
    QTest::addColumn<int>("reported");
    QTest::addColumn<quint16>("addressWord");
    QTest::addColumn<double>("number");
    QTest::addColumn<QString>("letter");
    QTest::newRow("ModBus 17") << 0 << 0 << quint16(17) << 17.0 << "A";
    QTest::newRow("ModBus 91") << 0 << 0 << quint16(91) << 91.0 << "Z";
    QTest::newRow("ModBus 94") << 0 << 0 << quint16(94) << 94.0 << "a";
    QTest::newRow("ModBus 123") << 0 << 0 << quint16(123) << 123.0 << "z";
    QTest::newRow("ModBus 100") << 0 << 0 << quint16(100) << 100.0 << "d";
    QTest::newRow("ModBus 84") << 0 << 0 << quint16('T') << 84.0 << "U";
    QTest::newRow("Adam default 0") << int(ProtocolType::AdamWithCrc) << 0 << quint16(17) << 1.0 << "A";
    QTest::newRow("Adam 0x1A") << int(ProtocolType::AdamWithoutCrc) << 0x1A << quint16(17) << 26.0 << "A";
    QTest::newRow("Arion 12") << int(ProtocolType::Arion) << 12 << quint16(17) << 12.0 << "A";
    QTest::newRow("Poseidon B") << int(ProtocolType::Poseidon) << int('B') << quint16(17) << 66.0 << "B";
}

void TestConfigPageModel::connectedAddress()
{
    QFETCH(int, connectedProtocol);
    QFETCH(int, reported);
    QFETCH(quint16, addressWord);
    QFETCH(double, number);
    QFETCH(QString, letter);
    TTransmitter device("Q0030", 240);
    device.images.Word(0x2001, addressWord);
    if (connectedProtocol != 0)
        device.connectedProtocol = quint8(connectedProtocol);
    device.protocolAddress = reported;
    device.Connect();

    const TControlRegistry &c = device.Config().Controls();
    QCOMPARE(c.NumEdit(QStringLiteral("pbssCAddr")).Value, number);
    QCOMPARE(c.TextEdit(QStringLiteral("eCAddr")).Text, letter);
}

void TestConfigPageModel::arionNarrowsTheAddress()
{
    TTransmitter device("Q0030", 240);
    device.images.Word(0x2001, 200);
    device.Connect();
    const TNumEditView &address = device.Config().Controls().NumEdit(QStringLiteral("pbssCAddr"));
    QCOMPARE(address.Range.Max, 255.0);

    QCOMPARE(device.Config().cbCProtocolSelect(ArionIndex).SaveEnabled, std::optional<bool>(true));
    QCOMPARE(address.Range.Min, 1.0);
    QCOMPARE(address.Range.Max, 63.0);
    QCOMPARE(address.Value, 63.0);
    QCOMPARE(address.Decimals, 0);

    device.Config().cbCProtocolSelect(0);
    QCOMPARE(address.Range.Max, 255.0);
    QCOMPARE(address.Value, 63.0);
}

void TestConfigPageModel::poseidonLetterAddress_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("kept");
    QTest::newRow("t") << "t" << "";
    QTest::newRow("T") << "T" << "";
    QTest::newRow("b") << "b" << "b";
    QTest::newRow("Z") << "Z" << "Z";
    QTest::newRow("digit") << "7" << "";
    QTest::newRow("empty") << "" << "";
    QTest::newRow("two letters") << "bc" << "b";
}

void TestConfigPageModel::poseidonLetterAddress()
{
    QFETCH(QString, typed);
    QFETCH(QString, kept);
    TTransmitter device("Q0030", 240);
    device.Connect();
    device.Config().cbCProtocolSelect(PoseidonIndex);
    const TControlRegistry &c = device.Config().Controls();
    QVERIFY(c.TextEdit(QStringLiteral("eCAddr")).Visible);
    QCOMPARE(c.TextEdit(QStringLiteral("eCAddr")).MaxLength, 1);
    QVERIFY(!c.NumEdit(QStringLiteral("pbssCAddr")).Visible);

    // Every edit counts as a change, also one that empties the address.
    QCOMPARE(device.Config().eCAddrChange(typed).SaveEnabled, std::optional<bool>(true));
    QCOMPARE(c.TextEdit(QStringLiteral("eCAddr")).Text, kept);
}

void TestConfigPageModel::keypadProtocolWarning_data()
{
    QTest::addColumn<QString>("type");
    QTest::addColumn<int>("protocolIndex");
    QTest::addColumn<bool>("warned");
    QTest::newRow("keypad to Adam") << "Q0131" << 1 << true;
    QTest::newRow("keypad to ModBus") << "Q0131" << 0 << false;
    QTest::newRow("older generation to Adam") << "Q0030" << 1 << false;
}

void TestConfigPageModel::keypadProtocolWarning()
{
    QFETCH(QString, type);
    QFETCH(int, protocolIndex);
    QFETCH(bool, warned);
    TScriptedMessages messages;
    TTransmitter device(qPrintable(type), 250);
    device.Connect();

    device.Config().cbCProtocolSelect(protocolIndex);

    const QString warning = QStringLiteral(
        "Selected protocol for this device is not supported by this program version.\n"
        "After saving changes, Pelinor will not be able to communicate with this device!\n"
        "Protocol can be also changed by using a device keyboard. Please see user's manual.");
    QCOMPARE(messages.Texts(), warned ? QStringList{warning} : QStringList{});
    if (warned)
        QCOMPARE(messages.shown.first().type, TMsgDlgType::mtWarning);
}

void TestConfigPageModel::olderFirmwareInfo_data()
{
    QTest::addColumn<QString>("type");
    QTest::addColumn<int>("firmware");
    QTest::addColumn<QString>("combo");
    QTest::addColumn<int>("index");
    QTest::addColumn<bool>("informed");
    QTest::newRow("°F at 237") << "Q0001" << 237 << "cbCTempUnit" << 1 << true;
    QTest::newRow("°F at 238") << "Q0001" << 238 << "cbCTempUnit" << 1 << false;
    QTest::newRow("°C at 237") << "Q0001" << 237 << "cbCTempUnit" << 0 << false;
    QTest::newRow("keypad °F at 237") << "Q0113" << 237 << "cbCTempUnit" << 1 << false;
    QTest::newRow("PSI at 237") << "Q0015" << 237 << "cbCPressUnit" << 1 << true;
    QTest::newRow("kPa at 237") << "Q0015" << 237 << "cbCPressUnit" << 7 << false;
    QTest::newRow("mBar at 237") << "Q0015" << 237 << "cbCPressUnit" << 3 << false;
    QTest::newRow("PSI without pressure slot") << "Q0003" << 237 << "cbCPressUnit" << 1 << false;
}

void TestConfigPageModel::olderFirmwareInfo()
{
    QFETCH(QString, type);
    QFETCH(int, firmware);
    QFETCH(QString, combo);
    QFETCH(int, index);
    QFETCH(bool, informed);
    TScriptedMessages messages;
    TTransmitter device(qPrintable(type), firmware);
    device.Connect();

    QCOMPARE(device.Config().cbUnitSelect(combo, index).SaveEnabled, std::optional<bool>(true));

    QCOMPARE(messages.shown.size(), informed ? 1 : 0);
    if (informed) {
        QCOMPARE(messages.shown.first().type, TMsgDlgType::mtInformation);
        QVERIFY(messages.shown.first().text.startsWith(
            QStringLiteral("This device contains an older firmware version. During using of 'Info mode' for "
                           "showing\nof analog output setting on its own LCD display")));
        QCOMPARE(messages.shown.first().text.count(QLatin1Char('\n')), 3);
    }
}

void TestConfigPageModel::displayBoxes()
{
    TTransmitter device("Q0030", 240);
    // Display on, temperature off, humidity and pressure shown.
    device.images.Word(0x103F, 0x8000 | 0x2000 | 0x0002 | 0x0008 | 0x0001 | 0x0004 | 0x4000);
    device.Connect();
    const TControlRegistry &c = device.Config().Controls();
    const auto box = [&](const char *name) { return c.CheckBox(QLatin1String(name)); };
    QVERIFY(box("chDispOn").Checked);
    QVERIFY(!box("chDispTemp").Checked);
    QVERIFY(box("chDispRelHum").Checked);
    QVERIFY(box("chDispPress").Checked);
    QVERIFY(!box("chDispCompQuan").Checked);
    QCOMPARE(box("chDispCompQuan").Caption, QStringLiteral("Dew point"));
    QVERIFY(box("chDispTemp").Enabled);

    QCOMPARE(device.Config().chDispOnClick(false).SaveEnabled, std::optional<bool>(true));
    for (const char *name : {"chDispTemp", "chDispPress", "chDispRelHum", "chDispCompQuan"})
        QVERIFY2(!box(name).Enabled, name);
    QVERIFY(box("chDispOn").Enabled);

    device.Config().cbCCompQuanSelect(2);
    QCOMPARE(box("chDispCompQuan").Caption, QStringLiteral("Specific humidity"));
}

void TestConfigPageModel::computedPressureFollowsTheUnit()
{
    TTransmitter device("Q0003", 240);
    device.images.Word(0x1038, 1013);
    device.Connect();
    const TControlRegistry &c = device.Config().Controls();
    const TNumEditView &pressure = c.NumEdit(QStringLiteral("pbssAtmPress"));
    QCOMPARE(pressure.Value, 1013.0);
    QCOMPARE(pressure.Range.Min, 800.0);
    QCOMPARE(pressure.Range.Max, 30000.0);
    QCOMPARE(pressure.Decimals, 1);
    QCOMPARE(c.Label(QStringLiteral("lAtmPressUnit")).Caption, QStringLiteral("hPa"));

    device.Config().cbUnitSelect(QStringLiteral("cbCPressUnit"), 7);
    QCOMPARE(pressure.Value, 101.3);
    QCOMPARE(pressure.Range.Min, 80.0);
    QCOMPARE(pressure.Range.Max, 3000.0);
    QCOMPARE(pressure.Decimals, 2);
    QCOMPARE(c.Label(QStringLiteral("lAtmPressUnit")).Caption, QStringLiteral("kPa"));
}

void TestConfigPageModel::choiceChangesReachTheOtherPages()
{
    TTransmitter device("Q0030", 240);
    device.images.Word(0x203F, 0x0001);  // °F
    TSerialConfigPages &pages = device.Connect();
    int relayouts = 0;
    pages.AddQuantityChoiceListener([&] { ++relayouts; });
    TConfigPageModel &config = pages.Config();

    config.cbUnitSelect(QStringLiteral("cbCTempUnit"), 1);  // °F again
    QCOMPARE(relayouts, 0);
    config.cbCCompQuanSelect(1);
    QCOMPARE(relayouts, 1);
    config.cbUnitSelect(QStringLiteral("cbCPressUnit"), 1);
    QCOMPARE(relayouts, 2);
    QCOMPARE(config.PressUnitTag(), quint8(UnitType::Psi));
    // Poseidon offers only °C, hPa and the first two computed quantities:
    // the lists narrow the choice, and the other pages must follow.
    config.cbCCompQuanSelect(3);
    QCOMPARE(relayouts, 3);
    config.cbCProtocolSelect(PoseidonIndex);
    QCOMPARE(relayouts, 4);
    QCOMPARE(config.SelectedTempUnit(), quint8(UnitType::Celsius));
    QCOMPARE(config.TempUnitTag(), quint8(UnitType::Celsius));
    QCOMPARE(config.SelectedComputedQuantity(), quint8(QuantityType::DewPoint));
}

PELINOR_TEST_MAIN(TestConfigPageModel)
#include "test_uConfigPageModel.moc"
