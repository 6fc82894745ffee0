#include "shell/uAppFolders.h"
#include "shell/uErrors.h"
#include "shell/uPBNumEdit.h"
#include "shell/uTMain.h"
#include "support/ScriptedMessages.h"
#include "support/SimProcess.h"
#include "support/TestMainGui.h"

#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QTabBar>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

namespace {

constexpr int SimCom = 7;

template <typename T = QWidget>
T *Child(const QObject *root, const QString &name)
{
    T *child = root->findChild<T *>(name);
    if (child == nullptr)
        qWarning("no control %s", qPrintable(name));
    return child;
}

// The window, shown and active, with the communication settings dialog
// answered before it could open.
std::unique_ptr<TfTMain> ShownWindow()
{
    auto w = std::make_unique<TfTMain>(QStringList{QStringLiteral("pelinor")});
    w->CommSettingsDialog = [](TCommSettings &, bool) { return TCommSettingsOutcome::Cancelled; };
    w->show();
    w->activateWindow();
    if (!QTest::qWaitForWindowActive(w.get()))
        qWarning("the window did not become active");
    QTest::qWait(1);  // the first activation's settings dialog
    return w;
}

// Connects the window to the virtual sensor as a user with these settings would.
void ConnectTo(TfTMain &w, int interfaceType, int baud, int address)
{
    w.Session.InterfaceType = static_cast<quint8>(interfaceType);
    w.Session.ComPort = SimCom;
    w.Session.BaudRate = baud;
    w.Session.DeviceAddress = static_cast<quint8>(address);
    w.CommSettingAccepted = true;
    w.Connect();
}

bool TabShown(const TfTMain &w, const char *tab)
{
    auto *tabs = Child<QTabWidget>(&w, QStringLiteral("pcConSensor"));
    return tabs->isTabVisible(tabs->indexOf(Child(&w, QLatin1String(tab))));
}

// A page change as the user makes it: a click on the page's tab.
void ClickPage(TfTMain &w, const char *page)
{
    auto *tabs = Child<QTabWidget>(&w, QStringLiteral("pcConSensor"));
    const int index = tabs->indexOf(Child(&w, QLatin1String(page)));
    QTest::mouseClick(tabs->tabBar(), Qt::LeftButton, {}, tabs->tabBar()->tabRect(index).center());
}

bool SaveEnabled(const TfTMain &w)
{
    return Child<QPushButton>(&w, QStringLiteral("btnSave"))->isEnabled() &&
           Child<QAction>(&w, QStringLiteral("mSave"))->isEnabled();
}

QString ComboText(const TfTMain &w, const char *name)
{
    auto *combo = Child<QComboBox>(&w, QLatin1String(name));
    return combo->isHidden() ? QString() : combo->currentText();
}

QString EditText(const TfTMain &w, const QString &name)
{
    auto *edit = Child<TPBNumEdit>(&w, name);
    return edit->isHidden() ? QString() : edit->text();
}

} // namespace

class TestTMainPages : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void init();
    void pagesShowTheDevice_data();
    void pagesShowTheDevice();
    void outputChannelsShowTheDevice();
    void userLimitEditEnablesSave();
    void saveChangesWritesAndDisconnects();

private:
    QTemporaryDir dir_;
    std::unique_ptr<TScriptedMessages> messages_;
};

void TestTMainPages::initTestCase()
{
    TestEnvironment::MaskSystemPorts();
}

void TestTMainPages::init()
{
    messages_.reset();
    messages_ = std::make_unique<TScriptedMessages>();
    SetAppFolders(dir_.path());
}

void TestTMainPages::pagesShowTheDevice_data()
{
    QTest::addColumn<QString>("profile");
    QTest::addColumn<int>("interfaceType");
    QTest::addColumn<int>("baud");
    QTest::addColumn<int>("address");
    QTest::addColumn<bool>("outputTab");
    QTest::addColumn<QStringList>("protocols");  // empty: communication hidden
    QTest::addColumn<QString>("computed");
    QTest::addColumn<QString>("tempUnit");
    QTest::addColumn<QString>("pressUnit");
    const QStringList adam = {"ModBus", "Adam without CRC", "Adam with CRC"};
    QTest::newRow("Q0029 RS232") << "Q0029" << 1 << 19200 << 1 << false << (adam + QStringList{"Amit Arion"})
                                 << "Dew point" << "°C" << "hPa";
    // Without a pressure channel the unit is that of the pressure used for
    // the computed quantities.
    QTest::newRow("Q0131 keypad RS485") << "Q0131" << 2 << 19200 << 12 << false << adam << "Mixing ratio" << "°C"
                                        << "hPa";
    QTest::newRow("Q0007 service cable") << "Q0007" << 0 << 9600 << 1 << true << QStringList{}
                                         << "Absolute humidity" << "°F" << "hPa";
}

void TestTMainPages::pagesShowTheDevice()
{
    QFETCH(QString, profile);
    QFETCH(int, baud);
    QFETCH(int, address);
    QFETCH(QStringList, protocols);
    SimProcess sim;
    QVERIFY2(sim.start({"--profile", profile, "--com", QString::number(SimCom)}), qPrintable(sim.errorString()));
    const auto w = ShownWindow();
    QFETCH(int, interfaceType);
    ConnectTo(*w, interfaceType, baud, address);
    QVERIFY2(w->IsConnectedState(), qPrintable(messages_->Texts().join(QLatin1Char('|'))));
    QVERIFY(w->SerialConfigPages() != nullptr);

    QTEST(TabShown(*w, "tabOutput"), "outputTab");
    QVERIFY(TabShown(*w, "tabConfig"));
    auto *protocol = Child<QComboBox>(w.get(), QStringLiteral("cbCProtocol"));
    QCOMPARE(Child(w.get(), QStringLiteral("gbCComm"))->isHidden(), protocols.isEmpty());
    if (!protocols.isEmpty()) {
        QStringList items;
        for (int i = 0; i < protocol->count(); ++i)
            items.append(protocol->itemText(i));
        QCOMPARE(items, protocols);
        QCOMPARE(protocol->currentText(), QStringLiteral("ModBus"));
        QCOMPARE(ComboText(*w, "cbCBaudRate"), QString::number(baud));
        QCOMPARE(EditText(*w, QStringLiteral("pbssCAddr")), QString::number(address));
    }
    QTEST(ComboText(*w, "cbCCompQuan"), "computed");
    QTEST(ComboText(*w, "cbCTempUnit"), "tempUnit");
    QTEST(ComboText(*w, "cbCPressUnit"), "pressUnit");
    QVERIFY(Child(w.get(), QStringLiteral("lNoModBus"))->isHidden());
    // Connecting filled every page: nothing to save yet.
    QVERIFY(!SaveEnabled(*w));

    w->Disconnect();
    QVERIFY(w->SerialConfigPages() == nullptr);
}

void TestTMainPages::outputChannelsShowTheDevice()
{
    SimProcess sim;
    QVERIFY2(sim.start({"--profile", "Q0007", "--com", QString::number(SimCom)}), qPrintable(sim.errorString()));
    const auto w = ShownWindow();
    ConnectTo(*w, 0, 9600, 1);
    QVERIFY(w->IsConnectedState());
    ClickPage(*w, "tabOutput");

    // Channel 1 carries the temperature in the unit the device shows,
    // channel 2 the humidity; both are voltage outputs up to 10 V.
    QCOMPARE(ComboText(*w, "cbMeasQuan1"), QStringLiteral("Temperature"));
    QCOMPARE(EditText(*w, QStringLiteral("pbneTemperLo1")), QStringLiteral("0.0"));
    QCOMPARE(EditText(*w, QStringLiteral("pbneTemperHi1")), QStringLiteral("50.0"));
    QCOMPARE(Child<QLabel>(w.get(), QStringLiteral("lQuanUnitLo1"))->text(), QStringLiteral("°F"));
    QCOMPARE(ComboText(*w, "cbMeasQuan2"), QStringLiteral("Relative humidity"));
    QCOMPARE(EditText(*w, QStringLiteral("pbneTemperLo2")), QString());
    QCOMPARE(EditText(*w, QStringLiteral("pbneRelHumHi2")), QStringLiteral("100.0"));
    QCOMPARE(Child<QLabel>(w.get(), QStringLiteral("lQuanUnitHi2"))->text(), QStringLiteral("%"));
    for (const char *channel : {"1", "2"}) {
        const QString n = QLatin1String(channel);
        QCOMPARE(Child<QLabel>(w.get(), "lOutMin" + n)->text(), QStringLiteral("0"));
        QCOMPARE(EditText(*w, "pbssOut" + n), QStringLiteral("10.0"));
        QVERIFY(Child(w.get(), "lOut" + n)->isHidden());
        QCOMPARE(Child<QLabel>(w.get(), "lOutUnitHi" + n)->text(), QStringLiteral("V"));
    }
    QVERIFY(Child(w.get(), QStringLiteral("lBeware"))->isHidden());
}

void TestTMainPages::userLimitEditEnablesSave()
{
    SimProcess sim;
    QVERIFY2(sim.start({"--profile", "Q0007", "--com", QString::number(SimCom)}), qPrintable(sim.errorString()));
    const auto w = ShownWindow();
    ConnectTo(*w, 0, 9600, 1);
    ClickPage(*w, "tabOutput");
    QVERIFY(!SaveEnabled(*w));
    auto *lower = Child<TPBNumEdit>(w.get(), QStringLiteral("pbneTemperLo1"));
    // The page takes its Save rule and exact values from its model, not
    // from the window's list of numeric edits.
    QVERIFY_THROWS_EXCEPTION(ERangeError, w->ListPB.GetValue(lower));

    QTest::mouseClick(lower, Qt::LeftButton);
    lower->selectAll();
    QTest::keyClicks(lower, QStringLiteral("-10"));
    QVERIFY(SaveEnabled(*w));
    // Leaving for the hidden focus button hands the focus on to Connect.
    Child(w.get(), QStringLiteral("btnForFocus"))->setFocus(Qt::TabFocusReason);
    QTRY_COMPARE(QApplication::focusWidget(), Child(w.get(), QStringLiteral("btnConnect")));

    const TSerialConfigPages *pages = w->SerialConfigPages();
    QVERIFY(pages != nullptr);
    QCOMPARE(pages->Output().Limit(TLimitKind::Temperature, TLimitEnd::Lo), -10.0);
    // The twin on channel 2, hidden there, holds the same value.
    QCOMPARE(Child<TPBNumEdit>(w.get(), QStringLiteral("pbneTemperLo2"))->Value(), -10.0);
    QVERIFY(messages_->shown.isEmpty());

    w->Disconnect();
    QVERIFY(!SaveEnabled(*w));
    QVERIFY(w->SerialConfigPages() == nullptr);
}

void TestTMainPages::saveChangesWritesAndDisconnects()
{
    SimProcess sim;
    QVERIFY2(sim.start({"--profile", "Q0007", "--com", QString::number(SimCom)}), qPrintable(sim.errorString()));
    const auto w = ShownWindow();
    ConnectTo(*w, 0, 9600, 1);
    ClickPage(*w, "tabOutput");
    auto *upper = Child<TPBNumEdit>(w.get(), QStringLiteral("pbneTemperHi1"));
    QTest::mouseClick(upper, Qt::LeftButton);
    upper->selectAll();
    QTest::keyClicks(upper, QStringLiteral("60"));
    QTest::mouseClick(Child<QPushButton>(w.get(), QStringLiteral("btnSave")), Qt::LeftButton);
    QTRY_VERIFY(!w->Session.Connected());
    QCOMPARE(messages_->Texts(), QStringList{QStringLiteral("New settings were successfully written into your sensor.")});
    QCOMPARE(w->StatusText(), QStringLiteral("Press 'Connect' button to connect sensor"));

    // The sensor keeps the new limit.
    ConnectTo(*w, 0, 9600, 1);
    QVERIFY(w->IsConnectedState());
    ClickPage(*w, "tabOutput");
    QCOMPARE(EditText(*w, QStringLiteral("pbneTemperHi1")), QStringLiteral("60.0"));
}

PELINOR_TEST_GUI_MAIN(TestTMainPages)
#include "test_uTMainPages.moc"
