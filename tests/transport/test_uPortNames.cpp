#include "transport/uPortNames.h"
#include "support/TestEnvironment.h"

#include <QFile>
#include <QTest>

class TestPortNames : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void parseComNumber_data();
    void parseComNumber();
    void linkInPortsFolderTakesPrecedence();
    void deviceBelowDevKeepsItsFolder();
    void defaultOrderIsFixed_data();
    void defaultOrderIsFixed();
};

void TestPortNames::parseComNumber_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("number");
    QTest::newRow("plain") << "COM3" << 3;
    QTest::newRow("with device") << "COM12 (ttyUSB0)" << 12;
    QTest::newRow("lower case") << "com7" << 7;
    QTest::newRow("non-digits skipped") << "\\\\.\\COM#15" << 15;
    QTest::newRow("first occurrence") << "USB COM4 COM5" << 4;
    QTest::newRow("no digits") << "COM" << -1;
    QTest::newRow("no COM") << "ttyUSB0" << -1;
    QTest::newRow("after a letter that grows in upper case") << QStringLiteral("\u00dfCOM3") << 3;
}

void TestPortNames::parseComNumber()
{
    QFETCH(QString, text);
    QFETCH(int, number);
    QCOMPARE(PortNames::ParseComNumber(text), number);
}

void TestPortNames::linkInPortsFolderTakesPrecedence()
{
    const QString link = TestEnvironment::PortDir() + QStringLiteral("/COM5");
    QVERIFY(QFile::link(QStringLiteral("/dev/null"), link));
    QCOMPARE(PortNames::DevicePath(5), link);
    QCOMPARE(PortNames::DeviceName(5), QStringLiteral("null"));
    QCOMPARE(PortNames::DisplayName(5), QStringLiteral("COM5 (null)"));
    QCOMPARE(PortNames::ComNumberOfDevice(QStringLiteral("/dev/null")), 5);
    QFile::remove(link);
    QCOMPARE(PortNames::DevicePath(5), QStringLiteral("/dev/ttyS4"));
}

void TestPortNames::deviceBelowDevKeepsItsFolder()
{
    const QString link = TestEnvironment::PortDir() + QStringLiteral("/COM9");
    QVERIFY(QFile::link(QStringLiteral("/dev/pts/77"), link));
    QCOMPARE(PortNames::DisplayName(9), QStringLiteral("COM9 (pts/77)"));
    QFile::remove(link);
}

void TestPortNames::defaultOrderIsFixed_data()
{
    QTest::addColumn<int>("com");
    QTest::addColumn<QString>("path");
    QTest::newRow("COM1") << 1 << "/dev/ttyS0";
    QTest::newRow("COM32") << 32 << "/dev/ttyS31";
    QTest::newRow("COM33") << 33 << "/dev/ttyUSB0";
    QTest::newRow("COM65") << 65 << "/dev/ttyACM0";
    QTest::newRow("COM97") << 97 << "/dev/ttyAMA0";
    QTest::newRow("COM200 none") << 200 << "";
    QTest::newRow("COM0 invalid") << 0 << "";
    QTest::newRow("COM256 invalid") << 256 << "";
}

void TestPortNames::defaultOrderIsFixed()
{
    QFETCH(int, com);
    QFETCH(QString, path);
    QCOMPARE(PortNames::DevicePath(com), path);
}

PELINOR_TEST_MAIN(TestPortNames)
#include "test_uPortNames.moc"
