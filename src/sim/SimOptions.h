#pragma once

#include <QString>
#include <QStringList>

#include <optional>

struct SimProfile;

// The command line of pelinor-sim.
struct SimOptions {
    enum class Control { Auto, On, Off };

    QString profile;
    int comNumber = 0;
    bool tcp = false;
    QString tcpHost;
    quint16 tcpPort = 0;
    std::optional<int> address;
    std::optional<quint16> firmware;
    std::optional<quint32> serial;
    std::optional<int> baud;
    QString logPath;
    QString statePath;
    bool pace = false;
    bool strictBaud = false;
    bool listProfiles = false;
    // NAME or NAME=VALUE.
    QStringList faults;
    Control control = Control::Auto;

    // Parses the arguments (the first is the program); an error text when
    // they do not make sense, an empty one after --help printed the help.
    static std::optional<SimOptions> Parse(const QStringList &arguments, QString *error);
    // Applies --address, --firmware, --serial and --baud to the profile.
    void applyTo(SimProfile &profile) const;
    // Whether commands are read from standard input: with --control, or when
    // it is a pipe or socket (never from a terminal or /dev/null unasked, so
    // that "pelinor-sim ... &" keeps running).
    bool readsControl() const;
};
