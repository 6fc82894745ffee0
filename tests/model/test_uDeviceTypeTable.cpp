#include "model/uDeviceTypeTable.h"

#include "support/TestEnvironment.h"

#include <QSet>
#include <QTest>

#include <algorithm>

namespace {

QSet<int> Rows(std::initializer_list<std::pair<int, int>> ranges)
{
    QSet<int> rows;
    for (const auto &[first, last] : ranges) {
        for (int r = first; r <= last; ++r)
            rows.insert(r);
    }
    return rows;
}

bool IsAnalog(const TDeviceType &t)
{
    return t.Interface == DeviceInterface::CurrentOutput || t.Interface == DeviceInterface::VoltageOutput;
}

quint8 ExpectedFamily(int row)
{
    if (row == 0)
        return DeviceFamily::None;
    if (row <= 102 || (row >= 113 && row <= 167))
        return DeviceFamily::Transmitter;
    if (row <= 112 || row == 168)
        return DeviceFamily::EthernetSensor;
    if (row <= 179)
        return DeviceFamily::WebGroupA;
    return row <= 192 ? DeviceFamily::WebGroupB : DeviceFamily::WebGroupC;
}

// The identification words the transmitters report; the virtual sensor
// reports the same.
quint16 ExpectedDeviceId(int row)
{
    if (row == 0)
        return 0x0000;
    if (row <= 88)
        return quint16(0x1000 + row);
    if (row <= 102)
        return quint16(0x1001 + row);
    if (row == 166 || row == 167)
        return quint16(0x1068 + row - 166);
    if (row >= 113 && row <= 116)
        return quint16(0x1200 + row - 113);
    if (row == 117)
        return 0x1230;
    if (row >= 118 && row <= 137)
        return quint16(0x1231 + row - 118);
    if (row >= 138 && row <= 165)
        return quint16(0x1204 + row - 138);
    return NoDeviceId;
}

// A complete row: rows written out here are checked column by column.
struct TExpectedRow {
    int Row;
    TDeviceType Type;
};

void CompareRow(const TDeviceType &actual, const TDeviceType &expected)
{
    QCOMPARE(actual.TypeCode, expected.TypeCode);
    QCOMPARE(actual.Family, expected.Family);
    QCOMPARE(actual.HasDisplay, expected.HasDisplay);
    QCOMPARE(actual.JumperPicture, expected.JumperPicture);
    QCOMPARE(actual.ChannelCount, expected.ChannelCount);
    QCOMPARE(actual.Interface, expected.Interface);
    QCOMPARE(actual.Quantities, expected.Quantities);
    QCOMPARE(actual.KeypadModel, expected.KeypadModel);
    QCOMPARE(actual.BinaryInputs, expected.BinaryInputs);
    QCOMPARE(actual.NoExtCalib, expected.NoExtCalib);
    QCOMPARE(actual.FixedConfig, expected.FixedConfig);
    QCOMPARE(actual.AnalogOutput, expected.AnalogOutput);
    QCOMPARE(actual.SecondOutput, expected.SecondOutput);
    QCOMPARE(actual.OutputMin, expected.OutputMin);
    QCOMPARE(actual.OutputMax, expected.OutputMax);
    QCOMPARE(QLatin1String(actual.Name), QLatin1String(expected.Name));
    QCOMPARE(actual.DeviceId, expected.DeviceId);
    QCOMPARE(actual.ServiceCable, expected.ServiceCable);
}

} // namespace

Q_DECLARE_METATYPE(TDeviceType)

class TestDeviceTypeTable : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void typeCodeIsRowAndFamiliesByGroup();
    void keypadRows();
    void deviceIds();
    void flagColumns_data();
    void flagColumns();
    void serviceCableRows();
    void analogOutputs();
    void quantitiesAndChannels();
    void names();
    void ethernetModelNamesSelectRows_data();
    void ethernetModelNamesSelectRows();
    void fullRows_data();
    void fullRows();
};

void TestDeviceTypeTable::typeCodeIsRowAndFamiliesByGroup()
{
    for (int row = 0; row < DeviceTypeCount; ++row) {
        const TDeviceType &t = DeviceTypeTable[row];
        QCOMPARE(int(t.TypeCode), row);
        QCOMPARE(t.Family, ExpectedFamily(row));
        if (row == 0)
            QCOMPARE(t.Interface, DeviceInterface::None);
        else
            QVERIFY2(t.Interface >= DeviceInterface::CurrentOutput && t.Interface <= DeviceInterface::Ethernet,
                     t.Name);
        if (t.Family >= DeviceFamily::EthernetSensor)
            QCOMPARE(t.Interface, DeviceInterface::Ethernet);
    }
}

void TestDeviceTypeTable::keypadRows()
{
    for (int row = 0; row < DeviceTypeCount; ++row)
        QCOMPARE(DeviceTypeTable[row].KeypadModel, quint8(row >= 113 && row <= 165));
}

void TestDeviceTypeTable::deviceIds()
{
    QSet<quint16> seen;
    for (int row = 0; row < DeviceTypeCount; ++row) {
        const TDeviceType &t = DeviceTypeTable[row];
        QCOMPARE(t.DeviceId, ExpectedDeviceId(row));
        if (t.Family != DeviceFamily::Transmitter)
            continue;
        QVERIFY2(!seen.contains(t.DeviceId), t.Name);
        seen.insert(t.DeviceId);
        const bool keypadRange = t.DeviceId >= 0x1200 && t.DeviceId <= 0x1244;
        const bool firstRange = t.DeviceId >= 0x1001 && t.DeviceId <= 0x1069;
        QVERIFY2(t.KeypadModel ? keypadRange : firstRange, t.Name);
    }
}

// The 0/1 columns that the device documentation lists by rows.
constexpr quint8 TDeviceType::*FlagColumns[] = {
    &TDeviceType::JumperPicture, &TDeviceType::BinaryInputs, &TDeviceType::NoExtCalib,
    &TDeviceType::FixedConfig, &TDeviceType::HasDisplay,
};

void TestDeviceTypeTable::flagColumns_data()
{
    QTest::addColumn<int>("column");
    QTest::addColumn<QSet<int>>("listedRows");
    QTest::addColumn<int>("listedValue");
    QTest::newRow("JumperPicture") << 0 << Rows({{34, 45}, {73, 76}}) << 1;
    QTest::newRow("BinaryInputs") << 1 << Rows({{109, 110}, {117, 130}, {152, 157}, {159, 165}, {168, 168}}) << 1;
    QTest::newRow("NoExtCalib") << 2 << Rows({{89, 89}, {102, 102}}) << 1;
    QTest::newRow("FixedConfig") << 3 << Rows({{89, 89}}) << 1;
    QTest::newRow("HasDisplay") << 4 << Rows({{0, 0}, {51, 53}, {88, 89}, {99, 112}, {168, 196}}) << 0;
}

void TestDeviceTypeTable::flagColumns()
{
    QFETCH(int, column);
    QFETCH(QSet<int>, listedRows);
    QFETCH(int, listedValue);
    for (int row = 0; row < DeviceTypeCount; ++row) {
        const int expected = listedRows.contains(row) ? listedValue : 1 - listedValue;
        QVERIFY2(DeviceTypeTable[row].*FlagColumns[column] == expected, DeviceTypeTable[row].Name);
    }
}

void TestDeviceTypeTable::serviceCableRows()
{
    const QSet<int> serialServiceCable = Rows({{88, 88}, {113, 116}, {142, 144}, {148, 148}, {158, 158}});
    QCOMPARE(serialServiceCable.size(), 10);
    for (int row = 0; row < DeviceTypeCount; ++row) {
        const TDeviceType &t = DeviceTypeTable[row];
        QVERIFY2(t.ServiceCable == quint8(IsAnalog(t) || serialServiceCable.contains(row)), t.Name);
        if (serialServiceCable.contains(row))
            QCOMPARE(t.Interface, DeviceInterface::RS232);
    }
}

void TestDeviceTypeTable::analogOutputs()
{
    for (const TDeviceType &t : DeviceTypeTable) {
        QVERIFY2(t.AnalogOutput == quint8(IsAnalog(t)), t.Name);
        QVERIFY2(!t.SecondOutput || t.AnalogOutput, t.Name);
        const int min = t.Interface == DeviceInterface::CurrentOutput ? 4 : 0;
        const int max = t.Interface == DeviceInterface::CurrentOutput   ? 20
                        : t.Interface == DeviceInterface::VoltageOutput ? 10
                                                                        : 0;
        QCOMPARE(t.OutputMin, min);
        QCOMPARE(t.OutputMax, max);
    }
}

void TestDeviceTypeTable::quantitiesAndChannels()
{
    const quint16 pressureOrCO2 = QuantityBit::Pressure | QuantityBit::CO2;
    for (const TDeviceType &t : DeviceTypeTable) {
        QVERIFY2((t.Quantities & pressureOrCO2) != pressureOrCO2, t.Name);
        switch (t.Family) {
        case DeviceFamily::Transmitter:
        case DeviceFamily::EthernetSensor:
            // Every device measures temperature unless it is a pressure or
            // CO2 transmitter.
            QVERIFY2((t.Quantities & (QuantityBit::Temperature | pressureOrCO2)) != 0, t.Name);
            break;
        default:
            QCOMPARE(t.Quantities, quint16(0));
        }
        if (t.Family == DeviceFamily::EthernetSensor)
            QVERIFY2(t.ChannelCount >= 1 && t.ChannelCount <= 4, t.Name);
        else if (t.Family == DeviceFamily::WebGroupA || t.Family == DeviceFamily::WebGroupC)
            QVERIFY2(t.ChannelCount >= 0 && t.ChannelCount <= 5, t.Name);
        else
            QCOMPARE(t.ChannelCount, 0);
    }
}

void TestDeviceTypeTable::names()
{
    const QSet<int> longNames = Rows({{89, 89}, {98, 98}, {162, 164}, {180, 196}});
    QCOMPARE(QLatin1String(DeviceTypeTable[0].Name), QLatin1String("Unknown"));
    for (int row = 1; row < DeviceTypeCount; ++row) {
        const int width = longNames.contains(row) ? 5 : 4;
        const QString expected = QStringLiteral("Q%1").arg(row, width, 10, QLatin1Char('0'));
        QCOMPARE(QString::fromLatin1(DeviceTypeTable[row].Name), expected);
    }
}

// Ethernet modules report model names; each must name a row of the family
// the module's reply implies.
void TestDeviceTypeTable::ethernetModelNamesSelectRows_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("family");
    QTest::addColumn<bool>("ethernet");
    const char *transmitters[] = {"Q0011", "Q0010", "Q0033", "Q0028", "Q0048", "Q0049", "Q0050", "Q0059",
                                  "Q0062", "Q0065", "Q0068", "Q0077", "Q0078", "Q0079", "Q0081", "Q0082",
                                  "Q0083", "Q0084", "Q0080", "Q0094", "Q0097", "Q00098", "Q0166", "Q0167", "Q0117",
                                  "Q0118", "Q0119", "Q0120", "Q0121", "Q0122", "Q00162", "Q00163", "Q00164",
                                  "Q0147", "Q0151", "Q0154", "Q0157", "Q0165"};
    for (const char *n : transmitters)
        QTest::newRow(n) << QString::fromLatin1(n) << int(DeviceFamily::Transmitter) << true;
    const char *sensors[] = {"Q0103", "Q0104", "Q0105", "Q0106", "Q0107", "Q0108",
                             "Q0109", "Q0110", "Q0111", "Q0112", "Q0168"};
    for (const char *n : sensors)
        QTest::newRow(n) << QString::fromLatin1(n) << int(DeviceFamily::EthernetSensor) << true;
    // Q0169-Q0179, Q00180-Q00192 and Q00193-Q00196.
    for (int n = 169; n <= 196; ++n) {
        const QString name = QStringLiteral("Q%1").arg(n, n <= 179 ? 4 : 5, 10, QLatin1Char('0'));
        const int family = n <= 179 ? DeviceFamily::WebGroupA : n <= 192 ? DeviceFamily::WebGroupB : DeviceFamily::WebGroupC;
        QTest::newRow(qPrintable(name)) << name << family << true;
    }
}

void TestDeviceTypeTable::ethernetModelNamesSelectRows()
{
    QFETCH(QString, name);
    QFETCH(int, family);
    QFETCH(bool, ethernet);
    const auto it = std::find_if(DeviceTypeTable.begin(), DeviceTypeTable.end(),
                                 [&name](const TDeviceType &t) { return name == QLatin1String(t.Name); });
    QVERIFY(it != DeviceTypeTable.end());
    QCOMPARE(int(it->Family), family);
    QCOMPARE(it->Interface == DeviceInterface::Ethernet, ethernet);
}

void TestDeviceTypeTable::fullRows_data()
{
    QTest::addColumn<int>("row");
    QTest::addColumn<TDeviceType>("expected");
    // Code Fa Di Ju Ch If Quantities Kp Bi Ne Fc Ao So Min Max Name DeviceId Sc
    const TExpectedRow rows[] = {
        {0, {0, 0, 0, 0, 0, 0, 0x0000, 0, 0, 0, 0, 0, 0, 0, 0, "Unknown", 0x0000, 0}},
        {1, {1, 1, 1, 0, 0, 1, 0x0040, 0, 0, 0, 0, 1, 0, 4, 20, "Q0001", 0x1001, 1}},
        {3, {3, 1, 1, 0, 0, 1, 0x00C0, 0, 0, 0, 0, 1, 1, 4, 20, "Q0003", 0x1003, 1}},
        {7, {7, 1, 1, 0, 0, 2, 0x00C0, 0, 0, 0, 0, 1, 1, 0, 10, "Q0007", 0x1007, 1}},
        {29, {29, 1, 1, 0, 0, 3, 0x01C0, 0, 0, 0, 0, 0, 0, 0, 0, "Q0029", 0x101D, 0}},
        {30, {30, 1, 1, 0, 0, 4, 0x01C0, 0, 0, 0, 0, 0, 0, 0, 0, "Q0030", 0x101E, 0}},
        {73, {73, 1, 1, 1, 0, 1, 0x0240, 0, 0, 0, 0, 1, 1, 4, 20, "Q0073", 0x1049, 1}},
        {75, {75, 1, 1, 1, 0, 3, 0x0240, 0, 0, 0, 0, 0, 0, 0, 0, "Q0075", 0x104B, 0}},
        {89, {89, 1, 0, 0, 0, 1, 0x00C0, 0, 0, 1, 1, 1, 0, 4, 20, "Q00089", 0x105A, 1}},
        {103, {103, 2, 0, 0, 1, 5, 0x00C0, 0, 0, 0, 0, 0, 0, 0, 0, "Q0103", 0xFFFF, 0}},
        {109, {109, 2, 0, 0, 2, 5, 0x00C4, 0, 1, 0, 0, 0, 0, 0, 0, "Q0109", 0xFFFF, 0}},
        {113, {113, 1, 1, 0, 0, 3, 0x00C0, 1, 0, 0, 0, 0, 0, 0, 0, "Q0113", 0x1200, 1}},
        {117, {117, 1, 1, 0, 0, 5, 0x0040, 1, 1, 0, 0, 0, 0, 0, 0, "Q0117", 0x1230, 0}},
        {131, {131, 1, 1, 0, 0, 4, 0x00C0, 1, 0, 0, 0, 0, 0, 0, 0, "Q0131", 0x123E, 0}},
        {178, {178, 3, 0, 0, 5, 5, 0x0000, 0, 0, 0, 0, 0, 0, 0, 0, "Q0178", 0xFFFF, 0}},
        {193, {193, 5, 0, 0, 5, 5, 0x0000, 0, 0, 0, 0, 0, 0, 0, 0, "Q00193", 0xFFFF, 0}},
    };
    for (const TExpectedRow &r : rows)
        QTest::newRow(r.Type.Name) << r.Row << r.Type;
}

void TestDeviceTypeTable::fullRows()
{
    QFETCH(int, row);
    QFETCH(TDeviceType, expected);
    CompareRow(DeviceTypeTable[row], expected);
}

PELINOR_TEST_MAIN(TestDeviceTypeTable)
#include "test_uDeviceTypeTable.moc"
