// TMSPModbus against a sensor memory behind a libmodbus slave: segments,
// Flash read-modify-write with identity patching, ROM and write protection,
// the adaptive time-out and the length of the last segment.
#include "transport/uMSPComm.h"

#include "shell/uErrors.h"
#include "transport/BusProtocolExceptions.h"

#include "support/MockClock.h"
#include "support/PortLink.h"
#include "support/SensorTestSlave.h"
#include "support/TestEnvironment.h"

#include <QTest>

#include <memory>

namespace {

using TRequest = TModbusTestSlave::TRequest;

constexpr int RtuComNo = 8;
constexpr quint16 SerialLow = 0x1234;
constexpr quint16 SerialHigh = 0x0042;
// Line settings the device has stored, unlike those in use (address 1, 9600).
constexpr quint16 StoredAddress = 9;
constexpr quint16 StoredDivisor = 0x0100;
constexpr quint16 DivisorAt9600 = 437;  // 4194304 / 9600 = 436.9

const QString RomError = QStringLiteral("Chyba při komunikaci se snímačem - nelze zapisovat do paměti ROM");
const QString ChecksumError = QStringLiteral("Chyba při komunikaci se snímačem - chybný kontrolní součet segmentu");
const QString SegmentNumberError = QStringLiteral("Chyba při komunikaci se snímačem - neplatné číslo segmentu");
const QString BoundaryError = QStringLiteral("Chyba v adresaci paměti snímače - překročení hranice segmentu");
const QString WriteProtected = QStringLiteral("Pravděpodobně je nastavena ochrana proti zápisu");

TSegmentImage Pattern(int index)
{
    TSegmentImage image{};
    for (int i = 0; i < SegmentWords; ++i)
        image[static_cast<size_t>(i)] = static_cast<quint16>((index << 12) | (i * 3));
    return image;
}

// Configuration record 4 of an Ethernet module with firmware a.b.c.d.
QByteArray VersionRecord(int a, int b, int c, int d)
{
    QByteArray record(120, '\0');
    record[78] = static_cast<char>(a);
    record[79] = static_cast<char>(b);
    record[80] = static_cast<char>(c);
    record[81] = static_cast<char>(d);
    return record;
}

template <typename Call>
QString RaisedText(Call call)
{
    try {
        call();
    } catch (const Exception &e) {
        return e.Message();
    }
    return QStringLiteral("nothing raised");
}

} // namespace

class TestMSPComm : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void init();

    void readsSegmentsWithValidChecksums();
    void flashWriteIsOneSegmentWrite_data();
    void flashWriteIsOneSegmentWrite();
    void restoredImageKeepsLiveSerialNumber();
    void romWriteRaisesWithoutWriting();
    void writeProtectedSensorIsNamed();
    void wrongFlashChecksumRaises();
    void ramAndEepromAreWrittenDirectly();
    void boundaryErrorsComeBeforeAnyWrite_data();
    void boundaryErrorsComeBeforeAnyWrite();
    void segmentIndexOutOfRange();

    void transferTimeoutFormula_data();
    void transferTimeoutFormula();
    void rtuAdaptsTimeoutAndWaitsAroundOpen();
    void longLastSegmentRule_data();
    void longLastSegmentRule();
    void longLastSegmentNeedsTcpAndAnAnswer();

private:
    std::unique_ptr<TMSPModbus> TcpMsp();
    QList<TRequest> WritesOf(const QList<TRequest> &requests) const;

    TSensorTestSlave sensor_;
    TSensorTestSlave rtuSensor_;
};

void TestMSPComm::initTestCase()
{
    QVERIFY(sensor_.StartTcp());
    QVERIFY(rtuSensor_.StartRtu());
    QVERIFY(LinkComPort(RtuComNo, rtuSensor_.Device()));
}

void TestMSPComm::init()
{
    for (int i = 0; i < SegmentCount; ++i)
        sensor_.SetSegment(i, Pattern(i));
    TSegmentImage flash1 = Pattern(1);
    flash1[0x34] = SerialLow;
    flash1[0x35] = SerialHigh;
    sensor_.SetSegment(1, flash1);
    TSegmentImage flash2 = Pattern(2);
    flash2[0] = StoredAddress;
    flash2[1] = StoredDivisor;
    sensor_.SetSegment(2, flash2);
    sensor_.SetWriteProtected(false);
    sensor_.ClearRequests();
}

std::unique_ptr<TMSPModbus> TestMSPComm::TcpMsp()
{
    auto msp = std::make_unique<TMSPModbus>();
    msp->SetProtocolKind(TSyncMBus::KindTcp);
    msp->SetHostName(QStringLiteral("127.0.0.1"));
    msp->SetTcpPort(sensor_.Port());
    return msp;
}

void TestMSPComm::readsSegmentsWithValidChecksums()
{
    auto msp = TcpMsp();
    for (int index : {1, 2, 3}) {
        TSegmentImage image{};
        msp->ReadSegment(index, image);
        QCOMPARE(image, sensor_.Segment(index));
    }
    const QList<TRequest> requests = sensor_.Requests();
    QCOMPARE(requests.size(), 3);
    QCOMPARE(requests[2].address, 0x3000);
    QCOMPARE(requests[2].count, 64);
    // TCP keeps the time-out set at creation.
    QCOMPARE(msp->timeout(), 1000);
}

void TestMSPComm::flashWriteIsOneSegmentWrite_data()
{
    QTest::addColumn<bool>("patch");
    QTest::addColumn<quint16>("address");
    QTest::addColumn<quint16>("divisor");
    QTest::newRow("identity patched") << true << quint16(1) << DivisorAt9600;
    QTest::newRow("identity as stored") << false << StoredAddress << StoredDivisor;
}

void TestMSPComm::flashWriteIsOneSegmentWrite()
{
    QFETCH(bool, patch);
    QFETCH(quint16, address);
    QFETCH(quint16, divisor);
    auto msp = TcpMsp();
    msp->PatchIdentity = patch;
    msp->WriteRegister(0x2010, 0x5555);

    const QList<TRequest> requests = sensor_.Requests();
    QCOMPARE(requests.size(), 2);
    QCOMPARE(requests[0].function, 3);
    QCOMPARE(requests[0].address, 0x2000);
    QCOMPARE(requests[0].count, 64);
    QCOMPARE(requests[1].function, 16);
    QCOMPARE(requests[1].address, 0x2000);
    QCOMPARE(requests[1].count, 64);

    const TSegmentImage written = sensor_.Segment(2);
    QCOMPARE(written[0x0F], quint16(0x5555));
    QCOMPARE(written[0], address);
    QCOMPARE(written[1], divisor);
    QCOMPARE(written[63], SegmentChecksum(written));
    QCOMPARE(msp->Cache[2][0x0F], quint16(0x5555));
}

void TestMSPComm::restoredImageKeepsLiveSerialNumber()
{
    auto msp = TcpMsp();
    TSegmentImage restored = Pattern(1);
    restored[0x34] = 0xDEAD;
    restored[0x35] = 0xBEEF;
    restored[63] = 0;  // the write computes it
    msp->WriteSegment(1, restored);

    const TSegmentImage written = sensor_.Segment(1);
    QCOMPARE(written[0x34], SerialLow);
    QCOMPARE(written[0x35], SerialHigh);
    QCOMPARE(written[63], SegmentChecksum(written));
    const QList<TRequest> requests = sensor_.Requests();
    QCOMPARE(requests.size(), 2);
    QCOMPARE(requests[0].address, 0x1034);  // the live read of 0x1035, 0x1036
    QCOMPARE(requests[0].count, 2);
}

void TestMSPComm::romWriteRaisesWithoutWriting()
{
    auto msp = TcpMsp();
    QCOMPARE(RaisedText([&] { msp->WriteRegister(0x3001, 1); }), RomError);
    QCOMPARE(RaisedText([&] { msp->WriteSegment(3, Pattern(3)); }), RomError);
    QVERIFY(sensor_.Writes().isEmpty());
}

void TestMSPComm::writeProtectedSensorIsNamed()
{
    auto msp = TcpMsp();
    sensor_.SetWriteProtected(true);
    try {
        msp->WriteRegister(0x1010, 7);
        QFAIL("write-protected sensor took the write");
    } catch (const EMbusIllegalAddressException &e) {
        QCOMPARE(e.Message(), WriteProtected);
    }
    // Single registers still go through.
    msp->WriteRegister(0x4010, 7);
    QCOMPARE(sensor_.Word(0x4010), quint16(7));
}

void TestMSPComm::wrongFlashChecksumRaises()
{
    auto msp = TcpMsp();
    sensor_.SetWord(0x1040, static_cast<quint16>(SegmentChecksum(Pattern(1)) + 1));
    TSegmentImage image = Pattern(0);
    QCOMPARE(RaisedText([&] { msp->ReadSegment(1, image); }), ChecksumError);
    QCOMPARE(image, Pattern(0));
    // ... and a Flash write never starts from such an image.
    QCOMPARE(RaisedText([&] { msp->WriteRegister(0x1010, 1); }), ChecksumError);
    QVERIFY(sensor_.Writes().isEmpty());
}

void TestMSPComm::ramAndEepromAreWrittenDirectly()
{
    auto msp = TcpMsp();
    msp->WriteRegister(0x0005, 0x0102);
    msp->WriteFloat(0x4010, 23.5);
    const QList<TRequest> writes = sensor_.Writes();
    QCOMPARE(writes.size(), 2);
    QCOMPARE(writes[0].function, 6);
    QCOMPARE(writes[0].address, 0x0004);
    QCOMPARE(writes[1].function, 16);
    QCOMPARE(writes[1].address, 0x400F);
    QCOMPARE(writes[1].values, (QList<quint16>{0x843C, 0x0000}));

    QCOMPARE(msp->ReadRegister(0x0005), quint16(0x0102));
    QCOMPARE(msp->ReadFloat(0x4010), 23.5);
    quint16 first = 0;
    quint16 second = 0;
    msp->ReadRegisterPair(0x4010, second, first);
    QCOMPARE(first, quint16(0x843C));
    QCOMPARE(second, quint16(0x0000));
}

void TestMSPComm::boundaryErrorsComeBeforeAnyWrite_data()
{
    QTest::addColumn<int>("address");
    QTest::addColumn<bool>("isFloat");
    QTest::addColumn<bool>("longLast");
    QTest::addColumn<int>("writtenWords");  // 0: boundary error
    QTest::newRow("float at Flash offset 63") << 0x1040 << true << false << 0;
    QTest::newRow("float at ROM offset 63") << 0x3040 << true << false << 0;
    QTest::newRow("last word of short segment 6") << 0x500F << false << false << 15;
    QTest::newRow("past short segment 6") << 0x5010 << false << false << 0;
    QTest::newRow("float across short segment 6 end") << 0x500F << true << false << 0;
    QTest::newRow("word 16 of long segment 6") << 0x5010 << false << true << 20;
    QTest::newRow("past long segment 6") << 0x5015 << false << true << 0;
    QTest::newRow("Flash checksum word") << 0x1040 << false << false << 0;
    QTest::newRow("float over Flash checksum word") << 0x103F << true << false << 0;
    QTest::newRow("float at Flash offset 61") << 0x103E << true << false << 64;
    QTest::newRow("EEPROM word 63 is direct") << 0x4040 << false << false << 1;
}

void TestMSPComm::boundaryErrorsComeBeforeAnyWrite()
{
    QFETCH(int, address);
    QFETCH(bool, isFloat);
    QFETCH(bool, longLast);
    QFETCH(int, writtenWords);
    auto msp = TcpMsp();
    msp->SetRecordReader([=](const QString &, int) { return VersionRecord(1, 4, longLast ? 4 : 3, 1); });
    const auto a = static_cast<quint16>(address);
    const auto write = [&] {
        if (isFloat)
            msp->WriteFloat(a, 1.0);
        else
            msp->WriteRegister(a, 0x7777);
    };
    if (writtenWords == 0) {
        QCOMPARE(RaisedText(write), BoundaryError);
        QVERIFY(sensor_.Requests().isEmpty());
        return;
    }
    write();
    const QList<TRequest> writes = sensor_.Writes();
    QCOMPARE(writes.size(), 1);
    QCOMPARE(writes[0].count, writtenWords);
}

void TestMSPComm::segmentIndexOutOfRange()
{
    auto msp = TcpMsp();
    TSegmentImage image{};
    QCOMPARE(RaisedText([&] { msp->ReadSegment(7, image); }), SegmentNumberError);
    QCOMPARE(RaisedText([&] { msp->WriteSegment(-1, image); }), SegmentNumberError);
    QVERIFY(sensor_.Requests().isEmpty());
}

void TestMSPComm::transferTimeoutFormula_data()
{
    QTest::addColumn<int>("address");
    QTest::addColumn<int>("count");
    QTest::addColumn<bool>("write");
    QTest::addColumn<int>("bitRate");
    QTest::addColumn<int>("timeoutMs");
    QTest::newRow("Flash read 64") << 0x1001 << 64 << false << 9600 << 1185;
    QTest::newRow("Flash write 64") << 0x1001 << 64 << true << 9600 << 1213;
    QTest::newRow("EEPROM write 64") << 0x4001 << 64 << true << 9600 << 3352;
    QTest::newRow("EEPROM read 64") << 0x4001 << 64 << false << 9600 << 1493;
    QTest::newRow("RAM read 1 counts as 4") << 0x0005 << 1 << false << 9600 << 1035;
    QTest::newRow("segment 6 write 20") << 0x5001 << 20 << true << 9600 << 1975;
    QTest::newRow("ROM write is no Flash write") << 0x3001 << 64 << true << 9600 << 1185;
    QTest::newRow("Flash read 64 at 115200") << 0x1001 << 64 << false << 115200 << 1016;
}

void TestMSPComm::transferTimeoutFormula()
{
    QFETCH(int, address);
    QFETCH(int, count);
    QFETCH(bool, write);
    QFETCH(int, bitRate);
    QFETCH(int, timeoutMs);
    QCOMPARE(TransferTimeoutMs(static_cast<quint16>(address), count, write, bitRate), timeoutMs);
}

void TestMSPComm::rtuAdaptsTimeoutAndWaitsAroundOpen()
{
    TMockClock clock;
    for (int i = 0; i < SegmentCount; ++i)
        rtuSensor_.SetSegment(i, Pattern(i));
    TMSPModbus msp;
    msp.SetComPort(RtuComNo);
    QCOMPARE(msp.timeout(), 1000);

    TSegmentImage image{};
    msp.ReadSegment(1, image);
    QCOMPARE(msp.timeout(), 1185);
    msp.ReadSegment(2, image);  // same time-out: the line stays open
    QCOMPARE(clock.Waits(), (QList<int>{10, 200}));

    msp.WriteRegister(0x4010, 1);  // one EEPROM word: (14 x 16 / 9.6 + 8 x 11.289) x 1.5 + 1000
    QCOMPARE(msp.timeout(), 1170);
    QCOMPARE(clock.Waits(), (QList<int>{10, 200, 10, 200}));

    msp.AutoTimeout = false;
    msp.ReadSegment(1, image);
    QCOMPARE(msp.timeout(), 1170);
    msp.Close();
    QCOMPARE(clock.Waits(), (QList<int>{10, 200, 10, 200, 10}));
    QVERIFY(!msp.IsOpen());
}

void TestMSPComm::longLastSegmentRule_data()
{
    QTest::addColumn<QByteArray>("record");
    QTest::addColumn<bool>("isLong");
    QTest::newRow("1.4.4.1") << VersionRecord(1, 4, 4, 1) << true;
    QTest::newRow("1.9.9.99") << VersionRecord(1, 9, 9, 99) << true;
    QTest::newRow("1.4.4.0") << VersionRecord(1, 4, 4, 0) << false;
    QTest::newRow("1.4.3.9") << VersionRecord(1, 4, 3, 9) << false;
    QTest::newRow("1.3.9.9") << VersionRecord(1, 3, 9, 9) << false;
    QTest::newRow("2.4.4.1") << VersionRecord(2, 4, 4, 1) << false;
    QTest::newRow("1.4.4.100 invalid") << VersionRecord(1, 4, 4, 100) << false;
    QTest::newRow("short record") << QByteArray(81, '\x01') << false;
}

void TestMSPComm::longLastSegmentRule()
{
    QFETCH(QByteArray, record);
    QFETCH(bool, isLong);
    QCOMPARE(RecordHasLongLastSegment(record), isLong);
}

void TestMSPComm::longLastSegmentNeedsTcpAndAnAnswer()
{
    TMSPModbus msp;
    QString askedHost;
    int askedRecord = -1;
    msp.SetRecordReader([&](const QString &host, int record) -> std::optional<QByteArray> {
        askedHost = host;
        askedRecord = record;
        return VersionRecord(1, 4, 4, 1);
    });
    QVERIFY(!msp.LongLastSegment());  // RTU never asks the module
    QCOMPARE(askedRecord, -1);

    msp.SetProtocolKind(TSyncMBus::KindTcp);
    msp.SetHostName(QStringLiteral("127.0.0.5"));
    QVERIFY(msp.LongLastSegment());
    QCOMPARE(askedHost, QStringLiteral("127.0.0.5"));
    QCOMPARE(askedRecord, 4);

    msp.SetRecordReader([](const QString &, int) -> std::optional<QByteArray> { return std::nullopt; });
    QVERIFY(!msp.LongLastSegment());
    msp.SetRecordReader([](const QString &, int) -> std::optional<QByteArray> {
        throw Exception(QStringLiteral("no answer"));
    });
    QVERIFY(!msp.LongLastSegment());
    msp.SetRecordReader({});
    QVERIFY(!msp.LongLastSegment());
}

PELINOR_TEST_MAIN(TestMSPComm)
#include "test_uMSPComm.moc"
