#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>

class QSocketNotifier;
class SimDevice;
class SimFrontEnd;

// The control channel of the virtual sensor: one command per line, each
// answered with one line "ok ..." or "error ...".
//   fault NAME [VALUE]       a fault of SimFaults (silence on, delay 300,
//                            badcrc on, exception 4, failafter 5, ...)
//   jumper open|closed       the write-protection jumper
//   serial HEX8              the serial number changes now
//   failafter N|off          N more answers, then silence
//   vanish                   the port disappears (link removed, line closed)
//   set QUANTITY VALUE       temperature, humidity, pressure or co2 fixed at
//                            VALUE (°C, %, hPa, ppm; "error" for the error
//                            marker, "drift" to let it drift again)
//   drift on|off             drift of all unfixed quantities
//   read REF [COUNT]         words from the reference on, as hex
//   write REF WORD           a word written as with a programmer (the Flash
//                            checksum is refreshed, unless REF is the
//                            checksum word itself)
//   state                    address, baud, jumper, serial, requests, faults
//   quit                     ends the sensor
class SimControl : public QObject {
    Q_OBJECT
public:
    SimControl(SimDevice &device, SimFrontEnd &frontEnd, QObject *parent = nullptr);

    QString execute(const QString &line);
    // Reads commands from a descriptor (standard input) and answers on
    // standard output; the end of the input ends the sensor.
    void listen(int fd);

Q_SIGNALS:
    void quitRequested();

private:
    void readInput();
    QString set(const QStringList &words);
    QString read(const QStringList &words);
    QString write(const QStringList &words);
    QString fault(const QString &name, const QString &value);

    SimDevice &m_device;
    SimFrontEnd &m_frontEnd;
    int m_fd = -1;
    QSocketNotifier *m_notifier = nullptr;
    QByteArray m_input;
};
