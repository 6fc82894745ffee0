#pragma once

#include "transport/uMbusMaster.h"

#include <QString>

#include <span>

class QObject;

// The class layer over the Modbus master library: each object owns one
// protocol handle and turns every failing call into the exception of its
// result code (BusProtocolExceptions).
class TMbusMasterFunctions {
public:
    virtual ~TMbusMasterFunctions();
    TMbusMasterFunctions(const TMbusMasterFunctions &) = delete;
    TMbusMasterFunctions &operator=(const TMbusMasterFunctions &) = delete;

    // Opens the protocol with the settings of the object.
    virtual void openProtocol() = 0;
    void closeProtocol();
    bool isOpen() const;

    // Function 16, count = length of the array.
    void writeMultipleRegisters(int slaveAddr, int startRef, std::span<const quint16> regArr);
    // Two registers per value.
    void writeMultipleLongInts(int slaveAddr, int startRef, std::span<const qint32> int32Arr);
    // Function 3, count = length of the array.
    void readMultipleRegisters(int slaveAddr, int startRef, std::span<quint16> regArr);
    void readMultipleLongInts(int slaveAddr, int startRef, std::span<qint32> int32Arr);
    // Function 6.
    void writeSingleRegister(int slaveAddr, int regAddr, quint16 regVal);

    int timeout() const;
    void setTimeout(int ms);
    int pollDelay() const;
    void setPollDelay(int ms);
    int retryCnt() const;
    void setRetryCnt(int count);
    bool bigEndianInts() const { return bigEndianInts_; }
    void setBigEndianInts(bool on);
    bool swappedFloats() const { return swappedFloats_; }
    void setSwappedFloats(bool on);

    QObject *owner() const { return owner_; }

protected:
    // Takes the handle of a create call; a nil handle raises EOutOfResources
    // naming the call.
    TMbusMasterFunctions(QObject *owner, TMbusHandle handle, const char *createCall);
    TMbusHandle handle() const { return handle_; }

private:
    QObject *owner_;
    TMbusHandle handle_;
    bool bigEndianInts_ = false;
    bool swappedFloats_ = false;
};

class TMbusSerialMasterProtocol : public TMbusMasterFunctions {
public:
    // Opens portName at the line settings below.
    void openProtocol() override;

    QString portName = QStringLiteral("COM1");
    int baudRate = 9600;
    int dataBits = 8;
    int stopBits = 1;
    int parity = 0;  // 0 none, 1 odd, 2 even

protected:
    using TMbusMasterFunctions::TMbusMasterFunctions;
};

class TMbusAsciiMasterProtocol final : public TMbusSerialMasterProtocol {
public:
    explicit TMbusAsciiMasterProtocol(QObject *owner = nullptr);
};

class TMbusRtuMasterProtocol final : public TMbusSerialMasterProtocol {
public:
    explicit TMbusRtuMasterProtocol(QObject *owner = nullptr);
};

class TMbusTcpMasterProtocol final : public TMbusMasterFunctions {
public:
    explicit TMbusTcpMasterProtocol(QObject *owner = nullptr);

    // Connects to hostName at port().
    void openProtocol() override;

    quint16 port() const;
    void setPort(quint16 port);

    QString hostName = QStringLiteral("127.0.0.1");
};
