#include "transport/uSensorMemory.h"

#include "shell/uErrors.h"

#include <bit>
#include <cstring>

const char *const SegmentBoundaryError = "Chyba v adresaci paměti snímače - překročení hranice segmentu";

namespace {

[[noreturn]] void RaiseBoundary()
{
    throw Exception(QString::fromUtf8(SegmentBoundaryError));
}

int SegmentOfAddress(quint16 address)
{
    switch (address >> 12) {
    case 0x1: return 1;
    case 0x2: return 2;
    case 0x3: return 3;
    case 0x4: return address < 0x4041 ? 4 : 5;
    case 0x5: return 6;
    default: return 0;
    }
}

// The offset of a float's first word, both words inside the image.
int FloatOffset(quint16 address)
{
    int segment = 0;
    const int offset = AddrToOffset(address, segment);
    if (offset + 1 >= SegmentWords)
        RaiseBoundary();
    return offset;
}

} // namespace

int AddrToOffset(quint16 address, int &segment)
{
    segment = SegmentOfAddress(address);
    const quint16 base = Segments[segment].base;
    if (address < base || address >= base + SegmentWords)
        RaiseBoundary();
    return address - base;
}

quint16 SegmentChecksum(const TSegmentImage &image)
{
    quint16 sum = 0;
    for (int i = 0; i < SegmentWords - 1; ++i)
        sum = static_cast<quint16>(sum + image[i]);
    return sum;
}

double DecodeDeviceFloat(quint16 first, quint16 second)
{
    const quint8 b0 = first >> 8;
    const quint8 b1 = first & 0xFF;
    if (b0 < 0x20)
        return 0.0;
    if (b0 == 0xFF)
        return DeviceFloatErrorValue;
    const quint32 bits = (static_cast<quint32>(b1 & 0x80) << 24) | (static_cast<quint32>(b0) << 23) |
                         (static_cast<quint32>(b1 & 0x7F) << 16) | second;
    return static_cast<double>(std::bit_cast<float>(bits)) / 2.0;
}

void EncodeDeviceFloat(double value, quint16 &first, quint16 &second)
{
    const quint32 bits = std::bit_cast<quint32>(static_cast<float>(value * 2.0));
    const quint8 b0 = (bits >> 23) & 0xFF;
    const quint8 b1 = static_cast<quint8>(((bits >> 24) & 0x80) | ((bits >> 16) & 0x7F));
    first = static_cast<quint16>((b0 << 8) | b1);
    second = bits & 0xFFFF;
}

quint16 ImageWord(quint16 address, const TSegmentImage &image)
{
    int segment = 0;
    return image[AddrToOffset(address, segment)];
}

double ImageFloat(quint16 address, const TSegmentImage &image)
{
    const int offset = FloatOffset(address);
    return DecodeDeviceFloat(image[offset], image[offset + 1]);
}

void SetImageWord(quint16 address, TSegmentImage &image, quint16 value)
{
    int segment = 0;
    image[AddrToOffset(address, segment)] = value;
}

void SetImageFloat(quint16 address, TSegmentImage &image, double value)
{
    const int offset = FloatOffset(address);
    EncodeDeviceFloat(value, image[offset], image[offset + 1]);
}
