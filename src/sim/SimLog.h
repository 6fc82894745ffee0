#pragma once

#include <QFile>
#include <QString>

namespace ModbusSlave {
struct Transaction;
}

// The transaction log: one line per request, flushed at once so that a test
// reads what happened even while the sensor runs:
//   <time> <front end> slave=<n> fn=<f> addr=0x<a> count=<n> values=<hex,...> answer=<what>
// addr is the protocol address (reference - 1). answer is "ok", "exception-N",
// or why nothing was sent (silent, not-addressed, broadcast, busy, bad-crc).
class SimLog {
public:
    bool open(const QString &path, QString *error);
    bool isOpen() const { return m_file.isOpen(); }
    void write(const QString &line);

    static QString Line(const QString &frontEnd, int slave, const ModbusSlave::Transaction &t, const QString &answer);

private:
    QFile m_file;
};
