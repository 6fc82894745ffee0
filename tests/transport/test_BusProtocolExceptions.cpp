// Result codes of the Modbus master become exception classes with fixed texts;
// callers tell them apart by class and sometimes by text.
#include "transport/BusProtocolExceptions.h"

#include "support/TestEnvironment.h"

#include <QTest>

#include <type_traits>

namespace {

using TIsA = bool (*)(const Exception &);

template <typename E>
bool IsA(const Exception &e)
{
    if constexpr (std::is_same_v<E, Exception>)
        return true;
    else
        return dynamic_cast<const E *>(&e) != nullptr;
}

} // namespace

Q_DECLARE_METATYPE(TIsA)

class TestBusProtocolExceptions : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void codesRaiseTheirClass_data();
    void codesRaiseTheirClass();
    void successRaisesNothing();
};

void TestBusProtocolExceptions::codesRaiseTheirClass_data()
{
    QTest::addColumn<int>("code");
    QTest::addColumn<QString>("text");
    QTest::addColumn<TIsA>("isClass");
    QTest::addColumn<TIsA>("isParent");
    const auto row = [](int code, const char *text, TIsA isClass, TIsA isParent) {
        QTest::addRow("%d", code) << code << QString::fromLatin1(text) << isClass << isParent;
    };
    row(1, "Illegal argument error", &IsA<ERangeError>, &IsA<Exception>);
    row(2, "Illegal state error", &IsA<EInvalidOperation>, &IsA<Exception>);
    row(64, "I/O error class", &IsA<EInOutError>, &IsA<Exception>);
    row(65, "I/O error", &IsA<EInOutError>, &IsA<Exception>);
    row(66, "Port or socket open error", &IsA<EOpenErr>, &IsA<EInOutError>);
    row(67, "Serial port already open", &IsA<EPortAlreadyOpen>, &IsA<EInOutError>);
    row(68, "TCP/IP connection error", &IsA<ETcpipConnectErr>, &IsA<EInOutError>);
    row(69, "TCP/IP connection was closed by remote peer", &IsA<EConnectionWasClosed>, &IsA<EInOutError>);
    row(70, "Socket library error", &IsA<ESocketLibError>, &IsA<EInOutError>);
    row(71, "TCP Port alread bound", &IsA<EPortAlreadyBound>, &IsA<EInOutError>);
    row(72, "Listen failed", &IsA<EListenFailed>, &IsA<EInOutError>);
    row(73, "File descriptors exceeded", &IsA<EFiledesExceeded>, &IsA<EInOutError>);
    row(74, "No permission to access serial or TCP port", &IsA<EPortNoAccess>, &IsA<EInOutError>);
    row(75, "TCP Port not available", &IsA<EPortNotAvail>, &IsA<EInOutError>);
    row(128, "Fieldbus protocol error class", &IsA<EBusProtocolException>, &IsA<EInOutError>);
    row(129, "Checksum error", &IsA<EChecksumException>, &IsA<EBusProtocolException>);
    row(130, "Invalid frame error", &IsA<EInvalidFrameException>, &IsA<EBusProtocolException>);
    row(131, "Invalid reply error", &IsA<EInvalidReplyException>, &IsA<EBusProtocolException>);
    row(132, "Reply time-out", &IsA<EReplyTimeoutException>, &IsA<EBusProtocolException>);
    row(160, "Modbus exception response", &IsA<EMbusResponseException>, &IsA<EBusProtocolException>);
    row(161, "Illegal Function exception response", &IsA<EMbusIllegalFunctionException>,
        &IsA<EMbusResponseException>);
    row(162, "Illegal Data Address exception response", &IsA<EMbusIllegalAddressException>,
        &IsA<EMbusResponseException>);
    row(163, "Illegal Data Value exception response", &IsA<EMbusIllegalValueException>,
        &IsA<EMbusResponseException>);
    row(164, "Slave Device Failure exception response", &IsA<EMbusSlaveFailureException>,
        &IsA<EMbusResponseException>);
    row(165, "Unknown error", &IsA<EExternalException>, &IsA<Exception>);
    row(-1, "Unknown error", &IsA<EExternalException>, &IsA<Exception>);
}

void TestBusProtocolExceptions::codesRaiseTheirClass()
{
    QFETCH(int, code);
    QFETCH(QString, text);
    QFETCH(TIsA, isClass);
    QFETCH(TIsA, isParent);
    try {
        RaiseBusProtocolError(code);
        QFAIL("nothing raised");
    } catch (const Exception &e) {
        QCOMPARE(e.Message(), text);
        QVERIFY(isClass(e));
        QVERIFY(isParent(e));
    }
    QCOMPARE(BusProtocolErrorText(code), text);
}

void TestBusProtocolExceptions::successRaisesNothing()
{
    RaiseBusProtocolError(0);
}

PELINOR_TEST_MAIN(TestBusProtocolExceptions)
#include "test_BusProtocolExceptions.moc"
