#pragma once

#include "model/uBitRate.h"
#include "model/uProtocol.h"
#include "model/uQuantity.h"
#include "model/uSensType.h"
#include "transport/uSensorMemory.h"

#include <QChar>

// What the configuration pages of a serial transmitter read: the device
// identified at connection, its memory images and the window's connection
// state. The pages never change any of it; Save Changes works on copies.
struct TSerialPageContext {
    const TSensType &SensType;
    // The protocol and baud rate the device was reached with.
    const TProtocol &Protocol;
    const TBitRate &BitRate;
    // Configuration blocks 1 and 2 as read.
    const TSegmentImage &Image1;
    const TSegmentImage &Image2;

    // The quantity slots; a slot is present when it holds a quantity type.
    const TQuantity *Temperature = nullptr;
    const TQuantity *Humidity = nullptr;
    const TQuantity *Pressure = nullptr;
    const TQuantity *CO2 = nullptr;
    const TQuantity *Computed = nullptr;

    int FirmwareNumber = 0;
    bool SetupAllowed = false;
    bool MspConnected = false;  // identified through a serial protocol
    bool NetConnected = false;  // Ethernet record read
    // The address the ADAM, Arion or Poseidon identification reported (the
    // letter's code for Poseidon); Modbus devices keep theirs in 0x2001.
    int ProtocolAddress = 1;
    bool CO2Option = false;  // started with "/CO2"

    static bool Present(const TQuantity *slot) { return slot != nullptr && slot->GetQuantityType() != 0; }
    bool HasTemperature() const { return Present(Temperature); }
    bool HasHumidity() const { return Present(Humidity); }
    bool HasPressure() const { return Present(Pressure); }
    bool HasCO2() const { return Present(CO2); }
    bool HasComputed() const { return Present(Computed); }

    quint8 ConnectedProtocolType() const { return Protocol.GetProtocolType(); }
    // Connected over ModBus, the only protocol that reaches every register.
    bool Modbus() const { return ConnectedProtocolType() == ProtocolType::ModBus; }
    // The user may change the communication and display settings.
    bool Configurable() const { return !SensType.GetFixedConfig() && SetupAllowed && MspConnected; }
    // Service-cable transmitters whose firmware keeps the output limits in the
    // selected unit instead of °C and hPa.
    bool OldAnalogFirmware() const;
    // Current or voltage output, configured over the service cable.
    bool IsAnalogOutputInterface() const;
};

// Names and unit texts for the pages, from short-lived quantity objects.
QString QuantityName(quint8 quantityType);
// The unit's text and decimals as a quantity of the given type shows them.
QString UnitText(quint8 quantityType, quint8 unit);
int UnitDecimals(quint8 quantityType, quint8 unit);

// The address character rule: a numeric address turned into a Poseidon
// address letter. Letters stay, "T" and "t" (not addresses) become "U" and
// "u", any other code the nearest end of the nearer alphabet. 1 gives "A".
QChar AddressCharacter(int code);
// The letters a Poseidon address may be: A-Z and a-z except T and t.
bool IsAddressLetter(QChar c);
