// The RTU and TCP wires: libmodbus frames the requests and checks the
// replies; RTU runs on a serial line we open and lock ourselves.
#include "transport/uMbusSerialLine.h"
#include "transport/uMbusWire.h"

#include <modbus/modbus.h>

#include <cerrno>

namespace {

// libmodbus waits this long for each further byte once a reply has begun.
constexpr int ByteTimeoutMs = 500;

void SetLibTimeout(modbus_t *ctx, int ms)
{
    const auto sec = static_cast<uint32_t>(ms / 1000);
    const auto usec = static_cast<uint32_t>((ms % 1000) * 1000);
    modbus_set_response_timeout(ctx, sec, usec);
    modbus_set_byte_timeout(ctx, 0, ByteTimeoutMs * 1000);
}

// Common part: one libmodbus context and its transactions.
class TLibmodbusWire : public IMbusWire {
public:
    ~TLibmodbusWire() override
    {
        if (ctx_ != nullptr)
            modbus_free(ctx_);
    }

    void SetReplyTimeoutMs(int ms) override
    {
        if (ctx_ != nullptr)
            SetLibTimeout(ctx_, ms);
    }

    int ReadRegisters(int slave, int address, int count, quint16 *dest) override
    {
        return Transact(slave, [&] { return modbus_read_registers(ctx_, address, count, dest); });
    }

    int WriteRegisters(int slave, int address, int count, const quint16 *src) override
    {
        return Transact(slave, [&] { return modbus_write_registers(ctx_, address, count, src); });
    }

    int WriteRegister(int slave, int address, quint16 value) override
    {
        return Transact(slave, [&] { return modbus_write_register(ctx_, address, value); });
    }

protected:
    template <typename Call>
    int Transact(int slave, Call call)
    {
        if (!IsOpen())
            return EBADF;
        if (modbus_set_slave(ctx_, slave) != 0)
            return EINVAL;
        if (call() >= 0)
            return 0;
        const int error = errno;
        AfterFailure(error);
        return error;
    }

    virtual void AfterFailure(int error)
    {
        // A reply that comes after its time-out must not be taken for the
        // next request's.
        if (error == ETIMEDOUT || error == EMBBADCRC || error == EMBBADDATA)
            modbus_flush(ctx_);
    }

    modbus_t *ctx_ = nullptr;
};

class TRtuWire final : public TLibmodbusWire {
public:
    int Open(const QString &portName, const TSerialLineSettings &settings, int timeoutMs)
    {
        const int error = line_.Open(portName, settings);
        if (error != 0)
            return error;
        const char parity = settings.parity == 0 ? 'N' : (settings.parity == 1 ? 'O' : 'E');
        ctx_ = modbus_new_rtu(line_.DevicePath().toLocal8Bit().constData(), settings.baudRate, parity,
                              settings.dataBits, settings.stopBits);
        if (ctx_ == nullptr) {
            line_.Close();
            return ENOMEM;
        }
        // The context frames on our descriptor; it never opens the device.
        modbus_set_socket(ctx_, line_.Descriptor());
        SetLibTimeout(ctx_, timeoutMs);
        return 0;
    }

    ~TRtuWire() override { Close(); }

    bool IsOpen() const override { return line_.IsOpen(); }

    void Close() override
    {
        if (ctx_ != nullptr) {
            modbus_set_socket(ctx_, -1);
            modbus_free(ctx_);
            ctx_ = nullptr;
        }
        line_.Close();
    }

private:
    TMbusSerialLine line_;
};

class TTcpWire final : public TLibmodbusWire {
public:
    int Open(const QString &host, quint16 port, int timeoutMs)
    {
        const QByteArray service = QByteArray::number(port);
        ctx_ = modbus_new_tcp_pi(host.toLocal8Bit().constData(), service.constData());
        if (ctx_ == nullptr)
            return EINVAL;
        SetLibTimeout(ctx_, timeoutMs);
        if (modbus_connect(ctx_) != 0) {
            const int error = errno;
            modbus_free(ctx_);
            ctx_ = nullptr;
            return error;
        }
        open_ = true;
        return 0;
    }

    ~TTcpWire() override { Close(); }

    bool IsOpen() const override { return open_; }

    void Close() override
    {
        if (ctx_ != nullptr) {
            if (open_)
                modbus_close(ctx_);
            modbus_free(ctx_);
            ctx_ = nullptr;
        }
        open_ = false;
    }

protected:
    void AfterFailure(int error) override
    {
        // A peer that closed the connection will not answer on it again:
        // report the protocol closed so the next use reconnects.
        if (error == ECONNRESET || error == EPIPE) {
            modbus_close(ctx_);
            open_ = false;
            return;
        }
        TLibmodbusWire::AfterFailure(error);
    }

private:
    bool open_ = false;
};

} // namespace

std::unique_ptr<IMbusWire> OpenRtuWire(const QString &portName, const TSerialLineSettings &settings, int timeoutMs,
                                       int *error)
{
    return OpenWire<TRtuWire>(error, portName, settings, timeoutMs);
}

std::unique_ptr<IMbusWire> OpenTcpWire(const QString &host, quint16 port, int timeoutMs, int *error)
{
    return OpenWire<TTcpWire>(error, host, port, timeoutMs);
}
