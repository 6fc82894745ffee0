#include "SimFactory.h"
#include "SimMemory.h"
#include "SimProfile.h"

#include <QTest>

#include <cmath>

// Each compiled-in profile against the rows of the device type table it
// stands for, and the memory the factory programs from it.
class TestSimProfiles : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void everyRowHasItsProfile();
    void profileFitsItsRow_data();
    void profileFitsItsRow();
    void memoryOfEveryProfile_data();
    void memoryOfEveryProfile();
    void swappedRomLayout();
    void outputsAndClamps();
    void overridesAndMalformedProfiles();
};

namespace {

struct Row {
    const char *name;
    quint16 deviceId;
    int interface;
    bool humidity;
    const char *fourth; // "", "pressure" or "co2"
    bool keypad;
};

// The telling rows of the device type table.
constexpr Row Rows[] = {
    {"Q0001", 0x1001, 1, false, "", false},       {"Q0003", 0x1003, 1, true, "", false},
    {"Q0007", 0x1007, 2, true, "", false},        {"Q0029", 0x101D, 3, true, "pressure", false},
    {"Q0030", 0x101E, 4, true, "pressure", false}, {"Q0073", 0x1049, 1, false, "co2", false},
    {"Q0075", 0x104B, 3, false, "co2", false},    {"Q00089", 0x105A, 1, true, "", false},
    {"Q0113", 0x1200, 3, true, "", true},         {"Q0131", 0x123E, 4, true, "", true},
};

const Row *RowOf(const QString &name)
{
    const QString device = name.section(QLatin1Char('-'), 0, 0);
    for (const Row &row : Rows) {
        if (device == QLatin1String(row.name))
            return &row;
    }
    return nullptr;
}

bool FirmwareAccepted(quint16 v, bool keypad)
{
    return keypad ? (v <= 0x0431 || (v >= 0x0500 && v <= 0x0507)) : (v <= 0x0280 || (v >= 0x0290 && v <= 0x0293));
}

SimProfile Loaded(const QString &name)
{
    QString error;
    const std::optional<SimProfile> p = SimProfile::Load(name, &error);
    if (!p)
        qFatal("%s", qPrintable(error));
    return *p;
}

void AddProfileRows()
{
    QTest::addColumn<QString>("name");
    for (const QString &name : SimProfile::Names())
        QTest::newRow(qPrintable(name)) << name;
}

} // namespace

void TestSimProfiles::everyRowHasItsProfile()
{
    const QStringList names = SimProfile::Names();
    for (const Row &row : Rows)
        QVERIFY2(names.contains(QLatin1String(row.name)), row.name);
    for (const QString &name : names)
        QVERIFY2(RowOf(name), qPrintable(name));
}

void TestSimProfiles::profileFitsItsRow_data()
{
    AddProfileRows();
}

void TestSimProfiles::profileFitsItsRow()
{
    QFETCH(QString, name);
    const SimProfile p = Loaded(name);
    const Row &row = *RowOf(name);
    QCOMPARE(p.name, name);
    QCOMPARE(p.deviceId, row.deviceId);
    QCOMPARE(p.interface, row.interface);
    QVERIFY(p.configWord & 0x8000);
    QCOMPARE(bool(p.configWord & 0x0002), row.humidity);
    QCOMPARE(bool(p.configWord & 0x2000), *row.fourth != 0);
    QCOMPARE(p.quantities.contains(QLatin1String("humidity")), row.humidity);
    if (*row.fourth)
        QVERIFY(p.quantities.contains(QLatin1String(row.fourth)));
    QVERIFY2(FirmwareAccepted(p.firmware, row.keypad), qPrintable(QString::number(p.firmware, 16)));
    QCOMPARE(p.protocol, quint16(0));
    // At most one computed quantity, and none without humidity.
    const quint16 computed = p.configWord & 0x1E08;
    QVERIFY((computed & (computed - 1)) == 0);
    QVERIFY(row.humidity || computed == 0);
}

void TestSimProfiles::memoryOfEveryProfile_data()
{
    AddProfileRows();
}

void TestSimProfiles::memoryOfEveryProfile()
{
    QFETCH(QString, name);
    const SimProfile p = Loaded(name);
    const SimMemory m = SimFactory::Build(p);
    QVERIFY(m.checksumValid(1));
    QVERIFY(m.checksumValid(2));
    QCOMPARE(m.word(0x1037), p.deviceId);
    QCOMPARE(SimFactory::Serial(m), p.serial);
    QCOMPARE(m.word(0x103F), p.configWord);
    QCOMPARE(m.word(0x2001), quint16(p.address));
    QCOMPARE(m.word(0x2002), quint16(std::lround(4194304.0 / p.baud)));
    QCOMPARE(m.word(0x2003), p.protocol);
    QCOMPARE(m.word(SimFactory::SwappedRomLayout(p.firmwareDate) ? 0x3001 : 0x3002), p.firmware);
    QCOMPARE(m.accessibleWords(6), p.longLastSegment ? 20 : 15);
}

void TestSimProfiles::swappedRomLayout()
{
    SimProfile p = Loaded(QStringLiteral("Q0007"));
    QCOMPARE(p.firmwareDate, quint16(0x0901));
    SimMemory m = SimFactory::Build(p);
    QCOMPARE(m.word(0x3001), quint16(0x0230));
    QCOMPARE(m.word(0x3002), quint16(0x0901));
    p.firmwareDate = 0x0905;
    m = SimFactory::Build(p);
    QCOMPARE(m.word(0x3001), quint16(0x0905));
    QCOMPARE(m.word(0x3002), quint16(0x0230));
}

void TestSimProfiles::outputsAndClamps()
{
    const SimMemory m = SimFactory::Build(Loaded(QStringLiteral("Q0007")));
    // Channel 1 temperature 0..50 °C: clamps -0.5 (1 % of the span) and 51
    // (the 1 degree limit is smaller than 5 %).
    QCOMPARE(m.word(0x1039), quint16(9));
    QCOMPARE(m.word(0x103B), quint16(0x1001));
    QCOMPARE(m.word(0x103D), quint16(0x1005));
    QCOMPARE(m.floatAt(0x1005), -0.5);
    QCOMPARE(m.floatAt(0x1007), 51.0);
    QCOMPARE(m.word(0x103A), quint16(11));
    // 0-10 V on converter 0..60000: 10.5 V is 63000.
    QCOMPARE(m.floatAt(0x200B), 10.0);
    QCOMPARE(m.floatAt(0x2013), 10.5);
    QCOMPARE(m.floatAt(0x101F), 63000.0);
    const SimFactory::Clamps reversed = SimFactory::ClampsOf(20, 0);
    QCOMPARE(reversed.lower, -0.2);
    QCOMPARE(reversed.upper, 21.0);
    const SimFactory::Clamps wide = SimFactory::ClampsOf(0, 1000);
    QCOMPARE(wide.lower, -1.0);
    QCOMPARE(wide.upper, 1001.0);
    const SimMemory relays = SimFactory::Build(Loaded(QStringLiteral("Q0131")));
    QCOMPARE(relays.word(0x203F) & 0xFF00, 0x8100);
    QVERIFY(relays.word(0x2007) & 0x4000);
    QCOMPARE(relays.word(0x2039), quint16(220));
}

void TestSimProfiles::overridesAndMalformedProfiles()
{
    QString error;
    QVERIFY(!SimProfile::Load(QStringLiteral("Q9999"), &error));
    QVERIFY(error.contains(QLatin1String("Q9999")));
    QVERIFY(!SimProfile::Parse("{\"name\": \"X\", \"serial\": \"123\"}", &error));
    QVERIFY(!SimProfile::Parse("{\"name\": \"X\", \"serial\": \"00000001\", \"deviceId\": \"0x1G\"}", &error));
    QVERIFY(SimProfile::Parse("{\"name\": \"X\", \"serial\": \"00000001\", \"deviceId\": 4097}", &error));
    QCOMPARE(ParseSerial(QStringLiteral("0A0B0C0D")), std::optional<quint32>(0x0A0B0C0D));
    QCOMPARE(SerialText(0x0A0B0C0D), QStringLiteral("0A0B0C0D"));
}

QTEST_GUILESS_MAIN(TestSimProfiles)
#include "test_SimProfiles.moc"
