#include "shell/ArvelLog.h"

#include <QFile>

TArvelLog::TArvelLog(QString fileName) : FileName(std::move(fileName)), now_([] { return QDateTime::currentDateTime(); })
{
}

QString TArvelLog::Marker(int kind)
{
    switch (kind) {
    case LogInfo: return QStringLiteral("[i]");
    case LogError: return QStringLiteral("[x]");
    case LogMinor: return QStringLiteral("[-]");
    default: return QString();
    }
}

QString TArvelLog::Stamped(const QString &line) const
{
    if (!Timestamps)
        return line;
    const QString stamp = now_().toString(QStringLiteral("yy-MM-dd hh:mm:ss zzz"));
    return line.isEmpty() ? stamp : stamp + QLatin1Char(' ') + line;
}

void TArvelLog::KeepPending(const QString &line)
{
    pending_.append(line);
    while (pending_.size() > PendingLinesMax)
        pending_.removeFirst();
}

void TArvelLog::Write(int kind, const QString &text)
{
    if (!Enabled)
        return;
    const QString marker = Marker(kind);
    const QString line = marker.isEmpty() ? text : marker + QLatin1Char(' ') + text;
    QFile file(FileName);
    if (FileName.isEmpty() || !file.open(QIODevice::WriteOnly | QIODevice::Append)) {
        KeepPending(line);
        return;
    }
    // Pending lines leave the list as soon as they are written, so a line
    // never appears twice however often the file comes and goes.
    while (!pending_.isEmpty()) {
        if (file.write((Stamped(pending_.first()) + QStringLiteral("\r\n")).toUtf8()) < 0 || !file.flush()) {
            KeepPending(line);
            return;
        }
        pending_.removeFirst();
    }
    if (file.write((Stamped(line) + QStringLiteral("\r\n")).toUtf8()) < 0 || !file.flush())
        KeepPending(line);
}

void TArvelLog::WriteLevel(quint32 mask, int kind, const QString &text)
{
    if ((mask & LevelMask) != 0)
        Write(kind, text);
}
