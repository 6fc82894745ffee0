#include "support/TestEnvironment.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>

#include <cstdlib>
#include <memory>

namespace TestEnvironment {

namespace {

std::unique_ptr<QTemporaryDir> &Dir()
{
    static std::unique_ptr<QTemporaryDir> dir;
    return dir;
}

void SetFolder(const char *variable, const QString &path)
{
    QDir().mkpath(path);
    qputenv(variable, QFile::encodeName(path));
}

} // namespace

void Isolate()
{
    Dir() = std::make_unique<QTemporaryDir>(QDir::tempPath() + QStringLiteral("/pelinor-test-XXXXXX"));
    const QString root = Dir()->path();
    SetFolder("HOME", root + QStringLiteral("/home"));
    SetFolder("XDG_CONFIG_HOME", root + QStringLiteral("/home/.config"));
    SetFolder("XDG_DATA_HOME", root + QStringLiteral("/home/.local/share"));
    SetFolder("XDG_CACHE_HOME", root + QStringLiteral("/home/.cache"));
    SetFolder("XDG_DATA_DIRS", root + QStringLiteral("/common"));
    SetFolder("XDG_CONFIG_DIRS", root + QStringLiteral("/etc-xdg"));
    SetFolder("XDG_DOCUMENTS_DIR", root + QStringLiteral("/home/Documents"));
    SetFolder("XDG_RUNTIME_DIR", root + QStringLiteral("/run"));
    QFile::setPermissions(root + QStringLiteral("/run"),
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    SetFolder("PELINOR_PORT_DIR", root + QStringLiteral("/ports"));
}

QString Root()
{
    return Dir() ? Dir()->path() : QString();
}

QString PortDir()
{
    return qEnvironmentVariable("PELINOR_PORT_DIR");
}

void MaskSystemPorts()
{
    constexpr int MaxComNo = 255;
    const QDir dir(PortDir());
    for (int n = 1; n <= MaxComNo; ++n) {
        const QString link = dir.filePath(QStringLiteral("COM%1").arg(n));
        if (!QFileInfo(link).isSymLink() && !QFileInfo::exists(link))
            QFile::link(Root() + QStringLiteral("/no-such-port"), link);
    }
}

} // namespace TestEnvironment
