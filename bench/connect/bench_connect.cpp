// Connect-and-identify time of a serial sensor against the virtual sensor
// paced at the line's baud rate, beside the time the same exchange needs on
// the wire. Run: build/release/bench/bench_connect [repetitions]

#include "common/BenchSim.h"
#include "shell/uConnection.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTextStream>

namespace {

constexpr int SimCom = 3;
constexpr int BaudRates[] = {9600, 115200};
constexpr double OpenPauseMs = 200;

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const auto ports = BenchSim::Prepare();
    const int repetitions = argc > 1 ? QString::fromLocal8Bit(argv[1]).toInt() : 5;
    QTextStream out(stdout);
    out << "connect and identify (Q0029 over Modbus RTU, virtual sensor paced)\n"
        << "baud     measured ms   wire ms   ratio   ratio without the open pause\n";
    for (const int baud : BaudRates) {
        SimProcess sim;
        BenchSim::Start(sim, {"--profile", "Q0029", "--com", QString::number(SimCom), "--baud", QString::number(baud),
                              "--pace"});
        QList<double> times;
        double wire = 0;
        for (int i = 0; i < repetitions; ++i) {
            BenchSim::TSerialSensor sensor;
            const qsizetype logged = sim.logLines().size();
            QElapsedTimer t;
            t.start();
            if (!sensor.Connect(InterfaceRS232, SimCom, baud)) {
                out << "connect failed at " << baud << " bit/s\n";
                return 1;
            }
            times.append(static_cast<double>(t.nsecsElapsed()) / 1e6);
            sensor.connection.Disconnect();
            sim.waitForLogLines(static_cast<int>(logged) + 3);
            wire = BenchSim::WireTimeMs(sim.logLines().mid(logged), baud);
        }
        const double measured = BenchSim::Median(times);
        out << QStringLiteral("%1 %2 %3 %4 %5\n")
                   .arg(baud, -8)
                   .arg(measured, 12, 'f', 1)
                   .arg(wire, 9, 'f', 1)
                   .arg(measured / wire, 7, 'f', 2)
                   .arg((measured - OpenPauseMs) / wire, 9, 'f', 2);
    }
    out << "the sensor gets " << OpenPauseMs << " ms after the line opens before the first request.\n";
    return 0;
}
