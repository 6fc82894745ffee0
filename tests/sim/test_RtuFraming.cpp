#include "MbapFraming.h"
#include "RtuFraming.h"

#include <QTest>

// Framing of both front ends: RTU frames counted off a line without timing,
// MBAP frames taken off a TCP stream.
class TestRtuFraming : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void crcOfKnownFrames_data();
    void crcOfKnownFrames();
    void splitting_data();
    void splitting();
    void badChecksumDropsWhatCameWithIt();
    void mbapFramesAndReplies();
    void mbapRejectsForeignProtocol();
};

namespace {

QByteArray Frame(const char *hexWithoutCrc)
{
    const QByteArray body = QByteArray::fromHex(hexWithoutCrc);
    return RtuFraming::Seal(static_cast<quint8>(body[0]), body.mid(1));
}

} // namespace

void TestRtuFraming::crcOfKnownFrames_data()
{
    QTest::addColumn<QByteArray>("frame");
    // Read 10 holding registers from 0 of slave 1, and the write of register
    // 1 to 3 of slave 17, as Modbus references print them.
    QTest::newRow("01 03 0000 000A") << QByteArray::fromHex("01030000000ac5cd");
    QTest::newRow("11 06 0001 0003") << QByteArray::fromHex("110600010003 9a9b");
}

void TestRtuFraming::crcOfKnownFrames()
{
    QFETCH(QByteArray, frame);
    QVERIFY(RtuFraming::CrcValid(frame));
    QCOMPARE(RtuFraming::Seal(quint8(frame[0]), frame.mid(1, frame.size() - 3)), frame);
    QByteArray spoilt = frame;
    spoilt[2] = char(spoilt[2] ^ 0x01);
    QVERIFY(!RtuFraming::CrcValid(spoilt));
}

void TestRtuFraming::splitting_data()
{
    QTest::addColumn<QList<QByteArray>>("chunks");
    QTest::addColumn<QStringList>("pdus");
    const QByteArray read = Frame("0103100000 40");
    const QByteArray write = Frame("0106004100 01");
    const QByteArray writeMany = Frame("01 10 2000 0002 04 0001 01b5");
    QTest::newRow("one read") << QList<QByteArray>{read} << QStringList{"0310000040"};
    QTest::newRow("byte by byte") << [&] {
        QList<QByteArray> bytes;
        for (char c : read)
            bytes.append(QByteArray(1, c));
        return bytes;
    }() << QStringList{"0310000040"};
    QTest::newRow("two in one chunk") << QList<QByteArray>{read + write} << QStringList{"0310000040", "0600410001"};
    QTest::newRow("function 16 sized by its byte count")
        << QList<QByteArray>{writeMany.left(6), writeMany.mid(6, 1), writeMany.mid(7)}
        << QStringList{"10200000020400010" "1b5"};
    QTest::newRow("incomplete waits") << QList<QByteArray>{read.left(7)} << QStringList{};
    QTest::newRow("unknown function taken whole") << QList<QByteArray>{Frame("012b0e0100")} << QStringList{"2b0e0100"};
}

void TestRtuFraming::splitting()
{
    QFETCH(QList<QByteArray>, chunks);
    QFETCH(QStringList, pdus);
    RtuFraming::RequestSplitter splitter;
    QStringList got;
    for (const QByteArray &chunk : chunks) {
        for (const RtuFraming::Frame &frame : splitter.push(chunk)) {
            QCOMPARE(frame.address, quint8(1));
            got.append(QString::fromLatin1(frame.pdu.toHex()));
        }
    }
    QCOMPARE(got, pdus);
    QCOMPARE(splitter.droppedFrames(), 0);
}

void TestRtuFraming::badChecksumDropsWhatCameWithIt()
{
    RtuFraming::RequestSplitter splitter;
    QByteArray bad = Frame("0103100000 40");
    bad[7] = char(bad[7] ^ 0x55);
    QVERIFY(splitter.push(bad + Frame("0106004100 01")).isEmpty());
    QCOMPARE(splitter.droppedFrames(), 1);
    QVERIFY(!splitter.pending());
    // The line recovers with the next request.
    QCOMPARE(splitter.push(Frame("0106004100 01")).size(), 1);
}

void TestRtuFraming::mbapFramesAndReplies()
{
    MbapFraming::RequestSplitter splitter;
    bool ok = false;
    const QByteArray request = QByteArray::fromHex("1234 0000 0006 07 0310000040");
    QVERIFY(splitter.push(request.left(5), ok).isEmpty());
    QVERIFY(ok);
    const QList<MbapFraming::Frame> frames = splitter.push(request.mid(5) + request, ok);
    QVERIFY(ok);
    QCOMPARE(frames.size(), 2);
    QCOMPARE(frames[0].transaction, quint16(0x1234));
    QCOMPARE(frames[0].unit, quint8(7));
    QCOMPARE(frames[0].pdu.toHex(), QByteArray("0310000040"));
    QCOMPARE(MbapFraming::Seal(frames[0], QByteArray::fromHex("8302")).toHex(), QByteArray("12340000000307" "8302"));
}

void TestRtuFraming::mbapRejectsForeignProtocol()
{
    MbapFraming::RequestSplitter splitter;
    bool ok = true;
    QVERIFY(splitter.push(QByteArray::fromHex("0001 0001 0006 01 0310000040"), ok).isEmpty());
    QVERIFY(!ok);
}

QTEST_GUILESS_MAIN(TestRtuFraming)
#include "test_RtuFraming.moc"
