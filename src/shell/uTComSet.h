#pragma once

#include "shell/uCommSettings.h"

#include <QDialog>

#include <memory>

class QButtonGroup;
class QKeyEvent;

namespace Ui {
class TfComSet;
}

// The "Communication Settings" dialog: how the sensor is attached (service
// cable, RS232, RS485 or Ethernet), with COM port, baud rate and device
// address for the serial lines and an IP address for Ethernet. Created for
// one use. OK checks the entries in a fixed order; the first failure shows
// its message, puts the focus on its control and keeps the dialog open.
class TfComSet : public QDialog {
    Q_OBJECT
public:
    explicit TfComSet(QWidget *parent = nullptr);
    ~TfComSet() override;

    // Set when the Service menu is shown in production mode: the service
    // cable then offers the baud rate too.
    void SetProductionOption(bool on);
    bool ProductionOption() const { return productionOption_; }

    // Presetters. Each raises EConvertError for a value the dialog cannot
    // show: "Invalid baud rate!", "Invalid device address!", "Invalid IP
    // address!". Set the letter flag before the address.
    void PresetInterface(quint8 type); // 255 (none) leaves the choice as it is
    void PresetComPort(int portNo);
    void PresetBaudRate(int bitsPerSecond); // UnknownBaudRate selects "Unknown"
    void PresetCharAddress(bool character);
    void PresetAddress(int address);
    void PresetIPAddress(const QString &ip);
    // All six in the order above.
    void Preset(const TCommSettings &settings);

    // The results behind OK (before OK: the presets).
    quint8 InterfaceType() const { return results_.InterfaceType; }
    quint8 ComPort() const { return results_.ComPort; }
    int BaudRate() const { return results_.BaudRate; }
    bool CharAddress() const { return results_.CharAddress; }
    quint8 DeviceAddress() const { return results_.DeviceAddress; }
    QString IPAddress() const { return results_.IPAddress; }
    const TCommSettings &Results() const { return results_; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void showEvent(QShowEvent *event) override;

private:
    void rgCommTypeClick();
    void ShowControlsFor(int type, bool productionOption);
    void FixSizeForEveryInterface();
    void cbComPortDropDown();
    void btnFindClick();
    void btnOKClick();
    // Key filters: true lets the key through.
    bool eDevAddrKeyPress(const QKeyEvent *event) const;
    bool eIPKeyPress(const QKeyEvent *event) const;

    // Probes the ports and lists those that exist; false when the selection
    // made before is no longer there.
    bool FillComPortList();
    void SelectComPort(int portNo);
    int SelectedComPort() const;
    int SelectedInterface() const;
    void WarnOnceNoComPorts();
    void Refuse(const QString &text, QWidget *control);
    bool TakeComPort(TCommSettings &r);
    bool TakeAddress(TCommSettings &r);
    bool TakeIPAddress(TCommSettings &r);

    std::unique_ptr<Ui::TfComSet> ui;
    QButtonGroup *commType_ = nullptr;
    TCommSettings results_;
    bool productionOption_ = false;
    bool noPortWarned_ = false;
    bool shownOnce_ = false;
};

enum class TCommSettingsOutcome {
    Cancelled,           // the window restores its status text
    AcceptedUnknownBaud, // OK with baud rate "Unknown": nothing further happens
    Accepted,            // fields hold the new settings
};

// The main window's CommSettings command without the window's own steps:
// creates the dialog, sets its production option, presets it from fields
// unless fields.InterfaceType is none (the dialog then opens with its
// defaults), shows it and releases it. A preset the dialog refuses is shown
// in an error box and the dialog opens with what could be preset.
//
// fields is changed only on Accepted. The window passes a copy of its
// current settings and, on Accepted, disconnects, clears the ARP entry for
// an Ethernet sensor (CommSettings::ClearArpEntry), takes the copy over into
// its fields and connects:
//
//     TCommSettings chosen = CurrentCommSettings();
//     switch (RunCommSettings(this, chosen, mService->isVisible() && ProductionMode)) {
//     case TCommSettingsOutcome::Accepted:
//         Disconnect();
//         if (chosen.InterfaceType == icEthernet)
//             CommSettings::ClearArpEntry(chosen.IPAddress);
//         TakeCommSettings(chosen);
//         Connect();
//         break;
//     case TCommSettingsOutcome::AcceptedUnknownBaud: break;
//     case TCommSettingsOutcome::Cancelled: RestoreStatusText(); break;
//     }
TCommSettingsOutcome RunCommSettings(QWidget *parent, TCommSettings &fields, bool productionOption);
