#include "transport/uSensorMemory.h"

#include "shell/uErrors.h"
#include "support/TestEnvironment.h"

#include <QTest>

class TestSensorMemory : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void floatFormat_data();
    void floatFormat();
    void decodeSpecialBytes();
    void addrToOffset_data();
    void addrToOffset();
    void floatNeedsBothWordsInImage();
    void checksumWrapsAround();
};

void TestSensorMemory::floatFormat_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<quint16>("first");
    QTest::addColumn<quint16>("second");
    QTest::newRow("1.0") << 1.0 << quint16(0x8000) << quint16(0x0000);
    QTest::newRow("-1.0") << -1.0 << quint16(0x8080) << quint16(0x0000);
    QTest::newRow("23.5") << 23.5 << quint16(0x843C) << quint16(0x0000);
    QTest::newRow("0.5") << 0.5 << quint16(0x7F00) << quint16(0x0000);
    QTest::newRow("1013.25") << 1013.25 << quint16(0x897D) << quint16(0x5000);
}

void TestSensorMemory::floatFormat()
{
    QFETCH(double, value);
    QFETCH(quint16, first);
    QFETCH(quint16, second);
    quint16 a = 0;
    quint16 b = 0;
    EncodeDeviceFloat(value, a, b);
    QCOMPARE(a, first);
    QCOMPARE(b, second);
    QCOMPARE(DecodeDeviceFloat(first, second), value);
}

void TestSensorMemory::decodeSpecialBytes()
{
    QCOMPARE(DecodeDeviceFloat(0x0012, 0x3456), 0.0);
    QCOMPARE(DecodeDeviceFloat(0xFF00, 0x0000), DeviceFloatErrorValue);
    quint16 a = 0xFFFF;
    quint16 b = 0xFFFF;
    EncodeDeviceFloat(0.0, a, b);
    QCOMPARE(DecodeDeviceFloat(a, b), 0.0);
}

void TestSensorMemory::addrToOffset_data()
{
    QTest::addColumn<int>("address");
    QTest::addColumn<int>("segment");
    QTest::addColumn<int>("offset");  // -1: boundary error
    QTest::newRow("0x0001") << 0x0001 << 0 << 0;
    QTest::newRow("0x0000") << 0x0000 << 0 << -1;
    QTest::newRow("0x1040") << 0x1040 << 1 << 63;
    QTest::newRow("0x1041") << 0x1041 << 1 << -1;
    QTest::newRow("0x3000") << 0x3000 << 3 << -1;
    QTest::newRow("0x4040") << 0x4040 << 4 << 63;
    QTest::newRow("0x4041") << 0x4041 << 5 << 0;
    QTest::newRow("0x5040") << 0x5040 << 6 << 63;
    QTest::newRow("0x9001 top digit") << 0x9001 << 0 << -1;
}

void TestSensorMemory::addrToOffset()
{
    QFETCH(int, address);
    QFETCH(int, segment);
    QFETCH(int, offset);
    int got = -1;
    if (offset < 0) {
        try {
            AddrToOffset(static_cast<quint16>(address), got);
            QFAIL("no boundary error");
        } catch (const Exception &e) {
            QCOMPARE(e.Message(), QString::fromUtf8(SegmentBoundaryError));
        }
        return;
    }
    QCOMPARE(AddrToOffset(static_cast<quint16>(address), got), offset);
    QCOMPARE(got, segment);
}

void TestSensorMemory::floatNeedsBothWordsInImage()
{
    TSegmentImage image{};
    SetImageFloat(0x103F, image, 2.0);
    QCOMPARE(ImageFloat(0x103F, image), 2.0);
    QVERIFY_THROWS_EXCEPTION(Exception, SetImageFloat(0x1040, image, 1.0));
    QVERIFY_THROWS_EXCEPTION(Exception, ImageFloat(0x1040, image));
}

void TestSensorMemory::checksumWrapsAround()
{
    TSegmentImage image{};
    image[0] = 0xFFFF;
    image[1] = 0x0003;
    image[62] = 0x0010;
    image[63] = 0x1234;  // not part of the sum
    QCOMPARE(SegmentChecksum(image), quint16(0x0012));
}

PELINOR_TEST_MAIN(TestSensorMemory)
#include "test_uSensorMemory.moc"
