#pragma once

#include <QString>

// The sensor's end of a serial line on a pseudo-terminal. The sensor holds
// the master side; the program opens the slave device (/dev/pts/N) as it
// would a COM port. The sensor keeps a slave descriptor of its own open: the
// line stays raw and keeps its speed between the program's opens, and the
// master never sees a hang-up while the program has the port closed.
class PtyLine {
public:
    PtyLine() = default;
    PtyLine(const PtyLine &) = delete;
    PtyLine &operator=(const PtyLine &) = delete;
    ~PtyLine();

    // Creates the pair, makes the line raw 8N1 at baud.
    bool open(int baud, QString *error);
    void close();
    bool isOpen() const { return m_master >= 0; }
    int masterFd() const { return m_master; }
    QString slavePath() const { return m_slavePath; }
    // The speed the line is set to (by whoever opened the slave last), in
    // bit/s; 0 when unknown. Linux pseudo-terminals keep any speed set on them,
    // also the non-standard ones.
    int lineSpeed() const;
    // Writes what the master side takes without blocking; the rest is lost,
    // as on a line nobody listens to.
    void write(const QByteArray &bytes);

private:
    int m_master = -1;
    int m_slave = -1;
    QString m_slavePath;
};
