#include "model/uBitRate.h"

#include "CountedChanges.h"
#include "shell/uErrors.h"
#include "support/TestEnvironment.h"

#include <QTest>

#include <cmath>

namespace {

enum TSetter { ByCode, ByBaudType, ByValue };

void Set(TBitRate &rate, int setter, quint32 argument)
{
    switch (setter) {
    case ByCode:
        rate.SetCode(quint16(argument));
        break;
    case ByBaudType:
        rate.SetBaudType(quint8(argument));
        break;
    default:
        rate.SetValue(argument);
    }
}

} // namespace

class TestBitRate : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void codeDividesTheTransmitterClock();
    void startsAt9600();
    void setters_data();
    void setters();
    void settersRefuseUnknownArguments_data();
    void settersRefuseUnknownArguments();
};

void TestBitRate::codeDividesTheTransmitterClock()
{
    for (int row = 0; row < BaudRowCount; ++row) {
        const TBaudRow &b = BaudTable[row];
        QCOMPARE(int(b.BaudType), row);
        QCOMPARE(quint32(b.Code), quint32(std::lround(double(TransmitterClockHz) / b.Value)));
    }
}

void TestBitRate::startsAt9600()
{
    const TBitRate rate;
    QCOMPARE(rate.GetBaudType(), quint8(6));
    QCOMPARE(rate.GetValue(), quint32(9600));
    QCOMPARE(rate.GetCode(), quint16(0x01B5));
}

void TestBitRate::setters_data()
{
    QTest::addColumn<int>("setter");
    QTest::addColumn<quint32>("argument");
    QTest::addColumn<int>("baudType");
    QTest::addColumn<int>("changes");
    QTest::newRow("value 14400") << int(ByValue) << quint32(14400) << 7 << 1;
    QTest::newRow("value 9600 is selected") << int(ByValue) << quint32(9600) << 6 << 0;
    QTest::newRow("code 0x0024") << int(ByCode) << quint32(0x0024) << 12 << 1;
    QTest::newRow("code 0x94F2") << int(ByCode) << quint32(0x94F2) << 0 << 1;
    QTest::newRow("baud type 11") << int(ByBaudType) << quint32(11) << 11 << 1;
}

void TestBitRate::setters()
{
    QFETCH(int, setter);
    QFETCH(quint32, argument);
    QFETCH(int, baudType);
    QFETCH(int, changes);
    TCounted<TBitRate> rate;
    Set(rate.object, setter, argument);
    QCOMPARE(int(rate.object.GetBaudType()), baudType);
    QCOMPARE(rate.object.GetValue(), BaudTable[baudType].Value);
    QCOMPARE(rate.object.GetCode(), BaudTable[baudType].Code);
    QCOMPARE(rate.changes, changes);
}

void TestBitRate::settersRefuseUnknownArguments_data()
{
    QTest::addColumn<int>("setter");
    QTest::addColumn<quint32>("argument");
    QTest::addColumn<QString>("message");
    QTest::newRow("code 0x01B4") << int(ByCode) << quint32(0x01B4)
                                 << QStringLiteral("TBitRate: invalid baudrate code: $01B4");
    QTest::newRow("code in upper case") << int(ByCode) << quint32(0x00AB)
                                        << QStringLiteral("TBitRate: invalid baudrate code: $00AB");
    QTest::newRow("baud type 13") << int(ByBaudType) << quint32(13)
                                  << QStringLiteral("TBitRate: invalid baudrate type");
    QTest::newRow("value 9601") << int(ByValue) << quint32(9601)
                                << QStringLiteral("TBitRate: invalid baudrate value");
}

void TestBitRate::settersRefuseUnknownArguments()
{
    QFETCH(int, setter);
    QFETCH(quint32, argument);
    QFETCH(QString, message);
    TCounted<TBitRate> rate;
    rate.object.SetValue(19200);
    try {
        Set(rate.object, setter, argument);
        QFAIL("no error raised");
    } catch (const Exception &e) {
        QCOMPARE(e.Message(), message);
    }
    QCOMPARE(rate.object.GetValue(), quint32(19200));
    QCOMPARE(rate.changes, 1);
}

PELINOR_TEST_MAIN(TestBitRate)
#include "test_uBitRate.moc"
