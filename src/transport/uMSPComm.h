#pragma once

#include "transport/uSensorMemory.h"
#include "transport/uSyncMbus.h"

#include <QByteArray>
#include <QString>

#include <array>
#include <functional>
#include <optional>

// The serial sensor's memory over Modbus: whole segments with their Flash
// checksums, single registers, register pairs and device floats. Flash is
// only ever written as a whole segment (read, change, write back); a Flash
// segment write keeps the line settings in use and the device's serial
// number whatever the image held (PatchIdentity). On RTU the reply time-out
// follows the size and kind of each transfer (AutoTimeout).
class TMSPModbus : public TSyncMBus {
public:
    // Reads one configuration record of the Ethernet module at a host; no
    // value when the module does not answer.
    using TRecordReader = std::function<std::optional<QByteArray>(const QString &host, int record)>;

    explicit TMSPModbus(QObject *owner = nullptr);

    // Closes the line and gives the sensor a short pause before the next open.
    void Close() override;

    // Before every bus operation: adapts the time-out (RTU with AutoTimeout)
    // and opens the connection when it is closed.
    void PrepareTransfer(quint16 address, int count, bool write);

    void ReadSegment(int index, TSegmentImage &image);
    void WriteSegment(int index, const TSegmentImage &image);
    quint16 ReadRegister(quint16 address);
    // first = the register at address, second = the next one.
    void ReadRegisterPair(quint16 address, quint16 &second, quint16 &first);
    double ReadFloat(quint16 address);
    void WriteRegister(quint16 address, quint16 value);
    void WriteFloat(quint16 address, double value);

    // The bit rate of the baud code in use (CustomBaud for code 15).
    int ActualBaudRate() const { return SelectedBitRate(); }
    // Whether the last segment has 20 words: only modules reached over TCP
    // of a recent enough firmware say so in their configuration record 4.
    bool LongLastSegment();
    void SetRecordReader(TRecordReader reader) { recordReader_ = std::move(reader); }

    quint8 SlaveAddress = 1;
    bool PatchIdentity = true;
    bool AutoTimeout = true;
    std::array<TSegmentImage, SegmentCount> Cache{};

private:
    // Words segment index moves on the bus (the last one is short).
    int TransferWords(int index);
    void ReadSegmentWords(int index, int words, TSegmentImage &image);
    void WriteSegmentWords(int index, int words, const TSegmentImage &image);
    void PatchFlashIdentity(int index, TSegmentImage &image);
    bool IsDirectlyWritable(quint16 address) const;
    // Read-modify-write of the segment of address through Cache; count words
    // from address must lie in what the segment transfers.
    void ModifySegment(quint16 address, int count, const std::function<void(TSegmentImage &)> &change);

    TRecordReader recordReader_;
};

// The text of a segment write a write-protected sensor refused.
QString WriteProtectedText();

// The reply time-out in ms for a transfer of count registers at address, at
// bitRate bit/s: per-word factors for the slow memories on top of the time
// on the line, with a second of margin.
int TransferTimeoutMs(quint16 address, int count, bool write, int bitRate);
// The rule of LongLastSegment on the bytes of configuration record 4.
bool RecordHasLongLastSegment(const QByteArray &record);
