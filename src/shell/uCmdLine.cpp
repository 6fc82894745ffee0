#include "shell/uCmdLine.h"

TCmdLineSwitches ParseCmdLine(const QStringList &arguments)
{
    TCmdLineSwitches switches;
    for (qsizetype i = 1; i < arguments.size(); ++i) {
        const QString &arg = arguments[i];
        if (arg == QLatin1String("/service"))
            switches.Service = true;
        else if (arg == QLatin1String("/allfirm"))
            switches.AllFirm = true;
        else if (arg == QLatin1String("/CO2"))
            switches.CO2 = true;
        else if (arg == QLatin1String("/prod"))
            switches.Prod = true;
    }
    return switches;
}
