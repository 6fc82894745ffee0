#pragma once

#include <QtGlobal>

#include <array>

// The compiled-in table of every device type the program can talk to. The
// row index is the one-byte type code; row 0 stands for no known device.

// Families of device types.
namespace DeviceFamily {
constexpr quint8 None = 0;
// Configured through its configuration registers (serial, or Modbus TCP
// through its Ethernet module).
constexpr quint8 Transmitter = 1;
// Configured through the Ethernet configuration record and the Setup pages.
constexpr quint8 EthernetSensor = 2;
// Three groups configured through their own web interface.
constexpr quint8 WebGroupA = 3;
constexpr quint8 WebGroupB = 4;
constexpr quint8 WebGroupC = 5;
} // namespace DeviceFamily

// Interface codes of the table (the window uses its own codes).
namespace DeviceInterface {
constexpr quint8 None = 0;
constexpr quint8 CurrentOutput = 1;  // 4-20 mA, configured over the service cable
constexpr quint8 VoltageOutput = 2;  // 0-10 V, configured over the service cable
constexpr quint8 RS232 = 3;
constexpr quint8 RS485 = 4;
constexpr quint8 Ethernet = 5;
} // namespace DeviceInterface

// Bits of the Quantities column: bit n set = the device measures quantity
// type n.
namespace QuantityBit {
constexpr quint16 BinaryInput = 1u << 2;
constexpr quint16 Temperature = 1u << 6;
constexpr quint16 RelativeHumidity = 1u << 7;
constexpr quint16 Pressure = 1u << 8;
constexpr quint16 CO2 = 1u << 9;
} // namespace QuantityBit

// The DeviceId of rows that are identified by name or type code instead.
constexpr quint16 NoDeviceId = 0xFFFF;

// One row. The 0/1 columns are bytes as the devices' documentation has them.
struct TDeviceType {
    quint8 TypeCode;
    quint8 Family;
    quint8 HasDisplay;
    quint8 JumperPicture;  // 0 picture 1, 1 picture 2
    qint32 ChannelCount;   // families 2, 3 and 5 only
    quint8 Interface;
    quint16 Quantities;
    quint8 KeypadModel;
    quint8 BinaryInputs;
    quint8 NoExtCalib;
    quint8 FixedConfig;
    quint8 AnalogOutput;
    quint8 SecondOutput;
    qint32 OutputMin;  // mA or V
    qint32 OutputMax;
    const char *Name;
    quint16 DeviceId;
    quint8 ServiceCable;
};

constexpr int DeviceTypeCount = 197;

extern const std::array<TDeviceType, DeviceTypeCount> DeviceTypeTable;
