#include "transport/uSyncMbus.h"

#include <array>

namespace {

constexpr std::array<int, 15> BaudRates = {110,   300,   600,   1200,  2400,  4800,   9600,  14400,
                                           19200, 38400, 56000, 57600, 115200, 128000, 256000};

// Only the low seven bits of a baud code select the rate.
constexpr quint8 BaudCodeMask = 0x7F;

bool IsSerialKind(quint8 kind)
{
    return kind == TSyncMBus::KindAscii || kind == TSyncMBus::KindRtu;
}

std::unique_ptr<TMbusMasterFunctions> CreateInner(quint8 kind, QObject *owner)
{
    switch (kind) {
    case TSyncMBus::KindAscii: return std::make_unique<TMbusAsciiMasterProtocol>(owner);
    case TSyncMBus::KindTcp: return std::make_unique<TMbusTcpMasterProtocol>(owner);
    default: return std::make_unique<TMbusRtuMasterProtocol>(owner);
    }
}

} // namespace

int MbusBaudRateValue(int code)
{
    return code >= 0 && code < static_cast<int>(BaudRates.size()) ? BaudRates[static_cast<size_t>(code)] : -1;
}

TSyncMBus::TSyncMBus(QObject *owner) : owner_(owner), inner_(CreateInner(KindRtu, owner)) {}

TSyncMBus::~TSyncMBus()
{
    inner_->closeProtocol();
}

TMbusSerialMasterProtocol *TSyncMBus::Serial() const
{
    return IsSerialKind(kind_) ? static_cast<TMbusSerialMasterProtocol *>(inner_.get()) : nullptr;
}

TMbusTcpMasterProtocol *TSyncMBus::Tcp() const
{
    return kind_ == KindTcp ? static_cast<TMbusTcpMasterProtocol *>(inner_.get()) : nullptr;
}

void TSyncMBus::SetProtocolKind(quint8 kind)
{
    if (kind == kind_ || kind > KindTcp)
        return;
    const bool wasOpen = IsOpen();
    auto inner = CreateInner(kind, owner_);
    kind_ = kind;
    inner_ = std::move(inner);  // freeing the old object closes it
    if (wasOpen)
        Open();
}

bool TSyncMBus::IsOpen() const
{
    return inner_->isOpen();
}

void TSyncMBus::SetComPort(quint8 portNo)
{
    const bool wasOpen = IsOpen();
    if (wasOpen)
        Close();
    portNo_ = portNo;
    if (auto *serial = Serial())
        serial->portName = QStringLiteral("\\\\.\\COM%1").arg(portNo);
    if (wasOpen)
        Open();
}

int TSyncMBus::SelectedBitRate() const
{
    const int code = baudCode_ & BaudCodeMask;
    if (code == CustomBaudCode)
        return customBaud_;
    const int rate = MbusBaudRateValue(code);
    return rate > 0 ? rate : appliedBitRate_;
}

void TSyncMBus::SetBaudRate(quint8 code)
{
    baudCode_ = code;
    const int masked = code & BaudCodeMask;
    if (masked > CustomBaudCode)
        return;
    appliedBitRate_ = SelectedBitRate();
    if (auto *serial = Serial())
        serial->baudRate = appliedBitRate_;
}

void TSyncMBus::SetParity(quint8 code)
{
    parityCode_ = code;
    auto *serial = Serial();
    if (serial != nullptr && code <= 2)
        serial->parity = code;
}

void TSyncMBus::SetDataBits(quint8 code)
{
    dataBitsCode_ = code;
    auto *serial = Serial();
    if (serial != nullptr && (code == 3 || code == 4))
        serial->dataBits = code == 3 ? 7 : 8;
}

void TSyncMBus::SetStopBits(quint8 code)
{
    stopBitsCode_ = code;
    auto *serial = Serial();
    if (serial != nullptr && (code == 0 || code == 2))
        serial->stopBits = code == 0 ? 1 : 2;
}

void TSyncMBus::SetHostName(const QString &hostName)
{
    hostName_ = hostName;
    if (auto *tcp = Tcp())
        tcp->hostName = hostName;
}

void TSyncMBus::SetTcpPort(quint16 port)
{
    const bool reopen = kind_ == KindTcp && IsOpen();
    if (reopen)
        Close();
    tcpPort_ = port;
    if (auto *tcp = Tcp())
        tcp->setPort(port);
    if (reopen)
        Open();
}

void TSyncMBus::ApplySerialSettings()
{
    Serial()->portName = QStringLiteral("\\\\.\\COM%1").arg(portNo_);
    SetBaudRate(baudCode_);
    SetDataBits(dataBitsCode_);
    SetStopBits(stopBitsCode_);
    SetParity(parityCode_);
}

void TSyncMBus::ApplyTcpSettings()
{
    Tcp()->hostName = hostName_;
    Tcp()->setPort(tcpPort_);
}

void TSyncMBus::Open()
{
    if (IsOpen())
        Close();
    if (kind_ == KindTcp)
        ApplyTcpSettings();
    else
        ApplySerialSettings();
    inner_->openProtocol();
}

void TSyncMBus::Close()
{
    inner_->closeProtocol();
}

void TSyncMBus::WriteMultipleRegisters(int slaveAddr, int startRef, std::span<const quint16> regArr)
{
    inner_->writeMultipleRegisters(slaveAddr, startRef, regArr);
}

void TSyncMBus::WriteMultipleLongInts(int slaveAddr, int startRef, std::span<const qint32> int32Arr)
{
    inner_->writeMultipleLongInts(slaveAddr, startRef, int32Arr);
}

void TSyncMBus::ReadMultipleRegisters(int slaveAddr, int startRef, std::span<quint16> regArr)
{
    inner_->readMultipleRegisters(slaveAddr, startRef, regArr);
}

void TSyncMBus::ReadMultipleLongInts(int slaveAddr, int startRef, std::span<qint32> int32Arr)
{
    inner_->readMultipleLongInts(slaveAddr, startRef, int32Arr);
}

void TSyncMBus::WriteSingleRegister(int slaveAddr, int regAddr, quint16 regVal)
{
    inner_->writeSingleRegister(slaveAddr, regAddr, regVal);
}
