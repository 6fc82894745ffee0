#include "serialconfig/uSaveChanges.h"

#include "TransmitterFixture.h"
#include "support/ScriptedMessages.h"
#include "support/TestEnvironment.h"

#include <QTest>

#include <algorithm>
#include <functional>
#include <set>

namespace {

using TAddresses = std::set<quint16>;

// The registers whose words differ between the images as read and as saved.
TAddresses ChangedRegisters(const TSensorImages &read, const TModbusSave &saved)
{
    TAddresses changed;
    for (int i = 0; i < SegmentWords; ++i) {
        if (read.Image1[i] != saved.Image1[i])
            changed.insert(quint16(0x1001 + i));
        if (read.Image2[i] != saved.Image2[i])
            changed.insert(quint16(0x2001 + i));
    }
    return changed;
}

// The words of registers and of floats (both words: a changed value may
// leave one of them as it was).
TAddresses Registers(std::initializer_list<quint16> words, std::initializer_list<quint16> floats = {})
{
    TAddresses registers(words);
    for (const quint16 address : floats) {
        registers.insert(address);
        registers.insert(quint16(address + 1));
    }
    return registers;
}

// Nothing but the allowed registers changed, and something did.
bool ChangedOnly(const TAddresses &changed, const TAddresses &allowed)
{
    return !changed.empty() && std::includes(allowed.begin(), allowed.end(), changed.begin(), changed.end());
}

QString Listed(const TAddresses &addresses)
{
    QStringList texts;
    for (const quint16 address : addresses)
        texts.append(QStringLiteral("0x%1").arg(address, 4, 16, QLatin1Char('0')));
    return texts.join(QLatin1Char(' '));
}

float SavedFloat(quint16 address, const TModbusSave &saved)
{
    return float(ImageFloat(address, (address >> 12) == 2 ? saved.Image2 : saved.Image1));
}

quint16 SavedWord(quint16 address, const TModbusSave &saved)
{
    return ImageWord(address, (address >> 12) == 2 ? saved.Image2 : saved.Image1);
}

void TypeLimit(TTransmitter &device, const char *name, double value)
{
    const QString edit = QLatin1String(name);
    device.Output().pbssOutputEnter(edit);
    device.Output().pbssOutputChange(edit, value);
    device.Output().pbssOutputExit(edit, TFocusTarget::Save);
}

// What the user does on the pages, and what the saved images must then hold.
using TUserAction = std::function<void(TTransmitter &)>;
using TSavedCheck = std::function<void(const TModbusSave &, const TTransmitter &)>;

} // namespace

Q_DECLARE_METATYPE(TAddresses)
Q_DECLARE_METATYPE(TUserAction)
Q_DECLARE_METATYPE(TSavedCheck)

class TestSaveChanges : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void noChangeWritesNothing_data();
    void noChangeWritesNothing();
    void unchangedFractionalLimitsWriteNothing();
    void changedRegisters_data();
    void changedRegisters();
    void fahrenheitLimitsByFirmware_data();
    void fahrenheitLimitsByFirmware();
    void adamWithCrc();
    void poseidonLetterAddress();
    void emptyLetterAddressRefused();
    void voltageOutput();
    void calibrationState_data();
    void calibrationState();
    void hooksRunWhereTheirPagesWrite();
};

void TestSaveChanges::noChangeWritesNothing_data()
{
    QTest::addColumn<QString>("type");
    QTest::addColumn<int>("firmware");
    QTest::addColumn<quint16>("unitWord");
    for (const char *type : {"Q0001", "Q0003", "Q0007", "Q0015", "Q0029", "Q0030", "Q0073", "Q00089", "Q0113",
                             "Q0131"}) {
        for (const int firmware : {209, 215, 220, 230, 233, 237, 250})
            QTest::addRow("%s at %d", type, firmware) << type << firmware << quint16(0);
    }
    QTest::newRow("Q0001 °F at 237") << "Q0001" << 237 << quint16(0x0001);
    QTest::newRow("Q0003 °F at 240") << "Q0003" << 240 << quint16(0x0001);
    QTest::newRow("Q0015 PSI at 240") << "Q0015" << 240 << quint16(0x0004);
    QTest::newRow("Q0030 inHg at 240") << "Q0030" << 240 << quint16(0x0008);
    QTest::newRow("Q0073 averaged at 250") << "Q0073" << 250 << quint16(0x0004);
}

void TestSaveChanges::noChangeWritesNothing()
{
    QFETCH(QString, type);
    QFETCH(int, firmware);
    QFETCH(quint16, unitWord);
    TTransmitter device(qPrintable(type), firmware);
    // Registers of pages that come later, and an address the page may not
    // show (service-cable devices): a hidden address stays as read.
    device.images.Word(0x203F, unitWord).Word(0x2037, 0xFB48).Word(0x2007, 0x2C00).Word(0x2001, 26);
    device.Connect();

    const TModbusSave saved = PrepareModbusSave(*device.pages);

    QCOMPARE(Listed(ChangedRegisters(device.images, saved)), QString());
    QVERIFY(!saved.BaudChanged);
    QCOMPARE(saved.ChosenProtocolType, quint8(ProtocolType::ModBus));
}

void TestSaveChanges::unchangedFractionalLimitsWriteNothing()
{
    // 21.3 °C shows as 70.3 °F; taking the shown value back would store
    // 21.28 °C. And the clamps a save gave 21.3 differ in the last bits from
    // those of 21.3 read back in single precision.
    TTransmitter device("Q0003", 240);
    device.images.Word(0x203F, 0x0001).OutputRange(0x1001, 21.3, 50);
    device.Connect();
    const QString name = QStringLiteral("pbneTemperLo1");
    QCOMPARE(device.Output().Controls().NumEdit(name).ShownValue(), 70.3);
    device.Output().pbssOutputEnter(name);
    device.Output().pbssOutputExit(name, TFocusTarget::Save);

    const TModbusSave saved = PrepareModbusSave(*device.pages);

    QCOMPARE(Listed(ChangedRegisters(device.images, saved)), QString());
}

void TestSaveChanges::changedRegisters_data()
{
    QTest::addColumn<QString>("type");
    QTest::addColumn<TUserAction>("change");
    QTest::addColumn<TAddresses>("allowed");
    QTest::addColumn<TSavedCheck>("check");
    const auto word = [](quint16 address, quint16 value) -> TSavedCheck {
        return [=](const TModbusSave &saved, const TTransmitter &) { QCOMPARE(SavedWord(address, saved), value); };
    };

    // The upper clamp stays: 5 % of the new span is more than one degree.
    QTest::newRow("lower temperature limit")
        << "Q0003" << TUserAction([](TTransmitter &d) { TypeLimit(d, "pbneTemperLo2", -30); })
        << Registers({}, {0x1001, 0x1005}) << TSavedCheck([](const TModbusSave &saved, const TTransmitter &) {
               QCOMPARE(SavedFloat(0x1001, saved), -30.0f);
               QCOMPARE(SavedFloat(0x1005, saved), -30.8f);
               QCOMPARE(SavedFloat(0x1007, saved), 51.0f);
           });
    // 32/122 °F are 0/50 °C again: only the unit bit changes.
    QTest::newRow("temperature unit")
        << "Q0003" << TUserAction([](TTransmitter &d) { d.Config().cbUnitSelect(QStringLiteral("cbCTempUnit"), 1); })
        << Registers({0x203F}) << word(0x203F, 0x0001);
    QTest::newRow("baud rate on RS485")
        << "Q0030" << TUserAction([](TTransmitter &d) { d.Config().cbCBaudRateSelect(8); })
        << Registers({0x2002}) << TSavedCheck([](const TModbusSave &saved, const TTransmitter &d) {
               QVERIFY(saved.BaudChanged);
               QCOMPARE(SavedWord(0x2002, saved), quint16(0x00DA));
               QCOMPARE(saved.BitRate.GetValue(), 19200u);
               // The connected rate stays until the write succeeded.
               QCOMPARE(d.bitRate.GetValue(), 9600u);
           });
    QTest::newRow("address on RS485")
        << "Q0030" << TUserAction([](TTransmitter &d) {
               d.Config().ComponentEnter(QStringLiteral("pbssCAddr"));
               d.Config().ComponentChange(QStringLiteral("pbssCAddr"), 7.4);
               d.Config().ComponentExit(QStringLiteral("pbssCAddr"));
           })
        << Registers({0x2001}) << TSavedCheck([](const TModbusSave &saved, const TTransmitter &) {
               QCOMPARE(SavedWord(0x2001, saved), quint16(7));
               QCOMPARE(saved.Address, 7);
               QVERIFY(!saved.CharAddress);
           });
    QTest::newRow("computed quantity")
        << "Q0003" << TUserAction([](TTransmitter &d) { d.Config().cbCCompQuanSelect(1); })
        << Registers({0x103F}) << TSavedCheck([](const TModbusSave &saved, const TTransmitter &d) {
               QCOMPARE(SavedWord(0x103F, saved), quint16((d.images.WordAt(0x103F) & ~0x0008) | 0x0200));
           });
    QTest::newRow("display box")
        << "Q0030" << TUserAction([](TTransmitter &d) { d.Config().chDispClick(QStringLiteral("chDispPress"), false); })
        << Registers({0x103F}) << TSavedCheck([](const TModbusSave &saved, const TTransmitter &d) {
               QCOMPARE(SavedWord(0x103F, saved), quint16(d.images.WordAt(0x103F) & ~0x4000));
           });
    QTest::newRow("computed pressure")
        << "Q0003" << TUserAction([](TTransmitter &d) { d.Config().ComponentChange(QStringLiteral("pbssAtmPress"), 950.4); })
        << Registers({0x1038}) << word(0x1038, 950);
    QTest::newRow("channel 2 quantity")
        << "Q0003" << TUserAction([](TTransmitter &d) { d.Output().cbMeasQuanSelect(2, 2); })  // the computed entry
        << Registers({0x103A, 0x103C, 0x103E}) << TSavedCheck([](const TModbusSave &saved, const TTransmitter &) {
               QCOMPARE(SavedWord(0x103A, saved), quint16(13));
               QCOMPARE(SavedWord(0x103C, saved), quint16(0x1011));
               QCOMPARE(SavedWord(0x103E, saved), quint16(0x1015));
           });
    QTest::newRow("CO2 averaging")
        << "Q0073" << TUserAction([](TTransmitter &d) { d.Config().cbCCO2ValueSelect(1); })
        << Registers({0x203F}) << word(0x203F, 0x0004);
}

void TestSaveChanges::changedRegisters()
{
    QFETCH(QString, type);
    QFETCH(TUserAction, change);
    QFETCH(TAddresses, allowed);
    QFETCH(TSavedCheck, check);
    TTransmitter device(qPrintable(type), 250);
    device.Connect();

    change(device);
    const TModbusSave saved = PrepareModbusSave(*device.pages);

    const TAddresses changed = ChangedRegisters(device.images, saved);
    QVERIFY2(ChangedOnly(changed, allowed), qPrintable(Listed(changed)));
    QCOMPARE(saved.BaudChanged, allowed.count(0x2002) != 0);
    check(saved, device);
}

void TestSaveChanges::fahrenheitLimitsByFirmware_data()
{
    QTest::addColumn<int>("firmware");
    QTest::addColumn<float>("lower");
    QTest::addColumn<float>("upper");
    // Older analog firmware keeps the limits in the unit shown.
    QTest::newRow("240") << 240 << 0.0f << 50.0f;
    QTest::newRow("238") << 238 << 0.0f << 50.0f;
    QTest::newRow("237") << 237 << 32.0f << 122.0f;
    QTest::newRow("230") << 230 << 32.0f << 122.0f;
}

void TestSaveChanges::fahrenheitLimitsByFirmware()
{
    QFETCH(int, firmware);
    QFETCH(float, lower);
    QFETCH(float, upper);
    TScriptedMessages messages;
    TTransmitter device("Q0001", firmware);
    device.Connect();
    device.Config().cbUnitSelect(QStringLiteral("cbCTempUnit"), 1);
    const TControlRegistry &output = device.Output().Controls();
    QCOMPARE(output.NumEdit(QStringLiteral("pbneTemperLo1")).Value, 32.0);
    QCOMPARE(output.NumEdit(QStringLiteral("pbneTemperHi1")).Value, 122.0);

    const TModbusSave saved = PrepareModbusSave(*device.pages);

    QCOMPARE(SavedFloat(0x1001, saved), lower);
    QCOMPARE(SavedFloat(0x1003, saved), upper);
    QCOMPARE(SavedWord(0x203F, saved), quint16(0x0001));
}

void TestSaveChanges::adamWithCrc()
{
    TTransmitter device("Q0030", 240);
    device.images.Word(0x2001, 26);
    device.Connect();
    device.Config().cbCProtocolSelect(2);

    const TModbusSave saved = PrepareModbusSave(*device.pages);

    QCOMPARE(Listed(ChangedRegisters(device.images, saved)), Listed({0x2001, 0x2003, 0x2004}));
    QCOMPARE(SavedWord(0x2003, saved), quint16(0x0002));
    QCOMPARE(SavedWord(0x2004, saved), quint16(0x3430));
    QCOMPARE(SavedWord(0x2001, saved), quint16(0x3141));  // "1A"
    QCOMPARE(saved.ChosenProtocolType, quint8(ProtocolType::AdamWithCrc));
    QCOMPARE(saved.Protocol.GetName(), QStringLiteral("Adam with CRC"));
    QCOMPARE(saved.Address, 26);
    // The connected protocol stays until the write succeeded.
    QCOMPARE(device.protocol.GetProtocolType(), quint8(ProtocolType::ModBus));
}

void TestSaveChanges::poseidonLetterAddress()
{
    TTransmitter device("Q0030", 240);
    device.Connect();
    device.Config().cbCProtocolSelect(4);
    device.Config().eCAddrChange(QStringLiteral("b"));

    const TModbusSave saved = PrepareModbusSave(*device.pages);

    QCOMPARE(SavedWord(0x2003, saved), quint16(6));
    QCOMPARE(SavedWord(0x2001, saved), quint16('b'));
    QCOMPARE(saved.Address, int('b'));
    QVERIFY(saved.CharAddress);
    const TCommSettingsChoice choice = ChosenCommSettings(*device.pages);
    QCOMPARE(choice.BaudRate, 9600u);
    QCOMPARE(choice.Address, int('b'));
}

void TestSaveChanges::emptyLetterAddressRefused()
{
    TTransmitter device("Q0030", 240);
    device.Connect();
    device.Config().cbCProtocolSelect(4);
    device.Config().eCAddrChange(QStringLiteral("t"));

    QVERIFY_THROWS_EXCEPTION(ESaveRefused, CheckBeforeSave(*device.pages));
    try {
        PrepareModbusSave(*device.pages);
        QFAIL("saved without an address");
    } catch (const ESaveRefused &e) {
        QCOMPARE(e.Message(), QStringLiteral("Device address is required!"));
    }
}

void TestSaveChanges::voltageOutput()
{
    TTransmitter device("Q0007", 240);
    device.Connect();
    device.Output().ComponentEnter(QStringLiteral("pbssOut1"));
    QCOMPARE(device.Output().ComponentChange(QStringLiteral("pbssOut1"), 5.0).SaveEnabled,
             std::optional<bool>(true));
    device.Output().ComponentExit(QStringLiteral("pbssOut1"));

    const TModbusSave saved = PrepareModbusSave(*device.pages);

    const TAddresses changed = ChangedRegisters(device.images, saved);
    QVERIFY2(ChangedOnly(changed, Registers({}, {0x101B, 0x101F, 0x200B, 0x2013})), qPrintable(Listed(changed)));
    QCOMPARE(SavedFloat(0x200B, saved), 5.0f);
    QCOMPARE(SavedFloat(0x2013, saved), 5.5f);
    QCOMPARE(SavedFloat(0x101B, saved), 30000.0f);
    QCOMPARE(SavedFloat(0x101F, saved), 33000.0f);
}

void TestSaveChanges::calibrationState_data()
{
    QTest::addColumn<QString>("type");
    QTest::addColumn<quint16>("cleared");
    QTest::newRow("without external calibration") << "Q00089" << quint16(0);
    QTest::newRow("with external calibration") << "Q0003" << quint16(5);
}

void TestSaveChanges::calibrationState()
{
    QFETCH(QString, type);
    QFETCH(quint16, cleared);
    TTransmitter device(qPrintable(type), 240);
    device.images.Word(0x2006, 5);
    device.Connect();

    QCOMPARE(SavedWord(0x2006, PrepareModbusSave(*device.pages)), cleared);
}

void TestSaveChanges::hooksRunWhereTheirPagesWrite()
{
    QStringList calls;
    TSaveHooks hooks;
    hooks.RelayUnitBits = [&](TUnitWord &word) {
        calls.append("relay bits");
        word.SetRelayQuantityCode(1, RelayQuantityCode::Temperature);
    };
    hooks.RelayInputIndication = [&](TSegmentImage &) { calls.append("relay input"); };
    hooks.RelayValues = [&](TSegmentImage &) { calls.append("relay values"); };
    hooks.AltitudeCompensation = [&](TSegmentImage &image2) {
        calls.append("altitude");
        SetImageWord(0x2037, image2, 123);
    };
    hooks.ServicePage = [&](TSegmentImage &) { calls.append("service"); };
    hooks.HumidityCoefficients = [&](TSegmentImage &, const TSegmentImage &) { calls.append("humidity"); };

    for (const int firmware : {270, 271, 289}) {
        calls.clear();
        TTransmitter device("Q0003", firmware);
        device.Connect();
        const TModbusSave saved = PrepareModbusSave(*device.pages, hooks);
        QStringList expected = {"relay bits", "relay input", "relay values", "altitude", "service"};
        if (firmware != 270)
            expected.append("humidity");
        QCOMPARE(calls, expected);
        QCOMPARE(SavedWord(0x203F, saved), quint16(0x0100));
        QCOMPARE(SavedWord(0x2037, saved), quint16(123));
    }
}

PELINOR_TEST_MAIN(TestSaveChanges)
#include "test_uSaveChanges.moc"
