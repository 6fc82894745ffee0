#include "TransmitterFixture.h"

#include <stdexcept>

namespace {

TSensType TypeNamed(const char *name)
{
    TSensType type;
    type.SetName(QString::fromLatin1(name));
    if (type.GetRow() == 0)
        throw std::invalid_argument(name);
    return type;
}

} // namespace

TTransmitter::TTransmitter(const char *typeName, int firmware_)
    : type(TypeNamed(typeName)), firmware(firmware_), images(type)
{
}

TSerialConfigPages &TTransmitter::Connect()
{
    Identify();
    const TSerialPageContext context{
        .SensType = type,
        .Protocol = protocol,
        .BitRate = bitRate,
        .Image1 = images.Image1,
        .Image2 = images.Image2,
        .Temperature = &temperature,
        .Humidity = &humidity,
        .Pressure = &pressure,
        .CO2 = &co2,
        .Computed = &computed,
        .FirmwareNumber = firmware,
        .SetupAllowed = setupAllowed,
        .MspConnected = mspConnected,
        .NetConnected = netConnected,
        .ProtocolAddress = protocolAddress,
    };
    pages = std::make_unique<TSerialConfigPages>(context);
    pages->Fill();
    return *pages;
}

void TTransmitter::Identify()
{
    bitRate.SetCode(images.WordAt(0x2002));
    if (connectedProtocol) {
        protocol.SetProtocolType(*connectedProtocol);
    } else if (firmware > 209) {
        protocol.SetCode(images.WordAt(0x2003));
        protocol.SetOption(images.WordAt(0x2004));
    } else {
        protocol.SetProtocolType(ProtocolType::ModBus);
    }

    const quint16 config = images.WordAt(0x103F);
    const quint16 unitWord = images.WordAt(0x203F);
    const quint16 q = type.GetQuantities();
    const bool unitsFromWord = firmware >= 230;
    if ((q & 0x0040) && (firmware <= 220 || (config & 0x8000))) {
        temperature.SetQuantityType(QuantityType::Temperature);
        if (unitsFromWord)
            temperature.SetUnitWord(unitWord);
    }
    if ((q & 0x0080) && (config & 0x0002))
        humidity.SetQuantityType(QuantityType::RelativeHumidity);
    if ((q & 0x0100) && (firmware <= 220 || (config & 0x2000))) {
        pressure.SetQuantityType(QuantityType::Pressure);
        if (unitsFromWord)
            pressure.SetUnitWord(unitWord);
    }
    if ((q & 0x0200) && (config & 0x2000)) {
        co2.SetQuantityType(QuantityType::CO2);
        co2.SetUnitWord(unitWord);
    }

    computed.SetQuantityWord(config);
    const bool offered = temperature.GetQuantityType() != 0 && humidity.GetQuantityType() != 0 &&
                         !type.GetFixedConfig();
    if (!offered)
        computed.SetQuantityType(QuantityType::None);
    else if (computed.GetQuantityType() == QuantityType::None || firmware < 215)
        computed.SetQuantityType(QuantityType::DewPoint);
    if (computed.GetQuantityType() == QuantityType::DewPoint)
        computed.SetUnitType(temperature.GetUnitType());
}
