#include "SimOptions.h"

#include "SimProfile.h"

#include <QCommandLineParser>

#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr int MaxAddress = 255;
constexpr int MaxBaud = 1000000;

QCommandLineOption Option(const char *name, const char *description, const char *value = nullptr)
{
    QCommandLineOption option(QString::fromLatin1(name), QString::fromLatin1(description));
    if (value)
        option.setValueName(QString::fromLatin1(value));
    return option;
}

std::optional<int> IntIn(const QString &text, int low, int high)
{
    bool ok = false;
    const int n = text.toInt(&ok, 0);
    return ok && n >= low && n <= high ? std::optional<int>(n) : std::nullopt;
}

bool ParseTcp(const QString &text, SimOptions &o, QString *error)
{
    const qsizetype colon = text.lastIndexOf(QLatin1Char(':'));
    const std::optional<int> port = colon > 0 ? IntIn(text.mid(colon + 1), 0, 65535) : std::nullopt;
    if (!port) {
        *error = QStringLiteral("--tcp wants HOST:PORT, not \"%1\"").arg(text);
        return false;
    }
    o.tcp = true;
    o.tcpHost = text.left(colon);
    o.tcpPort = static_cast<quint16>(*port);
    return true;
}

bool ParseNumbers(const QCommandLineParser &p, SimOptions &o, QString *error)
{
    const auto bad = [error](const char *what, const QString &value) {
        *error = QStringLiteral("%1: \"%2\" does not fit").arg(QLatin1String(what), value);
        return false;
    };
    if (p.isSet(QStringLiteral("com"))) {
        const std::optional<int> n = IntIn(p.value(QStringLiteral("com")), 1, MaxAddress);
        if (!n)
            return bad("--com", p.value(QStringLiteral("com")));
        o.comNumber = *n;
    }
    if (p.isSet(QStringLiteral("address")) &&
        !(o.address = IntIn(p.value(QStringLiteral("address")), 1, MaxAddress)))
        return bad("--address", p.value(QStringLiteral("address")));
    if (p.isSet(QStringLiteral("baud")) && !(o.baud = IntIn(p.value(QStringLiteral("baud")), 1, MaxBaud)))
        return bad("--baud", p.value(QStringLiteral("baud")));
    if (p.isSet(QStringLiteral("firmware"))) {
        const std::optional<int> f = IntIn(p.value(QStringLiteral("firmware")), 0, 0xFFFF);
        if (!f)
            return bad("--firmware", p.value(QStringLiteral("firmware")));
        o.firmware = static_cast<quint16>(*f);
    }
    if (p.isSet(QStringLiteral("serial")) && !(o.serial = ParseSerial(p.value(QStringLiteral("serial")))))
        return bad("--serial", p.value(QStringLiteral("serial")));
    return true;
}

} // namespace

std::optional<SimOptions> SimOptions::Parse(const QStringList &arguments, QString *error)
{
    QCommandLineParser p;
    p.setApplicationDescription(QStringLiteral("The virtual sensor: a Modbus RTU or TCP slave with the memory, "
                                               "live values, relays and faults of one device type."));
    p.addHelpOption();
    p.addOptions({Option("profile", "Device profile (see --list-profiles).", "NAME"),
                  Option("com", "Serve Modbus RTU on a pseudo-terminal linked as COMn in the ports folder "
                                "(default: the lowest free number).", "N"),
                  Option("tcp", "Serve Modbus TCP instead, on a loopback address (port 0: a free one).",
                         "HOST:PORT"),
                  Option("address", "Slave address instead of the profile's.", "A"),
                  Option("baud", "Baud rate instead of the profile's.", "BAUD"),
                  Option("firmware", "Firmware version word instead of the profile's.", "0xNNNN"),
                  Option("serial", "Serial number (eight hex digits) instead of the profile's.", "HEX8"),
                  Option("log", "Transaction log, one line per request.", "FILE"),
                  Option("state", "Keep the memory in FILE across runs.", "FILE"),
                  Option("pace", "Send replies at the sensor's baud rate."),
                  Option("strict-baud", "Ignore requests when the line's speed is not the sensor's."),
                  Option("fault", "Switch a fault on (repeatable).", "NAME[=VALUE]"),
                  Option("control", "Read control commands from standard input."),
                  Option("no-control", "Never read control commands."),
                  Option("list-profiles", "List the device profiles and exit.")});
    if (!p.parse(arguments)) {
        *error = p.errorText();
        return std::nullopt;
    }
    if (p.isSet(QStringLiteral("help"))) {
        std::fputs(qPrintable(p.helpText()), stdout);
        error->clear();
        return std::nullopt;
    }
    SimOptions o;
    o.profile = p.value(QStringLiteral("profile"));
    o.logPath = p.value(QStringLiteral("log"));
    o.statePath = p.value(QStringLiteral("state"));
    o.pace = p.isSet(QStringLiteral("pace"));
    o.strictBaud = p.isSet(QStringLiteral("strict-baud"));
    o.listProfiles = p.isSet(QStringLiteral("list-profiles"));
    o.faults = p.values(QStringLiteral("fault"));
    if (p.isSet(QStringLiteral("control")))
        o.control = Control::On;
    if (p.isSet(QStringLiteral("no-control")))
        o.control = Control::Off;
    if (!ParseNumbers(p, o, error))
        return std::nullopt;
    if (p.isSet(QStringLiteral("tcp")) && !ParseTcp(p.value(QStringLiteral("tcp")), o, error))
        return std::nullopt;
    if (o.tcp && p.isSet(QStringLiteral("com"))) {
        *error = QStringLiteral("--com and --tcp exclude each other");
        return std::nullopt;
    }
    if (o.profile.isEmpty() && !o.listProfiles) {
        *error = QStringLiteral("--profile NAME is needed (--list-profiles shows them)");
        return std::nullopt;
    }
    return o;
}

void SimOptions::applyTo(SimProfile &profile) const
{
    profile.address = address.value_or(profile.address);
    profile.firmware = firmware.value_or(profile.firmware);
    profile.serial = serial.value_or(profile.serial);
    profile.baud = baud.value_or(profile.baud);
}

bool SimOptions::readsControl() const
{
    if (control != Control::Auto)
        return control == Control::On;
    struct stat info {};
    return fstat(STDIN_FILENO, &info) == 0 && (S_ISFIFO(info.st_mode) || S_ISSOCK(info.st_mode));
}
