#include "SimProfile.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <cmath>

namespace {

const QString ProfileFolder = QStringLiteral(":/profiles");
constexpr int SerialDigits = 8;
constexpr int InterfaceRs232 = 3;
constexpr int InterfaceRs485 = 4;

// Reads a word given as a number or a "0x..." text; false in ok when neither.
quint32 Number(const QJsonValue &value, bool &ok)
{
    if (value.isDouble()) {
        const double d = value.toDouble();
        ok = ok && d >= 0 && d == std::floor(d);
        return static_cast<quint32>(d);
    }
    bool parsed = false;
    const quint32 n = value.toString().toUInt(&parsed, 0);
    ok = ok && parsed;
    return n;
}

quint16 Word(const QJsonObject &o, const char *key, bool &ok, quint16 fallback = 0)
{
    if (!o.contains(QLatin1String(key)))
        return fallback;
    const quint32 n = Number(o.value(QLatin1String(key)), ok);
    ok = ok && n <= 0xFFFF;
    return static_cast<quint16>(n);
}

double Measured(const QJsonValue &value)
{
    return value.isString() && value.toString() == QLatin1String("error") ? std::nan("") : value.toDouble();
}

SimProfile::Range RangeOf(const QJsonValue &value)
{
    const QJsonArray pair = value.toArray();
    return {pair.at(0).toDouble(), pair.at(1).toDouble()};
}

void ReadValues(const QJsonObject &o, SimProfile &p)
{
    const QJsonObject values = o.value(QLatin1String("values")).toObject();
    p.values.temperatureC = Measured(values.value(QLatin1String("temperature")));
    p.values.humidityPercent = Measured(values.value(QLatin1String("humidity")));
    p.values.pressureHpa = Measured(values.value(QLatin1String("pressure")));
    p.values.co2Ppm = Measured(values.value(QLatin1String("co2")));
    p.drift = o.value(QLatin1String("drift")).toBool(true);
    const QJsonObject ranges = o.value(QLatin1String("ranges")).toObject();
    for (auto it = ranges.begin(); it != ranges.end(); ++it)
        p.ranges.insert(it.key(), RangeOf(it.value()));
}

void ReadOutputs(const QJsonObject &o, SimProfile &p)
{
    for (const QJsonValue &v : o.value(QLatin1String("outputs")).toArray()) {
        const QJsonObject out = v.toObject();
        SimProfile::Output output{out.value(QLatin1String("quantity")).toString(),
                                  RangeOf(out.value(QLatin1String("converter"))), std::nullopt};
        if (out.contains(QLatin1String("voltage")))
            output.voltage = RangeOf(out.value(QLatin1String("voltage")));
        p.outputs.append(output);
    }
    for (const QJsonValue &v : o.value(QLatin1String("relays")).toArray()) {
        const QJsonObject r = v.toObject();
        p.relays.append({r.value(QLatin1String("quantity")).toInt(), r.value(QLatin1String("value")).toDouble(),
                         r.value(QLatin1String("hysteresis")).toDouble(), r.value(QLatin1String("greater")).toBool(),
                         r.value(QLatin1String("actOnError")).toBool(),
                         r.value(QLatin1String("closeOnError")).toBool()});
    }
}

bool ReadRegisters(const QJsonObject &o, SimProfile &p)
{
    bool ok = true;
    const QJsonObject words = o.value(QLatin1String("registers")).toObject();
    for (auto it = words.begin(); it != words.end(); ++it) {
        const quint32 reference = Number(it.key(), ok);
        const quint32 value = Number(it.value(), ok);
        ok = ok && reference <= 0xFFFF && value <= 0xFFFF;
        p.registers.insert(static_cast<quint16>(reference), static_cast<quint16>(value));
    }
    const QJsonObject floats = o.value(QLatin1String("floats")).toObject();
    for (auto it = floats.begin(); it != floats.end(); ++it) {
        const quint32 reference = Number(it.key(), ok);
        p.floats.insert(static_cast<quint16>(reference), Measured(it.value()));
    }
    return ok;
}

bool ReadIdentity(const QJsonObject &o, SimProfile &p)
{
    bool ok = true;
    p.name = o.value(QLatin1String("name")).toString();
    p.summary = o.value(QLatin1String("summary")).toString();
    p.interface = o.value(QLatin1String("interface")).toInt();
    p.serviceCable = o.value(QLatin1String("serviceCable")).toBool(p.interface == 1 || p.interface == 2);
    p.deviceId = Word(o, "deviceId", ok);
    const std::optional<quint32> serial = ParseSerial(o.value(QLatin1String("serial")).toString());
    ok = ok && serial.has_value() && !p.name.isEmpty();
    p.serial = serial.value_or(0);
    p.firmware = Word(o, "firmware", ok);
    p.firmwareDate = Word(o, "firmwareDate", ok);
    p.protocol = Word(o, "protocol", ok);
    p.protocolOption = Word(o, "protocolOption", ok);
    p.baud = o.value(QLatin1String("baud")).toInt(9600);
    p.address = o.value(QLatin1String("address")).toInt(1);
    p.configWord = Word(o, "configWord", ok);
    p.unitWord = Word(o, "unitWord", ok);
    p.relayWord = Word(o, "relayWord", ok);
    p.statusWord = Word(o, "statusWord", ok);
    p.longLastSegment = o.value(QLatin1String("longLastSegment")).toBool();
    for (const QJsonValue &q : o.value(QLatin1String("quantities")).toArray())
        p.quantities.append(q.toString());
    return ok && p.baud > 0;
}

} // namespace

std::optional<quint32> ParseSerial(const QString &text)
{
    bool ok = false;
    const quint32 serial = text.toUInt(&ok, 16);
    if (!ok || text.size() != SerialDigits)
        return std::nullopt;
    return serial;
}

QString SerialText(quint32 serial)
{
    return QStringLiteral("%1").arg(serial, SerialDigits, 16, QLatin1Char('0')).toUpper();
}

LiveValues::FourthChannel SimProfile::fourthChannel() const
{
    if (quantities.contains(QLatin1String("pressure")))
        return LiveValues::FourthChannel::Pressure;
    if (quantities.contains(QLatin1String("co2")))
        return LiveValues::FourthChannel::Co2;
    return LiveValues::FourthChannel::None;
}

int SimProfile::connectionType() const
{
    if (serviceCable)
        return 0;
    if (interface == InterfaceRs232)
        return 1;
    return interface == InterfaceRs485 ? 2 : 0;
}

QString SimProfile::listing() const
{
    return QStringLiteral("%1 interface=%2 type=%3 firmware=0x%4 baud=%5 address=%6 serial=%7  %8")
        .arg(name, -7)
        .arg(interface)
        .arg(connectionType())
        .arg(firmware, 4, 16, QLatin1Char('0'))
        .arg(baud)
        .arg(address)
        .arg(SerialText(serial), summary);
}

QStringList SimProfile::Names()
{
    QStringList names;
    const QStringList files = QDir(ProfileFolder).entryList({QStringLiteral("*.json")}, QDir::Files, QDir::Name);
    for (const QString &file : files)
        names.append(file.chopped(5));
    return names;
}

std::optional<SimProfile> SimProfile::Load(const QString &name, QString *error)
{
    QFile file(ProfileFolder + QLatin1Char('/') + name + QStringLiteral(".json"));
    if (!file.open(QIODevice::ReadOnly)) {
        *error = QStringLiteral("no profile %1 (--list-profiles shows them)").arg(name);
        return std::nullopt;
    }
    return Parse(file.readAll(), error);
}

std::optional<SimProfile> SimProfile::Parse(const QByteArray &json, QString *error)
{
    QJsonParseError parseError;
    const QJsonDocument doc = QJsonDocument::fromJson(json, &parseError);
    if (!doc.isObject()) {
        *error = QStringLiteral("profile is not a JSON object: %1").arg(parseError.errorString());
        return std::nullopt;
    }
    const QJsonObject o = doc.object();
    SimProfile p;
    const bool identityOk = ReadIdentity(o, p);
    ReadValues(o, p);
    ReadOutputs(o, p);
    if (!identityOk || !ReadRegisters(o, p)) {
        *error = QStringLiteral("profile %1 has a missing or malformed word").arg(p.name);
        return std::nullopt;
    }
    return p;
}
