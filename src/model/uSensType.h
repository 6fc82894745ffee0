#pragma once

#include "model/uDeviceTypeTable.h"

#include <QString>

#include <functional>

// The device type of the connected sensor: one selected row of the device
// type table and the answers the pages ask of it. The connection sequence
// moves the selection by identification word, type code or model name; it is
// never reset, so the last device's row stays until the next identification.
class TSensType {
public:
    using TNotifyEvent = std::function<void(TSensType &sender)>;

    // Selects the row whose DeviceId is id (the highest such row, row 0 when
    // none or when id is 0xFFFF) and stores id itself.
    void SetDeviceId(quint16 id);
    // Selects the row of a type code; raises ERangeError for a code no row has.
    void SetTypeCode(quint8 code);
    // Selects the highest row with exactly this name (case-sensitive), row 0
    // when none.
    void SetName(const QString &name);

    quint16 GetDeviceId() const { return deviceId_; }
    int GetRow() const { return row_; }

    QString GetName() const;
    quint8 GetTypeCode() const { return Current().TypeCode; }
    quint8 GetFamily() const { return Current().Family; }
    bool GetHasDisplay() const { return Current().HasDisplay != 0; }
    quint8 GetJumperPicture() const { return Current().JumperPicture; }
    quint8 GetInterface() const { return Current().Interface; }
    quint16 GetQuantities() const { return Current().Quantities; }
    bool GetKeypadModel() const { return Current().KeypadModel != 0; }
    bool GetBinaryInputs() const { return Current().BinaryInputs != 0; }
    bool GetNoExtCalib() const { return Current().NoExtCalib != 0; }
    bool GetFixedConfig() const { return Current().FixedConfig != 0; }
    bool GetAnalogOutput() const { return Current().AnalogOutput != 0; }
    bool GetSecondOutput() const { return Current().SecondOutput != 0; }
    int GetOutputMin() const { return Current().OutputMin; }
    int GetOutputMax() const { return Current().OutputMax; }
    bool GetServiceCable() const { return Current().ServiceCable != 0; }

    // The channel count of the row, raised by newer Ethernet sensor firmware.
    int GetChannelCount() const;
    // Keypad-generation transmitters and devices with binary inputs share
    // firmware rules and relay pages.
    bool IsKeypadGeneration() const { return GetKeypadModel() || GetBinaryInputs(); }

    // Firmware flags, cleared at the start of every identification.
    bool FourChannelFirmware = false;
    bool TwoChannelFirmware = false;
    void ClearFirmwareFlags();
    // Sets the flag the module firmware version (a.b.c.d packed as
    // a<<24 | b<<16 | c<<8 | d) earns the selected type.
    void ApplyFirmwareVersion(quint32 version);

    TNotifyEvent OnChange;

private:
    const TDeviceType &Current() const { return DeviceTypeTable[row_]; }
    void Select(int row, quint16 id);

    quint16 deviceId_ = 0;
    int row_ = 0;
};

// Packs a firmware version a.b.c.d into one comparable number.
constexpr quint32 PackFirmwareVersion(quint8 a, quint8 b, quint8 c, quint8 d)
{
    return (quint32(a) << 24) | (quint32(b) << 16) | (quint32(c) << 8) | quint32(d);
}
