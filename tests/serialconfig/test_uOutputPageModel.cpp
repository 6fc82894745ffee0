#include "serialconfig/uOutputPageModel.h"

#include "TransmitterFixture.h"
#include "support/ScriptedMessages.h"
#include "support/TestEnvironment.h"

#include <QTest>

namespace {

constexpr quint16 UnitWordAddress = 0x203F;
constexpr quint16 FahrenheitBit = 0x0001;
constexpr int NoAnswer = -1;

QStringList ItemTexts(const TComboBoxView &combo)
{
    QStringList texts;
    for (const TComboItem &item : combo.Items)
        texts.append(item.Text);
    return texts;
}

const TNumEditView &Edit(TTransmitter &device, const char *name)
{
    return device.Output().Controls().NumEdit(QLatin1String(name));
}

// The user picks the item with this text from a channel's quantity combo.
void SelectQuantity(TTransmitter &device, int channel, const QString &text)
{
    const TComboBoxView &combo = device.Output().Controls().Combo(QStringLiteral("cbMeasQuan%1").arg(channel));
    const int index = combo.IndexOfText(text);
    QVERIFY2(index >= 0, qPrintable(text));
    device.Output().cbMeasQuanSelect(channel, index);
}

// The user types a value into a limit edit and leaves it for another control.
TPageResponse TypeLimit(TTransmitter &device, const QString &name, double value,
                        TFocusTarget focus = TFocusTarget::Other)
{
    TOutputPageModel &output = device.Output();
    output.pbssOutputEnter(name);
    output.pbssOutputChange(name, value);
    return output.pbssOutputExit(name, focus);
}

void SelectUnit(TTransmitter &device, const char *comboName, int index)
{
    device.Config().cbUnitSelect(QLatin1String(comboName), index);
}

} // namespace

class TestOutputPageModel : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void channelLayout_data();
    void channelLayout();
    void quantityItems_data();
    void quantityItems();
    void storedChannelQuantity_data();
    void storedChannelQuantity();
    void limitRanges_data();
    void limitRanges();
    void storedLimitUnits_data();
    void storedLimitUnits();
    void unitSwitchRoundTrip();
    void tooSmallQuestion_data();
    void tooSmallQuestion();
    void twinFollowsTheEdit();
    void leavingUnchangedKeepsTheExactValue();
    void focusAfterLeaving_data();
    void focusAfterLeaving();
};

void TestOutputPageModel::channelLayout_data()
{
    QTest::addColumn<QString>("type");
    QTest::addColumn<bool>("tabShown");
    QTest::addColumn<bool>("channel1Shown");
    QTest::addColumn<bool>("channel2Shown");
    QTest::addColumn<bool>("warningShown");
    QTest::addColumn<bool>("fixedUpperEnd");  // lOut instead of pbssOut
    QTest::addColumn<QString>("outputUnit");
    QTest::newRow("Q0001 current output") << "Q0001" << true << true << false << false << true << "mA";
    QTest::newRow("Q0003 two current outputs") << "Q0003" << true << true << true << true << true << "mA";
    QTest::newRow("Q0007 voltage outputs") << "Q0007" << true << true << true << false << false << "V";
    QTest::newRow("Q0073 CO2 current outputs") << "Q0073" << true << true << true << true << true << "mA";
    QTest::newRow("Q00089 fixed configuration") << "Q00089" << true << true << false << false << true << "mA";
    QTest::newRow("Q0029 RS232") << "Q0029" << false << false << false << false << true << "mA";
    QTest::newRow("Q0113 keypad service cable") << "Q0113" << false << false << false << false << true << "mA";
}

void TestOutputPageModel::channelLayout()
{
    QFETCH(QString, type);
    QFETCH(bool, tabShown);
    QFETCH(bool, channel1Shown);
    QFETCH(bool, channel2Shown);
    QFETCH(bool, warningShown);
    QFETCH(bool, fixedUpperEnd);
    QFETCH(QString, outputUnit);
    TTransmitter device(qPrintable(type), 240);
    device.Connect();
    const TControlRegistry &c = device.Output().Controls();

    QCOMPARE(c.Control(QStringLiteral("tabOutput")).Visible, tabShown);
    QCOMPARE(c.Control(QStringLiteral("gbChannel1")).Visible, channel1Shown);
    QCOMPARE(c.Control(QStringLiteral("gbChannel2")).Visible, channel2Shown);
    QCOMPARE(device.Output().ChannelShown(2), tabShown && channel2Shown);
    QCOMPARE(c.Label(QStringLiteral("lBeware")).Visible, warningShown);
    if (!tabShown)
        return;
    QVERIFY(c.Combo(QStringLiteral("cbMeasQuan1")).Visible);
    QCOMPARE(c.Label(QStringLiteral("lOutMin1")).Caption, QString::number(device.type.GetOutputMin()));
    QCOMPARE(c.Label(QStringLiteral("lOut1")).Visible, fixedUpperEnd);
    QCOMPARE(c.Label(QStringLiteral("lOut1")).Caption, QString::number(device.type.GetOutputMax()));
    QCOMPARE(c.Label(QStringLiteral("lOutUnitLo1")).Caption, outputUnit);
    QCOMPARE(c.Label(QStringLiteral("lOutUnitHi1")).Caption, outputUnit);
    const TNumEditView &upperV = c.NumEdit(QStringLiteral("pbssOut1"));
    QCOMPARE(upperV.Visible, !fixedUpperEnd);
    QCOMPARE(upperV.Range.Min, 1.0);
    QCOMPARE(upperV.Range.Max, double(device.type.GetOutputMax()));
    QCOMPARE(upperV.Decimals, 1);
    QCOMPARE(upperV.Increment, 0.1);
    if (!fixedUpperEnd)
        QCOMPARE(upperV.Value, 10.0);  // float 0x200B as read
}

void TestOutputPageModel::quantityItems_data()
{
    QTest::addColumn<QString>("type");
    QTest::addColumn<int>("firmware");
    QTest::addColumn<bool>("setupAllowed");
    QTest::addColumn<QStringList>("items");
    QTest::addColumn<QString>("channel2");
    const QString t = QStringLiteral("Temperature");
    const QString rh = QStringLiteral("Relative humidity");
    const QString dp = QStringLiteral("Dew point");
    QTest::newRow("Q0001") << "Q0001" << 240 << true << QStringList{t} << t;
    QTest::newRow("Q0003") << "Q0003" << 240 << true << QStringList{t, rh, dp} << rh;
    QTest::newRow("Q0003 at 209") << "Q0003" << 209 << true << QStringList{t, rh, dp} << rh;
    // Without setup the computed quantity is not offered.
    QTest::newRow("Q0003 without setup") << "Q0003" << 240 << false << QStringList{t, rh} << rh;
    QTest::newRow("Q0073") << "Q0073" << 240 << true << QStringList{t, "CO2 concentration"}
                           << "CO2 concentration";
    QTest::newRow("Q0015 pressure") << "Q0015" << 240 << true << QStringList{t, "Atmospheric pressure"}
                                    << "Atmospheric pressure";
    QTest::newRow("Q00089 fixed configuration") << "Q00089" << 240 << true << QStringList{t, rh} << rh;
}

void TestOutputPageModel::quantityItems()
{
    QFETCH(QString, type);
    QFETCH(int, firmware);
    QFETCH(bool, setupAllowed);
    QFETCH(QStringList, items);
    QFETCH(QString, channel2);
    TTransmitter device(qPrintable(type), firmware);
    device.setupAllowed = setupAllowed;
    device.Connect();
    const TControlRegistry &c = device.Output().Controls();

    for (int n = 1; n <= 2; ++n)
        QCOMPARE(ItemTexts(c.Combo(QStringLiteral("cbMeasQuan%1").arg(n))), items);
    QCOMPARE(c.Combo(QStringLiteral("cbMeasQuan1")).SelectedText(), QStringLiteral("Temperature"));
    QCOMPARE(c.Combo(QStringLiteral("cbMeasQuan2")).SelectedText(), channel2);
}

void TestOutputPageModel::storedChannelQuantity_data()
{
    QTest::addColumn<QString>("type");
    QTest::addColumn<bool>("setupAllowed");
    QTest::addColumn<quint16>("channelWord");
    QTest::addColumn<QString>("selected");
    QTest::addColumn<int>("quantity");
    QTest::addColumn<QString>("shownPair");
    QTest::newRow("15 on a CO2 device") << "Q0073" << true << quint16(15) << "CO2 concentration" << 9 << "CO2";
    QTest::newRow("15 on a pressure device") << "Q0015" << true << quint16(15) << "Atmospheric pressure" << 8
                                             << "AtmPre";
    QTest::newRow("13 offered") << "Q0003" << true << quint16(13) << "Dew point" << 10 << "CompQuan";
    QTest::newRow("13 without humidity") << "Q0001" << true << quint16(13) << "" << 0 << "CompQuan";
    QTest::newRow("13 without setup") << "Q0003" << false << quint16(13) << "" << 0 << "CompQuan";
    QTest::newRow("11") << "Q0003" << true << quint16(11) << "Relative humidity" << 7 << "RelHum";
    QTest::newRow("11 without humidity") << "Q0001" << true << quint16(11) << "" << 0 << "CompQuan";
    QTest::newRow("9") << "Q0003" << true << quint16(9) << "Temperature" << 6 << "Temper";
    QTest::newRow("unknown code") << "Q0003" << true << quint16(7) << "" << 0 << "CompQuan";
}

void TestOutputPageModel::storedChannelQuantity()
{
    QFETCH(QString, type);
    QFETCH(bool, setupAllowed);
    QFETCH(quint16, channelWord);
    QFETCH(QString, selected);
    QFETCH(int, quantity);
    QFETCH(QString, shownPair);
    TTransmitter device(qPrintable(type), 240);
    device.setupAllowed = setupAllowed;
    device.images.Word(0x1039, channelWord);
    device.Connect();
    const TControlRegistry &c = device.Output().Controls();

    QCOMPARE(c.Combo(QStringLiteral("cbMeasQuan1")).SelectedText(), selected);
    QCOMPARE(int(device.Output().SelectedChannelQuantity(1)), quantity);
    // Only the pair of the channel's quantity shows, on this channel only.
    for (const char *pair : {"Temper", "RelHum", "AtmPre", "CO2", "CompQuan"}) {
        const bool shown = shownPair == QLatin1String(pair);
        QCOMPARE(c.NumEdit(QStringLiteral("pbne%1Lo1").arg(QLatin1String(pair))).Visible, shown);
        QCOMPARE(c.NumEdit(QStringLiteral("pbne%1Hi1").arg(QLatin1String(pair))).Visible, shown);
    }
}

void TestOutputPageModel::limitRanges_data()
{
    QTest::addColumn<QString>("type");
    QTest::addColumn<QString>("unitCombo");
    QTest::addColumn<int>("unitIndex");
    QTest::addColumn<int>("computedIndex");  // of cbCCompQuan, -1 to keep
    QTest::addColumn<QString>("quantity");
    QTest::addColumn<QString>("pair");
    QTest::addColumn<double>("min");
    QTest::addColumn<double>("max");
    QTest::addColumn<int>("decimals");
    QTest::addColumn<QString>("unit");
    QTest::newRow("temperature °C") << "Q0003" << "" << 0 << -1 << "Temperature" << "Temper" << -200.0 << 600.0
                                    << 1 << "°C";
    QTest::newRow("temperature °F") << "Q0003" << "cbCTempUnit" << 1 << -1 << "Temperature" << "Temper"
                                    << -328.0 << 1112.0 << 1 << "°F";
    QTest::newRow("humidity") << "Q0003" << "" << 0 << -1 << "Relative humidity" << "RelHum" << 0.0 << 100.0
                              << 1 << "%";
    QTest::newRow("dew point °C") << "Q0003" << "" << 0 << -1 << "Dew point" << "CompQuan" << -200.0 << 200.0
                                  << 1 << "°C";
    QTest::newRow("dew point °F") << "Q0003" << "cbCTempUnit" << 1 << -1 << "Dew point" << "CompQuan"
                                  << -328.0 << 392.0 << 1 << "°F";
    QTest::newRow("absolute humidity") << "Q0003" << "" << 0 << 1 << "Absolute humidity" << "CompQuan" << 0.0
                                       << 400.0 << 1 << "g/m³";
    QTest::newRow("specific enthalpy") << "Q0003" << "" << 0 << 4 << "Specific enthalpy" << "CompQuan" << 0.0
                                       << 995.0 << 1 << "kJ/kg";
    QTest::newRow("CO2") << "Q0073" << "" << 0 << -1 << "CO2 concentration" << "CO2" << 0.0 << 10000.0 << 0
                         << "ppm";
    QTest::newRow("pressure hPa") << "Q0015" << "" << 0 << -1 << "Atmospheric pressure" << "AtmPre" << 600.0
                                  << 1998.0 << 1 << "hPa";
    QTest::newRow("pressure PSI") << "Q0015" << "cbCPressUnit" << 1 << -1 << "Atmospheric pressure" << "AtmPre"
                                  << 8.702262 << 28.97853246 << 3 << "PSI";
    QTest::newRow("pressure kPa") << "Q0015" << "cbCPressUnit" << 7 << -1 << "Atmospheric pressure" << "AtmPre"
                                  << 60.0 << 199.8 << 2 << "kPa";
}

void TestOutputPageModel::limitRanges()
{
    QFETCH(QString, type);
    QFETCH(QString, unitCombo);
    QFETCH(int, unitIndex);
    QFETCH(int, computedIndex);
    QFETCH(QString, quantity);
    QFETCH(QString, pair);
    QFETCH(double, min);
    QFETCH(double, max);
    QFETCH(int, decimals);
    QFETCH(QString, unit);
    TTransmitter device(qPrintable(type), 240);
    device.Connect();
    if (!unitCombo.isEmpty())
        device.Config().cbUnitSelect(unitCombo, unitIndex);
    if (computedIndex >= 0)
        device.Config().cbCCompQuanSelect(computedIndex);
    SelectQuantity(device, 2, quantity);

    const TControlRegistry &c = device.Output().Controls();
    for (const char *end : {"Lo", "Hi"}) {
        const TNumEditView &edit = c.NumEdit(QStringLiteral("pbne%1%2%3").arg(pair, QLatin1String(end)).arg(2));
        QVERIFY(edit.Visible);
        QCOMPARE(edit.Range.Min, min);
        QCOMPARE(edit.Range.Max, max);
        QCOMPARE(edit.Decimals, decimals);
    }
    QCOMPARE(c.Label(QStringLiteral("lQuanUnitLo2")).Caption, unit);
    QCOMPARE(c.Label(QStringLiteral("lQuanUnitHi2")).Caption, unit);
}

void TestOutputPageModel::storedLimitUnits_data()
{
    QTest::addColumn<QString>("type");
    QTest::addColumn<int>("firmware");
    QTest::addColumn<quint16>("unitWord");
    QTest::addColumn<quint16>("lowerEnd");
    QTest::addColumn<double>("storedLo");
    QTest::addColumn<double>("storedHi");
    QTest::addColumn<QString>("pair");
    QTest::addColumn<double>("shownLo");
    QTest::addColumn<double>("shownHi");
    // Older analog firmware keeps °F limits in °F, newer in °C.
    QTest::newRow("°F at 237") << "Q0001" << 237 << quint16(0x0001) << quint16(0x1001) << 32.0 << 122.0
                               << "Temper" << 32.0 << 122.0;
    QTest::newRow("°F at 238") << "Q0001" << 238 << quint16(0x0001) << quint16(0x1001) << 0.0 << 50.0
                               << "Temper" << 32.0 << 122.0;
    QTest::newRow("°C at 237") << "Q0001" << 237 << quint16(0x0000) << quint16(0x1001) << 0.0 << 50.0
                               << "Temper" << 0.0 << 50.0;
    QTest::newRow("keypad °F at 237") << "Q0113" << 237 << quint16(0x0001) << quint16(0x1001) << 0.0 << 50.0
                                      << "Temper" << 32.0 << 122.0;
    // It converts between hPa, mBar and kPa but keeps the others as shown.
    QTest::newRow("PSI at 237") << "Q0015" << 237 << quint16(0x0004) << quint16(0x202F) << 14.5 << 16.0
                                << "AtmPre" << 14.5 << 16.0;
    QTest::newRow("kPa at 237") << "Q0015" << 237 << quint16(0x001C) << quint16(0x202F) << 800.0 << 1100.0
                                << "AtmPre" << 80.0 << 110.0;
    QTest::newRow("PSI at 240") << "Q0015" << 240 << quint16(0x0004) << quint16(0x202F) << 1000.0 << 1100.0
                                << "AtmPre" << 14.50377 << 15.954147;
    QTest::newRow("dew point °F at 240") << "Q0003" << 240 << quint16(0x0001) << quint16(0x1011) << -20.0 << 50.0
                                         << "CompQuan" << -4.0 << 122.0;
}

void TestOutputPageModel::storedLimitUnits()
{
    QFETCH(QString, type);
    QFETCH(int, firmware);
    QFETCH(quint16, unitWord);
    QFETCH(quint16, lowerEnd);
    QFETCH(double, storedLo);
    QFETCH(double, storedHi);
    QFETCH(QString, pair);
    QFETCH(double, shownLo);
    QFETCH(double, shownHi);
    TTransmitter device(qPrintable(type), firmware);
    device.images.Word(UnitWordAddress, unitWord).OutputRange(lowerEnd, storedLo, storedHi);
    device.Connect();

    const TControlRegistry &c = device.Output().Controls();
    for (int n = 1; n <= 2; ++n) {
        QCOMPARE(float(c.NumEdit(QStringLiteral("pbne%1Lo%2").arg(pair).arg(n)).Value), float(shownLo));
        QCOMPARE(float(c.NumEdit(QStringLiteral("pbne%1Hi%2").arg(pair).arg(n)).Value), float(shownHi));
    }
}

void TestOutputPageModel::unitSwitchRoundTrip()
{
    TTransmitter device("Q0003", 240);
    device.Connect();
    SelectQuantity(device, 2, QStringLiteral("Dew point"));

    SelectUnit(device, "cbCTempUnit", 1);
    for (const char *lo : {"pbneTemperLo1", "pbneTemperLo2"})
        QCOMPARE(Edit(device, lo).Value, 32.0);
    for (const char *hi : {"pbneTemperHi1", "pbneTemperHi2"})
        QCOMPARE(Edit(device, hi).Value, 122.0);
    QCOMPARE(Edit(device, "pbneCompQuanLo2").Value, -4.0);
    QCOMPARE(device.Output().Controls().Label(QStringLiteral("lQuanUnitLo1")).Caption, QStringLiteral("°F"));

    // Back to °C the exact values return, not values rounded to one decimal
    // on the way.
    SelectUnit(device, "cbCTempUnit", 0);
    for (const char *lo : {"pbneTemperLo1", "pbneTemperLo2"})
        QVERIFY(Edit(device, lo).Value == 0.0);
    for (const char *hi : {"pbneTemperHi1", "pbneTemperHi2", "pbneCompQuanHi1", "pbneCompQuanHi2"})
        QVERIFY(Edit(device, hi).Value == 50.0);
    QVERIFY(Edit(device, "pbneCompQuanLo1").Value == -20.0);
}

void TestOutputPageModel::tooSmallQuestion_data()
{
    QTest::addColumn<double>("upper");
    QTest::addColumn<double>("typed");
    QTest::addColumn<int>("answer");
    QTest::addColumn<bool>("asked");
    QTest::addColumn<double>("kept");
    QTest::newRow("25 answered No") << 50.0 << 25.0 << int(mrNo) << true << 0.0;
    QTest::newRow("25 answered Yes") << 50.0 << 25.0 << int(mrYes) << true << 25.0;
    QTest::newRow("-30 far enough") << 50.0 << -30.0 << NoAnswer << false << -30.0;
    QTest::newRow("20 just far enough") << 50.0 << 20.0 << NoAnswer << false << 20.0;
    QTest::newRow("out of range") << 50.0 << 700.0 << NoAnswer << false << 0.0;
    // Out of range and too close: the range decides, so Yes cannot keep it.
    QTest::newRow("out of range near the partner") << 590.0 << 610.0 << int(mrYes) << false << 0.0;
    QTest::newRow("unchanged value") << 20.0 << 0.0 << NoAnswer << false << 0.0;
}

void TestOutputPageModel::tooSmallQuestion()
{
    QFETCH(double, upper);
    QFETCH(double, typed);
    QFETCH(int, answer);
    QFETCH(bool, asked);
    QFETCH(double, kept);
    TScriptedMessages messages;
    if (answer != NoAnswer)
        messages.Answer(answer);
    TTransmitter device("Q0003", 240);
    device.images.OutputRange(0x1001, 0, upper);
    device.Connect();

    TypeLimit(device, QStringLiteral("pbneTemperLo1"), typed);

    const QString question = QStringLiteral("The difference between the output values is too small! Accept the given value?");
    QCOMPARE(messages.Texts(), asked ? QStringList{question} : QStringList{});
    if (asked) {
        QCOMPARE(messages.shown.first().type, TMsgDlgType::mtWarning);
        QCOMPARE(messages.shown.first().buttons, TMsgDlgButtons(mbYes | mbNo));
        QCOMPARE(messages.shown.first().defaultResult, int(mrYes));
    }
    // Both channels keep the value, and their ranges are back.
    for (const char *name : {"pbneTemperLo1", "pbneTemperLo2"}) {
        QCOMPARE(Edit(device, name).Value, kept);
        QCOMPARE(Edit(device, name).Range.Max, 600.0);
        QCOMPARE(Edit(device, name).Tag, 0);
    }
}

void TestOutputPageModel::twinFollowsTheEdit()
{
    TTransmitter device("Q0003", 240);
    device.Connect();
    TOutputPageModel &output = device.Output();
    const QString name = QStringLiteral("pbneTemperLo1");

    output.pbssOutputEnter(name);
    QCOMPARE(output.pbssOutputChange(name, -1.0).SaveEnabled, std::optional<bool>(true));
    QCOMPARE(output.pbssOutputChange(name, -12.3).SaveEnabled, std::optional<bool>());
    // While typing, the edit and its twin take anything.
    QCOMPARE(Edit(device, "pbneTemperLo2").Value, -12.3);
    QVERIFY(Edit(device, "pbneTemperLo2").Range.Min < -200.0);
    QVERIFY(Edit(device, "pbneTemperLo1").Range.Max > 600.0);
    output.pbssOutputExit(name, TFocusTarget::Other);

    // Channel 2 converts its own exact value.
    SelectUnit(device, "cbCTempUnit", 1);
    QCOMPARE(Edit(device, "pbneTemperLo1").Value, -12.3 * 1.8 + 32);
    QCOMPARE(Edit(device, "pbneTemperLo2").Value, -12.3 * 1.8 + 32);

    // A value typed on channel 2 that goes back takes channel 1 back with it.
    const QString twin = QStringLiteral("pbneTemperHi2");
    output.pbssOutputEnter(twin);
    output.pbssOutputChange(twin, 5000.0);
    QCOMPARE(Edit(device, "pbneTemperHi1").Value, 5000.0);
    output.pbssOutputExit(twin, TFocusTarget::Other);
    QCOMPARE(Edit(device, "pbneTemperHi1").Value, 122.0);
    QCOMPARE(Edit(device, "pbneTemperHi2").Value, 122.0);
}

void TestOutputPageModel::leavingUnchangedKeepsTheExactValue()
{
    TTransmitter device("Q0003", 240);
    device.images.Word(UnitWordAddress, FahrenheitBit).OutputRange(0x1001, 21.3, 50);
    device.Connect();
    const QString name = QStringLiteral("pbneTemperLo1");
    QCOMPARE(Edit(device, "pbneTemperLo1").ShownValue(), 70.3);

    device.Output().pbssOutputEnter(name);
    QCOMPARE(device.Output().pbssOutputExit(name, TFocusTarget::Other).SaveEnabled, std::optional<bool>());

    // Still 70.34 °F behind the 70.3 shown.
    QCOMPARE(float(Edit(device, "pbneTemperLo1").Value), 70.34f);
    QCOMPARE(float(Edit(device, "pbneTemperLo2").Value), 70.34f);
}

void TestOutputPageModel::focusAfterLeaving_data()
{
    QTest::addColumn<int>("focus");
    QTest::addColumn<double>("typed");
    QTest::addColumn<bool>("asked");
    QTest::addColumn<int>("request");
    QTest::addColumn<bool>("startSave");
    QTest::addColumn<double>("kept");
    QTest::newRow("to the hidden button") << int(TFocusTarget::ForFocus) << -30.0 << false
                                          << int(TFocusRequest::Connect) << false << -30.0;
    // The question swallowed the click on Save, so Save must start anyway.
    QTest::newRow("to Save after the question") << int(TFocusTarget::Save) << 25.0 << true
                                                << int(TFocusRequest::ForFocus) << true << 25.0;
    QTest::newRow("to Save without question") << int(TFocusTarget::Save) << -30.0 << false
                                              << int(TFocusRequest::None) << false << -30.0;
    QTest::newRow("to Disconnect") << int(TFocusTarget::Connect) << 25.0 << false << int(TFocusRequest::None)
                                   << false << 25.0;
    QTest::newRow("to Factory Defaults") << int(TFocusTarget::FactDefs) << 25.0 << false
                                         << int(TFocusRequest::None) << false << 25.0;
}

void TestOutputPageModel::focusAfterLeaving()
{
    QFETCH(int, focus);
    QFETCH(double, typed);
    QFETCH(bool, asked);
    QFETCH(int, request);
    QFETCH(bool, startSave);
    QFETCH(double, kept);
    TScriptedMessages messages;
    TTransmitter device("Q0003", 240);
    device.Connect();

    const TPageResponse response =
        TypeLimit(device, QStringLiteral("pbneTemperLo1"), typed, TFocusTarget(focus));

    QCOMPARE(messages.shown.size(), asked ? 1 : 0);
    QCOMPARE(int(response.Focus), request);
    QCOMPARE(response.StartSave, startSave);
    QCOMPARE(Edit(device, "pbneTemperLo2").Value, kept);
}

PELINOR_TEST_MAIN(TestOutputPageModel)
#include "test_uOutputPageModel.moc"
