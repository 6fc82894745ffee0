#include "SimMemory.h"
#include "SimRelays.h"

#include <QTest>

using LiveValues::FourthChannel;

class TestSimRelays : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void switching_data();
    void switching();
    void settingsFromRegisters();
    void stateBitsInStatusWord();
};

namespace {

LiveValues::Readings Readings(double temperature, double fourth = 0)
{
    LiveValues::Readings r;
    r.temperature = temperature;
    r.fourth = r.fourthRegister = fourth;
    return r;
}

} // namespace

void TestSimRelays::switching_data()
{
    QTest::addColumn<int>("code");
    QTest::addColumn<bool>("greater");
    QTest::addColumn<bool>("wasClosed");
    QTest::addColumn<double>("value");
    QTest::addColumn<bool>("actOnError");
    QTest::addColumn<bool>("closeOnError");
    QTest::addColumn<bool>("farOn");
    QTest::addColumn<bool>("closed");
    // Switching value 25.0, hysteresis 1.0.
    QTest::newRow("greater: above closes") << 1 << true << false << 25.1 << false << false << false << true;
    QTest::newRow("greater: at the value stays open") << 1 << true << false << 25.0 << false << false << false << false;
    QTest::newRow("greater: within hysteresis stays closed") << 1 << true << true << 24.1 << false << false << false << true;
    QTest::newRow("greater: below hysteresis opens") << 1 << true << true << 23.9 << false << false << false << false;
    QTest::newRow("less: below closes") << 1 << false << false << 24.9 << false << false << false << true;
    QTest::newRow("less: within hysteresis stays closed") << 1 << false << true << 25.9 << false << false << false << true;
    QTest::newRow("less: above hysteresis opens") << 1 << false << true << 26.1 << false << false << false << false;
    QTest::newRow("error keeps a closed relay") << 1 << true << true << 1200.0 << false << false << false << true;
    QTest::newRow("error opens when told") << 1 << true << true << 1200.0 << true << false << false << false;
    QTest::newRow("error closes when told") << 1 << true << false << -1000.0 << true << true << false << true;
    QTest::newRow("far control 8 on") << 8 << false << false << 0.0 << false << false << true << true;
    QTest::newRow("far control 9 off") << 9 << true << true << 99.0 << false << false << false << false;
    QTest::newRow("binary input open, condition opened") << 5 << true << false << 0.0 << false << false << false << true;
    QTest::newRow("binary input open, condition closed") << 6 << false << true << 0.0 << false << false << false << false;
    QTest::newRow("no quantity") << 0 << true << true << 99.0 << false << false << false << false;
}

void TestSimRelays::switching()
{
    QFETCH(int, code);
    QFETCH(bool, greater);
    QFETCH(bool, wasClosed);
    QFETCH(double, value);
    QFETCH(bool, actOnError);
    QFETCH(bool, closeOnError);
    QFETCH(bool, farOn);
    QFETCH(bool, closed);
    const SimRelays::Settings s{code, 25.0, 1.0, greater, actOnError, closeOnError, farOn};
    QCOMPARE(SimRelays::NextState(wasClosed, s, Readings(value), FourthChannel::None), closed);
}

void TestSimRelays::settingsFromRegisters()
{
    SimMemory memory;
    memory.setWord(0x203F, 0x8362);           // relay 1 CO2 (3), relay 2 far control (8); error bits 1, 5, 6
    memory.setWord(0x2007, 0x4000);           // relay 1 "greater"
    memory.setWord(0x2039, 1200);             // CO2: whole ppm
    memory.setWord(0x203B, 50);
    memory.setWord(0x203A, quint16(-55));     // -5.5 in tenths
    memory.setWord(0x0043, 1);                // far control of relay 2
    const SimRelays::Settings co2 = SimRelays::Read(memory, 0, FourthChannel::Co2);
    QCOMPARE(co2.quantityCode, 3);
    QCOMPARE(co2.switchValue, 1200.0);
    QCOMPARE(co2.hysteresis, 50.0);
    QVERIFY(co2.greater && co2.actOnError && co2.closeOnError);
    const SimRelays::Settings far = SimRelays::Read(memory, 1, FourthChannel::Co2);
    QCOMPARE(far.quantityCode, 8);
    QCOMPARE(far.switchValue, -5.5);
    QVERIFY(!far.greater && far.actOnError && !far.closeOnError && far.farControlOn);
    memory.setWord(0x203F, 0x0300);
    QCOMPARE(SimRelays::Read(memory, 0, FourthChannel::Pressure).switchValue, 120.0);
}

void TestSimRelays::stateBitsInStatusWord()
{
    SimMemory memory;
    memory.setWord(0x0007, 0x4000);           // a Varlo probe: bit 14 stays
    memory.setWord(0x203F, 0x8100);           // relay 1 temperature, relay 2 far control
    memory.setWord(0x2007, 0x4000);
    memory.setWord(0x2039, 250);
    SimRelays relays;
    relays.update(memory, Readings(26.0), FourthChannel::None);
    QCOMPARE(memory.word(0x0007), quint16(0x4008));
    memory.setWord(0x0043, 1);
    relays.update(memory, Readings(20.0), FourthChannel::None);
    QCOMPARE(memory.word(0x0007), quint16(0x4010));
}

QTEST_GUILESS_MAIN(TestSimRelays)
#include "test_SimRelays.moc"
