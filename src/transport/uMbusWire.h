#pragma once

#include "transport/uSerialLine.h"

#include <QString>
#include <QtGlobal>

#include <memory>
#include <utility>

// One Modbus line as the master library drives it: the framing of one
// protocol (RTU, ASCII, TCP) on an open serial line or socket. Every call
// returns 0 or an error number in the Modbus library's space (errno values,
// MODBUS_ENOBASE + exception code, EMB...), which uMbusMaster maps to its
// result codes in one place. Addresses here are protocol addresses (0-based).
class IMbusWire {
public:
    virtual ~IMbusWire() = default;

    virtual bool IsOpen() const = 0;
    virtual void Close() = 0;
    virtual void SetReplyTimeoutMs(int ms) = 0;

    virtual int ReadRegisters(int slave, int address, int count, quint16 *dest) = 0;
    virtual int WriteRegisters(int slave, int address, int count, const quint16 *src) = 0;
    virtual int WriteRegister(int slave, int address, quint16 value) = 0;
};

// Each opens its line and returns the wire, or null with *error set.
std::unique_ptr<IMbusWire> OpenRtuWire(const QString &portName, const TSerialLineSettings &settings, int timeoutMs,
                                       int *error);
std::unique_ptr<IMbusWire> OpenAsciiWire(const QString &portName, const TSerialLineSettings &settings,
                                         int timeoutMs, int *error);
std::unique_ptr<IMbusWire> OpenTcpWire(const QString &host, quint16 port, int timeoutMs, int *error);

// Builds a wire of type Wire and opens it with args; null with *error set
// when the open fails.
template <typename Wire, typename... Args>
std::unique_ptr<IMbusWire> OpenWire(int *error, Args &&...args)
{
    auto wire = std::make_unique<Wire>();
    *error = wire->Open(std::forward<Args>(args)...);
    if (*error != 0)
        return nullptr;
    return wire;
}
