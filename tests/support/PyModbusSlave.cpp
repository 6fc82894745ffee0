#include "support/PyModbusSlave.h"

#include <QFile>

namespace {

// The system's interpreter: Debian's python3-pymodbus lives there, not in any
// other python3 that may come first on PATH.
const char *const Python = "/usr/bin/python3";
const int ReadyTimeoutMs = 30000;
const int ReplyTimeoutMs = 10000;
const int ExitTimeoutMs = 5000;

QString ModeArgument(TPyModbusSlave::TMode mode)
{
    switch (mode) {
    case TPyModbusSlave::TMode::Tcp: return QStringLiteral("tcp");
    case TPyModbusSlave::TMode::Rtu: return QStringLiteral("rtu");
    case TPyModbusSlave::TMode::Ascii: return QStringLiteral("ascii");
    }
    return {};
}

} // namespace

TPyModbusSlave::~TPyModbusSlave()
{
    Stop();
}

bool TPyModbusSlave::Start(TMode mode)
{
    const QString script =
        qEnvironmentVariable("PELINOR_SOURCE_DIR") + QStringLiteral("/tests/transport/modbus_slave.py");
    if (!QFile::exists(QLatin1String(Python))) {
        error_ = QStringLiteral("%1 is missing").arg(QLatin1String(Python));
        return false;
    }
    process_.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    process_.start(QLatin1String(Python), {script, ModeArgument(mode)});
    if (!process_.waitForStarted()) {
        error_ = QStringLiteral("cannot start %1 %2").arg(QLatin1String(Python), script);
        return false;
    }
    QString line;
    if (!ReadLine(&line)) {
        error_ = QStringLiteral("the pymodbus slave gave no ready line");
        Stop();
        return false;
    }
    if (line.startsWith(QLatin1String("MISSING"))) {
        error_ = QStringLiteral("the pymodbus slave cannot run (%1): install python3-pymodbus, python3-serial "
                                "and python3-serial-asyncio (scripts/deps.sh)")
                     .arg(line.mid(8));
        Stop();
        return false;
    }
    const QStringList parts = line.split(QLatin1Char(' '));
    if (parts.size() != 3 || parts[0] != QLatin1String("READY")) {
        error_ = QStringLiteral("unexpected line from the pymodbus slave: %1").arg(line);
        Stop();
        return false;
    }
    if (parts[1] == QLatin1String("tcp"))
        port_ = static_cast<quint16>(parts[2].toUInt());
    else
        device_ = parts[2];
    return true;
}

bool TPyModbusSlave::ReadLine(QString *line)
{
    while (!process_.canReadLine()) {
        if (process_.state() != QProcess::Running || !process_.waitForReadyRead(ReadyTimeoutMs)) {
            if (!process_.canReadLine())
                return false;
        }
    }
    *line = QString::fromUtf8(process_.readLine()).trimmed();
    return true;
}

bool TPyModbusSlave::Command(const QString &command)
{
    process_.write((command + QLatin1Char('\n')).toUtf8());
    process_.waitForBytesWritten(ReplyTimeoutMs);
    QString line;
    return ReadLine(&line) && line == QLatin1String("OK ") + command;
}

void TPyModbusSlave::Stop()
{
    if (process_.state() == QProcess::NotRunning)
        return;
    process_.closeWriteChannel();
    if (!process_.waitForFinished(ExitTimeoutMs)) {
        process_.kill();
        process_.waitForFinished(ExitTimeoutMs);
    }
}
