#pragma once

#include "ethernetpages/uListPB.h"
#include "serialconfig/uPageBinder.h"
#include "serialconfig/uSerialPages.h"
#include "shell/uConnection.h"
#include "shell/uTComSet.h"
#include "shell/uMainRules.h"
#include "shell/uMenuImages.h"
#include "shell/uSession.h"
#include "shell/uValues.h"

#include <QCoreApplication>
#include <QMainWindow>
#include <QStringList>
#include <QTimer>

#include <deque>
#include <functional>
#include <memory>

namespace Ui {
class TfTMain;
}
class QLabel;
class QSettings;
class QShortcut;
class TLang;
class TfConfigPage;
class TfInfoPage;
class TfOutputPage;
class TPortWatcher;

// The program's one main window: the sensor's pages, the Connect, Factory
// Defaults and Save Changes buttons, the menu and the status bar. It owns the
// long-lived objects and the connection state (Session) and switches between
// its Disconnected and Connected states.
class TfTMain : public QMainWindow, private IConnectionUi, private IPageHost {
    Q_OBJECT
public:
    // arguments as QCoreApplication::arguments() gives them (program first).
    explicit TfTMain(const QStringList &arguments = QCoreApplication::arguments(), QWidget *parent = nullptr);
    ~TfTMain() override;

    // The connection state the other parts of the program read and write.
    TSession Session;
    // The page that was active before the last page change.
    QWidget *PreviousPage = nullptr;
    // Copies of the labels for the caption and the About box.
    QString AppNameLong;
    QString CompanyLabel;
    // 0 until the first activation, then 1.
    int Tag = 0;
    // A communication setting has been accepted once: Connect may be used.
    bool CommSettingAccepted = false;
    // The exact values of every numeric edit of the window.
    TListPB ListPB;
    // The menu and button glyphs.
    const TImageList ilMenu;

    // What the Service page rules need from the device side; absent hooks
    // count as "no".
    struct TPageHooks {
        // A family-1 sensor, identified through a serial protocol, speaking
        // Modbus, not a service-cable device: its calibration needs the jumper.
        std::function<bool()> JumperCheckApplies;
        // Reads status register 0x0007 from the sensor; raises on failure.
        std::function<quint16()> ReadStatusRegister;
        // Backs the configuration up at once (the Backup button's handler).
        std::function<void()> MakeAutomaticBackup;
    };
    TPageHooks PageHooks;

    // Status panel 0.
    void SetStatusText(const QString &text) override;
    QString StatusText() const override;

    // Opens the communication settings dialog preset with the settings given
    // and returns how it closed (tests put their own answer here).
    std::function<TCommSettingsOutcome(TCommSettings &settings, bool productionOption)> CommSettingsDialog;

    // The connect and disconnect sequences over Session.
    TSensorConnection &Connection() { return *connection_; }
    // Runs a command of the user to its end. A command that arrives while
    // another one waits (and so lets events through) is carried out when
    // that one has ended, so no command closes a port under another.
    void RunCommand(const std::function<void()> &command);
    bool CommandRunning() const { return commandDepth_ > 0; }

    // Commands.
    void CommSettings();
    void ToogleConnect();
    void Connect();
    void Disconnect();
    void mExitClick();
    void mAboutClick();
    void mUpdateFWClick();
    // Save Changes (btnSave, mSave): writes the pages' settings to the
    // sensor and disconnects it.
    void WriteToSensor();

    // The Output and Configuration pages of the connected serial sensor;
    // nullptr while none is connected (or its page set has none).
    TSerialConfigPages *SerialConfigPages() const { return serialPages_.get(); }

    // The two window states of the connection.
    void ShowConnectedState();
    void ShowDisconnectedState();
    bool IsConnectedState() const { return connectedState_; }
    // Update Firmware may be used (through Ctrl+U; its item stays hidden).
    bool UpdateFWEnabled() const { return updateFWEnabled_; }

    // The live reading of the Information page, run whenever the program is
    // idle while installed.
    bool IdleReadingInstalled() const { return idleInstalled_; }
    void InstallIdleReading();
    void RemoveIdleReading();
    void ReadValues();
    // The Activate button of relay 1 or 2: toggles its far control.
    void bFarCondReClick(int relay);

    // Pages.
    QWidget *Page(TMainPage page) const;
    TMainPage PageOf(const QWidget *page) const;
    // A page change by the program: the page rules are not run.
    void ActivatePage(QWidget *page);
    void pcConSensorChanging();
    void pcConSensorChange();

    // The save rule of the pages' edit controls.
    void ComponentEnter(QObject *sender);
    void ComponentChange(QObject *sender);
    void ComponentExit(QObject *sender);
    void OnFrameChange();
    // Puts a control of a page under the save rule (numeric edits also join
    // ListPB). FormCreate does this for every control of the pages.
    void WirePageControl(QWidget *control);
    void WirePageControls(QWidget *root);

protected:
    bool event(QEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    // IConnectionUi: what the connection sequence asks of the window.
    void SetBusy(bool busy) override;
    void OpenCommSettings() override;
    bool ServiceMenuVisible() const override;
    int ShowWebSetDialog(const TWebSetRequest &request) override;
    bool ShowExWarning() override;
    std::optional<QString> AskPassword(const QString &title, int maxLength) override;
    void ShowSensor(TPageSet pages, bool noModbusLabel) override;
    void ShowDisconnected() override;

    // IPageHost: what the model-driven pages ask of the window.
    void RunPageAction(const std::function<void()> &action) override;
    void RefreshPages() override;
    void SetPageSaveEnabled(bool enabled) override;
    void MovePageFocus(TFocusRequest target) override;
    void StartPageSave() override;

    void ShowPages(TPageSet pages);
    void LayoutInformationPage();
    void CreateSerialPages();
    void FillSerialPages();
    void ReleaseSerialPages();
    void ReadingFailed();
    void OnPortRemoved(const QString &portName);
    void FormCreate(const QStringList &arguments);
    void FormShow();
    void FormActivate();
    void FormDestroy();

    void ConnectHandlers();
    void ApplySwitches(const QStringList &arguments);
    void LoadSettings();
    void SaveSettings();
    void LoadDeviceSettings();
    void SaveDeviceSettings();
    void CreateConnectionObjects();
    void AttachMenuImages();

    void ApplyMainRules(bool enteringState);
    void SetSaveEnabled(bool enabled);
    void SetUpdateFWEnabled(bool enabled);
    void ConnectOrDisconnect();
    void IdlePass();
    void pcConSensorCurrentChanged(int index);
    void ServicePageEntered();
    bool ServiceGroupVisible(const char *name) const;
    bool CalibrationGroupVisible() const;
    bool AnyCalibrationVisible() const;
    bool JumperOpen();
    void WatchFocus(QObject *watched, QWidget *control);

    std::unique_ptr<Ui::TfTMain> ui;
    std::unique_ptr<TSensorConnection> connection_;
    TfInfoPage *infoPage_ = nullptr;
    TInformationLayout infoLayout_;
    TfOutputPage *outputPage_ = nullptr;
    TfConfigPage *configPage_ = nullptr;
    // Kept from the sensor's acceptance to its disconnection; the binders
    // go first.
    std::unique_ptr<TSerialConfigPages> serialPages_;
    std::unique_ptr<TPageBinder> outputBinder_;
    std::unique_ptr<TPageBinder> configBinder_;
    std::unique_ptr<TPortWatcher> portWatcher_;
    int commandDepth_ = 0;
    std::deque<std::function<void()>> deferred_;
    bool closePending_ = false;
    std::unique_ptr<TLang> lang_;
    QLabel *statusPanel_ = nullptr;
    QShortcut *updateFWShortcut_ = nullptr;
    QTimer idleTimer_;
    bool idleInstalled_ = false;
    bool inPass_ = false;
    bool connectedState_ = false;
    bool shown_ = false;
    bool programPageChange_ = false;
    QWidget *currentPage_ = nullptr;
    bool updateFWEnabled_ = false;
};
