#pragma once

#include "ModbusSlave.h"
#include "SimFaults.h"
#include "SimLiveValues.h"
#include "SimMemory.h"
#include "SimProfile.h"
#include "SimRelays.h"

#include <QByteArray>
#include <QElapsedTimer>
#include <QString>

#include <functional>

class SimLog;

// The virtual sensor behind every front end: its memory, the conditions it
// measures, its relays and its faults. A front end hands it one request PDU
// at a time and sends what it answers; the framing stays with the front end.
// Before each request the live registers are brought up to date; after each
// write to non-volatile memory the state file (when there is one) is saved.
class SimDevice {
public:
    struct Reply {
        // Empty: nothing is sent.
        QByteArray pdu;
        int delayMs = 0;
        bool corruptCrc = false;
        // The port vanishes once this reply has left.
        bool vanishAfter = false;
    };
    // Seconds since the sensor was switched on.
    using Clock = std::function<double()>;

    SimDevice(const SimProfile &profile, const SimMemory &memory);

    // One request to this sensor (its address, or any unit over TCP); a
    // broadcast is carried out without an answer.
    Reply handle(const QByteArray &pdu, const QString &frontEnd, quint8 unit, bool broadcast = false);
    // Logs a request the front end did not hand on (another address, bad
    // checksum, busy line).
    void logUnanswered(const QString &frontEnd, quint8 unit, const QByteArray &pdu, const QString &why);

    void setClock(Clock clock) { m_clock = std::move(clock); }
    void setLog(SimLog *log) { m_log = log; }
    void setStateFile(const QString &path) { m_statePath = path; }

    SimMemory &memory() { return m_memory; }
    const SimMemory &memory() const { return m_memory; }
    SimConditions &conditions() { return m_conditions; }
    const SimProfile &profile() const { return m_profile; }
    const SimFaults &faults() const { return m_faults; }

    // Sets a fault of SimFaults, or the write-protection jumper
    // ("jumper", "open" / "closed"). Returns an error text, empty on success.
    QString setFault(const QString &name, const QString &value);
    void changeSerial(quint32 serial);
    // Brings the live registers and relays up to date.
    void refresh();
    // Saves the state file, when there is one.
    void saveState();
    QString stateText() const;
    int requestCount() const { return m_requests; }

private:
    // Carries out a request no fault stops; sets the transaction.
    QByteArray execute(const QByteArray &pdu, ModbusSlave::Transaction &transaction);
    // A fault that leaves the request unanswered, empty when none.
    QString silencingFault() const;
    void afterRequest(Reply &reply);
    void log(const QString &frontEnd, quint8 unit, const ModbusSlave::Transaction &t, const QString &answer);

    SimProfile m_profile;
    SimMemory m_memory;
    SimConditions m_conditions;
    SimRelays m_relays;
    SimFaults m_faults;
    Clock m_clock;
    SimLog *m_log = nullptr;
    QString m_statePath;
    int m_requests = 0;
};
