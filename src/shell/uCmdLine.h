#pragma once

#include <QStringList>

// The four switches the program understands. Each is compared with every
// argument as a whole and case-sensitively; it may stand anywhere and more
// than once, and every other argument is ignored.
struct TCmdLineSwitches {
    bool Service = false;  // "/service": the Service menu is shown
    bool AllFirm = false;  // "/allfirm": unsupported firmware versions may be connected
    bool CO2 = false;      // "/CO2": the CO2 range option
    bool Prod = false;     // "/prod": production mode
};

// Evaluates a command line whose first entry is the program itself (as
// QCoreApplication::arguments() gives it).
TCmdLineSwitches ParseCmdLine(const QStringList &arguments);
