#include "transport/uMbusAscii.h"

#include "transport/uMbusSerialLine.h"
#include "transport/uMbusWire.h"

#include <modbus/modbus.h>

#include <cerrno>
#include <chrono>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

namespace {
constexpr char FrameStart = ':';
} // namespace

namespace MbusAscii {

namespace {

constexpr int MinFrameBytes = 3;  // slave, function, LRC

int HexDigit(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return -1;
}

quint8 Byte(const QByteArray &bytes, int i)
{
    return static_cast<quint8>(bytes.at(i));
}

} // namespace

quint8 Lrc(const QByteArray &bytes)
{
    quint8 sum = 0;
    for (char c : bytes)
        sum = static_cast<quint8>(sum + static_cast<quint8>(c));
    return static_cast<quint8>(-sum);
}

QByteArray EncodeFrame(quint8 slave, const QByteArray &pdu)
{
    QByteArray bytes;
    bytes.append(static_cast<char>(slave));
    bytes.append(pdu);
    bytes.append(static_cast<char>(Lrc(bytes)));
    return FrameStart + bytes.toHex().toUpper() + "\r\n";
}

int DecodeFrame(const QByteArray &text, QByteArray *bytes)
{
    if (text.size() % 2 != 0 || text.size() < 2 * MinFrameBytes)
        return EPROTO;
    QByteArray decoded;
    for (int i = 0; i < text.size(); i += 2) {
        const int high = HexDigit(text.at(i));
        const int low = HexDigit(text.at(i + 1));
        if (high < 0 || low < 0)
            return EPROTO;
        decoded.append(static_cast<char>(high * 16 + low));
    }
    const quint8 lrc = Byte(decoded, static_cast<int>(decoded.size()) - 1);
    decoded.chop(1);
    if (Lrc(decoded) != lrc)
        return EMBBADCRC;
    *bytes = decoded;
    return 0;
}

int CheckReply(const QByteArray &request, const QByteArray &reply, int expectedLength)
{
    const quint8 function = Byte(request, 0);
    if (reply.isEmpty())
        return EMBBADDATA;
    if (Byte(reply, 0) == (function | 0x80)) {
        if (reply.size() != 2)
            return EMBBADEXC;
        const int code = Byte(reply, 1);
        return code < MODBUS_EXCEPTION_MAX ? MODBUS_ENOBASE + code : EMBBADEXC;
    }
    if (Byte(reply, 0) != function || reply.size() != expectedLength)
        return EMBBADDATA;
    if (function == MODBUS_FC_READ_HOLDING_REGISTERS)
        return Byte(reply, 1) == expectedLength - 2 ? 0 : EMBBADDATA;
    // Writes echo the address and the count or value.
    return reply.mid(1, 4) == request.mid(1, 4) ? 0 : EMBBADDATA;
}

} // namespace MbusAscii

namespace {

// A reply that has begun may pause this long between characters.
constexpr int CharTimeoutMs = 500;
constexpr int ReadChunkBytes = 256;

using TSteadyClock = std::chrono::steady_clock;

void AppendWord(QByteArray &pdu, int value)
{
    pdu.append(static_cast<char>((value >> 8) & 0xFF));
    pdu.append(static_cast<char>(value & 0xFF));
}

QByteArray RequestPdu(int function, int address, int countOrValue)
{
    QByteArray pdu(1, static_cast<char>(function));
    AppendWord(pdu, address);
    AppendWord(pdu, countOrValue);
    return pdu;
}

// The ASCII master on a serial line. The reply time-out is the line's real
// time, like libmodbus's own waits, not the program's clock.
class TAsciiWire final : public IMbusWire {
public:
    int Open(const QString &portName, const TSerialLineSettings &settings, int timeoutMs)
    {
        timeoutMs_ = timeoutMs;
        return line_.Open(portName, settings);
    }

    bool IsOpen() const override { return line_.IsOpen(); }
    void Close() override { line_.Close(); }
    void SetReplyTimeoutMs(int ms) override { timeoutMs_ = ms; }

    int ReadRegisters(int slave, int address, int count, quint16 *dest) override
    {
        if (slave == 0)  // a broadcast has no reply to read
            return EINVAL;
        const QByteArray request = RequestPdu(MODBUS_FC_READ_HOLDING_REGISTERS, address, count);
        QByteArray reply;
        const int error = Transact(slave, request, 2 + 2 * count, &reply);
        if (error != 0)
            return error;
        for (int i = 0; i < count; ++i)
            dest[i] = static_cast<quint16>((static_cast<quint8>(reply.at(2 + 2 * i)) << 8) |
                                           static_cast<quint8>(reply.at(3 + 2 * i)));
        return 0;
    }

    int WriteRegisters(int slave, int address, int count, const quint16 *src) override
    {
        QByteArray request = RequestPdu(MODBUS_FC_WRITE_MULTIPLE_REGISTERS, address, count);
        request.append(static_cast<char>(2 * count));
        for (int i = 0; i < count; ++i)
            AppendWord(request, src[i]);
        QByteArray reply;
        return Transact(slave, request, 5, &reply);
    }

    int WriteRegister(int slave, int address, quint16 value) override
    {
        QByteArray reply;
        return Transact(slave, RequestPdu(MODBUS_FC_WRITE_SINGLE_REGISTER, address, value), 5, &reply);
    }

private:
    int Transact(int slave, const QByteArray &request, int replyLength, QByteArray *reply)
    {
        if (!IsOpen())
            return EBADF;
        if (slave < 0 || slave > 255)
            return EINVAL;
        tcflush(line_.Descriptor(), TCIFLUSH);
        int error = Send(MbusAscii::EncodeFrame(static_cast<quint8>(slave), request));
        if (error != 0 || slave == 0)  // nobody answers a broadcast
            return error;
        QByteArray text;
        error = ReceiveFrameText(&text);
        QByteArray bytes;
        if (error == 0)
            error = MbusAscii::DecodeFrame(text, &bytes);
        if (error != 0)
            return error;
        if (static_cast<quint8>(bytes.at(0)) != slave)
            return EMBBADSLAVE;
        *reply = bytes.mid(1);
        return MbusAscii::CheckReply(request, *reply, replyLength);
    }

    // Waits up to ms for the line to become readable or writable.
    int WaitFor(short events, int ms)
    {
        pollfd p{line_.Descriptor(), events, 0};
        const int rc = ::poll(&p, 1, ms < 0 ? 0 : ms);
        if (rc < 0)
            return errno == EINTR ? 0 : errno;
        return rc == 0 ? ETIMEDOUT : 0;
    }

    int Send(const QByteArray &frame)
    {
        qsizetype sent = 0;
        while (sent < frame.size()) {
            const ssize_t n = ::write(line_.Descriptor(), frame.constData() + sent, frame.size() - sent);
            if (n > 0) {
                sent += n;
                continue;
            }
            if (n < 0 && errno != EAGAIN && errno != EINTR)
                return errno;
            const int error = WaitFor(POLLOUT, timeoutMs_);
            if (error != 0)
                return error;
        }
        return 0;
    }

    // The characters between ":" and CR LF; anything before ":" is noise.
    int ReceiveFrameText(QByteArray *text)
    {
        bool started = false;
        auto deadline = TSteadyClock::now() + std::chrono::milliseconds(timeoutMs_);
        for (;;) {
            const auto left =
                std::chrono::duration_cast<std::chrono::milliseconds>(deadline - TSteadyClock::now()).count();
            const int error = WaitFor(POLLIN, static_cast<int>(left));
            if (error != 0)
                return error;
            char chunk[ReadChunkBytes];
            const ssize_t n = ::read(line_.Descriptor(), chunk, sizeof chunk);
            if (n < 0 && errno != EAGAIN && errno != EINTR)
                return errno;
            for (ssize_t i = 0; i < n; ++i) {
                const char c = chunk[i];
                if (c == FrameStart) {
                    started = true;
                    text->clear();
                } else if (started && c == '\n') {
                    if (!text->endsWith('\r'))
                        return EPROTO;
                    text->chop(1);
                    return 0;
                } else if (started) {
                    text->append(c);
                }
            }
            if (started && n > 0)
                deadline = TSteadyClock::now() + std::chrono::milliseconds(CharTimeoutMs);
        }
    }

    TMbusSerialLine line_;
    int timeoutMs_ = 0;
};

} // namespace

std::unique_ptr<IMbusWire> OpenAsciiWire(const QString &portName, const TSerialLineSettings &settings,
                                         int timeoutMs, int *error)
{
    return OpenWire<TAsciiWire>(error, portName, settings, timeoutMs);
}
