#include "serialconfig/uSerialPageContext.h"

#include <cstdlib>

namespace {

// Firmware up to this number keeps the output limits in the selected unit.
constexpr int LastOldAnalogFirmware = 237;

// Twice the middle of "A".."Z" and of "a".."z": comparing 2c with them tells
// which alphabet a code is nearer to without halves.
constexpr int UpperMiddleTwice = 'A' + 'Z';
constexpr int LowerMiddleTwice = 'a' + 'z';

bool IsAsciiLetter(int code)
{
    return (code >= 'A' && code <= 'Z') || (code >= 'a' && code <= 'z');
}

// The end of an alphabet nearer to code; ties go to the last letter.
int NearerEnd(int code, int first, int last)
{
    return std::abs(code - first) < std::abs(code - last) ? first : last;
}

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
    if (code == 'T' || code == 't')
        return QChar(code + 1);
    if (IsAsciiLetter(code))
        return QChar(code);
    if (std::abs(2 * code - UpperMiddleTwice) < std::abs(2 * code - LowerMiddleTwice))
        return QChar(NearerEnd(code, 'A', 'Z'));
    return QChar(NearerEnd(code, 'a', 'z'));
}

bool IsAddressLetter(QChar c)
{
    const int code = c.unicode();
    return IsAsciiLetter(code) && code != 'T' && code != 't';
}
