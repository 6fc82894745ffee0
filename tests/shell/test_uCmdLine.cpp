#include "shell/uCmdLine.h"
#include "support/TestEnvironment.h"

#include <QTest>

class TestCmdLine : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void switches_data();
    void switches();
};

void TestCmdLine::switches_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<bool>("service");
    QTest::addColumn<bool>("allFirm");
    QTest::addColumn<bool>("co2");
    QTest::addColumn<bool>("prod");
    const QString program = QStringLiteral("/opt/pelinor/pelinor");
    QTest::newRow("none") << QStringList{program} << false << false << false << false;
    QTest::newRow("service and prod") << QStringList{program, "/service", "/prod"} << true << false << false << true;
    QTest::newRow("each once, any order")
        << QStringList{program, "/CO2", "file.msz", "/allfirm", "/prod", "/service"} << true << true << true << true;
    QTest::newRow("repeated") << QStringList{program, "/service", "/service", "/CO2", "/CO2"} << true << false << true
                              << false;
    QTest::newRow("capitals have no effect")
        << QStringList{program, "/SERVICE", "/Prod", "/co2", "/AllFirm"} << false << false << false << false;
    QTest::newRow("compared as a whole")
        << QStringList{program, "/service=1", "service", "-prod", "/allfirm "} << false << false << false << false;
    QTest::newRow("program itself is no switch") << QStringList{"/service"} << false << false << false << false;
}

void TestCmdLine::switches()
{
    QFETCH(QStringList, arguments);
    const TCmdLineSwitches s = ParseCmdLine(arguments);
    QTEST(s.Service, "service");
    QTEST(s.AllFirm, "allFirm");
    QTEST(s.CO2, "co2");
    QTEST(s.Prod, "prod");
}

PELINOR_TEST_MAIN(TestCmdLine)
#include "test_uCmdLine.moc"
