#include "transport/uMbusMaster.h"

#include "shell/uClock.h"
#include "transport/uMbusWire.h"

#include <modbus/modbus.h>

#include <cerrno>
#include <vector>

enum class TMbusProtocolKind { Rtu, Ascii, Tcp };

struct TMbusProtocol {
    explicit TMbusProtocol(TMbusProtocolKind k) : kind(k) {}

    TMbusProtocolKind kind;
    std::unique_ptr<IMbusWire> wire;
    int timeoutMs = MbusDefaultTimeoutMs;
    int pollDelayMs = 0;
    int retryCnt = 0;
    bool bigEndianInts = false;
    bool swappedFloats = false;
    quint16 tcpPort = MbusDefaultTcpPort;
    qint64 lastTransferMs = 0;
};

namespace {

// Error numbers of the system and of the Modbus library and the result codes
// they give in a transaction and in an open. Exception replies come as
// MODBUS_ENOBASE + code; codes above 4 have no result of their own.
struct TErrorCode {
    int error;
    int transferCode;
    int openCode;
};

constexpr int ExceptionBase = MODBUS_ENOBASE;

constexpr TErrorCode ErrorCodes[] = {
    {ETIMEDOUT, MbusReplyTimeout, MbusTcpConnectError},
    {EMBBADCRC, MbusChecksumError, MbusChecksumError},
    {EPROTO, MbusInvalidFrame, MbusInvalidFrame},
    {EMBBADDATA, MbusInvalidReply, MbusInvalidReply},
    {EMBBADSLAVE, MbusInvalidReply, MbusInvalidReply},
    {EMBMDATA, MbusIllegalArgument, MbusIllegalArgument},
    {ExceptionBase + 0, MbusExceptionResponse, MbusExceptionResponse},
    {EMBXILFUN, MbusIllegalFunction, MbusIllegalFunction},
    {EMBXILADD, MbusIllegalAddress, MbusIllegalAddress},
    {EMBXILVAL, MbusIllegalValue, MbusIllegalValue},
    {EMBXSFAIL, MbusSlaveFailure, MbusSlaveFailure},
    {EMBXACK, MbusExceptionResponse, MbusExceptionResponse},
    {EMBXSBUSY, MbusExceptionResponse, MbusExceptionResponse},
    {EMBXNACK, MbusExceptionResponse, MbusExceptionResponse},
    {EMBXMEMPAR, MbusExceptionResponse, MbusExceptionResponse},
    {ExceptionBase + MODBUS_EXCEPTION_NOT_DEFINED, MbusExceptionResponse, MbusExceptionResponse},
    {EMBXGPATH, MbusExceptionResponse, MbusExceptionResponse},
    {EMBXGTAR, MbusExceptionResponse, MbusExceptionResponse},
    {EMBBADEXC, MbusExceptionResponse, MbusExceptionResponse},
    {EMBUNKEXC, MbusExceptionResponse, MbusExceptionResponse},
    {ECONNRESET, MbusConnectionClosed, MbusTcpConnectError},
    {EPIPE, MbusConnectionClosed, MbusTcpConnectError},
    {ECONNREFUSED, MbusTcpConnectError, MbusTcpConnectError},
    {ECONNABORTED, MbusConnectionClosed, MbusTcpConnectError},
    {EHOSTUNREACH, MbusTcpConnectError, MbusTcpConnectError},
    {ENETUNREACH, MbusTcpConnectError, MbusTcpConnectError},
    {EINPROGRESS, MbusTcpConnectError, MbusTcpConnectError},
    {EBADF, MbusIllegalState, MbusOpenError},
    {EINVAL, MbusIllegalArgument, MbusIllegalArgument},
    {EBUSY, MbusPortAlreadyOpen, MbusPortAlreadyOpen},
    {EWOULDBLOCK, MbusOpenError, MbusOpenError},
    {ENOENT, MbusOpenError, MbusOpenError},
    {ENODEV, MbusOpenError, MbusOpenError},
    {ENXIO, MbusOpenError, MbusOpenError},
    {ENOTTY, MbusOpenError, MbusOpenError},
    {EACCES, MbusPortNoAccess, MbusPortNoAccess},
    {EPERM, MbusPortNoAccess, MbusPortNoAccess},
    {EMFILE, MbusFiledesExceeded, MbusFiledesExceeded},
    {ENFILE, MbusFiledesExceeded, MbusFiledesExceeded},
    {EADDRINUSE, MbusPortAlreadyBound, MbusPortAlreadyBound},
    {EADDRNOTAVAIL, MbusPortNotAvail, MbusPortNotAvail},
    {ENOTSOCK, MbusSocketLibError, MbusSocketLibError},
    {EIO, MbusIoError, MbusIoError},
};

constexpr int MaxReadRegisters = MODBUS_MAX_READ_REGISTERS;
constexpr int MaxWriteRegisters = MODBUS_MAX_WRITE_REGISTERS;
constexpr int MaxReference = 0x10000;

bool ReferencesValid(int startRef, int count, int maxCount)
{
    return count >= 1 && count <= maxCount && startRef >= 1 && startRef - 1 + count <= MaxReference;
}

bool IsRetryable(int error)
{
    return error == ETIMEDOUT || error == EMBBADCRC || error == EPROTO;
}

// Keeps the poll delay between the end of the last transaction and the next.
void WaitPollDelay(TMbusProtocol &p)
{
    if (p.pollDelayMs <= 0)
        return;
    const qint64 since = Clock().NowMs() - p.lastTransferMs;
    if (since < p.pollDelayMs)
        Delay(static_cast<int>(p.pollDelayMs - since));
}

// Runs one transaction with the protocol's retries and poll delay.
template <typename Call>
int Transfer(TMbusHandle h, Call call)
{
    if (h == nullptr)
        return MbusIllegalArgument;
    if (!h->wire || !h->wire->IsOpen())
        return MbusIllegalState;
    int error = 0;
    for (int attempt = 0; attempt <= h->retryCnt; ++attempt) {
        WaitPollDelay(*h);
        h->wire->SetReplyTimeoutMs(h->timeoutMs);
        error = call(*h->wire);
        h->lastTransferMs = Clock().NowMs();
        if (!IsRetryable(error) || !h->wire->IsOpen())
            break;
    }
    return MbusResultOfError(error, false);
}

quint16 LowWord(qint32 v)
{
    return static_cast<quint16>(static_cast<quint32>(v) & 0xFFFF);
}

quint16 HighWord(qint32 v)
{
    return static_cast<quint16>(static_cast<quint32>(v) >> 16);
}

TMbusHandle Create(TMbusProtocolKind kind)
{
    return new TMbusProtocol(kind);
}

int SetOption(TMbusHandle h, int TMbusProtocol::*field, int value, int minimum, int maximum)
{
    if (h == nullptr || value < minimum || value > maximum)
        return MbusIllegalArgument;
    h->*field = value;
    return MbusOk;
}

int GetOption(TMbusHandle h, int TMbusProtocol::*field)
{
    return h == nullptr ? 0 : h->*field;
}

int SetFlag(TMbusHandle h, bool TMbusProtocol::*field, bool value)
{
    if (h == nullptr)
        return MbusIllegalArgument;
    h->*field = value;
    return MbusOk;
}

} // namespace

int MbusResultOfError(int error, bool duringOpen)
{
    if (error == 0)
        return MbusOk;
    for (const TErrorCode &e : ErrorCodes) {
        if (e.error == error)
            return duringOpen ? e.openCode : e.transferCode;
    }
    return duringOpen ? MbusOpenError : MbusIoError;
}

TMbusHandle mbusMaster_createRtuProtocol()
{
    return Create(TMbusProtocolKind::Rtu);
}

TMbusHandle mbusMaster_createAsciiProtocol()
{
    return Create(TMbusProtocolKind::Ascii);
}

TMbusHandle mbusMaster_createTcpProtocol()
{
    return Create(TMbusProtocolKind::Tcp);
}

void mbusMaster_destroyProtocol(TMbusHandle handle)
{
    delete handle;
}

int mbusMaster_openSerialProtocol(TMbusHandle handle, const char *portName, int baudRate, int dataBits,
                                  int stopBits, int parity)
{
    if (handle == nullptr || portName == nullptr || handle->kind == TMbusProtocolKind::Tcp)
        return MbusIllegalArgument;
    if (handle->wire && handle->wire->IsOpen())
        return MbusPortAlreadyOpen;
    const TSerialLineSettings settings{baudRate, dataBits, stopBits, parity};
    const QString name = QString::fromLocal8Bit(portName);
    int error = 0;
    handle->wire = handle->kind == TMbusProtocolKind::Rtu ? OpenRtuWire(name, settings, handle->timeoutMs, &error)
                                                          : OpenAsciiWire(name, settings, handle->timeoutMs, &error);
    return MbusResultOfError(error, true);
}

int mbusMaster_openTcpProtocol(TMbusHandle handle, const char *hostName)
{
    if (handle == nullptr || hostName == nullptr || handle->kind != TMbusProtocolKind::Tcp)
        return MbusIllegalArgument;
    if (handle->wire && handle->wire->IsOpen())
        return MbusIllegalState;
    int error = 0;
    handle->wire = OpenTcpWire(QString::fromLocal8Bit(hostName), handle->tcpPort, handle->timeoutMs, &error);
    return MbusResultOfError(error, true);
}

int mbusMaster_setTcpPort(TMbusHandle handle, quint16 port)
{
    if (handle == nullptr)
        return MbusIllegalArgument;
    handle->tcpPort = port;
    return MbusOk;
}

quint16 mbusMaster_getTcpPort(TMbusHandle handle)
{
    return handle == nullptr ? 0 : handle->tcpPort;
}

int mbusMaster_closeProtocol(TMbusHandle handle)
{
    if (handle == nullptr)
        return MbusIllegalArgument;
    handle->wire.reset();
    return MbusOk;
}

int mbusMaster_isOpen(TMbusHandle handle)
{
    return handle != nullptr && handle->wire && handle->wire->IsOpen() ? 1 : 0;
}

int mbusMaster_setTimeout(TMbusHandle handle, int timeoutMs)
{
    return SetOption(handle, &TMbusProtocol::timeoutMs, timeoutMs, 1, MbusMaxTimeoutMs);
}

int mbusMaster_getTimeout(TMbusHandle handle)
{
    return GetOption(handle, &TMbusProtocol::timeoutMs);
}

int mbusMaster_setPollDelay(TMbusHandle handle, int pollDelayMs)
{
    return SetOption(handle, &TMbusProtocol::pollDelayMs, pollDelayMs, 0, MbusMaxTimeoutMs);
}

int mbusMaster_getPollDelay(TMbusHandle handle)
{
    return GetOption(handle, &TMbusProtocol::pollDelayMs);
}

int mbusMaster_setRetryCnt(TMbusHandle handle, int retryCnt)
{
    constexpr int MaxRetries = 10;
    return SetOption(handle, &TMbusProtocol::retryCnt, retryCnt, 0, MaxRetries);
}

int mbusMaster_getRetryCnt(TMbusHandle handle)
{
    return GetOption(handle, &TMbusProtocol::retryCnt);
}

int mbusMaster_configureBigEndianInts(TMbusHandle handle)
{
    return SetFlag(handle, &TMbusProtocol::bigEndianInts, true);
}

int mbusMaster_configureLittleEndianInts(TMbusHandle handle)
{
    return SetFlag(handle, &TMbusProtocol::bigEndianInts, false);
}

int mbusMaster_configureSwappedFloats(TMbusHandle handle)
{
    return SetFlag(handle, &TMbusProtocol::swappedFloats, true);
}

int mbusMaster_configureIeeeFloats(TMbusHandle handle)
{
    return SetFlag(handle, &TMbusProtocol::swappedFloats, false);
}

int mbusMaster_readMultipleRegisters(TMbusHandle handle, int slaveAddr, int startRef, quint16 *regArr, int refCnt)
{
    if (regArr == nullptr || !ReferencesValid(startRef, refCnt, MaxReadRegisters))
        return MbusIllegalArgument;
    return Transfer(handle,
                    [&](IMbusWire &w) { return w.ReadRegisters(slaveAddr, startRef - 1, refCnt, regArr); });
}

int mbusMaster_writeMultipleRegisters(TMbusHandle handle, int slaveAddr, int startRef, const quint16 *regArr,
                                      int refCnt)
{
    if (regArr == nullptr || !ReferencesValid(startRef, refCnt, MaxWriteRegisters))
        return MbusIllegalArgument;
    return Transfer(handle,
                    [&](IMbusWire &w) { return w.WriteRegisters(slaveAddr, startRef - 1, refCnt, regArr); });
}

int mbusMaster_writeSingleRegister(TMbusHandle handle, int slaveAddr, int regAddr, quint16 regVal)
{
    if (!ReferencesValid(regAddr, 1, 1))
        return MbusIllegalArgument;
    return Transfer(handle, [&](IMbusWire &w) { return w.WriteRegister(slaveAddr, regAddr - 1, regVal); });
}

int mbusMaster_readMultipleLongInts(TMbusHandle handle, int slaveAddr, int startRef, qint32 *int32Arr,
                                    int refCnt)
{
    if (handle == nullptr || int32Arr == nullptr || refCnt < 1)
        return MbusIllegalArgument;
    std::vector<quint16> regs(static_cast<size_t>(refCnt) * 2);
    const int result = mbusMaster_readMultipleRegisters(handle, slaveAddr, startRef, regs.data(), 2 * refCnt);
    if (result != MbusOk)
        return result;
    for (int i = 0; i < refCnt; ++i) {
        const quint32 first = regs[2 * i];
        const quint32 second = regs[2 * i + 1];
        const quint32 v = handle->bigEndianInts ? (first << 16) | second : (second << 16) | first;
        int32Arr[i] = static_cast<qint32>(v);
    }
    return MbusOk;
}

int mbusMaster_writeMultipleLongInts(TMbusHandle handle, int slaveAddr, int startRef, const qint32 *int32Arr,
                                     int refCnt)
{
    if (handle == nullptr || int32Arr == nullptr || refCnt < 1)
        return MbusIllegalArgument;
    std::vector<quint16> regs(static_cast<size_t>(refCnt) * 2);
    for (int i = 0; i < refCnt; ++i) {
        regs[2 * i] = handle->bigEndianInts ? HighWord(int32Arr[i]) : LowWord(int32Arr[i]);
        regs[2 * i + 1] = handle->bigEndianInts ? LowWord(int32Arr[i]) : HighWord(int32Arr[i]);
    }
    return mbusMaster_writeMultipleRegisters(handle, slaveAddr, startRef, regs.data(), 2 * refCnt);
}
