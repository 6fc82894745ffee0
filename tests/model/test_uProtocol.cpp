#include "model/uProtocol.h"

#include "CountedChanges.h"
#include "shell/uErrors.h"
#include "support/TestEnvironment.h"

#include <QTest>

using TCountedProtocol = TCounted<TProtocol>;

class TestProtocol : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void startsWithoutProtocol();
    void protocolTypes_data();
    void protocolTypes();
    void unknownProtocolType_data();
    void unknownProtocolType();
    void adamNeedsItsOption();
    void optionSwitchesBetweenAdamRows();
    void modbusKeepsTheAdamOption();
    void poseidonWhateverTheOption_data();
    void poseidonWhateverTheOption();
    void sameValuesChangeNothing();
    void offeredBaudRates_data();
    void offeredBaudRates();
};

void TestProtocol::startsWithoutProtocol()
{
    const TProtocol p;
    QCOMPARE(p.GetProtocolType(), ProtocolType::Unknown);
    QCOMPARE(p.GetName(), QStringLiteral("Unknown"));
    QCOMPARE(p.GetCode(), quint16(0xFFFF));
    QCOMPARE(p.GetOption(), quint16(0xFFFF));
    QCOMPARE(p.GetRow(), -1);
}

void TestProtocol::protocolTypes_data()
{
    QTest::addColumn<int>("type");
    QTest::addColumn<quint16>("code");
    QTest::addColumn<quint16>("option");  // 0xFFFF: left as it was
    QTest::addColumn<QString>("name");
    QTest::newRow("1") << 1 << quint16(0) << quint16(0xFFFF) << QStringLiteral("ModBus");
    QTest::newRow("2") << 2 << quint16(2) << quint16(0x3030) << QStringLiteral("Adam without CRC");
    QTest::newRow("3") << 3 << quint16(2) << quint16(0x3430) << QStringLiteral("Adam with CRC");
    QTest::newRow("4") << 4 << quint16(4) << quint16(0xFFFF) << QStringLiteral("Amit Arion");
    QTest::newRow("5") << 5 << quint16(6) << quint16(0xFFFF) << QStringLiteral("HWg Poseidon");
}

void TestProtocol::protocolTypes()
{
    QFETCH(int, type);
    QFETCH(quint16, code);
    QFETCH(quint16, option);
    QFETCH(QString, name);
    TCountedProtocol p;
    p.object.SetProtocolType(quint8(type));
    QCOMPARE(int(p.object.GetProtocolType()), type);
    QCOMPARE(p.object.GetCode(), code);
    QCOMPARE(p.object.GetOption(), option);
    QCOMPARE(p.object.GetName(), name);
    QCOMPARE(p.changes, 1);
}

void TestProtocol::unknownProtocolType_data()
{
    QTest::addColumn<int>("type");
    QTest::newRow("0") << 0;
    QTest::newRow("6") << 6;
}

void TestProtocol::unknownProtocolType()
{
    QFETCH(int, type);
    TCountedProtocol p;
    p.object.SetProtocolType(ProtocolType::Arion);
    try {
        p.object.SetProtocolType(quint8(type));
        QFAIL("no error raised");
    } catch (const Exception &e) {
        QCOMPARE(e.Message(), QStringLiteral("TProtocol: invalid protocol type"));
    }
    QCOMPARE(p.object.GetProtocolType(), ProtocolType::Arion);
    QCOMPARE(p.object.GetCode(), quint16(4));
    QCOMPARE(p.changes, 1);
}

// Neither ADAM row accepts any option, so the ADAM code alone names no row.
void TestProtocol::adamNeedsItsOption()
{
    TCountedProtocol p;
    p.object.SetCode(2);
    QCOMPARE(p.object.GetRow(), -1);
    QCOMPARE(p.object.GetName(), QStringLiteral("Unknown"));
    QCOMPARE(p.changes, 1);
}

void TestProtocol::optionSwitchesBetweenAdamRows()
{
    TCountedProtocol p;
    p.object.SetOption(0x3430);
    p.object.SetCode(2);
    QCOMPARE(p.object.GetProtocolType(), ProtocolType::AdamWithCrc);
    p.object.SetOption(0x3030);
    QCOMPARE(p.object.GetProtocolType(), ProtocolType::AdamWithoutCrc);
    QCOMPARE(p.changes, 3);
    p.object.SetOption(0x3130);
    QCOMPARE(p.object.GetRow(), -1);
}

void TestProtocol::modbusKeepsTheAdamOption()
{
    TProtocol p;
    p.SetProtocolType(ProtocolType::AdamWithCrc);
    p.SetProtocolType(ProtocolType::ModBus);
    QCOMPARE(p.GetCode(), quint16(0));
    QCOMPARE(p.GetOption(), quint16(0x3430));
    QCOMPARE(p.GetName(), QStringLiteral("ModBus"));
}

void TestProtocol::poseidonWhateverTheOption_data()
{
    QTest::addColumn<quint16>("option");
    QTest::newRow("0x0000") << quint16(0x0000);
    QTest::newRow("ADAM option") << quint16(0x3030);
    QTest::newRow("any") << quint16(0xFFFF);
}

void TestProtocol::poseidonWhateverTheOption()
{
    QFETCH(quint16, option);
    TProtocol p;
    p.SetOption(option);
    p.SetCode(6);
    QCOMPARE(p.GetProtocolType(), ProtocolType::Poseidon);
    QCOMPARE(p.GetOption(), option);
}

void TestProtocol::sameValuesChangeNothing()
{
    TCountedProtocol p;
    p.object.SetProtocolType(ProtocolType::AdamWithoutCrc);
    p.object.SetProtocolType(ProtocolType::AdamWithoutCrc);
    p.object.SetCode(2);
    p.object.SetOption(0x3030);
    QCOMPARE(p.changes, 1);
}

void TestProtocol::offeredBaudRates_data()
{
    QTest::addColumn<int>("type");
    QTest::addColumn<QList<quint32>>("rates");
    const QList<quint32> all = {110, 300, 600, 1200, 2400, 4800, 9600, 14400, 19200, 38400, 56000, 57600, 115200};
    const QList<quint32> adam = {1200, 2400, 4800, 9600, 19200, 38400, 57600, 115200};
    QTest::newRow("no protocol") << 0 << all;
    QTest::newRow("ModBus") << 1 << all;
    QTest::newRow("Adam without CRC") << 2 << adam;
    QTest::newRow("Adam with CRC") << 3 << adam;
    QTest::newRow("Amit Arion") << 4 << QList<quint32>({9600, 19200, 38400, 57600});
    QTest::newRow("HWg Poseidon") << 5 << QList<quint32>({9600});
}

void TestProtocol::offeredBaudRates()
{
    QFETCH(int, type);
    QFETCH(QList<quint32>, rates);
    QCOMPARE(OfferedBaudRates(quint8(type)), rates);
}

PELINOR_TEST_MAIN(TestProtocol)
#include "test_uProtocol.moc"
