#include "model/uAlterNames.h"

#include "model/uDeviceTypeTable.h"
#include "shell/uErrors.h"
#include "support/TestEnvironment.h"

#include <QFile>
#include <QSet>
#include <QTemporaryDir>
#include <QTest>

namespace {

// An INI file in a folder of its own, removed with the fixture.
class TIniFile {
public:
    explicit TIniFile(const QByteArray &content)
    {
        QFile file(Path());
        if (file.open(QIODevice::WriteOnly))
            file.write(content);
    }
    QString Path() const { return dir_.filePath(QStringLiteral("Pelinor.ini")); }

private:
    QTemporaryDir dir_;
};

QSet<quint16> CodeRange(quint16 first, quint16 last)
{
    QSet<quint16> codes;
    for (quint32 c = first; c <= last; ++c)
        codes.insert(quint16(c));
    return codes;
}

} // namespace

class TestAlterNames : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void tableCodes();
    void namesBeforeLoading();
    void loadsSectionInFileOrder();
    void lookupIgnoresCase();
    void valuesAsProfileFilesReadThem();
    void missingFileLeavesNoNames();
};

void TestAlterNames::tableCodes()
{
    QSet<quint16> codes;
    QSet<quint16> otherCodes;
    for (const TAltName &e : AltNameTable) {
        QVERIFY(e.Row > 0 && e.Row < DeviceTypeCount);
        QVERIFY2(!codes.contains(e.Code), qPrintable(AltModelName(e)));
        codes.insert(e.Code);
        const TDeviceType &t = DeviceTypeTable[e.Row];
        if (t.Family == DeviceFamily::Transmitter)
            QCOMPARE(e.Code, t.DeviceId);
        else
            otherCodes.insert(e.Code);
    }
    const QSet<quint16> expected = CodeRange(0x0005, 0x0007) + CodeRange(0x0014, 0x0015) +
                                   CodeRange(0x1105, 0x110A) + CodeRange(0x8001, 0x800B) +
                                   CodeRange(0x0B01, 0x0B0C) + CodeRange(0x0B80, 0x0B83);
    QCOMPARE(otherCodes, expected);
}

void TestAlterNames::namesBeforeLoading()
{
    const TAlterNames names;
    QVERIFY(!names.ModelNames());
    QCOMPARE(names.AlterName(QStringLiteral("Q0001")), QStringLiteral("Q0001"));
}

// Keys are taken in the order they stand in the file, not sorted, and the
// first key of the section counts like any other.
void TestAlterNames::loadsSectionInFileOrder()
{
    const TIniFile ini("[label]\n"
                       "1002=Not this section\n"
                       "[types]\n"
                       "11001=High bits dropped\n"
                       "1003=Third\n"
                       "zz=not a number\n"
                       "0x1004=prefixed\n"
                       "9999=no such code\n"
                       "; 1005=comment\n"
                       "0005=Ethernet one\n"
                       "1001=Later duplicate of the first\n"
                       "1002=\n"
                       "1003=A key twice reads its first line\n"
                       "[other]\n"
                       "1006=Not this section either\n");
    TAlterNames names;
    names.LoadFromIni(ini.Path(), QStringLiteral("types"));
    QVERIFY(names.ModelNames());
    QCOMPARE(*names.ModelNames(), QStringList({QStringLiteral("Q0001"), QStringLiteral("Q0003"),
                                               QStringLiteral("Q0103"), QStringLiteral("Q0001"),
                                               QStringLiteral("Q0002"), QStringLiteral("Q0003")}));
    QCOMPARE(*names.ShownNames(),
             QStringList({QStringLiteral("High bits dropped"), QStringLiteral("Third"), QStringLiteral("Ethernet one"),
                          QStringLiteral("Later duplicate of the first"), QString(), QStringLiteral("Third")}));
    QCOMPARE(names.AlterName(QStringLiteral("Q0001")), QStringLiteral("High bits dropped"));
    QCOMPARE(names.AlterName(QStringLiteral("Q0002")), QString());
    QCOMPARE(names.AlterName(QStringLiteral("Q0006")), QStringLiteral("Q0006"));
}

void TestAlterNames::lookupIgnoresCase()
{
    const TIniFile ini("[Types]\n1001=First\n");
    TAlterNames names;
    names.LoadFromIni(ini.Path(), QStringLiteral("types"));
    QCOMPARE(names.AlterName(QStringLiteral("q0001")), QStringLiteral("First"));
}

void TestAlterNames::valuesAsProfileFilesReadThem()
{
    const TIniFile ini("\xEF\xBB\xBF[types]\r\n"
                       "  1001 =  Spaced out  \r\n"
                       "1002=\"Quoted name\"\r\n"
                       "1003='Single'\r\n"
                       "1004=M\xC3\xBCller\r\n"
                       "1005=a=b\r\n");
    TAlterNames names;
    names.LoadFromIni(ini.Path(), QStringLiteral("types"));
    QCOMPARE(names.AlterName(QStringLiteral("Q0001")), QStringLiteral("Spaced out"));
    QCOMPARE(names.AlterName(QStringLiteral("Q0002")), QStringLiteral("Quoted name"));
    QCOMPARE(names.AlterName(QStringLiteral("Q0003")), QStringLiteral("Single"));
    QCOMPARE(names.AlterName(QStringLiteral("Q0004")), QStringLiteral("M\u00FCller"));
    QCOMPARE(names.AlterName(QStringLiteral("Q0005")), QStringLiteral("a=b"));

    const TIniFile oldCodePage("[types]\n1004=M\xFCller\n");
    names.LoadFromIni(oldCodePage.Path(), QStringLiteral("types"));
    QCOMPARE(names.AlterName(QStringLiteral("Q0004")), QStringLiteral("M\u00FCller"));
}

void TestAlterNames::missingFileLeavesNoNames()
{
    const TIniFile ini("[types]\n1001=First\n");
    TAlterNames names;
    names.LoadFromIni(ini.Path(), QStringLiteral("types"));
    QVERIFY_THROWS_EXCEPTION(EInOutError, names.LoadFromIni(ini.Path() + QStringLiteral(".missing"),
                                                            QStringLiteral("types")));
    QVERIFY(!names.ModelNames());
    QVERIFY(!names.ShownNames());
    QCOMPARE(names.AlterName(QStringLiteral("Q0001")), QStringLiteral("Q0001"));
}

PELINOR_TEST_MAIN(TestAlterNames)
#include "test_uAlterNames.moc"
