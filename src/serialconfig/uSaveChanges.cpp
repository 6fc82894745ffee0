#include "serialconfig/uSaveChanges.h"

#include <QCoreApplication>

namespace {

constexpr quint16 AdamOptionWithoutCrc = 0x3030;  // data format "00"
constexpr quint16 AdamOptionWithCrc = 0x3430;     // data format "40"
// The unit word's fields, cleared before a quantity's bits go in.
constexpr quint16 TemperatureUnitBits = 0x0001;
constexpr quint16 PressureUnitBits = 0x001C;
constexpr quint16 CO2ValueBits = 0x0004;
// Firmware whose humidity calibration coefficients follow the calibration points.
constexpr int FirstRecomputedHumidityFirmware = 271;
constexpr int LastRecomputedHumidityFirmware = 289;

QString tr(const char *text)
{
    return QCoreApplication::translate("TSaveChanges", text);
}

bool IsAdam(quint8 protocolType)
{
    return protocolType == ProtocolType::AdamWithoutCrc || protocolType == ProtocolType::AdamWithCrc;
}

// The unit word with a quantity's unit or interpretation, the way the
// quantity model encodes it; the other bits of the word stay.
quint16 WithQuantityUnit(quint16 word, quint8 quantityType, quint16 field, quint8 unit)
{
    TQuantity quantity;
    quantity.SetQuantityType(quantityType);
    quantity.SetUnitWord(word);
    quantity.SetUnitType(unit);
    return quint16((word & ~field) | quantity.UnitWord());
}

quint16 WithCO2Interpretation(quint16 word, quint8 interpretation)
{
    TQuantity quantity;
    quantity.SetQuantityType(QuantityType::CO2);
    quantity.SetUnitWord(word);
    quantity.SetInterpretation(interpretation);
    return quint16((word & ~CO2ValueBits) | quantity.UnitWord());
}

// The value is what the register already holds, in the device's precision.
bool FloatAsStored(quint16 address, double value, const TSegmentImage &image1, const TSegmentImage &image2)
{
    const TSegmentImage &image = (address >> 12) == 2 ? image2 : image1;
    TSegmentImage probe = image;
    SetImageFloat(address, probe, value);
    return probe == image;
}

quint16 WithComputedQuantity(quint16 word, quint8 computed)
{
    TQuantity quantity;
    quantity.SetQuantityWord(word);
    quantity.SetQuantityType(computed);
    return quantity.QuantityWord();
}

// One run of the image update, in the order the registers depend on each
// other: the unit word before the relay bits, the limits after the units.
class TModbusSaveRun {
public:
    TModbusSaveRun(const TSerialConfigPages &pages, const TSaveHooks &hooks);
    TModbusSave Run();

private:
    void StoreProtocol();
    void StoreBaudRate();
    void StoreAddress();
    void StoreComputedQuantity();
    void StoreUnitWord();
    void StoreDisplay();
    void StoreComputedPressure();
    void StoreOutputLimits();
    void StoreLimitPair(TLimitKind kind, const TOutputRangeRegisters &registers, quint8 shownUnit,
                        quint8 storedUnit);
    void StoreOutputChannels();
    void StoreCalibrationState();

    const TSerialPageContext &ctx_;
    const TConfigPageModel &config_;
    const TOutputPageModel &output_;
    const TSaveHooks &hooks_;
    TModbusSave save_;
};

TModbusSaveRun::TModbusSaveRun(const TSerialConfigPages &pages, const TSaveHooks &hooks)
    : ctx_(pages.Context()), config_(pages.Config()), output_(pages.Output()), hooks_(hooks)
{
    save_.Image1 = ctx_.Image1;
    save_.Image2 = ctx_.Image2;
    // Short-lived copies: nobody listens to them.
    save_.Protocol = ctx_.Protocol;
    save_.Protocol.OnChange = nullptr;
    save_.BitRate = ctx_.BitRate;
    save_.BitRate.OnChange = nullptr;
    const TCommSettingsChoice choice = ChosenCommSettings(pages);
    save_.ChosenProtocolType = choice.ProtocolType;
    save_.Address = choice.Address;
    save_.CharAddress = choice.CharAddress;
}

TModbusSave TModbusSaveRun::Run()
{
    StoreProtocol();
    StoreBaudRate();
    StoreAddress();
    StoreComputedQuantity();
    StoreUnitWord();
    if (hooks_.RelayInputIndication)
        hooks_.RelayInputIndication(save_.Image2);
    StoreDisplay();
    if (hooks_.RelayValues)
        hooks_.RelayValues(save_.Image2);
    StoreComputedPressure();
    if (hooks_.AltitudeCompensation)
        hooks_.AltitudeCompensation(save_.Image2);
    if (hooks_.ServicePage)
        hooks_.ServicePage(save_.Image2);
    StoreOutputLimits();
    StoreOutputChannels();
    StoreCalibrationState();
    return save_;
}

void TModbusSaveRun::StoreProtocol()
{
    const quint8 chosen = save_.ChosenProtocolType;
    if (chosen == ProtocolType::ModBus || chosen == ProtocolType::Unknown)
        return;
    save_.Protocol.SetProtocolType(chosen);
    if (IsAdam(chosen)) {
        save_.Protocol.SetOption(chosen == ProtocolType::AdamWithCrc ? AdamOptionWithCrc : AdamOptionWithoutCrc);
        SetImageWord(Reg::ProtocolOption, save_.Image2, save_.Protocol.GetOption());
    }
    SetImageWord(Reg::ProtocolCode, save_.Image2, save_.Protocol.GetCode());
}

void TModbusSaveRun::StoreBaudRate()
{
    const quint32 rate = config_.SelectedBaudRate();
    if (!config_.BaudRateShown() || rate == ctx_.BitRate.GetValue())
        return;
    save_.BaudChanged = true;
    save_.BitRate.SetValue(rate);
    SetImageWord(Reg::BaudDivisor, save_.Image2, save_.BitRate.GetCode());
}

void TModbusSaveRun::StoreAddress()
{
    // An address the page does not show cannot have been changed.
    if (!config_.CharAddressShown() && !config_.NumericAddressShown())
        return;
    const int address = save_.Address;
    if (IsAdam(save_.ChosenProtocolType))
        SetImageWord(Reg::DeviceAddress, save_.Image2, EncodeAdamAddress(address));
    else if (ImageWord(Reg::DeviceAddress, save_.Image2) != address)
        SetImageWord(Reg::DeviceAddress, save_.Image2, quint16(address));
}

void TModbusSaveRun::StoreComputedQuantity()
{
    if (!config_.ComputedQuantityShown())
        return;
    const quint16 word = ImageWord(Reg::ConfigWord, save_.Image1);
    SetImageWord(Reg::ConfigWord, save_.Image1, WithComputedQuantity(word, config_.SelectedComputedQuantity()));
}

void TModbusSaveRun::StoreUnitWord()
{
    quint16 word = ImageWord(Reg::UnitWord, save_.Image2);
    if (config_.TempUnitShown() && ctx_.HasTemperature())
        word = WithQuantityUnit(word, QuantityType::Temperature, TemperatureUnitBits, config_.SelectedTempUnit());
    if (config_.PressUnitShown() && ctx_.HasPressure())
        word = WithQuantityUnit(word, QuantityType::Pressure, PressureUnitBits, config_.SelectedPressUnit());
    if (config_.CO2ValueShown() && ctx_.HasCO2())
        word = WithCO2Interpretation(word, config_.SelectedCO2Interpretation());
    TUnitWord unitWord(word);
    if (hooks_.RelayUnitBits)
        hooks_.RelayUnitBits(unitWord);
    SetImageWord(Reg::UnitWord, save_.Image2, unitWord.Word());
}

void TModbusSaveRun::StoreDisplay()
{
    TConfigWord word(ImageWord(Reg::ConfigWord, save_.Image1));
    config_.StoreDisplayBits(word);
    SetImageWord(Reg::ConfigWord, save_.Image1, word.Word());
}

void TModbusSaveRun::StoreComputedPressure()
{
    if (!config_.ComputedPressureShown())
        return;
    const double hPa = ConvertUnit(config_.SelectedPressUnit(), UnitType::HPa, config_.ComputedPressure());
    SetImageWord(Reg::ComputedPressureHPa, save_.Image1, UnsignedRegister(hPa));
}

void TModbusSaveRun::StoreOutputLimits()
{
    if (!output_.ChannelShown(1) && !output_.ChannelShown(2))
        return;
    const quint8 tempUnit = config_.SelectedTempUnit();
    const quint8 pressUnit = config_.SelectedPressUnit();
    const quint8 storedTempUnit = StoredTemperatureUnit(ctx_, tempUnit);
    if (ctx_.HasTemperature())
        StoreLimitPair(TLimitKind::Temperature, TemperatureRange, tempUnit, storedTempUnit);
    if (ctx_.HasPressure())
        StoreLimitPair(TLimitKind::Pressure, PressureOrCO2Range, pressUnit, StoredPressureUnit(ctx_, pressUnit));
    if (ctx_.HasCO2())
        StoreLimitPair(TLimitKind::CO2, PressureOrCO2Range, UnitType::None, UnitType::None);
    if (ctx_.HasHumidity())
        StoreLimitPair(TLimitKind::Humidity, HumidityRange, UnitType::None, UnitType::None);
    if (ctx_.HasComputed()) {
        if (config_.SelectedComputedQuantity() == QuantityType::DewPoint)
            StoreLimitPair(TLimitKind::Computed, ComputedRange, tempUnit, storedTempUnit);
        else
            StoreLimitPair(TLimitKind::Computed, ComputedRange, UnitType::None, UnitType::None);
    }
}

void TModbusSaveRun::StoreLimitPair(TLimitKind kind, const TOutputRangeRegisters &registers, quint8 shownUnit,
                                    quint8 storedUnit)
{
    const double lower = ConvertUnit(shownUnit, storedUnit, output_.Limit(kind, TLimitEnd::Lo));
    const double upper = ConvertUnit(shownUnit, storedUnit, output_.Limit(kind, TLimitEnd::Hi));
    // Clamps computed from the ends read back in single precision differ in
    // the last bits from those the typed ends gave: unchanged ends keep them.
    if (FloatAsStored(registers.lowerEnd, lower, save_.Image1, save_.Image2) &&
        FloatAsStored(registers.upperEnd, upper, save_.Image1, save_.Image2))
        return;
    StoreOutputRange(registers, lower, upper, save_.Image1, save_.Image2);
}

void TModbusSaveRun::StoreOutputChannels()
{
    for (int channel = 1; channel <= TOutputPageModel::ChannelCount; ++channel) {
        if (!output_.ChannelShown(channel))
            continue;
        if (ctx_.SensType.GetInterface() == DeviceInterface::VoltageOutput)
            ScaleVoltageOutput(channel, output_.UpperVoltage(channel), save_.Image1, save_.Image2);
        // Only quantities with an output range have an assignment.
        ApplyChannelAssignment(channel, output_.SelectedChannelQuantity(channel), save_.Image1);
    }
}

void TModbusSaveRun::StoreCalibrationState()
{
    const TSensType &type = ctx_.SensType;
    if (type.GetFamily() != DeviceFamily::Transmitter || type.IsKeypadGeneration())
        return;
    if (type.GetNoExtCalib())
        SetImageWord(Reg::CalibrationState, save_.Image2, 0);
    const TRelayInputWord relayInput(ImageWord(Reg::RelayInputWord, save_.Image2));
    const bool recomputed = ctx_.FirmwareNumber >= FirstRecomputedHumidityFirmware &&
                            ctx_.FirmwareNumber <= LastRecomputedHumidityFirmware;
    if (!relayInput.Test(TRelayInputBit::DigitalProbe) && recomputed && ctx_.HasHumidity() &&
        hooks_.HumidityCoefficients)
        hooks_.HumidityCoefficients(save_.Image1, save_.Image2);
}

} // namespace

TCommSettingsChoice ChosenCommSettings(const TSerialConfigPages &pages)
{
    const TConfigPageModel &config = pages.Config();
    TCommSettingsChoice choice;
    choice.ProtocolType = config.ChosenProtocolType();
    choice.BaudRate = config.SelectedBaudRate();
    if (config.CharAddressShown()) {
        const QString text = config.CharAddressText();
        const int code = text.isEmpty() ? 0 : text.at(0).unicode();
        choice.Address = AddressCharacter(code).unicode();
        choice.CharAddress = true;
    } else if (config.NumericAddressShown()) {
        choice.Address = int(RoundToRegister(config.NumericAddress()));
    }
    return choice;
}

void CheckBeforeSave(const TSerialConfigPages &pages)
{
    const TConfigPageModel &config = pages.Config();
    if (config.CharAddressShown() && config.CharAddressText().isEmpty())
        throw ESaveRefused(tr("Device address is required!"));
}

TModbusSave PrepareModbusSave(const TSerialConfigPages &pages, const TSaveHooks &hooks)
{
    CheckBeforeSave(pages);
    return TModbusSaveRun(pages, hooks).Run();
}
