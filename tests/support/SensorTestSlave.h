#pragma once

#include "support/ModbusTestSlave.h"
#include "transport/uSensorMemory.h"

#include <atomic>

// A serial sensor's memory behind a Modbus slave (TCP or RTU): the seven
// segments, Flash written only as whole segments with a valid checksum, ROM
// refusing writes with exception 2 and, when write-protected, every
// 64-register write refused with exception 2 too.
class TSensorTestSlave {
public:
    explicit TSensorTestSlave(int slaveId = 1);

    bool StartTcp() { return bus_.StartTcp(); }
    bool StartRtu() { return bus_.StartRtu(); }
    quint16 Port() const { return bus_.Port(); }
    const QString &Device() const { return bus_.Device(); }

    // Stores the image of segment index; a Flash image gets its checksum.
    void SetSegment(int index, TSegmentImage image);
    TSegmentImage Segment(int index) const;
    void SetWord(quint16 address, quint16 value);
    quint16 Word(quint16 address) const;

    void SetWriteProtected(bool on) { writeProtected_ = on; }
    // Requests of functions 6 and 16 that reached the slave.
    QList<TModbusTestSlave::TRequest> Writes() const;
    QList<TModbusTestSlave::TRequest> Requests() const { return bus_.Requests(); }
    void ClearRequests() { bus_.ClearRequests(); }
    TModbusTestSlave &Bus() { return bus_; }

    // Exception code for a write the sensor refuses, 0 when it takes it.
    int RefusalOf(const TModbusTestSlave::TRequest &request) const;

private:
    TModbusTestSlave bus_;
    std::atomic<bool> writeProtected_{false};
};
