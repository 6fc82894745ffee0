#pragma once

#include <QSettings>

#include <memory>

// The per-user settings of the program: on Windows the registry key
// "\Software\ArvelLoggers\Pelinor" of the current user, elsewhere the
// platform's equivalent. Sections are "DEVICE" and "OPTIONS"; every value is
// stored as text (integers in decimal, Booleans as "0"/"1").
namespace AppSettings {

constexpr const char *Organization = "ArvelLoggers";
constexpr const char *Application = "Pelinor";

std::unique_ptr<QSettings> Open();

} // namespace AppSettings
