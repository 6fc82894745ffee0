#include "transport/uPortNames.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>
#include <QtGlobal>

namespace PortNames {

namespace {

struct TDefaultRange {
    int first;
    const char *prefix;
};

constexpr int RangeSize = 32;
constexpr TDefaultRange DefaultRanges[] = {
    {1, "/dev/ttyS"},
    {33, "/dev/ttyUSB"},
    {65, "/dev/ttyACM"},
    {97, "/dev/ttyAMA"},
};

QString LinkPath(int comNo)
{
    return QDir(PortDir()).filePath(QStringLiteral("COM%1").arg(comNo));
}

QString DefaultDevice(int comNo)
{
    for (const TDefaultRange &r : DefaultRanges)
        if (comNo >= r.first && comNo < r.first + RangeSize)
            return QLatin1String(r.prefix) + QString::number(comNo - r.first);
    return {};
}

} // namespace

QString PortDir()
{
    const QString env = qEnvironmentVariable("PELINOR_PORT_DIR");
    if (!env.isEmpty())
        return env;
    return QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation) + QStringLiteral("/pelinor-ports");
}

QString DevicePath(int comNo)
{
    if (comNo < MinPort || comNo > MaxPort)
        return {};
#ifdef Q_OS_WIN
    return QStringLiteral("\\\\.\\COM%1").arg(comNo);
#else
    const QString link = LinkPath(comNo);
    if (QFileInfo(link).isSymLink() || QFileInfo::exists(link))
        return link;
    return DefaultDevice(comNo);
#endif
}

QString DeviceName(int comNo)
{
    const QString path = DevicePath(comNo);
    if (path.isEmpty())
        return {};
    const QFileInfo info(path);
    if (!info.isSymLink())
        return info.fileName();
    // A device under /dev keeps its sub-folder ("pts/3", not a bare "3").
    const QString target = info.symLinkTarget();
    const QString devPrefix = QStringLiteral("/dev/");
    if (target.startsWith(devPrefix))
        return target.mid(devPrefix.size());
    return QFileInfo(target).fileName();
}

QString DisplayName(int comNo)
{
    const QString name = QStringLiteral("COM%1").arg(comNo);
    const QString device = DeviceName(comNo);
    if (device.isEmpty() || device == name)
        return name;
    return QStringLiteral("%1 (%2)").arg(name, device);
}

int ParseComNumber(const QString &text)
{
    // Searched without upper-casing: that can change the text's length and
    // shift every index after it.
    const int at = int(text.indexOf(QLatin1String("COM"), 0, Qt::CaseInsensitive));
    if (at < 0)
        return -1;
    int i = at + 3;
    while (i < text.size() && !text.at(i).isDigit())
        ++i;
    int start = i;
    while (i < text.size() && text.at(i).isDigit())
        ++i;
    if (i == start)
        return -1;
    bool ok = false;
    const int n = text.mid(start, qMin(i - start, 9)).toInt(&ok);
    return ok ? n : -1;
}

int ComNumberOfDevice(const QString &path)
{
    const QString wanted = QFileInfo(path).canonicalFilePath().isEmpty() ? path
                                                                          : QFileInfo(path).canonicalFilePath();
    for (int n = MinPort; n <= MaxPort; ++n) {
        const QString p = DevicePath(n);
        if (p.isEmpty())
            continue;
        if (p == path)
            return n;
        const QString canonical = QFileInfo(p).canonicalFilePath();
        if (!canonical.isEmpty() && canonical == wanted)
            return n;
    }
    return -1;
}

} // namespace PortNames
