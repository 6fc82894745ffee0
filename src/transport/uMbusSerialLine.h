#pragma once

#include "transport/uMbusWire.h"
#include "transport/uSerialLine.h"

#include <QString>

// A serial line opened for one Modbus master: the device of a COM port name,
// taken as TSerialLine takes it (locked, exclusive, raw, the state found put
// back at close) and set to the master's settings. The wires frame on its
// descriptor themselves.
class TMbusSerialLine {
public:
    // Returns 0 or an errno value; EBUSY when this line is open already,
    // EWOULDBLOCK when another user holds the port, EINVAL for settings the
    // line cannot take.
    int Open(const QString &portName, const TSerialLineSettings &settings);
    void Close();
    bool IsOpen() const { return line_.IsOpen(); }
    int Descriptor() const { return line_.Descriptor(); }
    const QString &DevicePath() const { return path_; }

private:
    TSerialLine line_;
    QString path_;
};
