// The Modbus master library and its class layer against slaves that are not
// ours: pymodbus over TCP, RTU and ASCII, and a libmodbus slave for the
// replies pymodbus cannot give.
#include "transport/BusProtocolExceptions.h"
#include "transport/uMbusMasterFunctions.h"
#include "transport/uTermios2.h"

#include "support/MockClock.h"
#include "support/ModbusTestSlave.h"
#include "support/PortLink.h"
#include "support/PyModbusSlave.h"
#include "support/TestEnvironment.h"

#include <QElapsedTimer>
#include <QTest>

#include <arpa/inet.h>
#include <fcntl.h>
#include <linux/capability.h>
#include <memory>
#include <netinet/in.h>
#include <sys/file.h>
#include <sys/socket.h>
#include <sys/syscall.h>
#include <unistd.h>
#include <vector>

namespace {

enum TKind { Tcp, Rtu, Ascii };

constexpr int RtuComNo = 5;
constexpr int AsciiComNo = 6;
constexpr int Slave = 1;
constexpr int SilentSlave = 7;
// pymodbus starts register at protocol address a with this plus a.
constexpr quint16 InitialValueBase = 0x1000;

// Runs call and returns the text of the exception it raised as E; fails the
// test when it raised nothing or something else.
template <typename E, typename Call>
QString RaisedText(Call call)
{
    try {
        call();
    } catch (const E &e) {
        return e.Message();
    } catch (const Exception &e) {
        return QStringLiteral("wrong class: ") + e.Message();
    }
    return QStringLiteral("nothing raised");
}

// While it lives, this thread goes without the administrator's right to open
// a device another holder flagged exclusive, as every ordinary user does.
class TWithoutAdminRight {
public:
    TWithoutAdminRight() { Change(false); }
    ~TWithoutAdminRight() { Change(true); }
    TWithoutAdminRight(const TWithoutAdminRight &) = delete;
    TWithoutAdminRight &operator=(const TWithoutAdminRight &) = delete;

private:
    static void Change(bool on)
    {
        __user_cap_header_struct header{_LINUX_CAPABILITY_VERSION_3, 0};
        __user_cap_data_struct data[_LINUX_CAPABILITY_U32S_3]{};
        if (syscall(SYS_capget, &header, data) != 0)
            return;
        __user_cap_data_struct &word = data[CAP_SYS_ADMIN / 32];
        const __u32 bit = 1u << (CAP_SYS_ADMIN % 32);
        word.effective = on ? word.effective | (word.permitted & bit) : word.effective & ~bit;
        syscall(SYS_capset, &header, data);
    }
};

} // namespace

class TestMbusMaster : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void cleanupTestCase();

    void readsRegisters_data() { AddKinds(); }
    void readsRegisters();
    void writesRegisters_data() { AddKinds(); }
    void writesRegisters();
    void longIntsCarryLowWordFirst_data() { AddKinds(); }
    void longIntsCarryLowWordFirst();
    void exceptionReplies_data();
    void exceptionReplies();
    void silenceIsReplyTimeout_data() { AddKinds(); }
    void silenceIsReplyTimeout();

    void closedPeerIsConnectionClosed();
    void refusedConnectionIsConnectError();
    void callOnClosedProtocolIsIllegalState();
    void exceptionCodesAboveFourAreExceptionResponses_data();
    void exceptionCodesAboveFourAreExceptionResponses();
    void portHeldByAnotherProgramIsOpenError();
    void portHeldByAnotherMasterIsOpenError();
    void rateWithoutTermiosConstantReachesTheLine();
    void missingPortIsOpenError();
    void retriesRepeatUnansweredRequests();
    void pollDelaySpacesTransactions();
    void bigEndianIntsPutHighWordFirst();

private:
    static void AddKinds();
    std::unique_ptr<TMbusMasterFunctions> Open(int kind);
    std::unique_ptr<TMbusRtuMasterProtocol> RtuOn(int comNo, int baudRate);

    TPyModbusSlave tcpSlave_;
    TPyModbusSlave rtuSlave_;
    TPyModbusSlave asciiSlave_;
};

void TestMbusMaster::initTestCase()
{
    QVERIFY2(tcpSlave_.Start(TPyModbusSlave::TMode::Tcp), qPrintable(tcpSlave_.Error()));
    QVERIFY2(rtuSlave_.Start(TPyModbusSlave::TMode::Rtu), qPrintable(rtuSlave_.Error()));
    QVERIFY2(asciiSlave_.Start(TPyModbusSlave::TMode::Ascii), qPrintable(asciiSlave_.Error()));
    QVERIFY(LinkComPort(RtuComNo, rtuSlave_.Device()));
    QVERIFY(LinkComPort(AsciiComNo, asciiSlave_.Device()));
}

void TestMbusMaster::cleanupTestCase()
{
    tcpSlave_.Stop();
    rtuSlave_.Stop();
    asciiSlave_.Stop();
}

void TestMbusMaster::AddKinds()
{
    QTest::addColumn<int>("kind");
    QTest::newRow("tcp") << int(Tcp);
    QTest::newRow("rtu") << int(Rtu);
    QTest::newRow("ascii") << int(Ascii);
}

std::unique_ptr<TMbusRtuMasterProtocol> TestMbusMaster::RtuOn(int comNo, int baudRate)
{
    auto rtu = std::make_unique<TMbusRtuMasterProtocol>();
    rtu->portName = QStringLiteral("\\\\.\\COM%1").arg(comNo);
    rtu->baudRate = baudRate;
    return rtu;
}

std::unique_ptr<TMbusMasterFunctions> TestMbusMaster::Open(int kind)
{
    std::unique_ptr<TMbusMasterFunctions> master;
    if (kind == Tcp) {
        auto tcp = std::make_unique<TMbusTcpMasterProtocol>();
        tcp->setPort(tcpSlave_.Port());
        master = std::move(tcp);
    } else if (kind == Rtu) {
        master = RtuOn(RtuComNo, 9600);
    } else {
        auto ascii = std::make_unique<TMbusAsciiMasterProtocol>();
        ascii->portName = QStringLiteral("\\\\.\\COM%1").arg(AsciiComNo);
        master = std::move(ascii);
    }
    master->openProtocol();
    return master;
}

void TestMbusMaster::readsRegisters()
{
    QFETCH(int, kind);
    auto master = Open(kind);
    QVERIFY(master->isOpen());
    std::vector<quint16> regs(5);
    // Reference 101 is protocol address 100.
    master->readMultipleRegisters(Slave, 101, regs);
    for (int i = 0; i < 5; ++i)
        QCOMPARE(regs[static_cast<size_t>(i)], quint16(InitialValueBase + 100 + i));
}

void TestMbusMaster::writesRegisters()
{
    QFETCH(int, kind);
    auto master = Open(kind);
    master->writeSingleRegister(Slave, 11, 0xBEEF);
    const std::vector<quint16> values = {1, 0x8000, 0xFFFF};
    master->writeMultipleRegisters(Slave, 21, values);

    std::vector<quint16> single(1);
    master->readMultipleRegisters(Slave, 11, single);
    QCOMPARE(single[0], quint16(0xBEEF));
    std::vector<quint16> multiple(3);
    master->readMultipleRegisters(Slave, 21, multiple);
    QCOMPARE(multiple, values);
}

void TestMbusMaster::longIntsCarryLowWordFirst()
{
    QFETCH(int, kind);
    auto master = Open(kind);
    const std::vector<qint32> values = {0x12345678, -2};
    master->writeMultipleLongInts(Slave, 31, values);

    std::vector<quint16> regs(4);
    master->readMultipleRegisters(Slave, 31, regs);
    QCOMPARE(regs, (std::vector<quint16>{0x5678, 0x1234, 0xFFFE, 0xFFFF}));
    std::vector<qint32> back(2);
    master->readMultipleLongInts(Slave, 31, back);
    QCOMPARE(back, values);
}

void TestMbusMaster::exceptionReplies_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<int>("reference");
    QTest::addColumn<QString>("text");
    const char *const names[] = {"tcp", "rtu", "ascii"};
    for (int kind : {Tcp, Rtu, Ascii}) {
        // Past the slave's registers: exception 2.
        QTest::addRow("%s illegal address", names[kind])
            << kind << 301 << QStringLiteral("Illegal Data Address exception response");
        // The slave's datastore fails there: exception 4.
        QTest::addRow("%s slave failure", names[kind])
            << kind << 501 << QStringLiteral("Slave Device Failure exception response");
    }
}

void TestMbusMaster::exceptionReplies()
{
    QFETCH(int, kind);
    QFETCH(int, reference);
    QFETCH(QString, text);
    auto master = Open(kind);
    std::vector<quint16> regs(1);
    QCOMPARE(RaisedText<EMbusResponseException>([&] { master->readMultipleRegisters(Slave, reference, regs); }),
             text);
    // The line stays usable after an exception reply.
    master->readMultipleRegisters(Slave, 1, regs);
    QCOMPARE(regs[0], InitialValueBase);
}

void TestMbusMaster::silenceIsReplyTimeout()
{
    QFETCH(int, kind);
    constexpr int TimeoutMs = 300;
    auto master = Open(kind);
    master->setTimeout(TimeoutMs);
    QCOMPARE(master->timeout(), TimeoutMs);
    std::vector<quint16> regs(1);
    QElapsedTimer timer;
    timer.start();
    QCOMPARE(RaisedText<EReplyTimeoutException>([&] { master->readMultipleRegisters(SilentSlave, 1, regs); }),
             QStringLiteral("Reply time-out"));
    QVERIFY2(timer.elapsed() >= TimeoutMs - 50, qPrintable(QString::number(timer.elapsed())));
    QVERIFY2(timer.elapsed() < 10 * TimeoutMs, qPrintable(QString::number(timer.elapsed())));
}

void TestMbusMaster::closedPeerIsConnectionClosed()
{
    auto master = Open(Tcp);
    std::vector<quint16> regs(1);
    master->readMultipleRegisters(Slave, 1, regs);
    QVERIFY(tcpSlave_.Command(QStringLiteral("drop")));
    QCOMPARE(RaisedText<EConnectionWasClosed>([&] { master->readMultipleRegisters(Slave, 1, regs); }),
             QStringLiteral("TCP/IP connection was closed by remote peer"));
    QVERIFY(!master->isOpen());
    master->openProtocol();
    master->readMultipleRegisters(Slave, 1, regs);
}

void TestMbusMaster::refusedConnectionIsConnectError()
{
    // A bound socket that does not listen refuses connections, and nobody
    // else can take its port meanwhile.
    const int fd = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    QCOMPARE(bind(fd, reinterpret_cast<sockaddr *>(&addr), sizeof addr), 0);
    socklen_t len = sizeof addr;
    getsockname(fd, reinterpret_cast<sockaddr *>(&addr), &len);

    TMbusTcpMasterProtocol tcp;
    tcp.setPort(ntohs(addr.sin_port));
    QCOMPARE(tcp.port(), ntohs(addr.sin_port));
    QCOMPARE(RaisedText<ETcpipConnectErr>([&] { tcp.openProtocol(); }), QStringLiteral("TCP/IP connection error"));
    QVERIFY(!tcp.isOpen());
    ::close(fd);
}

void TestMbusMaster::callOnClosedProtocolIsIllegalState()
{
    TMbusRtuMasterProtocol rtu;
    std::vector<quint16> regs(1);
    QCOMPARE(RaisedText<EInvalidOperation>([&] { rtu.readMultipleRegisters(Slave, 1, regs); }),
             QStringLiteral("Illegal state error"));
    // Reference 0 names no register.
    auto master = Open(Tcp);
    QCOMPARE(RaisedText<ERangeError>([&] { master->readMultipleRegisters(Slave, 0, regs); }),
             QStringLiteral("Illegal argument error"));
}

void TestMbusMaster::exceptionCodesAboveFourAreExceptionResponses_data()
{
    QTest::addColumn<int>("code");
    QTest::newRow("acknowledge") << 5;
    QTest::newRow("busy") << 6;
    QTest::newRow("gateway target") << 11;
}

void TestMbusMaster::exceptionCodesAboveFourAreExceptionResponses()
{
    QFETCH(int, code);
    TModbusTestSlave slave;
    slave.SetHandler([code](const TModbusTestSlave::TRequest &) { return code; });
    QVERIFY(slave.StartTcp());
    TMbusTcpMasterProtocol tcp;
    tcp.setPort(slave.Port());
    tcp.openProtocol();
    std::vector<quint16> regs(1);
    try {
        tcp.readMultipleRegisters(Slave, 1, regs);
        QFAIL("no exception reply raised");
    } catch (const EMbusResponseException &e) {
        QCOMPARE(e.Message(), QStringLiteral("Modbus exception response"));
        QVERIFY(dynamic_cast<const EMbusIllegalFunctionException *>(&e) == nullptr);
    }
}

void TestMbusMaster::portHeldByAnotherProgramIsOpenError()
{
    const int fd = ::open(QFile::encodeName(rtuSlave_.Device()).constData(), O_RDWR | O_NOCTTY);
    QVERIFY(fd >= 0);
    QCOMPARE(flock(fd, LOCK_EX | LOCK_NB), 0);
    auto rtu = RtuOn(RtuComNo, 9600);
    QCOMPARE(RaisedText<EOpenErr>([&] { rtu->openProtocol(); }), QStringLiteral("Port or socket open error"));
    ::close(fd);
    rtu->openProtocol();
    QVERIFY(rtu->isOpen());
}

void TestMbusMaster::portHeldByAnotherMasterIsOpenError()
{
    auto first = RtuOn(RtuComNo, 9600);
    first->openProtocol();
    QVERIFY(first->isOpen());
    // The first master's exclusive flag refuses the second open before any
    // lock is tried; that is the same port in use.
    TWithoutAdminRight asUser;
    auto second = RtuOn(RtuComNo, 9600);
    QCOMPARE(RaisedText<EOpenErr>([&] { second->openProtocol(); }), QStringLiteral("Port or socket open error"));
    QVERIFY(!second->isOpen());
}

void TestMbusMaster::rateWithoutTermiosConstantReachesTheLine()
{
    constexpr int BitRate = 56000;
    auto rtu = RtuOn(RtuComNo, BitRate);
    rtu->openProtocol();
    const int fd = ::open(QFile::encodeName(rtuSlave_.Device()).constData(), O_RDWR | O_NOCTTY);
    QVERIFY(fd >= 0);
    QCOMPARE(Termios2::GetBaud(fd), BitRate);
    ::close(fd);
    std::vector<quint16> regs(1);
    rtu->readMultipleRegisters(Slave, 1, regs);
    QCOMPARE(regs[0], InitialValueBase);
}

void TestMbusMaster::missingPortIsOpenError()
{
    auto rtu = RtuOn(200, 9600);
    // No link and no such system device.
    QCOMPARE(RaisedText<EOpenErr>([&] { rtu->openProtocol(); }), QStringLiteral("Port or socket open error"));
}

void TestMbusMaster::retriesRepeatUnansweredRequests()
{
    TModbusTestSlave slave;
    slave.SetHandler([](const TModbusTestSlave::TRequest &) { return TModbusTestSlave::StaySilent; });
    QVERIFY(slave.StartTcp());
    TMbusTcpMasterProtocol tcp;
    tcp.setPort(slave.Port());
    tcp.setTimeout(100);
    tcp.setRetryCnt(2);
    QCOMPARE(tcp.retryCnt(), 2);
    tcp.openProtocol();
    std::vector<quint16> regs(1);
    QCOMPARE(RaisedText<EReplyTimeoutException>([&] { tcp.readMultipleRegisters(Slave, 1, regs); }),
             QStringLiteral("Reply time-out"));
    QCOMPARE(slave.Requests().size(), 3);
    // An exception reply is an answer: no repeat.
    slave.ClearRequests();
    slave.SetHandler([](const TModbusTestSlave::TRequest &) { return 2; });
    QVERIFY_THROWS_EXCEPTION(EMbusIllegalAddressException, tcp.readMultipleRegisters(Slave, 1, regs));
    QCOMPARE(slave.Requests().size(), 1);
}

void TestMbusMaster::pollDelaySpacesTransactions()
{
    TMockClock clock;
    auto master = Open(Tcp);
    master->setPollDelay(50);
    QCOMPARE(master->pollDelay(), 50);
    std::vector<quint16> regs(1);
    master->readMultipleRegisters(Slave, 1, regs);
    clock.Advance(20);
    master->readMultipleRegisters(Slave, 1, regs);
    QCOMPARE(clock.Waits(), (QList<int>{30}));
}

void TestMbusMaster::bigEndianIntsPutHighWordFirst()
{
    auto master = Open(Tcp);
    master->setBigEndianInts(true);
    QVERIFY(master->bigEndianInts());
    const std::vector<qint32> values = {0x12345678};
    master->writeMultipleLongInts(Slave, 41, values);
    std::vector<quint16> regs(2);
    master->readMultipleRegisters(Slave, 41, regs);
    QCOMPARE(regs, (std::vector<quint16>{0x1234, 0x5678}));
}

PELINOR_TEST_MAIN(TestMbusMaster)
#include "test_uMbusMaster.moc"
