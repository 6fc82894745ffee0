#include "serialconfig/uSerialPageContext.h"

#include "shell/uCommSettings.h"

namespace {

// Firmware up to this number keeps the output limits in the selected unit.
constexpr int LastOldAnalogFirmware = 237;

} // namespace

namespace {

TQuantity QuantityWithUnit(quint8 quantityType, quint8 unit)
{
    TQuantity quantity;
    quantity.SetQuantityType(quantityType);
    quantity.SetUnitType(unit);
    return quantity;
}

} // namespace

QString QuantityName(quint8 quantityType)
{
    TQuantity quantity;
    quantity.SetQuantityType(quantityType);
    return quantity.GetName();
}

QString UnitText(quint8 quantityType, quint8 unit)
{
    return QuantityWithUnit(quantityType, unit).GetUnitText();
}

int UnitDecimals(quint8 quantityType, quint8 unit)
{
    return QuantityWithUnit(quantityType, unit).GetDecimals();
}

bool TSerialPageContext::OldAnalogFirmware() const
{
    return FirmwareNumber <= LastOldAnalogFirmware && SensType.GetFamily() == DeviceFamily::Transmitter &&
           !SensType.IsKeypadGeneration() && IsAnalogOutputInterface();
}

bool TSerialPageContext::IsAnalogOutputInterface() const
{
    const quint8 interface = SensType.GetInterface();
    return interface == DeviceInterface::CurrentOutput || interface == DeviceInterface::VoltageOutput;
}

QChar AddressCharacter(int code)
{
    return CommSettings::AddressCharRule(code);
}

bool IsAddressLetter(QChar c)
{
    return CommSettings::IsAddressLetter(c.unicode());
}
