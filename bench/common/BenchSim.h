#pragma once

#include "shell/uConnection.h"
#include "support/SimProcess.h"

#include <QStringList>
#include <QTemporaryDir>

#include <memory>

// What benchmarks share: a private ports folder, the virtual sensor paced at
// its line's baud rate, and the time the requests of its transaction log
// need on the wire.
namespace BenchSim {

// Points the process at a ports folder of its own and at the simulator of
// this build. Call first.
std::unique_ptr<QTemporaryDir> Prepare();

// Starts the sensor; exits the program with its error when it cannot.
void Start(SimProcess &sim, const QStringList &arguments);

// The time in ms the logged Modbus RTU transactions spend on a line at baud
// bit/s: every request and reply byte at 10 bits (8N1), plus the silence of
// 3.5 characters before each frame.
double WireTimeMs(const QStringList &logLines, int baud);

double Median(QList<double> values);

// A session connected to the serial sensor as a user with these settings
// would connect it, without a window.
struct TSerialSensor {
    TSession session;
    TQuietConnectionUi ui;
    TSensorConnection connection{session, ui};

    bool Connect(quint8 interfaceType, int comNo, int baud, int address = 1);
};

} // namespace BenchSim
