#include "shell/uMainRules.h"
#include "support/TestEnvironment.h"

#include <QTest>

Q_DECLARE_METATYPE(TMainPage)
Q_DECLARE_METATYPE(TMainRulesInput)

namespace {

const QString ConnectHint = QStringLiteral("Connect the sensor according to communication settings.");
const QString DisconnectHint = QStringLiteral("Disconnect the sensor.");
const QString DisconnectedStatus = QStringLiteral("Press 'Connect' button to connect sensor");
const QString ConnectedStatus = QStringLiteral("Sensor is connected");

TMainRulesInput Disconnected(bool accepted, bool service)
{
    TMainRulesInput in;
    in.commSettingAccepted = accepted;
    in.serviceMenuVisible = service;
    return in;
}

TMainRulesInput Connected(quint8 interfaceType, bool service, TMainPage page = TMainPage::Info)
{
    TMainRulesInput in;
    in.connected = true;
    in.commSettingAccepted = true;
    in.serviceMenuVisible = service;
    in.interfaceType = interfaceType;
    in.netConnected = interfaceType == 3;
    in.page = page;
    return in;
}

} // namespace

class TestMainRules : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void stateTable_data();
    void stateTable();
    void serviceMenus_data();
    void serviceMenus();
    void factoryDefaults_data();
    void factoryDefaults();
};

void TestMainRules::stateTable_data()
{
    QTest::addColumn<TMainRulesInput>("in");
    QTest::addColumn<bool>("pages");
    QTest::addColumn<bool>("connectEnabled");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QString>("hint");
    QTest::addColumn<int>("image");
    QTest::addColumn<bool>("sensorMenu");
    QTest::addColumn<bool>("updateFW");
    QTest::addColumn<QString>("status");

    QTest::newRow("start, no setting accepted")
        << Disconnected(false, false) << false << false << "Connect" << ConnectHint << 3 << false << false
        << DisconnectedStatus;
    QTest::newRow("start with /service") << Disconnected(false, true) << false << false << "Connect" << ConnectHint
                                         << 3 << false << true << DisconnectedStatus;
    QTest::newRow("disconnected after an accepted setting")
        << Disconnected(true, false) << false << true << "Connect" << ConnectHint << 3 << true << false
        << DisconnectedStatus;
    QTest::newRow("connected RS485") << Connected(2, false) << true << true << "Disconnect" << DisconnectHint << 4
                                     << true << false << ConnectedStatus;
    QTest::newRow("connected RS232 with /service: no firmware update")
        << Connected(1, true) << true << true << "Disconnect" << DisconnectHint << 4 << true << false
        << ConnectedStatus;
    QTest::newRow("connected Ethernet with /service")
        << Connected(3, true) << true << true << "Disconnect" << DisconnectHint << 4 << true << true
        << ConnectedStatus;
    QTest::newRow("connected Ethernet without /service")
        << Connected(3, false) << true << true << "Disconnect" << DisconnectHint << 4 << true << false
        << ConnectedStatus;
}

void TestMainRules::stateTable()
{
    QFETCH(TMainRulesInput, in);
    const TMainView v = MainRules(in);
    QTEST(v.pagesVisible, "pages");
    QTEST(v.connectEnabled, "connectEnabled");
    QTEST(v.connectCaption, "caption");
    QTEST(v.connectHint, "hint");
    QTEST(v.connectImage, "image");
    QTEST(v.sensorMenuVisible, "sensorMenu");
    QTEST(v.updateFWEnabled, "updateFW");
    QTEST(v.statusText, "status");
    QVERIFY(!v.saveEnabled);
}

void TestMainRules::serviceMenus_data()
{
    QTest::addColumn<bool>("connected");
    QTest::addColumn<bool>("servicePageShown");
    QTest::addColumn<bool>("calibration");
    QTest::addColumn<bool>("confMan");
    QTest::addColumn<bool>("calibrateEnabled");
    QTest::addColumn<bool>("restoreEnabled");
    QTest::newRow("disconnected keeps both off") << false << true << true << true << false << false;
    QTest::newRow("service page not shown") << true << false << true << true << false << false;
    QTest::newRow("calibration only") << true << true << true << false << true << false;
    QTest::newRow("configuration management only") << true << true << false << true << false << true;
    QTest::newRow("both") << true << true << true << true << true << true;
    QTest::newRow("empty service page") << true << true << false << false << false << false;
}

void TestMainRules::serviceMenus()
{
    QFETCH(bool, connected);
    TMainRulesInput in = connected ? Connected(1, true, TMainPage::Config) : Disconnected(true, true);
    QFETCH(bool, servicePageShown);
    QFETCH(bool, calibration);
    QFETCH(bool, confMan);
    in.servicePageShown = servicePageShown;
    in.calibrationVisible = calibration;
    in.confManGroupVisible = confMan;
    const TMainView v = MainRules(in);
    QTEST(v.calibrateEnabled, "calibrateEnabled");
    QTEST(v.restoreConfEnabled, "restoreEnabled");
}

void TestMainRules::factoryDefaults_data()
{
    QTest::addColumn<TMainPage>("page");
    QTest::addColumn<bool>("shownForEthernet");
    QTest::newRow("Information") << TMainPage::Info << false;
    QTest::newRow("Output") << TMainPage::Output << false;
    QTest::newRow("Configuration") << TMainPage::Config << true;
    QTest::newRow("Channels") << TMainPage::Channels << true;
    QTest::newRow("Binary Inputs") << TMainPage::BinaryInputs << false;
    QTest::newRow("Setup I") << TMainPage::Setup1 << true;
    QTest::newRow("Setup II") << TMainPage::Setup2 << true;
    QTest::newRow("Setup III") << TMainPage::Setup3 << true;
    QTest::newRow("Relay") << TMainPage::Relay << true;
    QTest::newRow("Input") << TMainPage::Input << true;
    QTest::newRow("CO2 Indication") << TMainPage::CO2Ind << false;
    QTest::newRow("Service") << TMainPage::Service << false;
}

void TestMainRules::factoryDefaults()
{
    QFETCH(TMainPage, page);
    QFETCH(bool, shownForEthernet);
    QCOMPARE(MainRules(Connected(3, false, page)).factDefsVisible, shownForEthernet);
    QVERIFY(!MainRules(Connected(2, false, page)).factDefsVisible);
    TMainRulesInput disconnected = Disconnected(true, false);
    disconnected.netConnected = true;
    disconnected.page = page;
    QVERIFY(!MainRules(disconnected).factDefsVisible);
}

PELINOR_TEST_MAIN(TestMainRules)
#include "test_uMainRules.moc"
