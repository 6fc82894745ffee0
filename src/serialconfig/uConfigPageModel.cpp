#include "serialconfig/uConfigPageModel.h"

#include "shell/uErrors.h"
#include "shell/uMessages.h"

#include <QCoreApplication>
#include <QStringList>

#include <algorithm>

namespace {

// Firmware that brought each choice of the page.
constexpr int FirstArionFirmware = 220;
constexpr int FirstPoseidonFirmware = 233;
constexpr int LastDewPointOnlyFirmware = 214;      // and no pressure for the computed quantities
constexpr int LastFixedDisplayFirmware = 220;      // temperature and pressure always on the display
constexpr int FirstUnitChoiceFirmware = 230;
constexpr int FirstCO2ValueFirmware = 250;

constexpr TNumRange ArionAddressRange{1, 63};
constexpr TNumRange AddressRange{1, 255};
constexpr int CharAddressLength = 1;
// The pressure the device assumes for the computed quantities, in hPa.
constexpr double ComputedPressureMinHPa = 800.0;
constexpr double ComputedPressureMaxHPa = 30000.0;

QString tr(const char *text)
{
    return QCoreApplication::translate("TConfigPageModel", text);
}

QString Lines(std::initializer_list<const char *> lines)
{
    QStringList texts;
    for (const char *line : lines)
        texts.append(tr(line));
    return texts.join(QLatin1Char('\n'));
}

QString ProtocolName(quint8 protocolType)
{
    TProtocol protocol;
    protocol.SetProtocolType(protocolType);
    return protocol.GetName();
}

bool IsSerialBusInterface(quint8 interface)
{
    return interface == DeviceInterface::RS232 || interface == DeviceInterface::RS485;
}

QList<TComboItem> QuantityItems(std::initializer_list<quint8> types)
{
    QList<TComboItem> items;
    for (const quint8 type : types)
        items.append({QuantityName(type), type});
    return items;
}

QList<TComboItem> UnitItems(quint8 quantityType, quint8 firstUnit, quint8 lastUnit)
{
    QList<TComboItem> items;
    for (int unit = firstUnit; unit <= lastUnit; ++unit)
        items.append({UnitText(quantityType, quint8(unit)), unit});
    return items;
}

QList<TComboItem> ComputedQuantityItems(int firmware, quint8 protocolType)
{
    using namespace QuantityType;
    if (firmware <= LastDewPointOnlyFirmware)
        return QuantityItems({DewPoint});
    if (protocolType == ProtocolType::Poseidon)
        return QuantityItems({DewPoint, AbsoluteHumidity});
    return QuantityItems({DewPoint, AbsoluteHumidity, SpecificHumidity, MixingRatio, SpecificEnthalpy});
}

QList<TComboItem> TempUnitItems(int firmware, quint8 protocolType)
{
    const bool celsiusOnly = firmware < FirstUnitChoiceFirmware || protocolType == ProtocolType::Poseidon;
    return UnitItems(QuantityType::Temperature, UnitType::Celsius,
                     celsiusOnly ? UnitType::Celsius : UnitType::Fahrenheit);
}

QList<TComboItem> PressUnitItems(int firmware, quint8 protocolType)
{
    const bool hPaOnly = firmware < FirstUnitChoiceFirmware || protocolType == ProtocolType::Arion ||
                         protocolType == ProtocolType::Poseidon;
    return UnitItems(QuantityType::Pressure, UnitType::HPa, hPaOnly ? UnitType::HPa : UnitType::KPa);
}

QList<TComboItem> BaudItems(quint8 protocolType)
{
    QList<TComboItem> items;
    for (const quint32 rate : OfferedBaudRates(protocolType))
        items.append({QString::number(rate), int(rate)});
    return items;
}

// Pressure units whose readings the older firmware's info mode shows wrongly.
bool IsMisreportedPressureUnit(int unit)
{
    using namespace UnitType;
    return unit == Psi || unit == InHg || unit == OzIn || unit == MmHg || unit == InH2O;
}

struct TDisplayBoxRow {
    const char *Name;
    const char *Caption;  // empty: the computed quantity's name
    TConfigBit Bit;
};
constexpr std::array<TDisplayBoxRow, 6> DisplayBoxRows = {{
    {"chDispOn", "Displaying enabled", TConfigBit::DisplayEnabled},
    {"chDispTemp", "Temperature", TConfigBit::TemperatureOnDisplay},
    {"chDispPress", "Atmospheric pressure", TConfigBit::PressureOrCO2OnDisplay},
    {"chDispCO2", "CO2 concentration", TConfigBit::PressureOrCO2OnDisplay},
    {"chDispRelHum", "Relative humidity", TConfigBit::HumidityOnDisplay},
    {"chDispCompQuan", "", TConfigBit::ComputedOnDisplay},
}};

} // namespace

TConfigPageModel::TConfigPageModel(const TSerialPageContext &context) : ctx_(context)
{
    for (std::size_t i = 0; i < display_.size(); ++i) {
        display_[i].Bit = DisplayBoxRows[i].Bit;
        const char *caption = DisplayBoxRows[i].Caption;
        display_[i].View.Caption = *caption != '\0' ? tr(caption) : QString();
    }
    numAddr_.Range = AddressRange;
    charAddr_.MaxLength = CharAddressLength;
    RegisterControls();
}

void TConfigPageModel::RegisterControls()
{
    controls_.Add(QStringLiteral("tabConfig"), &tab_);
    controls_.Add(QStringLiteral("gbCComm"), &commGroup_);
    controls_.Add(QStringLiteral("gbCQuantities"), &quantitiesGroup_);
    controls_.Add(QStringLiteral("gbCDisplay"), &displayGroup_);
    controls_.Add(QStringLiteral("gbCAlarms"), &alarmsGroup_);
    controls_.Add(QStringLiteral("fPressAlt"), &pressAltFrame_);
    controls_.Add(QStringLiteral("fAlt2Pre"), &alt2PreFrame_);
    controls_.Add(QStringLiteral("cbCProtocol"), &protocol_);
    controls_.Add(QStringLiteral("cbCBaudRate"), &baudRate_);
    controls_.Add(QStringLiteral("pbssCAddr"), &numAddr_);
    controls_.Add(QStringLiteral("eCAddr"), &charAddr_);
    controls_.Add(QStringLiteral("cbCCompQuan"), &compQuan_);
    controls_.Add(QStringLiteral("cbCTempUnit"), &tempUnit_);
    controls_.Add(QStringLiteral("cbCPressUnit"), &pressUnit_);
    controls_.Add(QStringLiteral("cbCCO2Value"), &co2Value_);
    controls_.Add(QStringLiteral("pbssAtmPress"), &atmPress_);
    controls_.Add(QStringLiteral("lAtmPressUnit"), &atmPressUnit_);
    for (std::size_t i = 0; i < display_.size(); ++i)
        controls_.Add(QLatin1String(DisplayBoxRows[i].Name), &display_[i].View);
}

// ---------------------------------------------------------------------------
// Layout.

TPageResponse TConfigPageModel::LayoutConfigPage(bool fill)
{
    TPageResponse response;
    if (fill)
        RebuildProtocolList();
    const quint8 protocolType = SelectedProtocolType();
    if (fill || protocolType != protocol_.Tag) {
        response.SaveEnabled = fill ? false : ctx_.SetupAllowed;
        LayoutForProtocol(protocolType);
    }
    if (fill)
        LoadValues();
    else
        numAddr_.Value = std::clamp(numAddr_.Value, numAddr_.Range.Min, numAddr_.Range.Max);

    const bool commShown = ctx_.Configurable() && IsSerialBusInterface(ctx_.SensType.GetInterface());
    protocol_.Visible = commShown;
    baudRate_.Visible = commShown;
    numAddr_.Visible = commShown && protocolType != ProtocolType::Poseidon;
    charAddr_.Visible = commShown && protocolType == ProtocolType::Poseidon;

    LayoutQuantitiesGroup(fill);
    LayoutDisplayGroup();
    const bool alarmsAllowed = ctx_.SetupAllowed && ctx_.NetConnected &&
                               ctx_.SensType.GetFamily() == DeviceFamily::Transmitter;
    alarmsGroup_.Visible = alarmsAllowed && Extensions.LayoutAlarms && Extensions.LayoutAlarms(fill);

    // Taking the new choice over must wait until the pages that convert
    // their values from the previous one have done so.
    if (!fill && QuantityChoiceChanged() && OnQuantityChoiceChanged)
        OnQuantityChoiceChanged();
    StoreTags();
    LayoutContainers();
    return response;
}

void TConfigPageModel::RebuildProtocolList()
{
    using namespace ProtocolType;
    QList<quint8> types = {ModBus, AdamWithoutCrc, AdamWithCrc};
    if (!ctx_.SensType.IsKeypadGeneration()) {
        if (ctx_.FirmwareNumber >= FirstArionFirmware)
            types.append(Arion);
        if (ctx_.FirmwareNumber >= FirstPoseidonFirmware && ctx_.SensType.GetInterface() == DeviceInterface::RS485)
            types.append(Poseidon);
    }
    protocol_.Items.clear();
    for (const quint8 type : types)
        protocol_.Items.append({ProtocolName(type), type});
    protocol_.ItemIndex = protocol_.IndexOfText(ctx_.Protocol.GetName());
}

void TConfigPageModel::LayoutForProtocol(quint8 protocolType)
{
    baudRate_.SetItemsKeepingText(BaudItems(protocolType));
    numAddr_.Range = protocolType == ProtocolType::Arion ? ArionAddressRange : AddressRange;
    compQuan_.SetItemsKeepingText(ComputedQuantityItems(ctx_.FirmwareNumber, protocolType));
    tempUnit_.SetItemsKeepingText(TempUnitItems(ctx_.FirmwareNumber, protocolType));
    pressUnit_.SetItemsKeepingText(PressUnitItems(ctx_.FirmwareNumber, protocolType));
}

void TConfigPageModel::LoadValues()
{
    baudRate_.ItemIndex = baudRate_.IndexOfText(QString::number(ctx_.BitRate.GetValue()));
    LoadAddress();
    compQuan_.SelectTextOrFirst(ctx_.HasComputed() ? ctx_.Computed->GetName() : QString());
    tempUnit_.SelectTextOrFirst(ctx_.HasTemperature() ? ctx_.Temperature->GetUnitText() : QString());
    pressUnit_.SelectTextOrFirst(ctx_.HasPressure() ? ctx_.Pressure->GetUnitText() : QString());

    co2Value_.Items.clear();
    for (const TInterpretationEntry &entry : InterpretationTable)
        co2Value_.Items.append({QCoreApplication::translate("TQuantity", entry.Name), entry.Interpretation});
    const bool averaged = ctx_.HasCO2() && ctx_.CO2->GetInterpretation() == ValueInterpretation::Average;
    co2Value_.ItemIndex =
        co2Value_.IndexOfObject(averaged ? ValueInterpretation::Average : ValueInterpretation::Immediate);

    const TConfigWord word(ImageWord(Reg::ConfigWord, ctx_.Image1));
    for (TDisplayBox &box : display_)
        box.View.Checked = word.Test(box.Bit);
}

void TConfigPageModel::LoadAddress()
{
    int number = 0;
    switch (ctx_.ConnectedProtocolType()) {
    case ProtocolType::AdamWithoutCrc:
    case ProtocolType::AdamWithCrc:
        // An ADAM module at its default address 0 is configured as 1.
        number = ctx_.ProtocolAddress == 0 ? 1 : ctx_.ProtocolAddress;
        break;
    case ProtocolType::Arion:
    case ProtocolType::Poseidon: number = ctx_.ProtocolAddress; break;
    default: number = ImageWord(Reg::DeviceAddress, ctx_.Image2); break;
    }
    numAddr_.Value = number;
    charAddr_.Text = AddressCharacter(number);
}

void TConfigPageModel::LayoutQuantitiesGroup(bool fill)
{
    const bool modbusSetup = ctx_.Configurable() && ctx_.Modbus();
    const bool unitChoice = modbusSetup && ctx_.FirmwareNumber >= FirstUnitChoiceFirmware;
    compQuan_.Visible = ctx_.SetupAllowed && ctx_.MspConnected && ctx_.Modbus() && ctx_.HasComputed();
    tempUnit_.Visible = unitChoice && ctx_.HasTemperature();
    co2Value_.Visible = modbusSetup && ctx_.FirmwareNumber >= FirstCO2ValueFirmware && ctx_.HasCO2();
    LayoutComputedPressure(fill);

    TAltitudeFramesShown frames;
    if (Extensions.LayoutAltitudeFrames)
        frames = Extensions.LayoutAltitudeFrames(fill, SelectedPressUnit(), PressUnitTag());
    pressAltFrame_.Visible = frames.Compensation;
    alt2PreFrame_.Visible = frames.Altitude;
    pressUnit_.Visible = unitChoice && (atmPress_.Visible || pressAltFrame_.Visible || ctx_.HasPressure());
}

void TConfigPageModel::LayoutComputedPressure(bool fill)
{
    atmPress_.Visible =
        compQuan_.Visible && !ctx_.HasPressure() && ctx_.FirmwareNumber > LastDewPointOnlyFirmware;
    atmPressUnit_.Visible = atmPress_.Visible;
    const quint8 unit = SelectedPressUnit();
    if (!fill && unit == pressUnit_.Tag)
        return;
    atmPress_.Range = {ConvertUnit(UnitType::HPa, unit, ComputedPressureMinHPa),
                       ConvertUnit(UnitType::HPa, unit, ComputedPressureMaxHPa)};
    atmPress_.Decimals = UnitDecimals(QuantityType::Pressure, unit);
    atmPressUnit_.Caption = UnitText(QuantityType::Pressure, unit);
    atmPress_.Value = fill ? ConvertUnit(UnitType::HPa, unit, ImageWord(Reg::ComputedPressureHPa, ctx_.Image1))
                           : ConvertUnit(quint8(pressUnit_.Tag), unit, atmPress_.Value);
}

void TConfigPageModel::LayoutDisplayGroup()
{
    const bool shown = ctx_.Configurable() && ctx_.Modbus() && ctx_.SensType.GetHasDisplay();
    const bool choosable = ctx_.FirmwareNumber > LastFixedDisplayFirmware;
    const quint8 computed = SelectedComputedQuantity();
    display_[DispOn].View.Visible = shown;
    display_[DispTemp].View.Visible = shown && ctx_.HasTemperature() && choosable;
    display_[DispPress].View.Visible = shown && ctx_.HasPressure() && choosable;
    display_[DispCO2].View.Visible = shown && ctx_.HasCO2();
    display_[DispRelHum].View.Visible = shown && ctx_.HasHumidity();
    display_[DispCompQuan].View.Visible = shown && computed != 0;
    if (computed != 0)
        display_[DispCompQuan].View.Caption = QuantityName(computed);
    for (int i = DispOn + 1; i < DisplayBoxCount; ++i)
        display_[i].View.Enabled = display_[DispOn].View.Checked;
}

void TConfigPageModel::LayoutContainers()
{
    const auto any = [](std::initializer_list<const TControlView *> views) {
        return std::any_of(views.begin(), views.end(), [](const TControlView *v) { return v->Visible; });
    };
    commGroup_.Visible = any({&protocol_, &baudRate_, &numAddr_, &charAddr_});
    quantitiesGroup_.Visible = any({&compQuan_, &tempUnit_, &pressUnit_, &co2Value_, &atmPress_});
    displayGroup_.Visible = std::any_of(display_.begin(), display_.end(),
                                        [](const TDisplayBox &box) { return box.View.Visible; });
    tab_.Visible = any({&commGroup_, &quantitiesGroup_, &displayGroup_, &alarmsGroup_, &pressAltFrame_,
                        &alt2PreFrame_});
}

bool TConfigPageModel::QuantityChoiceChanged() const
{
    return SelectedComputedQuantity() != compQuan_.Tag || SelectedTempUnit() != tempUnit_.Tag ||
           SelectedPressUnit() != pressUnit_.Tag;
}

void TConfigPageModel::StoreTags()
{
    protocol_.Tag = SelectedProtocolType();
    compQuan_.Tag = SelectedComputedQuantity();
    tempUnit_.Tag = SelectedTempUnit();
    pressUnit_.Tag = SelectedPressUnit();
}

// ---------------------------------------------------------------------------
// User actions.

TPageResponse TConfigPageModel::cbCProtocolSelect(int index)
{
    protocol_.Select(index);
    if (ctx_.SensType.IsKeypadGeneration() && SelectedProtocolType() != ProtocolType::ModBus) {
        ShowMessageOK(Lines({"Selected protocol for this device is not supported by this program version.",
                             "After saving changes, Pelinor will not be able to communicate with this device!",
                             "Protocol can be also changed by using a device keyboard. Please see user's manual."}),
                      TMsgDlgType::mtWarning);
    }
    return LayoutConfigPage(false);
}

TPageResponse TConfigPageModel::cbCBaudRateSelect(int index)
{
    baudRate_.Select(index);
    return UserChange(ctx_.SetupAllowed);
}

TPageResponse TConfigPageModel::eCAddrChange(const QString &text)
{
    // Anything but an address letter leaves the edit empty, which still
    // counts as a change: Save then asks for an address.
    const QString letter = text.left(CharAddressLength);
    charAddr_.Text = !letter.isEmpty() && IsAddressLetter(letter.at(0)) ? letter : QString();
    return UserChange(ctx_.SetupAllowed);
}

TPageResponse TConfigPageModel::cbCCompQuanSelect(int index)
{
    compQuan_.Select(index);
    TPageResponse response = UserChange(ctx_.SetupAllowed);
    response.Merge(LayoutConfigPage(false));
    return response;
}

TPageResponse TConfigPageModel::cbUnitSelect(const QString &comboName, int index)
{
    TComboBoxView *combo = UnitCombo(comboName);
    combo->Select(index);
    ShowOlderFirmwareInfo(*combo);
    TPageResponse response = UserChange(ctx_.SetupAllowed);
    response.Merge(LayoutConfigPage(false));
    return response;
}

TComboBoxView *TConfigPageModel::UnitCombo(const QString &comboName)
{
    if (comboName == QLatin1String("cbCTempUnit"))
        return &tempUnit_;
    if (comboName == QLatin1String("cbCPressUnit"))
        return &pressUnit_;
    throw ERangeError(QStringLiteral("unknown unit combo %1").arg(comboName));
}

void TConfigPageModel::ShowOlderFirmwareInfo(const TComboBoxView &combo) const
{
    if (!ctx_.OldAnalogFirmware())
        return;
    const int unit = combo.SelectedObject(UnitType::Unspecified);
    const bool misreported = &combo == &tempUnit_ ? unit == UnitType::Fahrenheit
                                                  : IsMisreportedPressureUnit(unit) && ctx_.HasPressure();
    if (!misreported)
        return;
    ShowMessageOK(
        Lines({"This device contains an older firmware version. During using of 'Info mode' for showing",
               "of analog output setting on its own LCD display, displayed values will not be correct.",
               "All other functions (analog output, actual measured value shown on LCD) are correct.",
               "Please contact your distributor or manufacturer to repair this issue."}),
        TMsgDlgType::mtInformation);
}

TPageResponse TConfigPageModel::cbCCO2ValueSelect(int index)
{
    co2Value_.Select(index);
    return UserChange(ctx_.SetupAllowed);
}

TPageResponse TConfigPageModel::chDispOnClick(bool checked)
{
    display_[DispOn].View.Checked = checked;
    LayoutDisplayGroup();
    return UserChange(ctx_.SetupAllowed);
}

TPageResponse TConfigPageModel::chDispClick(const QString &boxName, bool checked)
{
    DisplayBox(boxName).View.Checked = checked;
    return UserChange(ctx_.SetupAllowed);
}

TConfigPageModel::TDisplayBox &TConfigPageModel::DisplayBox(const QString &boxName)
{
    for (std::size_t i = 0; i < display_.size(); ++i) {
        if (boxName == QLatin1String(DisplayBoxRows[i].Name))
            return display_[i];
    }
    throw ERangeError(QStringLiteral("unknown display box %1").arg(boxName));
}

TNumEditView &TConfigPageModel::NumericEdit(const QString &editName)
{
    if (editName == QLatin1String("pbssCAddr"))
        return numAddr_;
    if (editName == QLatin1String("pbssAtmPress"))
        return atmPress_;
    throw ERangeError(QStringLiteral("unknown numeric edit %1").arg(editName));
}

TPageResponse TConfigPageModel::ComponentEnter(const QString &editName)
{
    EnterEdit(NumericEdit(editName));
    return {};
}

TPageResponse TConfigPageModel::ComponentChange(const QString &editName, double value)
{
    const bool first = ChangeEdit(NumericEdit(editName), value);
    return first ? UserChange(ctx_.SetupAllowed) : TPageResponse{};
}

TPageResponse TConfigPageModel::ComponentExit(const QString &editName)
{
    LeaveEdit(NumericEdit(editName));
    return {};
}

// ---------------------------------------------------------------------------
// Selections.

quint8 TConfigPageModel::SelectedProtocolType() const
{
    return quint8(protocol_.SelectedObject(ProtocolType::Unknown));
}

quint8 TConfigPageModel::SelectedComputedQuantity() const
{
    if (!compQuan_.Visible)
        return QuantityType::None;
    return quint8(compQuan_.SelectedObject(QuantityType::DewPoint));
}

quint8 TConfigPageModel::SelectedTempUnit() const
{
    return quint8(tempUnit_.SelectedObject(UnitType::Unspecified));
}

quint8 TConfigPageModel::SelectedPressUnit() const
{
    return quint8(pressUnit_.SelectedObject(UnitType::Unspecified));
}

quint8 TConfigPageModel::ChosenProtocolType() const
{
    return protocol_.Visible ? quint8(protocol_.Tag) : ctx_.ConnectedProtocolType();
}

quint32 TConfigPageModel::SelectedBaudRate() const
{
    return quint32(baudRate_.SelectedObject(int(ctx_.BitRate.GetValue())));
}

quint8 TConfigPageModel::SelectedCO2Interpretation() const
{
    return quint8(co2Value_.SelectedObject(ValueInterpretation::Immediate));
}

void TConfigPageModel::StoreDisplayBits(TConfigWord &word) const
{
    // The enable box counts while shown; the quantity boxes only while it
    // lets them be changed.
    for (int i = 0; i < DisplayBoxCount; ++i) {
        const TCheckBoxView &box = display_[i].View;
        if (box.Visible && (i == DispOn || box.Enabled))
            word.Set(display_[i].Bit, box.Checked);
    }
}
