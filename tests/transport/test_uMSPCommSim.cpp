#include "transport/uMSPComm.h"

#include "shell/uErrors.h"
#include "support/RaisedText.h"
#include "support/SimProcess.h"
#include "support/TestEnvironment.h"

#include <QTest>

// The sensor memory protocol against the virtual sensor: a device written
// from the sensor's side of the wire, not from this protocol's code.
namespace {

constexpr int SimCom = 15;

struct TFixture {
    SimProcess sim;
    TMSPModbus msp;

    bool Start(const QStringList &extra = {})
    {
        if (!sim.start(QStringList{"--profile", "Q0029", "--com", QString::number(SimCom)} + extra))
            return false;
        msp.SetProtocolKind(TSyncMBus::KindRtu);
        msp.SetComPort(SimCom);
        msp.SetBaudRate(8);  // 19200 bit/s
        msp.SlaveAddress = 1;
        return true;
    }
    // The requests the sensor saw since the given log position.
    QStringList Requests(qsizetype from) const
    {
        QStringList lines = sim.logLines().mid(from);
        for (QString &line : lines)
            line = line.section(QLatin1Char(' '), 2, 4);  // "slave=1 fn=3 addr=0x1000"
        return lines;
    }
};


} // namespace

class TestMSPCommSim : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase() { TestEnvironment::MaskSystemPorts(); }
    void segmentsReadWithValidChecksums();
    void flashWordIsOneSegmentWrite();
    void romWriteRaisesWithoutTraffic();
    void writeProtectedSensor();
};

void TestMSPCommSim::segmentsReadWithValidChecksums()
{
    TFixture f;
    QVERIFY2(f.Start(), qPrintable(f.sim.errorString()));
    TSegmentImage image1{};
    TSegmentImage image2{};
    TSegmentImage rom{};
    f.msp.ReadSegment(1, image1);
    f.msp.ReadSegment(2, image2);
    f.msp.ReadSegment(3, rom);
    QCOMPARE(image1[63], SegmentChecksum(image1));
    QCOMPARE(image2[63], SegmentChecksum(image2));
    QCOMPARE(ImageWord(0x1037, image1), quint16(0x101D));
    QCOMPARE(ImageWord(0x3002, rom), quint16(0x0250));
    QCOMPARE(ImageWord(0x2002, image2), quint16(0x00DA));  // 19200 bit/s
}

void TestMSPCommSim::flashWordIsOneSegmentWrite()
{
    TFixture f;
    QVERIFY2(f.Start(), qPrintable(f.sim.errorString()));
    const qsizetype before = f.sim.logLines().size();
    f.msp.WriteRegister(0x2010, 0x1234);
    QVERIFY(f.sim.waitForLogLines(int(before) + 2));
    // One read of the segment, one write of the whole of it.
    QCOMPARE(f.Requests(before), (QStringList{"slave=1 fn=3 addr=0x2000", "slave=1 fn=16 addr=0x2000"}));
    TSegmentImage image2{};
    f.msp.ReadSegment(2, image2);
    QCOMPARE(ImageWord(0x2010, image2), quint16(0x1234));
    QCOMPARE(image2[63], SegmentChecksum(image2));
}

void TestMSPCommSim::romWriteRaisesWithoutTraffic()
{
    TFixture f;
    QVERIFY2(f.Start(), qPrintable(f.sim.errorString()));
    const qsizetype before = f.sim.logLines().size();
    QCOMPARE(RaisedText([&] { f.msp.WriteRegister(0x3001, 1); }),
             QStringLiteral("Chyba při komunikaci se snímačem - nelze zapisovat do paměti ROM"));
    for (const QString &request : f.Requests(before))
        QVERIFY2(!request.contains(QLatin1String("fn=16")) && !request.contains(QLatin1String("fn=6")),
                 qPrintable(request));
}

void TestMSPCommSim::writeProtectedSensor()
{
    TFixture f;
    QVERIFY2(f.Start({"--fault", "jumper=open"}), qPrintable(f.sim.errorString()));
    QCOMPARE(RaisedText([&] { f.msp.WriteRegister(0x2010, 0x1234); }), WriteProtectedText());
    // Direct RAM writes still reach the sensor.
    f.msp.WriteRegister(0x0042, 1);
    QCOMPARE(f.msp.ReadRegister(0x0042), quint16(1));
}

PELINOR_TEST_MAIN(TestMSPCommSim)
#include "test_uMSPCommSim.moc"
