#include "SimFaults.h"

#include "SimProfile.h"

#include <QStringList>

namespace {

constexpr int MaxDelayMs = 60000;

std::optional<bool> Switch(const QString &value)
{
    const QString v = value.toLower();
    if (v.isEmpty() || v == QLatin1String("on") || v == QLatin1String("1") || v == QLatin1String("true"))
        return true;
    if (v == QLatin1String("off") || v == QLatin1String("0") || v == QLatin1String("false"))
        return false;
    return std::nullopt;
}

bool IsOff(const QString &value)
{
    return value.compare(QLatin1String("off"), Qt::CaseInsensitive) == 0;
}

std::optional<int> Count(const QString &value, int max)
{
    bool ok = false;
    const int n = value.toInt(&ok, 0);
    return ok && n >= 0 && n <= max ? std::optional<int>(n) : std::nullopt;
}

QString SetCounter(std::optional<int> &counter, const QString &value)
{
    if (IsOff(value)) {
        counter.reset();
        return {};
    }
    const std::optional<int> n = Count(value, std::numeric_limits<int>::max());
    if (!n)
        return QStringLiteral("a request count or off expected, not \"%1\"").arg(value);
    counter = n;
    return {};
}

} // namespace

QString SimFaults::set(const QString &name, const QString &value)
{
    const QString n = name.toLower();
    if (n == QLatin1String("silence") || n == QLatin1String("badcrc")) {
        const std::optional<bool> on = Switch(value);
        if (!on)
            return QStringLiteral("on or off expected, not \"%1\"").arg(value);
        (n == QLatin1String("silence") ? silence : badCrc) = *on;
        return {};
    }
    if (n == QLatin1String("delay")) {
        const std::optional<int> ms = IsOff(value) ? 0 : Count(value, MaxDelayMs);
        if (!ms)
            return QStringLiteral("a delay of 0..%1 ms expected, not \"%2\"").arg(MaxDelayMs).arg(value);
        delayMs = *ms;
        return {};
    }
    if (n == QLatin1String("exception")) {
        const std::optional<int> code = IsOff(value) ? 0 : Count(value, 0xFF);
        if (!code)
            return QStringLiteral("an exception code 1..255 or off expected, not \"%1\"").arg(value);
        exception = static_cast<quint8>(*code);
        return {};
    }
    if (n == QLatin1String("failafter"))
        return SetCounter(failAfter, value);
    if (n == QLatin1String("vanishafter"))
        return SetCounter(vanishAfter, value);
    if (n == QLatin1String("newserial")) {
        if (IsOff(value)) {
            newSerial.reset();
            return {};
        }
        newSerial = ParseSerial(value);
        return newSerial ? QString() : QStringLiteral("eight hex digits expected, not \"%1\"").arg(value);
    }
    return QStringLiteral("no fault \"%1\" (silence, delay, badcrc, exception, failafter, vanishafter, newserial, "
                          "jumper)")
        .arg(name);
}

QString SimFaults::describe() const
{
    QStringList on;
    if (silence)
        on << QStringLiteral("silence");
    if (delayMs)
        on << QStringLiteral("delay=%1").arg(delayMs);
    if (badCrc)
        on << QStringLiteral("badcrc");
    if (exception)
        on << QStringLiteral("exception=%1").arg(exception);
    if (failAfter)
        on << QStringLiteral("failafter=%1").arg(*failAfter);
    if (vanishAfter)
        on << QStringLiteral("vanishafter=%1").arg(*vanishAfter);
    if (newSerial)
        on << QStringLiteral("newserial=%1").arg(SerialText(*newSerial));
    return on.isEmpty() ? QStringLiteral("none") : on.join(QLatin1Char(' '));
}
