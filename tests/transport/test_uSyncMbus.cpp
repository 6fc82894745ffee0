// TSyncMBus: setters store, Open applies, kind and port changes reopen.
#include "transport/uSyncMbus.h"

#include "transport/uTermios2.h"

#include "support/ModbusTestSlave.h"
#include "support/PortLink.h"
#include "support/TestEnvironment.h"

#include <QFile>
#include <QTest>

#include <array>
#include <fcntl.h>
#include <unistd.h>

namespace {

enum TSetter { Baud, Parity, DataBits, StopBits };

constexpr int ComA = 3;
constexpr int ComB = 4;
constexpr quint16 ValueA = 0xAAAA;
constexpr quint16 ValueB = 0xBBBB;

const TMbusSerialMasterProtocol &SerialInner(const TSyncMBus &bus)
{
    return dynamic_cast<const TMbusSerialMasterProtocol &>(bus.Inner());
}

// The value register 1 holds on the slave the bus is connected to.
quint16 FirstRegister(TSyncMBus &bus)
{
    std::array<quint16, 1> regs{};
    bus.ReadMultipleRegisters(1, 1, regs);
    return regs[0];
}

int LineRate(const QString &device)
{
    const int fd = ::open(QFile::encodeName(device).constData(), O_RDWR | O_NOCTTY);
    const int rate = Termios2::GetBaud(fd);
    ::close(fd);
    return rate;
}

} // namespace

class TestSyncMbus : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();

    void settersStoreInnerSettings_data();
    void settersStoreInnerSettings();
    void comPortOfClosedBusOnlyStores();
    void openAppliesStoredSettings();
    void comPortChangeReopens();
    void kindChangeReopensWithDefaultTimeout();
    void tcpPortChangeReopens();

private:
    TModbusTestSlave rtuA_;
    TModbusTestSlave rtuB_;
    TModbusTestSlave tcpA_;
    TModbusTestSlave tcpB_;
};

void TestSyncMbus::initTestCase()
{
    QVERIFY(rtuA_.StartRtu());
    QVERIFY(rtuB_.StartRtu());
    QVERIFY(tcpA_.StartTcp());
    QVERIFY(tcpB_.StartTcp());
    rtuA_.SetRegister(0, ValueA);
    tcpA_.SetRegister(0, ValueA);
    rtuB_.SetRegister(0, ValueB);
    tcpB_.SetRegister(0, ValueB);
    QVERIFY(LinkComPort(ComA, rtuA_.Device()));
    QVERIFY(LinkComPort(ComB, rtuB_.Device()));
}

void TestSyncMbus::settersStoreInnerSettings_data()
{
    QTest::addColumn<int>("setter");
    QTest::addColumn<int>("code");
    QTest::addColumn<int>("expected");
    // Before each row: 19200 bit/s, odd parity, 7 data bits, 2 stop bits.
    QTest::newRow("baud 12") << int(Baud) << 12 << 115200;
    QTest::newRow("baud 14") << int(Baud) << 14 << 256000;
    QTest::newRow("baud 15 custom") << int(Baud) << 15 << 9600;
    QTest::newRow("baud 0x86 masked to 6") << int(Baud) << 0x86 << 9600;
    QTest::newRow("baud 16 no rate") << int(Baud) << 16 << 19200;
    QTest::newRow("parity even") << int(Parity) << 2 << 2;
    QTest::newRow("parity mark") << int(Parity) << 3 << 1;
    QTest::newRow("data bits 8") << int(DataBits) << 4 << 8;
    QTest::newRow("data bits 6") << int(DataBits) << 2 << 7;
    QTest::newRow("stop bits 1") << int(StopBits) << 0 << 1;
    QTest::newRow("stop bits 1.5") << int(StopBits) << 1 << 2;
}

void TestSyncMbus::settersStoreInnerSettings()
{
    QFETCH(int, setter);
    QFETCH(int, code);
    QFETCH(int, expected);
    TSyncMBus bus;
    bus.SetBaudRate(8);
    bus.SetParity(1);
    bus.SetDataBits(3);
    bus.SetStopBits(2);
    const auto c = static_cast<quint8>(code);
    const TMbusSerialMasterProtocol &inner = SerialInner(bus);
    switch (setter) {
    case Baud:
        bus.SetBaudRate(c);
        QCOMPARE(bus.BaudCode(), c);
        QCOMPARE(inner.baudRate, expected);
        break;
    case Parity:
        bus.SetParity(c);
        QCOMPARE(bus.ParityCode(), c);
        QCOMPARE(inner.parity, expected);
        break;
    case DataBits:
        bus.SetDataBits(c);
        QCOMPARE(inner.dataBits, expected);
        break;
    case StopBits:
        bus.SetStopBits(c);
        QCOMPARE(inner.stopBits, expected);
        break;
    }
    QVERIFY(!bus.IsOpen());
}

void TestSyncMbus::comPortOfClosedBusOnlyStores()
{
    TSyncMBus bus;
    bus.SetComPort(ComA);
    QCOMPARE(bus.PortNo(), quint8(ComA));
    QCOMPARE(SerialInner(bus).portName, QStringLiteral("\\\\.\\COM3"));
    QVERIFY(!bus.IsOpen());
    bus.SetCustomBaud(56000);
    bus.SetBaudRate(TSyncMBus::CustomBaudCode);
    QCOMPARE(SerialInner(bus).baudRate, 56000);
}

void TestSyncMbus::openAppliesStoredSettings()
{
    TSyncMBus bus;
    bus.SetComPort(ComA);
    bus.SetBaudRate(7);  // 14400: no termios constant
    bus.Open();
    QCOMPARE(LineRate(rtuA_.Device()), 14400);
    QCOMPARE(FirstRegister(bus), ValueA);
    // A new rate waits for the next Open.
    bus.SetBaudRate(12);
    QCOMPARE(LineRate(rtuA_.Device()), 14400);
    bus.Open();
    QCOMPARE(LineRate(rtuA_.Device()), 115200);
    QCOMPARE(FirstRegister(bus), ValueA);
}

void TestSyncMbus::comPortChangeReopens()
{
    TSyncMBus bus;
    bus.SetComPort(ComA);
    bus.Open();
    QCOMPARE(FirstRegister(bus), ValueA);
    bus.SetComPort(ComB);
    QVERIFY(bus.IsOpen());
    QCOMPARE(FirstRegister(bus), ValueB);
}

void TestSyncMbus::kindChangeReopensWithDefaultTimeout()
{
    TSyncMBus bus;
    bus.SetComPort(ComA);
    bus.SetProtocolKind(TSyncMBus::KindTcp);
    bus.SetHostName(QStringLiteral("127.0.0.1"));
    bus.SetTcpPort(tcpB_.Port());
    bus.Open();
    bus.setTimeout(300);
    QCOMPARE(FirstRegister(bus), ValueB);

    bus.SetProtocolKind(TSyncMBus::KindTcp);
    bus.SetProtocolKind(7);
    QVERIFY(bus.IsOpen());
    QCOMPARE(bus.Kind(), quint8(TSyncMBus::KindTcp));
    QCOMPARE(bus.timeout(), 300);

    bus.SetProtocolKind(TSyncMBus::KindRtu);
    QVERIFY(bus.IsOpen());
    QCOMPARE(bus.timeout(), MbusDefaultTimeoutMs);
    QCOMPARE(FirstRegister(bus), ValueA);
}

void TestSyncMbus::tcpPortChangeReopens()
{
    TSyncMBus bus;
    bus.SetProtocolKind(TSyncMBus::KindTcp);
    bus.SetTcpPort(tcpA_.Port());
    bus.Open();
    QCOMPARE(FirstRegister(bus), ValueA);
    bus.SetTcpPort(tcpB_.Port());
    QVERIFY(bus.IsOpen());
    QCOMPARE(FirstRegister(bus), ValueB);
    bus.Close();
    QVERIFY(!bus.IsOpen());
}

PELINOR_TEST_MAIN(TestSyncMbus)
#include "test_uSyncMbus.moc"
