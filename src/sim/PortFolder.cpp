#include "PortFolder.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

namespace PortFolder {

namespace {

const QString FolderName = QStringLiteral("pelinor-ports");

} // namespace

QString Path()
{
    const QString env = qEnvironmentVariable("PELINOR_PORT_DIR");
    if (!env.isEmpty())
        return env;
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (!runtime.isEmpty())
        return runtime + QLatin1Char('/') + FolderName;
    return QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation) + QLatin1Char('/') + FolderName;
}

QString LinkPath(int comNumber)
{
    return Path() + QStringLiteral("/COM%1").arg(comNumber);
}

int FirstFreeNumber()
{
    for (int n = MinComNumber; n <= MaxComNumber; ++n) {
        if (!QFileInfo::exists(LinkPath(n)))
            return n;
    }
    return 0;
}

bool CreateLink(int comNumber, const QString &target, QString *error)
{
    if (comNumber < MinComNumber || comNumber > MaxComNumber) {
        *error = QStringLiteral("COM number %1 outside %2..%3").arg(comNumber).arg(MinComNumber).arg(MaxComNumber);
        return false;
    }
    if (!QDir().mkpath(Path())) {
        *error = QStringLiteral("cannot create the ports folder %1").arg(Path());
        return false;
    }
    const QString link = LinkPath(comNumber);
    const QFileInfo info(link);
    if (info.exists()) {
        *error = QStringLiteral("%1 is taken (it leads to %2)").arg(link, info.symLinkTarget());
        return false;
    }
    if (info.isSymLink())
        QFile::remove(link);
    if (!QFile::link(target, link)) {
        *error = QStringLiteral("cannot create the link %1").arg(link);
        return false;
    }
    return true;
}

void RemoveLink(const QString &linkPath, const QString &target)
{
    const QFileInfo info(linkPath);
    if (info.isSymLink() && info.symLinkTarget() == target)
        QFile::remove(linkPath);
}

} // namespace PortFolder
