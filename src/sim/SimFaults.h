#pragma once

#include <QString>
#include <QtGlobal>

#include <optional>

// The sensor's named misbehaviours, each switched by name:
//   silence            no answer to anything
//   delay=MS           every answer leaves MS milliseconds late
//   badcrc             answers carry a wrong checksum (RTU)
//   exception=CODE     every request is answered with this exception
//   failafter=N        N more requests are answered, then silence
//   vanishafter=N      N more requests are answered, then the port vanishes
//   newserial=HEX8     the serial number changes to HEX8 once the program
//                      has read it (as if another sensor had been plugged in)
// "off" (or 0 for the numbers that allow it) switches a fault off.
struct SimFaults {
    bool silence = false;
    int delayMs = 0;
    bool badCrc = false;
    quint8 exception = 0;
    // Requests still answered; unset when the fault is off.
    std::optional<int> failAfter;
    std::optional<int> vanishAfter;
    std::optional<quint32> newSerial;

    // Sets a fault; an empty value means "on". Returns an error text, empty
    // on success.
    QString set(const QString &name, const QString &value);
    // "silence delay=300 ..." or "none".
    QString describe() const;
};
