#pragma once

#include "PacedWriter.h"
#include "PtyLine.h"
#include "RtuFraming.h"
#include "SimFrontEnd.h"

#include <QTimer>

class QSocketNotifier;
class SimDevice;

// Modbus RTU on a pseudo-terminal, reached by the program through the link
// COMn in the ports folder. The sensor answers only its own slave address
// (0x2001; a broadcast is carried out without an answer) and, being
// half-duplex, ignores requests that arrive while it is still answering.
//
// pace: every reply byte leaves after 10 bit times of the sensor's current
// baud rate (0x2002), and the reply starts 3.5 character times after the
// request has crossed the line, so benchmarks see real wire time.
// strictBaud: a request is ignored when the line is set to another speed
// than the sensor's (more than 2 % off), as on a real line at the wrong rate.
class RtuFrontEnd : public SimFrontEnd {
    Q_OBJECT
public:
    struct Options {
        int comNumber = 0;
        bool pace = false;
        bool strictBaud = false;
    };

    RtuFrontEnd(SimDevice &device, const Options &options, QObject *parent = nullptr);
    ~RtuFrontEnd() override;

    bool start(QString *error) override;
    QString readyLine() const override;
    void vanish() override;
    bool vanished() const override { return !m_line.isOpen(); }
    QString devicePath() const { return m_line.slavePath(); }

private:
    void readAvailable();
    void handleFrame(const RtuFraming::Frame &frame, qint64 arrivedNs);
    // Why the sensor does not take the frame, empty when it does.
    QString refusal(const RtuFraming::Frame &frame) const;
    void replyFinished();

    SimDevice &m_device;
    Options m_options;
    PtyLine m_line;
    QString m_linkPath;
    QSocketNotifier *m_notifier = nullptr;
    RtuFraming::RequestSplitter m_splitter;
    PacedWriter m_writer;
    QTimer m_quietTimer;
    bool m_vanishAfterReply = false;
};
