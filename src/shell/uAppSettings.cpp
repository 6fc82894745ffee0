#include "shell/uAppSettings.h"

namespace AppSettings {

std::unique_ptr<QSettings> Open()
{
    return std::make_unique<QSettings>(QSettings::NativeFormat, QSettings::UserScope,
                                       QLatin1String(Organization), QLatin1String(Application));
}

} // namespace AppSettings
