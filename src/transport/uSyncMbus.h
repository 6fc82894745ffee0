#pragma once

#include "transport/uMbusMasterFunctions.h"

#include <QString>

#include <memory>
#include <span>

class QObject;

// The program's Modbus master: RTU or ASCII over a COM port, or TCP to a host
// and port, through one inner protocol object of the library layer. Setters
// only store; Open applies them all to the line. Changing the kind, the COM
// port or the TCP port of an open connection reopens it.
class TSyncMBus {
public:
    enum : quint8 { KindAscii = 0, KindRtu = 1, KindTcp = 2 };
    // Baud code whose bit rate is CustomBaud().
    static constexpr quint8 CustomBaudCode = 15;

    explicit TSyncMBus(QObject *owner = nullptr);
    virtual ~TSyncMBus();
    TSyncMBus(const TSyncMBus &) = delete;
    TSyncMBus &operator=(const TSyncMBus &) = delete;

    void SetProtocolKind(quint8 kind);
    bool IsOpen() const;
    void SetComPort(quint8 portNo);
    void SetBaudRate(quint8 code);
    void SetParity(quint8 code);
    void SetDataBits(quint8 code);
    void SetStopBits(quint8 code);
    void SetHostName(const QString &hostName);
    void SetTcpPort(quint16 port);
    void SetCustomBaud(int bitRate) { customBaud_ = bitRate; }
    void Open();
    virtual void Close();

    void WriteMultipleRegisters(int slaveAddr, int startRef, std::span<const quint16> regArr);
    void WriteMultipleLongInts(int slaveAddr, int startRef, std::span<const qint32> int32Arr);
    void ReadMultipleRegisters(int slaveAddr, int startRef, std::span<quint16> regArr);
    void ReadMultipleLongInts(int slaveAddr, int startRef, std::span<qint32> int32Arr);
    void WriteSingleRegister(int slaveAddr, int regAddr, quint16 regVal);

    // Options of the inner protocol object.
    int timeout() const { return inner_->timeout(); }
    void setTimeout(int ms) { inner_->setTimeout(ms); }
    int pollDelay() const { return inner_->pollDelay(); }
    void setPollDelay(int ms) { inner_->setPollDelay(ms); }
    int retryCnt() const { return inner_->retryCnt(); }
    void setRetryCnt(int count) { inner_->setRetryCnt(count); }
    bool bigEndianInts() const { return inner_->bigEndianInts(); }
    void setBigEndianInts(bool on) { inner_->setBigEndianInts(on); }
    bool swappedFloats() const { return inner_->swappedFloats(); }
    void setSwappedFloats(bool on) { inner_->setSwappedFloats(on); }

    QObject *Owner() const { return owner_; }
    quint8 Kind() const { return kind_; }
    quint8 PortNo() const { return portNo_; }
    quint8 BaudCode() const { return baudCode_; }
    int CustomBaud() const { return customBaud_; }
    quint8 ParityCode() const { return parityCode_; }
    quint8 DataBitsCode() const { return dataBitsCode_; }
    quint8 StopBitsCode() const { return stopBitsCode_; }
    const QString &HostName() const { return hostName_; }
    quint16 TcpPort() const { return tcpPort_; }
    // The inner protocol object (its serial or TCP settings as stored).
    const TMbusMasterFunctions &Inner() const { return *inner_; }

protected:
    // The bit rate of the stored baud code: the table value, CustomBaud for
    // code 15, or the rate last applied for codes without a value.
    int SelectedBitRate() const;

private:
    TMbusSerialMasterProtocol *Serial() const;
    TMbusTcpMasterProtocol *Tcp() const;
    void ApplySerialSettings();
    void ApplyTcpSettings();

    QObject *owner_;
    quint8 kind_ = KindRtu;
    std::unique_ptr<TMbusMasterFunctions> inner_;
    quint8 portNo_ = 1;
    quint8 baudCode_ = 6;
    int customBaud_ = 9600;
    int appliedBitRate_ = 9600;
    quint8 parityCode_ = 0;
    quint8 dataBitsCode_ = 4;
    quint8 stopBitsCode_ = 0;
    QString hostName_ = QStringLiteral("127.0.0.1");
    quint16 tcpPort_ = MbusDefaultTcpPort;
};

// The bit rate of a baud code 0..14 (0 = 110 ... 14 = 256000); -1 for the
// custom code 15 and for codes without a rate.
int MbusBaudRateValue(int code);
