#include "shell/uTComSet.h"

#include "shell/uAppSettings.h"
#include "support/PtyPair.h"
#include "support/RaisedText.h"
#include "support/ScriptedMessages.h"
#include "support/TestMainGui.h"
#include "transport/uPortNames.h"
#include "transport/uSyncRS.h"

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTimer>

#include <functional>

Q_DECLARE_METATYPE(TCommSettings)

namespace {

constexpr int FreePort = 3;
constexpr int BusyPort = 4;

const QString InvalidAddress = QStringLiteral("Invalid device address!");

template <typename T>
T *Control(QWidget &dialog, const char *name)
{
    T *control = dialog.findChild<T *>(QLatin1String(name));
    if (control == nullptr)
        qFatal("control %s is missing", name);
    return control;
}

QStringList Items(const QComboBox *list)
{
    QStringList items;
    for (int i = 0; i < list->count(); ++i)
        items.append(list->itemText(i));
    return items;
}

// The controls a choice shows, by name.
QStringList ShownControls(QWidget &dialog)
{
    QStringList shown;
    for (const char *name : {"lComPort", "cbComPort", "lBaudRate", "cbBaudRate", "lDevAddr", "eDevAddr", "chbDevAddr",
                             "lIP", "eIP", "btnFind"})
        if (!Control<QWidget>(dialog, name)->isHidden())
            shown.append(QLatin1String(name));
    return shown;
}

void ChooseInterface(QWidget &dialog, int type)
{
    const char *names[] = {"rbServiceCable", "rbRS232", "rbRS485", "rbEthernet"};
    QRadioButton *button = Control<QRadioButton>(dialog, names[type]);
    // On the indicator: only it and the caption take the click.
    QTest::mouseClick(button, Qt::LeftButton, {}, QPoint(8, button->height() / 2));
}

void PressOK(QWidget &dialog)
{
    QTest::mouseClick(Control<QPushButton>(dialog, "btnOK"), Qt::LeftButton);
}

QString FocusName(QWidget &dialog)
{
    return dialog.focusWidget() != nullptr ? dialog.focusWidget()->objectName() : QString();
}

// Runs action on the communication dialog once it is the modal window.
void OnModalDialog(const std::function<void(TfComSet &)> &action)
{
    auto *poll = new QTimer(qApp);
    QObject::connect(poll, &QTimer::timeout, poll, [poll, action] {
        auto *dialog = qobject_cast<TfComSet *>(QApplication::activeModalWidget());
        if (dialog == nullptr)
            return;
        poll->stop();
        poll->deleteLater();
        action(*dialog);
    });
    poll->start(10);
}

} // namespace

class TestComSet : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init();
    void cleanup();
    void controlsAndDefaults();
    void visibilityFollowsInterface_data();
    void visibilityFollowsInterface();
    void okValidation_data();
    void okValidation();
    void portListShowsExistingPorts();
    void vanishedPortBlocksOk();
    void noComPortsWarnsOncePerDialog();
    void dropDownRefreshesTheList();
    void presettersRaise_data();
    void presettersRaise();
    void keyFilters_data();
    void keyFilters();
    void runCommSettings_data();
    void runCommSettings();
    void settingsSurviveAndComeBack();

private:
    std::unique_ptr<TScriptedMessages> messages_;
    std::unique_ptr<TPtyPair> free_;
    std::unique_ptr<TPtyPair> busy_;
    std::unique_ptr<TSyncRS> holder_;
};

void TestComSet::init()
{
    TestEnvironment::MaskSystemPorts();
    messages_ = std::make_unique<TScriptedMessages>();
    free_ = std::make_unique<TPtyPair>();
    busy_ = std::make_unique<TPtyPair>();
    QVERIFY(free_->IsValid() && busy_->IsValid());
    QVERIFY(free_->LinkAs(FreePort));
    QVERIFY(busy_->LinkAs(BusyPort));
    // Another program holds this one: it still exists.
    holder_ = std::make_unique<TSyncRS>();
    holder_->SetPort(BusyPort);
    holder_->Open();
}

void TestComSet::cleanup()
{
    holder_.reset();
    free_.reset();
    busy_.reset();
    TestEnvironment::MaskSystemPorts();
    messages_.reset();
}

void TestComSet::controlsAndDefaults()
{
    TfComSet dialog;
    QCOMPARE(dialog.windowTitle(), QStringLiteral("Communication Settings"));
    QCOMPARE(Control<QGroupBox>(dialog, "rgCommType")->title(), QStringLiteral("Communication interface"));
    QStringList radios;
    for (const char *name : {"rbServiceCable", "rbRS232", "rbRS485", "rbEthernet"})
        radios.append(Control<QRadioButton>(dialog, name)->text());
    QCOMPARE(radios, (QStringList{"Service cable KX417", "Serial RS232", "Serial RS485", "Ethernet"}));
    QCOMPARE(Control<QGroupBox>(dialog, "gbDevSet")->title(), QStringLiteral("Device settings"));
    QCOMPARE(Control<QLabel>(dialog, "lComPort")->text(), QStringLiteral("COM port:"));
    QCOMPARE(Control<QLabel>(dialog, "lBaudRate")->text(), QStringLiteral("Baudrate:"));
    QCOMPARE(Items(Control<QComboBox>(dialog, "cbBaudRate")),
             (QStringList{"110", "300", "600", "1200", "2400", "4800", "9600", "14400", "19200", "38400", "56000",
                          "57600", "115200", "Unknown"}));
    QCOMPARE(Control<QLabel>(dialog, "lDevAddr")->text(), QStringLiteral("Address:"));
    QCOMPARE(Control<QLineEdit>(dialog, "eDevAddr")->maxLength(), 3);
    QCOMPARE(Control<QCheckBox>(dialog, "chbDevAddr")->text(), QStringLiteral("Unknown"));
    QCOMPARE(Control<QLabel>(dialog, "lIP")->text(), QStringLiteral("IP address:"));
    QCOMPARE(Control<QLineEdit>(dialog, "eIP")->maxLength(), 15);
    QCOMPARE(Control<QPushButton>(dialog, "btnFind")->text(), QStringLiteral("Find &Device..."));
    QCOMPARE(Control<QPushButton>(dialog, "btnOK")->text(), QStringLiteral("OK"));
    QVERIFY(Control<QPushButton>(dialog, "btnOK")->isDefault());
    QCOMPARE(Control<QPushButton>(dialog, "btnCancel")->text(), QStringLiteral("Cancel"));

    // The dialog's own defaults.
    QVERIFY(Control<QRadioButton>(dialog, "rbServiceCable")->isChecked());
    QCOMPARE(Control<QComboBox>(dialog, "cbBaudRate")->currentText(), QStringLiteral("9600"));
    QCOMPARE(Control<QLineEdit>(dialog, "eDevAddr")->text(), QStringLiteral("1"));
    QCOMPARE(Control<QLineEdit>(dialog, "eIP")->text(), QStringLiteral("192.168.1.213"));
    QCOMPARE(dialog.InterfaceType(), quint8(icServiceCable));
}

void TestComSet::visibilityFollowsInterface_data()
{
    QTest::addColumn<int>("type");
    QTest::addColumn<bool>("production");
    QTest::addColumn<QStringList>("shown");
    const QStringList com{"lComPort", "cbComPort"};
    const QStringList baud{"lBaudRate", "cbBaudRate"};
    const QStringList address{"lDevAddr", "eDevAddr"};
    const QStringList ip{"lIP", "eIP", "btnFind"};
    QTest::newRow("service cable") << 0 << false << com;
    QTest::newRow("service cable, production") << 0 << true << com + baud;
    QTest::newRow("RS232") << 1 << false << com + baud + address;
    QTest::newRow("RS485") << 2 << false << com + baud + address;
    QTest::newRow("RS485, production") << 2 << true << com + baud + address;
    QTest::newRow("Ethernet") << 3 << false << ip;
    QTest::newRow("Ethernet, production") << 3 << true << ip;
}

void TestComSet::visibilityFollowsInterface()
{
    QFETCH(int, type);
    QFETCH(bool, production);
    QFETCH(QStringList, shown);
    TfComSet dialog;
    dialog.SetProductionOption(production);
    dialog.show();
    ChooseInterface(dialog, type == 3 ? 1 : 3); // start from a different choice
    ChooseInterface(dialog, type);
    QCOMPARE(ShownControls(dialog), shown);
    const QSize size = dialog.size();
    ChooseInterface(dialog, (type + 1) % 4);
    QCOMPARE(dialog.size(), size); // no jumping between choices
}

void TestComSet::okValidation_data()
{
    QTest::addColumn<int>("type");
    QTest::addColumn<QString>("baud");
    QTest::addColumn<QString>("address");
    QTest::addColumn<QString>("ip");
    QTest::addColumn<QString>("message");
    QTest::addColumn<QString>("focus");
    QTest::addColumn<TCommSettings>("results");
    const TCommSettings none;
    QTest::newRow("letter t") << 2 << "9600" << "t" << "" << InvalidAddress << "eDevAddr" << none;
    QTest::newRow("letter u") << 2 << "19200" << "u" << "" << "" << ""
                              << TCommSettings{icRS485, FreePort, 19200, true, 'u', "192.168.1.213"};
    QTest::newRow("$FF") << 1 << "9600" << "$FF" << "" << "" << ""
                         << TCommSettings{icRS232, FreePort, 9600, false, 255, "192.168.1.213"};
    QTest::newRow("256") << 1 << "9600" << "256" << "" << InvalidAddress << "eDevAddr" << none;
    QTest::newRow("empty address") << 2 << "9600" << "" << "" << "Device address is required!" << "eDevAddr" << none;
    QTest::newRow("unknown baud rate") << 1 << "Unknown" << "7" << "" << "" << ""
                                       << TCommSettings{icRS232, FreePort, -1, false, 7, "192.168.1.213"};
    QTest::newRow("hidden address unchecked")
        << 0 << "115200" << "t" << "" << "" << ""
        << TCommSettings{icServiceCable, FreePort, 9600, false, 1, "192.168.1.213"};
    QTest::newRow("IP 192.168.1.300") << 3 << "" << "" << "192.168.1.300" << "Invalid IP address!" << "eIP" << none;
    QTest::newRow("IP empty") << 3 << "" << "" << "  " << "IP address is required!" << "eIP" << none;
    QTest::newRow("IP valid, kept canonical")
        << 3 << "" << "t" << "192.168.001.010" << "" << ""
        << TCommSettings{icEthernet, FreePort, 9600, false, 1, "192.168.1.10"};
}

void TestComSet::okValidation()
{
    QFETCH(int, type);
    QFETCH(QString, baud);
    QFETCH(QString, address);
    QFETCH(QString, ip);
    QFETCH(QString, message);
    QFETCH(QString, focus);
    QFETCH(TCommSettings, results);
    TfComSet dialog;
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    ChooseInterface(dialog, type);
    Control<QComboBox>(dialog, "cbComPort")->setCurrentIndex(0);
    if (!baud.isEmpty())
        Control<QComboBox>(dialog, "cbBaudRate")->setCurrentText(baud);
    Control<QLineEdit>(dialog, "eDevAddr")->setText(address);
    if (!ip.isEmpty())
        Control<QLineEdit>(dialog, "eIP")->setText(ip);
    Control<QPushButton>(dialog, "btnCancel")->setFocus();

    PressOK(dialog);
    if (message.isEmpty()) {
        QCOMPARE(messages_->Texts(), QStringList());
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        QCOMPARE(dialog.Results(), results);
    } else {
        QCOMPARE(messages_->Texts(), QStringList{message});
        QCOMPARE(messages_->shown[0].type, TMsgDlgType::mtError);
        QVERIFY(dialog.isVisible());
        QCOMPARE(FocusName(dialog), focus);
    }
}

void TestComSet::portListShowsExistingPorts()
{
    TfComSet dialog;
    QComboBox *list = Control<QComboBox>(dialog, "cbComPort");
    // Free and busy ports are listed; numbers without a device are not.
    QCOMPARE(Items(list), (QStringList{PortNames::DisplayName(FreePort), PortNames::DisplayName(BusyPort)}));
    QVERIFY(list->itemText(0).startsWith(QStringLiteral("COM3 (pts/")));
    // COM1 is not there: the first port is selected.
    QCOMPARE(list->currentIndex(), 0);

    dialog.PresetComPort(BusyPort);
    QCOMPARE(list->currentIndex(), 1);
    ChooseInterface(dialog, 1);
    PressOK(dialog);
    QCOMPARE(dialog.result(), int(QDialog::Accepted));
    QCOMPARE(dialog.ComPort(), quint8(BusyPort));
}

void TestComSet::vanishedPortBlocksOk()
{
    TfComSet dialog;
    dialog.show();
    dialog.PresetComPort(BusyPort);
    holder_.reset();
    busy_.reset(); // the adapter is pulled out
    TestEnvironment::MaskSystemPorts();

    PressOK(dialog);
    QCOMPARE(messages_->Texts(),
             QStringList{QStringLiteral("Selected COM port was disconnected! Please select new COM port.")});
    QVERIFY(dialog.isVisible());
    QCOMPARE(FocusName(dialog), QStringLiteral("cbComPort"));
    QCOMPARE(Control<QComboBox>(dialog, "cbComPort")->currentText(), PortNames::DisplayName(FreePort));

    // The port now selected is there: OK goes through.
    PressOK(dialog);
    QCOMPARE(messages_->Texts().size(), 1);
    QCOMPARE(dialog.result(), int(QDialog::Accepted));
    QCOMPARE(dialog.ComPort(), quint8(FreePort));
}

void TestComSet::noComPortsWarnsOncePerDialog()
{
    holder_.reset();
    free_.reset();
    busy_.reset();
    TestEnvironment::MaskSystemPorts();
    const QString noPorts = QStringLiteral("No COM ports have been found! You won't be able to connect any sensors.");

    TfComSet dialog;
    dialog.show();
    QTRY_COMPARE(messages_->Texts(), QStringList{noPorts});
    PressOK(dialog);
    PressOK(dialog);
    QCOMPARE(messages_->Texts(), QStringList{noPorts});
    QVERIFY(dialog.isVisible());

    ChooseInterface(dialog, icEthernet);
    PressOK(dialog);
    QCOMPARE(dialog.result(), int(QDialog::Accepted));
    QCOMPARE(dialog.InterfaceType(), quint8(icEthernet));

    // A new dialog warns again, at OK when it was never shown.
    TfComSet second;
    ChooseInterface(second, icRS232);
    PressOK(second);
    PressOK(second);
    QCOMPARE(messages_->Texts(), (QStringList{noPorts, noPorts}));
}

void TestComSet::dropDownRefreshesTheList()
{
    TfComSet dialog;
    dialog.show();
    QComboBox *list = Control<QComboBox>(dialog, "cbComPort");
    list->setCurrentIndex(1);
    TPtyPair added;
    QVERIFY(added.LinkAs(9));
    list->showPopup();
    list->hidePopup();
    QCOMPARE(list->count(), 3);
    QCOMPARE(list->itemText(2), PortNames::DisplayName(9));
    QCOMPARE(list->currentIndex(), 1); // the choice stays
}

void TestComSet::presettersRaise_data()
{
    using Preset = std::function<void(TfComSet &)>;
    QTest::addColumn<Preset>("preset");
    QTest::addColumn<QString>("error");
    QTest::addColumn<QString>("control");
    QTest::addColumn<QString>("shows");
    QTest::newRow("baud rate 9601") << Preset([](TfComSet &d) { d.PresetBaudRate(9601); }) << "Invalid baud rate!"
                                    << "cbBaudRate" << "9600";
    QTest::newRow("baud rate 128000") << Preset([](TfComSet &d) { d.PresetBaudRate(128000); })
                                      << "Invalid baud rate!" << "cbBaudRate" << "9600";
    QTest::newRow("baud rate unknown") << Preset([](TfComSet &d) { d.PresetBaudRate(-1); }) << ""
                                       << "cbBaudRate" << "Unknown";
    QTest::newRow("address 256") << Preset([](TfComSet &d) { d.PresetAddress(256); }) << InvalidAddress
                                 << "eDevAddr" << "1";
    QTest::newRow("address -1") << Preset([](TfComSet &d) { d.PresetAddress(-1); }) << InvalidAddress
                                << "eDevAddr" << "1";
    QTest::newRow("letter T") << Preset([](TfComSet &d) { d.PresetCharAddress(true); d.PresetAddress('T'); })
                              << InvalidAddress << "eDevAddr" << "1";
    QTest::newRow("letter flag, number 5")
        << Preset([](TfComSet &d) { d.PresetCharAddress(true); d.PresetAddress(5); }) << InvalidAddress
        << "eDevAddr" << "1";
    QTest::newRow("letter u") << Preset([](TfComSet &d) { d.PresetCharAddress(true); d.PresetAddress('u'); })
                              << "" << "eDevAddr" << "u";
    QTest::newRow("number 200") << Preset([](TfComSet &d) { d.PresetAddress(200); }) << "" << "eDevAddr" << "200";
    QTest::newRow("IP 1.2.3") << Preset([](TfComSet &d) { d.PresetIPAddress(QStringLiteral("1.2.3")); })
                              << "Invalid IP address!" << "eIP" << "192.168.1.213";
    QTest::newRow("IP canonical") << Preset([](TfComSet &d) { d.PresetIPAddress(QStringLiteral("010.0.00.1")); })
                                  << "" << "eIP" << "10.0.0.1";
}

void TestComSet::presettersRaise()
{
    using Preset = std::function<void(TfComSet &)>;
    QFETCH(Preset, preset);
    QFETCH(QString, error);
    QFETCH(QString, control);
    QFETCH(QString, shows);
    TfComSet dialog;
    QCOMPARE(RaisedText([&] { preset(dialog); }), error);
    QWidget *widget = Control<QWidget>(dialog, control.toLatin1().constData());
    const auto *edit = qobject_cast<QLineEdit *>(widget);
    QCOMPARE(edit != nullptr ? edit->text() : qobject_cast<QComboBox *>(widget)->currentText(), shows);
}

void TestComSet::keyFilters_data()
{
    QTest::addColumn<QString>("control");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("text");
    QTest::newRow("address: $ and hexadecimal") << "eDevAddr" << "$-F.F" << "$FF";
    QTest::newRow("address: letters") << "eDevAddr" << " u" << "u";
    QTest::newRow("IP: digits and dots") << "eIP" << "10a.0-0.,1 " << "10.00.1";
}

void TestComSet::keyFilters()
{
    QFETCH(QString, control);
    QFETCH(QString, typed);
    QFETCH(QString, text);
    TfComSet dialog;
    dialog.show();
    ChooseInterface(dialog, control == QLatin1String("eIP") ? icEthernet : icRS232);
    auto *edit = Control<QLineEdit>(dialog, control.toLatin1().constData());
    edit->clear();
    edit->setFocus();
    QTest::keyClicks(edit, typed);
    QCOMPARE(edit->text(), text);
    // Backspace works, and shortcuts held with Ctrl pass the filter.
    QTest::keyClick(edit, Qt::Key_Backspace);
    QCOMPARE(edit->text(), text.chopped(1));
    QGuiApplication::clipboard()->setText(QStringLiteral("-"));
    QTest::keyClick(edit, Qt::Key_V, Qt::ControlModifier);
    QCOMPARE(edit->text(), text.chopped(1) + QStringLiteral("-"));
}

void TestComSet::runCommSettings_data()
{
    using Action = std::function<void(TfComSet &)>;
    QTest::addColumn<TCommSettings>("fields");
    QTest::addColumn<bool>("production");
    QTest::addColumn<Action>("action");
    QTest::addColumn<int>("outcome");
    QTest::addColumn<TCommSettings>("after");
    QTest::addColumn<QStringList>("boxes");
    const TCommSettings rs485{icRS485, FreePort, 19200, true, 'K', "10.0.0.5"};
    const TCommSettings none;
    const Action cancel = [](TfComSet &d) { QTest::mouseClick(Control<QPushButton>(d, "btnCancel"), Qt::LeftButton); };
    const Action ok = [](TfComSet &d) { PressOK(d); };
    const Action unknownBaud = [](TfComSet &d) {
        Control<QComboBox>(d, "cbBaudRate")->setCurrentText(QStringLiteral("Unknown"));
        PressOK(d);
    };
    const Action ethernet = [](TfComSet &d) {
        ChooseInterface(d, icEthernet);
        PressOK(d);
    };
    QTest::newRow("cancel") << rs485 << false << cancel << int(TCommSettingsOutcome::Cancelled) << rs485
                            << QStringList{};
    QTest::newRow("unknown baud rate") << rs485 << false << unknownBaud
                                       << int(TCommSettingsOutcome::AcceptedUnknownBaud) << rs485 << QStringList{};
    QTest::newRow("presets come back") << rs485 << false << ok << int(TCommSettingsOutcome::Accepted) << rs485
                                       << QStringList{};
    QTest::newRow("Ethernet") << rs485 << false << ethernet << int(TCommSettingsOutcome::Accepted)
                              << TCommSettings{icEthernet, FreePort, 9600, false, 1, "10.0.0.5"} << QStringList{};
    QTest::newRow("nothing chosen yet: the dialog's defaults")
        << none << false << ok << int(TCommSettingsOutcome::Accepted)
        << TCommSettings{icServiceCable, FreePort, 9600, false, 1, "192.168.1.213"} << QStringList{};
    const TCommSettings cable57600{icServiceCable, FreePort, 57600, false, 1, "192.168.1.213"};
    QTest::newRow("production: service cable with baud rate")
        << cable57600 << true << ok << int(TCommSettingsOutcome::Accepted) << cable57600 << QStringList{};
    QTest::newRow("a refused preset is shown, the rest preset")
        << TCommSettings{icRS232, BusyPort, 38400, true, 5, "10.0.0.5"} << false << ok
        << int(TCommSettingsOutcome::Accepted) << TCommSettings{icRS232, BusyPort, 38400, false, 1, "10.0.0.5"}
        << QStringList{InvalidAddress};
}

void TestComSet::runCommSettings()
{
    using Action = std::function<void(TfComSet &)>;
    QFETCH(TCommSettings, fields);
    QFETCH(bool, production);
    QFETCH(Action, action);
    QFETCH(int, outcome);
    QFETCH(TCommSettings, after);
    QFETCH(QStringList, boxes);
    OnModalDialog(action);
    QCOMPARE(int(RunCommSettings(nullptr, fields, production)), outcome);
    QCOMPARE(fields, after);
    QCOMPARE(messages_->Texts(), boxes);
}

void TestComSet::settingsSurviveAndComeBack()
{
    // Accepted RS485 settings are stored, read back by a new settings object
    // and preset the next dialog.
    TCommSettings fields{icRS485, BusyPort, 115200, true, 'Z', "192.168.1.213"};
    OnModalDialog([](TfComSet &d) { PressOK(d); });
    QCOMPARE(RunCommSettings(nullptr, fields, false), TCommSettingsOutcome::Accepted);
    CommSettings::Save(fields);
    QCOMPARE(CommSettings::Load(), fields);

    // Ethernet is stored with its IP only; the serial values stay and come
    // back when the next dialog switches to RS485.
    TCommSettings loaded = CommSettings::Load();
    OnModalDialog([](TfComSet &d) {
        ChooseInterface(d, icEthernet);
        Control<QLineEdit>(d, "eIP")->setText(QStringLiteral("10.1.2.3"));
        PressOK(d);
    });
    QCOMPARE(RunCommSettings(nullptr, loaded, false), TCommSettingsOutcome::Accepted);
    CommSettings::Save(loaded);
    loaded = CommSettings::Load();
    QCOMPARE(loaded.InterfaceType, quint8(icEthernet));
    QCOMPARE(loaded.IPAddress, QStringLiteral("10.1.2.3"));
    OnModalDialog([](TfComSet &d) {
        ChooseInterface(d, icRS485);
        PressOK(d);
    });
    QCOMPARE(RunCommSettings(nullptr, loaded, false), TCommSettingsOutcome::Accepted);
    QCOMPARE(loaded, (TCommSettings{icRS485, BusyPort, 115200, true, 'Z', "10.1.2.3"}));

    // A stored letter flag with a number address opens the dialog without
    // any refusal.
    {
        const auto settings = AppSettings::Open();
        settings->setValue(QStringLiteral("DEVICE/Type"), QStringLiteral("2"));
        settings->setValue(QStringLiteral("DEVICE/Character"), QStringLiteral("1"));
        settings->setValue(QStringLiteral("DEVICE/Address"), QStringLiteral("5"));
    }
    TCommSettings badPair = CommSettings::Load();
    OnModalDialog([](TfComSet &d) { PressOK(d); });
    QCOMPARE(RunCommSettings(nullptr, badPair, false), TCommSettingsOutcome::Accepted);
    QCOMPARE(messages_->Texts(), QStringList());
    QCOMPARE(badPair.CharAddress, false);
    QCOMPARE(badPair.DeviceAddress, quint8(1));
}

PELINOR_TEST_GUI_MAIN(TestComSet)
#include "test_uTComSet.moc"
