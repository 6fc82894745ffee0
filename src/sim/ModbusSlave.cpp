#include "ModbusSlave.h"

#include "SimMemory.h"
#include "SimRegisters.h"

namespace ModbusSlave {

namespace {

using SimBytes::AppendWord;
using SimBytes::WordAt;

constexpr int AddressCountPduSize = 5;
constexpr int WriteMultipleHeaderSize = 6;

// Reads the request's fields as far as they go; false for a function the
// sensor does not know or when the size or counts do not fit the function.
bool Parse(const QByteArray &pdu, Transaction &t)
{
    t = Transaction{};
    t.function = FunctionOf(pdu);
    if (t.function != ReadHoldingRegisters && t.function != WriteSingleRegister &&
        t.function != WriteMultipleRegisters)
        return false;
    if (t.function == WriteMultipleRegisters) {
        if (pdu.size() < WriteMultipleHeaderSize)
            return false;
        t.address = WordAt(pdu, 1);
        t.count = WordAt(pdu, 3);
        const int byteCount = static_cast<quint8>(pdu[5]);
        if (t.count < 1 || t.count > MaxWriteCount || byteCount != 2 * t.count ||
            pdu.size() != WriteMultipleHeaderSize + byteCount)
            return false;
        for (int i = 0; i < t.count; ++i)
            t.values.append(WordAt(pdu, WriteMultipleHeaderSize + 2 * i));
        return true;
    }
    if (pdu.size() != AddressCountPduSize)
        return false;
    t.address = WordAt(pdu, 1);
    if (t.function == WriteSingleRegister) {
        t.count = 1;
        t.values = {WordAt(pdu, 3)};
        return true;
    }
    t.count = WordAt(pdu, 3);
    return t.count >= 1 && t.count <= MaxReadCount;
}

QByteArray Fail(Transaction &t, quint8 code)
{
    t.exception = code;
    return ExceptionReply(t.function, code);
}

QByteArray ReadReply(Transaction &t)
{
    QByteArray reply;
    reply.append(static_cast<char>(t.function));
    reply.append(static_cast<char>(2 * t.count));
    for (quint16 value : std::as_const(t.values))
        AppendWord(reply, value);
    return reply;
}

} // namespace

quint8 FunctionOf(const QByteArray &pdu)
{
    return pdu.isEmpty() ? 0 : static_cast<quint8>(pdu[0]);
}

QByteArray ExceptionReply(quint8 function, quint8 code)
{
    QByteArray reply;
    reply.append(static_cast<char>(function | ExceptionFlag));
    reply.append(static_cast<char>(code));
    return reply;
}

Transaction Describe(const QByteArray &pdu)
{
    Transaction t;
    Parse(pdu, t);
    return t;
}

QByteArray Execute(const QByteArray &pdu, SimMemory &memory, Transaction &t)
{
    const quint8 function = FunctionOf(pdu);
    if (!Parse(pdu, t)) {
        const bool known = function == ReadHoldingRegisters || function == WriteSingleRegister ||
                           function == WriteMultipleRegisters;
        return Fail(t, known ? SimMemory::IllegalDataValue : SimMemory::IllegalFunction);
    }
    if (function == ReadHoldingRegisters) {
        if (const quint8 code = memory.read(t.address, t.count, t.values))
            return Fail(t, code);
        return ReadReply(t);
    }
    const quint8 code = function == WriteSingleRegister ? memory.writeSingle(t.address, t.values[0])
                                                         : memory.writeMultiple(t.address, t.values);
    if (code)
        return Fail(t, code);
    t.wrote = true;
    return pdu.left(AddressCountPduSize);
}

} // namespace ModbusSlave
