#include "transport/uMbusSerialLine.h"

#include "transport/uPortNames.h"

#include <cerrno>

namespace {

// The formats a Modbus serial line runs with.
bool SettingsValid(const TSerialLineSettings &s)
{
    return s.baudRate > 0 && (s.dataBits == 7 || s.dataBits == 8) && (s.stopBits == 1 || s.stopBits == 2) &&
           s.parity >= 0 && s.parity <= 2;
}

} // namespace

int TMbusSerialLine::Open(const QString &portName, const TSerialLineSettings &settings)
{
    if (IsOpen())
        return EBUSY;
    if (!SettingsValid(settings))
        return EINVAL;
    const int comNo = PortNames::ParseComNumber(portName);
    const QString path = comNo < 0 ? QString() : PortNames::DevicePath(comNo);
    if (path.isEmpty())
        return ENOENT;
    int error = 0;
    if (line_.Open(path, error) != TOpenStatus::Opened)
        return error;
    path_ = path;
    error = line_.Configure(settings);
    if (error != 0) {
        Close();
        return error;
    }
    // Sensors on a service cable draw their interface power from DTR and
    // RTS; a line without modem control takes the request silently.
    line_.SetDtr(true);
    line_.SetRts(true);
    line_.Purge();
    return 0;
}

void TMbusSerialLine::Close()
{
    line_.Close();
    path_.clear();
}
