// The ASCII framing the master speaks on a serial line, checked on bytes.
#include "transport/uMbusAscii.h"

#include "support/TestEnvironment.h"

#include <QTest>

#include <cerrno>
#include <modbus/modbus.h>

class TestMbusAscii : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void encodesFrameWithLrc();
    void decodesFrames_data();
    void decodesFrames();
    void checksReplies_data();
    void checksReplies();
};

void TestMbusAscii::encodesFrameWithLrc()
{
    // 01 + 03 + 00 00 00 01 sum to 5: the LRC is 0xFB.
    QCOMPARE(MbusAscii::EncodeFrame(1, QByteArray::fromHex("0300000001")), QByteArray(":010300000001FB\r\n"));
    QCOMPARE(MbusAscii::Lrc(QByteArray::fromHex("F7031389000A")), quint8(0x60));
}

void TestMbusAscii::decodesFrames_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<int>("error");
    QTest::addColumn<QByteArray>("bytes");
    QTest::newRow("valid") << QByteArray("010300000001FB") << 0 << QByteArray::fromHex("010300000001");
    QTest::newRow("lower-case hex") << QByteArray("010300000001fb") << 0 << QByteArray::fromHex("010300000001");
    QTest::newRow("wrong lrc") << QByteArray("010300000001FC") << int(EMBBADCRC) << QByteArray();
    QTest::newRow("odd length") << QByteArray("0103000000001FB") << int(EPROTO) << QByteArray();
    QTest::newRow("not hex") << QByteArray("01030000G001FB") << int(EPROTO) << QByteArray();
    QTest::newRow("too short") << QByteArray("01FF") << int(EPROTO) << QByteArray();
}

void TestMbusAscii::decodesFrames()
{
    QFETCH(QByteArray, text);
    QFETCH(int, error);
    QFETCH(QByteArray, bytes);
    QByteArray got;
    QCOMPARE(MbusAscii::DecodeFrame(text, &got), error);
    QCOMPARE(got, bytes);
}

void TestMbusAscii::checksReplies_data()
{
    QTest::addColumn<QByteArray>("request");
    QTest::addColumn<QByteArray>("reply");
    QTest::addColumn<int>("expectedLength");
    QTest::addColumn<int>("error");
    const QByteArray read = QByteArray::fromHex("0300000002");
    const QByteArray write = QByteArray::fromHex("0600050102");
    QTest::newRow("read") << read << QByteArray::fromHex("030412345678") << 6 << 0;
    QTest::newRow("read short") << read << QByteArray::fromHex("03021234") << 6 << int(EMBBADDATA);
    QTest::newRow("other function") << read << QByteArray::fromHex("040412345678") << 6 << int(EMBBADDATA);
    QTest::newRow("exception 2") << read << QByteArray::fromHex("8302") << 6 << int(EMBXILADD);
    QTest::newRow("exception 7") << read << QByteArray::fromHex("8307") << 6 << int(EMBXNACK);
    QTest::newRow("exception 0x20") << read << QByteArray::fromHex("8320") << 6 << int(EMBBADEXC);
    QTest::newRow("write echo") << write << write << 5 << 0;
    QTest::newRow("write other value") << write << QByteArray::fromHex("0600050103") << 5 << int(EMBBADDATA);
}

void TestMbusAscii::checksReplies()
{
    QFETCH(QByteArray, request);
    QFETCH(QByteArray, reply);
    QFETCH(int, expectedLength);
    QFETCH(int, error);
    QCOMPARE(MbusAscii::CheckReply(request, reply, expectedLength), error);
}

PELINOR_TEST_MAIN(TestMbusAscii)
#include "test_uMbusAscii.moc"
