#include "shell/uTAbout.h"
#include "support/TestMainGui.h"

#include <QBitmap>
#include <QImage>
#include <QPainter>
#include <QTemporaryDir>
#include <QTest>

class TestTAbout : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void labelsAndVersion_data();
    void labelsAndVersion();
    void logoFromFileIsCutAndTransparent();
    void withoutLogoFileTheOwnLogo();
};

void TestTAbout::labelsAndVersion_data()
{
    QTest::addColumn<QString>("appNameLong");
    QTest::addColumn<QString>("company");
    QTest::addColumn<QStringList>("appLines");
    QTest::addColumn<QString>("companyShown");
    QTest::newRow("labels") << "Meteo Sensor Setup" << "Meteo" << QStringList{"Meteo Sensor Setup"} << "Meteo";
    QTest::newRow("empty labels") << "" << ""
                                  << QStringList{"Setup utility for sensors",
                                                 "Temperature, humidity, pressure and CO2 transmitters, Ethernet "
                                                 "sensors"}
                                  << "ARVEL";
}

void TestTAbout::labelsAndVersion()
{
    QFETCH(QString, appNameLong);
    QFETCH(QString, company);
    QTemporaryDir program;
    TfTAbout about(appNameLong, company, program.path());
    QCOMPARE(about.windowTitle(), QStringLiteral("About Application ..."));
    QTEST(about.AppNameLines(), "appLines");
    QTEST(about.CompanyText(), "companyShown");
    QCOMPARE(about.VersionText(), QStringLiteral("Version 0.1.0.0"));
    QVERIFY(about.findChild<QWidget *>(QStringLiteral("btnOK")) != nullptr);
}

void TestTAbout::logoFromFileIsCutAndTransparent()
{
    QTemporaryDir program;
    QImage picture(200, 150, QImage::Format_RGB32);
    picture.fill(Qt::white);
    QPainter(&picture).fillRect(10, 10, 50, 50, Qt::blue);
    QVERIFY(picture.save(program.filePath(QStringLiteral("LOGO.BMP")), "BMP"));
    TfTAbout about(QStringLiteral("x"), QStringLiteral("y"), program.path());
    QVERIFY(about.LogoFromFile());
    QCOMPARE(about.Logo().size(), QSize(120, 97));
    const QImage mask = about.Logo().mask().toImage();
    // The white background drops out, the drawing stays.
    QVERIFY(mask.pixelColor(100, 90) != mask.pixelColor(20, 20));
}

void TestTAbout::withoutLogoFileTheOwnLogo()
{
    QTemporaryDir program;
    TfTAbout about(QStringLiteral("x"), QStringLiteral("y"), program.path());
    QVERIFY(!about.LogoFromFile());
    QVERIFY(!about.Logo().isNull());
    QVERIFY(about.Logo().width() <= 120 && about.Logo().height() <= 97);
}

PELINOR_TEST_GUI_MAIN(TestTAbout)
#include "test_uTAbout.moc"
