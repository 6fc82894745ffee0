#include "serialconfig/uRegisterMap.h"

#include "shell/uErrors.h"
#include "support/TestEnvironment.h"

#include <QTest>

namespace {

// Images whose every word is a marker, so a register written by mistake shows.
constexpr quint16 Untouched = 0xEEEE;

TSegmentImage MarkedImage()
{
    TSegmentImage image;
    image.fill(Untouched);
    return image;
}

// Device floats keep single precision; compare at that precision.
float StoredFloat(quint16 address, const TSegmentImage &image)
{
    return static_cast<float>(ImageFloat(address, image));
}

} // namespace

class TestRegisterMap : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void roundToRegister_data();
    void roundToRegister();
    void firmwareNumber_data();
    void firmwareNumber();
    void firmwareNumberNeverDecreases();
    void firmwareIdentity_data();
    void firmwareIdentity();
    void serialNumberText();
    void outputClamps_data();
    void outputClamps();
    void outputRangeGoesToItsBlock();
    void voltageScaling_data();
    void voltageScaling();
    void channelAssignment_data();
    void channelAssignment();
    void channelReadBack_data();
    void channelReadBack();
    void adamAddress_data();
    void adamAddress();
    void adamAddressRefusals();
    void baudDivisor_data();
    void baudDivisor();
    void relayScaling_data();
    void relayScaling();
    void relayQuantityType_data();
    void relayQuantityType();
    void unitWordDecoding_data();
    void unitWordDecoding();
    void settersTouchOnlyTheirBits_data();
    void settersTouchOnlyTheirBits();
    void unitFieldsRoundTripOnEveryWord();
    void numberedAccessorsRejectOutOfRange();
    void pressureFilterKeepsHighByte();
};

void TestRegisterMap::roundToRegister_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<quint16>("unsignedWord");
    QTest::addColumn<quint16>("signedWord");
    QTest::newRow("tie down to even") << 2.5 << quint16(2) << quint16(2);
    QTest::newRow("tie up to even") << 3.5 << quint16(4) << quint16(4);
    QTest::newRow("negative tie") << -2.5 << quint16(0) << quint16(0xFFFE);
    QTest::newRow("below a half") << 0.4999 << quint16(0) << quint16(0);
    QTest::newRow("too large saturates") << 70000.0 << quint16(0xFFFF) << quint16(0x7FFF);
    QTest::newRow("too small saturates") << -40000.0 << quint16(0) << quint16(0x8000);
}

void TestRegisterMap::roundToRegister()
{
    QFETCH(double, value);
    QFETCH(quint16, unsignedWord);
    QFETCH(quint16, signedWord);
    QCOMPARE(UnsignedRegister(value), unsignedWord);
    QCOMPARE(SignedRegister(value), signedWord);
    QVERIFY_THROWS_EXCEPTION(ERangeError, UnsignedRegister(std::nan("")));
}

void TestRegisterMap::firmwareNumber_data()
{
    QTest::addColumn<quint16>("word");
    QTest::addColumn<int>("number");
    // Neighbours of the thresholds the pages compare against.
    QTest::newRow("209") << quint16(0x0209) << 209;
    QTest::newRow("210") << quint16(0x0210) << 210;
    QTest::newRow("214") << quint16(0x0214) << 214;
    QTest::newRow("215") << quint16(0x0215) << 215;
    QTest::newRow("219") << quint16(0x0219) << 219;
    QTest::newRow("220") << quint16(0x0220) << 220;
    QTest::newRow("229") << quint16(0x0229) << 229;
    QTest::newRow("230") << quint16(0x0230) << 230;
    QTest::newRow("233") << quint16(0x0233) << 233;
    QTest::newRow("237") << quint16(0x0237) << 237;
    QTest::newRow("238") << quint16(0x0238) << 238;
    QTest::newRow("249") << quint16(0x0249) << 249;
    QTest::newRow("250") << quint16(0x0250) << 250;
    QTest::newRow("four digits") << quint16(0x1234) << 1234;
    // Hexadecimal digits count as the highest decimal version below them.
    QTest::newRow("0x02A0") << quint16(0x02A0) << 299;
    QTest::newRow("0x029F") << quint16(0x029F) << 299;
    QTest::newRow("0x0A00") << quint16(0x0A00) << 999;
    QTest::newRow("0x0300 after them") << quint16(0x0300) << 300;
    QTest::newRow("0xFFFF") << quint16(0xFFFF) << 9999;
}

void TestRegisterMap::firmwareNumber()
{
    QFETCH(quint16, word);
    QFETCH(int, number);
    QCOMPARE(FirmwareNumber(word), number);
}

void TestRegisterMap::firmwareNumberNeverDecreases()
{
    int previous = FirmwareNumber(0);
    for (int word = 1; word <= 0xFFFF; ++word) {
        const int number = FirmwareNumber(static_cast<quint16>(word));
        if (number < previous)
            QFAIL(qPrintable(QString::asprintf("0x%4.4X gives %d after %d", word, number, previous)));
        previous = number;
    }
}

void TestRegisterMap::firmwareIdentity_data()
{
    QTest::addColumn<quint16>("word3001");
    QTest::addColumn<quint16>("word3002");
    QTest::addColumn<QString>("versionText");
    QTest::addColumn<QString>("dateText");
    QTest::newRow("usual order") << quint16(0x0905) << quint16(0x0231) << "02.31" << "05/2009";
    QTest::newRow("swapped, date 0x0901") << quint16(0x0405) << quint16(0x0901) << "04.05" << "01/2009";
    QTest::newRow("swapped, date 0x0812") << quint16(0x0250) << quint16(0x0812) << "02.50" << "12/2008";
    QTest::newRow("hexadecimal digits shown as such") << quint16(0x100A) << quint16(0x02A1) << "02.a1"
                                                      << "0a/2010";
}

void TestRegisterMap::firmwareIdentity()
{
    QFETCH(quint16, word3001);
    QFETCH(quint16, word3002);
    QFETCH(QString, versionText);
    QFETCH(QString, dateText);
    TSegmentImage ident = MarkedImage();
    SetImageWord(Reg::IdentDate, ident, word3001);
    SetImageWord(Reg::IdentVersion, ident, word3002);
    const TFirmwareIdentity identity = FirmwareIdentity(ident);
    QCOMPARE(FirmwareVersionText(identity.version), versionText);
    QCOMPARE(FirmwareDateText(identity.date), dateText);
}

void TestRegisterMap::serialNumberText()
{
    TSegmentImage image1 = MarkedImage();
    SetImageWord(Reg::SerialNumberHigh, image1, 0x00AB);
    SetImageWord(Reg::SerialNumberLow, image1, 0x12CD);
    QCOMPARE(::SerialNumberText(image1), QStringLiteral("00ab12cd"));
    QCOMPARE(SerialNumber(image1), quint32(0x00AB12CD));
}

void TestRegisterMap::outputClamps_data()
{
    QTest::addColumn<double>("lowerEnd");
    QTest::addColumn<double>("upperEnd");
    QTest::addColumn<double>("lowerClamp");
    QTest::addColumn<double>("upperClamp");
    QTest::newRow("falling output, narrow span") << 20.0 << 0.0 << -0.2 << 21.0;
    QTest::newRow("wide span, one unit margins") << 0.0 << 1000.0 << -1.0 << 1001.0;
    QTest::newRow("span margins differ") << 0.0 << 50.0 << -0.5 << 51.0;
    QTest::newRow("negative range") << -40.0 << -20.0 << -40.2 << -19.0;
    QTest::newRow("no span") << 10.0 << 10.0 << 10.0 << 10.0;
}

void TestRegisterMap::outputClamps()
{
    QFETCH(double, lowerEnd);
    QFETCH(double, upperEnd);
    QFETCH(double, lowerClamp);
    QFETCH(double, upperClamp);
    const TOutputClamps clamps = OutputClamps(lowerEnd, upperEnd);
    QCOMPARE(clamps.lower, lowerClamp);
    QCOMPARE(clamps.upper, upperClamp);
}

void TestRegisterMap::outputRangeGoesToItsBlock()
{
    TSegmentImage image1 = MarkedImage();
    TSegmentImage image2 = MarkedImage();
    StoreOutputRange(PressureOrCO2Range, 800.0, 1100.0, image1, image2);
    QCOMPARE(image1, MarkedImage());
    QCOMPARE(StoredFloat(Reg::PressureOrCO2LowerEnd, image2), 800.0f);
    QCOMPARE(StoredFloat(Reg::PressureOrCO2UpperEnd, image2), 1100.0f);
    QCOMPARE(StoredFloat(Reg::PressureOrCO2LowerClamp, image2), 799.0f);
    QCOMPARE(StoredFloat(Reg::PressureOrCO2UpperClamp, image2), 1101.0f);

    image2 = MarkedImage();
    StoreOutputRange(TemperatureRange, 20.0, 0.0, image1, image2);
    QCOMPARE(image2, MarkedImage());
    QCOMPARE(StoredFloat(Reg::TemperatureLowerEndC, image1), 20.0f);
    QCOMPARE(StoredFloat(Reg::TemperatureUpperEndC, image1), 0.0f);
    QCOMPARE(StoredFloat(Reg::TemperatureLowerClampC, image1), -0.2f);
    QCOMPARE(StoredFloat(Reg::TemperatureUpperClampC, image1), 21.0f);
}

void TestRegisterMap::voltageScaling_data()
{
    QTest::addColumn<int>("channel");
    QTest::addColumn<double>("storedLowerV");
    QTest::addColumn<double>("storedUpperV");
    QTest::addColumn<double>("atLowerV");
    QTest::addColumn<double>("atUpperV");
    QTest::addColumn<double>("newUpperV");
    QTest::addColumn<double>("expectAtUpperV");
    QTest::addColumn<double>("expectAboveUpperV");
    QTest::newRow("half the range") << 1 << 0.0 << 10.0 << 0.0 << 60000.0 << 5.0 << 30000.0 << 33000.0;
    QTest::newRow("same upper voltage") << 1 << 0.0 << 10.0 << 0.0 << 60000.0 << 10.0 << 60000.0 << 63000.0;
    QTest::newRow("above full scale") << 1 << 0.0 << 10.0 << 0.0 << 65000.0 << 10.0 << 65000.0 << 65535.0;
    QTest::newRow("beyond the stored upper voltage") << 2 << 0.0 << 5.0 << 0.0 << 30000.0 << 10.0 << 60000.0
                                                     << 63000.0;
    QTest::newRow("offset line") << 2 << 1.0 << 5.0 << 1000.0 << 41000.0 << 3.0 << 21000.0 << 26000.0;
    QTest::newRow("equal voltages give the midpoint") << 1 << 5.0 << 5.0 << 1000.0 << 3000.0 << 8.0 << 2000.0
                                                      << 2000.0;
}

void TestRegisterMap::voltageScaling()
{
    QFETCH(int, channel);
    QFETCH(double, storedLowerV);
    QFETCH(double, storedUpperV);
    QFETCH(double, atLowerV);
    QFETCH(double, atUpperV);
    QFETCH(double, newUpperV);
    QFETCH(double, expectAtUpperV);
    QFETCH(double, expectAboveUpperV);
    const TOutputChannelRegisters &regs = OutputChannel(channel);
    const TOutputChannelRegisters &other = OutputChannel(3 - channel);
    TSegmentImage image1 = MarkedImage();
    TSegmentImage image2 = MarkedImage();
    SetImageFloat(regs.lowerV, image2, storedLowerV);
    SetImageFloat(regs.upperV, image2, storedUpperV);
    SetImageFloat(regs.converterAtLowerV, image1, atLowerV);
    SetImageFloat(regs.converterAtUpperV, image1, atUpperV);

    ScaleVoltageOutput(channel, newUpperV, image1, image2);

    QCOMPARE(StoredFloat(regs.upperV, image2), float(newUpperV));
    QCOMPARE(StoredFloat(regs.aboveUpperV, image2), float(newUpperV + 0.5));
    QCOMPARE(StoredFloat(regs.converterAtUpperV, image1), float(expectAtUpperV));
    QCOMPARE(StoredFloat(regs.converterAboveUpperV, image1), float(expectAboveUpperV));
    // The lower point stays, and so does the other channel.
    QCOMPARE(StoredFloat(regs.lowerV, image2), float(storedLowerV));
    QCOMPARE(StoredFloat(regs.converterAtLowerV, image1), float(atLowerV));
    QCOMPARE(ImageWord(other.upperV, image2), Untouched);
    QCOMPARE(ImageWord(other.aboveUpperV, image2), Untouched);
    QCOMPARE(ImageWord(other.converterAtUpperV, image1), Untouched);
    QCOMPARE(ImageWord(other.converterAboveUpperV, image1), Untouched);
}

void TestRegisterMap::channelAssignment_data()
{
    QTest::addColumn<int>("quantityType");
    QTest::addColumn<bool>("stored");
    QTest::addColumn<quint16>("quantityWord");
    QTest::addColumn<quint16>("lowerEnd");
    QTest::addColumn<quint16>("lowerClamp");
    QTest::newRow("temperature") << 6 << true << quint16(9) << quint16(0x1001) << quint16(0x1005);
    QTest::newRow("humidity") << 7 << true << quint16(11) << quint16(0x1009) << quint16(0x100D);
    QTest::newRow("pressure") << 8 << true << quint16(15) << quint16(0x202F) << quint16(0x2033);
    QTest::newRow("CO2") << 9 << true << quint16(15) << quint16(0x202F) << quint16(0x2033);
    QTest::newRow("dew point") << 10 << true << quint16(13) << quint16(0x1011) << quint16(0x1015);
    QTest::newRow("specific enthalpy") << 14 << true << quint16(13) << quint16(0x1011) << quint16(0x1015);
    QTest::newRow("nothing chosen") << 0 << false << Untouched << Untouched << Untouched;
    QTest::newRow("far relay control") << 5 << false << Untouched << Untouched << Untouched;
    QTest::newRow("humidex") << 15 << false << Untouched << Untouched << Untouched;
}

void TestRegisterMap::channelAssignment()
{
    QFETCH(int, quantityType);
    QFETCH(bool, stored);
    QFETCH(quint16, quantityWord);
    QFETCH(quint16, lowerEnd);
    QFETCH(quint16, lowerClamp);
    TSegmentImage image1 = MarkedImage();
    QCOMPARE(ApplyChannelAssignment(2, quantityType, image1), stored);
    QCOMPARE(ImageWord(Reg::Out2Quantity, image1), quantityWord);
    QCOMPARE(ImageWord(Reg::Out2LowerEndAddress, image1), lowerEnd);
    QCOMPARE(ImageWord(Reg::Out2LowerClampAddress, image1), lowerClamp);
    for (quint16 address : {Reg::Out1Quantity, Reg::Out1LowerEndAddress, Reg::Out1LowerClampAddress})
        QCOMPARE(ImageWord(address, image1), Untouched);
}

void TestRegisterMap::channelReadBack_data()
{
    QTest::addColumn<quint16>("word");
    QTest::addColumn<bool>("hasCO2");
    QTest::addColumn<int>("slot");
    QTest::newRow("9") << quint16(9) << false << int(TOutputSlot::Temperature);
    QTest::newRow("11") << quint16(11) << false << int(TOutputSlot::Humidity);
    QTest::newRow("13") << quint16(13) << true << int(TOutputSlot::Computed);
    QTest::newRow("15 on a pressure device") << quint16(15) << false << int(TOutputSlot::Pressure);
    QTest::newRow("15 on a CO2 device") << quint16(15) << true << int(TOutputSlot::CO2);
    QTest::newRow("0") << quint16(0) << false << int(TOutputSlot::None);
    QTest::newRow("an address, not a code") << quint16(0x1001) << false << int(TOutputSlot::None);
}

void TestRegisterMap::channelReadBack()
{
    QFETCH(quint16, word);
    QFETCH(bool, hasCO2);
    QFETCH(int, slot);
    QCOMPARE(int(ChannelSlot(word, hasCO2)), slot);
}

void TestRegisterMap::adamAddress_data()
{
    QTest::addColumn<int>("address");
    QTest::addColumn<quint16>("word");
    QTest::newRow("0x1A") << 0x1A << quint16(0x3141);
    QTest::newRow("5") << 5 << quint16(0x3035);
    QTest::newRow("0") << 0 << quint16(0x3030);
    QTest::newRow("255") << 255 << quint16(0x4646);
}

void TestRegisterMap::adamAddress()
{
    QFETCH(int, address);
    QFETCH(quint16, word);
    QCOMPARE(EncodeAdamAddress(address), word);
    QCOMPARE(DecodeAdamAddress(word), std::optional<int>(address));
}

void TestRegisterMap::adamAddressRefusals()
{
    QCOMPARE(DecodeAdamAddress(0x3161), std::optional<int>(0x1A));  // lower-case digit
    QCOMPARE(DecodeAdamAddress(0x0005), std::nullopt);                // a plain number
    QCOMPARE(DecodeAdamAddress(0x3147), std::nullopt);                // "1G"
    QVERIFY_THROWS_EXCEPTION(ERangeError, EncodeAdamAddress(256));
    QVERIFY_THROWS_EXCEPTION(ERangeError, EncodeAdamAddress(-1));
}

void TestRegisterMap::baudDivisor_data()
{
    QTest::addColumn<quint32>("baud");
    QTest::addColumn<int>("divisor");  // -1: refused
    QTest::newRow("1200") << quint32(1200) << 0x0DA7;
    QTest::newRow("9600") << quint32(9600) << 0x01B5;
    QTest::newRow("14400") << quint32(14400) << 0x0123;
    QTest::newRow("56000 rounds up") << quint32(56000) << 0x004B;
    QTest::newRow("115200") << quint32(115200) << 0x0024;
    QTest::newRow("0") << quint32(0) << -1;
    QTest::newRow("too slow for a word") << quint32(50) << -1;
}

void TestRegisterMap::baudDivisor()
{
    QFETCH(quint32, baud);
    QFETCH(int, divisor);
    if (divisor < 0) {
        QVERIFY_THROWS_EXCEPTION(ERangeError, BaudDivisorOf(baud));
        return;
    }
    QCOMPARE(int(BaudDivisorOf(baud)), divisor);
}

namespace {
enum TRelayField { SwitchingValue, Hysteresis, Delay };
}

void TestRegisterMap::relayScaling_data()
{
    QTest::addColumn<int>("field");
    QTest::addColumn<int>("quantityType");
    QTest::addColumn<double>("value");
    QTest::addColumn<quint16>("word");
    QTest::addColumn<double>("readBack");
    QTest::newRow("temperature, negative tenths")
        << int(SwitchingValue) << 6 << -2.5 << quint16(0xFFE7) << -2.5;
    QTest::newRow("temperature, largest") << int(SwitchingValue) << 6 << 3276.7 << quint16(0x7FFF) << 3276.7;
    QTest::newRow("tenths tie to even") << int(SwitchingValue) << 7 << 0.25 << quint16(2) << 0.2;
    QTest::newRow("CO2, whole ppm") << int(SwitchingValue) << 9 << 1500.0 << quint16(1500) << 1500.0;
    QTest::newRow("CO2, above the signed range")
        << int(SwitchingValue) << 9 << 40000.0 << quint16(40000) << 40000.0;
    QTest::newRow("hysteresis, unsigned tenths")
        << int(Hysteresis) << 8 << 6553.5 << quint16(0xFFFF) << 6553.5;
    QTest::newRow("hysteresis, CO2") << int(Hysteresis) << 9 << 50.0 << quint16(50) << 50.0;
    QTest::newRow("delay, half-seconds") << int(Delay) << 0 << 3.5 << quint16(7) << 3.5;
    QTest::newRow("delay, tie to even") << int(Delay) << 0 << 0.25 << quint16(0) << 0.0;
    QTest::newRow("delay, longest binary") << int(Delay) << 0 << 32767.0 << quint16(65534) << 32767.0;
}

void TestRegisterMap::relayScaling()
{
    QFETCH(int, field);
    QFETCH(int, quantityType);
    QFETCH(double, value);
    QFETCH(quint16, word);
    QFETCH(double, readBack);
    switch (field) {
    case SwitchingValue:
        QCOMPARE(RelayValueToRegister(value, quantityType), word);
        QCOMPARE(RelayValueFromRegister(word, quantityType), readBack);
        break;
    case Hysteresis:
        QCOMPARE(RelayHysteresisToRegister(value, quantityType), word);
        QCOMPARE(RelayHysteresisFromRegister(word, quantityType), readBack);
        break;
    default:
        QCOMPARE(RelayDelayToRegister(value), word);
        QCOMPARE(RelayDelayFromRegister(word), readBack);
    }
}

void TestRegisterMap::relayQuantityType_data()
{
    QTest::addColumn<int>("code");
    QTest::addColumn<bool>("hasCO2");
    QTest::addColumn<int>("quantityType");
    QTest::newRow("temperature") << 1 << false << 6;
    QTest::newRow("humidity") << 2 << false << 7;
    QTest::newRow("pressure") << 3 << false << 8;
    QTest::newRow("CO2") << 3 << true << 9;
    QTest::newRow("computed follows the choice") << 4 << false << 12;
    QTest::newRow("binary input 3") << 7 << false << 2;
    QTest::newRow("far relay control 1") << 9 << false << 5;
    QTest::newRow("none") << 0 << false << 0;
    QTest::newRow("unknown code") << 12 << false << 0;
}

void TestRegisterMap::relayQuantityType()
{
    QFETCH(int, code);
    QFETCH(bool, hasCO2);
    QFETCH(int, quantityType);
    QCOMPARE(RelayQuantityType(code, hasCO2, 12), quantityType);
}

void TestRegisterMap::unitWordDecoding_data()
{
    QTest::addColumn<quint16>("word");
    QTest::addColumn<int>("pressureUnit");
    QTest::addColumn<int>("co2RangePpm");
    QTest::addColumn<int>("relay1Code");
    QTest::addColumn<int>("relay2Code");
    QTest::addColumn<int>("relay1Error");
    QTest::addColumn<int>("relay2Error");
    const int keep = int(TRelayErrorAction::KeepStatus);
    const int open = int(TRelayErrorAction::Open);
    const int close = int(TRelayErrorAction::Close);
    QTest::newRow("all clear") << quint16(0x0000) << 0 << 2000 << 0 << 0 << keep << keep;
    QTest::newRow("relay codes") << quint16(0x9300) << 0 << 2000 << 3 << 9 << keep << keep;
    QTest::newRow("unit 5 / 10000 ppm") << quint16(0x0014) << 5 << 10000 << 0 << 0 << keep << keep;
    QTest::newRow("unit 2 / 5000 ppm") << quint16(0x0008) << 2 << 5000 << 0 << 0 << keep << keep;
    QTest::newRow("unused range code") << quint16(0x0018) << 6 << 2000 << 0 << 0 << keep << keep;
    QTest::newRow("close bits alone keep") << quint16(0x00C0) << 0 << 2000 << 0 << 0 << keep << keep;
    QTest::newRow("relay 1 opens") << quint16(0x0002) << 0 << 2000 << 0 << 0 << open << keep;
    QTest::newRow("relay 1 closes") << quint16(0x0042) << 0 << 2000 << 0 << 0 << close << keep;
    QTest::newRow("relay 2 opens") << quint16(0x0020) << 0 << 2000 << 0 << 0 << keep << open;
    QTest::newRow("relay 2 closes") << quint16(0x00A0) << 0 << 2000 << 0 << 0 << keep << close;
}

void TestRegisterMap::unitWordDecoding()
{
    QFETCH(quint16, word);
    QFETCH(int, pressureUnit);
    QFETCH(int, co2RangePpm);
    QFETCH(int, relay1Code);
    QFETCH(int, relay2Code);
    QFETCH(int, relay1Error);
    QFETCH(int, relay2Error);
    const TUnitWord unitWord(word);
    QCOMPARE(unitWord.PressureUnitCode(), pressureUnit);
    QCOMPARE(unitWord.CO2RangePpm(), co2RangePpm);
    QCOMPARE(unitWord.RelayQuantityCode(1), relay1Code);
    QCOMPARE(unitWord.RelayQuantityCode(2), relay2Code);
    QCOMPARE(int(unitWord.RelayErrorAction(1)), relay1Error);
    QCOMPARE(int(unitWord.RelayErrorAction(2)), relay2Error);
}

namespace {

enum TSetter {
    PressureUnit,
    CO2Range,
    RelayQuantity1,
    RelayQuantity2,
    RelayError1,
    RelayError2,
    RelayGreater2,
    InputLedClosed3,
    RelayAcoustic2,
    TemperatureOnDisplay,
};

// Applies one setter and returns what the matching getter reads back.
int ApplySetter(TSetter setter, int argument, quint16 &word)
{
    const auto setBit = [&](auto view, auto bit) {
        view.Set(bit, argument != 0);
        word = view.Word();
        return int(view.Test(bit));
    };
    TUnitWord unitWord(word);
    const int relay = setter == RelayQuantity2 || setter == RelayError2 ? 2 : 1;
    int readBack = 0;
    switch (setter) {
    case RelayGreater2: return setBit(TRelayInputWord(word), RelayGreaterBit(2));
    case InputLedClosed3: return setBit(TRelayInputWord(word), InputLedClosedBit(3));
    case RelayAcoustic2: return setBit(TRelayInputWord(word), RelayAcousticBit(2));
    case TemperatureOnDisplay: return setBit(TConfigWord(word), TConfigBit::TemperatureOnDisplay);
    case PressureUnit:
        unitWord.SetPressureUnitCode(argument);
        readBack = unitWord.PressureUnitCode();
        break;
    case CO2Range:
        unitWord.SetCO2RangePpm(argument);
        readBack = unitWord.CO2RangePpm();
        break;
    case RelayQuantity1:
    case RelayQuantity2:
        unitWord.SetRelayQuantityCode(relay, argument);
        readBack = unitWord.RelayQuantityCode(relay);
        break;
    case RelayError1:
    case RelayError2:
        unitWord.SetRelayErrorAction(relay, TRelayErrorAction(argument));
        readBack = int(unitWord.RelayErrorAction(relay));
        break;
    }
    word = unitWord.Word();
    return readBack;
}

} // namespace

void TestRegisterMap::settersTouchOnlyTheirBits_data()
{
    QTest::addColumn<int>("setter");
    QTest::addColumn<int>("argument");
    QTest::addColumn<quint16>("mask");
    const int keep = int(TRelayErrorAction::KeepStatus);
    const int open = int(TRelayErrorAction::Open);
    const int close = int(TRelayErrorAction::Close);
    QTest::newRow("pressure unit 5") << int(PressureUnit) << 5 << quint16(0x001C);
    QTest::newRow("CO2 range 5000 ppm") << int(CO2Range) << 5000 << quint16(0x0018);
    QTest::newRow("CO2 range 10000 ppm") << int(CO2Range) << 10000 << quint16(0x0018);
    QTest::newRow("relay 1 code 9") << int(RelayQuantity1) << 9 << quint16(0x0F00);
    QTest::newRow("relay 2 code 6") << int(RelayQuantity2) << 6 << quint16(0xF000);
    QTest::newRow("relay 1 keeps status") << int(RelayError1) << keep << quint16(0x0002);
    QTest::newRow("relay 1 opens") << int(RelayError1) << open << quint16(0x0042);
    QTest::newRow("relay 1 closes") << int(RelayError1) << close << quint16(0x0042);
    QTest::newRow("relay 2 keeps status") << int(RelayError2) << keep << quint16(0x0020);
    QTest::newRow("relay 2 opens") << int(RelayError2) << open << quint16(0x00A0);
    QTest::newRow("relay 2 closes") << int(RelayError2) << close << quint16(0x00A0);
    QTest::newRow("relay 2 greater") << int(RelayGreater2) << 1 << quint16(0x8000);
    QTest::newRow("input 3 LED closed") << int(InputLedClosed3) << 1 << quint16(0x0008);
    QTest::newRow("relay 2 acoustic") << int(RelayAcoustic2) << 1 << quint16(0x1000);
    QTest::newRow("temperature on display") << int(TemperatureOnDisplay) << 1 << quint16(0x0100);
}

void TestRegisterMap::settersTouchOnlyTheirBits()
{
    QFETCH(int, setter);
    QFETCH(int, argument);
    QFETCH(quint16, mask);
    for (quint16 before : {quint16(0x0000), quint16(0xFFFF), quint16(0x5A5A)}) {
        quint16 word = before;
        QCOMPARE(ApplySetter(TSetter(setter), argument, word), argument);
        QCOMPARE(quint16((word ^ before) & ~mask), quint16(0));
    }
}

void TestRegisterMap::unitFieldsRoundTripOnEveryWord()
{
    // Writing back what was read must leave any word as it was, or an
    // unchanged page would make Save write the block.
    for (int value = 0; value <= 0xFFFF; ++value) {
        const auto word = static_cast<quint16>(value);
        TUnitWord unitWord(word);
        unitWord.SetPressureUnitCode(unitWord.PressureUnitCode());
        for (int relay : {1, 2}) {
            unitWord.SetRelayQuantityCode(relay, unitWord.RelayQuantityCode(relay));
            unitWord.SetRelayErrorAction(relay, unitWord.RelayErrorAction(relay));
        }
        if (unitWord.CO2RangeCode() != 3)
            unitWord.SetCO2RangePpm(unitWord.CO2RangePpm());
        if (unitWord.Word() != word)
            QFAIL(qPrintable(QString::asprintf("0x%4.4X became 0x%4.4X", word, unitWord.Word())));
    }
}

void TestRegisterMap::numberedAccessorsRejectOutOfRange()
{
    TUnitWord unitWord;
    QVERIFY_THROWS_EXCEPTION(ERangeError, unitWord.RelayQuantityCode(3));
    QVERIFY_THROWS_EXCEPTION(ERangeError, unitWord.SetRelayQuantityCode(1, 16));
    QVERIFY_THROWS_EXCEPTION(ERangeError, unitWord.SetPressureUnitCode(8));
    QVERIFY_THROWS_EXCEPTION(ERangeError, unitWord.RelayErrorAction(0));
    QVERIFY_THROWS_EXCEPTION(ERangeError, InputLedClosedBit(4));
    QVERIFY_THROWS_EXCEPTION(ERangeError, RelayClosedBit(0));
    QVERIFY_THROWS_EXCEPTION(ERangeError, OutputChannel(3));
    QVERIFY_THROWS_EXCEPTION(ERangeError, RelayRegisters(3));
    QCOMPARE(unitWord.Word(), quint16(0));
    QCOMPARE(RelayRegisters(2).delayHalfS, Reg::Relay2DelayHalfS);
    QCOMPARE(RelayClosedBit(2), TStatusBit::Relay2Closed);
}

void TestRegisterMap::pressureFilterKeepsHighByte()
{
    QCOMPARE(WithPressureFilterCoefficient(0xAB00, 0.35), quint16(0xAB23));
    QCOMPARE(WithPressureFilterCoefficient(0xABFF, 1.0), quint16(0xAB64));
    QCOMPARE(PressureFilterCoefficient(0xAB23), 0.35);
}

PELINOR_TEST_MAIN(TestRegisterMap)
#include "test_uRegisterMap.moc"
