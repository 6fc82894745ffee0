#include "common/BenchSim.h"

#include <QFile>
#include <QRegularExpression>
#include <QTextStream>

#include <algorithm>
#include <cstdlib>

namespace BenchSim {

namespace {

constexpr double BitsPerCharacter = 10.0;
constexpr double SilentCharacters = 3.5;

// Request and reply sizes of one logged transaction.
std::pair<int, int> FrameBytes(int function, int count, bool exception)
{
    const int reply = exception ? 5 : function == 3 ? 5 + 2 * count : 8;
    const int request = function == 16 ? 9 + 2 * count : 8;
    return {request, reply};
}

} // namespace

std::unique_ptr<QTemporaryDir> Prepare()
{
    auto dir = std::make_unique<QTemporaryDir>();
    qputenv("PELINOR_PORT_DIR", QFile::encodeName(dir->path()));
    if (qEnvironmentVariableIsEmpty("PELINOR_SIM"))
        qputenv("PELINOR_SIM", PELINOR_SIM_PATH);
    return dir;
}

void Start(SimProcess &sim, const QStringList &arguments)
{
    if (!sim.start(arguments)) {
        QTextStream(stderr) << "cannot start the virtual sensor: " << sim.errorString() << '\n';
        std::exit(1);
    }
}

double WireTimeMs(const QStringList &logLines, int baud)
{
    static const QRegularExpression entry(QStringLiteral(R"(fn=(\d+) addr=\S+ count=(\d+))"));
    double characters = 0;
    for (const QString &line : logLines) {
        const QRegularExpressionMatch m = entry.match(line);
        if (!m.hasMatch())
            continue;
        const bool exception = line.contains(QLatin1String("answer=exception"));
        const auto [request, reply] = FrameBytes(m.captured(1).toInt(), m.captured(2).toInt(), exception);
        characters += request + reply + 2 * SilentCharacters;
    }
    return characters * BitsPerCharacter * 1000.0 / baud;
}

double Median(QList<double> values)
{
    std::sort(values.begin(), values.end());
    return values.isEmpty() ? 0.0 : values.at(values.size() / 2);
}

bool TSerialSensor::Connect(quint8 interfaceType, int comNo, int baud, int address)
{
    session.InterfaceType = interfaceType;
    session.ComPort = static_cast<quint8>(comNo);
    session.BaudRate = baud;
    session.DeviceAddress = static_cast<quint8>(address);
    return connection.Connect() == TConnectOutcome::Accepted;
}

} // namespace BenchSim
