#include "transport/uSyncRS.h"

#include "shell/uErrors.h"
#include "transport/uPortNames.h"

#include <cstring>

namespace {

constexpr int BaudRates[] = {110, 300, 600, 1200, 2400, 4800, 9600, 14400,
                             19200, 38400, 56000, 57600, 115200, 128000, 256000};

[[noreturn]] void Fail(const QString &message)
{
    throw Exception(ClassMessage("TSyncRS", message));
}

} // namespace

int BaudRateValue(int code)
{
    if (code < 0 || code >= int(std::size(BaudRates)))
        return -1;
    return BaudRates[code];
}

int CheckComPort(int portNo)
{
    const QString path = PortNames::DevicePath(portNo);
    if (path.isEmpty())
        return cpsAbsent;
    switch (TSerialLine::Probe(path)) {
    case TOpenStatus::Opened: return cpsFree;
    case TOpenStatus::Absent: return cpsAbsent;
    case TOpenStatus::Busy: break;
    }
    return cpsBusy;
}

TSyncRS::TSyncRS() : line_(std::make_unique<TSerialLine>())
{
    SetSendBufSize(DefaultSendBufSize);
    SetRecvBufSize(DefaultRecvBufSize);
}

TSyncRS::~TSyncRS()
{
    Close();
}

void TSyncRS::SetSendBufSize(int size)
{
    if (size <= 0)
        Fail(QStringLiteral("SetSendBufSize(%1), size must be > 0").arg(size));
    sendBuf_ = QByteArray(size, '\0');
}

void TSyncRS::SetRecvBufSize(int size)
{
    if (size <= 0)
        Fail(QStringLiteral("SetRecvBufSize(%1), size must be > 0").arg(size));
    recvBuf_ = QByteArray(size, '\0');
}

bool TSyncRS::IsOpen() const
{
    return line_->IsOpen();
}

void TSyncRS::SetPort(int portNo)
{
    if (!IsOpen()) {
        portNo_ = portNo;
        return;
    }
    Close();
    portNo_ = portNo;
    Open();
}

void TSyncRS::SetBaudRate(int code)
{
    baudCode_ = code;
    line_->SetBitRate(ActualBaudRate());
}

void TSyncRS::SetCustomBaud(int bitsPerSecond)
{
    customBaud_ = bitsPerSecond;
    if (baudCode_ == brCustom)
        line_->SetBitRate(customBaud_);
}

void TSyncRS::SetParity(int code)
{
    parityCode_ = code;
    line_->SetParity(code);
}

void TSyncRS::SetDataBits(int code)
{
    dataBitsCode_ = code;
    line_->SetDataBits(code);
}

void TSyncRS::SetStopBits(int code)
{
    stopBitsCode_ = code;
    line_->SetStopBits(code);
}

void TSyncRS::SetFlowControl(int code)
{
    flowCode_ = code;
    line_->SetFlowControl(code);
}

int TSyncRS::ActualBaudRate() const
{
    if (baudCode_ == brCustom)
        return customBaud_;
    return BaudRateValue(baudCode_);
}

void TSyncRS::SetTimeouts(const TCommTimeouts &timeouts)
{
    timeouts_ = timeouts;
    line_->SetTimeouts(timeouts_);
}

void TSyncRS::Open()
{
    Close();
    int error = 0;
    if (line_->Open(PortNames::DevicePath(portNo_), error) != TOpenStatus::Opened)
        Fail(QStringLiteral("open COM%1 failed!").arg(portNo_));
    line_->SetQueueSizes(RecvBufSize(), SendBufSize());
    line_->Purge();
    ApplyLineSettings();
    line_->SetTimeouts(timeouts_);
    ApplyModemLines();
}

void TSyncRS::ApplyLineSettings()
{
    line_->SetBitRate(ActualBaudRate());
    line_->SetParity(parityCode_);
    line_->SetDataBits(dataBitsCode_);
    line_->SetStopBits(stopBitsCode_);
    line_->SetFlowControl(flowCode_);
}

void TSyncRS::ApplyModemLines()
{
    // These two texts have always been raised as they stand, with their own
    // prefix.
    if (!line_->SetDtr(dtr_))
        throw Exception(QStringLiteral("TSyncRS : EscapeCommFunction failed for DTR"));
    if (!line_->SetRts(rts_))
        throw Exception(QStringLiteral("TSyncRS : EscapeCommFunction failed for RTS"));
}

void TSyncRS::Close()
{
    if (!IsOpen())
        return;
    line_->Purge();
    line_->Close();
}

void TSyncRS::Purge()
{
    line_->Purge();
}

void TSyncRS::EnsureOpen()
{
    if (!IsOpen())
        Open();
}

void TSyncRS::Send()
{
    EnsureOpen();
    int written = 0;
    const int error = line_->Write(sendBuf_.constData(), sendCount_, written);
    sendCount_ = written;
    if (error != 0)
        Fail(QStringLiteral("write failed: ErrorCode=%1").arg(error));
}

void TSyncRS::WriteString(const QByteArray &text)
{
    if (text.size() > SendBufSize())
        Fail(QStringLiteral("write failed: Length(Str)=%1 > SendBufSize=%2").arg(text.size()).arg(SendBufSize()));
    sendBuf_.fill('\0');
    std::memcpy(sendBuf_.data(), text.constData(), static_cast<size_t>(text.size()));
    sendCount_ = static_cast<int>(text.size());
    Send();
}

void TSyncRS::WriteBytes(const QByteArray &bytes, int count)
{
    if (count > bytes.size())
        Fail(QStringLiteral("write failed: Count=%1 > Size(Arr)=%2").arg(count).arg(bytes.size()));
    if (count > SendBufSize())
        Fail(QStringLiteral("write failed: Count=%1 > SendBufSize=%2").arg(count).arg(SendBufSize()));
    const int n = qMax(count, 0);
    sendBuf_.fill('\0');
    std::memcpy(sendBuf_.data(), bytes.constData(), static_cast<size_t>(n));
    sendCount_ = n;
    Send();
}

void TSyncRS::ReadString(int count, QByteArray &text, int &got)
{
    if (count < 0 || count > RecvBufSize())
        Fail(QStringLiteral("read failed: count=%1 > FRecvBufSize=%2").arg(count).arg(RecvBufSize()));
    recvBuf_.fill('\0');
    EnsureOpen();
    int received = 0;
    const int error = line_->Read(recvBuf_.data(), count, received);
    recvCount_ = received;
    if (error != 0)
        Fail(QStringLiteral("read failed: ErrorCode=%1").arg(error));
    text = recvBuf_.left(recvCount_);
    got = recvCount_;
}

QByteArray TSyncRS::ReadString(int count)
{
    QByteArray text;
    int got = 0;
    ReadString(count, text, got);
    return text;
}
