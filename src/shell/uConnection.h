#pragma once

#include "shell/uErrors.h"
#include "shell/uMessages.h"
#include "shell/uSession.h"

#include <QString>

#include <optional>

// Errors of reading, writing and identifying a connected sensor.
PELINOR_EXCEPTION(ESensorRead, Exception);
PELINOR_EXCEPTION(ESensorWrite, Exception);
PELINOR_EXCEPTION(ESensorChanged, Exception);

namespace ConnectionTexts {
QString UnexpectedFailure();    // "Unexpected sensor read/write failure occured!"
QString ConnectionFailed();     // "Sensor connection failed!"
QString PortBusy();             // "Selected port is already opened by another application!"
QString FirmwareNotSupported(); // "Firmware version on the connecting device is not supported ..."
QString DeviceNotSupported();   // "Connecting device is not supported by this program version."
QString InterfaceDifferent(const QString &typeName);
QString SensorChanged();        // "Connected sensor was changed! Select correct ..."
QString PortRemoved();          // "USB device was disconnected! Sensor will be disconnected! ..."
QString WriteProtected();       // "Sensor is write-protected! Please close jumper!"
} // namespace ConnectionTexts

// How the write-protection message speaks about the connected sensor.
TWriteProtectDevice WriteProtectDeviceOf(const TSensType &type);

// How the pages of an accepted sensor are chosen.
enum class TPageSet {
    Full,           // Information, Configuration, Output, Ethernet pages, Relay ... Service
    CalibrateOnly,  // only Service (a web-configured device whose calibration was chosen)
    ServiceOnly,    // only Service (type 88 in production service mode)
    NetworkOnly,    // only the Ethernet settings pages
    NetworkOnly108, // the same for type 108
};

// Choices of the web-configuration dialog.
enum TWebSetResult : int {
    wsAdjustViaWeb = 10,
    wsNetworkSettings = 1,
    wsCalibrate = 6,
    wsClose = 2,
};

struct TWebSetRequest {
    bool webOnly = false;        // new firmware: web interface only
    bool networkSettings = false; // offer "Network settings"
    bool calibrate = false;      // offer "Calibrate"
    QString deviceName;          // the alternative name of the type
    QString url;                 // "http://" + address [+ ":" + port]
};

// What the connection sequence needs from the front end it runs in: the
// window, the command-line tool or a test.
class IConnectionUi {
public:
    virtual ~IConnectionUi() = default;
    virtual QString StatusText() const = 0;
    virtual void SetStatusText(const QString &text) = 0;
    // The busy cursor, with the status bar repainted.
    virtual void SetBusy(bool busy) = 0;
    // Reopens the communication settings after a failed or refused connect.
    virtual void OpenCommSettings() = 0;
    // The Service menu is shown (the program runs with "/service").
    virtual bool ServiceMenuVisible() const = 0;
    virtual int ShowWebSetDialog(const TWebSetRequest &request) = 0;
    // The explosive-atmosphere warning; true when "Do not show this message
    // again" was checked.
    virtual bool ShowExWarning() = 0;
    // The password dialog; no value on Cancel.
    virtual std::optional<QString> AskPassword(const QString &title, int maxLength) = 0;
    // Lays out and shows the pages of the accepted sensor and switches to the
    // Connected state. noModbusLabel: the protocol in use cannot set up all
    // parameters.
    virtual void ShowSensor(TPageSet pages, bool noModbusLabel) = 0;
    // Hides the pages and switches to the Disconnected state; stops the
    // live reading.
    virtual void ShowDisconnected() = 0;
};

// A front end without a window: every question gets its default answer, no
// dialog opens, the status text is only kept. The command-line tool, the
// benchmarks and tests start from it.
class TQuietConnectionUi : public IConnectionUi {
public:
    QString StatusText() const override { return status_; }
    void SetStatusText(const QString &text) override { status_ = text; }
    void SetBusy(bool) override {}
    void OpenCommSettings() override {}
    bool ServiceMenuVisible() const override { return false; }
    int ShowWebSetDialog(const TWebSetRequest &) override { return wsClose; }
    bool ShowExWarning() override { return false; }
    std::optional<QString> AskPassword(const QString &, int) override { return std::nullopt; }
    void ShowSensor(TPageSet, bool) override {}
    void ShowDisconnected() override {}

private:
    QString status_;
};

enum class TConnectOutcome {
    NotStarted, // a sensor is connected already, or no interface was chosen
    Accepted,
    Failed,     // nothing answered, or the port could not be opened
    Refused,    // a device answered and was refused (firmware, type, interface)
};

// The connect and disconnect sequences of a serial sensor (Ethernet sensors
// join with their configuration record), the identity check that guards
// every write, and the reaction to a removed port. Works on the session's
// fields and objects; everything the user sees goes through IConnectionUi
// and the message seam.
class TSensorConnection {
public:
    TSensorConnection(TSession &session, IConnectionUi &ui);

    TConnectOutcome Connect();
    void Disconnect();
    // Raises ESensorWrite when the serial number cannot be read, ESensorChanged
    // when another sensor answers.
    void CheckSensorIdentity();
    // A port device has gone; name holds its COM name ("COM3").
    void PortRemoved(const QString &name);

    // The device's interface as the window counts interfaces; -1 when the
    // type has none (type 0).
    static int WindowInterfaceOfType(const TSensType &type);
    // Whether the firmware version word is supported for the type.
    static bool FirmwareSupported(const TSensType &type, quint16 version);

private:
    // Raises ESensorRead when no protocol answered.
    void IdentifySerialSensor();
    void ConfigureTransports();
    bool TryModbus();
    void DecodeModbusIdentity(const TSegmentImage &rom);
    void SetQuantitiesFromImages(int firmwareNumber);
    void CloseTransports();
    void ReportFailure();
    TConnectOutcome AcceptOrRefuse(bool firmwareOk);
    void Accept(bool calibrateOnly, bool serviceOnly, bool networkOnly, bool networkOnly108);
    bool InterfaceMatches() const;

    TSession &s;
    IConnectionUi &ui;
    QString rememberedStatus_;
};
