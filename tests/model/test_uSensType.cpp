#include "model/uSensType.h"

#include "CountedChanges.h"
#include "shell/uErrors.h"
#include "support/TestEnvironment.h"

#include <QTest>

using TCountedSensType = TCounted<TSensType>;

class TestSensType : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void startsOnUnknownRow();
    void setDeviceId_data();
    void setDeviceId();
    void setDeviceIdTwiceChangesOnce();
    void setDeviceIdReselectsAfterRowMoved_data();
    void setDeviceIdReselectsAfterRowMoved();
    void setTypeCode();
    void setTypeCodeUnknownCode_data();
    void setTypeCodeUnknownCode();
    void setName_data();
    void setName();
    void accessorsReadTheSelectedRow();
    void channelCount_data();
    void channelCount();
    void firmwareFlags_data();
    void firmwareFlags();
    void keypadGeneration();
};

void TestSensType::startsOnUnknownRow()
{
    const TSensType t;
    QCOMPARE(t.GetRow(), 0);
    QCOMPARE(t.GetDeviceId(), quint16(0));
    QCOMPARE(t.GetName(), QStringLiteral("Unknown"));
    QVERIFY(!t.FourChannelFirmware);
    QVERIFY(!t.TwoChannelFirmware);
}

void TestSensType::setDeviceId_data()
{
    QTest::addColumn<quint16>("id");
    QTest::addColumn<int>("row");
    QTest::newRow("first transmitter") << quint16(0x1001) << 1;
    QTest::newRow("after the gap at 0x1059") << quint16(0x105A) << 89;
    QTest::newRow("keypad") << quint16(0x123E) << 131;
    QTest::newRow("last") << quint16(0x1069) << 167;
    QTest::newRow("0xFFFF selects no row") << quint16(0xFFFF) << 0;
    QTest::newRow("unknown id") << quint16(0x1059) << 0;
}

void TestSensType::setDeviceId()
{
    QFETCH(quint16, id);
    QFETCH(int, row);
    TCountedSensType s;
    s.object.SetDeviceId(id);
    QCOMPARE(s.object.GetRow(), row);
    QCOMPARE(s.object.GetDeviceId(), id);  // stored as given, also when no row has it
    QCOMPARE(s.changes, 1);
}

void TestSensType::setDeviceIdTwiceChangesOnce()
{
    TCountedSensType s;
    s.object.SetDeviceId(0x101E);
    s.object.SetDeviceId(0x101E);
    QCOMPARE(s.object.GetRow(), 30);
    QCOMPARE(s.changes, 1);
}

// The same id as stored must still select its own row when SetTypeCode or
// SetName moved the selection to a row identified otherwise.
void TestSensType::setDeviceIdReselectsAfterRowMoved_data()
{
    QTest::addColumn<int>("code");     // selected by type code, or
    QTest::addColumn<QString>("name");  // by name when code is -1
    QTest::newRow("type code of an Ethernet sensor") << 103 << QString();
    QTest::newRow("name of a web-configured device") << -1 << QStringLiteral("Q0178");
}

void TestSensType::setDeviceIdReselectsAfterRowMoved()
{
    QFETCH(int, code);
    QFETCH(QString, name);
    TCountedSensType s;
    if (code < 0)
        s.object.SetName(name);
    else
        s.object.SetTypeCode(quint8(code));
    QCOMPARE(s.object.GetDeviceId(), NoDeviceId);
    QCOMPARE(s.changes, 1);

    s.object.SetDeviceId(NoDeviceId);
    QCOMPARE(s.object.GetRow(), 0);
    QCOMPARE(s.object.GetDeviceId(), NoDeviceId);
    QCOMPARE(s.changes, 2);
}

void TestSensType::setTypeCode()
{
    TCountedSensType s;
    s.object.SetTypeCode(117);
    QCOMPARE(s.object.GetRow(), 117);
    QCOMPARE(s.object.GetDeviceId(), quint16(0x1230));
    s.object.SetTypeCode(117);
    QCOMPARE(s.changes, 1);
    s.object.SetTypeCode(0);
    QCOMPARE(s.object.GetDeviceId(), quint16(0));
    QCOMPARE(s.changes, 2);
}

void TestSensType::setTypeCodeUnknownCode_data()
{
    QTest::addColumn<int>("code");
    QTest::newRow("197") << 197;
    QTest::newRow("255") << 255;
}

void TestSensType::setTypeCodeUnknownCode()
{
    QFETCH(int, code);
    TCountedSensType s;
    s.object.SetDeviceId(0x1050);
    try {
        s.object.SetTypeCode(quint8(code));
        QFAIL("no error raised");
    } catch (const ERangeError &e) {
        QCOMPARE(e.Message(), QStringLiteral("TSensType: invalid sensor type"));
    }
    QCOMPARE(s.object.GetRow(), 80);
    QCOMPARE(s.object.GetDeviceId(), quint16(0x1050));
    QCOMPARE(s.changes, 1);
}

void TestSensType::setName_data()
{
    QTest::addColumn<int>("startRow");
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("row");
    QTest::addColumn<int>("changes");
    QTest::newRow("model name") << 0 << QStringLiteral("Q0001") << 1 << 1;
    QTest::newRow("current name") << 1 << QStringLiteral("Q0001") << 1 << 0;
    QTest::newRow("case matters") << 1 << QStringLiteral("q0001") << 0 << 1;
    QTest::newRow("unknown name on row 0") << 0 << QStringLiteral("q0001") << 0 << 0;
    QTest::newRow("five digits") << 0 << QStringLiteral("Q00089") << 89 << 1;
    QTest::newRow("four digits of a five-digit name") << 0 << QStringLiteral("Q0089") << 0 << 0;
    QTest::newRow("Unknown is no row's name") << 5 << QStringLiteral("Unknown") << 0 << 1;
    QTest::newRow("whole name only") << 0 << QStringLiteral("Q000") << 0 << 0;
}

void TestSensType::setName()
{
    QFETCH(int, startRow);
    QFETCH(QString, name);
    QFETCH(int, row);
    QFETCH(int, changes);
    TCountedSensType s;
    s.object.SetTypeCode(quint8(startRow));
    s.changes = 0;
    s.object.SetName(name);
    QCOMPARE(s.object.GetRow(), row);
    QCOMPARE(s.object.GetDeviceId(), DeviceTypeTable[row].DeviceId);
    QCOMPARE(s.changes, changes);
}

void TestSensType::accessorsReadTheSelectedRow()
{
    TSensType s;
    for (int row = DeviceTypeCount - 1; row >= 0; --row) {
        s.SetTypeCode(quint8(row));
        const TDeviceType &t = DeviceTypeTable[row];
        QCOMPARE(s.GetTypeCode(), t.TypeCode);
        QCOMPARE(s.GetName(), QString::fromLatin1(t.Name));
        QCOMPARE(s.GetFamily(), t.Family);
        QCOMPARE(s.GetHasDisplay(), t.HasDisplay != 0);
        QCOMPARE(s.GetJumperPicture(), t.JumperPicture);
        QCOMPARE(s.GetInterface(), t.Interface);
        QCOMPARE(s.GetQuantities(), t.Quantities);
        QCOMPARE(s.GetKeypadModel(), t.KeypadModel != 0);
        QCOMPARE(s.GetBinaryInputs(), t.BinaryInputs != 0);
        QCOMPARE(s.GetNoExtCalib(), t.NoExtCalib != 0);
        QCOMPARE(s.GetFixedConfig(), t.FixedConfig != 0);
        QCOMPARE(s.GetAnalogOutput(), t.AnalogOutput != 0);
        QCOMPARE(s.GetSecondOutput(), t.SecondOutput != 0);
        QCOMPARE(s.GetOutputMin(), t.OutputMin);
        QCOMPARE(s.GetOutputMax(), t.OutputMax);
        QCOMPARE(s.GetServiceCable(), t.ServiceCable != 0);
        QCOMPARE(s.GetChannelCount(), t.ChannelCount);
    }
}

void TestSensType::channelCount_data()
{
    QTest::addColumn<int>("code");
    QTest::addColumn<bool>("four");
    QTest::addColumn<bool>("two");
    QTest::addColumn<int>("channels");
    QTest::newRow("109 as listed") << 109 << false << false << 2;
    QTest::newRow("109 four-channel firmware") << 109 << true << false << 4;
    QTest::newRow("110 four-channel firmware") << 110 << true << false << 4;
    QTest::newRow("109 ignores the two-channel flag") << 109 << false << true << 2;
    QTest::newRow("103 as listed") << 103 << false << false << 1;
    QTest::newRow("103 two-channel firmware") << 103 << false << true << 2;
    QTest::newRow("103 ignores the four-channel flag") << 103 << true << false << 1;
    QTest::newRow("104 ignores both") << 104 << true << true << 4;
    QTest::newRow("112 ignores both") << 112 << true << true << 2;
}

void TestSensType::channelCount()
{
    QFETCH(int, code);
    QFETCH(bool, four);
    QFETCH(bool, two);
    QFETCH(int, channels);
    TSensType s;
    s.SetTypeCode(quint8(code));
    s.FourChannelFirmware = four;
    s.TwoChannelFirmware = two;
    QCOMPARE(s.GetChannelCount(), channels);
}

void TestSensType::firmwareFlags_data()
{
    QTest::addColumn<int>("code");
    QTest::addColumn<quint32>("version");
    QTest::addColumn<bool>("four");
    QTest::addColumn<bool>("two");
    QTest::newRow("109 at 4-5-7.00") << 109 << PackFirmwareVersion(4, 5, 7, 0) << true << false;
    QTest::newRow("110 at 9-0-0.00") << 110 << PackFirmwareVersion(9, 0, 0, 0) << true << false;
    QTest::newRow("109 below") << 109 << PackFirmwareVersion(4, 5, 6, 99) << false << false;
    QTest::newRow("103 at 4-5-8.00") << 103 << PackFirmwareVersion(4, 5, 8, 0) << false << true;
    QTest::newRow("103 at 4-5-7.99") << 103 << PackFirmwareVersion(4, 5, 7, 99) << false << false;
    QTest::newRow("104 never") << 104 << PackFirmwareVersion(9, 9, 9, 99) << false << false;
}

void TestSensType::firmwareFlags()
{
    QFETCH(int, code);
    QFETCH(quint32, version);
    QFETCH(bool, four);
    QFETCH(bool, two);
    TSensType s;
    s.SetTypeCode(quint8(code));
    s.FourChannelFirmware = true;
    s.TwoChannelFirmware = true;
    s.ClearFirmwareFlags();
    s.ApplyFirmwareVersion(version);
    QCOMPARE(s.FourChannelFirmware, four);
    QCOMPARE(s.TwoChannelFirmware, two);
}

void TestSensType::keypadGeneration()
{
    TSensType s;
    s.SetTypeCode(131);  // keypad model without inputs
    QVERIFY(s.IsKeypadGeneration());
    s.SetTypeCode(109);  // inputs without keypad
    QVERIFY(s.IsKeypadGeneration());
    s.SetTypeCode(30);
    QVERIFY(!s.IsKeypadGeneration());
}

PELINOR_TEST_MAIN(TestSensType)
#include "test_uSensType.moc"
