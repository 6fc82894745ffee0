#pragma once

#include "serialconfig/uSaveChanges.h"
#include "serialconfig/uSerialPages.h"
#include "shell/uConnection.h"

// Save Changes of a serial transmitter: the identity check, the page values
// turned into the two configuration blocks, the changed blocks written in
// their fixed order, the disconnection, the new communication settings
// remembered and the result told to the user. The Ethernet record's part
// joins with the Ethernet sensors.
class TSensorWriter {
public:
    TSensorWriter(TSession &session, TSensorConnection &connection, IConnectionUi &ui);

    // Raises on failure (ESensorChanged, ESensorWrite, ESaveRefused or the
    // transport's error): nothing more is written and the sensor stays
    // connected. pages may be null when no configuration page is shown.
    void WriteToSensor(const TSerialConfigPages *pages);

    // Whether the sensor has to be powered off and on for the change to
    // take effect: RS485 lines switching to or from the Arion protocol, or
    // a ModBus sensor taking a new protocol or baud rate.
    static bool RestartNeeded(int deviceInterface, quint8 connectedProtocol, quint8 chosenProtocol, bool baudChanged);

private:
    // Writes the changed blocks; false when the user gave up on a
    // write-protected sensor.
    bool WriteBlocks(const TModbusSave &save);
    void RememberSettings(const TCommSettingsChoice &choice);

    TSession &s;
    TSensorConnection &connection_;
    IConnectionUi &ui;
};

// The configuration pages' view of a connected session.
TSerialPageContext SerialPageContextOf(const TSession &session);
