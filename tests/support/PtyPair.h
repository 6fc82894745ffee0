#pragma once

#include <QByteArray>
#include <QString>

#include <termios.h>

// A pseudo-terminal pair standing in for a serial line. The slave is the port
// the program opens (linked into the ports folder as COMn); the master is the
// far end the test reads and writes. The pair keeps a descriptor of its own
// on the slave, so the line survives the program closing its port and the
// test can look at the slave's line settings through it.
class TPtyPair {
public:
    TPtyPair();
    ~TPtyPair();
    TPtyPair(const TPtyPair &) = delete;
    TPtyPair &operator=(const TPtyPair &) = delete;

    // False when the pair could not be made; Error() says why.
    bool IsValid() const { return master_ >= 0 && slave_ >= 0; }
    const QString &Error() const { return error_; }

    QString SlavePath() const { return slavePath_; }
    int MasterFd() const { return master_; }
    int SlaveFd() const { return slave_; }

    // Links the slave into the ports folder as COMn (LinkComPort), replacing
    // what is there, and keeps the link to remove it again.
    bool LinkAs(int comNo);
    // Removes the link again (the port vanishes from the program's view).
    void Unlink();

    // Writes every byte to the master; false on failure.
    bool WriteMaster(const QByteArray &data);
    // Reads from the master until count bytes are in or timeoutMs passed.
    QByteArray ReadMaster(int count, int timeoutMs);
    // Waits until at least count bytes wait on the slave side to be read.
    bool WaitSlaveInput(int count, int timeoutMs) const;

    // The slave's line state as the driver holds it.
    termios SlaveTermios() const;
    // The slave's output bit rate as the driver holds it (-1 unknown).
    int SlaveBaud() const;

private:
    int master_ = -1;
    int slave_ = -1;
    QString slavePath_;
    QString link_;
    QString error_;
};
