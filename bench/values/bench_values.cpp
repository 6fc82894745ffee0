// Reading passes of the Information page per second against the virtual
// sensor paced at the line's baud rate, beside the limit the wire sets for
// the same transactions. Run: build/release/bench/bench_values [seconds]

#include "common/BenchSim.h"
#include "shell/uConnection.h"
#include "shell/uValues.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTextStream>

namespace {

constexpr int SimCom = 4;
struct TCase {
    const char *profile;
    quint8 interfaceType;
    int address;
};
// Four values, and two values with both relay states.
constexpr TCase Cases[] = {{"Q0029", InterfaceRS232, 1}, {"Q0131", InterfaceRS485, 12}};
constexpr int BaudRates[] = {9600, 115200};

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const auto ports = BenchSim::Prepare();
    const double seconds = argc > 1 ? QString::fromLocal8Bit(argv[1]).toDouble() : 3.0;
    QTextStream out(stdout);
    out << "reading passes of the Information page (Modbus RTU, virtual sensor paced)\n"
        << "profile  baud     passes/s   wire limit/s   ratio\n";
    for (const TCase &c : Cases) {
        for (const int baud : BaudRates) {
            SimProcess sim;
            BenchSim::Start(sim, {"--profile", c.profile, "--com", QString::number(SimCom), "--baud",
                                  QString::number(baud), "--address", QString::number(c.address), "--pace"});
            BenchSim::TSerialSensor sensor;
            TSession &session = sensor.session;
            if (!sensor.Connect(c.interfaceType, SimCom, baud, c.address)) {
                out << "connect failed: " << c.profile << " at " << baud << " bit/s\n";
                return 1;
            }
            const TInformationLayout layout = LayoutInformationPage(session);
            const qsizetype logged = sim.logLines().size();
            int passes = 0;
            QElapsedTimer t;
            t.start();
            while (t.elapsed() < seconds * 1000) {
                ReadValuesPass(session, layout);
                ++passes;
            }
            const double elapsedS = static_cast<double>(t.nsecsElapsed()) / 1e9;
            sensor.connection.Disconnect();
            const QStringList log = sim.logLines().mid(logged);
            const double wireMsPerPass = BenchSim::WireTimeMs(log, baud) / std::max<qsizetype>(1, log.size()) *
                                         (static_cast<double>(log.size()) / passes);
            const double rate = passes / elapsedS;
            const double limit = 1000.0 / wireMsPerPass;
            out << QStringLiteral("%1 %2 %3 %4 %5\n")
                       .arg(QLatin1String(c.profile), -8)
                       .arg(baud, -8)
                       .arg(rate, 9, 'f', 1)
                       .arg(limit, 14, 'f', 1)
                       .arg(rate / limit, 7, 'f', 2);
        }
    }
    out << "the wire limit keeps 3.5 characters of silence before every frame; the virtual sensor keeps it\n"
           "before its replies only, so a ratio a little above 1 means the program waits for nothing else.\n";
    return 0;
}
