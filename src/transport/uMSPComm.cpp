#include "transport/uMSPComm.h"

#include "shell/uClock.h"
#include "shell/uErrors.h"
#include "transport/BusProtocolExceptions.h"
#include "transport/uMbusMaster.h"

#include <algorithm>
#include <cmath>

namespace {

const char *const SegmentNumberError = "Chyba při komunikaci se snímačem - neplatné číslo segmentu";
const char *const RomWriteError = "Chyba při komunikaci se snímačem - nelze zapisovat do paměti ROM";
const char *const ChecksumError = "Chyba při komunikaci se snímačem - chybný kontrolní součet segmentu";
const char *const WriteProtectedError = "Pravděpodobně je nastavena ochrana proti zápisu";

constexpr int CreateTimeoutMs = 1000;
// The sensor needs a moment after its line opens and between close and open.
constexpr int OpenSettleMs = 200;
constexpr int ClosePauseMs = 10;

constexpr int RomSegment = 3;
constexpr int LastSegment = SegmentCount - 1;

// Words of segments 1 and 2 that carry the line settings and the identity.
constexpr quint16 SlaveAddressWord = 0x2001;
constexpr quint16 BaudDivisorWord = 0x2002;
constexpr quint16 SerialNumberLowWord = 0x1035;
constexpr quint16 SerialNumberHighWord = 0x1036;
// The sensor stores its bit rate as this clock divided by the rate.
constexpr double BaudDivisorClockHz = 4194304.0;

// Configuration record 4 of the Ethernet module holds its firmware version
// a.b.c.d in these bytes.
constexpr int VersionRecord = 4;
constexpr int VersionOffset = 78;
constexpr int MaxVersionMinor = 99;

// Time-out formula: line time of the frame plus the memory's time per byte
// moved, with half again as margin and one second on top.
constexpr int MinTimeoutWords = 4;
constexpr int FrameOverheadWords = 10;
constexpr double BitsPerWordOnLine = 16.0;
constexpr double EepromWriteMsPerByte = 11.289;
constexpr double EepromReadMsPerByte = 1.606;
constexpr double FlashWriteMsPerByte = 0.147;
constexpr double LastSegmentMsPerByte = 15.0;
constexpr double OtherMsPerByte = 0.0019;
constexpr double TimeoutMargin = 1.5;
constexpr double TimeoutBaseMs = 1000.0;

[[noreturn]] void Raise(const char *text)
{
    throw Exception(QString::fromUtf8(text));
}

void CheckSegmentIndex(int index)
{
    if (index < 0 || index > LastSegment)
        Raise(SegmentNumberError);
}

int SegmentOf(quint16 address)
{
    int segment = 0;
    (void)AddrToOffset(address, segment);
    return segment;
}

double MsPerByte(quint16 address, bool write)
{
    const bool eeprom = address > 0x4000 && address < 0x5000;
    if (eeprom)
        return write ? EepromWriteMsPerByte : EepromReadMsPerByte;
    if (write && address > 0x1000 && address < 0x3000)
        return FlashWriteMsPerByte;
    if (address > 0x5000)
        return LastSegmentMsPerByte;
    return OtherMsPerByte;
}

// Ties go to the even neighbour, as everywhere a value is rounded here.
int RoundToInt(double value)
{
    return static_cast<int>(std::nearbyint(value));
}

} // namespace

int TransferTimeoutMs(quint16 address, int count, bool write, int bitRate)
{
    if (bitRate <= 0)
        return MbusMaxTimeoutMs;
    const int n = std::max(count, MinTimeoutWords);
    const double lineMs = (n + FrameOverheadWords) * BitsPerWordOnLine / (bitRate / 1000.0);
    const double memoryMs = 2.0 * n * MsPerByte(address, write);
    const double ms = (lineMs + memoryMs) * TimeoutMargin + TimeoutBaseMs;
    return std::min(RoundToInt(ms), MbusMaxTimeoutMs);
}

bool RecordHasLongLastSegment(const QByteArray &record)
{
    if (record.size() < VersionOffset + 4)
        return false;
    const auto part = [&](int i) { return static_cast<quint8>(record.at(VersionOffset + i)); };
    const int a = part(0);
    const int b = part(1);
    const int c = part(2);
    const int d = part(3);
    if (d > MaxVersionMinor)  // not a version number at all
        return false;
    return a == 1 && b >= 4 && c >= 4 && d >= 1;
}

TMSPModbus::TMSPModbus(QObject *owner) : TSyncMBus(owner)
{
    setTimeout(CreateTimeoutMs);
}

void TMSPModbus::Close()
{
    TSyncMBus::Close();
    Delay(ClosePauseMs);
}

void TMSPModbus::PrepareTransfer(quint16 address, int count, bool write)
{
    const bool rtu = Kind() == KindRtu;
    if (rtu && AutoTimeout) {
        const int ms = TransferTimeoutMs(address, count, write, ActualBaudRate());
        if (ms != timeout()) {
            Close();
            setTimeout(ms);
        }
    }
    if (!IsOpen()) {
        Open();
        if (rtu)
            Delay(OpenSettleMs);
    }
}

bool TMSPModbus::LongLastSegment()
{
    if (Kind() != KindTcp || !recordReader_)
        return false;
    try {
        const std::optional<QByteArray> record = recordReader_(HostName(), VersionRecord);
        return record.has_value() && RecordHasLongLastSegment(*record);
    } catch (const Exception &) {
        return false;
    }
}

int TMSPModbus::TransferWords(int index)
{
    if (index != LastSegment)
        return SegmentWords;
    return LongLastSegment() ? LastSegmentWordsLong : LastSegmentWordsShort;
}

void TMSPModbus::ReadSegment(int index, TSegmentImage &image)
{
    CheckSegmentIndex(index);
    ReadSegmentWords(index, TransferWords(index), image);
}

void TMSPModbus::ReadSegmentWords(int index, int words, TSegmentImage &image)
{
    const quint16 base = Segments[static_cast<size_t>(index)].base;
    PrepareTransfer(base, SegmentWords, false);
    TSegmentImage read{};
    ReadMultipleRegisters(SlaveAddress, base, std::span<quint16>(read.data(), static_cast<size_t>(words)));
    if (IsFlashSegment(index) && read[SegmentWords - 1] != SegmentChecksum(read))
        Raise(ChecksumError);
    image = read;
}

void TMSPModbus::WriteSegment(int index, const TSegmentImage &image)
{
    CheckSegmentIndex(index);
    WriteSegmentWords(index, TransferWords(index), image);
}

void TMSPModbus::PatchFlashIdentity(int index, TSegmentImage &image)
{
    if (SegmentOf(BaudDivisorWord) == index) {
        SetImageWord(BaudDivisorWord, image, static_cast<quint16>(RoundToInt(BaudDivisorClockHz / ActualBaudRate())));
        SetImageWord(SlaveAddressWord, image, SlaveAddress);
    }
    if (SegmentOf(SerialNumberLowWord) == index) {
        quint16 high = 0;
        quint16 low = 0;
        ReadRegisterPair(SerialNumberLowWord, high, low);
        SetImageWord(SerialNumberLowWord, image, low);
        SetImageWord(SerialNumberHighWord, image, high);
    }
}

void TMSPModbus::WriteSegmentWords(int index, int words, const TSegmentImage &image)
{
    if (index == RomSegment)
        Raise(RomWriteError);
    TSegmentImage out = image;
    if (IsFlashSegment(index)) {
        if (PatchIdentity)
            PatchFlashIdentity(index, out);
        out[SegmentWords - 1] = SegmentChecksum(out);
    }
    const quint16 base = Segments[static_cast<size_t>(index)].base;
    PrepareTransfer(base, SegmentWords, true);
    try {
        WriteMultipleRegisters(SlaveAddress, base, std::span<const quint16>(out.data(), static_cast<size_t>(words)));
    } catch (Exception &e) {
        // A write-protected sensor refuses whole-segment writes as if the
        // addresses did not exist.
        if (words == SegmentWords && e.Message() == BusProtocolErrorText(MbusIllegalAddress))
            e.SetMessage(WriteProtectedText());
        throw;
    }
}

quint16 TMSPModbus::ReadRegister(quint16 address)
{
    PrepareTransfer(address, 1, false);
    quint16 value = 0;
    ReadMultipleRegisters(SlaveAddress, address, std::span<quint16>(&value, 1));
    return value;
}

void TMSPModbus::ReadRegisterPair(quint16 address, quint16 &second, quint16 &first)
{
    PrepareTransfer(address, 2, false);
    std::array<quint16, 2> regs{};
    ReadMultipleRegisters(SlaveAddress, address, regs);
    first = regs[0];
    second = regs[1];
}

double TMSPModbus::ReadFloat(quint16 address)
{
    PrepareTransfer(address, 2, false);
    qint32 value = 0;
    ReadMultipleLongInts(SlaveAddress, address, std::span<qint32>(&value, 1));
    const auto bits = static_cast<quint32>(value);
    return DecodeDeviceFloat(static_cast<quint16>(bits & 0xFFFF), static_cast<quint16>(bits >> 16));
}

bool TMSPModbus::IsDirectlyWritable(quint16 address) const
{
    return address < 0x1000 || (address >= 0x4000 && address <= 0x4FFF);
}

void TMSPModbus::ModifySegment(quint16 address, int count, const std::function<void(TSegmentImage &)> &change)
{
    int segment = 0;
    const int offset = AddrToOffset(address, segment);
    const int words = TransferWords(segment);
    // Words the segment does not transfer would never reach the sensor, and
    // the checksum word of a Flash segment is recomputed on every write:
    // a value put there would be reported written and silently lost.
    const int writable = IsFlashSegment(segment) ? SegmentWords - 1 : words;
    if (offset + count > writable)
        throw Exception(QString::fromUtf8(SegmentBoundaryError));
    TSegmentImage &image = Cache[static_cast<size_t>(segment)];
    ReadSegmentWords(segment, words, image);
    change(image);
    WriteSegmentWords(segment, words, image);
}

void TMSPModbus::WriteRegister(quint16 address, quint16 value)
{
    if (IsDirectlyWritable(address)) {
        PrepareTransfer(address, 1, true);
        WriteSingleRegister(SlaveAddress, address, value);
        return;
    }
    ModifySegment(address, 1, [&](TSegmentImage &image) { SetImageWord(address, image, value); });
}

void TMSPModbus::WriteFloat(quint16 address, double value)
{
    if (IsDirectlyWritable(address)) {
        PrepareTransfer(address, 2, true);
        quint16 first = 0;
        quint16 second = 0;
        EncodeDeviceFloat(value, first, second);
        const auto bits = static_cast<qint32>(LongFromRegisters(first, second));
        WriteMultipleLongInts(SlaveAddress, address, std::span<const qint32>(&bits, 1));
        return;
    }
    ModifySegment(address, 2, [&](TSegmentImage &image) { SetImageFloat(address, image, value); });
}

QString WriteProtectedText()
{
    return QString::fromUtf8(WriteProtectedError);
}
