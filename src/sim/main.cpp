// pelinor-sim: the virtual sensor. See README.md, "The virtual sensor".
#include "RtuFrontEnd.h"
#include "SimControl.h"
#include "SimDevice.h"
#include "SimFactory.h"
#include "SimLog.h"
#include "SimOptions.h"
#include "SimProfile.h"
#include "SimStateFile.h"
#include "TcpFrontEnd.h"

#include <QCoreApplication>
#include <QSocketNotifier>

#include <csignal>
#include <cstdio>
#include <memory>
#include <sys/socket.h>
#include <unistd.h>

namespace {

constexpr int ExitUsage = 2;
constexpr int ExitFailure = 1;

int SignalPipe[2] = {-1, -1};

void OnTerminationSignal(int)
{
    const char byte = 1;
    [[maybe_unused]] const ssize_t n = ::write(SignalPipe[1], &byte, 1);
}

// SIGTERM, SIGINT and SIGHUP end the event loop, so that the link is removed
// on the way out.
void QuitOnTerminationSignals(QCoreApplication &app)
{
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, SignalPipe) != 0)
        return;
    auto *notifier = new QSocketNotifier(SignalPipe[0], QSocketNotifier::Read, &app);
    QObject::connect(notifier, &QSocketNotifier::activated, &app, &QCoreApplication::quit);
    struct sigaction action {};
    action.sa_handler = OnTerminationSignal;
    sigemptyset(&action.sa_mask);
    for (int signal : {SIGTERM, SIGINT, SIGHUP})
        sigaction(signal, &action, nullptr);
    std::signal(SIGPIPE, SIG_IGN);
}

int Fail(int code, const QString &error)
{
    std::fprintf(stderr, "pelinor-sim: %s\n", qPrintable(error));
    return code;
}

int ListProfiles()
{
    for (const QString &name : SimProfile::Names()) {
        QString error;
        const std::optional<SimProfile> profile = SimProfile::Load(name, &error);
        std::printf("%s\n", qPrintable(profile ? profile->listing() : name + QStringLiteral(" (") + error + ')'));
    }
    return 0;
}

std::unique_ptr<SimFrontEnd> MakeFrontEnd(const SimOptions &o, SimDevice &device)
{
    if (o.tcp)
        return std::make_unique<TcpFrontEnd>(device, o.tcpHost, o.tcpPort);
    return std::make_unique<RtuFrontEnd>(device, RtuFrontEnd::Options{o.comNumber, o.pace, o.strictBaud});
}

// Profile, overrides, the state file: the memory the sensor starts with.
std::optional<SimMemory> InitialMemory(const SimOptions &o, SimProfile &profile, QString *error)
{
    std::optional<SimProfile> loaded = SimProfile::Load(o.profile, error);
    if (!loaded)
        return std::nullopt;
    profile = *loaded;
    o.applyTo(profile);
    SimMemory memory = SimFactory::Build(profile);
    if (!o.statePath.isEmpty() && !SimStateFile::Load(o.statePath, profile.name, memory, error))
        return std::nullopt;
    return memory;
}

bool SetFaults(const QStringList &faults, SimDevice &device, QString *error)
{
    for (const QString &fault : faults) {
        const qsizetype equals = fault.indexOf(QLatin1Char('='));
        const QString name = equals < 0 ? fault : fault.left(equals);
        const QString value = equals < 0 ? QString() : fault.mid(equals + 1);
        if (const QString problem = device.setFault(name, value); !problem.isEmpty()) {
            *error = QStringLiteral("--fault %1: %2").arg(fault, problem);
            return false;
        }
    }
    return true;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("pelinor-sim"));
    QString error;
    const std::optional<SimOptions> options = SimOptions::Parse(QCoreApplication::arguments(), &error);
    if (!options)
        return error.isEmpty() ? 0 : Fail(ExitUsage, error);
    if (options->listProfiles)
        return ListProfiles();

    SimProfile profile;
    const std::optional<SimMemory> memory = InitialMemory(*options, profile, &error);
    if (!memory)
        return Fail(ExitUsage, error);
    SimDevice device(profile, *memory);
    SimLog log;
    if (!SetFaults(options->faults, device, &error) ||
        (!options->logPath.isEmpty() && !log.open(options->logPath, &error)))
        return Fail(ExitUsage, error);
    device.setLog(&log);
    device.setStateFile(options->statePath);

    std::unique_ptr<SimFrontEnd> frontEnd = MakeFrontEnd(*options, device);
    if (!frontEnd->start(&error))
        return Fail(ExitFailure, error);
    SimControl control(device, *frontEnd);
    QObject::connect(&control, &SimControl::quitRequested, &app, &QCoreApplication::quit, Qt::QueuedConnection);
    QuitOnTerminationSignals(app);
    std::printf("%s\n", qPrintable(frontEnd->readyLine()));
    std::fflush(stdout);
    if (options->readsControl())
        control.listen(STDIN_FILENO);
    const int code = QCoreApplication::exec();
    frontEnd.reset();
    return code;
}
