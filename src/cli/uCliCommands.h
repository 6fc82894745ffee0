#pragma once

#include "cli/uCliOptions.h"

#include <QTextStream>

// Exit codes of pelinor-cli.
enum TCliExit : int {
    ceAccepted = 0,
    ceUsage = 2,
    ceNoAnswer = 3,
    ceRefused = 4,
};

// Connects the sensor the options name, prints its identification (or the
// refusal) to out and returns the exit code.
int RunIdentify(const TCliOptions &options, QTextStream &out, QTextStream &err);
// Connects, then prints options.count reading passes of the live values.
int RunValues(const TCliOptions &options, QTextStream &out, QTextStream &err);
