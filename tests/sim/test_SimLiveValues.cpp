#include "SimLiveValues.h"
#include "SimMemory.h"

#include <QTest>

#include <cmath>

using LiveValues::Conditions;
using LiveValues::FourthChannel;

class TestSimLiveValues : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void readingsInConfiguredUnits_data();
    void readingsInConfiguredUnits();
    void computedQuantities_data();
    void computedQuantities();
    void errorValuesPassUnconverted();
    void storeWritesDeviceFloats();
    void driftStaysNearTheBaseAndFixedValuesStay();
};

namespace {

constexpr quint16 AllChannels = 0x8000 | 0x0002 | 0x2000;
const Conditions Room{25.0, 50.0, 1000.0, 800.0};

} // namespace

void TestSimLiveValues::readingsInConfiguredUnits_data()
{
    QTest::addColumn<int>("fourth");
    QTest::addColumn<quint16>("configWord");
    QTest::addColumn<quint16>("unitWord");
    QTest::addColumn<double>("temperature");
    QTest::addColumn<double>("fourthRegister");
    const int pressure = int(FourthChannel::Pressure);
    QTest::newRow("°C, hPa") << pressure << AllChannels << quint16(0x0000) << 25.0 << 1000.0;
    QTest::newRow("°F") << pressure << AllChannels << quint16(0x0001) << 77.0 << 1000.0;
    QTest::newRow("PSI") << pressure << AllChannels << quint16(1 << 2) << 25.0 << 14.50377;
    QTest::newRow("mmHg") << pressure << AllChannels << quint16(5 << 2) << 25.0 << 750.06158;
    QTest::newRow("kPa reported in tenths") << pressure << AllChannels << quint16(7 << 2) << 25.0 << 1000.0;
    QTest::newRow("CO2 in ppm whatever the unit bits") << int(FourthChannel::Co2) << AllChannels << quint16(0x001D)
                                                       << 77.0 << 800.0;
    QTest::newRow("channels absent read 0") << pressure << quint16(0x0000) << quint16(0x0000) << 0.0 << 0.0;
}

void TestSimLiveValues::readingsInConfiguredUnits()
{
    QFETCH(int, fourth);
    QFETCH(quint16, configWord);
    QFETCH(quint16, unitWord);
    QFETCH(double, temperature);
    QFETCH(double, fourthRegister);
    const LiveValues::Readings r = LiveValues::Compute(Room, FourthChannel(fourth), configWord, unitWord, 1013.25);
    QVERIFY(qAbs(r.temperature - temperature) < 1e-9);
    QVERIFY2(qAbs(r.fourthRegister - fourthRegister) < 1e-4, qPrintable(QString::number(r.fourthRegister)));
}

void TestSimLiveValues::computedQuantities_data()
{
    QTest::addColumn<quint16>("code");
    QTest::addColumn<quint16>("unitWord");
    QTest::addColumn<double>("expected");
    QTest::addColumn<double>("tolerance");
    // 25 °C, 50 %RH at 1013.25 hPa, from psychrometric tables.
    QTest::newRow("dew point °C") << quint16(0x0008) << quint16(0) << 13.9 << 0.1;
    QTest::newRow("dew point °F") << quint16(0x0008) << quint16(1) << 57.0 << 0.2;
    QTest::newRow("absolute humidity g/m³") << quint16(0x0200) << quint16(0) << 11.5 << 0.1;
    QTest::newRow("specific humidity g/kg") << quint16(0x0400) << quint16(0) << 9.8 << 0.1;
    QTest::newRow("mixing ratio g/kg") << quint16(0x0800) << quint16(0) << 9.9 << 0.1;
    QTest::newRow("specific enthalpy kJ/kg") << quint16(0x1000) << quint16(0) << 50.3 << 0.3;
    QTest::newRow("two codes: none") << quint16(0x0208) << quint16(0) << 0.0 << 0.0;
}

void TestSimLiveValues::computedQuantities()
{
    QFETCH(quint16, code);
    QFETCH(quint16, unitWord);
    QFETCH(double, expected);
    QFETCH(double, tolerance);
    const LiveValues::Readings r =
        LiveValues::Compute(Room, FourthChannel::None, quint16(AllChannels | code), unitWord, 1013.25);
    QVERIFY2(qAbs(r.computed - expected) <= tolerance, qPrintable(QString::number(r.computed)));
}

void TestSimLiveValues::errorValuesPassUnconverted()
{
    const Conditions failing{1200.0, -1000.0, std::nan(""), 0};
    const LiveValues::Readings r =
        LiveValues::Compute(failing, FourthChannel::Pressure, AllChannels | 0x0008, 0x0001 | (7 << 2), 1013.25);
    QCOMPARE(r.temperature, 1200.0);
    QCOMPARE(r.humidity, -1000.0);
    QCOMPARE(r.computed, 1200.0);
    QVERIFY(std::isnan(r.fourthRegister));
    QVERIFY(LiveValues::IsErrorCode(LiveValues::Quantity::Co2, -999.9));
    QVERIFY(!LiveValues::IsErrorCode(LiveValues::Quantity::Co2, -999.8));
    QVERIFY(!LiveValues::IsErrorCode(LiveValues::Quantity::Pressure, 1013.0));
}

void TestSimLiveValues::storeWritesDeviceFloats()
{
    SimMemory memory;
    memory.setWord(0x103F, AllChannels);
    const Conditions failing{23.5, 40.0, std::nan(""), 0};
    LiveValues::Store(memory, failing, FourthChannel::Pressure);
    QCOMPARE(memory.word(0x0009), quint16(0x843C));
    QCOMPARE(memory.word(0x000A), quint16(0x0000));
    QCOMPARE(memory.word(0x000F), quint16(0xFF00));
    QCOMPARE(memory.floatAt(0x000F), -1.0e10);
}

void TestSimLiveValues::driftStaysNearTheBaseAndFixedValuesStay()
{
    SimConditions conditions(Room);
    bool moved = false;
    for (double t = 0; t < 300; t += 7) {
        const Conditions c = conditions.at(t);
        QVERIFY(qAbs(c.temperatureC - 25.0) <= 0.5);
        QVERIFY(qAbs(c.humidityPercent - 50.0) <= 1.5);
        moved = moved || c.temperatureC != conditions.at(0).temperatureC;
    }
    QVERIFY(moved);
    conditions.fix(LiveValues::Quantity::Temperature, -1000.0);
    QCOMPARE(conditions.at(42).temperatureC, -1000.0);
    conditions.release(LiveValues::Quantity::Temperature);
    QVERIFY(qAbs(conditions.at(42).temperatureC - 25.0) <= 0.5);
    SimConditions failing({1200.0, 50, 1000, 800});
    QCOMPARE(failing.at(13).temperatureC, 1200.0);
}

QTEST_GUILESS_MAIN(TestSimLiveValues)
#include "test_SimLiveValues.moc"
