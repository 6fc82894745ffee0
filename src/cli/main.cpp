#include "cli/uCliCommands.h"
#include "cli/uCliOptions.h"
#include "transport/uPortNames.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTextStream>

#include <memory>

namespace {

// A device path that no COM number reaches gets one of its own: a ports
// folder for this run with COM1 linked to it.
std::unique_ptr<QTemporaryDir> LinkPortPath(TCliOptions &options)
{
    auto dir = std::make_unique<QTemporaryDir>();
    if (!dir->isValid() || !QFile::link(options.portPath, QDir(dir->path()).filePath(QStringLiteral("COM1"))))
        return nullptr;
    qputenv("PELINOR_PORT_DIR", QFile::encodeName(dir->path()));
    options.settings.ComPort = 1;
    return dir;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("pelinor-cli"));
    QTextStream out(stdout);
    QTextStream err(stderr);
    const TCliParse parse = ParseCliArguments(app.arguments().mid(1), CommSettings::Load());
    if (!parse.options) {
        err << "pelinor-cli: " << parse.error << '\n' << CliUsage();
        return ceUsage;
    }
    TCliOptions options = *parse.options;
    std::unique_ptr<QTemporaryDir> portDir;
    if (!options.portPath.isEmpty()) {
        portDir = LinkPortPath(options);
        if (!portDir) {
            err << "pelinor-cli: cannot reach " << options.portPath << '\n';
            return ceUsage;
        }
    }
    return options.command == TCliCommand::Identify ? RunIdentify(options, out, err) : RunValues(options, out, err);
}
