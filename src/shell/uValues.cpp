#include "shell/uValues.h"

#include "model/uDeviceTypeTable.h"
#include "serialconfig/uRegisterMap.h"

#include <QCoreApplication>

#include <cmath>

namespace {

QString tr(const char *text)
{
    return QCoreApplication::translate("TfInfoPage", text);
}


// Relay quantity codes that put a relay under far control.
constexpr int FarControlOff = 8;
constexpr int FarControlOn = 9;

bool IsFamily2(const TSession &s)
{
    return s.SensType.GetFamily() == DeviceFamily::EthernetSensor;
}

// The Modbus slave address; the ADAM, Arion and Poseidon addresses join
// with the identification over those protocols.
QString AddressText(const TSession &s)
{
    return QString::number(ImageWord(Reg::DeviceAddress, s.SegmentImage2));
}

bool SerialNumberShown(const TSession &s)
{
    const int device = s.SensType.GetInterface();
    return device == DeviceInterface::CurrentOutput || device == DeviceInterface::VoltageOutput ||
           (s.MspConnected && s.Protocol.GetProtocolType() == ProtocolType::ModBus);
}

bool FarControlled(const TSession &s, int relay)
{
    const TUnitWord units(ImageWord(Reg::UnitWord, s.SegmentImage2));
    const int code = units.RelayQuantityCode(relay + 1);
    return code == FarControlOff || code == FarControlOn;
}

} // namespace

const TQuantity &RowQuantity(const TSession &s, int row)
{
    if (IsFamily2(s))
        return s.Channels.at(static_cast<size_t>(row));
    const TQuantity *rows[ValueRowCount] = {&s.Temperature, &s.Humidity, &s.Computed, &s.Pressure, &s.CO2};
    return *rows[row];
}

TQuantity &RowQuantity(TSession &s, int row)
{
    return const_cast<TQuantity &>(RowQuantity(static_cast<const TSession &>(s), row));
}

QString FirmwareText(const TSession &s)
{
    const QString version = FirmwareVersionText(s.FirmwareVersion);
    const quint8 protocol = s.Protocol.GetProtocolType();
    if (protocol == ProtocolType::Arion || protocol == ProtocolType::Poseidon)
        return version;
    return QStringLiteral("%1  %2  %3").arg(version, tr("from"), FirmwareDateText(s.FirmwareDate));
}

TInformationLayout LayoutInformationPage(const TSession &s)
{
    TInformationLayout l;
    const int device = s.SensType.GetInterface();

    l.address = {device == DeviceInterface::RS485, tr("Address:"), AddressText(s)};
    if (device == DeviceInterface::RS232 || device == DeviceInterface::RS485)
        l.nameOrProtocol = {true, tr("Protocol") + QLatin1Char(':'), s.Protocol.GetName()};
    l.type = {true, tr("Sensor type:"), s.AlterNames.AlterName(s.SensType.GetName())};
    l.serialNumber = {SerialNumberShown(s), tr("Serial number:"), SerialNumberText(s.SegmentImage1)};
    l.firmware = {true, tr("Firmware version:"), FirmwareText(s)};

    for (int row = 0; row < ValueRowCount; ++row) {
        const TQuantity &q = RowQuantity(s, row);
        if (q.GetQuantityType() == QuantityType::None)
            continue;
        const QString label = IsFamily2(s) ? tr("Channel") + QStringLiteral(" %1:").arg(row + 1)
                                           : q.GetName() + QLatin1Char(':');
        l.quantities[static_cast<size_t>(row)] = {true, label, QString()};
    }

    l.protocolGroupVisible = device == DeviceInterface::Ethernet;
    l.modbusVisible = s.ModbusEnabled &&
                      ((s.MspConnected && s.Protocol.GetProtocolType() == ProtocolType::ModBus) || IsFamily2(s));
    l.modbusSelected = l.modbusVisible;

    l.relayRowsVisible = s.SensType.GetKeypadModel() && s.MspConnected &&
                         s.Protocol.GetProtocolType() == ProtocolType::ModBus;
    for (int relay = 0; relay < RelayCount; ++relay)
        l.farControlVisible[static_cast<size_t>(relay)] =
            !s.SensType.GetServiceCable() && FarControlled(s, relay);
    return l;
}

namespace {

// Values a sensor reports instead of a measurement.
constexpr double ValueAboveRange = 999.0;
constexpr double ValueBelowRange = -999.0;
constexpr double CO2NotMeasuredTimes10 = -9998.0;
constexpr double CO2ErrorTimes10 = -9999.0;
constexpr double ChannelNotMeasuredTimes10 = -11000.0;

constexpr quint16 StatusRelay1Closed = 1u << 3;
constexpr quint16 StatusRelay2Closed = 1u << 4;

int DisplayDecimals(const TQuantity &q)
{
    switch (q.GetQuantityType()) {
    case QuantityType::Temperature:
    case QuantityType::RelativeHumidity:
    case QuantityType::DewPoint:
    case QuantityType::AbsoluteHumidity:
    case QuantityType::SpecificHumidity:
    case QuantityType::MixingRatio:
    case QuantityType::SpecificEnthalpy:
        return 2;
    default:
        return q.GetDecimals();
    }
}

QString ErrorText(const char *suffix, quint8 protocolType)
{
    const QString error = tr("Error");
    return protocolType == ProtocolType::Poseidon ? error : error + QLatin1String(suffix);
}

// The error text of a value, or an empty text for a measurement.
QString ValueError(const TQuantity &q, quint8 protocolType, bool supportsErrorValues)
{
    const double v = q.GetValue();
    switch (q.GetQuantityType()) {
    case QuantityType::CO2:
        return std::nearbyint(v * 10) <= CO2ErrorTimes10 ? tr("Error") : QString();
    case QuantityType::Pressure:
        return v >= ValueBelowRange ? QString() : ErrorText(" 2", protocolType);
    default:
        break;
    }
    if (supportsErrorValues) {
        const double code = std::nearbyint(v * 10);
        if (code == ChannelNotMeasuredTimes10)
            return QStringLiteral("---");
        if (code < ChannelNotMeasuredTimes10)
            return tr("Error") + QLatin1Char(' ') + QString::number(-code - ChannelNotMeasuredTimes10, 'f', 0);
        return QString();
    }
    if (v > ValueAboveRange)
        return ErrorText(" 1", protocolType);
    if (!(v >= ValueBelowRange))
        return ErrorText(" 2", protocolType);
    return QString();
}

// The register of a value row's reading over the sensor's memory.
quint16 ValueRegister(int row)
{
    constexpr quint16 registers[ValueRowCount] = {Reg::TemperatureValue, Reg::HumidityValuePct, Reg::ComputedValue,
                                                  Reg::PressureOrCO2Value, Reg::PressureOrCO2Value};
    return registers[row];
}

double ReadModbusValue(TSession &s, int row)
{
    double value = s.Msp.ReadFloat(ValueRegister(row));
    const TQuantity &q = RowQuantity(s, row);
    // The sensor reports kPa in tenths.
    if (q.GetQuantityType() == QuantityType::Pressure && q.GetUnitType() == UnitType::KPa && value >= ValueBelowRange)
        value /= 10;
    return value;
}

} // namespace

QString FormatValue(const TQuantity &q, bool wanted, quint8 protocolType, bool supportsErrorValues)
{
    if (q.GetQuantityType() == QuantityType::CO2 && std::nearbyint(q.GetValue() * 10) == CO2NotMeasuredTimes10)
        wanted = false;
    if (!wanted)
        return QStringLiteral("---");
    const QString error = ValueError(q, protocolType, supportsErrorValues);
    if (!error.isEmpty())
        return error;
    const int d = DisplayDecimals(q);
    return QStringLiteral("%1 %2").arg(q.GetValue(), d, 'f', d).arg(q.GetUnitText());
}

TValuesPass ReadValuesPass(TSession &s, const TInformationLayout &layout)
{
    TValuesPass pass;
    // The other protocols' readings join here; a serial sensor is read over
    // its memory.
    for (int row = 0; row < ValueRowCount; ++row) {
        TQuantity &q = RowQuantity(s, row);
        const bool wanted = q.GetQuantityType() != QuantityType::None;
        if (wanted)
            q.SetValue(ReadModbusValue(s, row));
        pass.values[static_cast<size_t>(row)] = FormatValue(q, wanted, s.Protocol.GetProtocolType());
    }
    if (layout.relayRowsVisible) {
        const quint16 masks[RelayCount] = {StatusRelay1Closed, StatusRelay2Closed};
        for (int relay = 0; relay < RelayCount; ++relay) {
            const bool closed = (s.Msp.ReadRegister(Reg::Status) & masks[relay]) != 0;
            pass.relays[static_cast<size_t>(relay)] = closed ? tr("Closed") : tr("Opened");
        }
    }
    return pass;
}
