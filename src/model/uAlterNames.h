#pragma once

#include <QString>
#include <QStringList>
#include <QtGlobal>

#include <array>
#include <optional>

// A device whose model name a distributor may replace on screen: its
// identification code (a transmitter's DeviceId, other devices' codes of
// their own) and its row in the device type table, which gives the name.
struct TAltName {
    quint16 Code;
    int Row;
};

constexpr int AltNameCount = 128;
extern const std::array<TAltName, AltNameCount> AltNameTable;

// The model name of an AltNameTable entry.
QString AltModelName(const TAltName &entry);

// Replacement model names from a section of the program's INI file, whose
// keys are identification codes in hexadecimal ("1001=My name").
class TAlterNames {
public:
    // Reads the section's keys in file order; keys that are not hexadecimal
    // or name no table entry are skipped. On failure (EInOutError) no
    // replacement names are left.
    void LoadFromIni(const QString &fileName, const QString &section);
    // The shown name for a model name (case-insensitive), the name itself
    // when none was loaded for it.
    QString AlterName(const QString &name) const;

    // The loaded pairs in file order; absent until loaded.
    const std::optional<QStringList> &ModelNames() const { return modelNames_; }
    const std::optional<QStringList> &ShownNames() const { return shownNames_; }

private:
    // Both absent until loaded.
    std::optional<QStringList> modelNames_;
    std::optional<QStringList> shownNames_;
};
