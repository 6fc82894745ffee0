#include "shell/uCommSettings.h"

#include "shell/uAppSettings.h"
#include "shell/uErrors.h"
#include "support/MockClock.h"
#include "support/TestEnvironment.h"

#include <QDir>
#include <QFile>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

using TRawValues = QMap<QString, QString>;

namespace {

// What the "DEVICE" section holds, value by value, read through a fresh
// settings object.
TRawValues StoredValues()
{
    const auto settings = AppSettings::Open();
    settings->beginGroup(QStringLiteral("DEVICE"));
    TRawValues values;
    for (const QString &key : settings->childKeys())
        values.insert(key, settings->value(key).toString());
    return values;
}

void StoreValues(const TRawValues &values)
{
    const auto settings = AppSettings::Open();
    settings->remove(QStringLiteral("DEVICE"));
    settings->beginGroup(QStringLiteral("DEVICE"));
    for (auto it = values.begin(); it != values.end(); ++it)
        settings->setValue(it.key(), it.value());
}

// A stand-in for a system tool that records its arguments, one per line.
class TFakeTool {
public:
    TFakeTool(const QString &name, const QString &body)
    {
        const QString path = dir_.filePath(name);
        QFile script(path);
        script.open(QIODevice::WriteOnly);
        script.write(QStringLiteral("#!/bin/sh\nprintf '%s\\n' \"$@\" > '%1'\n%2\n").arg(LogPath(), body).toUtf8());
        script.close();
        script.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
        oldPath_ = qgetenv("PATH");
        qputenv("PATH", QFile::encodeName(dir_.path()));
    }
    ~TFakeTool() { qputenv("PATH", oldPath_); }
    QString LogPath() const { return dir_.filePath(QStringLiteral("args.log")); }
    QStringList Arguments() const
    {
        QFile log(LogPath());
        if (!log.open(QIODevice::ReadOnly))
            return {};
        return QString::fromUtf8(log.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    }

private:
    QTemporaryDir dir_;
    QByteArray oldPath_;
};

} // namespace

Q_DECLARE_METATYPE(TCommSettings)

class TestCommSettings : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void parseDeviceAddress_data();
    void parseDeviceAddress();
    void addressCharRule_data();
    void addressCharRule();
    void canonicalIPAddress_data();
    void canonicalIPAddress();
    void loadChecksEachValue_data();
    void loadChecksEachValue();
    void saveWritesTheStoredForms_data();
    void saveWritesTheStoredForms();
    void savedSettingsReadBack_data();
    void savedSettingsReadBack();
    void arpEntryIsClearedWithTheSystemTool_data();
    void arpEntryIsClearedWithTheSystemTool();
    void hangingArpToolIsStoppedAtItsLimit();
};

void TestCommSettings::parseDeviceAddress_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("error");
    QTest::addColumn<int>("address");
    QTest::addColumn<bool>("character");
    const QString invalid = QStringLiteral("Invalid device address!");
    QTest::newRow("decimal") << "17" << "" << 17 << false;
    QTest::newRow("zero") << "0" << "" << 0 << false;
    QTest::newRow("hexadecimal $FF") << "$FF" << "" << 255 << false;
    QTest::newRow("hexadecimal lower case") << "$1a" << "" << 26 << false;
    QTest::newRow("256") << "256" << invalid << 0 << false;
    QTest::newRow("$100") << "$100" << invalid << 0 << false;
    QTest::newRow("negative") << "-1" << invalid << 0 << false;
    QTest::newRow("empty") << "" << "Device address is required!" << 0 << false;
    QTest::newRow("letter u") << "u" << "" << int('u') << true;
    QTest::newRow("letter A") << "A" << "" << int('A') << true;
    QTest::newRow("letter S") << "S" << "" << int('S') << true;
    QTest::newRow("letter t refused") << "t" << invalid << 0 << false;
    QTest::newRow("letter T refused") << "T" << invalid << 0 << false;
    QTest::newRow("two letters") << "ab" << invalid << 0 << false;
    QTest::newRow("digit and letter") << "1a" << invalid << 0 << false;
    QTest::newRow("dollar alone") << "$" << invalid << 0 << false;
    QTest::newRow("not ASCII") << QStringLiteral("\u00e9") << invalid << 0 << false;
}

void TestCommSettings::parseDeviceAddress()
{
    QFETCH(QString, text);
    QFETCH(QString, error);
    QFETCH(int, address);
    QFETCH(bool, character);
    try {
        const CommSettings::TDeviceAddress a = CommSettings::ParseDeviceAddress(text);
        QVERIFY2(error.isEmpty(), "accepted an invalid address");
        QCOMPARE(int(a.address), address);
        QCOMPARE(a.character, character);
    } catch (const EConvertError &e) {
        QCOMPARE(e.Message(), error);
    }
}

void TestCommSettings::addressCharRule_data()
{
    QTest::addColumn<int>("code");
    QTest::addColumn<QChar>("letter");
    QTest::newRow("address 1") << 1 << QChar(u'A');
    QTest::newRow("address 0") << 0 << QChar(u'A');
    QTest::newRow("letter stays") << int('b') << QChar(u'b');
    QTest::newRow("T becomes U") << int('T') << QChar(u'U');
    QTest::newRow("t becomes u") << int('t') << QChar(u'u');
    QTest::newRow("'[' next to Z") << int('[') << QChar(u'Z');
    QTest::newRow("'`' next to a") << int('`') << QChar(u'a');
    QTest::newRow("'@' next to A") << int('@') << QChar(u'A');
    QTest::newRow("'{' next to z") << int('{') << QChar(u'z');
    QTest::newRow("digit 5") << int('5') << QChar(u'A');
    QTest::newRow("255") << 255 << QChar(u'z');
}

void TestCommSettings::addressCharRule()
{
    QFETCH(int, code);
    QFETCH(QChar, letter);
    QCOMPARE(CommSettings::AddressCharRule(code), letter);
}

void TestCommSettings::canonicalIPAddress_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("canonical");
    QTest::newRow("plain") << "192.168.1.213" << "192.168.1.213";
    QTest::newRow("leading zeros") << "192.168.001.010" << "192.168.1.10";
    QTest::newRow("blanks inside") << " 10. 0.0.1" << "10.0.0.1";
    QTest::newRow("trailing blank") << "1.2.3.4 " << "1.2.3.4";
    QTest::newRow("octet 300") << "192.168.1.300" << "";
    QTest::newRow("empty") << "" << "";
    QTest::newRow("three parts") << "10.0.0" << "";
    QTest::newRow("five parts") << "1.2.3.4.5" << "";
    QTest::newRow("empty part") << "10..0.1" << "";
    QTest::newRow("letters") << "a.b.c.d" << "";
    QTest::newRow("sign") << "+1.2.3.4" << "";
    QTest::newRow("too long") << "100.100.100.1000" << "";
    QTest::newRow("prefix length") << "10.0.0.0/8" << "";
}

void TestCommSettings::canonicalIPAddress()
{
    QFETCH(QString, text);
    QFETCH(QString, canonical);
    QCOMPARE(CommSettings::CanonicalIPAddress(text), canonical);
    QCOMPARE(CommSettings::IsValidIPAddress(text), !canonical.isEmpty());
}

void TestCommSettings::loadChecksEachValue_data()
{
    QTest::addColumn<TRawValues>("stored");
    QTest::addColumn<TCommSettings>("expected");
    const TCommSettings defaults;
    TCommSettings ethernet;
    ethernet.InterfaceType = icEthernet;
    ethernet.IPAddress = QStringLiteral("192.168.1.10");
    QTest::newRow("nothing stored") << TRawValues{} << defaults;
    QTest::newRow("serial values")
        << TRawValues{{"Type", "2"}, {"Port", "12"}, {"Baudrate", "56000"}, {"Character", "1"}, {"Address", "117"}}
        << TCommSettings{icRS485, 12, 56000, true, 'u', DefaultIPAddress};
    QTest::newRow("Type 7 reads as none") << TRawValues{{"Type", "7"}} << defaults;
    QTest::newRow("Type -1 reads as none") << TRawValues{{"Type", "-1"}} << defaults;
    QTest::newRow("Type -2 reads as none") << TRawValues{{"Type", "-2"}} << defaults;
    QTest::newRow("Port 0") << TRawValues{{"Port", "0"}} << defaults;
    QTest::newRow("Port 256") << TRawValues{{"Port", "256"}} << defaults;
    QTest::newRow("Port not a number") << TRawValues{{"Port", "COM3"}} << defaults;
    QTest::newRow("Baudrate 9601") << TRawValues{{"Baudrate", "9601"}} << defaults;
    QTest::newRow("Baudrate 128000 is no sensor rate") << TRawValues{{"Baudrate", "128000"}} << defaults;
    QTest::newRow("Baudrate -1") << TRawValues{{"Baudrate", "-1"}} << defaults;
    QTest::newRow("Address 300") << TRawValues{{"Address", "300"}} << defaults;
    QTest::newRow("letter flag with a number") << TRawValues{{"Character", "1"}, {"Address", "5"}} << defaults;
    QTest::newRow("letter flag with T") << TRawValues{{"Character", "1"}, {"Address", "84"}} << defaults;
    QTest::newRow("IP 192.168.1.300") << TRawValues{{"IP", "192.168.1.300"}} << defaults;
    QTest::newRow("IP with leading zeros")
        << TRawValues{{"Type", "3"}, {"IP", "192.168.001.010"}} << ethernet;
}

void TestCommSettings::loadChecksEachValue()
{
    QFETCH(TRawValues, stored);
    QFETCH(TCommSettings, expected);
    StoreValues(stored);
    QCOMPARE(CommSettings::Load(), expected);
}

void TestCommSettings::saveWritesTheStoredForms_data()
{
    QTest::addColumn<TRawValues>("before");
    QTest::addColumn<TCommSettings>("settings");
    QTest::addColumn<TRawValues>("after");
    const TRawValues serial{{"Type", "1"}, {"Port", "4"}, {"Baudrate", "19200"}, {"Character", "0"}, {"Address", "17"}};
    TCommSettings ethernet;
    ethernet.InterfaceType = icEthernet;
    ethernet.IPAddress = QStringLiteral("10.0.0.7");
    TRawValues serialThenEthernet = serial;
    serialThenEthernet["Type"] = "3";
    serialThenEthernet["IP"] = "10.0.0.7";
    QTest::newRow("serial") << TRawValues{} << TCommSettings{icRS232, 4, 19200, false, 17, DefaultIPAddress} << serial;
    QTest::newRow("letter address")
        << TRawValues{} << TCommSettings{icRS485, 2, 9600, true, 'K', DefaultIPAddress}
        << TRawValues{{"Type", "2"}, {"Port", "2"}, {"Baudrate", "9600"}, {"Character", "1"}, {"Address", "75"}};
    QTest::newRow("none as -1")
        << TRawValues{} << TCommSettings{icNone, 1, 9600, false, 1, DefaultIPAddress}
        << TRawValues{{"Type", "-1"}, {"Port", "1"}, {"Baudrate", "9600"}, {"Character", "0"}, {"Address", "1"}};
    QTest::newRow("Ethernet keeps the serial values") << serial << ethernet << serialThenEthernet;
    QTest::newRow("Ethernet writes no serial values")
        << TRawValues{} << ethernet << TRawValues{{"Type", "3"}, {"IP", "10.0.0.7"}};
}

void TestCommSettings::saveWritesTheStoredForms()
{
    QFETCH(TRawValues, before);
    QFETCH(TCommSettings, settings);
    QFETCH(TRawValues, after);
    StoreValues(before);
    CommSettings::Save(settings);
    QCOMPARE(StoredValues(), after);
}

void TestCommSettings::savedSettingsReadBack_data()
{
    QTest::addColumn<TCommSettings>("settings");
    TCommSettings ethernet;
    ethernet.InterfaceType = icEthernet;
    ethernet.IPAddress = QStringLiteral("172.16.254.1");
    QTest::newRow("service cable") << TCommSettings{icServiceCable, 255, 115200, false, 0, DefaultIPAddress};
    QTest::newRow("RS485 letter") << TCommSettings{icRS485, 9, 110, true, 'z', DefaultIPAddress};
    QTest::newRow("Ethernet") << ethernet;
}

void TestCommSettings::savedSettingsReadBack()
{
    QFETCH(TCommSettings, settings);
    StoreValues({});
    CommSettings::Save(settings);
    QCOMPARE(CommSettings::Load(), settings);
}

void TestCommSettings::arpEntryIsClearedWithTheSystemTool_data()
{
    QTest::addColumn<QString>("tool");
    QTest::addColumn<QString>("ip");
    QTest::addColumn<QStringList>("arguments");
    QTest::newRow("ip") << "ip" << "127.0.0.5" << QStringList{"neigh", "flush", "to", "127.0.0.5"};
    QTest::newRow("arp") << "arp" << "127.0.0.5" << QStringList{"-d", "127.0.0.5"};
    QTest::newRow("canonical address only") << "arp" << "127.000.000.005" << QStringList{"-d", "127.0.0.5"};
    QTest::newRow("no valid address, no command") << "ip" << "0.0.0.0/0" << QStringList{};
}

void TestCommSettings::arpEntryIsClearedWithTheSystemTool()
{
    QFETCH(QString, tool);
    QFETCH(QString, ip);
    QFETCH(QStringList, arguments);
    TFakeTool fake(tool, QStringLiteral("exit 1"));
    CommSettings::ClearArpEntry(ip); // the tool's failure is ignored
    QCOMPARE(fake.Arguments(), arguments);
}

void TestCommSettings::hangingArpToolIsStoppedAtItsLimit()
{
    // The program's clock runs the limit: with the test clock the wait is
    // over at once although the tool would sleep for a minute.
    const QString sleep = QStandardPaths::findExecutable(QStringLiteral("sleep"));
    QVERIFY(!sleep.isEmpty());
    TMockClock clock;
    TFakeTool fake(QStringLiteral("ip"), QStringLiteral("exec '%1' 60").arg(sleep));
    CommSettings::ClearArpEntry(QStringLiteral("127.0.0.9"));
    QVERIFY(!clock.Waits().isEmpty());
}

PELINOR_TEST_MAIN(TestCommSettings)
#include "test_uCommSettings.moc"
