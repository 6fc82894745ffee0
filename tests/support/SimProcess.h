#pragma once

#include <QByteArray>
#include <QProcess>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

// Runs the virtual sensor (pelinor-sim) as a child process of a test.
//
//   SimProcess sim;
//   QVERIFY2(sim.start({"--profile", "Q0003", "--com", "7"}), qPrintable(sim.errorString()));
//   port.open(sim.comNumber());                 // or sim.devicePath(), sim.tcpPort()
//   QVERIFY(sim.commandOk("fault silence on"));
//   ...
//   QVERIFY(sim.logLines().last().contains("answer=ok"));
//
// start() runs $PELINOR_SIM (ctest sets it) with the arguments plus
// "--control" and, unless the arguments name one, "--log" into a temporary
// folder, and waits for the sensor's READY line. It fails fast, with the
// sensor's standard error in errorString(), when the variable is missing,
// the sensor exits, or it is not ready within the time-out.
// The ports folder is the test process's PELINOR_PORT_DIR (see
// TestEnvironment), which the child inherits.
//
// command() sends one control command (see "The virtual sensor" in the
// README: fault NAME VALUE, jumper open|closed, serial HEX8, failafter N,
// vanish, set QUANTITY VALUE, read REF [COUNT], write REF WORD, state, quit)
// and returns its answer line, "ok ..." or "error ...", or an empty text
// when none came in time.
//
// The destructor stops the sensor (SIGTERM, then SIGKILL), which removes its
// COMn link.
class SimProcess {
public:
    static constexpr int DefaultReadyTimeoutMs = 5000;
    static constexpr int DefaultCommandTimeoutMs = 3000;

    SimProcess();
    ~SimProcess();
    SimProcess(const SimProcess &) = delete;
    SimProcess &operator=(const SimProcess &) = delete;

    bool start(const QStringList &arguments, int readyTimeoutMs = DefaultReadyTimeoutMs);
    void stop();
    bool isRunning() const;
    QString errorString() const { return m_error; }

    // "READY serial COM7 /dev/pts/3" or "READY tcp 127.0.0.1:40123".
    QString readyLine() const { return m_readyLine; }
    bool isSerial() const { return m_comNumber > 0; }
    // The COM number of the serial line, 0 over TCP.
    int comNumber() const { return m_comNumber; }
    // The pseudo-terminal the link leads to ("/dev/pts/3").
    QString devicePath() const { return m_devicePath; }
    // The COMn link in the ports folder.
    QString linkPath() const;
    QString tcpHost() const { return m_tcpHost; }
    quint16 tcpPort() const { return m_tcpPort; }

    QString command(const QString &line, int timeoutMs = DefaultCommandTimeoutMs);
    // True when the answer starts with "ok"; the answer goes to *answer.
    bool commandOk(const QString &line, QString *answer = nullptr);

    QString logPath() const { return m_logPath; }
    // The transaction log, one entry per request.
    QStringList logLines() const;
    // Waits until the log holds at least count lines.
    bool waitForLogLines(int count, int timeoutMs = DefaultCommandTimeoutMs) const;
    // What the sensor wrote to standard error so far.
    QByteArray standardError();

private:
    // The next line of standard output; false when none came in time.
    bool readLine(QString &line, int timeoutMs);
    bool parseReady(const QString &line);
    bool fail(const QString &why);

    QProcess m_process;
    QTemporaryDir m_dir;
    QByteArray m_output;
    QByteArray m_errorOutput;
    QString m_error;
    QString m_readyLine;
    QString m_logPath;
    int m_comNumber = 0;
    QString m_devicePath;
    QString m_tcpHost;
    quint16 m_tcpPort = 0;
};
