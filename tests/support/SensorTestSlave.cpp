#include "support/SensorTestSlave.h"

#include <modbus/modbus.h>

namespace {

constexpr int IllegalAddress = MODBUS_EXCEPTION_ILLEGAL_DATA_ADDRESS;
constexpr int IllegalValue = MODBUS_EXCEPTION_ILLEGAL_DATA_VALUE;

// Protocol address of word 0 of a segment (the base is a 1-based reference).
int FirstAddress(int index)
{
    return Segments[static_cast<size_t>(index)].base - 1;
}

// The segment a protocol address lies in, -1 outside every segment.
int SegmentAt(int address)
{
    for (int i = 0; i < SegmentCount; ++i) {
        if (address >= FirstAddress(i) && address < FirstAddress(i) + SegmentWords)
            return i;
    }
    return -1;
}

bool IsWrite(const TModbusTestSlave::TRequest &r)
{
    return r.function == MODBUS_FC_WRITE_SINGLE_REGISTER || r.function == MODBUS_FC_WRITE_MULTIPLE_REGISTERS;
}

bool FlashWriteValid(const TModbusTestSlave::TRequest &r, int index)
{
    if (r.address != FirstAddress(index) || r.values.size() != SegmentWords)
        return false;
    TSegmentImage image{};
    for (int i = 0; i < SegmentWords; ++i)
        image[static_cast<size_t>(i)] = r.values[i];
    return image[SegmentWords - 1] == SegmentChecksum(image);
}

} // namespace

TSensorTestSlave::TSensorTestSlave(int slaveId) : bus_(slaveId)
{
    bus_.SetHandler([this](const TModbusTestSlave::TRequest &r) {
        return IsWrite(r) ? RefusalOf(r) : TModbusTestSlave::AnswerNormally;
    });
}

int TSensorTestSlave::RefusalOf(const TModbusTestSlave::TRequest &r) const
{
    if (writeProtected_ && r.count == SegmentWords)
        return IllegalAddress;
    const int index = SegmentAt(r.address);
    if (index < 0)
        return IllegalAddress;
    switch (Segments[static_cast<size_t>(index)].memory) {
    case TMemoryKind::Rom: return IllegalAddress;
    case TMemoryKind::Flash: return FlashWriteValid(r, index) ? 0 : IllegalValue;
    default: return 0;
    }
}

void TSensorTestSlave::SetSegment(int index, TSegmentImage image)
{
    if (IsFlashSegment(index))
        image[SegmentWords - 1] = SegmentChecksum(image);
    for (int i = 0; i < SegmentWords; ++i)
        bus_.SetRegister(FirstAddress(index) + i, image[static_cast<size_t>(i)]);
}

TSegmentImage TSensorTestSlave::Segment(int index) const
{
    TSegmentImage image{};
    for (int i = 0; i < SegmentWords; ++i)
        image[static_cast<size_t>(i)] = bus_.Register(FirstAddress(index) + i);
    return image;
}

void TSensorTestSlave::SetWord(quint16 address, quint16 value)
{
    bus_.SetRegister(address - 1, value);
}

quint16 TSensorTestSlave::Word(quint16 address) const
{
    return bus_.Register(address - 1);
}

QList<TModbusTestSlave::TRequest> TSensorTestSlave::Writes() const
{
    QList<TModbusTestSlave::TRequest> writes;
    for (const auto &r : bus_.Requests()) {
        if (IsWrite(r))
            writes.append(r);
    }
    return writes;
}
