#include "serialconfig/uOutputPageModel.h"

#include "shell/uErrors.h"
#include "shell/uMessages.h"

#include <QCoreApplication>

#include <cmath>

namespace {

struct TLimitKindRow {
    const char *NamePart;
    TOutputRangeRegisters Registers;
};
constexpr std::array<TLimitKindRow, LimitKindCount> LimitKindRows = {{
    {"Temper", TemperatureRange},
    {"RelHum", HumidityRange},
    {"AtmPre", PressureOrCO2Range},
    {"CO2", PressureOrCO2Range},
    {"CompQuan", ComputedRange},
}};
constexpr std::array<const char *, 2> LimitEndNames = {"Lo", "Hi"};

// A limit edit's range and decimals. Ranges with a base unit are converted
// into the unit shown.
struct TLimitRange {
    TNumRange Range;
    quint8 BaseUnit;
};
constexpr TLimitRange TemperatureLimits{{-200, 600}, UnitType::Celsius};
constexpr TLimitRange HumidityLimits{{0, 100}, UnitType::None};
constexpr TLimitRange PressureLimits{{600, 1998}, UnitType::HPa};
constexpr TLimitRange CO2Limits{{0, 10000}, UnitType::None};
constexpr TLimitRange DewPointLimits{{-200, 200}, UnitType::Celsius};
constexpr TLimitRange AbsoluteHumidityLimits{{0, 400}, UnitType::None};
constexpr TLimitRange SpecificHumidityLimits{{0, 550}, UnitType::None};
constexpr TLimitRange MixingRatioLimits{{0, 995}, UnitType::None};
constexpr TLimitRange SpecificEnthalpyLimits{{0, 995}, UnitType::None};
constexpr int LimitDecimals = 1;
constexpr int CO2LimitDecimals = 0;

std::optional<TLimitRange> ComputedLimits(quint8 computed)
{
    switch (computed) {
    case QuantityType::DewPoint: return DewPointLimits;
    case QuantityType::AbsoluteHumidity: return AbsoluteHumidityLimits;
    case QuantityType::SpecificHumidity: return SpecificHumidityLimits;
    case QuantityType::MixingRatio: return MixingRatioLimits;
    case QuantityType::SpecificEnthalpy: return SpecificEnthalpyLimits;
    default: return std::nullopt;
    }
}

TNumRange InUnit(const TLimitRange &limits, quint8 unit)
{
    return {ConvertUnit(limits.BaseUnit, unit, limits.Range.Min), ConvertUnit(limits.BaseUnit, unit, limits.Range.Max)};
}

// The outputs' ends must lie this far apart, in the unit shown.
constexpr double MinimumOutputSpan = 30.0;
// While the user types, an edit and its twin accept anything; the range is
// checked when the edit is left.
constexpr TNumRange LiftedRange{-1.0e9, 1.0e9};

constexpr double LowestUpperVoltage = 1.0;  // the highest is the device type's
constexpr int UpperVoltageDecimals = 1;
constexpr double UpperVoltageStep = 0.1;

QString tr(const char *text)
{
    return QCoreApplication::translate("TOutputPageModel", text);
}

int EndIndex(TLimitEnd end)
{
    return end == TLimitEnd::Lo ? 0 : 1;
}

TLimitEditId Twin(const TLimitEditId &id)
{
    return {TOutputPageModel::ChannelCount + 1 - id.Channel, id.Kind, id.End};
}

TLimitEditId Partner(const TLimitEditId &id)
{
    return {id.Channel, id.Kind, id.End == TLimitEnd::Lo ? TLimitEnd::Hi : TLimitEnd::Lo};
}

// The limit pair a channel shows for the quantity it carries; none for the
// measured quantities that have no output.
std::optional<TLimitKind> ShownLimitKind(quint8 quantity)
{
    switch (quantity) {
    case QuantityType::Temperature: return TLimitKind::Temperature;
    case QuantityType::RelativeHumidity: return TLimitKind::Humidity;
    case QuantityType::Pressure: return TLimitKind::Pressure;
    case QuantityType::CO2: return TLimitKind::CO2;
    default: break;
    }
    if (quantity < QuantityRowCount && QuantityTable[quantity].IsMeasured)
        return std::nullopt;
    return TLimitKind::Computed;
}

QString LimitUnitText(quint8 quantity, quint8 tempUnit, quint8 pressUnit)
{
    switch (quantity) {
    case QuantityType::Temperature:
    case QuantityType::DewPoint: return UnitText(quantity, tempUnit);
    case QuantityType::Pressure: return UnitText(quantity, pressUnit);
    default: return UnitText(quantity, QuantityTable[quantity < QuantityRowCount ? quantity : 0].DefaultUnit);
    }
}

} // namespace

QString LimitEditName(const TLimitEditId &id)
{
    return QStringLiteral("pbne%1%2%3")
        .arg(QLatin1String(LimitKindRows[int(id.Kind)].NamePart), QLatin1String(LimitEndNames[EndIndex(id.End)]))
        .arg(id.Channel);
}

std::optional<TLimitEditId> ParseLimitEditName(const QString &name)
{
    for (int channel = 1; channel <= TOutputPageModel::ChannelCount; ++channel) {
        for (int kind = 0; kind < LimitKindCount; ++kind) {
            for (const TLimitEnd end : {TLimitEnd::Lo, TLimitEnd::Hi}) {
                const TLimitEditId id{channel, TLimitKind(kind), end};
                if (LimitEditName(id) == name)
                    return id;
            }
        }
    }
    return std::nullopt;
}

quint8 StoredTemperatureUnit(const TSerialPageContext &context, quint8 shownUnit)
{
    return context.OldAnalogFirmware() && shownUnit != UnitType::Celsius ? shownUnit : UnitType::Celsius;
}

quint8 StoredPressureUnit(const TSerialPageContext &context, quint8 shownUnit)
{
    // hPa, mBar and kPa differ by powers of ten, which the older firmware
    // handles; the others it keeps as shown.
    const bool convertible =
        shownUnit == UnitType::HPa || shownUnit == UnitType::MBar || shownUnit == UnitType::KPa;
    return context.OldAnalogFirmware() && !convertible ? shownUnit : UnitType::HPa;
}

TOutputPageModel::TOutputPageModel(const TSerialPageContext &context, const TConfigPageModel &config)
    : ctx_(context), config_(config)
{
    warning_.Caption = tr("Beware !  The current loop of Channel 1 acts as a power supply !");
    RegisterControls();
}

void TOutputPageModel::RegisterControls()
{
    controls_.Add(QStringLiteral("tabOutput"), &tab_);
    controls_.Add(QStringLiteral("lBeware"), &warning_);
    for (int n = 1; n <= ChannelCount; ++n) {
        TChannel &ch = Channel(n);
        const auto add = [&](const char *name, TControlRegistry::TEntry view) {
            controls_.Add(QLatin1String(name) + QString::number(n), view);
        };
        add("gbChannel", &ch.Group);
        add("cbMeasQuan", &ch.MeasQuan);
        add("lQuanUnitLo", &ch.LimitUnitLo);
        add("lQuanUnitHi", &ch.LimitUnitHi);
        add("lOutMin", &ch.OutMin);
        add("lOut", &ch.Out);
        add("pbssOut", &ch.UpperV);
        add("lOutUnitLo", &ch.OutUnitLo);
        add("lOutUnitHi", &ch.OutUnitHi);
        for (int kind = 0; kind < LimitKindCount; ++kind) {
            for (const TLimitEnd end : {TLimitEnd::Lo, TLimitEnd::Hi})
                controls_.Add(LimitEditName({n, TLimitKind(kind), end}), &Edit({n, TLimitKind(kind), end}).View);
        }
    }
}

TOutputPageModel::TChannel &TOutputPageModel::Channel(int channel)
{
    if (channel < 1 || channel > ChannelCount)
        throw ERangeError(QStringLiteral("invalid output channel"));
    return channels_[channel - 1];
}

const TOutputPageModel::TChannel &TOutputPageModel::Channel(int channel) const
{
    return const_cast<TOutputPageModel *>(this)->Channel(channel);
}

TOutputPageModel::TLimitPair &TOutputPageModel::Pair(TChannel &channel, TLimitKind kind)
{
    return channel.Limits[int(kind)];
}

TOutputPageModel::TLimitEdit &TOutputPageModel::Edit(const TLimitEditId &id)
{
    return Pair(Channel(id.Channel), id.Kind)[EndIndex(id.End)];
}

TLimitEditId TOutputPageModel::EditId(const QString &editName) const
{
    const auto id = ParseLimitEditName(editName);
    if (!id)
        throw ERangeError(QStringLiteral("unknown limit edit %1").arg(editName));
    return *id;
}

// ---------------------------------------------------------------------------
// Layout.

void TOutputPageModel::LayoutOutputChannel(int n, bool fill)
{
    TChannel &ch = Channel(n);
    if (fill)
        FillChannel(n, ch);

    const quint8 computed = config_.SelectedComputedQuantity();
    const quint8 tempUnit = config_.SelectedTempUnit();
    const quint8 pressUnit = config_.SelectedPressUnit();
    const bool tempUnitChanged = tempUnit != config_.TempUnitTag();
    const bool pressUnitChanged = pressUnit != config_.PressUnitTag();
    if (fill || computed != config_.ComputedQuantityTag())
        RebuildComputedEntry(ch, computed, tempUnit);
    if (fill || tempUnitChanged) {
        SetPairRange(ch, TLimitKind::Temperature, InUnit(TemperatureLimits, tempUnit), LimitDecimals);
        if (computed == QuantityType::DewPoint)
            SetPairRange(ch, TLimitKind::Computed, InUnit(DewPointLimits, tempUnit), LimitDecimals);
    }
    if (fill || pressUnitChanged) {
        SetPairRange(ch, TLimitKind::Pressure, InUnit(PressureLimits, pressUnit),
                     UnitDecimals(QuantityType::Pressure, pressUnit));
    }
    if (fill) {
        LoadLimits(n, ch, computed, tempUnit, pressUnit);
        SelectStoredQuantity(n, ch);
    }

    const quint8 quantity = SelectedChannelQuantity(n);
    const bool quantityChanged = quantity != ch.MeasQuan.Tag;
    if (fill || quantityChanged || tempUnitChanged || pressUnitChanged) {
        ShowQuantity(ch, quantity, tempUnit, pressUnit);
        if (!fill) {
            const quint8 previousTempUnit = config_.TempUnitTag();
            if (tempUnitChanged)
                ConvertPair(ch, TLimitKind::Temperature, previousTempUnit, tempUnit);
            if (pressUnitChanged)
                ConvertPair(ch, TLimitKind::Pressure, config_.PressUnitTag(), pressUnit);
            if (computed == QuantityType::DewPoint && (tempUnitChanged || quantityChanged))
                ConvertPair(ch, TLimitKind::Computed, previousTempUnit, tempUnit);
        }
    }
    ch.MeasQuan.Tag = quantity;
}

void TOutputPageModel::FillChannel(int n, TChannel &ch)
{
    const TSensType &type = ctx_.SensType;
    const bool currentLoop = type.GetInterface() == DeviceInterface::CurrentOutput;
    tab_.Visible = ctx_.IsAnalogOutputInterface();
    warning_.Visible = type.GetAnalogOutput() && type.GetSecondOutput() && currentLoop;
    ch.Group.Visible = n == 1 ? type.GetAnalogOutput() : type.GetSecondOutput();

    ch.MeasQuan.Items.clear();
    const std::array<std::pair<const TQuantity *, TOutputSlot>, 4> measured = {{
        {ctx_.Temperature, TOutputSlot::Temperature},
        {ctx_.Humidity, TOutputSlot::Humidity},
        {ctx_.Pressure, TOutputSlot::Pressure},
        {ctx_.CO2, TOutputSlot::CO2},
    }};
    for (const auto &[slot, kind] : measured) {
        if (TSerialPageContext::Present(slot))
            ch.MeasQuan.Items.append({slot->GetName(), int(kind)});
    }
    ch.ComputedEntry = int(ch.MeasQuan.Items.size());
    ch.MeasQuan.ItemIndex = ch.MeasQuan.Items.isEmpty() ? -1 : 0;
    ch.MeasQuan.Visible = true;

    // A current loop ends at a fixed current; a voltage output's upper end
    // is the user's.
    ch.OutMin.Caption = QString::number(type.GetOutputMin());
    ch.Out.Caption = QString::number(type.GetOutputMax());
    ch.UpperV.Range = {LowestUpperVoltage, double(type.GetOutputMax())};
    ch.UpperV.Decimals = UpperVoltageDecimals;
    ch.UpperV.Increment = UpperVoltageStep;
    ch.UpperV.Value = ImageFloat(OutputChannel(n).upperV, ctx_.Image2);
    ch.OutMin.Visible = true;
    ch.Out.Visible = currentLoop;
    ch.UpperV.Visible = !currentLoop;
    for (TLabelView *label : {&ch.OutUnitLo, &ch.OutUnitHi}) {
        label->Caption = currentLoop ? tr("mA") : tr("V");
        label->Visible = true;
    }
    ch.LimitUnitLo.Visible = true;
    ch.LimitUnitHi.Visible = true;
    SetPairRange(ch, TLimitKind::Humidity, HumidityLimits.Range, LimitDecimals);
    SetPairRange(ch, TLimitKind::CO2, CO2Limits.Range, CO2LimitDecimals);
}

void TOutputPageModel::RebuildComputedEntry(TChannel &ch, quint8 computed, quint8 tempUnit)
{
    TComboBoxView &combo = ch.MeasQuan;
    const int previous = combo.ItemIndex;
    while (combo.Items.size() > ch.ComputedEntry)
        combo.Items.removeLast();
    if (computed != QuantityType::None && ctx_.HasTemperature() && ctx_.HasHumidity())
        combo.Items.append({QuantityName(computed), int(TOutputSlot::Computed)});
    if (!combo.Select(previous))
        combo.ItemIndex = combo.Items.isEmpty() ? -1 : 0;
    if (const auto limits = ComputedLimits(computed))
        SetPairRange(ch, TLimitKind::Computed, InUnit(*limits, tempUnit), LimitDecimals);
}

void TOutputPageModel::LoadLimits(int n, TChannel &ch, quint8 computed, quint8 tempUnit, quint8 pressUnit)
{
    const quint8 storedTemp = StoredTemperatureUnit(ctx_, tempUnit);
    LoadPair(ch, TLimitKind::Temperature, TemperatureRange, storedTemp, tempUnit);
    LoadPair(ch, TLimitKind::Humidity, HumidityRange, UnitType::None, UnitType::None);
    LoadPair(ch, TLimitKind::Pressure, PressureOrCO2Range, StoredPressureUnit(ctx_, pressUnit), pressUnit);
    LoadPair(ch, TLimitKind::CO2, PressureOrCO2Range, UnitType::None, UnitType::None);
    if (computed == QuantityType::DewPoint)
        LoadPair(ch, TLimitKind::Computed, ComputedRange, storedTemp, tempUnit);
    else
        LoadPair(ch, TLimitKind::Computed, ComputedRange, UnitType::None, UnitType::None);
}

void TOutputPageModel::LoadPair(TChannel &ch, TLimitKind kind, const TOutputRangeRegisters &range,
                                quint8 storedUnit, quint8 shownUnit)
{
    const auto stored = [this](quint16 address) {
        return ImageFloat(address, (address >> 12) == 2 ? ctx_.Image2 : ctx_.Image1);
    };
    TLimitPair &pair = Pair(ch, kind);
    pair[0].View.Value = ConvertUnit(storedUnit, shownUnit, stored(range.lowerEnd));
    pair[1].View.Value = ConvertUnit(storedUnit, shownUnit, stored(range.upperEnd));
}

void TOutputPageModel::SelectStoredQuantity(int n, TChannel &ch)
{
    const quint16 word = ImageWord(OutputChannel(n).quantity, ctx_.Image1);
    const TOutputSlot slot = ChannelSlot(word, ctx_.HasCO2());
    ch.MeasQuan.ItemIndex = slot == TOutputSlot::None ? -1 : ch.MeasQuan.IndexOfObject(int(slot));
}

void TOutputPageModel::ShowQuantity(TChannel &ch, quint8 quantity, quint8 tempUnit, quint8 pressUnit)
{
    const std::optional<TLimitKind> shown = ShownLimitKind(quantity);
    for (int kind = 0; kind < LimitKindCount; ++kind) {
        for (TLimitEdit &edit : ch.Limits[kind])
            edit.View.Visible = shown && int(*shown) == kind;
    }
    const QString unit = LimitUnitText(quantity, tempUnit, pressUnit);
    ch.LimitUnitLo.Caption = unit;
    ch.LimitUnitHi.Caption = unit;
}

void TOutputPageModel::ConvertPair(TChannel &ch, TLimitKind kind, quint8 fromUnit, quint8 toUnit)
{
    for (TLimitEdit &edit : Pair(ch, kind))
        edit.View.Value = ConvertUnit(fromUnit, toUnit, edit.View.Value);
}

void TOutputPageModel::SetPairRange(TChannel &ch, TLimitKind kind, TNumRange range, int decimals)
{
    for (TLimitEdit &edit : Pair(ch, kind)) {
        edit.View.Range = range;
        edit.View.Decimals = decimals;
    }
}

quint8 TOutputPageModel::SelectedChannelQuantity(int channel) const
{
    const auto typeOf = [](const TQuantity *slot) {
        return TSerialPageContext::Present(slot) ? slot->GetQuantityType() : quint8(QuantityType::None);
    };
    switch (TOutputSlot(Channel(channel).MeasQuan.SelectedObject(int(TOutputSlot::None)))) {
    case TOutputSlot::Temperature: return typeOf(ctx_.Temperature);
    case TOutputSlot::Humidity: return typeOf(ctx_.Humidity);
    case TOutputSlot::Pressure: return typeOf(ctx_.Pressure);
    case TOutputSlot::CO2: return typeOf(ctx_.CO2);
    case TOutputSlot::Computed: return config_.SelectedComputedQuantity();
    case TOutputSlot::None: break;
    }
    return QuantityType::None;
}

// ---------------------------------------------------------------------------
// User actions.

TPageResponse TOutputPageModel::cbMeasQuanSelect(int channel, int index)
{
    Channel(channel).MeasQuan.Select(index);
    LayoutOutputChannel(channel, false);
    return UserChange(ctx_.SetupAllowed);
}

TPageResponse TOutputPageModel::pbssOutputEnter(const QString &editName)
{
    TLimitEdit &edit = Edit(EditId(editName));
    if (edit.View.Tag == 0) {
        edit.Remembered = edit.View.Value;
        edit.View.Tag = 1;
    }
    return {};
}

TPageResponse TOutputPageModel::pbssOutputChange(const QString &editName, double value)
{
    const TLimitEditId id = EditId(editName);
    TLimitEdit &edit = Edit(id);
    TLimitEdit &twin = Edit(Twin(id));
    if (edit.View.Tag == 0)
        pbssOutputEnter(editName);
    TPageResponse response;
    if (edit.View.Tag == 1) {
        response = UserChange(ctx_.SetupAllowed);
        edit.RememberedRange = edit.View.Range;
        edit.View.Range = LiftedRange;
        twin.View.Range = LiftedRange;
    }
    ChangeEdit(edit.View, value);
    twin.View.Value = value;
    return response;
}

TPageResponse TOutputPageModel::pbssOutputExit(const QString &editName, TFocusTarget focus)
{
    const TLimitEditId id = EditId(editName);
    TLimitEdit &edit = Edit(id);
    if (edit.View.Tag != 2) {
        LeaveEdit(edit.View);
        return {};
    }
    TLimitEdit &twin = Edit(Twin(id));
    edit.View.Range = edit.RememberedRange;
    twin.View.Range = edit.RememberedRange;

    // An impossible value goes back silently; only a possible one may be
    // kept against the warning.
    const double typed = edit.View.ShownValue();
    const double partner = Edit(Partner(id)).View.Value;
    double value = typed;
    bool marked = false;
    if (typed == RoundToDecimals(edit.Remembered, edit.View.Decimals) || !edit.RememberedRange.Contains(typed)) {
        value = edit.Remembered;
    } else if (std::abs(typed - partner) < MinimumOutputSpan) {
        marked = true;
        const bool leavingPage = focus == TFocusTarget::Connect || focus == TFocusTarget::FactDefs;
        if (!leavingPage && !TooSmallQuestionAccepted())
            value = edit.Remembered;
    }
    StoreLimit(id, value);
    LeaveEdit(edit.View);

    TPageResponse response;
    if (focus == TFocusTarget::ForFocus)
        response.Focus = TFocusRequest::Connect;
    if (focus == TFocusTarget::Save && marked) {
        // The question box swallowed the click on Save.
        response.Focus = TFocusRequest::ForFocus;
        response.StartSave = true;
    }
    return response;
}

bool TOutputPageModel::TooSmallQuestionAccepted() const
{
    const QString text =
        tr("The difference between the output values is too small!") + tr(" Accept the given value?");
    return ShowMessageBox(text, TMsgDlgType::mtWarning, mbYes | mbNo, mrYes) == mrYes;
}

void TOutputPageModel::StoreLimit(const TLimitEditId &id, double value)
{
    Edit(id).View.Value = value;
    Edit(Twin(id)).View.Value = value;
}

TNumEditView &TOutputPageModel::UpperVoltageEdit(const QString &editName)
{
    for (int n = 1; n <= ChannelCount; ++n) {
        if (editName == QStringLiteral("pbssOut%1").arg(n))
            return Channel(n).UpperV;
    }
    throw ERangeError(QStringLiteral("unknown numeric edit %1").arg(editName));
}

TPageResponse TOutputPageModel::ComponentEnter(const QString &editName)
{
    EnterEdit(UpperVoltageEdit(editName));
    return {};
}

TPageResponse TOutputPageModel::ComponentChange(const QString &editName, double value)
{
    const bool first = ChangeEdit(UpperVoltageEdit(editName), value);
    return first ? UserChange(ctx_.SetupAllowed) : TPageResponse{};
}

TPageResponse TOutputPageModel::ComponentExit(const QString &editName)
{
    LeaveEdit(UpperVoltageEdit(editName));
    return {};
}

// ---------------------------------------------------------------------------
// What Save stores.

bool TOutputPageModel::ChannelShown(int channel) const
{
    return tab_.Visible && Channel(channel).Group.Visible;
}

double TOutputPageModel::Limit(TLimitKind kind, TLimitEnd end) const
{
    return Channel(1).Limits[int(kind)][EndIndex(end)].View.Value;
}

double TOutputPageModel::UpperVoltage(int channel) const
{
    return Channel(channel).UpperV.Value;
}
