#pragma once

#include "transport/uMbusWire.h"

#include <QString>

#include <termios.h>

// A serial line opened for one Modbus master: the device of a COM port name,
// locked against other programs that honour flock (our own serial transport
// does), raw at the given settings. Rates without a termios constant are set
// through the kernel's arbitrary-rate interface.
class TMbusSerialLine {
public:
    TMbusSerialLine() = default;
    ~TMbusSerialLine();
    TMbusSerialLine(const TMbusSerialLine &) = delete;
    TMbusSerialLine &operator=(const TMbusSerialLine &) = delete;

    // Returns 0 or an errno value; EWOULDBLOCK when another program holds the
    // port, EINVAL for settings the line cannot take.
    int Open(const QString &portName, const TSerialLineSettings &settings);
    // Restores the line settings found at open and releases the port.
    void Close();
    bool IsOpen() const { return fd_ >= 0; }
    int Descriptor() const { return fd_; }
    const QString &DevicePath() const { return path_; }

private:
    int Configure(const TSerialLineSettings &settings);

    int fd_ = -1;
    QString path_;
    termios saved_{};
};

// Sets an arbitrary bit rate on an open line (both directions). 0 or errno.
int SetArbitraryBitRate(int fd, int bitRate);
// The output bit rate the kernel reports for the line, -1 when unknown.
int LineBitRate(int fd);
