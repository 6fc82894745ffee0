#pragma once

#include <QByteArray>
#include <QList>
#include <QtGlobal>

class SimMemory;

// The Modbus application layer of the sensor: one request PDU (function code
// and data, without address and checksum) in, one reply PDU out. The sensor
// knows functions 3 (read holding registers), 6 (write single register) and
// 16 (write multiple registers); every other function gets exception 1, a
// malformed request exception 3, and the memory's own rules decide the rest.
// Framing (RTU, MBAP) is the front ends' business.
namespace ModbusSlave {

constexpr quint8 ReadHoldingRegisters = 3;
constexpr quint8 WriteSingleRegister = 6;
constexpr quint8 WriteMultipleRegisters = 16;
constexpr quint8 ExceptionFlag = 0x80;
constexpr int MaxReadCount = 125;
constexpr int MaxWriteCount = 123;

// What a request asked and how it was answered, for the transaction log.
struct Transaction {
    quint8 function = 0;
    quint16 address = 0;
    int count = 0;
    // Written values, or the values a read returned.
    QList<quint16> values;
    quint8 exception = 0;
    // A write that changed memory.
    bool wrote = false;
};

// What a request asks, as far as it can be read, without carrying it out
// (for requests the sensor leaves unanswered).
Transaction Describe(const QByteArray &pdu);
// Carries out one request against the memory.
QByteArray Execute(const QByteArray &pdu, SimMemory &memory, Transaction &transaction);
QByteArray ExceptionReply(quint8 function, quint8 code);
// The function code of a request PDU, 0 for an empty one.
quint8 FunctionOf(const QByteArray &pdu);

} // namespace ModbusSlave
