#pragma once

#include <QString>
#include <QtGlobal>

#include <array>
#include <cstddef>
#include <functional>

// Quantity types; the type code is the row of the quantity table.
namespace QuantityType {
constexpr quint8 None = 0;
constexpr quint8 Computed = 1;  // a computed quantity of unspecified kind
constexpr quint8 BinaryInput = 2;
constexpr quint8 CO2Level = 3;
constexpr quint8 RelayOutput = 4;
constexpr quint8 FarRelayControl = 5;
constexpr quint8 Temperature = 6;
constexpr quint8 RelativeHumidity = 7;
constexpr quint8 Pressure = 8;
constexpr quint8 CO2 = 9;
constexpr quint8 DewPoint = 10;
constexpr quint8 AbsoluteHumidity = 11;
constexpr quint8 SpecificHumidity = 12;
constexpr quint8 MixingRatio = 13;
constexpr quint8 SpecificEnthalpy = 14;
constexpr quint8 Humidex = 15;
} // namespace QuantityType

// Unit codes.
namespace UnitType {
constexpr quint8 None = 0;
constexpr quint8 Unspecified = 1;
constexpr quint8 Celsius = 2;
constexpr quint8 Fahrenheit = 3;
constexpr quint8 Percent = 4;
constexpr quint8 HPa = 5;
constexpr quint8 Psi = 6;
constexpr quint8 InHg = 7;
constexpr quint8 MBar = 8;
constexpr quint8 OzIn = 9;
constexpr quint8 MmHg = 10;
constexpr quint8 InH2O = 11;
constexpr quint8 KPa = 12;
constexpr quint8 Ppm = 13;
constexpr quint8 GramsPerCubicMetre = 14;
constexpr quint8 GramsPerKilogram = 15;
constexpr quint8 KiloJoulesPerKilogram = 16;
} // namespace UnitType

namespace ValueInterpretation {
constexpr quint8 Immediate = 0;
constexpr quint8 Average = 1;
} // namespace ValueInterpretation

// Register bit fields. The configuration word (0x103F) selects the computed
// quantity; the unit word (0x203F) holds the temperature or pressure unit and
// whether the CO2 value is averaged.
constexpr quint16 ComputedQuantityMask = 0x1E08;
constexpr quint16 UnitFieldMask = 0x001D;
constexpr quint16 InterpretationFieldMask = 0x0005;

struct TQuantityRow {
    quint8 QuantityType;
    const char *Name;  // translatable in context "TQuantity"
    bool IsMeasured;
    quint8 DefaultUnit;
    quint8 DefaultInterpretation;
    bool UnitChoice;            // the unit word holds its unit
    bool InterpretationChoice;  // the unit word holds its interpretation
    quint16 ConfigCode;         // its code in the configuration word, 0 for none
};

// AllowedTypes has bit n set when the entry may be used with quantity type n.
// An entry matches a register word when (word & WordMask) == WordBits;
// entries without bits (mask 0) match every word.
struct TUnitEntry {
    quint8 UnitType;
    const char *DisplayText;  // UTF-8
    const char *PlainText;
    int Decimals;
    quint16 AllowedTypes;
    quint16 WordMask;
    quint16 WordBits;
};

struct TInterpretationEntry {
    quint8 Interpretation;
    const char *Name;  // translatable in context "TQuantity"
    quint16 AllowedTypes;
    quint16 WordMask;
    quint16 WordBits;
};

constexpr int QuantityRowCount = 16;
constexpr int UnitEntryCount = 17;
constexpr int InterpretationEntryCount = 2;
extern const std::array<TQuantityRow, QuantityRowCount> QuantityTable;
// In table order (unit 1 first), which decides the search order.
extern const std::array<TUnitEntry, UnitEntryCount> UnitTable;
extern const std::array<TInterpretationEntry, InterpretationEntryCount> InterpretationTable;

enum class TQuantityChange : quint8 { Quantity = 1, Unit = 2, Interpretation = 3, Value = 4 };

struct TChoiceField;

// One quantity slot: its type, unit and value interpretation, the register
// bits that select them, names and unit texts for the pages, and the last
// value read. Setters raise ERangeError ("TQuantity: ...") for codes that do
// not exist or do not fit the quantity.
class TQuantity {
public:
    using TChangeEvent = std::function<void(TQuantity &sender, TQuantityChange kind)>;

    virtual ~TQuantity() = default;

    quint8 GetQuantityType() const;
    // Types 2-9, the ones the device measures itself.
    bool IsMeasured() const;
    // Writes the type's code into QuantityWord (even when already selected);
    // a new type also takes its default unit and interpretation and fires one
    // Quantity change.
    void SetQuantityType(quint8 type);

    virtual QString GetName() const;
    virtual int GetDecimals() const;
    // The display text, or the plain one while PlainUnits() is set.
    virtual QString GetUnitText() const;
    virtual QString GetUnitTextPlain() const;
    bool PlainUnits() const { return plainUnits_; }

    quint8 GetUnitType() const;
    void SetUnitType(quint8 unit);
    quint8 GetInterpretation() const;
    void SetInterpretation(quint8 interpretation);

    double GetValue() const { return value_; }
    void SetValue(double value);

    // Decode the register words; the copies are written back by the pages.
    void SetQuantityWord(quint16 word);
    void SetUnitWord(quint16 word);
    quint16 QuantityWord() const { return quantityWord_; }
    quint16 UnitWord() const { return unitWord_; }

    TChangeEvent OnChange;

private:
    const TQuantityRow &Row() const { return QuantityTable[quantityRow_]; }
    void Notify(TQuantityChange kind);
    void SelectQuantityRow(int row);
    void SelectEntry(int &current, int entry, TQuantityChange kind);
    template <typename Entry, std::size_t N>
    void SetChoice(const std::array<Entry, N> &table, quint8 code, const TChoiceField &field, int &current);
    template <typename Entry, std::size_t N>
    void DecodeChoice(const std::array<Entry, N> &table, quint16 word, const TChoiceField &field, int &current);

    double value_ = 0.0;
    mutable bool plainUnits_ = false;
    quint16 quantityWord_ = 0;
    quint16 unitWord_ = 0;
    int quantityRow_ = 0;
    int unitEntry_ = 1;  // table position of unit 0
    int interpretationEntry_ = 0;
};

// Converts x between temperature units or between pressure units; unit 0 or
// 1 on either side returns x. Raises EConvertError ("TQuantity: unsupported
// conversion") for any other pair.
double ConvertUnit(quint8 fromUnit, quint8 toUnit, double x);
