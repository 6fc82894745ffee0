#include "transport/uSyncRS.h"

#include "support/PortLink.h"
#include "support/PtyPair.h"
#include "support/RaisedText.h"
#include "support/TestEnvironment.h"
#include "transport/uTermiosCodes.h"

#include <QElapsedTimer>
#include <QTest>

#include <functional>

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

using TPortAction = std::function<void(TSyncRS &)>;
Q_DECLARE_METATYPE(TCommTimeouts)
Q_DECLARE_METATYPE(TPortAction)

namespace {

constexpr int PortA = 5;
constexpr int PortB = 6;
constexpr int MissingPort = 7;
// Far beyond any read that should return at once.
constexpr quint32 LongTimeoutMs = 20000;
constexpr qint64 PromptMs = 10000;
constexpr int MasterWaitMs = 2000;

QByteArray EveryByteValue()
{
    QByteArray bytes(256, '\0');
    for (int i = 0; i < 256; ++i)
        bytes[i] = static_cast<char>(i);
    return bytes;
}

// A descriptor of its own on a device, holding the same lock another program
// would take.
class TForeignLock {
public:
    explicit TForeignLock(const QString &path)
        : fd_(::open(QFile::encodeName(path).constData(), O_RDWR | O_NOCTTY | O_NONBLOCK))
    {
        locked_ = fd_ >= 0 && flock(fd_, LOCK_EX | LOCK_NB) == 0;
    }
    ~TForeignLock()
    {
        if (fd_ >= 0)
            ::close(fd_);
    }
    bool Locked() const { return locked_; }

private:
    int fd_;
    bool locked_ = false;
};

} // namespace

class TestSyncRS : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init();
    void loopbackPassesEveryByteValue();
    void readTimeouts_data();
    void readTimeouts();
    void baudShowsOnOpenPort_data();
    void baudShowsOnOpenPort();
    void framingShowsOnOpenPort_data();
    void framingShowsOnOpenPort();
    void settingsMadeWhileClosedApplyAtOpen();
    void parityAndDataBitCodes_data();
    void parityAndDataBitCodes();
    void checkComPortStates();
    void openFailures();
    void setPortReopensOnlyAnOpenPort();
    void bufferLimitTexts_data();
    void bufferLimitTexts();
    void writeThatCannotFinishIsAnError();
    void baudRateValues();

private:
    std::unique_ptr<TPtyPair> a_;
    std::unique_ptr<TPtyPair> b_;
};

void TestSyncRS::init()
{
    TestEnvironment::MaskSystemPorts();
    a_ = std::make_unique<TPtyPair>();
    b_ = std::make_unique<TPtyPair>();
    QVERIFY2(a_->IsValid(), qPrintable(a_->Error()));
    QVERIFY2(b_->IsValid(), qPrintable(b_->Error()));
    QVERIFY(a_->LinkAs(PortA));
    QVERIFY(b_->LinkAs(PortB));
}

void TestSyncRS::loopbackPassesEveryByteValue()
{
    const QByteArray all = EveryByteValue();
    TSyncRS port;
    port.SetPort(PortA);
    QVERIFY(!port.IsOpen());

    port.WriteBytes(all, all.size()); // opens the port on the way
    QVERIFY(port.IsOpen());
    QCOMPARE(port.SendCount(), 256);
    QCOMPARE(a_->ReadMaster(256, MasterWaitMs), all);

    port.WriteString(all);
    QCOMPARE(a_->ReadMaster(256, MasterWaitMs), all);

    QVERIFY(a_->WriteMaster(all));
    QByteArray text;
    int got = 0;
    port.ReadString(256, text, got);
    QCOMPARE(got, 256);
    QCOMPARE(port.RecvCount(), 256);
    QCOMPARE(text, all);
    // Nothing echoed back or added by the line.
    QCOMPARE(a_->ReadMaster(1, 50), QByteArray());
}

void TestSyncRS::readTimeouts_data()
{
    QTest::addColumn<TCommTimeouts>("timeouts");
    QTest::addColumn<QByteArray>("pending");
    QTest::addColumn<int>("count");
    QTest::addColumn<QByteArray>("expected");
    QTest::addColumn<qint64>("minMs");
    QTest::addColumn<qint64>("maxMs");

    const TCommTimeouts defaults;
    const TCommTimeouts longTotal {MaxDword, 0, LongTimeoutMs, 0, 3000};
    const TCommTimeouts interval {50, 0, LongTimeoutMs, 0, 3000};
    const TCommTimeouts immediate {MaxDword, 0, 0, 0, 3000};
    const TCommTimeouts firstByte {MaxDword, MaxDword, LongTimeoutMs, 0, 3000};
    QTest::newRow("all bytes in: at once")
        << longTotal << QByteArray("abc") << 3 << QByteArray("abc") << 0LL << PromptMs;
    QTest::newRow("nothing: empty after the time-out")
        << defaults << QByteArray() << 1 << QByteArray() << 90LL << PromptMs;
    QTest::newRow("fewer: what came, after the time-out")
        << defaults << QByteArray("ab") << 5 << QByteArray("ab") << 90LL << PromptMs;
    QTest::newRow("gap ends the read") << interval << QByteArray("ab") << 5 << QByteArray("ab") << 40LL << PromptMs;
    QTest::newRow("immediate mode") << immediate << QByteArray("ab") << 5 << QByteArray("ab") << 0LL << PromptMs;
    QTest::newRow("immediate mode, nothing") << immediate << QByteArray() << 5 << QByteArray() << 0LL << PromptMs;
    QTest::newRow("first byte ends") << firstByte << QByteArray("ab") << 5 << QByteArray("ab") << 0LL << PromptMs;
    QTest::newRow("count 0") << defaults << QByteArray("ab") << 0 << QByteArray() << 0LL << PromptMs;
}

void TestSyncRS::readTimeouts()
{
    QFETCH(TCommTimeouts, timeouts);
    QFETCH(QByteArray, pending);
    QFETCH(int, count);
    QFETCH(QByteArray, expected);
    QFETCH(qint64, minMs);
    QFETCH(qint64, maxMs);
    TSyncRS port;
    port.SetPort(PortA);
    port.SetTimeouts(timeouts);
    port.Open();
    QVERIFY(a_->WriteMaster(pending));
    QVERIFY(a_->WaitSlaveInput(int(pending.size()), MasterWaitMs));

    QElapsedTimer timer;
    timer.start();
    QByteArray text = "stale";
    int got = -1;
    port.ReadString(count, text, got);
    const qint64 elapsed = timer.elapsed();
    QCOMPARE(text, expected);
    QCOMPARE(got, int(expected.size()));
    QVERIFY2(elapsed >= minMs && elapsed < maxMs, qPrintable(QString::number(elapsed)));
}

void TestSyncRS::baudShowsOnOpenPort_data()
{
    QTest::addColumn<int>("code");
    QTest::addColumn<int>("rate");
    for (int code = 0; code <= 14; ++code)
        QTest::addRow("code %d", code) << code << BaudRateValue(code);
    QTest::newRow("custom") << int(brCustom) << 250000;
}

void TestSyncRS::baudShowsOnOpenPort()
{
    QFETCH(int, code);
    QFETCH(int, rate);
    TSyncRS port;
    port.SetPort(PortA);
    port.SetBaudRate(br1200);
    port.Open();
    QCOMPARE(a_->SlaveBaud(), 1200);
    if (code == brCustom)
        port.SetCustomBaud(rate);
    port.SetBaudRate(code);
    QCOMPARE(a_->SlaveBaud(), rate);
    QCOMPARE(port.ActualBaudRate(), rate);
    // A code beyond the table is kept but leaves the line alone.
    port.SetBaudRate(16);
    QCOMPARE(port.BaudCode(), 16);
    QCOMPARE(a_->SlaveBaud(), rate);
}

void TestSyncRS::framingShowsOnOpenPort_data()
{
    // A pseudo-terminal always reports 8 data bits and no PARENB; what else a
    // setting writes shows through.
    QTest::addColumn<QString>("setting");
    QTest::addColumn<int>("code");
    QTest::addColumn<uint>("cflagMask");
    QTest::addColumn<uint>("cflag");
    QTest::addColumn<uint>("iflagMask");
    QTest::addColumn<uint>("iflag");
    const uint parity = PARODD | CMSPAR;
    const uint flowIn = IXON | IXOFF | IXANY;
    QTest::newRow("parity odd") << "parity" << 1 << parity << uint(PARODD) << 0u << 0u;
    QTest::newRow("parity mark") << "parity" << 3 << parity << uint(PARODD | CMSPAR) << 0u << 0u;
    QTest::newRow("parity space") << "parity" << 4 << parity << uint(CMSPAR) << 0u << 0u;
    QTest::newRow("parity none") << "parity" << 0 << parity << 0u << 0u << 0u;
    QTest::newRow("two stop bits") << "stop" << 2 << uint(CSTOPB) << uint(CSTOPB) << 0u << 0u;
    QTest::newRow("one stop bit") << "stop" << 0 << uint(CSTOPB) << 0u << 0u << 0u;
    QTest::newRow("XON/XOFF") << "flow" << 1 << uint(CRTSCTS) << 0u << flowIn << uint(IXON | IXOFF);
    QTest::newRow("RTS/CTS") << "flow" << 2 << uint(CRTSCTS) << uint(CRTSCTS) << flowIn << 0u;
    QTest::newRow("DTR/DSR: no handshake") << "flow" << 3 << uint(CRTSCTS) << 0u << flowIn << 0u;
    QTest::newRow("no handshake") << "flow" << 0 << uint(CRTSCTS) << 0u << flowIn << 0u;
}

void TestSyncRS::framingShowsOnOpenPort()
{
    QFETCH(QString, setting);
    QFETCH(int, code);
    QFETCH(uint, cflagMask);
    QFETCH(uint, cflag);
    QFETCH(uint, iflagMask);
    QFETCH(uint, iflag);
    TSyncRS port;
    port.SetPort(PortA);
    // Start from the opposite of what the row expects.
    port.SetParity(code == 0 ? 3 : 0);
    port.SetStopBits(code == 0 ? 2 : 0);
    port.SetFlowControl(code == 0 ? 2 : 0);
    port.Open();
    if (setting == QLatin1String("parity"))
        port.SetParity(code);
    else if (setting == QLatin1String("stop"))
        port.SetStopBits(code);
    else
        port.SetFlowControl(code);
    const termios t = a_->SlaveTermios();
    QCOMPARE(uint(t.c_cflag) & cflagMask, cflag);
    QCOMPARE(uint(t.c_iflag) & iflagMask, iflag);
}

void TestSyncRS::settingsMadeWhileClosedApplyAtOpen()
{
    const int before = a_->SlaveBaud();
    TSyncRS port;
    port.SetPort(PortA);
    port.SetBaudRate(br14400);
    port.SetStopBits(2);
    port.SetFlowControl(2);
    QCOMPARE(a_->SlaveBaud(), before); // nothing touched while closed
    port.Open();
    const termios t = a_->SlaveTermios();
    QCOMPARE(a_->SlaveBaud(), 14400);
    QVERIFY(t.c_cflag & CSTOPB);
    QVERIFY(t.c_cflag & CRTSCTS);
    // Raw line: no cooking in either direction.
    QCOMPARE(t.c_lflag & (ICANON | ECHO | ISIG | IEXTEN), tcflag_t(0));
    QCOMPARE(t.c_iflag & (ICRNL | INLCR | IGNCR | ISTRIP | IXON | IXOFF | INPCK | IGNPAR), tcflag_t(0));
    QCOMPARE(t.c_oflag & OPOST, tcflag_t(0));
}

void TestSyncRS::parityAndDataBitCodes_data()
{
    QTest::addColumn<QString>("setting");
    QTest::addColumn<int>("code");
    QTest::addColumn<bool>("taken");
    QTest::addColumn<uint>("mask");
    QTest::addColumn<uint>("cflag");
    const uint parity = PARENB | PARODD | CMSPAR;
    QTest::newRow("none") << "parity" << 0 << true << parity << 0u;
    QTest::newRow("odd") << "parity" << 1 << true << parity << uint(PARENB | PARODD);
    QTest::newRow("even") << "parity" << 2 << true << parity << uint(PARENB);
    QTest::newRow("mark") << "parity" << 3 << true << parity << uint(PARENB | PARODD | CMSPAR);
    QTest::newRow("space") << "parity" << 4 << true << parity << uint(PARENB | CMSPAR);
    QTest::newRow("parity 5 unchanged") << "parity" << 5 << false << parity << uint(PARENB | PARODD);
    QTest::newRow("4 data bits unchanged") << "data" << 0 << false << uint(CSIZE) << uint(CS7);
    QTest::newRow("5 data bits") << "data" << 1 << true << uint(CSIZE) << uint(CS5);
    QTest::newRow("8 data bits") << "data" << 4 << true << uint(CSIZE) << uint(CS8);
    QTest::newRow("data 5 unchanged") << "data" << 5 << false << uint(CSIZE) << uint(CS7);
}

void TestSyncRS::parityAndDataBitCodes()
{
    QFETCH(QString, setting);
    QFETCH(int, code);
    QFETCH(bool, taken);
    QFETCH(uint, mask);
    QFETCH(uint, cflag);
    termios t {};
    t.c_cflag = PARENB | PARODD | CS7;
    const bool result = setting == QLatin1String("parity") ? TermiosCodes::ApplyParity(t, code)
                                                           : TermiosCodes::ApplyDataBits(t, code);
    QCOMPARE(result, taken);
    QCOMPARE(uint(t.c_cflag) & mask, cflag);
}

void TestSyncRS::checkComPortStates()
{
    QCOMPARE(CheckComPort(MissingPort), int(cpsAbsent));
    QCOMPARE(CheckComPort(0), int(cpsAbsent));
    QCOMPARE(CheckComPort(PortA), int(cpsFree));
    {
        TForeignLock lock(a_->SlavePath());
        QVERIFY(lock.Locked());
        QCOMPARE(CheckComPort(PortA), int(cpsBusy));
    }
    QCOMPARE(CheckComPort(PortA), int(cpsFree));
    TSyncRS port;
    port.SetPort(PortA);
    port.Open();
    QCOMPARE(CheckComPort(PortA), int(cpsBusy));
    port.Close();
    QCOMPARE(CheckComPort(PortA), int(cpsFree));
    // A device that is not a serial line is no port.
    QVERIFY(LinkComPort(8, QStringLiteral("/dev/null")));
    QCOMPARE(CheckComPort(8), int(cpsAbsent));
}

void TestSyncRS::openFailures()
{
    TSyncRS missing;
    missing.SetPort(MissingPort);
    QCOMPARE(RaisedText([&] { missing.Open(); }), QStringLiteral("TSyncRS: open COM7 failed!"));
    QVERIFY(!missing.IsOpen());

    TForeignLock lock(b_->SlavePath());
    QVERIFY(lock.Locked());
    TSyncRS locked;
    locked.SetPort(PortB);
    QCOMPARE(RaisedText([&] { locked.Open(); }), QStringLiteral("TSyncRS: open COM6 failed!"));
    QVERIFY(!locked.IsOpen());

    TSyncRS first;
    TSyncRS second;
    first.SetPort(PortA);
    second.SetPort(PortA);
    first.Open();
    QCOMPARE(RaisedText([&] { second.WriteString("x"); }), QStringLiteral("TSyncRS: open COM5 failed!"));
    QVERIFY(first.IsOpen());
    QVERIFY(!second.IsOpen());
}

void TestSyncRS::setPortReopensOnlyAnOpenPort()
{
    TSyncRS port;
    port.SetPort(PortA);
    port.SetPort(PortB);
    QVERIFY(!port.IsOpen());
    QCOMPARE(CheckComPort(PortB), int(cpsFree));

    port.Open();
    port.SetPort(PortA);
    QVERIFY(port.IsOpen());
    QCOMPARE(port.PortNo(), PortA);
    QCOMPARE(CheckComPort(PortA), int(cpsBusy));
    QCOMPARE(CheckComPort(PortB), int(cpsFree));
    port.WriteString("on A");
    QCOMPARE(a_->ReadMaster(4, MasterWaitMs), QByteArray("on A"));
}

void TestSyncRS::bufferLimitTexts_data()
{
    using Action = TPortAction;
    QTest::addColumn<Action>("action");
    QTest::addColumn<QString>("text");
    QTest::newRow("read count 4097") << Action([](TSyncRS &p) { p.ReadString(4097); })
                                     << "TSyncRS: read failed: count=4097 > FRecvBufSize=4096";
    QTest::newRow("read count -1") << Action([](TSyncRS &p) { p.ReadString(-1); })
                                   << "TSyncRS: read failed: count=-1 > FRecvBufSize=4096";
    QTest::newRow("text 1025") << Action([](TSyncRS &p) { p.WriteString(QByteArray(1025, 'x')); })
                               << "TSyncRS: write failed: Length(Str)=1025 > SendBufSize=1024";
    QTest::newRow("count beyond array") << Action([](TSyncRS &p) { p.WriteBytes(QByteArray(10, 'x'), 11); })
                                        << "TSyncRS: write failed: Count=11 > Size(Arr)=10";
    QTest::newRow("count beyond buffer") << Action([](TSyncRS &p) { p.WriteBytes(QByteArray(2000, 'x'), 1025); })
                                         << "TSyncRS: write failed: Count=1025 > SendBufSize=1024";
    QTest::newRow("send buffer 0") << Action([](TSyncRS &p) { p.SetSendBufSize(0); })
                                   << "TSyncRS: SetSendBufSize(0), size must be > 0";
    QTest::newRow("receive buffer -5") << Action([](TSyncRS &p) { p.SetRecvBufSize(-5); })
                                       << "TSyncRS: SetRecvBufSize(-5), size must be > 0";
    QTest::newRow("write to missing port") << Action([](TSyncRS &p) { p.WriteString("x"); })
                                           << "TSyncRS: open COM7 failed!";
}

void TestSyncRS::bufferLimitTexts()
{
    using Action = TPortAction;
    QFETCH(Action, action);
    QFETCH(QString, text);
    // The port names no device: a limit must be checked before the port opens.
    TSyncRS port;
    port.SetPort(MissingPort);
    QCOMPARE(RaisedText([&] { action(port); }), text);
    QVERIFY(!port.IsOpen());
}

void TestSyncRS::writeThatCannotFinishIsAnError()
{
    // Nobody reads the far end, so the line fills up and the write time-out
    // passes with bytes left over.
    constexpr int HugeBytes = 1 << 21;
    TSyncRS port;
    port.SetPort(PortA);
    port.SetSendBufSize(HugeBytes);
    port.SetTimeouts({MaxDword, 0, 100, 0, 200});
    const QString text = RaisedText([&] { port.WriteBytes(QByteArray(HugeBytes, 'x'), HugeBytes); });
    QCOMPARE(text, QStringLiteral("TSyncRS: write failed: ErrorCode=%1").arg(ETIMEDOUT));
    QVERIFY(port.SendCount() > 0);
    QVERIFY(port.SendCount() < HugeBytes);
}

void TestSyncRS::baudRateValues()
{
    QCOMPARE(BaudRateValue(0), 110);
    QCOMPARE(BaudRateValue(7), 14400);
    QCOMPARE(BaudRateValue(12), 115200);
    QCOMPARE(BaudRateValue(14), 256000);
    QCOMPARE(BaudRateValue(15), -1);
}

PELINOR_TEST_MAIN(TestSyncRS)
#include "test_uSyncRS.moc"
