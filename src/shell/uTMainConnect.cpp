// The main window's side of the connection: its commands, the connect and
// disconnect sequences' requests to the window, the Information page's
// reading and the reaction to a removed port.

#include "shell/uTMain.h"

#include "model/uDeviceTypeTable.h"
#include "serialconfig/uConfigPage.h"
#include "serialconfig/uRegisterMap.h"
#include "shell/uAppFolders.h"
#include "shell/uAppSettings.h"
#include "shell/uClock.h"
#include "shell/uCommSettings.h"
#include "shell/uExWrnDlg.h"
#include "shell/uInfoPage.h"
#include "shell/uMessages.h"
#include "shell/uPortWatcher.h"
#include "shell/uTComSet.h"
#include "shell/uTTelnetPswd.h"
#include "shell/uTag.h"
#include "shell/uWebSetDlg.h"
#include "transport/uPortNames.h"
#include "ui_uTMain.h"

#include <QApplication>
#include <QCloseEvent>
#include <QFileInfo>
#include <QLabel>
#include <QVBoxLayout>

namespace {

// The Information page gives up on a sensor that keeps failing this long.
constexpr quint32 ReadingFailureLimitMs = 999;


} // namespace

void TfTMain::CreateConnectionObjects()
{
    CommSettingsDialog = [this](TCommSettings &settings, bool productionOption) {
        return RunCommSettings(this, settings, productionOption);
    };
    IConnectionUi &windowUi = *this;
    connection_ = std::make_unique<TSensorConnection>(Session, windowUi);
    if (QFileInfo::exists(AppValues().IniFileName)) {
        try {
            Session.AlterNames.LoadFromIni(AppValues().IniFileName, QStringLiteral("types"));
        } catch (const Exception &) {
            // Without alternative names the model names are shown.
        }
    }
    auto *layout = new QVBoxLayout(ui->tabInfo);
    infoPage_ = new TfInfoPage(ui->tabInfo);
    layout->addWidget(infoPage_);
    connect(infoPage_, &TfInfoPage::FarControlClicked, this,
            [this](int relay) { RunCommand([this, relay] { bFarCondReClick(relay); }); });
    CreateSerialPages();

    portWatcher_ = std::make_unique<TPortWatcher>();
    connect(portWatcher_.get(), &TPortWatcher::PortRemoved, this,
            [this](const QString &name) { RunCommand([this, name] { OnPortRemoved(name); }); });

    PageHooks.JumperCheckApplies = [this] {
        const int device = Session.SensType.GetInterface();
        return Session.MspConnected && Session.SensType.GetFamily() == DeviceFamily::Transmitter &&
               Session.Protocol.GetProtocolType() == ProtocolType::ModBus && device != DeviceInterface::CurrentOutput &&
               device != DeviceInterface::VoltageOutput;
    };
    PageHooks.ReadStatusRegister = [this] { return Session.Msp.ReadRegister(Reg::Status); };
}

void TfTMain::LoadDeviceSettings()
{
    Session.TakeCommSettings(CommSettings::Load());
}

void TfTMain::SaveDeviceSettings()
{
    CommSettings::Save(Session.CommSettings());
}

void TfTMain::RunCommand(const std::function<void()> &command)
{
    if (CommandRunning()) {
        deferred_.push_back(command);
        return;
    }
    ++commandDepth_;
    RunGuarded(command);
    while (!deferred_.empty()) {
        const std::function<void()> next = deferred_.front();
        deferred_.pop_front();
        RunGuarded(next);
    }
    --commandDepth_;
    if (idleInstalled_ && !inPass_ && !idleTimer_.isActive())
        idleTimer_.start();
    if (closePending_) {
        closePending_ = false;
        QTimer::singleShot(0, this, &QWidget::close);
    }
}

void TfTMain::closeEvent(QCloseEvent *event)
{
    // A command that waits for the sensor ends first.
    if (CommandRunning()) {
        closePending_ = true;
        event->ignore();
        return;
    }
    QMainWindow::closeEvent(event);
}

void TfTMain::CommSettings()
{
    const QString remembered = StatusText();
    SetStatusText(QString());
    TCommSettings chosen = Session.CommSettings();
    const bool productionOption = ServiceMenuVisible() && Session.ProductionMode;
    switch (CommSettingsDialog(chosen, productionOption)) {
    case TCommSettingsOutcome::Accepted:
        CommSettingAccepted = true;
        Disconnect();
        if (chosen.InterfaceType == icEthernet)
            CommSettings::ClearArpEntry(chosen.IPAddress);
        Session.TakeCommSettings(chosen);
        Connect();
        break;
    case TCommSettingsOutcome::AcceptedUnknownBaud:
        break;
    case TCommSettingsOutcome::Cancelled:
        SetStatusText(remembered);
        break;
    }
}

void TfTMain::ToogleConnect()
{
    // During a reading pass the toggle waits for the pass to end.
    if (IdleReadingInstalled()) {
        SetControlTag(ui->btnConnect, 1);
        return;
    }
    ConnectOrDisconnect();
}

void TfTMain::ConnectOrDisconnect()
{
    if (Session.Connected())
        Disconnect();
    else
        Connect();
}

void TfTMain::Connect()
{
    connection_->Connect();
}

void TfTMain::Disconnect()
{
    connection_->Disconnect();
}

void TfTMain::mUpdateFWClick()
{
    if (Session.Connected())
        Disconnect();
    // The firmware upgrade dialog opens here with Session.IPAddress.
}

void TfTMain::SetBusy(bool busy)
{
    if (busy)
        QApplication::setOverrideCursor(Qt::WaitCursor);
    else
        QApplication::restoreOverrideCursor();
    statusPanel_->repaint();
}

void TfTMain::OpenCommSettings()
{
    CommSettings();
}

bool TfTMain::ServiceMenuVisible() const
{
    return ui->mService->menuAction()->isVisible();
}

int TfTMain::ShowWebSetDialog(const TWebSetRequest &request)
{
    return TfWebSetDlg::Execute(this, request);
}

bool TfTMain::ShowExWarning()
{
    return TfExWrnDlg::Execute(this);
}

std::optional<QString> TfTMain::AskPassword(const QString &title, int maxLength)
{
    return TfTTelnetPswd::Execute(this, title, maxLength);
}

void TfTMain::ShowPages(TPageSet pages)
{
    QTabWidget *tabs = ui->pcConSensor;
    for (int i = 0; i < tabs->count(); ++i)
        tabs->setTabVisible(i, false);
    ReleaseSerialPages();
    switch (pages) {
    case TPageSet::Full:
        tabs->setTabVisible(tabs->indexOf(ui->tabInfo), true);
        LayoutInformationPage();
        // The models show the Output and Configuration pages only for what
        // the device has.
        FillSerialPages();
        // The Ethernet, Relay, Input, CO2 Indication and Service pages are
        // filled and shown here as they join.
        break;
    case TPageSet::CalibrateOnly:
    case TPageSet::ServiceOnly:
        tabs->setTabVisible(tabs->indexOf(ui->tabService), true);
        break;
    case TPageSet::NetworkOnly:
    case TPageSet::NetworkOnly108:
        // The Ethernet settings pages join here.
        break;
    }
}

void TfTMain::LayoutInformationPage()
{
    infoLayout_ = ::LayoutInformationPage(Session);
    infoPage_->ApplyLayout(infoLayout_);
}

void TfTMain::ShowSensor(TPageSet pages, bool noModbusLabel)
{
    ShowPages(pages);
    configPage_->ShowNoModbusLabel(noModbusLabel);
    QWidget *first = ui->tabInfo;
    if (pages == TPageSet::CalibrateOnly || pages == TPageSet::ServiceOnly)
        first = ui->tabService;
    else if (pages == TPageSet::NetworkOnly || pages == TPageSet::NetworkOnly108)
        first = ui->tabSetup1;
    ui->pcConSensor->show();
    ActivatePage(first);
    pcConSensorChange();
    ShowConnectedState();
    if (Session.InterfaceType != InterfaceEthernet)
        portWatcher_->Watch(Session.ComPort, PortNames::DevicePath(Session.ComPort));
}

void TfTMain::ShowDisconnected()
{
    if (ui->btnConnect->isVisible() && ui->btnConnect->isEnabled())
        ui->btnConnect->setFocus();
    ui->pcConSensor->hide();
    ShowDisconnectedState();
    // Without a sensor there is nothing to read.
    RemoveIdleReading();
    portWatcher_->Stop();
    ReleaseSerialPages();
    // The probe calibration frame is reset here.
}

void TfTMain::OnPortRemoved(const QString &portName)
{
    connection_->PortRemoved(portName);
}

void TfTMain::ReadValues()
{
    try {
        const TValuesPass pass = ReadValuesPass(Session, infoLayout_);
        infoPage_->ShowValues(pass.values, pass.relays);
        SetControlTag(ui->tabInfo, 0);
    } catch (const std::exception &) {
        ReadingFailed();
    }
    if (ControlTag(ui->btnConnect) == 1) {
        SetControlTag(ui->btnConnect, 0);
        ConnectOrDisconnect();
    }
}

void TfTMain::ReadingFailed()
{
    infoPage_->ShowReadingError();
    if (ControlTag(ui->tabInfo) == 0) {
        Session.ReadFailSince = GetTickCount();
        SetControlTag(ui->tabInfo, 1);
        return;
    }
    if (GetTickCount() - Session.ReadFailSince <= ReadingFailureLimitMs)
        return;
    Disconnect();
    SetControlTag(ui->tabInfo, 0);
    ShowMessageOK(tr("Reading of values has failed!"), TMsgDlgType::mtWarning);
    CommSettings();
}

void TfTMain::bFarCondReClick(int relay)
{
    const quint16 reg = relay == 1 ? Reg::FarRelay1 : Reg::FarRelay2;
    const TWriteProtectDevice device = WriteProtectDeviceOf(Session.SensType);
    for (;;) {
        SetBusy(true);
        try {
            const quint16 state = Session.Msp.ReadRegister(reg);
            Session.Msp.WriteRegister(reg, state != 0 ? 0 : 1);
            SetBusy(false);
            return;
        } catch (const Exception &e) {
            SetBusy(false);
            const bool writeProtected = e.Message() == WriteProtectedText();
            const int answer =
                writeProtected
                    ? ShowWriteProtected(ConnectionTexts::WriteProtected(), TMsgDlgType::mtError,
                                         mrRetry, mbAbort | mbRetry | mbHelp, device)
                    : ShowMessageBox(ConnectionTexts::UnexpectedFailure(), TMsgDlgType::mtError, mbAbort | mbRetry,
                                     mrRetry);
            if (answer != mrRetry)
                return;
        }
    }
}
