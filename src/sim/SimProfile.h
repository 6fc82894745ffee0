#pragma once

#include "SimLiveValues.h"

#include <QList>
#include <QMap>
#include <QString>
#include <QStringList>

#include <optional>

// One device as it leaves the factory: a small JSON file under profiles/,
// compiled into the program. The profile gives the identity (device id,
// serial number, firmware version and date), the line settings, the
// configuration and unit words, output ranges and channels, relay settings
// and the conditions the sensor measures. SimFactory turns it into memory.
//
// Keys (words as numbers or "0x..." texts):
//   name, summary, interface (1 4-20 mA, 2 0-10 V, 3 RS232, 4 RS485),
//   serviceCable, deviceId, serial (eight hex digits), firmware,
//   firmwareDate (high byte year in 2000s, low byte month, both as hex
//   digits), protocol, protocolOption, baud, address, configWord, unitWord,
//   relayWord, statusWord, longLastSegment, quantities (temperature,
//   humidity, pressure, co2), values ({quantity: number or "error"}), drift,
//   ranges ({quantity: [low, high]}, quantity also "computed"),
//   outputs ([{quantity, converter: [low, high], voltage: [low, high]}]),
//   relays ([{quantity: code, value, hysteresis, greater, actOnError,
//   closeOnError}]), registers ({reference: word}), floats ({reference: value}).
struct SimProfile {
    struct Range {
        double low = 0;
        double high = 0;
    };
    struct Output {
        QString quantity;
        Range converter;
        std::optional<Range> voltage;
    };
    struct Relay {
        int quantityCode = 0;
        double value = 0;
        double hysteresis = 0;
        bool greater = false;
        bool actOnError = false;
        bool closeOnError = false;
    };

    QString name;
    QString summary;
    int interface = 0;
    bool serviceCable = false;
    quint16 deviceId = 0;
    quint32 serial = 0;
    quint16 firmware = 0;
    quint16 firmwareDate = 0;
    quint16 protocol = 0;
    quint16 protocolOption = 0;
    int baud = 9600;
    int address = 1;
    quint16 configWord = 0;
    quint16 unitWord = 0;
    quint16 relayWord = 0;
    quint16 statusWord = 0;
    bool longLastSegment = false;
    QStringList quantities;
    LiveValues::Conditions values;
    bool drift = true;
    QMap<QString, Range> ranges;
    QList<Output> outputs;
    QList<Relay> relays;
    QMap<quint16, quint16> registers;
    QMap<quint16, double> floats;

    LiveValues::FourthChannel fourthChannel() const;
    // The program's interface choice that fits the device: 0 service cable,
    // 1 RS232, 2 RS485.
    int connectionType() const;
    // One line for --list-profiles.
    QString listing() const;

    static QStringList Names();
    static std::optional<SimProfile> Load(const QString &name, QString *error);
    static std::optional<SimProfile> Parse(const QByteArray &json, QString *error);
};

// Parses a serial number of eight hex digits.
std::optional<quint32> ParseSerial(const QString &text);
QString SerialText(quint32 serial);
