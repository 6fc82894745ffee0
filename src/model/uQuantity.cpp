#include "model/uQuantity.h"

#include "shell/uErrors.h"

#include <QCoreApplication>
#include <QScopeGuard>

#include <initializer_list>
#include <utility>

namespace {

constexpr const char *ClassName = "TQuantity";

constexpr quint16 AllTypes = 0xFFFF;

constexpr quint16 Types(std::initializer_list<quint8> types)
{
    quint16 bits = 0;
    for (const quint8 t : types)
        bits = quint16(bits | (1u << t));
    return bits;
}

// Unit-word bits: bit 0 the temperature unit, bits 2-4 the pressure unit,
// bit 2 the CO2 interpretation.
constexpr quint16 TemperatureUnitMask = 0x0001;
constexpr quint16 PressureUnitMask = 0x001C;
constexpr int PressureUnitShift = 2;
constexpr quint16 AverageMask = 0x0004;

constexpr quint16 PressureBits(quint16 n)
{
    return quint16(n << PressureUnitShift);
}

[[noreturn]] void RaiseRange(const char *text)
{
    throw ERangeError(ClassMessage(ClassName, QString::fromLatin1(text)));
}

template <typename Entry, std::size_t N, typename Match>
int FindLast(const std::array<Entry, N> &table, Match match)
{
    for (int i = int(N) - 1; i >= 0; --i) {
        if (match(table[i]))
            return i;
    }
    return -1;
}

template <typename Entry>
bool Allows(const Entry &entry, quint8 quantityType)
{
    return ((entry.AllowedTypes >> quantityType) & 1u) != 0;
}

template <typename Entry>
bool MatchesWord(const Entry &entry, quint16 word)
{
    return (word & entry.WordMask) == entry.WordBits;
}

quint8 CodeOf(const TUnitEntry &entry)
{
    return entry.UnitType;
}

quint8 CodeOf(const TInterpretationEntry &entry)
{
    return entry.Interpretation;
}

} // namespace

// How a unit or an interpretation is kept in the unit word and reported.
struct TChoiceField {
    quint16 Mask;
    bool TQuantityRow::*HasChoice;
    quint8 TQuantityRow::*DefaultCode;
    TQuantityChange Change;
    const char *InvalidText;
    const char *UnsupportedText;
};

namespace {

constexpr TChoiceField UnitField = {UnitFieldMask, &TQuantityRow::UnitChoice, &TQuantityRow::DefaultUnit,
                                    TQuantityChange::Unit, "invalid unit type", "unsupported unit type"};
constexpr TChoiceField InterpretationField = {
    InterpretationFieldMask, &TQuantityRow::InterpretationChoice, &TQuantityRow::DefaultInterpretation,
    TQuantityChange::Interpretation, "invalid interpretation of the value",
    "unsupported interpretation of the value"};

} // namespace

const std::array<TQuantityRow, QuantityRowCount> QuantityTable = {{
    // Type, name, measured, default unit and interpretation, unit choice, interpretation choice, code
    {0, QT_TRANSLATE_NOOP("TQuantity", "Computed quantity"), false, 0, 0, false, false, 0},
    {1, QT_TRANSLATE_NOOP("TQuantity", "Computed quantity"), false, 1, 0, false, false, 0},
    {2, QT_TRANSLATE_NOOP("TQuantity", "Binary input"), true, 0, 0, false, false, 0},
    {3, QT_TRANSLATE_NOOP("TQuantity", "CO2 level"), true, 0, 0, false, false, 0},
    {4, QT_TRANSLATE_NOOP("TQuantity", "Relay output"), true, 0, 0, false, false, 0},
    {5, QT_TRANSLATE_NOOP("TQuantity", "Far relay control"), true, 0, 0, false, false, 0},
    {6, QT_TRANSLATE_NOOP("TQuantity", "Temperature"), true, 2, 0, true, false, 0},
    {7, QT_TRANSLATE_NOOP("TQuantity", "Relative humidity"), true, 4, 0, false, false, 0},
    {8, QT_TRANSLATE_NOOP("TQuantity", "Atmospheric pressure"), true, 5, 0, true, false, 0},
    {9, QT_TRANSLATE_NOOP("TQuantity", "CO2 concentration"), true, 13, 0, false, true, 0},
    {10, QT_TRANSLATE_NOOP("TQuantity", "Dew point"), false, 2, 0, false, false, 0x0008},
    {11, QT_TRANSLATE_NOOP("TQuantity", "Absolute humidity"), false, 14, 0, false, false, 0x0200},
    {12, QT_TRANSLATE_NOOP("TQuantity", "Specific humidity"), false, 15, 0, false, false, 0x0400},
    {13, QT_TRANSLATE_NOOP("TQuantity", "Mixing ratio"), false, 15, 0, false, false, 0x0800},
    {14, QT_TRANSLATE_NOOP("TQuantity", "Specific enthalpy"), false, 16, 0, false, false, 0x1000},
    {15, QT_TRANSLATE_NOOP("TQuantity", "Humidex"), false, 2, 0, false, false, 0},
}};

const std::array<TUnitEntry, UnitEntryCount> UnitTable = {{
    // Unit, display text, plain text, decimals, allowed quantity types, unit-word bits
    {1, "", "", 3, AllTypes, 0, 0},
    {0, "", "", 0, Types({0, 2, 3, 4, 5}), 0, 0},
    {2, "\u00B0C", "\u00B0C", 1, Types({6, 10, 15}), TemperatureUnitMask, 0},
    {3, "\u00B0F", "\u00B0F", 1, Types({6, 10}), TemperatureUnitMask, 1},
    {4, "%", "%", 1, Types({7}), 0, 0},
    {5, "hPa", "hPa", 1, Types({8}), PressureUnitMask, PressureBits(0)},
    {6, "PSI", "PSI", 3, Types({8}), PressureUnitMask, PressureBits(1)},
    {7, "inHg", "inHg", 2, Types({8}), PressureUnitMask, PressureBits(2)},
    {8, "mBar", "mBar", 1, Types({8}), PressureUnitMask, PressureBits(3)},
    {9, "oz/in", "oz/in", 1, Types({8}), PressureUnitMask, PressureBits(4)},
    {10, "mmHg", "mmHg", 1, Types({8}), PressureUnitMask, PressureBits(5)},
    {11, "inH2O", "inH2O", 1, Types({8}), PressureUnitMask, PressureBits(6)},
    {12, "kPa", "kPa", 2, Types({8}), PressureUnitMask, PressureBits(7)},
    {13, "ppm", "ppm", 0, Types({9}), 0, 0},
    {14, "g/m\u00B3", "g/m3", 1, Types({11}), 0, 0},
    {15, "g/kg", "g/kg", 1, Types({12, 13}), 0, 0},
    {16, "kJ/kg", "kJ/kg", 1, Types({14}), 0, 0},
}};

const std::array<TInterpretationEntry, InterpretationEntryCount> InterpretationTable = {{
    {0, QT_TRANSLATE_NOOP("TQuantity", "Immediate"), AllTypes, AverageMask, 0},
    {1, QT_TRANSLATE_NOOP("TQuantity", "Average"), Types({9}), AverageMask, AverageMask},
}};

quint8 TQuantity::GetQuantityType() const
{
    return Row().QuantityType;
}

bool TQuantity::IsMeasured() const
{
    return Row().IsMeasured;
}

quint8 TQuantity::GetUnitType() const
{
    return UnitTable[unitEntry_].UnitType;
}

quint8 TQuantity::GetInterpretation() const
{
    return InterpretationTable[interpretationEntry_].Interpretation;
}

QString TQuantity::GetName() const
{
    return QCoreApplication::translate("TQuantity", Row().Name);
}

int TQuantity::GetDecimals() const
{
    return UnitTable[unitEntry_].Decimals;
}

QString TQuantity::GetUnitText() const
{
    const TUnitEntry &unit = UnitTable[unitEntry_];
    return QString::fromUtf8(plainUnits_ ? unit.PlainText : unit.DisplayText);
}

QString TQuantity::GetUnitTextPlain() const
{
    const bool previous = std::exchange(plainUnits_, true);
    const auto restore = qScopeGuard([this, previous] { plainUnits_ = previous; });
    return GetUnitText();
}

void TQuantity::Notify(TQuantityChange kind)
{
    if (OnChange)
        OnChange(*this, kind);
}

void TQuantity::SelectEntry(int &current, int entry, TQuantityChange kind)
{
    if (entry == current)
        return;
    current = entry;
    Notify(kind);
}

// A new quantity starts from its default unit and interpretation; only the
// quantity change itself is reported.
void TQuantity::SelectQuantityRow(int row)
{
    quantityRow_ = row;
    {
        TChangeEvent detached = std::exchange(OnChange, nullptr);
        const auto reattach = qScopeGuard([this, &detached] { OnChange = std::move(detached); });
        SetUnitType(Row().DefaultUnit);
        SetInterpretation(Row().DefaultInterpretation);
    }
    Notify(TQuantityChange::Quantity);
}

void TQuantity::SetQuantityType(quint8 type)
{
    const int row = FindLast(QuantityTable, [type](const TQuantityRow &q) { return q.QuantityType == type; });
    if (row < 0)
        RaiseRange("invalid quantity type");
    quantityWord_ = quint16((quantityWord_ & ~ComputedQuantityMask) | QuantityTable[row].ConfigCode);
    if (row != quantityRow_)
        SelectQuantityRow(row);
}

void TQuantity::SetQuantityWord(quint16 word)
{
    const quint16 code = word & ComputedQuantityMask;
    const int found =
        FindLast(QuantityTable, [code](const TQuantityRow &q) { return q.ConfigCode != 0 && q.ConfigCode == code; });
    const int row = found < 0 ? 0 : found;
    quantityWord_ = word;
    if (row != quantityRow_)
        SelectQuantityRow(row);
}

template <typename Entry, std::size_t N>
void TQuantity::SetChoice(const std::array<Entry, N> &table, quint8 code, const TChoiceField &field, int &current)
{
    const int entry = FindLast(table, [code](const Entry &e) { return CodeOf(e) == code; });
    if (entry < 0)
        RaiseRange(field.InvalidText);
    if (!Allows(table[entry], GetQuantityType()))
        RaiseRange(field.UnsupportedText);
    if (Row().*field.HasChoice)
        unitWord_ = quint16((unitWord_ & ~field.Mask) | table[entry].WordBits);
    SelectEntry(current, entry, field.Change);
}

template <typename Entry, std::size_t N>
void TQuantity::DecodeChoice(const std::array<Entry, N> &table, quint16 word, const TChoiceField &field,
                             int &current)
{
    const quint8 type = GetQuantityType();
    const int entry =
        FindLast(table, [type, word](const Entry &e) { return Allows(e, type) && MatchesWord(e, word); });
    const quint16 kept = quint16(word & ~field.Mask);
    if (entry < 0) {
        unitWord_ = kept;
        SetChoice(table, Row().*field.DefaultCode, field, current);
        return;
    }
    unitWord_ = quint16(kept | table[entry].WordBits);
    SelectEntry(current, entry, field.Change);
}

void TQuantity::SetUnitType(quint8 unit)
{
    SetChoice(UnitTable, unit, UnitField, unitEntry_);
}

void TQuantity::SetInterpretation(quint8 interpretation)
{
    SetChoice(InterpretationTable, interpretation, InterpretationField, interpretationEntry_);
}

void TQuantity::SetUnitWord(quint16 word)
{
    if (Row().UnitChoice)
        DecodeChoice(UnitTable, word, UnitField, unitEntry_);
    else if (Row().InterpretationChoice)
        DecodeChoice(InterpretationTable, word, InterpretationField, interpretationEntry_);
    else
        unitWord_ = word;
}

void TQuantity::SetValue(double value)
{
    if (value == value_)
        return;
    value_ = value;
    Notify(TQuantityChange::Value);
}

namespace {

constexpr double FahrenheitPerCelsius = 1.8;
constexpr double FahrenheitAtZeroCelsius = 32.0;

// Each pressure unit per hPa.
constexpr std::array<double, 8> PressurePerHPa = {
    1.0,         // hPa
    0.01450377,  // PSI
    0.02953007,  // inHg
    1.0,         // mBar
    0.2320603,   // oz/in
    0.75006158,  // mmHg
    0.4014629,   // inH2O
    0.1,         // kPa
};

bool IsUnitless(quint8 unit)
{
    return unit == UnitType::None || unit == UnitType::Unspecified;
}

bool IsTemperatureUnit(quint8 unit)
{
    return unit == UnitType::Celsius || unit == UnitType::Fahrenheit;
}

bool IsPressureUnit(quint8 unit)
{
    return unit >= UnitType::HPa && unit <= UnitType::KPa;
}

double ConvertTemperature(quint8 fromUnit, quint8 toUnit, double x)
{
    if (fromUnit == toUnit)
        return x;
    if (fromUnit == UnitType::Celsius)
        return x * FahrenheitPerCelsius + FahrenheitAtZeroCelsius;
    return (x - FahrenheitAtZeroCelsius) / FahrenheitPerCelsius;
}

double ConvertPressure(quint8 fromUnit, quint8 toUnit, double x)
{
    return x * (PressurePerHPa[toUnit - UnitType::HPa] / PressurePerHPa[fromUnit - UnitType::HPa]);
}

} // namespace

// Temperature converts only between its own units and pressure only among
// its own: a temperature-to-pressure pair is an error, not a scaling.
double ConvertUnit(quint8 fromUnit, quint8 toUnit, double x)
{
    if (IsUnitless(fromUnit) || IsUnitless(toUnit))
        return x;
    if (IsTemperatureUnit(fromUnit) && IsTemperatureUnit(toUnit))
        return ConvertTemperature(fromUnit, toUnit, x);
    if (IsPressureUnit(fromUnit) && IsPressureUnit(toUnit))
        return ConvertPressure(fromUnit, toUnit, x);
    throw EConvertError(ClassMessage(ClassName, QStringLiteral("unsupported conversion")));
}
