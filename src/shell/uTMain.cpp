#include "shell/uTMain.h"

#include "shell/uAppFolders.h"
#include "shell/uAppSettings.h"
#include "shell/uCmdLine.h"
#include "shell/uErrors.h"
#include "shell/uFocusRules.h"
#include "shell/uLang.h"
#include "shell/uMessages.h"
#include "shell/uPBNumEdit.h"
#include "shell/uPortWatcher.h"
#include "shell/uTAbout.h"
#include "shell/uTag.h"
#include "ui_uTMain.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QFocusEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QSettings>
#include <QShortcut>
#include <QTextEdit>

#include <algorithm>

namespace {

// The calibration groups of the Service page whose presence calls for a
// backup before calibrating.
constexpr const char *CalibrationGroups[] = {
    "gbTempCalib", "gbVarloTempCalib", "gbHYTTempCalib", "gbRHCalib",
    "gbVarloRHCalib", "gbHYTRHCalib", "gbAPCalib", "gbCO2Calib",
};
// Further Service page parts that the Calibrate command opens.
constexpr const char *CO2RangeGroup = "gbCO2Range";
constexpr const char *ProbeCalibrationFrame = "fCalibProbes";
constexpr const char *ConfManGroup = "gbConfMan";
constexpr const char *BackupNoteEdit = "eBackupNot";
// The page control a watched object's focus events belong to.
constexpr const char *FocusOwnerProperty = "pelinorFocusOwner";

// Bit 0 of status register 0x0007: the write-protection jumper is closed.
constexpr quint16 StatusJumperClosedBit = 0x0001;

} // namespace

TfTMain::TfTMain(const QStringList &arguments, QWidget *parent)
    : QMainWindow(parent), ilMenu(TImageList::MenuImages()), ui(std::make_unique<Ui::TfTMain>())
{
    ui->setupUi(this);
    statusPanel_ = new QLabel(ui->sbBottomBar);
    statusPanel_->setObjectName(QStringLiteral("sbBottomBarPanel0"));
    statusPanel_->setAlignment(Qt::AlignCenter);
    ui->sbBottomBar->addWidget(statusPanel_, 1);
    // The buttons keep their place while no pages are shown.
    QSizePolicy pagesPolicy = ui->pcConSensor->sizePolicy();
    pagesPolicy.setRetainSizeWhenHidden(true);
    ui->pcConSensor->setSizePolicy(pagesPolicy);
    ui->btnForFocus->setFocusPolicy(Qt::StrongFocus);
    idleTimer_.setSingleShot(true);
    idleTimer_.setInterval(0);
    ConnectHandlers();
    FormCreate(arguments);
}

TfTMain::~TfTMain()
{
    FormDestroy();
}

void TfTMain::ConnectHandlers()
{
    // Commands that talk to the sensor never start inside another one.
    const auto command = [this](void (TfTMain::*handler)()) {
        return [this, handler] { RunCommand([this, handler] { (this->*handler)(); }); };
    };
    connect(ui->mCommSet, &QAction::triggered, this, command(&TfTMain::CommSettings));
    connect(ui->mExit, &QAction::triggered, this, &TfTMain::mExitClick);
    connect(ui->mConnect, &QAction::triggered, this, command(&TfTMain::ToogleConnect));
    connect(ui->btnConnect, &QPushButton::clicked, this, command(&TfTMain::ToogleConnect));
    connect(ui->mUpdateFW, &QAction::triggered, this, command(&TfTMain::mUpdateFWClick));
    connect(ui->mAbout, &QAction::triggered, this, &TfTMain::mAboutClick);
    connect(ui->mSave, &QAction::triggered, this, command(&TfTMain::WriteToSensor));
    connect(ui->btnSave, &QPushButton::clicked, this, command(&TfTMain::WriteToSensor));
    // Factory Defaults, Calibrate and Configuration Management join here
    // with their handlers.
    connect(ui->pcConSensor, &QTabWidget::currentChanged, this, &TfTMain::pcConSensorCurrentChanged);
    connect(&idleTimer_, &QTimer::timeout, this, &TfTMain::IdlePass);
    // A hidden menu item loses its shortcut; Update Firmware keeps Ctrl+U
    // through a shortcut of the window that follows the item's enabled state.
    updateFWShortcut_ = new QShortcut(ui->mUpdateFW->shortcut(), this);
    connect(updateFWShortcut_, &QShortcut::activated, ui->mUpdateFW, &QAction::trigger);
}

void TfTMain::FormCreate(const QStringList &arguments)
{
    // 1. Update Firmware is reached through its shortcut only.
    ui->mUpdateFW->setVisible(false);
    lang_ = std::make_unique<TLang>(ui->mLang, QCoreApplication::applicationFilePath());
    Session.InterfaceType = InterfaceNone;
    // 2. Button glyphs.
    ui->btnConnect->setIcon(ilMenu.Icon(ImageConnect));
    ui->btnFactDefs->setIcon(ilMenu.Icon(ImageFactoryDefaults));
    ui->btnSave->setIcon(ilMenu.Icon(ImageSave));
    // 3. and 4. Options of the command line.
    Session.FirmwareCheck = true;
    Session.CO2Option = false;
    Session.ProductionMode = false;
    ui->mService->menuAction()->setVisible(false);
    ApplySwitches(arguments);
    SetUpdateFWEnabled(ui->mService->menuAction()->isVisible());
    // 5. The multi-line style of the calibration page's Sample buttons joins
    //    here with the page.
    // 6. The owned objects: the quantities, baud rate, protocol, device type,
    //    alternative names, the Modbus TCP client and the sensor register
    //    access live in Session; the backup manager (folder DataFolder +
    //    "FlashBackup"), the Ethernet configuration, telnet setup, ADAM,
    //    Arion and Poseidon access and the five working lists join here.
    //    ListPB is a member.
    CreateConnectionObjects();
    // 7. The Ethernet settings frames are wired to OnFrameChange,
    //    OnFrameExit and their test actions here.
    // 8. Every control of the pages under the save rule, numeric edits in ListPB.
    // The Information page shows values and holds no settings; the Output
    // and Configuration pages take the rule and the exact values from their
    // models.
    const QWidget *ownRule[] = {ui->tabInfo, ui->tabOutput, ui->tabConfig};
    for (int i = 0; i < ui->pcConSensor->count(); ++i)
        if (std::find(std::begin(ownRule), std::end(ownRule), ui->pcConSensor->widget(i)) == std::end(ownRule))
            WirePageControls(ui->pcConSensor->widget(i));
    // 9. Caption.
    AppNameLong = AppValues().AppNameLong;
    CompanyLabel = AppValues().CompanyLabel;
    setWindowTitle(AppNameLong + QStringLiteral(" - v. ") + ProductVersion());
    // 10. Persisted settings.
    LoadSettings();
    ShowDisconnectedState();
}

void TfTMain::ApplySwitches(const QStringList &arguments)
{
    const TCmdLineSwitches switches = ParseCmdLine(arguments);
    if (switches.Service)
        ui->mService->menuAction()->setVisible(true);
    if (switches.AllFirm)
        Session.FirmwareCheck = false;
    if (switches.CO2)
        Session.CO2Option = true;
    if (switches.Prod)
        Session.ProductionMode = true;
}

void TfTMain::FormShow()
{
    AttachMenuImages();
}

void TfTMain::AttachMenuImages()
{
    const std::pair<QAction *, int> images[] = {
        {ui->mCommSet, 0},    {ui->mLang->menuAction(), 1}, {ui->mExit, 2},      {ui->mSave, ImageSave},
        {ui->mCalibrate, 7}, {ui->mRestoreConf, 8},        {ui->mUpdateFW, 9},  {ui->mHelp2, 10},
        {ui->mAbout, 11},
    };
    for (const auto &[action, index] : images)
        action->setIcon(ilMenu.Icon(index));
    ui->mConnect->setIcon(ilMenu.Icon(connectedState_ ? ImageDisconnect : ImageConnect));
}

void TfTMain::FormActivate()
{
    if (Tag != 0)
        return;
    Tag = 1;
    // Opened once the activation has been handled, so the dialog finds the
    // window active and centres over it.
    QTimer::singleShot(0, this, &TfTMain::CommSettings);
}

void TfTMain::FormDestroy()
{
    RemoveIdleReading();
    // Closing the transports before the settings are saved.
    portWatcher_.reset();
    Session.Msp.Close();
    Session.NetMbus.Close();
    lang_.reset();
    SaveSettings();
}

bool TfTMain::event(QEvent *event)
{
    if (event->type() == QEvent::Show && !shown_) {
        shown_ = true;
        FormShow();
    } else if (event->type() == QEvent::WindowActivate) {
        FormActivate();
    }
    return QMainWindow::event(event);
}

void TfTMain::LoadSettings()
{
    const auto settings = AppSettings::Open();
    LoadDeviceSettings();
    bool ok = false;
    const int showExWrn = settings->value(QStringLiteral("OPTIONS/ShowExWrn")).toString().toInt(&ok);
    Session.ShowExWrn = ok ? showExWrn != 0 : true;
}

void TfTMain::SaveSettings()
{
    const auto settings = AppSettings::Open();
    SaveDeviceSettings();
    settings->setValue(QStringLiteral("OPTIONS/ShowExWrn"), Session.ShowExWrn ? QStringLiteral("1") : QStringLiteral("0"));
    settings->sync();
}



void TfTMain::SetStatusText(const QString &text)
{
    statusPanel_->setText(text);
}

QString TfTMain::StatusText() const
{
    return statusPanel_->text();
}






void TfTMain::ShowConnectedState()
{
    connectedState_ = true;
    ApplyMainRules(true);
}

void TfTMain::ShowDisconnectedState()
{
    connectedState_ = false;
    ApplyMainRules(true);
}

void TfTMain::ApplyMainRules(bool enteringState)
{
    TMainRulesInput in;
    in.connected = connectedState_;
    in.commSettingAccepted = CommSettingAccepted;
    in.serviceMenuVisible = ui->mService->menuAction()->isVisible();
    in.interfaceType = Session.InterfaceType;
    in.netConnected = Session.NetConnected;
    in.page = PageOf(ui->pcConSensor->currentWidget());
    in.servicePageShown = ui->pcConSensor->isTabVisible(ui->pcConSensor->indexOf(ui->tabService));
    in.calibrationVisible = AnyCalibrationVisible();
    in.confManGroupVisible = ServiceGroupVisible(ConfManGroup);
    const TMainView view = MainRules(in);

    ui->pcConSensor->setVisible(view.pagesVisible);
    ui->btnConnect->setEnabled(view.connectEnabled);
    ui->btnConnect->setText(view.connectCaption);
    ui->btnConnect->setToolTip(view.connectHint);
    ui->btnConnect->setIcon(ilMenu.Icon(view.connectImage));
    ui->mConnect->setEnabled(view.connectEnabled);
    ui->mConnect->setText(view.connectCaption);
    if (shown_)
        ui->mConnect->setIcon(ilMenu.Icon(view.connectImage));
    ui->mSensor->menuAction()->setVisible(view.sensorMenuVisible);
    ui->btnFactDefs->setVisible(view.factDefsVisible);
    ui->mCalibrate->setEnabled(view.calibrateEnabled);
    ui->mRestoreConf->setEnabled(view.restoreConfEnabled);
    SetUpdateFWEnabled(view.updateFWEnabled);
    if (enteringState) {
        SetSaveEnabled(view.saveEnabled);
        SetStatusText(view.statusText);
    }
}

void TfTMain::SetSaveEnabled(bool enabled)
{
    ui->btnSave->setEnabled(enabled);
    ui->mSave->setEnabled(enabled);
}

void TfTMain::SetUpdateFWEnabled(bool enabled)
{
    // A hidden action reports itself disabled whatever it was told; the
    // window keeps the state it gave.
    updateFWEnabled_ = enabled;
    ui->mUpdateFW->setEnabled(enabled);
    updateFWShortcut_->setEnabled(enabled);
}

void TfTMain::mExitClick()
{
    close();
}

void TfTMain::mAboutClick()
{
    TfTAbout about(AppNameLong, CompanyLabel, AppValues().ProgramFolder, this);
    about.exec();
}


void TfTMain::InstallIdleReading()
{
    idleInstalled_ = true;
    idleTimer_.start();
}

void TfTMain::RemoveIdleReading()
{
    idleInstalled_ = false;
    idleTimer_.stop();
}

void TfTMain::IdlePass()
{
    // A pass never starts inside a command or another pass: those let events
    // through while they wait. RunCommand re-arms the reading when it ends.
    if (!idleInstalled_ || inPass_ || CommandRunning())
        return;
    inPass_ = true;
    RunCommand([this] { ReadValues(); });
    inPass_ = false;
    // The next pass follows once the events that arrived meanwhile are
    // handled; a pass that removed the reading ends it.
    if (idleInstalled_)
        idleTimer_.start();
}


QWidget *TfTMain::Page(TMainPage page) const
{
    if (page == TMainPage::None)
        return nullptr;
    return ui->pcConSensor->widget(static_cast<int>(page));
}

TMainPage TfTMain::PageOf(const QWidget *page) const
{
    const int index = page != nullptr ? ui->pcConSensor->indexOf(const_cast<QWidget *>(page)) : -1;
    if (index < 0 || index >= static_cast<int>(TMainPage::None))
        return TMainPage::None;
    return static_cast<TMainPage>(index);
}

void TfTMain::ActivatePage(QWidget *page)
{
    pcConSensorChanging();
    programPageChange_ = true;
    ui->pcConSensor->setCurrentWidget(page);
    programPageChange_ = false;
    currentPage_ = ui->pcConSensor->currentWidget();
}

void TfTMain::pcConSensorCurrentChanged(int)
{
    // Only the user's page changes run the page rules; the program runs them
    // itself where it changes the page.
    const bool byUser = !programPageChange_ && ui->pcConSensor->isVisible();
    if (byUser)
        pcConSensorChanging();
    currentPage_ = ui->pcConSensor->currentWidget();
    if (byUser)
        pcConSensorChange();
}

void TfTMain::pcConSensorChanging()
{
    PreviousPage = currentPage_;
}

void TfTMain::pcConSensorChange()
{
    RunGuarded([this] {
        QWidget *page = ui->pcConSensor->currentWidget();
        ApplyMainRules(false);
        if (page == ui->tabInfo)
            InstallIdleReading();
        else
            RemoveIdleReading();
        SetControlTag(ui->tabInfo, 0);
        if (page == ui->tabService && PreviousPage != ui->tabService)
            ServicePageEntered();
    });
}

bool TfTMain::ServiceGroupVisible(const char *name) const
{
    const QWidget *group = ui->tabService->findChild<QWidget *>(QLatin1String(name));
    return group != nullptr && group->isVisibleTo(ui->tabService);
}

bool TfTMain::CalibrationGroupVisible() const
{
    for (const char *name : CalibrationGroups)
        if (ServiceGroupVisible(name))
            return true;
    return false;
}

bool TfTMain::AnyCalibrationVisible() const
{
    return CalibrationGroupVisible() || ServiceGroupVisible(CO2RangeGroup) || ServiceGroupVisible(ProbeCalibrationFrame);
}

void TfTMain::ServicePageEntered()
{
    if (!CalibrationGroupVisible() || !ServiceGroupVisible(ConfManGroup))
        return;
    const QString question = tr("It is strongly recommended to do configuration backup before calibration!") +
                             QStringLiteral("\n\n") +
                             tr("For more details see 'Manual for Calibration and Adjustment'.") +
                             QStringLiteral("\n\n") + tr("Do you wish to backup configuration now?");
    if (ShowMessageBox(question, TMsgDlgType::mtWarning, mbYes | mbNo, mrYes) == mrYes) {
        if (auto *note = ui->tabService->findChild<QLineEdit *>(QLatin1String(BackupNoteEdit)))
            note->setText(tr("Automatic backup"));
        if (PageHooks.MakeAutomaticBackup)
            RunGuarded(PageHooks.MakeAutomaticBackup);
    }
    if (Session.MspConnected && PageHooks.JumperCheckApplies && PageHooks.JumperCheckApplies() && JumperOpen())
        ShowMessageOK(tr("If you want to calibrate the sensor, please close the jumper before placing this one into "
                         "the calibration box."),
                      TMsgDlgType::mtWarning);
}

bool TfTMain::JumperOpen()
{
    // A sensor that does not answer here gives no reason to warn; the
    // calibration itself reports what fails.
    if (!PageHooks.ReadStatusRegister)
        return false;
    try {
        return (PageHooks.ReadStatusRegister() & StatusJumperClosedBit) == 0;
    } catch (const std::exception &) {
        return false;
    }
}

void TfTMain::ComponentEnter(QObject *sender)
{
    if (ControlTag(sender) == 0)
        SetControlTag(sender, 1);
}

void TfTMain::ComponentChange(QObject *sender)
{
    if (ControlTag(sender) != 1)
        return;
    SetControlTag(sender, 2);
    SetSaveEnabled(Session.SetupAllowed);
}

void TfTMain::ComponentExit(QObject *sender)
{
    auto *edit = qobject_cast<TPBNumEdit *>(sender);
    if (edit != nullptr && ControlTag(sender) == 2) {
        // The typed text counts even when the edit would only take it over
        // after this handler.
        edit->interpretText();
        // Only a value the user changed replaces the exact one: a value that
        // was merely looked at keeps its full precision.
        ListPB.SetValue(edit, edit->Value());
    }
    SetControlTag(sender, 0);
}

void TfTMain::OnFrameChange()
{
    SetSaveEnabled(Session.SetupAllowed);
}

void TfTMain::WatchFocus(QObject *watched, QWidget *control)
{
    if (watched == nullptr || watched->property(FocusOwnerProperty).isValid())
        return;
    // The owner travels with the watched object and dies with it.
    watched->setProperty(FocusOwnerProperty, QVariant::fromValue<QObject *>(control));
    watched->installEventFilter(this);
}

void TfTMain::WirePageControl(QWidget *control)
{
    if (control == nullptr || control->property(FocusOwnerProperty).isValid())
        return;
    WatchFocus(control, control);
    WatchFocus(control->focusProxy(), control);
    const auto changed = [this, control] { ComponentChange(control); };
    if (auto *number = qobject_cast<TPBNumEdit *>(control)) {
        ListPB.Register(number);
        connect(number, &QDoubleSpinBox::valueChanged, this, changed);
    } else if (auto *spin = qobject_cast<QDoubleSpinBox *>(control)) {
        connect(spin, &QDoubleSpinBox::valueChanged, this, changed);
    } else if (auto *intSpin = qobject_cast<QSpinBox *>(control)) {
        connect(intSpin, &QSpinBox::valueChanged, this, changed);
    } else if (auto *combo = qobject_cast<QComboBox *>(control)) {
        connect(combo, &QComboBox::currentIndexChanged, this, changed);
        connect(combo, &QComboBox::editTextChanged, this, changed);
    } else if (auto *edit = qobject_cast<QLineEdit *>(control)) {
        connect(edit, &QLineEdit::textChanged, this, changed);
    } else if (auto *plain = qobject_cast<QPlainTextEdit *>(control)) {
        connect(plain, &QPlainTextEdit::textChanged, this, changed);
    } else if (auto *text = qobject_cast<QTextEdit *>(control)) {
        connect(text, &QTextEdit::textChanged, this, changed);
    } else if (auto *button = qobject_cast<QAbstractButton *>(control)) {
        connect(button, &QAbstractButton::toggled, this, changed);
    }
}

void TfTMain::WirePageControls(QWidget *root)
{
    const QList<QWidget *> widgets = root->findChildren<QWidget *>();
    for (QWidget *w : widgets) {
        // The line edit inside a spin or combo box belongs to its box.
        const QWidget *parent = w->parentWidget();
        if (qobject_cast<const QAbstractSpinBox *>(parent) != nullptr || qobject_cast<const QComboBox *>(parent) != nullptr)
            continue;
        const auto *button = qobject_cast<QAbstractButton *>(w);
        const bool editor = qobject_cast<QAbstractSpinBox *>(w) != nullptr || qobject_cast<QComboBox *>(w) != nullptr ||
                            qobject_cast<QLineEdit *>(w) != nullptr || qobject_cast<QPlainTextEdit *>(w) != nullptr ||
                            qobject_cast<QTextEdit *>(w) != nullptr || (button != nullptr && button->isCheckable());
        if (editor)
            WirePageControl(w);
    }
}

bool TfTMain::eventFilter(QObject *watched, QEvent *event)
{
    const QEvent::Type type = event->type();
    if (type == QEvent::FocusIn || type == QEvent::FocusOut) {
        QObject *owner = watched->property(FocusOwnerProperty).value<QObject *>();
        if (owner != nullptr && FocusLeavesControl(static_cast<QFocusEvent *>(event)->reason())) {
            if (type == QEvent::FocusIn)
                ComponentEnter(owner);
            else
                ComponentExit(owner);
        }
    }
    return QMainWindow::eventFilter(watched, event);
}
