#include "ModbusSlave.h"
#include "SimMemory.h"

#include <QTest>

class TestModbusSlave : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void replies_data();
    void replies();
    void writeMultipleStoresAndReportsValues();
};

void TestModbusSlave::replies_data()
{
    QTest::addColumn<QByteArray>("request");
    QTest::addColumn<QByteArray>("reply");
    QTest::newRow("read two registers") << QByteArray::fromHex("0310360002") << QByteArray::fromHex("030410030000");
    QTest::newRow("write RAM register echoes") << QByteArray::fromHex("0600410001") << QByteArray::fromHex("0600410001");
    QTest::newRow("write ROM refused") << QByteArray::fromHex("0630000005") << QByteArray::fromHex("8602");
    QTest::newRow("read past segment end") << QByteArray::fromHex("03103f0002") << QByteArray::fromHex("8302");
    QTest::newRow("read 0 registers") << QByteArray::fromHex("0310000000") << QByteArray::fromHex("8303");
    QTest::newRow("read 126 registers") << QByteArray::fromHex("030000007e") << QByteArray::fromHex("8303");
    QTest::newRow("read with a short request") << QByteArray::fromHex("03100000") << QByteArray::fromHex("8303");
    QTest::newRow("byte count does not fit") << QByteArray::fromHex("1040000001030001") << QByteArray::fromHex("9003");
    QTest::newRow("input registers unknown") << QByteArray::fromHex("0400000001") << QByteArray::fromHex("8401");
    QTest::newRow("coils unknown") << QByteArray::fromHex("0100000001") << QByteArray::fromHex("8101");
    QTest::newRow("report slave id unknown") << QByteArray::fromHex("11") << QByteArray::fromHex("9101");
}

void TestModbusSlave::replies()
{
    QFETCH(QByteArray, request);
    QFETCH(QByteArray, reply);
    SimMemory memory;
    memory.setWord(0x1037, 0x1003);
    ModbusSlave::Transaction t;
    QCOMPARE(ModbusSlave::Execute(request, memory, t).toHex(), reply.toHex());
    QCOMPARE(t.function, quint8(request[0]));
    QCOMPARE(int(t.exception), reply[0] & 0x80 ? int(reply[1]) : 0);
}

void TestModbusSlave::writeMultipleStoresAndReportsValues()
{
    SimMemory memory;
    ModbusSlave::Transaction t;
    const QByteArray reply = ModbusSlave::Execute(QByteArray::fromHex("104004000204843c0000"), memory, t);
    QCOMPARE(reply.toHex(), QByteArray("1040040002"));
    QVERIFY(t.wrote);
    QCOMPARE(t.address, quint16(0x4004));
    QCOMPARE(t.values, (QList<quint16>{0x843C, 0x0000}));
    QCOMPARE(memory.floatAt(0x4005), 23.5);
    const ModbusSlave::Transaction described = ModbusSlave::Describe(QByteArray::fromHex("0310000040"));
    QCOMPARE(described.address, quint16(0x1000));
    QCOMPARE(described.count, 64);
}

QTEST_GUILESS_MAIN(TestModbusSlave)
#include "test_ModbusSlave.moc"
