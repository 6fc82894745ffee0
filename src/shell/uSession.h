#pragma once

#include "model/uAlterNames.h"
#include "shell/uCommSettings.h"
#include "model/uBitRate.h"
#include "model/uProtocol.h"
#include "model/uQuantity.h"
#include "model/uSensType.h"
#include "transport/uMSPComm.h"
#include "transport/uSensorMemory.h"
#include "transport/uSyncMbus.h"

#include <QString>
#include <QtGlobal>

#include <array>

// Interface codes of the window (InterfaceType).
constexpr quint8 InterfaceServiceCable = 0;
constexpr quint8 InterfaceRS232 = 1;
constexpr quint8 InterfaceRS485 = 2;
constexpr quint8 InterfaceEthernet = 3;
constexpr quint8 InterfaceNone = 255;

// Modbus TCP port of an Ethernet sensor whose record does not name one.
constexpr quint16 DefaultModbusTcpPort = 501;

// The connection state of the program, free of any window: the main window
// owns one, the command-line tool and the tests build their own. It also owns
// the protocol and model objects of the connected sensor, so every front end
// runs the same connection sequence (TSensorConnection) over it.
class TSession {
public:
    TSession() = default;
    TSession(const TSession &) = delete;
    TSession &operator=(const TSession &) = delete;

    // Chosen interface: 0 service cable, 1 RS232, 2 RS485, 3 Ethernet, 255 none yet.
    quint8 InterfaceType = InterfaceNone;
    quint8 ComPort = 1;
    int BaudRate = 9600;  // bit/s
    // The device address is a character (Poseidon addressing).
    bool CharAddress = false;
    quint8 DeviceAddress = 1;
    QString IPAddress;
    quint16 ModbusTcpPort = DefaultModbusTcpPort;

    // Segments 1 and 2 of a serial sensor and their copies as last read from
    // or written to it; kept side by side in this order (backups copy them as
    // one block).
    TSegmentImage SegmentImage1{};
    TSegmentImage SegmentImage2{};
    TSegmentImage SavedImage1{};
    TSegmentImage SavedImage2{};

    quint16 FirmwareVersion = 0;  // shown as "%2.2x.%2.2x"
    quint16 FirmwareDate = 0;     // high byte year after 2000, low byte month, both BCD

    bool NetConnected = false;   // an Ethernet sensor's configuration was read
    bool MspConnected = false;   // a sensor answered through a serial protocol
    bool SetupAllowed = false;   // no device password, or the right one was typed
    bool ModbusEnabled = false;  // always true on serial interfaces
    bool FirmwareCheck = true;   // unsupported firmware versions are refused
    bool CO2Option = false;
    bool ProductionMode = false;
    bool ShowExWrn = true;       // explosive-atmosphere warning at connect; persisted

    quint32 ReadFailSince = 0;   // tick count of the first failed value reading

    // A sensor is connected through either road.
    bool Connected() const { return NetConnected || MspConnected; }

    // The six fields the communication settings dialog edits.
    TCommSettings CommSettings() const
    {
        return {InterfaceType, ComPort, BaudRate, CharAddress, DeviceAddress, IPAddress};
    }
    void TakeCommSettings(const TCommSettings &c)
    {
        InterfaceType = c.InterfaceType;
        ComPort = c.ComPort;
        BaudRate = c.BaudRate;
        CharAddress = c.CharAddress;
        DeviceAddress = c.DeviceAddress;
        IPAddress = c.IPAddress;
    }

    // The sensor's memory over Modbus (RTU on a COM port, or TCP through an
    // Ethernet sensor's module).
    TMSPModbus Msp;
    // Modbus TCP to the Ethernet sensors that carry channels.
    TSyncMBus NetMbus;

    // What the connected sensor is.
    TSensType SensType;
    TProtocol Protocol;
    TBitRate BitRate;
    TAlterNames AlterNames;

    // The quantities of a serial sensor.
    TQuantity Temperature;
    TQuantity Humidity;
    TQuantity Pressure;
    TQuantity CO2;
    TQuantity Computed;
    // The channels 1..5 of an Ethernet sensor.
    std::array<TQuantity, 5> Channels;
};
