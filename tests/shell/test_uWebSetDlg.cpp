#include "shell/uWebSetDlg.h"
#include "support/TestActions.h"
#include "support/TestMainGui.h"

#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QUrl>

namespace {

template <typename T>
T *Control(QWidget *dialog, const char *name)
{
    T *control = dialog->findChild<T *>(QLatin1String(name));
    if (control == nullptr)
        qFatal("control %s is missing", name);
    return control;
}

QStringList ShownButtons(QWidget *dialog)
{
    QStringList shown;
    for (const char *name : {"btnAdjustViaWeb", "btnNetworkSettings", "btnCalibrate", "btnClose"})
        if (!Control<QPushButton>(dialog, name)->isHidden())
            shown.append(QLatin1String(name));
    return shown;
}

TWebSetRequest Request(bool webOnly, bool networkSettings, bool calibrate)
{
    TWebSetRequest request;
    request.webOnly = webOnly;
    request.networkSettings = networkSettings;
    request.calibrate = calibrate;
    request.deviceName = QStringLiteral("H7530 ");
    request.url = QStringLiteral("http://192.168.1.20:8080");
    return request;
}

} // namespace

class TestWebSetDlg : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void textsAndButtonsByRequest_data();
    void textsAndButtonsByRequest();
    void eachWayOutGivesItsResult_data();
    void eachWayOutGivesItsResult();
    void linkOpensThePageAndStaysOpen();
};

void TestWebSetDlg::textsAndButtonsByRequest_data()
{
    QTest::addColumn<bool>("webOnly");
    QTest::addColumn<bool>("networkSettings");
    QTest::addColumn<bool>("calibrate");
    QTest::addColumn<QString>("deviceName");
    QTest::addColumn<QString>("message");
    QTest::addColumn<QStringList>("buttons");
    const QString newFirmware =
        QStringLiteral("The device H7530 contains new firmware version and it can be adjusted via web interface only.");
    QTest::newRow("web only, network and calibration")
        << true << true << true << "H7530 " << newFirmware
        << QStringList{"btnAdjustViaWeb", "btnNetworkSettings", "btnCalibrate", "btnClose"};
    QTest::newRow("web only without Service menu")
        << true << true << false << "H7530 " << newFirmware
        << QStringList{"btnAdjustViaWeb", "btnNetworkSettings", "btnClose"};
    QTest::newRow("web-configured family")
        << false << false << false << "P8652 "
        << "The device P8652 can be adjusted via web interface only."
        << QStringList{"btnAdjustViaWeb", "btnClose"};
    QTest::newRow("no alternative name")
        << false << true << false << ""
        << "The device can be adjusted via web interface only."
        << QStringList{"btnAdjustViaWeb", "btnNetworkSettings", "btnClose"};
}

void TestWebSetDlg::textsAndButtonsByRequest()
{
    QFETCH(bool, webOnly);
    QFETCH(bool, networkSettings);
    QFETCH(bool, calibrate);
    QFETCH(QString, deviceName);
    TWebSetRequest request = Request(webOnly, networkSettings, calibrate);
    request.deviceName = deviceName;
    TfWebSetDlg dialog(request);
    QCOMPARE(dialog.windowTitle(), QStringLiteral("Information"));
    QVERIFY(!Control<QLabel>(&dialog, "lIcon")->pixmap().isNull());
    QTEST(Control<QLabel>(&dialog, "lMessage")->text(), "message");
    QCOMPARE(Control<QLabel>(&dialog, "lAddress")->text(), QStringLiteral("Web interface address: "));
    QCOMPARE(Control<QLabel>(&dialog, "lLink")->text(),
             QStringLiteral("<a href=\"http://192.168.1.20:8080\">http://192.168.1.20:8080</a>"));
    QTEST(ShownButtons(&dialog), "buttons");
}

void TestWebSetDlg::eachWayOutGivesItsResult_data()
{
    QTest::addColumn<QString>("button"); // empty: Escape
    QTest::addColumn<int>("result");
    QTest::addColumn<int>("pagesOpened");
    QTest::newRow("Adjust via web") << "btnAdjustViaWeb" << int(wsAdjustViaWeb) << 1;
    QTest::newRow("Network settings") << "btnNetworkSettings" << int(wsNetworkSettings) << 0;
    QTest::newRow("Calibrate") << "btnCalibrate" << int(wsCalibrate) << 0;
    QTest::newRow("Close this window") << "btnClose" << int(wsClose) << 0;
    QTest::newRow("Escape") << "" << int(wsClose) << 0;
}

void TestWebSetDlg::eachWayOutGivesItsResult()
{
    QFETCH(QString, button);
    QList<QUrl> opened;
    TestActions::WhenModal<TfWebSetDlg>([&](TfWebSetDlg *dialog) {
        dialog->SetUrlOpener([&opened](const QUrl &url) {
            opened.append(url);
            return true;
        });
        if (button.isEmpty())
            QTest::keyClick(dialog, Qt::Key_Escape);
        else
            QTest::mouseClick(Control<QPushButton>(dialog, qPrintable(button)), Qt::LeftButton);
    });
    QTEST(TfWebSetDlg::Execute(nullptr, Request(true, true, true)), "result");
    QTEST(int(opened.size()), "pagesOpened");
    for (const QUrl &url : opened)
        QCOMPARE(url, QUrl(QStringLiteral("http://192.168.1.20:8080")));
}

void TestWebSetDlg::linkOpensThePageAndStaysOpen()
{
    TfWebSetDlg dialog(Request(false, false, false));
    QList<QUrl> opened;
    dialog.SetUrlOpener([&opened](const QUrl &url) {
        opened.append(url);
        return true;
    });
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    auto *link = Control<QLabel>(&dialog, "lLink");
    Q_EMIT link->linkActivated(QStringLiteral("http://192.168.1.20:8080"));
    QCOMPARE(opened, QList<QUrl>{QUrl(QStringLiteral("http://192.168.1.20:8080"))});
    QVERIFY(dialog.isVisible());
}

PELINOR_TEST_GUI_MAIN(TestWebSetDlg)
#include "test_uWebSetDlg.moc"
