#include "cli/uCliOptions.h"

#include "shell/uErrors.h"
#include "transport/uPortNames.h"

#include <QFileInfo>

namespace {

struct TInterfaceName {
    const char *name;
    quint8 code;
};
constexpr TInterfaceName InterfaceNames[] = {
    {"cable", icServiceCable}, {"rs232", icRS232}, {"rs485", icRS485}, {"ethernet", icEthernet}};

// The parser walks the arguments; each option takes its value from the next.
class TParser {
public:
    TParser(const QStringList &arguments, const TCommSettings &stored) : args_(arguments)
    {
        o_.settings = stored;
    }

    TCliParse Run()
    {
        if (args_.isEmpty())
            return Fail(QStringLiteral("no command given"));
        const QString command = args_.at(0);
        if (command == QLatin1String("identify"))
            o_.command = TCliCommand::Identify;
        else if (command == QLatin1String("values"))
            o_.command = TCliCommand::Values;
        else
            return Fail(QStringLiteral("unknown command: %1").arg(command));
        for (i_ = 1; i_ < args_.size(); ++i_)
            if (!Option(args_.at(i_)))
                return TCliParse{std::nullopt, error_};
        if (o_.settings.InterfaceType == icNone)
            return Fail(QStringLiteral("no interface: give --interface"));
        if (o_.json && o_.csv)
            return Fail(QStringLiteral("--json and --csv exclude each other"));
        return TCliParse{o_, QString()};
    }

private:
    TCliParse Fail(const QString &error) { return TCliParse{std::nullopt, error}; }

    bool Error(const QString &error)
    {
        error_ = error;
        return false;
    }

    bool Value(QString &value)
    {
        if (i_ + 1 >= args_.size())
            return Error(QStringLiteral("%1 needs a value").arg(args_.at(i_)));
        value = args_.at(++i_);
        return true;
    }

    bool Number(int &number, int minimum)
    {
        QString text;
        if (!Value(text))
            return false;
        bool ok = false;
        number = text.toInt(&ok);
        if (!ok || number < minimum)
            return Error(QStringLiteral("%1: not a number of at least %2: %3").arg(args_.at(i_ - 1)).arg(minimum).arg(text));
        return true;
    }

    bool Option(const QString &option)
    {
        QString text;
        if (option == QLatin1String("--allfirm"))
            o_.allFirmware = true;
        else if (option == QLatin1String("--json"))
            o_.json = true;
        else if (option == QLatin1String("--csv") && o_.command == TCliCommand::Values)
            o_.csv = true;
        else if (option == QLatin1String("--interface"))
            return Value(text) && Interface(text);
        else if (option == QLatin1String("--port"))
            return Value(text) && Port(text);
        else if (option == QLatin1String("--baud"))
            return Value(text) && Baud(text);
        else if (option == QLatin1String("--address"))
            return Value(text) && Address(text);
        else if (option == QLatin1String("--ip"))
            return Value(text) && IPAddress(text);
        else if (option == QLatin1String("--count") && o_.command == TCliCommand::Values)
            return Number(o_.count, 1);
        else if (option == QLatin1String("--interval") && o_.command == TCliCommand::Values)
            return Number(o_.intervalMs, 0);
        else
            return Error(QStringLiteral("unknown option: %1").arg(option));
        return true;
    }

    bool Interface(const QString &text)
    {
        for (const TInterfaceName &n : InterfaceNames)
            if (text == QLatin1String(n.name)) {
                o_.settings.InterfaceType = n.code;
                return true;
            }
        return Error(QStringLiteral("unknown interface: %1").arg(text));
    }

    bool Port(const QString &text)
    {
        if (text.startsWith(QLatin1String("COM"), Qt::CaseInsensitive)) {
            const int n = PortNames::ParseComNumber(text);
            if (n < PortNames::MinPort || n > PortNames::MaxPort)
                return Error(QStringLiteral("not a COM port: %1").arg(text));
            o_.settings.ComPort = static_cast<quint8>(n);
            return true;
        }
        if (!QFileInfo::exists(text))
            return Error(QStringLiteral("no such port: %1").arg(text));
        const int n = PortNames::ComNumberOfDevice(text);
        if (n > 0)
            o_.settings.ComPort = static_cast<quint8>(n);
        else
            o_.portPath = text;
        return true;
    }

    bool Baud(const QString &text)
    {
        bool ok = false;
        const int baud = text.toInt(&ok);
        if (!ok || !CommSettings::IsBaudRate(baud))
            return Error(QStringLiteral("not a baud rate: %1").arg(text));
        o_.settings.BaudRate = baud;
        return true;
    }

    bool Address(const QString &text)
    {
        try {
            const CommSettings::TDeviceAddress a = CommSettings::ParseDeviceAddress(text);
            o_.settings.DeviceAddress = a.address;
            o_.settings.CharAddress = a.character;
            return true;
        } catch (const Exception &e) {
            return Error(e.Message());
        }
    }

    bool IPAddress(const QString &text)
    {
        const QString ip = CommSettings::CanonicalIPAddress(text);
        if (ip.isEmpty())
            return Error(QStringLiteral("not an IP address: %1").arg(text));
        o_.settings.IPAddress = ip;
        return true;
    }

    const QStringList &args_;
    TCliOptions o_;
    qsizetype i_ = 0;
    QString error_;
};

} // namespace

TCliParse ParseCliArguments(const QStringList &arguments, const TCommSettings &stored)
{
    return TParser(arguments, stored).Run();
}

QString CliUsage()
{
    return QStringLiteral(
        "usage: pelinor-cli identify [options]\n"
        "       pelinor-cli values [options] [--count N] [--interval MS] [--json | --csv]\n"
        "options (default: the stored communication settings):\n"
        "  --interface cable|rs232|rs485|ethernet\n"
        "  --port COMn|PATH     --baud N     --address A     --ip ADDRESS\n"
        "  --allfirm            accept firmware versions the program does not support\n"
        "  --json               machine-readable output\n"
        "exit codes: 0 accepted, 2 usage, 3 no answer, 4 refused\n");
}
