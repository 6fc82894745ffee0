#pragma once

#include <QProcess>
#include <QString>

// The pymodbus slave of tests/transport/modbus_slave.py as a child process:
// Modbus TCP on 127.0.0.1 at a port it picks, or RTU or ASCII on a
// pseudo-terminal. Start waits for the slave's ready line; Stop ends its input
// and waits for it to exit.
class TPyModbusSlave {
public:
    enum class TMode { Tcp, Rtu, Ascii };

    TPyModbusSlave() = default;
    ~TPyModbusSlave();
    TPyModbusSlave(const TPyModbusSlave &) = delete;
    TPyModbusSlave &operator=(const TPyModbusSlave &) = delete;

    // False with Error() telling why (python3-pymodbus missing, no ready
    // line in time).
    bool Start(TMode mode);
    void Stop();
    // Sends a command of the slave script and waits for its "OK" line.
    bool Command(const QString &command);

    quint16 Port() const { return port_; }
    // The pseudo-terminal of a serial slave.
    const QString &Device() const { return device_; }
    const QString &Error() const { return error_; }

private:
    bool ReadLine(QString *line);

    QProcess process_;
    quint16 port_ = 0;
    QString device_;
    QString error_;
};
