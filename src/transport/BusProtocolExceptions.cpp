#include "transport/BusProtocolExceptions.h"

#include "transport/uMbusMaster.h"

namespace {

using TRaise = void (*)(const QString &text);

template <typename E>
[[noreturn]] void Raise(const QString &text)
{
    throw E(text);
}

struct TCodeException {
    int code;
    const char *text;
    TRaise raise;
};

constexpr TCodeException CodeExceptions[] = {
    {MbusIllegalArgument, "Illegal argument error", &Raise<ERangeError>},
    {MbusIllegalState, "Illegal state error", &Raise<EInvalidOperation>},
    {MbusIoErrorClass, "I/O error class", &Raise<EInOutError>},
    {MbusIoError, "I/O error", &Raise<EInOutError>},
    {MbusOpenError, "Port or socket open error", &Raise<EOpenErr>},
    {MbusPortAlreadyOpen, "Serial port already open", &Raise<EPortAlreadyOpen>},
    {MbusTcpConnectError, "TCP/IP connection error", &Raise<ETcpipConnectErr>},
    {MbusConnectionClosed, "TCP/IP connection was closed by remote peer", &Raise<EConnectionWasClosed>},
    {MbusSocketLibError, "Socket library error", &Raise<ESocketLibError>},
    {MbusPortAlreadyBound, "TCP Port alread bound", &Raise<EPortAlreadyBound>},
    {MbusListenFailed, "Listen failed", &Raise<EListenFailed>},
    {MbusFiledesExceeded, "File descriptors exceeded", &Raise<EFiledesExceeded>},
    {MbusPortNoAccess, "No permission to access serial or TCP port", &Raise<EPortNoAccess>},
    {MbusPortNotAvail, "TCP Port not available", &Raise<EPortNotAvail>},
    {MbusProtocolErrorClass, "Fieldbus protocol error class", &Raise<EBusProtocolException>},
    {MbusChecksumError, "Checksum error", &Raise<EChecksumException>},
    {MbusInvalidFrame, "Invalid frame error", &Raise<EInvalidFrameException>},
    {MbusInvalidReply, "Invalid reply error", &Raise<EInvalidReplyException>},
    {MbusReplyTimeout, "Reply time-out", &Raise<EReplyTimeoutException>},
    {MbusExceptionResponse, "Modbus exception response", &Raise<EMbusResponseException>},
    {MbusIllegalFunction, "Illegal Function exception response", &Raise<EMbusIllegalFunctionException>},
    {MbusIllegalAddress, "Illegal Data Address exception response", &Raise<EMbusIllegalAddressException>},
    {MbusIllegalValue, "Illegal Data Value exception response", &Raise<EMbusIllegalValueException>},
    {MbusSlaveFailure, "Slave Device Failure exception response", &Raise<EMbusSlaveFailureException>},
};

constexpr TCodeException UnknownCode = {-1, "Unknown error", &Raise<EExternalException>};

const TCodeException &EntryOf(int code)
{
    for (const TCodeException &e : CodeExceptions) {
        if (e.code == code)
            return e;
    }
    return UnknownCode;
}

} // namespace

QString BusProtocolErrorText(int code)
{
    return QString::fromLatin1(EntryOf(code).text);
}

void RaiseBusProtocolError(int code)
{
    if (code == MbusOk)
        return;
    const TCodeException &e = EntryOf(code);
    e.raise(QString::fromLatin1(e.text));
}
