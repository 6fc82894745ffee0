#pragma once

#include <QString>
#include <QtGlobal>

// The pages of the main window, in tab order.
enum class TMainPage {
    Info,
    Output,
    Config,
    Channels,
    BinaryInputs,
    Setup1,
    Setup2,
    Setup3,
    Relay,
    Input,
    CO2Ind,
    Service,
    None,
};

// What the window's command states depend on.
struct TMainRulesInput {
    bool connected = false;            // the window is in its Connected state
    bool commSettingAccepted = false;  // a communication setting was accepted once
    bool serviceMenuVisible = false;   // started with "/service"
    quint8 interfaceType = 255;
    bool netConnected = false;
    TMainPage page = TMainPage::None;  // the active page
    bool servicePageShown = false;     // the Service page is among the shown pages
    // Any calibration group, the CO2 range group or the probe calibration
    // frame of the Service page is visible.
    bool calibrationVisible = false;
    bool confManGroupVisible = false;  // the configuration-management group is visible
};

// Image list indexes of the connect button glyphs.
constexpr int ImageConnect = 3;
constexpr int ImageDisconnect = 4;
constexpr int ImageFactoryDefaults = 5;
constexpr int ImageSave = 6;

// How the window shows its state.
struct TMainView {
    bool pagesVisible = false;
    bool connectEnabled = false;
    QString connectCaption;
    QString connectHint;
    int connectImage = ImageConnect;
    bool sensorMenuVisible = false;
    bool factDefsVisible = false;
    bool calibrateEnabled = false;
    bool restoreConfEnabled = false;
    bool updateFWEnabled = false;
    // Taken over only when the window switches its state: saving waits for
    // the next user edit, and the status panel tells the new state.
    bool saveEnabled = false;
    QString statusText;
};

// Factory Defaults belongs to the configuration pages of an Ethernet sensor.
bool FactoryDefaultsShown(bool netConnected, TMainPage page);

// The window's commands for a state, the active page and the Service page's groups.
TMainView MainRules(const TMainRulesInput &in);
