#include "transport/uMbusMasterFunctions.h"

#include "shell/uErrors.h"
#include "transport/BusProtocolExceptions.h"

namespace {

int Count(std::size_t size)
{
    return static_cast<int>(size);
}

} // namespace

TMbusMasterFunctions::TMbusMasterFunctions(QObject *owner, TMbusHandle handle, const char *createCall)
    : owner_(owner), handle_(handle)
{
    if (handle_ == nullptr)
        throw EOutOfResources(QStringLiteral("Call of %1 failed!").arg(QLatin1String(createCall)));
}

TMbusMasterFunctions::~TMbusMasterFunctions()
{
    if (handle_ != nullptr)
        mbusMaster_destroyProtocol(handle_);
}

void TMbusMasterFunctions::closeProtocol()
{
    (void)mbusMaster_closeProtocol(handle_);
}

bool TMbusMasterFunctions::isOpen() const
{
    return mbusMaster_isOpen(handle_) == 1;
}

void TMbusMasterFunctions::writeMultipleRegisters(int slaveAddr, int startRef, std::span<const quint16> regArr)
{
    RaiseBusProtocolError(
        mbusMaster_writeMultipleRegisters(handle_, slaveAddr, startRef, regArr.data(), Count(regArr.size())));
}

void TMbusMasterFunctions::writeMultipleLongInts(int slaveAddr, int startRef, std::span<const qint32> int32Arr)
{
    RaiseBusProtocolError(
        mbusMaster_writeMultipleLongInts(handle_, slaveAddr, startRef, int32Arr.data(), Count(int32Arr.size())));
}

void TMbusMasterFunctions::readMultipleRegisters(int slaveAddr, int startRef, std::span<quint16> regArr)
{
    RaiseBusProtocolError(
        mbusMaster_readMultipleRegisters(handle_, slaveAddr, startRef, regArr.data(), Count(regArr.size())));
}

void TMbusMasterFunctions::readMultipleLongInts(int slaveAddr, int startRef, std::span<qint32> int32Arr)
{
    RaiseBusProtocolError(
        mbusMaster_readMultipleLongInts(handle_, slaveAddr, startRef, int32Arr.data(), Count(int32Arr.size())));
}

void TMbusMasterFunctions::writeSingleRegister(int slaveAddr, int regAddr, quint16 regVal)
{
    RaiseBusProtocolError(mbusMaster_writeSingleRegister(handle_, slaveAddr, regAddr, regVal));
}

int TMbusMasterFunctions::timeout() const
{
    return mbusMaster_getTimeout(handle_);
}

void TMbusMasterFunctions::setTimeout(int ms)
{
    RaiseBusProtocolError(mbusMaster_setTimeout(handle_, ms));
}

int TMbusMasterFunctions::pollDelay() const
{
    return mbusMaster_getPollDelay(handle_);
}

void TMbusMasterFunctions::setPollDelay(int ms)
{
    RaiseBusProtocolError(mbusMaster_setPollDelay(handle_, ms));
}

int TMbusMasterFunctions::retryCnt() const
{
    return mbusMaster_getRetryCnt(handle_);
}

void TMbusMasterFunctions::setRetryCnt(int count)
{
    RaiseBusProtocolError(mbusMaster_setRetryCnt(handle_, count));
}

void TMbusMasterFunctions::setBigEndianInts(bool on)
{
    RaiseBusProtocolError(on ? mbusMaster_configureBigEndianInts(handle_)
                             : mbusMaster_configureLittleEndianInts(handle_));
    bigEndianInts_ = on;
}

void TMbusMasterFunctions::setSwappedFloats(bool on)
{
    RaiseBusProtocolError(on ? mbusMaster_configureSwappedFloats(handle_) : mbusMaster_configureIeeeFloats(handle_));
    swappedFloats_ = on;
}

void TMbusSerialMasterProtocol::openProtocol()
{
    RaiseBusProtocolError(mbusMaster_openSerialProtocol(handle(), portName.toLocal8Bit().constData(), baudRate,
                                                        dataBits, stopBits, parity));
}

TMbusAsciiMasterProtocol::TMbusAsciiMasterProtocol(QObject *owner)
    : TMbusSerialMasterProtocol(owner, mbusMaster_createAsciiProtocol(), "mbusMaster_createAsciiProtocol")
{
}

TMbusRtuMasterProtocol::TMbusRtuMasterProtocol(QObject *owner)
    : TMbusSerialMasterProtocol(owner, mbusMaster_createRtuProtocol(), "mbusMaster_createRtuProtocol")
{
}

TMbusTcpMasterProtocol::TMbusTcpMasterProtocol(QObject *owner)
    : TMbusMasterFunctions(owner, mbusMaster_createTcpProtocol(), "mbusMaster_createTcpProtocol")
{
}

void TMbusTcpMasterProtocol::openProtocol()
{
    RaiseBusProtocolError(mbusMaster_openTcpProtocol(handle(), hostName.toLocal8Bit().constData()));
}

quint16 TMbusTcpMasterProtocol::port() const
{
    return mbusMaster_getTcpPort(handle());
}

void TMbusTcpMasterProtocol::setPort(quint16 port)
{
    RaiseBusProtocolError(mbusMaster_setTcpPort(handle(), port));
}
