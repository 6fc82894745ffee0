#include "SimControl.h"

#include "SimDevice.h"
#include "SimFactory.h"
#include "SimFrontEnd.h"
#include "SimRegisters.h"

#include <QSocketNotifier>
#include <QStringList>

#include <cmath>
#include <cstdio>
#include <unistd.h>

namespace {

constexpr int ReadChunkBytes = 1024;
constexpr int MaxReadWords = 128;

QString Ok(const QString &text = {})
{
    return text.isEmpty() ? QStringLiteral("ok") : QStringLiteral("ok ") + text;
}

QString Error(const QString &text)
{
    return QStringLiteral("error ") + text;
}

std::optional<quint16> WordArg(const QString &text)
{
    bool ok = false;
    const uint value = text.toUInt(&ok, 0);
    return ok && value <= 0xFFFF ? std::optional<quint16>(static_cast<quint16>(value)) : std::nullopt;
}

std::optional<LiveValues::Quantity> QuantityArg(const QString &text)
{
    using LiveValues::Quantity;
    const QString t = text.toLower();
    if (t == QLatin1String("temperature"))
        return Quantity::Temperature;
    if (t == QLatin1String("humidity"))
        return Quantity::Humidity;
    if (t == QLatin1String("pressure"))
        return Quantity::Pressure;
    if (t == QLatin1String("co2"))
        return Quantity::Co2;
    return std::nullopt;
}

} // namespace

SimControl::SimControl(SimDevice &device, SimFrontEnd &frontEnd, QObject *parent)
    : QObject(parent), m_device(device), m_frontEnd(frontEnd)
{
}

QString SimControl::execute(const QString &line)
{
    const QStringList words = line.simplified().split(QLatin1Char(' '), Qt::SkipEmptyParts);
    if (words.isEmpty())
        return Error(QStringLiteral("empty command"));
    const QString command = words[0].toLower();
    const QString arg1 = words.value(1);
    if (command == QLatin1String("fault") && words.size() >= 2)
        return fault(arg1, words.value(2));
    if (command == QLatin1String("jumper") || command == QLatin1String("failafter"))
        return fault(command, arg1);
    if (command == QLatin1String("serial")) {
        const std::optional<quint32> serial = ParseSerial(arg1);
        if (!serial)
            return Error(QStringLiteral("eight hex digits expected"));
        m_device.changeSerial(*serial);
        return Ok(SerialText(*serial));
    }
    if (command == QLatin1String("vanish")) {
        m_frontEnd.vanish();
        return Ok(QStringLiteral("vanished"));
    }
    if (command == QLatin1String("set"))
        return set(words);
    if (command == QLatin1String("drift") && (arg1 == QLatin1String("on") || arg1 == QLatin1String("off"))) {
        m_device.conditions().setDrift(arg1 == QLatin1String("on"));
        return Ok();
    }
    if (command == QLatin1String("read"))
        return read(words);
    if (command == QLatin1String("write"))
        return write(words);
    if (command == QLatin1String("state"))
        return Ok(m_device.stateText() + (m_frontEnd.vanished() ? QStringLiteral(" vanished") : QString()));
    if (command == QLatin1String("quit")) {
        Q_EMIT quitRequested();
        return Ok(QStringLiteral("bye"));
    }
    return Error(QStringLiteral("unknown command \"%1\"").arg(line.simplified()));
}

QString SimControl::fault(const QString &name, const QString &value)
{
    const QString problem = m_device.setFault(name, value);
    if (!problem.isEmpty())
        return Error(problem);
    return Ok(m_device.memory().jumperOpen() ? m_device.faults().describe() + QStringLiteral(" jumper=open")
                                             : m_device.faults().describe());
}

QString SimControl::set(const QStringList &words)
{
    const std::optional<LiveValues::Quantity> quantity = QuantityArg(words.value(1));
    if (!quantity || words.size() != 3)
        return Error(QStringLiteral("set temperature|humidity|pressure|co2 VALUE|error|drift"));
    const QString value = words[2].toLower();
    if (value == QLatin1String("drift")) {
        m_device.conditions().release(*quantity);
    } else if (value == QLatin1String("error")) {
        m_device.conditions().fix(*quantity, std::nan(""));
    } else {
        bool ok = false;
        const double number = value.toDouble(&ok);
        if (!ok)
            return Error(QStringLiteral("a number, error or drift expected, not \"%1\"").arg(words[2]));
        m_device.conditions().fix(*quantity, number);
    }
    m_device.refresh();
    return Ok();
}

QString SimControl::read(const QStringList &words)
{
    const std::optional<quint16> reference = WordArg(words.value(1));
    const std::optional<quint16> count = words.size() > 2 ? WordArg(words[2]) : std::optional<quint16>(1);
    if (!reference || !count || *count < 1 || *count > MaxReadWords)
        return Error(QStringLiteral("read REFERENCE [COUNT 1..%1]").arg(MaxReadWords));
    m_device.refresh();
    QStringList texts;
    for (int i = 0; i < *count; ++i)
        texts.append(SimBytes::Hex(m_device.memory().word(*reference + i)));
    return Ok(texts.join(QLatin1Char(' ')));
}

QString SimControl::write(const QStringList &words)
{
    const std::optional<quint16> reference = WordArg(words.value(1));
    const std::optional<quint16> value = WordArg(words.value(2));
    if (!reference || !value || words.size() != 3)
        return Error(QStringLiteral("write REFERENCE WORD"));
    SimMemory &memory = m_device.memory();
    memory.setWord(*reference, *value);
    // Writing the checksum word itself is how a technician spoils it.
    const int segment = memory.segmentOfAddress(*reference - 1);
    const bool checksumWord = segment > 0 && *reference - SimMemory::SegmentBase(segment) == SimMemory::ChecksumOffset;
    if (segment >= 0 && SimMemory::SegmentKind(segment) == SimMemory::Kind::Flash && !checksumWord)
        memory.refreshChecksum(segment);
    m_device.saveState();
    m_device.refresh();
    return Ok();
}

void SimControl::listen(int fd)
{
    m_fd = fd;
    m_notifier = new QSocketNotifier(fd, QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, &SimControl::readInput);
}

void SimControl::readInput()
{
    char buffer[ReadChunkBytes];
    const ssize_t n = ::read(m_fd, buffer, sizeof buffer);
    if (n <= 0) {
        m_notifier->setEnabled(false);
        Q_EMIT quitRequested();
        return;
    }
    m_input.append(buffer, n);
    qsizetype end;
    while ((end = m_input.indexOf('\n')) >= 0) {
        const QString line = QString::fromUtf8(m_input.left(end)).trimmed();
        m_input.remove(0, end + 1);
        if (line.isEmpty())
            continue;
        const QByteArray answer = execute(line).toUtf8() + '\n';
        std::fwrite(answer.constData(), 1, answer.size(), stdout);
        std::fflush(stdout);
    }
}
