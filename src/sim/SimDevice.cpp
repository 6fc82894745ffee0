#include "SimDevice.h"

#include "ModbusSlave.h"
#include "SimFactory.h"
#include "SimLog.h"
#include "SimRegisters.h"
#include "SimStateFile.h"

#include <QDebug>

namespace {

constexpr double MsPerSecond = 1000.0;

bool Covers(const ModbusSlave::Transaction &t, quint16 address)
{
    return t.function == ModbusSlave::ReadHoldingRegisters && !t.exception && t.address <= address &&
           address < t.address + t.count;
}

QString Answer(const ModbusSlave::Transaction &t)
{
    return t.exception ? QStringLiteral("exception-%1").arg(t.exception) : QStringLiteral("ok");
}

} // namespace

SimDevice::SimDevice(const SimProfile &profile, const SimMemory &memory)
    : m_profile(profile), m_memory(memory), m_conditions(profile.values, profile.drift)
{
    QElapsedTimer sinceStart;
    sinceStart.start();
    m_clock = [sinceStart] { return sinceStart.elapsed() / MsPerSecond; };
    refresh();
}

SimDevice::Reply SimDevice::handle(const QByteArray &pdu, const QString &frontEnd, quint8 unit, bool broadcast)
{
    ++m_requests;
    Reply reply;
    if (const QString why = silencingFault(); !why.isEmpty()) {
        log(frontEnd, unit, ModbusSlave::Describe(pdu), why);
        return reply;
    }
    ModbusSlave::Transaction t;
    if (m_faults.exception) {
        t = ModbusSlave::Describe(pdu);
        t.exception = m_faults.exception;
        reply.pdu = ModbusSlave::ExceptionReply(t.function, t.exception);
    } else {
        reply.pdu = execute(pdu, t);
    }
    afterRequest(reply);
    QString answer = Answer(t);
    if (broadcast) {
        reply.pdu.clear();
        answer = QStringLiteral("broadcast");
    } else if (reply.corruptCrc) {
        answer += QStringLiteral("+bad-crc");
    }
    log(frontEnd, unit, t, answer);
    return reply;
}

QString SimDevice::silencingFault() const
{
    if (m_faults.silence)
        return QStringLiteral("silent");
    if (m_faults.failAfter && *m_faults.failAfter == 0)
        return QStringLiteral("failed");
    return {};
}

QByteArray SimDevice::execute(const QByteArray &pdu, ModbusSlave::Transaction &t)
{
    refresh();
    const QByteArray reply = ModbusSlave::Execute(pdu, m_memory, t);
    const bool volatileWrite = m_memory.segmentOfAddress(t.address) == 0;
    if (t.wrote && !volatileWrite)
        saveState();
    if (t.wrote && volatileWrite)
        refresh();
    if (m_faults.newSerial && Covers(t, SimRegisters::SerialLow - 1)) {
        changeSerial(*m_faults.newSerial);
        m_faults.newSerial.reset();
    }
    return reply;
}

void SimDevice::afterRequest(Reply &reply)
{
    reply.delayMs = m_faults.delayMs;
    reply.corruptCrc = m_faults.badCrc;
    if (m_faults.failAfter && *m_faults.failAfter > 0)
        --*m_faults.failAfter;
    if (m_faults.vanishAfter && *m_faults.vanishAfter > 0 && --*m_faults.vanishAfter == 0) {
        reply.vanishAfter = true;
        m_faults.vanishAfter.reset();
    }
}

void SimDevice::logUnanswered(const QString &frontEnd, quint8 unit, const QByteArray &pdu, const QString &why)
{
    log(frontEnd, unit, ModbusSlave::Describe(pdu), why);
}

void SimDevice::log(const QString &frontEnd, quint8 unit, const ModbusSlave::Transaction &t, const QString &answer)
{
    if (m_log)
        m_log->write(SimLog::Line(frontEnd, unit, t, answer));
}

QString SimDevice::setFault(const QString &name, const QString &value)
{
    if (name.compare(QLatin1String("jumper"), Qt::CaseInsensitive) != 0)
        return m_faults.set(name, value);
    const QString v = value.toLower();
    if (v != QLatin1String("open") && v != QLatin1String("closed") && !v.isEmpty())
        return QStringLiteral("open or closed expected, not \"%1\"").arg(value);
    m_memory.setJumperOpen(v != QLatin1String("closed"));
    return {};
}

void SimDevice::changeSerial(quint32 serial)
{
    SimFactory::SetSerial(m_memory, serial);
    saveState();
}

void SimDevice::refresh()
{
    const LiveValues::FourthChannel fourth = m_profile.fourthChannel();
    const LiveValues::Readings readings = LiveValues::Store(m_memory, m_conditions.at(m_clock()), fourth);
    m_relays.update(m_memory, readings, fourth);
}

void SimDevice::saveState()
{
    QString error;
    if (!m_statePath.isEmpty() && !SimStateFile::Save(m_statePath, m_profile.name, m_memory, &error))
        qWarning().noquote() << error;
}

QString SimDevice::stateText() const
{
    return QStringLiteral("profile=%1 address=%2 baud=%3 jumper=%4 serial=%5 firmware=0x%6 requests=%7 relays=%8%9 "
                          "faults=%10")
        .arg(m_profile.name)
        .arg(m_memory.slaveAddress())
        .arg(m_memory.nominalBaudRate())
        .arg(m_memory.jumperOpen() ? QStringLiteral("open") : QStringLiteral("closed"))
        .arg(SerialText(SimFactory::Serial(m_memory)))
        .arg(m_profile.firmware, 4, 16, QLatin1Char('0'))
        .arg(m_requests)
        .arg(m_relays.closed(0) ? 1 : 0)
        .arg(m_relays.closed(1) ? 1 : 0)
        .arg(m_faults.describe());
}
