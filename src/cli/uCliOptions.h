#pragma once

#include "shell/uCommSettings.h"

#include <QString>
#include <QStringList>

#include <optional>

// The command line of pelinor-cli:
//   pelinor-cli identify [options]
//   pelinor-cli values [options] [--count N] [--interval MS] [--json | --csv]
// Connection options start from the user's stored communication settings:
//   --interface cable|rs232|rs485|ethernet   --port COMn|PATH
//   --baud N   --address A (number, $hex or letter)   --ip ADDRESS
//   --allfirm  (accept unsupported firmware)   --json
enum class TCliCommand { Identify, Values };

struct TCliOptions {
    TCliCommand command = TCliCommand::Identify;
    TCommSettings settings;
    // A device path given with --port that no COM number reaches.
    QString portPath;
    bool allFirmware = false;
    bool json = false;
    bool csv = false;
    int count = 1;
    int intervalMs = 0;
};

struct TCliParse {
    std::optional<TCliOptions> options;
    QString error;  // the usage error when options is empty
};

// Parses the arguments after the program name; stored is the starting point
// of the connection settings.
TCliParse ParseCliArguments(const QStringList &arguments, const TCommSettings &stored);

QString CliUsage();
