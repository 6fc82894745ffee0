#include "support/SimProcess.h"
#include "support/TestEnvironment.h"

#include <QElapsedTimer>
#include <QFileInfo>
#include <QTest>

#include <cerrno>
#include <memory>
#include <modbus/modbus.h>

// The virtual sensor as a process, seen through an independent Modbus
// master (libmodbus) and through its control channel, via the SimProcess
// fixture the other tests use.
class TestSimProcess : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void rtuServesIdentityToItsAddressOnly();
    void newAddressAndBaudApplyFromTheNextRequest();
    void faultsThroughTheControlChannel();
    void vanishRemovesTheLinkAndClosesTheLine();
    void tcpAnswersAnyUnitOnLoopbackOnly();
    void stateSurvivesARestart();
    void startFailsFastWithTheSensorsComplaint();
    void pacedRepliesTakeWireTime();
};

namespace {

constexpr int ResponseTimeoutUs = 400000;

// A Modbus master; each call returns 0 or the errno libmodbus set.
class Master {
public:
    static Master Rtu(const QString &path, int baud, int slave)
    {
        return Master(modbus_new_rtu(QFile::encodeName(path).constData(), baud, 'N', 8, 1), slave);
    }
    static Master Tcp(const QString &host, quint16 port, int unit)
    {
        return Master(modbus_new_tcp(host.toLatin1().constData(), port), unit);
    }

    bool connected() const { return m_connected; }
    void setTimeoutUs(int us) { modbus_set_response_timeout(m_ctx.get(), us / 1000000, us % 1000000); }

    int read(int address, int count, QList<quint16> &values)
    {
        values.resize(count);
        return Result(modbus_read_registers(m_ctx.get(), address, count, values.data()));
    }
    int write(int address, const QList<quint16> &values)
    {
        return Result(modbus_write_registers(m_ctx.get(), address, int(values.size()), values.constData()));
    }
    int writeOne(int address, quint16 value) { return Result(modbus_write_register(m_ctx.get(), address, value)); }

private:
    Master(modbus_t *ctx, int slave) : m_ctx(ctx, &Free)
    {
        if (!ctx)
            return;
        modbus_set_slave(ctx, slave);
        setTimeoutUs(ResponseTimeoutUs);
        m_connected = modbus_connect(ctx) == 0;
    }
    static void Free(modbus_t *ctx)
    {
        if (ctx) {
            modbus_close(ctx);
            modbus_free(ctx);
        }
    }
    static int Result(int rc) { return rc < 0 ? errno : 0; }

    std::unique_ptr<modbus_t, void (*)(modbus_t *)> m_ctx;
    bool m_connected = false;
};

quint16 Checksum(const QList<quint16> &words)
{
    quint16 sum = 0;
    for (int i = 0; i < 63; ++i)
        sum = quint16(sum + words[i]);
    return sum;
}

#define START(sim, ...) QVERIFY2((sim).start(__VA_ARGS__), qPrintable((sim).errorString()))

} // namespace

void TestSimProcess::rtuServesIdentityToItsAddressOnly()
{
    SimProcess sim;
    START(sim, {QStringLiteral("--profile"), QStringLiteral("Q0029"), QStringLiteral("--com"), QStringLiteral("7")});
    QCOMPARE(sim.comNumber(), 7);
    QCOMPARE(QFileInfo(sim.linkPath()).symLinkTarget(), sim.devicePath());
    Master master = Master::Rtu(sim.linkPath(), 19200, 1);
    QVERIFY(master.connected());
    QList<quint16> segment1, rom;
    QCOMPARE(master.read(0x1000, 64, segment1), 0);
    QCOMPARE(segment1[0x36], quint16(0x101D)); // device id 0x1037
    QCOMPARE(segment1[0x35], quint16(0x1103)); // serial 11030021
    QCOMPARE(segment1[0x34], quint16(0x0021));
    QCOMPARE(segment1[63], Checksum(segment1));
    QCOMPARE(master.read(0x3000, 2, rom), 0);
    QCOMPARE(rom[1], quint16(0x0250));
    Master other = Master::Rtu(sim.linkPath(), 19200, 2);
    QCOMPARE(other.read(0x3000, 2, rom), ETIMEDOUT);
    QVERIFY(sim.waitForLogLines(3));
    const QStringList log = sim.logLines();
    QVERIFY2(log[0].contains(QLatin1String("rtu slave=1 fn=3 addr=0x1000 count=64")), qPrintable(log[0]));
    QVERIFY2(log[2].contains(QLatin1String("slave=2 fn=3 addr=0x3000 count=2 values=- answer=not-addressed")),
             qPrintable(log[2]));
}

void TestSimProcess::newAddressAndBaudApplyFromTheNextRequest()
{
    SimProcess sim;
    START(sim, {QStringLiteral("--profile"), QStringLiteral("Q0003"), QStringLiteral("--strict-baud")});
    Master at9600 = Master::Rtu(sim.devicePath(), 9600, 1);
    QList<quint16> segment2;
    QCOMPARE(at9600.read(0x2000, 64, segment2), 0);
    segment2[0] = 9;          // address
    segment2[1] = 0x00DA;     // 19200 bit/s
    segment2[63] = Checksum(segment2);
    QCOMPARE(at9600.write(0x2000, segment2), 0);
    QList<quint16> values;
    Master slave9At9600 = Master::Rtu(sim.devicePath(), 9600, 9);
    QCOMPARE(slave9At9600.read(0x3000, 1, values), ETIMEDOUT);
    Master slave1At19200 = Master::Rtu(sim.devicePath(), 19200, 1);
    QCOMPARE(slave1At19200.read(0x3000, 1, values), ETIMEDOUT);
    Master slave9At19200 = Master::Rtu(sim.devicePath(), 19200, 9);
    QCOMPARE(slave9At19200.read(0x3000, 1, values), 0);
    QVERIFY(sim.logLines().join(QLatin1Char('\n')).contains(QLatin1String("answer=wrong-baud-9600")));
    QString state;
    QVERIFY(sim.commandOk(QStringLiteral("state"), &state));
    QVERIFY2(state.contains(QLatin1String("address=9 baud=19200")), qPrintable(state));
}

void TestSimProcess::faultsThroughTheControlChannel()
{
    SimProcess sim;
    START(sim, {QStringLiteral("--profile"), QStringLiteral("Q0003"), QStringLiteral("--fault"),
                QStringLiteral("exception=4")});
    Master master = Master::Rtu(sim.devicePath(), 9600, 1);
    QList<quint16> values;
    QCOMPARE(master.read(0x1036, 1, values), EMBXSFAIL);
    QVERIFY(sim.commandOk(QStringLiteral("fault exception off")));
    QVERIFY(sim.commandOk(QStringLiteral("fault silence on")));
    QCOMPARE(master.read(0x1036, 1, values), ETIMEDOUT);
    QVERIFY(sim.commandOk(QStringLiteral("fault silence off")));
    QVERIFY(sim.commandOk(QStringLiteral("fault badcrc on")));
    QCOMPARE(master.read(0x1036, 1, values), EMBBADCRC);
    QVERIFY(sim.commandOk(QStringLiteral("fault badcrc off")));
    QVERIFY(sim.commandOk(QStringLiteral("jumper open")));
    QList<quint16> segment1;
    QCOMPARE(master.read(0x1000, 64, segment1), 0);
    QCOMPARE(master.write(0x1000, segment1), EMBXILADD);
    QVERIFY(sim.commandOk(QStringLiteral("jumper closed")));
    QCOMPARE(master.write(0x1000, segment1), 0);
    QVERIFY(sim.commandOk(QStringLiteral("serial 0A0B0C0D")));
    QCOMPARE(master.read(0x1034, 2, values), 0);
    QCOMPARE(values, (QList<quint16>{0x0C0D, 0x0A0B}));
    QCOMPARE(sim.command(QStringLiteral("read 0x1037")), QStringLiteral("ok 1003"));
    QVERIFY(sim.commandOk(QStringLiteral("failafter 1")));
    QCOMPARE(master.read(0x1036, 1, values), 0);
    QCOMPARE(master.read(0x1036, 1, values), ETIMEDOUT);
    QString answer;
    QVERIFY(!sim.commandOk(QStringLiteral("fault meltdown on"), &answer));
    QVERIFY2(answer.startsWith(QLatin1String("error ")), qPrintable(answer));
    QCOMPARE(sim.command(QStringLiteral("quit")), QStringLiteral("ok bye"));
    QTRY_VERIFY(!sim.isRunning());
    QVERIFY(!QFileInfo(sim.linkPath()).isSymLink());
}

void TestSimProcess::vanishRemovesTheLinkAndClosesTheLine()
{
    SimProcess sim;
    START(sim, {QStringLiteral("--profile"), QStringLiteral("Q0001"), QStringLiteral("--com"), QStringLiteral("3")});
    Master master = Master::Rtu(sim.linkPath(), 9600, 1);
    QList<quint16> values;
    QCOMPARE(master.read(0x0008, 2, values), 0);
    QCOMPARE(sim.command(QStringLiteral("vanish")), QStringLiteral("ok vanished"));
    QVERIFY(!QFileInfo(sim.linkPath()).isSymLink());
    QVERIFY(master.read(0x0008, 2, values) != 0);
    QVERIFY(!QFileInfo::exists(sim.devicePath()));
    QString state;
    QVERIFY(sim.commandOk(QStringLiteral("state"), &state));
    QVERIFY(state.endsWith(QLatin1String(" vanished")));
}

void TestSimProcess::tcpAnswersAnyUnitOnLoopbackOnly()
{
    SimProcess sim;
    START(sim, {QStringLiteral("--profile"), QStringLiteral("Q0131"), QStringLiteral("--tcp"),
                QStringLiteral("127.0.0.1:0")});
    QVERIFY(!sim.isSerial());
    QCOMPARE(sim.tcpHost(), QStringLiteral("127.0.0.1"));
    Master master = Master::Tcp(sim.tcpHost(), sim.tcpPort(), 77);
    QVERIFY(master.connected());
    QList<quint16> values;
    QCOMPARE(master.read(0x1036, 1, values), 0);
    QCOMPARE(values[0], quint16(0x123E));
    QCOMPARE(master.read(0x5000, 20, values), 0); // a long last segment
    QCOMPARE(master.writeOne(0x3000, 1), EMBXILADD);
    QVERIFY(sim.logLines().last().contains(QLatin1String("tcp slave=77 fn=6 addr=0x3000")));

    SimProcess foreign;
    QVERIFY(!foreign.start({QStringLiteral("--profile"), QStringLiteral("Q0131"), QStringLiteral("--tcp"),
                            QStringLiteral("192.0.2.1:1502")}));
    QVERIFY2(foreign.errorString().contains(QLatin1String("loopback")), qPrintable(foreign.errorString()));
}

void TestSimProcess::stateSurvivesARestart()
{
    const QString state = TestEnvironment::Root() + QStringLiteral("/Q0030.state");
    const QStringList args{QStringLiteral("--profile"), QStringLiteral("Q0030"), QStringLiteral("--state"), state};
    QString link;
    {
        SimProcess sim;
        START(sim, args);
        link = sim.linkPath();
        Master master = Master::Rtu(sim.devicePath(), 38400, 5);
        QCOMPARE(master.writeOne(0x4000, 0xBEEF), 0);
    }
    QVERIFY2(!QFileInfo(link).isSymLink(), "the link outlived the sensor");
    SimProcess sim;
    START(sim, args);
    Master master = Master::Rtu(sim.devicePath(), 38400, 5);
    QList<quint16> values;
    QCOMPARE(master.read(0x4000, 1, values), 0);
    QCOMPARE(values[0], quint16(0xBEEF));
}

void TestSimProcess::startFailsFastWithTheSensorsComplaint()
{
    SimProcess sim;
    QElapsedTimer took;
    took.start();
    QVERIFY(!sim.start({QStringLiteral("--profile"), QStringLiteral("Q9999")}));
    QVERIFY(took.elapsed() < SimProcess::DefaultReadyTimeoutMs);
    QVERIFY2(sim.errorString().contains(QLatin1String("no profile Q9999")), qPrintable(sim.errorString()));
}

void TestSimProcess::pacedRepliesTakeWireTime()
{
    SimProcess sim;
    START(sim, {QStringLiteral("--profile"), QStringLiteral("Q0003"), QStringLiteral("--baud"),
                QStringLiteral("2400"), QStringLiteral("--pace")});
    Master master = Master::Rtu(sim.devicePath(), 2400, 1);
    master.setTimeoutUs(3000000);
    QList<quint16> values;
    QElapsedTimer took;
    took.start();
    QCOMPARE(master.read(0x1000, 64, values), 0);
    // 8 request bytes, 3.5 characters of silence and 133 reply bytes of 10
    // bits at 2400 bit/s: 602 ms.
    QVERIFY2(took.elapsed() >= 590, qPrintable(QString::number(took.elapsed())));
}

PELINOR_TEST_MAIN(TestSimProcess)
#include "test_SimProcess.moc"
