#include "SimDevice.h"
#include "SimFactory.h"
#include "SimLog.h"
#include "SimProfile.h"
#include "SimStateFile.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

// The sensor behind the front ends: faults, live values and relays brought
// up to date per request, and its memory kept across runs.
class TestSimDevice : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void faultsShapeTheAnswer_data();
    void faultsShapeTheAnswer();
    void failAfterAndVanishAfterCountRequests();
    void serialChangesOnceTheProgramHasReadIt();
    void broadcastWritesWithoutAnswer();
    void liveValuesFollowTheUnitWord();
    void farRelayControlSwitchesTheRelay();
    void stateFileKeepsNonVolatileMemory();
    void transactionLog();
    void faultNamesAndValues_data();
    void faultNamesAndValues();

private:
    static SimDevice Make(const char *profile);
};

namespace {

const QByteArray ReadSegment1 = QByteArray::fromHex("0310000040");
const QByteArray ReadLive = QByteArray::fromHex("0300000010");

QByteArray WriteSegment(int segment, const QList<quint16> &words)
{
    QByteArray pdu = QByteArray::fromHex("10");
    const quint16 address = quint16(segment * 0x1000);
    pdu.append(char(address >> 8)).append(char(address & 0xFF)).append(char(0)).append(char(words.size()));
    pdu.append(char(2 * words.size()));
    for (quint16 w : words)
        pdu.append(char(w >> 8)).append(char(w & 0xFF));
    return pdu;
}

QList<quint16> WithChecksum(QList<quint16> image)
{
    image[63] = SimMemory::Checksum(image.constData());
    return image;
}

} // namespace

SimDevice TestSimDevice::Make(const char *name)
{
    QString error;
    const std::optional<SimProfile> profile = SimProfile::Load(QLatin1String(name), &error);
    if (!profile)
        qFatal("%s", qPrintable(error));
    SimDevice device(*profile, SimFactory::Build(*profile));
    device.setClock([] { return 0.0; });
    return device;
}

void TestSimDevice::faultsShapeTheAnswer_data()
{
    QTest::addColumn<QString>("fault");
    QTest::addColumn<QString>("value");
    QTest::addColumn<QByteArray>("request");
    QTest::addColumn<QByteArray>("reply");
    QTest::addColumn<int>("delayMs");
    QTest::addColumn<bool>("badCrc");
    const QByteArray readId = QByteArray::fromHex("0310360001");
    QTest::newRow("no fault") << "delay" << "0" << readId << QByteArray::fromHex("03021003") << 0 << false;
    QTest::newRow("silence") << "silence" << "on" << readId << QByteArray() << 0 << false;
    QTest::newRow("delay") << "delay" << "300" << readId << QByteArray::fromHex("03021003") << 300 << false;
    QTest::newRow("bad crc") << "badcrc" << "" << readId << QByteArray::fromHex("03021003") << 0 << true;
    QTest::newRow("exception 4") << "exception" << "4" << readId << QByteArray::fromHex("8304") << 0 << false;
    QTest::newRow("jumper open refuses a segment")
        << "jumper" << "open" << WriteSegment(2, WithChecksum(QList<quint16>(64, 1))) << QByteArray::fromHex("9002")
        << 0 << false;
    QTest::newRow("jumper closed takes it")
        << "jumper" << "closed" << WriteSegment(2, WithChecksum(QList<quint16>(64, 1)))
        << QByteArray::fromHex("1020000040") << 0 << false;
}

void TestSimDevice::faultsShapeTheAnswer()
{
    QFETCH(QString, fault);
    QFETCH(QString, value);
    QFETCH(QByteArray, request);
    QFETCH(QByteArray, reply);
    QFETCH(int, delayMs);
    QFETCH(bool, badCrc);
    SimDevice device = Make("Q0003");
    QCOMPARE(device.setFault(fault, value), QString());
    const SimDevice::Reply r = device.handle(request, QStringLiteral("test"), 1);
    QCOMPARE(r.pdu.toHex(), reply.toHex());
    QCOMPARE(r.delayMs, delayMs);
    QCOMPARE(r.corruptCrc, badCrc);
}

void TestSimDevice::failAfterAndVanishAfterCountRequests()
{
    SimDevice device = Make("Q0003");
    QCOMPARE(device.setFault(QStringLiteral("failafter"), QStringLiteral("2")), QString());
    QCOMPARE(device.setFault(QStringLiteral("vanishafter"), QStringLiteral("2")), QString());
    QVERIFY(!device.handle(ReadLive, {}, 1).pdu.isEmpty());
    const SimDevice::Reply second = device.handle(ReadLive, {}, 1);
    QVERIFY(!second.pdu.isEmpty());
    QVERIFY(second.vanishAfter);
    QVERIFY(device.handle(ReadLive, {}, 1).pdu.isEmpty());
    QCOMPARE(device.setFault(QStringLiteral("failafter"), QStringLiteral("off")), QString());
    QVERIFY(!device.handle(ReadLive, {}, 1).pdu.isEmpty());
}

void TestSimDevice::serialChangesOnceTheProgramHasReadIt()
{
    SimDevice device = Make("Q0003");
    QCOMPARE(device.setFault(QStringLiteral("newserial"), QStringLiteral("0A0B0C0D")), QString());
    device.handle(ReadLive, {}, 1);
    QCOMPARE(SimFactory::Serial(device.memory()), 0x09100342u);
    const QByteArray first = device.handle(ReadSegment1, {}, 1).pdu;
    QCOMPARE(first.mid(2 + 2 * 0x34, 4).toHex(), QByteArray("03420910"));
    const QByteArray second = device.handle(ReadSegment1, {}, 1).pdu;
    QCOMPARE(second.mid(2 + 2 * 0x34, 4).toHex(), QByteArray("0c0d0a0b"));
    QVERIFY(device.memory().checksumValid(1));
    QVERIFY(!device.faults().newSerial);
}

void TestSimDevice::broadcastWritesWithoutAnswer()
{
    SimDevice device = Make("Q0131");
    QVERIFY(device.handle(QByteArray::fromHex("0600420001"), {}, 0, true).pdu.isEmpty());
    QCOMPARE(device.memory().word(0x0043), quint16(1)); // protocol address 0x42
}

void TestSimDevice::liveValuesFollowTheUnitWord()
{
    SimDevice device = Make("Q0003");
    device.conditions().fix(LiveValues::Quantity::Temperature, 25.0);
    device.handle(ReadLive, {}, 1);
    QCOMPARE(device.memory().floatAt(0x0009), 25.0);
    // The program switches the sensor to °F with a segment 2 write.
    QList<quint16> image = device.memory().segmentImage(2);
    image[0x3E] |= 0x0001;
    QCOMPARE(device.handle(WriteSegment(2, WithChecksum(image)), {}, 1).pdu.toHex(), QByteArray("1020000040"));
    device.handle(ReadLive, {}, 1);
    QCOMPARE(device.memory().floatAt(0x0009), 77.0);
}

void TestSimDevice::farRelayControlSwitchesTheRelay()
{
    SimDevice device = Make("Q0131");
    const QByteArray readStatus = QByteArray::fromHex("0300060001");
    QCOMPARE(device.handle(readStatus, {}, 12).pdu.toHex(), QByteArray("03020008")); // relay 1: 23.4 > 22.0
    QCOMPARE(device.handle(QByteArray::fromHex("0600420001"), {}, 12).pdu.toHex(), QByteArray("0600420001"));
    QCOMPARE(device.handle(readStatus, {}, 12).pdu.toHex(), QByteArray("03020018"));
    device.conditions().fix(LiveValues::Quantity::Temperature, 21.0);
    device.handle(QByteArray::fromHex("0600420000"), {}, 12);
    QCOMPARE(device.handle(readStatus, {}, 12).pdu.toHex(), QByteArray("03020000"));
}

void TestSimDevice::stateFileKeepsNonVolatileMemory()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("state.json"));
    {
        SimDevice device = Make("Q0029");
        device.setStateFile(path);
        QList<quint16> image = device.memory().segmentImage(2);
        image[0] = 9;
        device.handle(WriteSegment(2, WithChecksum(image)), {}, 1);
        device.handle(QByteArray::fromHex("064000abcd"), {}, 9);
    }
    QString error;
    const SimProfile profile = *SimProfile::Load(QStringLiteral("Q0029"), &error);
    SimMemory memory = SimFactory::Build(profile);
    QVERIFY2(SimStateFile::Load(path, QStringLiteral("Q0029"), memory, &error), qPrintable(error));
    QCOMPARE(memory.slaveAddress(), quint8(9));
    QCOMPARE(memory.word(0x4001), quint16(0xABCD));
    QVERIFY(memory.checksumValid(2));
    QVERIFY(!SimStateFile::Load(path, QStringLiteral("Q0030"), memory, &error));
    QVERIFY(error.contains(QLatin1String("Q0029")));
}

void TestSimDevice::transactionLog()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("sim.log"));
    SimLog log;
    QString error;
    QVERIFY(log.open(path, &error));
    SimDevice device = Make("Q0003");
    device.setLog(&log);
    device.handle(QByteArray::fromHex("0310360002"), QStringLiteral("rtu"), 1);
    device.handle(QByteArray::fromHex("0630000005"), QStringLiteral("rtu"), 1);
    device.setFault(QStringLiteral("silence"), {});
    device.handle(QByteArray::fromHex("0300080002"), QStringLiteral("tcp"), 7);
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QStringList lines = QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    QCOMPARE(lines.size(), 3);
    QVERIFY2(lines[0].endsWith(QLatin1String("rtu slave=1 fn=3 addr=0x1036 count=2 values=1003,03F5 answer=ok")),
             qPrintable(lines[0]));
    QVERIFY2(lines[1].endsWith(QLatin1String("fn=6 addr=0x3000 count=1 values=0005 answer=exception-2")),
             qPrintable(lines[1]));
    QVERIFY2(lines[2].endsWith(QLatin1String("tcp slave=7 fn=3 addr=0x0008 count=2 values=- answer=silent")),
             qPrintable(lines[2]));
}

void TestSimDevice::faultNamesAndValues_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("value");
    QTest::addColumn<bool>("accepted");
    QTest::newRow("silence on") << "silence" << "on" << true;
    QTest::newRow("silence maybe") << "silence" << "maybe" << false;
    QTest::newRow("delay in range") << "delay" << "60000" << true;
    QTest::newRow("delay too long") << "delay" << "60001" << false;
    QTest::newRow("exception off") << "exception" << "off" << true;
    QTest::newRow("exception 256") << "exception" << "256" << false;
    QTest::newRow("failafter negative") << "failafter" << "-1" << false;
    QTest::newRow("newserial short") << "newserial" << "0A0B" << false;
    QTest::newRow("jumper sideways") << "jumper" << "sideways" << false;
    QTest::newRow("unknown") << "meltdown" << "" << false;
}

void TestSimDevice::faultNamesAndValues()
{
    QFETCH(QString, name);
    QFETCH(QString, value);
    QFETCH(bool, accepted);
    SimDevice device = Make("Q0001");
    QCOMPARE(device.setFault(name, value).isEmpty(), accepted);
}

QTEST_GUILESS_MAIN(TestSimDevice)
#include "test_SimDevice.moc"
