#pragma once

#include <QString>
#include <QtGlobal>

#include <memory>

// The operating system's side of a serial port: one open device with its line
// settings, time-outs and modem lines. TSyncRS keeps the buffers, the codes and
// the error texts; this class only talks to the platform. The POSIX build puts
// termios behind these declarations (uSerialLinePosix.cpp); a Windows build
// puts its communications API behind them in a file of its own.

// "No interval time-out" and the special read modes are spelt with this value,
// as in the Windows communications time-outs.
constexpr quint32 MaxDword = 0xFFFFFFFFu;

// The five time-outs with their Windows meaning, all in milliseconds:
// - a read waits until all requested bytes are in or the total time-out
//   (multiplier x count + constant) passes; with both totals zero there is no
//   total time-out;
// - an interval other than 0 and MaxDword also ends a read when the gap after
//   a received byte exceeds it;
// - interval MaxDword with both totals zero returns at once with what is there;
// - interval and multiplier MaxDword with a constant returns as soon as any
//   byte is in, waiting for the first one at most the constant;
// - a write ends when every byte is out or the write total time-out passes.
struct TCommTimeouts {
    quint32 readIntervalMs = MaxDword;
    quint32 readTotalMultiplierMs = 0;
    quint32 readTotalConstantMs = 100;
    quint32 writeTotalMultiplierMs = 0;
    quint32 writeTotalConstantMs = 3000;
};

// A whole line format in bits, as the Modbus engine states it: data bits 5..8,
// stop bits 1 or 2, parity 0 none, 1 odd, 2 even.
struct TSerialLineSettings {
    int baudRate = 9600;
    int dataBits = 8;
    int stopBits = 1;
    int parity = 0;
};

// How an attempt to open a device ended.
enum class TOpenStatus {
    Opened,
    Absent, // no such device, or a node without hardware behind it
    Busy,   // another user holds it, or access is denied
};

// The line state found at open, put back at close.
struct TSavedLineState;

class TSerialLine {
public:
    TSerialLine();
    ~TSerialLine();
    TSerialLine(const TSerialLine &) = delete;
    TSerialLine &operator=(const TSerialLine &) = delete;

    // Opens the device for this object alone, in raw mode (every byte passes
    // unchanged). lastError gets the system's error code of a failure; a
    // device another user holds, by its lock or its exclusive flag, fails
    // with EWOULDBLOCK either way.
    TOpenStatus Open(const QString &path, int &lastError);
    // Whether the device could be opened now; it is closed again at once.
    static TOpenStatus Probe(const QString &path);

    bool IsOpen() const;
    // Discards what is still queued, puts back the line state found at open
    // and releases the device.
    void Close();
    // The open descriptor, for users that frame on the line themselves
    // (poll, read, write, libmodbus); -1 when closed. POSIX only.
    int Descriptor() const { return static_cast<int>(handle_); }

    // Driver queue sizes in bytes; a request the platform ignores.
    void SetQueueSizes(int inputBytes, int outputBytes);
    // Discards whatever waits in both directions.
    void Purge();

    // Each setting is a read-modify-write of the line state; a value the
    // driver does not take leaves the line as it was (not an error).
    void SetBitRate(int bitsPerSecond);
    void SetParity(int code);   // 0 none, 1 odd, 2 even, 3 mark, 4 space
    void SetDataBits(int code); // 0..4 = 4..8 data bits
    void SetStopBits(int code); // 0 one, 1 one and a half, 2 two
    void SetFlowControl(int code); // 0 none, 1 XON/XOFF, 2 RTS/CTS, 3 DTR/DSR
    void SetTimeouts(const TCommTimeouts &timeouts);
    // Rate and format at once, without handshake, for users that must know
    // the line took them: 0, EINVAL for what the line cannot take, or the
    // system's error code.
    int Configure(const TSerialLineSettings &settings);

    // Raise or drop a modem line. A line without modem control (a
    // pseudo-terminal, some adapters) accepts the request silently; false only
    // when the driver failed it.
    bool SetDtr(bool on);
    bool SetRts(bool on);

    // Both return 0 or the system's error code. written/got count the bytes
    // moved, also when the call fails part way.
    int Write(const char *data, int count, int &written);
    int Read(char *data, int count, int &got);

private:
    qintptr handle_ = -1;
    TCommTimeouts timeouts_;
    std::unique_ptr<TSavedLineState> saved_;
};
