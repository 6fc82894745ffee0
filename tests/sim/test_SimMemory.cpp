#include "SimMemory.h"

#include <QTest>

// Memory rules as the bus sees them: protocol addresses are references - 1.
class TestSimMemory : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void readBoundaries_data();
    void readBoundaries();
    void writeRules_data();
    void writeRules();
    void wholeFlashWriteWithGoodChecksumIsStored();
    void checksumWrapsAround();
    void lineSettingsComeFromSegmentTwo();
    void programmerAccessUsesReferences();
};

namespace {

QList<quint16> FlashImage(quint16 fill, bool goodChecksum)
{
    QList<quint16> words(SimMemory::SegmentWords, fill);
    words[SimMemory::ChecksumOffset] = SimMemory::Checksum(words.constData());
    if (!goodChecksum)
        words[SimMemory::ChecksumOffset] ^= 1;
    return words;
}

} // namespace

void TestSimMemory::readBoundaries_data()
{
    QTest::addColumn<bool>("longLast");
    QTest::addColumn<int>("address");
    QTest::addColumn<int>("count");
    QTest::addColumn<int>("exception");
    QTest::newRow("segment 1 whole") << false << 0x1000 << 64 << 0;
    QTest::newRow("segment 1 past its end") << false << 0x1001 << 64 << 2;
    QTest::newRow("after segment 1") << false << 0x1040 << 1 << 2;
    QTest::newRow("reference 0x3000 is no register") << false << 0x2FFF << 1 << 2;
    QTest::newRow("ROM readable") << false << 0x3000 << 64 << 0;
    QTest::newRow("last word of segment 4") << false << 0x403F << 1 << 0;
    QTest::newRow("first word of segment 5") << false << 0x4040 << 1 << 0;
    QTest::newRow("across segments 4 and 5") << false << 0x4030 << 32 << 2;
    QTest::newRow("segment 6 short: 15 words") << false << 0x5000 << 15 << 0;
    QTest::newRow("segment 6 short: not 20") << false << 0x5000 << 20 << 2;
    QTest::newRow("segment 6 long: 20 words") << true << 0x5000 << 20 << 0;
    QTest::newRow("segment 6 long: not 21") << true << 0x5000 << 21 << 2;
    QTest::newRow("live block with far relay registers") << false << 0x0000 << 0x43 << 0;
    QTest::newRow("CO2 calibration register") << false << 0x0054 << 1 << 0;
    QTest::newRow("beyond the live area") << false << 0x0080 << 1 << 2;
    QTest::newRow("gap between segments") << false << 0x6000 << 1 << 2;
}

void TestSimMemory::readBoundaries()
{
    QFETCH(bool, longLast);
    QFETCH(int, address);
    QFETCH(int, count);
    QFETCH(int, exception);
    const SimMemory memory(longLast);
    QList<quint16> values;
    QCOMPARE(int(memory.read(quint16(address), count, values)), exception);
    QCOMPARE(int(values.size()), exception ? 0 : count);
}

void TestSimMemory::writeRules_data()
{
    QTest::addColumn<int>("address");
    QTest::addColumn<int>("count");
    QTest::addColumn<bool>("goodChecksum");
    QTest::addColumn<bool>("jumperOpen");
    QTest::addColumn<int>("exception");
    // count 1 is a single-register write (function 6), more a multiple one.
    QTest::newRow("RAM single") << 0x0041 << 1 << true << false << 0;
    QTest::newRow("RAM single, jumper open") << 0x0041 << 1 << true << true << 0;
    QTest::newRow("EEPROM single") << 0x4005 << 1 << true << false << 0;
    QTest::newRow("EEPROM float") << 0x4005 << 2 << true << false << 0;
    QTest::newRow("EEPROM whole") << 0x4040 << 64 << true << false << 0;
    QTest::newRow("EEPROM whole, jumper open") << 0x4040 << 64 << true << true << 2;
    QTest::newRow("ROM single") << 0x3000 << 1 << true << false << 2;
    QTest::newRow("ROM whole") << 0x3000 << 64 << true << false << 2;
    QTest::newRow("Flash single") << 0x2001 << 1 << true << false << 2;
    QTest::newRow("Flash part") << 0x2000 << 2 << true << false << 2;
    QTest::newRow("Flash whole") << 0x2000 << 64 << true << false << 0;
    QTest::newRow("Flash whole, bad checksum") << 0x1000 << 64 << false << false << 3;
    QTest::newRow("Flash whole, jumper open") << 0x1000 << 64 << true << true << 2;
    QTest::newRow("segment 6 all 15") << 0x5000 << 15 << true << false << 0;
    QTest::newRow("past the end of segment 6") << 0x500E << 2 << true << false << 2;
    QTest::newRow("outside every segment") << 0x6000 << 1 << true << false << 2;
}

void TestSimMemory::writeRules()
{
    QFETCH(int, address);
    QFETCH(int, count);
    QFETCH(bool, goodChecksum);
    QFETCH(bool, jumperOpen);
    QFETCH(int, exception);
    SimMemory memory;
    memory.setJumperOpen(jumperOpen);
    const QList<quint16> values =
        count == 64 ? FlashImage(0x1234, goodChecksum) : QList<quint16>(count, quint16(0x0102));
    const quint8 code = count == 1 ? memory.writeSingle(quint16(address), values[0])
                                   : memory.writeMultiple(quint16(address), values);
    QCOMPARE(int(code), exception);
    QList<quint16> after;
    if (memory.read(quint16(address), count, after) == 0)
        QCOMPARE(after == values, exception == 0);
}

void TestSimMemory::wholeFlashWriteWithGoodChecksumIsStored()
{
    SimMemory memory;
    QList<quint16> image = FlashImage(0, true);
    image[0] = 7;   // address
    image[1] = 0x00DA; // 19200 bit/s
    image[63] = SimMemory::Checksum(image.constData());
    QCOMPARE(int(memory.writeMultiple(0x2000, image)), 0);
    QVERIFY(memory.checksumValid(2));
    QCOMPARE(memory.slaveAddress(), quint8(7));
    QCOMPARE(qRound(memory.baudRate()), 19240);
}

void TestSimMemory::checksumWrapsAround()
{
    QList<quint16> words(64, 0xFFFF);
    // 63 x 0xFFFF = 0x3EFFC1 -> 0xFFC1
    QCOMPARE(SimMemory::Checksum(words.constData()), quint16(0xFFC1));
    words[63] = 0x1111; // word 63 itself is not summed
    QCOMPARE(SimMemory::Checksum(words.constData()), quint16(0xFFC1));
}

void TestSimMemory::lineSettingsComeFromSegmentTwo()
{
    SimMemory memory;
    memory.setWord(0x2001, 12);
    memory.setWord(0x2002, 0x01B5);
    QCOMPARE(memory.slaveAddress(), quint8(12));
    QCOMPARE(memory.baudDivisor(), quint16(0x01B5));
    QVERIFY(qAbs(memory.baudRate() - 9600) < 0.01 * 9600);
    QCOMPARE(memory.nominalBaudRate(), 9600);
    memory.setWord(0x2002, 1000); // no standard rate: what the divisor gives
    QCOMPARE(memory.nominalBaudRate(), 4194);
}

void TestSimMemory::programmerAccessUsesReferences()
{
    SimMemory memory;
    memory.setWord(0x1037, 0x1003);
    QList<quint16> values;
    QCOMPARE(int(memory.read(0x1036, 1, values)), 0);
    QCOMPARE(values[0], quint16(0x1003));
    memory.setFloat(0x0009, 23.5);
    QCOMPARE(memory.word(0x0009), quint16(0x843C));
    QCOMPARE(memory.floatAt(0x0009), 23.5);
    memory.refreshChecksum(1);
    QVERIFY(memory.checksumValid(1));
}

QTEST_GUILESS_MAIN(TestSimMemory)
#include "test_SimMemory.moc"
