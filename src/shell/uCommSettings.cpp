#include "shell/uCommSettings.h"

#include "shell/uAppSettings.h"
#include "shell/uClock.h"
#include "shell/uErrors.h"

#include <QCoreApplication>
#include <QProcess>
#include <QStandardPaths>

#include <optional>

#ifdef Q_OS_WIN
#include <qt_windows.h>
#endif

namespace CommSettings {

namespace {

QString tr(const char *text)
{
    return QCoreApplication::translate("CommSettings", text);
}

constexpr int MaxAddress = 255;
constexpr int MaxComPort = 255;
constexpr int MinIPTextLength = 7;
constexpr int MaxIPTextLength = 15;
constexpr int MaxOctet = 255;

bool IsAsciiDigit(QChar c)
{
    return c >= QLatin1Char('0') && c <= QLatin1Char('9');
}

bool AllOf(QStringView text, bool (*test)(QChar))
{
    if (text.isEmpty())
        return false;
    for (QChar c : text)
        if (!test(c))
            return false;
    return true;
}

bool IsAsciiHexDigit(QChar c)
{
    const char16_t u = c.toLower().unicode();
    return IsAsciiDigit(c) || (u >= u'a' && u <= u'f');
}

// A number as the address edit takes it: decimal with an optional sign, or
// hexadecimal after "$". Too long to be an int counts as no number.
std::optional<qint64> ParseNumber(const QString &text)
{
    constexpr int MaxDigits = 9;
    bool ok = false;
    qint64 value = 0;
    if (text.startsWith(QLatin1Char('$'))) {
        const QStringView digits = QStringView(text).mid(1);
        if (!AllOf(digits, IsAsciiHexDigit) || digits.size() > MaxDigits)
            return std::nullopt;
        value = digits.toLongLong(&ok, 16);
    } else {
        const bool signed_ = text.startsWith(QLatin1Char('-')) || text.startsWith(QLatin1Char('+'));
        const QStringView digits = QStringView(text).mid(signed_ ? 1 : 0);
        if (!AllOf(digits, IsAsciiDigit) || digits.size() > MaxDigits)
            return std::nullopt;
        value = text.toLongLong(&ok, 10);
    }
    if (!ok)
        return std::nullopt;
    return value;
}

bool IsAsciiLetter(int code)
{
    return (code >= 'A' && code <= 'Z') || (code >= 'a' && code <= 'z');
}

// The end of the alphabet [first, last] that is nearer to code; ties go to
// the last letter.
QChar NearerEnd(int code, char first, char last)
{
    return QLatin1Char(qAbs(code - first) < qAbs(code - last) ? first : last);
}

} // namespace

QString AddressRequiredText()
{
    return tr("Device address is required!");
}

QString InvalidAddressText()
{
    return tr("Invalid device address!");
}

QString IPRequiredText()
{
    return tr("IP address is required!");
}

QString InvalidIPText()
{
    return tr("Invalid IP address!");
}

QString InvalidBaudRateText()
{
    return tr("Invalid baud rate!");
}

const QList<int> &BaudRates()
{
    static const QList<int> rates = {110, 300, 600, 1200, 2400, 4800, 9600,
                                     14400, 19200, 38400, 56000, 57600, 115200};
    return rates;
}

bool IsBaudRate(int bitsPerSecond)
{
    return BaudRates().contains(bitsPerSecond);
}

bool IsAddressLetter(int code)
{
    return IsAsciiLetter(code) && code != 'T' && code != 't';
}

TDeviceAddress ParseDeviceAddress(const QString &text)
{
    if (text.isEmpty())
        throw EConvertError(AddressRequiredText());
    if (const std::optional<qint64> number = ParseNumber(text)) {
        if (*number < 0 || *number > MaxAddress)
            throw EConvertError(InvalidAddressText());
        return {static_cast<quint8>(*number), false};
    }
    if (text.size() != 1 || !IsAddressLetter(text.at(0).unicode()))
        throw EConvertError(InvalidAddressText());
    return {static_cast<quint8>(text.at(0).unicode()), true};
}

QChar AddressCharRule(int code)
{
    if (code == 'T' || code == 't')
        return QLatin1Char(code == 'T' ? 'U' : 'u');
    if (IsAsciiLetter(code))
        return QLatin1Char(static_cast<char>(code));
    // Nearer the middle of "A".."Z" (77.5) than of "a".."z" (109.5)?
    if (qAbs(2 * code - ('A' + 'Z')) < qAbs(2 * code - ('a' + 'z')))
        return NearerEnd(code, 'A', 'Z');
    return NearerEnd(code, 'a', 'z');
}

QString CanonicalIPAddress(const QString &text)
{
    const QString trimmed = text.trimmed();
    if (trimmed.size() < MinIPTextLength || trimmed.size() > MaxIPTextLength)
        return {};
    const QStringList parts = trimmed.split(QLatin1Char('.'));
    if (parts.size() != 4)
        return {};
    QStringList octets;
    for (const QString &part : parts) {
        const QString digits = part.trimmed();
        bool ok = false;
        const int value = digits.toInt(&ok, 10);
        if (!AllOf(digits, IsAsciiDigit) || !ok || value > MaxOctet)
            return {};
        octets.append(QString::number(value));
    }
    return octets.join(QLatin1Char('.'));
}

bool IsValidIPAddress(const QString &text)
{
    return !CanonicalIPAddress(text).isEmpty();
}

namespace {

constexpr const char *DeviceGroup = "DEVICE";
constexpr const char *TypeKey = "Type";
constexpr const char *PortKey = "Port";
constexpr const char *BaudrateKey = "Baudrate";
constexpr const char *CharacterKey = "Character";
constexpr const char *AddressKey = "Address";
constexpr const char *IPKey = "IP";

// An integer stored as text; the fallback for a missing or unreadable value.
int ReadInt(const QSettings &settings, const char *key, int fallback)
{
    bool ok = false;
    const int value = settings.value(QLatin1String(key)).toString().trimmed().toInt(&ok);
    return ok ? value : fallback;
}

void WriteText(QSettings &settings, const char *key, const QString &text)
{
    settings.setValue(QLatin1String(key), text);
}

quint8 ReadInterface(const QSettings &settings)
{
    const int type = ReadInt(settings, TypeKey, -1);
    return type >= icServiceCable && type <= icEthernet ? static_cast<quint8>(type) : quint8(icNone);
}

} // namespace

TCommSettings Load()
{
    const auto settings = AppSettings::Open();
    settings->beginGroup(QLatin1String(DeviceGroup));
    TCommSettings r;
    r.InterfaceType = ReadInterface(*settings);
    const int port = ReadInt(*settings, PortKey, DefaultComPort);
    r.ComPort = port >= 1 && port <= MaxComPort ? static_cast<quint8>(port) : DefaultComPort;
    const int baud = ReadInt(*settings, BaudrateKey, DefaultBaudRate);
    r.BaudRate = IsBaudRate(baud) ? baud : DefaultBaudRate;
    r.CharAddress = ReadInt(*settings, CharacterKey, 0) != 0;
    const int address = ReadInt(*settings, AddressKey, DefaultDeviceAddress);
    r.DeviceAddress = address >= 0 && address <= MaxAddress ? static_cast<quint8>(address) : DefaultDeviceAddress;
    // A letter flag with a non-letter would make every later preset of the
    // address fail, so connecting would be impossible: take the default pair.
    if (r.CharAddress && !IsAddressLetter(r.DeviceAddress)) {
        r.CharAddress = false;
        r.DeviceAddress = DefaultDeviceAddress;
    }
    const QString ip = CanonicalIPAddress(settings->value(QLatin1String(IPKey)).toString());
    r.IPAddress = ip.isEmpty() ? QString::fromLatin1(DefaultIPAddress) : ip;
    return r;
}

void Save(const TCommSettings &s)
{
    const auto settings = AppSettings::Open();
    settings->beginGroup(QLatin1String(DeviceGroup));
    // Stored as a signed byte: "none" (255) reads back as -1.
    WriteText(*settings, TypeKey, QString::number(static_cast<qint8>(s.InterfaceType)));
    if (s.InterfaceType == icEthernet) {
        const QString ip = CanonicalIPAddress(s.IPAddress);
        WriteText(*settings, IPKey, ip.isEmpty() ? s.IPAddress : ip);
        return;
    }
    WriteText(*settings, PortKey, QString::number(s.ComPort));
    WriteText(*settings, BaudrateKey, QString::number(s.BaudRate));
    WriteText(*settings, CharacterKey, QLatin1String(s.CharAddress ? "1" : "0"));
    WriteText(*settings, AddressKey, QString::number(s.DeviceAddress));
}

namespace {

constexpr int ArpStartLimitMs = 2000;
constexpr int ArpRunLimitMs = 3000;
constexpr int ArpPollMs = 20;
constexpr int ArpKillWaitMs = 1000;

// The tool from the search path, else from the administrator's folders,
// which an ordinary user's path often leaves out.
QString FindTool(const QString &name, bool searchPath)
{
    if (searchPath)
        return QStandardPaths::findExecutable(name);
    return QStandardPaths::findExecutable(name, {QStringLiteral("/usr/sbin"), QStringLiteral("/sbin")});
}

} // namespace

QStringList ArpClearCommand(const QString &ipAddress)
{
    const QString ip = CanonicalIPAddress(ipAddress);
    if (ip.isEmpty())
        return {};
#ifdef Q_OS_WIN
    return {QStringLiteral("arp"), QStringLiteral("-d"), ip};
#else
    for (const bool searchPath : {true, false}) {
        const QString ipTool = FindTool(QStringLiteral("ip"), searchPath);
        if (!ipTool.isEmpty())
            return {ipTool, QStringLiteral("neigh"), QStringLiteral("flush"), QStringLiteral("to"), ip};
        const QString arpTool = FindTool(QStringLiteral("arp"), searchPath);
        if (!arpTool.isEmpty())
            return {arpTool, QStringLiteral("-d"), ip};
    }
    return {};
#endif
}

void ClearArpEntry(const QString &ipAddress)
{
    const QStringList command = ArpClearCommand(ipAddress);
    if (command.isEmpty())
        return;
    QProcess process;
    process.setProgram(command.first());
    process.setArguments(command.mid(1));
    process.setStandardOutputFile(QProcess::nullDevice());
    process.setStandardErrorFile(QProcess::nullDevice());
#ifdef Q_OS_WIN
    process.setCreateProcessArgumentsModifier(
        [](QProcess::CreateProcessArguments *args) { args->flags |= CREATE_NO_WINDOW; });
#endif
    process.start();
    if (!process.waitForStarted(ArpStartLimitMs))
        return;
    const qint64 startMs = Clock().NowMs();
    while (process.state() != QProcess::NotRunning && !process.waitForFinished(0)) {
        if (Clock().NowMs() - startMs >= ArpRunLimitMs) {
            process.kill();
            process.waitForFinished(ArpKillWaitMs);
            return;
        }
        Delay(ArpPollMs);
    }
}

} // namespace CommSettings
