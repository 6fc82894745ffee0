#include "support/SimProcess.h"

#include <QDeadlineTimer>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <QThread>

namespace {

constexpr int StopTimeoutMs = 3000;
constexpr int LogPollMs = 10;

} // namespace

SimProcess::SimProcess() = default;

SimProcess::~SimProcess()
{
    stop();
}

bool SimProcess::fail(const QString &why)
{
    m_error = why;
    const QByteArray err = standardError();
    if (!err.isEmpty())
        m_error += QStringLiteral("\npelinor-sim said: ") + QString::fromLocal8Bit(err).trimmed();
    stop();
    return false;
}

bool SimProcess::start(const QStringList &arguments, int readyTimeoutMs)
{
    const QString program = qEnvironmentVariable("PELINOR_SIM");
    if (program.isEmpty())
        return fail(QStringLiteral("PELINOR_SIM is not set; ctest sets it to the pelinor-sim binary"));
    if (!QFileInfo(program).isExecutable())
        return fail(QStringLiteral("PELINOR_SIM (%1) is not an executable").arg(program));
    QStringList args = arguments;
    args << QStringLiteral("--control");
    m_logPath.clear();
    const qsizetype logAt = args.indexOf(QStringLiteral("--log"));
    if (logAt >= 0 && logAt + 1 < args.size()) {
        m_logPath = args[logAt + 1];
    } else {
        m_logPath = m_dir.filePath(QStringLiteral("sim.log"));
        QFile::remove(m_logPath);
        args << QStringLiteral("--log") << m_logPath;
    }
    m_output.clear();
    m_errorOutput.clear();
    m_process.start(program, args);
    if (!m_process.waitForStarted(readyTimeoutMs))
        return fail(QStringLiteral("pelinor-sim did not start: %1").arg(m_process.errorString()));
    QString line;
    if (!readLine(line, readyTimeoutMs))
        return fail(isRunning() ? QStringLiteral("pelinor-sim was not ready within %1 ms").arg(readyTimeoutMs)
                                : QStringLiteral("pelinor-sim ended with code %1").arg(m_process.exitCode()));
    if (!parseReady(line))
        return fail(QStringLiteral("pelinor-sim printed \"%1\" instead of READY").arg(line));
    m_readyLine = line;
    return true;
}

bool SimProcess::parseReady(const QString &line)
{
    const QStringList words = line.split(QLatin1Char(' '));
    if (words.size() == 4 && words[0] == QLatin1String("READY") && words[1] == QLatin1String("serial") &&
        words[2].startsWith(QLatin1String("COM"))) {
        m_comNumber = words[2].mid(3).toInt();
        m_devicePath = words[3];
        return m_comNumber > 0;
    }
    if (words.size() == 3 && words[0] == QLatin1String("READY") && words[1] == QLatin1String("tcp")) {
        const qsizetype colon = words[2].lastIndexOf(QLatin1Char(':'));
        m_tcpHost = words[2].left(colon);
        m_tcpPort = static_cast<quint16>(words[2].mid(colon + 1).toUInt());
        return colon > 0 && m_tcpPort > 0;
    }
    return false;
}

void SimProcess::stop()
{
    if (m_process.state() == QProcess::NotRunning)
        return;
    m_process.terminate();
    if (!m_process.waitForFinished(StopTimeoutMs)) {
        m_process.kill();
        m_process.waitForFinished(StopTimeoutMs);
    }
}

bool SimProcess::isRunning() const
{
    return m_process.state() == QProcess::Running;
}

QString SimProcess::linkPath() const
{
    QString folder = qEnvironmentVariable("PELINOR_PORT_DIR");
    if (folder.isEmpty()) {
        const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
        folder = (runtime.isEmpty() ? QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation) : runtime) +
                 QStringLiteral("/pelinor-ports");
    }
    return folder + QStringLiteral("/COM%1").arg(m_comNumber);
}

bool SimProcess::readLine(QString &line, int timeoutMs)
{
    const QDeadlineTimer deadline(timeoutMs);
    for (;;) {
        const qsizetype end = m_output.indexOf('\n');
        if (end >= 0) {
            line = QString::fromUtf8(m_output.left(end)).trimmed();
            m_output.remove(0, end + 1);
            return true;
        }
        if (!isRunning() || deadline.hasExpired())
            return false;
        m_process.waitForReadyRead(static_cast<int>(std::max<qint64>(1, deadline.remainingTime())));
        m_output.append(m_process.readAllStandardOutput());
    }
}

QString SimProcess::command(const QString &line, int timeoutMs)
{
    if (!isRunning())
        return {};
    m_process.write(line.toUtf8() + '\n');
    m_process.waitForBytesWritten(timeoutMs);
    QString answer;
    return readLine(answer, timeoutMs) ? answer : QString();
}

bool SimProcess::commandOk(const QString &line, QString *answer)
{
    const QString reply = command(line);
    if (answer)
        *answer = reply;
    return reply == QLatin1String("ok") || reply.startsWith(QLatin1String("ok "));
}

QStringList SimProcess::logLines() const
{
    QFile file(m_logPath);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
}

bool SimProcess::waitForLogLines(int count, int timeoutMs) const
{
    QElapsedTimer waited;
    waited.start();
    while (logLines().size() < count) {
        if (waited.elapsed() > timeoutMs)
            return false;
        QThread::msleep(LogPollMs);
    }
    return true;
}

QByteArray SimProcess::standardError()
{
    m_errorOutput.append(m_process.readAllStandardError());
    return m_errorOutput;
}
