#pragma once

#include "transport/uSerialLine.h"

#include <QByteArray>
#include <QString>

#include <memory>

// The program's own synchronous serial port: a COM port chosen by number, its
// line settings, time-outs and modem lines, and fixed-size send and receive
// buffers. The ADAM protocol derives from it; the Arion and Poseidon protocols
// and the protocol change sequence each own one. Every failure raises an
// Exception whose text starts "TSyncRS: "; a read that receives nothing is not
// a failure. The port opens at its first use and keeps its settings across a
// close; the line is raw: every byte value passes unchanged.

// Baud-rate codes shared with the Modbus transport and the baud types of the
// sensor model.
enum TBaudCode : quint8 {
    br110 = 0,
    br300 = 1,
    br600 = 2,
    br1200 = 3,
    br2400 = 4,
    br4800 = 5,
    br9600 = 6,
    br14400 = 7,
    br19200 = 8,
    br38400 = 9,
    br56000 = 10,
    br57600 = 11,
    br115200 = 12,
    br128000 = 13,
    br256000 = 14,
    brCustom = 15, // the rate in CustomBaud
};

// The bit rate of a baud code 0..14; -1 for the custom code 15 and beyond.
int BaudRateValue(int code);

// Answers of CheckComPort.
enum TComPortState : int {
    cpsBusy = 0,   // exists but cannot be opened now (busy or access denied)
    cpsFree = 1,   // exists and could be opened
    cpsAbsent = 2, // does not exist
};

// Whether COM port portNo exists and can be opened now; a port that can is
// closed again at once.
int CheckComPort(int portNo);

class TSyncRS {
public:
    static constexpr int DefaultSendBufSize = 1024;
    static constexpr int DefaultRecvBufSize = 4096;
    static constexpr int DefaultCustomBaud = 9600;

    TSyncRS();
    virtual ~TSyncRS();
    TSyncRS(const TSyncRS &) = delete;
    TSyncRS &operator=(const TSyncRS &) = delete;

    // A new zeroed buffer of size bytes replaces the old one.
    void SetSendBufSize(int size);
    void SetRecvBufSize(int size);
    int SendBufSize() const { return sendBuf_.size(); }
    int RecvBufSize() const { return recvBuf_.size(); }
    // Bytes to send; after a write, the bytes written.
    int SendCount() const { return sendCount_; }
    // Bytes received by the last read.
    int RecvCount() const { return recvCount_; }
    // The receive buffer; its first RecvCount() bytes are the last reply.
    const QByteArray &RecvBuffer() const { return recvBuf_; }

    bool IsOpen() const;
    // On an open port: close, take the new number, reopen. On a closed port
    // only the number changes.
    void SetPort(int portNo);
    int PortNo() const { return portNo_; }

    // Each setter stores its code; on an open port the line changes at once.
    // A code outside its table leaves the line's setting as it was.
    void SetBaudRate(int code);
    void SetCustomBaud(int bitsPerSecond);
    void SetParity(int code);     // 0 none, 1 odd, 2 even, 3 mark, 4 space
    void SetDataBits(int code);   // 0..4 = 4, 5, 6, 7, 8 data bits
    void SetStopBits(int code);   // 0 one, 1 one and a half, 2 two
    void SetFlowControl(int code); // 0 none, 1 XON/XOFF, 2 RTS/CTS, 3 DTR/DSR
    int BaudCode() const { return baudCode_; }
    int CustomBaud() const { return customBaud_; }
    int ParityCode() const { return parityCode_; }
    int DataBitsCode() const { return dataBitsCode_; }
    int StopBitsCode() const { return stopBitsCode_; }
    int FlowCode() const { return flowCode_; }
    // The bit rate the baud code stands for (CustomBaud for code 15), -1 for
    // a code beyond the table.
    int ActualBaudRate() const;

    // The read and write time-outs (defaults MaxDword, 0, 100, 0, 3000).
    void SetTimeouts(const TCommTimeouts &timeouts);
    const TCommTimeouts &Timeouts() const { return timeouts_; }
    // The states DTR and RTS get on open.
    void SetDtr(bool on) { dtr_ = on; }
    void SetRts(bool on) { rts_ = on; }
    bool Dtr() const { return dtr_; }
    bool Rts() const { return rts_; }

    // Opens the port anew (closing it first) and applies every setting.
    void Open();
    // Purges both directions and closes; nothing on a closed port.
    void Close();
    // Discards what waits in both directions of an open port.
    void Purge();

    // Sends the whole text; the port opens first when closed.
    void WriteString(const QByteArray &text);
    // Sends the first count bytes of bytes.
    void WriteBytes(const QByteArray &bytes, int count);
    // Reads up to count bytes within the read time-outs into text; got is the
    // number received (0 and an empty text when nothing came).
    void ReadString(int count, QByteArray &text, int &got);
    // The same, returning the text.
    QByteArray ReadString(int count);

private:
    void ApplyLineSettings();
    void ApplyModemLines();
    void Send();
    void EnsureOpen();

    QByteArray sendBuf_;
    QByteArray recvBuf_;
    int sendCount_ = 0;
    int recvCount_ = 0;
    int portNo_ = 1;
    int baudCode_ = br9600;
    int customBaud_ = DefaultCustomBaud;
    int parityCode_ = 0;
    int dataBitsCode_ = 4;
    int stopBitsCode_ = 0;
    int flowCode_ = 0;
    TCommTimeouts timeouts_;
    bool dtr_ = true;
    bool rts_ = true;
    std::unique_ptr<TSerialLine> line_;
};
