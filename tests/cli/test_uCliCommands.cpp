#include "support/SimProcess.h"
#include "support/TestEnvironment.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTest>

namespace {

constexpr int SimCom = 9;

struct TCliRun {
    int exitCode = -1;
    QByteArray out;
    QByteArray err;
};

TCliRun RunCli(const QStringList &arguments)
{
    QProcess cli;
    cli.start(qEnvironmentVariable("PELINOR_CLI"), arguments);
    TCliRun run;
    if (!cli.waitForFinished(20000)) {
        cli.kill();
        cli.waitForFinished();
        return run;
    }
    run.exitCode = cli.exitCode();
    run.out = cli.readAllStandardOutput();
    run.err = cli.readAllStandardError();
    return run;
}

QStringList Connection(const QString &interface, int baud, int address = 1)
{
    return {"--interface", interface, "--port", QStringLiteral("COM%1").arg(SimCom), "--baud", QString::number(baud),
            "--address", QString::number(address)};
}

} // namespace

class TestCliCommands : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void identifyJson_data();
    void identifyJson();
    void refusalsAndFailures_data();
    void refusalsAndFailures();
    void valuesPasses_data();
    void valuesPasses();
    void portGivenAsPath();
};

void TestCliCommands::initTestCase()
{
    QVERIFY2(!qEnvironmentVariable("PELINOR_CLI").isEmpty(), "PELINOR_CLI is not set");
    TestEnvironment::MaskSystemPorts();
}

void TestCliCommands::identifyJson_data()
{
    QTest::addColumn<QString>("profile");
    QTest::addColumn<QString>("interface");
    QTest::addColumn<int>("baud");
    QTest::addColumn<int>("address");
    QTest::addColumn<int>("quantities");
    QTest::newRow("Q0001") << "Q0001" << "cable" << 9600 << 1 << 1;
    QTest::newRow("Q0003") << "Q0003" << "cable" << 9600 << 1 << 3;
    QTest::newRow("Q0007") << "Q0007" << "cable" << 9600 << 1 << 3;
    QTest::newRow("Q0029") << "Q0029" << "rs232" << 19200 << 1 << 4;
    QTest::newRow("Q0030") << "Q0030" << "rs485" << 38400 << 5 << 4;
    QTest::newRow("Q0073") << "Q0073" << "cable" << 9600 << 1 << 2;
    QTest::newRow("Q0075") << "Q0075" << "rs232" << 57600 << 1 << 2;
    QTest::newRow("Q00089") << "Q00089" << "cable" << 9600 << 1 << 2;
    QTest::newRow("Q0113") << "Q0113" << "cable" << 9600 << 1 << 3;
    QTest::newRow("Q0131") << "Q0131" << "rs485" << 19200 << 12 << 3;
}

void TestCliCommands::identifyJson()
{
    QFETCH(QString, profile);
    QFETCH(QString, interface);
    QFETCH(int, baud);
    QFETCH(int, address);
    QFETCH(int, quantities);
    SimProcess sim;
    QVERIFY2(sim.start({"--profile", profile, "--com", QString::number(SimCom)}), qPrintable(sim.errorString()));
    const TCliRun run = RunCli(QStringList{"identify"} + Connection(interface, baud, address) + QStringList{"--json"});
    QVERIFY2(run.exitCode == 0, run.err.constData());
    const QJsonObject o = QJsonDocument::fromJson(run.out).object();
    QCOMPARE(o.value("accepted").toBool(), true);
    QCOMPARE(o.value("type").toString(), profile);
    QCOMPARE(o.value("typeCode").toInt(), profile.mid(1).toInt());
    QCOMPARE(o.value("family").toInt(), 1);
    QCOMPARE(o.value("serialNumber").toString().size(), 8);
    QVERIFY(o.value("firmware").toString().contains(QLatin1Char('.')));
    QVERIFY(o.value("firmwareDate").toString().contains(QLatin1String("/20")));
    QCOMPARE(o.value("protocol").toString(), QStringLiteral("ModBus"));
    QCOMPARE(o.value("baudRate").toInt(), baud);
    QCOMPARE(o.value("address").toInt(), address);
    const QJsonArray q = o.value("quantities").toArray();
    QCOMPARE(q.size(), quantities);
    QCOMPARE(q.at(0).toObject().value("quantity").toString(), QStringLiteral("Temperature"));
    QVERIFY(q.at(0).toObject().contains("unit"));
    QVERIFY(!o.contains("message"));
}

void TestCliCommands::refusalsAndFailures_data()
{
    QTest::addColumn<QStringList>("simArguments");
    QTest::addColumn<QStringList>("cliArguments");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("message");
    const QStringList sim{"--profile", "Q0029", "--com", QString::number(SimCom)};
    QTest::newRow("wrong interface") << sim << Connection("rs485", 19200) << 4
                                     << "Interface for connected sensor Q0029 is different from selected! Select "
                                        "correct communication interface and try to connect again.";
    QTest::newRow("firmware") << (sim + QStringList{"--firmware", "0x0285"}) << Connection("rs232", 19200) << 4
                              << "Firmware version on the connecting device is not supported by this program version.";
    QTest::newRow("allfirm") << (sim + QStringList{"--firmware", "0x0285"})
                             << (Connection("rs232", 19200) + QStringList{"--allfirm"}) << 0 << "";
    QTest::newRow("silent") << (sim + QStringList{"--fault", "silence"}) << Connection("rs232", 19200) << 3
                            << "Sensor connection failed!";
    QTest::newRow("usage") << sim << QStringList{"--interface", "usb"} << 2 << "";
}

void TestCliCommands::refusalsAndFailures()
{
    QFETCH(QStringList, simArguments);
    QFETCH(QStringList, cliArguments);
    QFETCH(int, exitCode);
    QFETCH(QString, message);
    SimProcess sim;
    QVERIFY2(sim.start(simArguments), qPrintable(sim.errorString()));
    const TCliRun run = RunCli(QStringList{"identify"} + cliArguments + QStringList{"--json"});
    QCOMPARE(run.exitCode, exitCode);
    if (message.isEmpty())
        return;
    const QJsonObject o = QJsonDocument::fromJson(run.out).object();
    QCOMPARE(o.value("accepted").toBool(true), false);
    QCOMPARE(o.value("message").toString(), message);
}

void TestCliCommands::valuesPasses_data()
{
    identifyJson_data();
}

void TestCliCommands::valuesPasses()
{
    QFETCH(QString, profile);
    QFETCH(QString, interface);
    QFETCH(int, baud);
    QFETCH(int, address);
    QFETCH(int, quantities);
    SimProcess sim;
    QVERIFY2(sim.start({"--profile", profile, "--com", QString::number(SimCom)}), qPrintable(sim.errorString()));
    const TCliRun run =
        RunCli(QStringList{"values"} + Connection(interface, baud, address) + QStringList{"--count", "3", "--json"});
    QVERIFY2(run.exitCode == 0, run.err.constData());
    const QList<QByteArray> lines = run.out.trimmed().split('\n');
    QCOMPARE(lines.size(), 3);
    for (const QByteArray &line : lines) {
        const QJsonArray values = QJsonDocument::fromJson(line).object().value("values").toArray();
        QCOMPARE(values.size(), quantities);
        const QJsonObject first = values.at(0).toObject();
        QCOMPARE(first.value("quantity").toString(), QStringLiteral("Temperature"));
        QVERIFY(first.value("value").isDouble());
        QVERIFY(first.value("text").toString().endsWith(first.value("unit").toString()));
    }

    const TCliRun csv =
        RunCli(QStringList{"values"} + Connection(interface, baud, address) + QStringList{"--count", "2", "--csv"});
    QCOMPARE(csv.exitCode, 0);
    const QList<QByteArray> rows = csv.out.trimmed().split('\n');
    QCOMPARE(rows.size(), 3);
    QVERIFY(rows.at(0).startsWith("time,Temperature"));
    QCOMPARE(rows.at(1).count(','), rows.at(0).count(','));
}

void TestCliCommands::portGivenAsPath()
{
    SimProcess sim;
    QVERIFY2(sim.start({"--profile", "Q0029", "--com", QString::number(SimCom)}), qPrintable(sim.errorString()));
    // A port no COM number reaches gets one for the run.
    const QByteArray ports = qgetenv("PELINOR_PORT_DIR");
    qputenv("PELINOR_PORT_DIR", QFile::encodeName(TestEnvironment::Root() + QStringLiteral("/elsewhere")));
    const TCliRun run = RunCli({"identify", "--interface", "rs232", "--port", sim.devicePath(), "--baud", "19200"});
    qputenv("PELINOR_PORT_DIR", ports);
    QVERIFY2(run.exitCode == 0, run.err.constData());
    QVERIFY(run.out.contains("Sensor type:      Q0029"));
}

PELINOR_TEST_MAIN(TestCliCommands)
#include "test_uCliCommands.moc"
