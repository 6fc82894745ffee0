#include "shell/uAppFolders.h"
#include "shell/uAppSettings.h"
#include "shell/uErrors.h"
#include "shell/uPBNumEdit.h"
#include "shell/uTAbout.h"
#include "shell/uTMain.h"
#include "shell/uTag.h"
#include "support/ScriptedMessages.h"
#include "support/TestActions.h"
#include "support/TestMainGui.h"

#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QStatusBar>
#include <QTabBar>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

namespace {

const QString BackupQuestion = QStringLiteral(
    "It is strongly recommended to do configuration backup before calibration!\n\n"
    "For more details see 'Manual for Calibration and Adjustment'.\n\n"
    "Do you wish to backup configuration now?");
const QString JumperWarning = QStringLiteral(
    "If you want to calibrate the sensor, please close the jumper before placing this one into the calibration box.");

template <typename T = QWidget>
T *Child(QObject *root, const char *name)
{
    return root->findChild<T *>(QLatin1String(name));
}

QAction *MenuOf(QObject *root, const char *name)
{
    QMenu *menu = Child<QMenu>(root, name);
    return menu != nullptr ? menu->menuAction() : nullptr;
}

// The window, shown and active, as after an accepted communication setting.
std::unique_ptr<TfTMain> ShownWindow(const QStringList &switches = {})
{
    auto w = std::make_unique<TfTMain>(QStringList{QStringLiteral("pelinor")} + switches);
    w->CommSettingsDialog = [](TCommSettings &, bool) { return TCommSettingsOutcome::Cancelled; };
    w->show();
    w->activateWindow();
    if (!QTest::qWaitForWindowActive(w.get()))
        qWarning("the window did not become active");
    QTest::qWait(1);  // the first activation's settings dialog
    return w;
}

// Connects through the window's own sequence and marks the sensor as found
// on the given road.
void ConnectSensor(TfTMain &w, quint8 interfaceType, bool setupAllowed = true)
{
    w.CommSettingAccepted = true;
    w.Session.InterfaceType = interfaceType;
    w.Session.NetConnected = interfaceType == InterfaceEthernet;
    w.Session.MspConnected = interfaceType != InterfaceEthernet;
    w.Session.SetupAllowed = setupAllowed;
    Child<QTabWidget>(&w, "pcConSensor")->show();
    w.ActivatePage(Child(&w, "tabInfo"));
    w.pcConSensorChange();
    w.ShowConnectedState();
}

// A page change as the user makes it: a click on the page's tab.
void ClickPage(TfTMain &w, const char *page)
{
    auto *pages = Child<QTabWidget>(&w, "pcConSensor");
    const int index = pages->indexOf(Child(&w, page));
    QTest::mouseClick(pages->tabBar(), Qt::LeftButton, {}, pages->tabBar()->tabRect(index).center());
}

// A group of the Service page as its preparation shows it.
QGroupBox *AddGroup(QWidget *page, const char *name)
{
    auto *group = new QGroupBox(page);
    group->setObjectName(QLatin1String(name));
    group->show();
    return group;
}

bool SaveEnabled(TfTMain &w)
{
    const bool button = Child<QPushButton>(&w, "btnSave")->isEnabled();
    const bool menu = Child<QAction>(&w, "mSave")->isEnabled();
    if (button != menu)
        qWarning("btnSave and mSave disagree");
    return button && menu;
}

} // namespace

class TestTMain : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init();
    void controlsAndCaptions();
    void menus_data();
    void menus();
    void switches_data();
    void switches();
    void firstActivationLeavesWindowDisconnected();
    void factoryDefaultsByPage_data();
    void factoryDefaultsByPage();
    void disconnectRestoresDisconnectedState();
    void idleReadingFollowsInformationPage();
    void connectClickDuringReadingIsDeferred();
    void userEditEnablesSaveExactlyToSetupAllowed_data();
    void userEditEnablesSaveExactlyToSetupAllowed();
    void programChangesNeverEnableSave();
    void numericEditKeepsExactValueUnlessEdited();
    void frameChangeEnablesSaveToSetupAllowed();
    void serviceEntry_data();
    void serviceEntry();
    void backupQuestionEachTimeServiceIsEntered();
    void calibrateAndConfigurationMenusFollowServiceGroups();
    void updateFirmwareShortcutWorksWhileItemHidden();
    void showExWrnIsReadAndWritten();
    void captionAndAboutFromIniLabels();

private:
    QTemporaryDir dir_;
    std::unique_ptr<TScriptedMessages> messages_;
};

void TestTMain::init()
{
    messages_.reset();
    messages_ = std::make_unique<TScriptedMessages>();
    SetAppFolders(dir_.path());
}

void TestTMain::controlsAndCaptions()
{
    TfTMain w({QStringLiteral("pelinor")});
    QCOMPARE(w.windowTitle(), QStringLiteral("Sensors Setup Utility - v. 0.1.0.0"));
    auto *pages = Child<QTabWidget>(&w, "pcConSensor");
    QVERIFY(pages != nullptr);
    const QList<std::pair<QString, QString>> expected = {
        {"tabInfo", "Information"},    {"tabOutput", "Output"},   {"tabConfig", "Configuration"},
        {"tabChannels", "Channels"},   {"tabBinaryInputs", "Binary Inputs"}, {"tabSetup1", "Setup I"},
        {"tabSetup2", "Setup II"},     {"tabSetup3", "Setup III"}, {"tabRelay", "Relay"},
        {"tabInput", "Input"},         {"tabCO2Ind", "CO2 Indication"},     {"tabService", "Service"},
    };
    QCOMPARE(pages->count(), expected.size());
    for (int i = 0; i < pages->count(); ++i) {
        QCOMPARE(pages->widget(i)->objectName(), expected[i].first);
        QCOMPARE(pages->tabText(i), expected[i].second);
    }
    QVERIFY(pages->isHidden());
    auto *connect = Child<QPushButton>(&w, "btnConnect");
    QCOMPARE(connect->text(), QStringLiteral("Connect"));
    QVERIFY(!connect->isEnabled());
    auto *factDefs = Child<QPushButton>(&w, "btnFactDefs");
    QCOMPARE(factDefs->text(), QStringLiteral("Factory Defaults"));
    QCOMPARE(factDefs->toolTip(), QStringLiteral("Store the factory default settings to the sensor and disconnect it."));
    QVERIFY(factDefs->isHidden());
    auto *save = Child<QPushButton>(&w, "btnSave");
    QCOMPARE(save->text(), QStringLiteral("Save Changes"));
    QCOMPARE(save->toolTip(), QStringLiteral("Store the user defined settings to the sensor and disconnect it."));
    QVERIFY(!save->isEnabled());
    QCOMPARE(Child(&w, "btnForFocus")->maximumSize(), QSize(0, 0));
    auto *status = Child<QStatusBar>(&w, "sbBottomBar");
    const QList<QLabel *> panels = status->findChildren<QLabel *>(QString(), Qt::FindDirectChildrenOnly);
    QCOMPARE(panels.size(), 1);
    QVERIFY(panels[0]->alignment() & Qt::AlignHCenter);
    w.SetStatusText(QStringLiteral("Sensor connecting in progress, please wait..."));
    QCOMPARE(panels[0]->text(), w.StatusText());
    QCOMPARE(w.StatusText(), QStringLiteral("Sensor connecting in progress, please wait..."));
}

void TestTMain::menus_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QString>("shortcut");
    QTest::addColumn<QString>("menu");
    QTest::addColumn<bool>("visible");
    QTest::addColumn<bool>("enabled");
    QTest::newRow("mCommSet") << "mCommSet" << "Communication Settings ..." << "Ctrl+S" << "mProgram" << true << true;
    QTest::newRow("mExit") << "mExit" << "Exit" << "Alt+X" << "mProgram" << true << true;
    QTest::newRow("mConnect") << "mConnect" << "Connect" << "Ctrl+O" << "mSensor" << true << false;
    QTest::newRow("mSave") << "mSave" << "Save Changes" << "Ctrl+W" << "mSensor" << true << false;
    QTest::newRow("mCalibrate") << "mCalibrate" << "Calibrate ..." << "" << "mService" << true << false;
    QTest::newRow("mRestoreConf") << "mRestoreConf" << "Configuration Management ..." << "" << "mService" << true
                                  << false;
    QTest::newRow("mUpdateFW") << "mUpdateFW" << "Update Firmware ..." << "Ctrl+U" << "mService" << false << false;
    QTest::newRow("mHelp2") << "mHelp2" << "Help" << "" << "mHelp1" << false << true;
    QTest::newRow("mAbout") << "mAbout" << "About ..." << "F1" << "mHelp1" << true << true;
}

void TestTMain::menus()
{
    QFETCH(QString, name);
    const auto w = ShownWindow();
    auto *action = w->findChild<QAction *>(name);
    QVERIFY(action != nullptr);
    QTEST(action->text(), "caption");
    QTEST(action->shortcut().toString(), "shortcut");
    QFETCH(bool, visible);
    QCOMPARE(action->isVisible(), visible);
    // A hidden action always reports itself disabled.
    if (visible)
        QTEST(action->isEnabled(), "enabled");
    QFETCH(QString, menu);
    QVERIFY(Child<QMenu>(w.get(), menu.toLatin1().constData())->actions().contains(action));
    QVERIFY2(!action->icon().isNull(), "menu images are attached when the window is shown");
}

void TestTMain::switches_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<bool>("serviceMenu");
    QTest::addColumn<bool>("firmwareCheck");
    QTest::addColumn<bool>("co2");
    QTest::addColumn<bool>("production");
    QTest::newRow("none") << QStringList{} << false << true << false << false;
    QTest::newRow("/service /prod") << QStringList{"/service", "/prod"} << true << true << false << true;
    QTest::newRow("capitals have no effect") << QStringList{"/SERVICE", "/PROD", "/co2", "/ALLFIRM"} << false << true
                                             << false << false;
    QTest::newRow("/allfirm /CO2") << QStringList{"/CO2", "x", "/allfirm"} << false << false << true << false;
}

void TestTMain::switches()
{
    QFETCH(QStringList, arguments);
    TfTMain w(QStringList{QStringLiteral("pelinor")} + arguments);
    QFETCH(bool, serviceMenu);
    QCOMPARE(MenuOf(&w, "mService")->isVisible(), serviceMenu);
    QCOMPARE(w.UpdateFWEnabled(), serviceMenu);
    QVERIFY(!Child<QAction>(&w, "mUpdateFW")->isVisible());
    QTEST(w.Session.FirmwareCheck, "firmwareCheck");
    QTEST(w.Session.CO2Option, "co2");
    QTEST(w.Session.ProductionMode, "production");
}

void TestTMain::firstActivationLeavesWindowDisconnected()
{
    TfTMain w({QStringLiteral("pelinor")});
    int dialogs = 0;
    w.CommSettingsDialog = [&dialogs](TCommSettings &, bool) {
        ++dialogs;
        return TCommSettingsOutcome::Cancelled;
    };
    QCOMPARE(w.Tag, 0);
    w.show();
    QVERIFY(QTest::qWaitForWindowActive(&w));
    QTRY_COMPARE(w.Tag, 1);
    QTRY_COMPARE(dialogs, 1);
    QVERIFY(!Child<QPushButton>(&w, "btnConnect")->isEnabled());
    QVERIFY(!Child<QAction>(&w, "mConnect")->isEnabled());
    QVERIFY(!MenuOf(&w, "mSensor")->isVisible());
    QVERIFY(!Child(&w, "pcConSensor")->isVisible());
    QCOMPARE(w.StatusText(), QStringLiteral("Press 'Connect' button to connect sensor"));
    QVERIFY(messages_->shown.isEmpty());
}

void TestTMain::factoryDefaultsByPage_data()
{
    QTest::addColumn<quint8>("interfaceType");
    QTest::addColumn<QString>("page");
    QTest::addColumn<bool>("shown");
    const std::pair<const char *, bool> pages[] = {
        {"tabOutput", false}, {"tabConfig", true}, {"tabChannels", true}, {"tabBinaryInputs", false},
        {"tabSetup1", true},  {"tabSetup2", true}, {"tabSetup3", true},   {"tabRelay", true},
        {"tabInput", true},   {"tabCO2Ind", false}, {"tabService", false},
    };
    for (const auto &[page, shown] : pages) {
        QTest::addRow("Ethernet %s", page) << InterfaceEthernet << QString::fromLatin1(page) << shown;
        QTest::addRow("RS485 %s", page) << InterfaceRS485 << QString::fromLatin1(page) << false;
    }
}

void TestTMain::factoryDefaultsByPage()
{
    QFETCH(quint8, interfaceType);
    QFETCH(QString, page);
    const auto w = ShownWindow();
    ConnectSensor(*w, interfaceType);
    ClickPage(*w, page.toLatin1().constData());
    QCOMPARE(Child<QTabWidget>(w.get(), "pcConSensor")->currentWidget()->objectName(), page);
    QTEST(Child(w.get(), "btnFactDefs")->isVisible(), "shown");
    ClickPage(*w, "tabInfo");
    QVERIFY(!Child(w.get(), "btnFactDefs")->isVisible());
}

void TestTMain::disconnectRestoresDisconnectedState()
{
    const auto w = ShownWindow({QStringLiteral("/service")});
    ConnectSensor(*w, InterfaceEthernet);
    auto *connect = Child<QPushButton>(w.get(), "btnConnect");
    QCOMPARE(connect->text(), QStringLiteral("Disconnect"));
    QCOMPARE(connect->toolTip(), QStringLiteral("Disconnect the sensor."));
    QCOMPARE(Child<QAction>(w.get(), "mConnect")->text(), QStringLiteral("Disconnect"));
    QCOMPARE(w->StatusText(), QStringLiteral("Sensor is connected"));
    QVERIFY(Child(w.get(), "pcConSensor")->isVisible());
    QVERIFY(w->UpdateFWEnabled());

    w->Disconnect();
    QVERIFY(!w->Session.NetConnected && !w->Session.SetupAllowed);
    QVERIFY(!Child(w.get(), "pcConSensor")->isVisible());
    QCOMPARE(connect->text(), QStringLiteral("Connect"));
    QCOMPARE(connect->toolTip(), QStringLiteral("Connect the sensor according to communication settings."));
    QVERIFY(connect->isEnabled());
    QVERIFY(MenuOf(w.get(), "mSensor")->isVisible());
    QVERIFY(!SaveEnabled(*w));
    QVERIFY(!Child(w.get(), "btnFactDefs")->isVisible());
    QVERIFY(!Child<QAction>(w.get(), "mCalibrate")->isEnabled());
    QVERIFY(!Child<QAction>(w.get(), "mRestoreConf")->isEnabled());
    QVERIFY(w->UpdateFWEnabled());
    QCOMPARE(w->StatusText(), QStringLiteral("Press 'Connect' button to connect sensor"));
    QVERIFY(!w->IdleReadingInstalled());
}

void TestTMain::idleReadingFollowsInformationPage()
{
    const auto w = ShownWindow();
    ConnectSensor(*w, InterfaceRS485);
    QVERIFY(w->IdleReadingInstalled());
    ClickPage(*w, "tabConfig");
    QVERIFY(!w->IdleReadingInstalled());
    SetControlTag(Child(w.get(), "tabInfo"), 1);
    ClickPage(*w, "tabInfo");
    QVERIFY(w->IdleReadingInstalled());
    QCOMPARE(ControlTag(Child(w.get(), "tabInfo")), 0);
    QTest::qWait(5);
    QVERIFY(w->IdleReadingInstalled());
    ClickPage(*w, "tabOutput");
    QVERIFY(!w->IdleReadingInstalled());
}

void TestTMain::connectClickDuringReadingIsDeferred()
{
    const auto w = ShownWindow();
    ConnectSensor(*w, InterfaceRS232);
    QVERIFY(w->IdleReadingInstalled());
    auto *connect = Child<QPushButton>(w.get(), "btnConnect");
    QTest::mouseClick(connect, Qt::LeftButton);
    // The click only leaves a note for the reading pass.
    QCOMPARE(ControlTag(connect), 1);
    QVERIFY(w->IsConnectedState());
    QTRY_VERIFY(!w->IsConnectedState());
    QCOMPARE(ControlTag(connect), 0);
    QVERIFY(!w->Session.MspConnected);
    QVERIFY(!w->IdleReadingInstalled());
}

void TestTMain::userEditEnablesSaveExactlyToSetupAllowed_data()
{
    QTest::addColumn<bool>("setupAllowed");
    QTest::newRow("setup allowed") << true;
    QTest::newRow("wrong password") << false;
}

void TestTMain::userEditEnablesSaveExactlyToSetupAllowed()
{
    QFETCH(bool, setupAllowed);
    const auto w = ShownWindow();
    auto *edit = new QLineEdit(Child(w.get(), "tabRelay"));
    edit->setObjectName(QStringLiteral("eTestName"));
    w->WirePageControl(edit);
    ConnectSensor(*w, InterfaceRS485, setupAllowed);
    ClickPage(*w, "tabRelay");
    edit->show();
    QTest::mouseClick(edit, Qt::LeftButton);
    QCOMPARE(ControlTag(edit), 1);
    QVERIFY(!SaveEnabled(*w));
    QTest::keyClicks(edit, QStringLiteral("ab"));
    QCOMPARE(ControlTag(edit), 2);
    QCOMPARE(SaveEnabled(*w), setupAllowed);
    Child(w.get(), "btnForFocus")->setFocus(Qt::TabFocusReason);
    QCOMPARE(ControlTag(edit), 0);
    QCOMPARE(SaveEnabled(*w), setupAllowed);
}

void TestTMain::programChangesNeverEnableSave()
{
    const auto w = ShownWindow();
    auto *page = Child(w.get(), "tabRelay");
    auto *edit = new QLineEdit(page);
    auto *number = new TPBNumEdit(page);
    number->setObjectName(QStringLiteral("pbneTest"));
    w->WirePageControls(page);
    ConnectSensor(*w, InterfaceRS485, true);
    ClickPage(*w, "tabRelay");
    // Filled while nobody is in the controls: Tag 0.
    edit->setText(QStringLiteral("filled by the program"));
    number->setValue(12);
    w->ListPB.SetValue(number, 13.25);
    QVERIFY(!SaveEnabled(*w));
    // Filled while the user sits in the numeric edit: the silent setter.
    QTest::mouseClick(number, Qt::LeftButton);
    QCOMPARE(number->Tag, 1);
    number->SetValueSilent(7);
    QVERIFY(!SaveEnabled(*w));
    QCOMPARE(number->Tag, 1);
    // A menu or a popup taking the focus does not end the edit.
    QFocusEvent popupOut(QEvent::FocusOut, Qt::PopupFocusReason);
    QApplication::sendEvent(number, &popupOut);
    QCOMPARE(number->Tag, 1);
}

void TestTMain::numericEditKeepsExactValueUnlessEdited()
{
    const auto w = ShownWindow();
    auto *page = Child(w.get(), "tabRelay");
    auto *number = new TPBNumEdit(page);
    number->setObjectName(QStringLiteral("pbneLimit"));
    number->SetDecimals(1);
    w->WirePageControl(number);
    ConnectSensor(*w, InterfaceRS485, true);
    ClickPage(*w, "tabRelay");
    w->ListPB.SetValue(number, 21.456);
    QCOMPARE(number->text(), QStringLiteral("21.5"));

    QTest::mouseClick(number, Qt::LeftButton);
    Child(w.get(), "btnForFocus")->setFocus(Qt::TabFocusReason);
    QCOMPARE(w->ListPB.GetValue(number), 21.456);
    QVERIFY(!SaveEnabled(*w));

    QTest::mouseClick(number, Qt::LeftButton);
    number->selectAll();
    QTest::keyClicks(number, QStringLiteral("30.2"));
    QCOMPARE(number->Tag, 2);
    QVERIFY(SaveEnabled(*w));
    Child(w.get(), "btnForFocus")->setFocus(Qt::TabFocusReason);
    QCOMPARE(number->Tag, 0);
    QCOMPARE(w->ListPB.GetValue(number), 30.2);
}

void TestTMain::frameChangeEnablesSaveToSetupAllowed()
{
    const auto w = ShownWindow();
    ConnectSensor(*w, InterfaceEthernet, false);
    w->OnFrameChange();
    QVERIFY(!SaveEnabled(*w));
    w->Session.SetupAllowed = true;
    w->OnFrameChange();
    QVERIFY(SaveEnabled(*w));
}

void TestTMain::serviceEntry_data()
{
    QTest::addColumn<int>("answer");
    QTest::addColumn<bool>("mspConnected");
    QTest::addColumn<bool>("jumperDevice");
    QTest::addColumn<int>("statusRegister");  // -1: the read fails
    QTest::addColumn<QStringList>("boxes");
    QTest::addColumn<bool>("backedUp");
    QTest::newRow("yes, jumper open") << int(mrYes) << true << true << 0x0000 << QStringList{BackupQuestion, JumperWarning}
                                      << true;
    QTest::newRow("no, jumper closed") << int(mrNo) << true << true << 0x0001 << QStringList{BackupQuestion} << false;
    QTest::newRow("failed read skips the warning")
        << int(mrYes) << true << true << -1 << QStringList{BackupQuestion} << true;
    QTest::newRow("device without jumper") << int(mrNo) << true << false << 0x0000 << QStringList{BackupQuestion}
                                           << false;
    QTest::newRow("not a serial protocol") << int(mrNo) << false << true << 0x0000 << QStringList{BackupQuestion}
                                           << false;
}

void TestTMain::serviceEntry()
{
    QFETCH(int, answer);
    QFETCH(bool, mspConnected);
    QFETCH(bool, jumperDevice);
    QFETCH(int, statusRegister);
    const auto w = ShownWindow({QStringLiteral("/service")});
    auto *service = Child(w.get(), "tabService");
    AddGroup(service, "gbTempCalib");
    auto *confMan = AddGroup(service, "gbConfMan");
    auto *note = new QLineEdit(confMan);
    note->setObjectName(QStringLiteral("eBackupNot"));
    int backups = 0;
    w->PageHooks.MakeAutomaticBackup = [&backups] { ++backups; };
    w->PageHooks.JumperCheckApplies = [jumperDevice] { return jumperDevice; };
    w->PageHooks.ReadStatusRegister = [statusRegister]() -> quint16 {
        if (statusRegister < 0)
            throw EInOutError(QStringLiteral("no answer"));
        return static_cast<quint16>(statusRegister);
    };
    ConnectSensor(*w, InterfaceRS485);
    w->Session.MspConnected = mspConnected;
    messages_->Answer(answer);
    ClickPage(*w, "tabService");
    QTEST(messages_->Texts(), "boxes");
    QCOMPARE(messages_->shown[0].buttons, TMsgDlgButtons(mbYes | mbNo));
    QCOMPARE(messages_->shown[0].defaultResult, int(mrYes));
    QCOMPARE(messages_->shown[0].type, TMsgDlgType::mtWarning);
    QFETCH(bool, backedUp);
    QCOMPARE(backups, backedUp ? 1 : 0);
    QCOMPARE(note->text(), backedUp ? QStringLiteral("Automatic backup") : QString());
    // Whatever happened, the page change is complete.
    QCOMPARE(Child<QTabWidget>(w.get(), "pcConSensor")->currentWidget(), service);
    QCOMPARE(w->PreviousPage, Child(w.get(), "tabInfo"));
    QVERIFY(!w->IdleReadingInstalled());
}

void TestTMain::backupQuestionEachTimeServiceIsEntered()
{
    const auto w = ShownWindow();
    auto *service = Child(w.get(), "tabService");
    ConnectSensor(*w, InterfaceRS485);
    ClickPage(*w, "tabService");
    QVERIFY2(messages_->shown.isEmpty(), "no calibration groups: no question");

    AddGroup(service, "gbRHCalib");
    ClickPage(*w, "tabConfig");
    ClickPage(*w, "tabService");
    QVERIFY2(messages_->shown.isEmpty(), "calibration without configuration management: no question");

    AddGroup(service, "gbConfMan");
    ClickPage(*w, "tabConfig");
    ClickPage(*w, "tabService");
    ClickPage(*w, "tabService");
    ClickPage(*w, "tabOutput");
    ClickPage(*w, "tabService");
    QCOMPARE(messages_->Texts(), QStringList({BackupQuestion, BackupQuestion}));
}

void TestTMain::calibrateAndConfigurationMenusFollowServiceGroups()
{
    const auto w = ShownWindow({QStringLiteral("/service")});
    auto *service = Child(w.get(), "tabService");
    auto *range = AddGroup(service, "gbCO2Range");
    ConnectSensor(*w, InterfaceRS485);
    QVERIFY(Child<QAction>(w.get(), "mCalibrate")->isEnabled());
    QVERIFY(!Child<QAction>(w.get(), "mRestoreConf")->isEnabled());
    range->hide();
    AddGroup(service, "gbConfMan");
    w->pcConSensorChange();
    QVERIFY(!Child<QAction>(w.get(), "mCalibrate")->isEnabled());
    QVERIFY(Child<QAction>(w.get(), "mRestoreConf")->isEnabled());
    auto *pages = Child<QTabWidget>(w.get(), "pcConSensor");
    pages->setTabVisible(pages->indexOf(service), false);
    w->pcConSensorChange();
    QVERIFY(!Child<QAction>(w.get(), "mRestoreConf")->isEnabled());
}

void TestTMain::updateFirmwareShortcutWorksWhileItemHidden()
{
    const auto w = ShownWindow({QStringLiteral("/service")});
    ConnectSensor(*w, InterfaceEthernet);
    auto *update = Child<QAction>(w.get(), "mUpdateFW");
    QVERIFY(!update->isVisible());
    QVERIFY(w->UpdateFWEnabled());
    QTest::keyClick(w.get(), Qt::Key_U, Qt::ControlModifier);
    // Update Firmware disconnects the sensor before the upgrade.
    QVERIFY(!w->IsConnectedState());
    QVERIFY(!w->Session.NetConnected);

    const auto plain = ShownWindow();
    ConnectSensor(*plain, InterfaceEthernet);
    QVERIFY(!plain->UpdateFWEnabled());
    QTest::keyClick(plain.get(), Qt::Key_U, Qt::ControlModifier);
    QVERIFY(plain->IsConnectedState());
}

void TestTMain::showExWrnIsReadAndWritten()
{
    AppSettings::Open()->setValue(QStringLiteral("OPTIONS/ShowExWrn"), QStringLiteral("0"));
    {
        TfTMain w({QStringLiteral("pelinor")});
        QVERIFY(!w.Session.ShowExWrn);
        w.Session.ShowExWrn = true;
    }
    QCOMPARE(AppSettings::Open()->value(QStringLiteral("OPTIONS/ShowExWrn")).toString(), QStringLiteral("1"));
}

void TestTMain::captionAndAboutFromIniLabels()
{
    QTemporaryDir program;
    QFile ini(program.filePath(QStringLiteral("Pelinor.ini")));
    QVERIFY(ini.open(QIODevice::WriteOnly));
    ini.write("[label]\r\ncompany=Meteo\r\nappnamelong=Meteo Sensor Setup\r\n");
    ini.close();
    SetAppFolders(program.path());
    const auto w = ShownWindow();
    QCOMPARE(w->windowTitle(), QStringLiteral("Meteo Sensor Setup - v. 0.1.0.0"));
    QStringList shown;
    TestActions::WhenModal<TfTAbout>([&shown](TfTAbout *about) {
        shown = about->AppNameLines();
        shown << about->CompanyText() << about->VersionText() << about->windowTitle();
        QTest::mouseClick(about->findChild<QPushButton *>(QStringLiteral("btnOK")), Qt::LeftButton);
    });
    TRIGGER_ACTION(w.get(), "mAbout");
    QCOMPARE(shown, QStringList({"Meteo Sensor Setup", "Meteo", "Version 0.1.0.0", "About Application ..."}));
}

PELINOR_TEST_GUI_MAIN(TestTMain)
#include "test_uTMain.moc"
