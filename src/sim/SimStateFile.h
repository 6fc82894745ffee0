#pragma once

#include <QString>

class SimMemory;

// Keeps the sensor's non-volatile memory (Flash, EEPROM and segment 6) in a
// file across runs, so that what the program saved is still there after a
// restart. ROM comes from the profile and RAM starts afresh, as on a real
// power-up. The file names its profile; another profile's file is refused.
namespace SimStateFile {

// Loads the file into memory when it exists; false with an error text when
// it exists but cannot be used.
bool Load(const QString &path, const QString &profile, SimMemory &memory, QString *error);
bool Save(const QString &path, const QString &profile, const SimMemory &memory, QString *error);

} // namespace SimStateFile
