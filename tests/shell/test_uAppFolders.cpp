#include "shell/uAppFolders.h"
#include "shell/uErrors.h"
#include "shell/uIniFile.h"
#include "support/TestEnvironment.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

namespace {

void WriteFile(const QString &name, const QByteArray &content)
{
    QFile file(name);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(content);
}

QStringList LastTwoNames(const QString &folder)
{
    const QStringList parts = QDir::cleanPath(folder).split(QLatin1Char('/'));
    return parts.mid(parts.size() - 2);
}

} // namespace

class TestAppFolders : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void withoutIniTheDefaultsHold();
    void iniLabels();
    void companyFolder_data();
    void companyFolder();
    void capitalisedWords_data();
    void capitalisedWords();
    void applicationNameCannotLeaveTheCompanyFolder();
    void unusableCommonFolderFallsBackToLocal();
    void writabilityProbeLeavesUserFilesAlone();
    void failureStopsTheStartWithItsText();
    void productVersionOfTheBuild();

private:
    QString ProgramFolder(const QByteArray &ini = QByteArray());
    QTemporaryDir dir_;
    int programs_ = 0;
};

QString TestAppFolders::ProgramFolder(const QByteArray &ini)
{
    const QString folder = dir_.filePath(QStringLiteral("program%1").arg(++programs_));
    QDir().mkpath(folder);
    if (!ini.isNull())
        WriteFile(folder + QStringLiteral("/Pelinor.ini"), ini);
    return folder;
}

void TestAppFolders::withoutIniTheDefaultsHold()
{
    const QString program = ProgramFolder();
    SetAppFolders(program);
    const TAppValues &v = AppValues();
    QCOMPARE(v.IniFileName, program + QStringLiteral("/Pelinor.ini"));
    QCOMPARE(v.CompanyLabel, QStringLiteral("ARVEL"));
    QCOMPARE(v.AppName, QStringLiteral("Pelinor"));
    QCOMPARE(v.AppNameLong, QStringLiteral("Sensors Setup Utility"));
    QCOMPARE(v.SplashLine1, QStringLiteral("Sensors Setup Utility"));
    QCOMPARE(v.SplashLine2, QStringLiteral("ARVEL"));
    QCOMPARE(v.CompanyFolder, QStringLiteral("ArvelLoggers"));
    // The isolated environment's shared data folder is writable.
    QCOMPARE(v.DataFolder, TestEnvironment::Root() + QStringLiteral("/common/Arvelloggers/Pelinor/"));
    QCOMPARE(LastTwoNames(v.DataFolder), QStringList({"Arvelloggers", "Pelinor"}));
    QVERIFY(QFileInfo(v.DataFolder).isDir());
    QCOMPARE(LastTwoNames(v.LocalDataFolder), QStringList({"Arvelloggers", "Pelinor"}));
    QVERIFY(v.LocalDataFolder.startsWith(TestEnvironment::Root() + QStringLiteral("/home/.local/share/")));
    QVERIFY(QFileInfo(v.LocalDataFolder).isDir());
    QCOMPARE(LastTwoNames(v.DocumentsFolder), QStringList({"Arvelloggers", "Pelinor"}));
    QVERIFY(QFileInfo(v.DocumentsFolder).isDir());
}

void TestAppFolders::iniLabels()
{
    // Windows-style: any case of section and key, blanks around "=", a comma
    // that is part of the text, comments.
    const QString program = ProgramFolder("; branding\r\n"
                                          "[Label]\r\n"
                                          "Company = Meteo\r\n"
                                          "companylong=Meteo Instruments, Inc.\r\n"
                                          "appnamelong=\"Meteo Setup\"\r\n"
                                          "[splash]\r\n"
                                          "1=Meteo Setup\r\n"
                                          "2=METEO\r\n");
    SetAppFolders(program);
    const TAppValues &v = AppValues();
    QCOMPARE(v.CompanyLabel, QStringLiteral("Meteo"));
    QCOMPARE(v.CompanyLongName, QStringLiteral("Meteo Instruments, Inc."));
    QCOMPARE(v.AppNameLong, QStringLiteral("Meteo Setup"));
    QCOMPARE(v.AppName, QStringLiteral("Pelinor"));
    QCOMPARE(v.SplashLine1, QStringLiteral("Meteo Setup"));
    QCOMPARE(v.SplashLine2, QStringLiteral("METEO"));
    QCOMPARE(v.CompanyFolder, QStringLiteral("Meteo"));
    QCOMPARE(LastTwoNames(v.DataFolder), QStringList({"Meteo", "Pelinor"}));
}

void TestAppFolders::companyFolder_data()
{
    QTest::addColumn<QString>("label");
    QTest::addColumn<QString>("folder");
    const QString fallback = QStringLiteral("ArvelLoggers");
    QTest::newRow("the maker's own") << "ARVEL" << fallback;
    QTest::newRow("the maker's own, any case") << "Arvel" << fallback;
    QTest::newRow("another company") << "Meteo Lab" << "Meteo Lab";
    QTest::newRow("colon") << "Meteo:Lab" << fallback;
    QTest::newRow("empty") << "" << fallback;
    QTest::newRow("dot") << "." << fallback;
    QTest::newRow("dot dot") << ".." << fallback;
    QTest::newRow("slash") << "a/b" << fallback;
    QTest::newRow("backslash") << "a\\b" << fallback;
    QTest::newRow("climbing") << "../../etc" << fallback;
    QTest::newRow("trailing dot") << "Meteo." << fallback;
    QTest::newRow("leading blank") << " Meteo" << fallback;
    QTest::newRow("control character") << "Me\tteo" << fallback;
    for (const char *c : {"\"", "*", "<", ">", "?", "|"})
        QTest::newRow(c) << QStringLiteral("Me%1teo").arg(QLatin1String(c)) << fallback;
    QTest::newRow("255 characters") << QString(255, QLatin1Char('m')) << QString(255, QLatin1Char('m'));
    QTest::newRow("256 characters") << QString(256, QLatin1Char('m')) << fallback;
}

void TestAppFolders::companyFolder()
{
    QFETCH(QString, label);
    QTEST(CompanyFolderFor(label), "folder");
}

void TestAppFolders::capitalisedWords_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("result");
    QTest::newRow("default sub-path") << "ArvelLoggers/Pelinor" << "Arvelloggers/Pelinor";
    QTest::newRow("blanks") << "meteo LAB/pelinor" << "Meteo Lab/Pelinor";
    QTest::newRow("punctuation") << "o'neil-meteo/x" << "O'Neil-Meteo/X";
    QTest::newRow("digits keep the word") << "2nd lab" << "2nd Lab";
}

void TestAppFolders::capitalisedWords()
{
    QFETCH(QString, text);
    QTEST(CapitalisedWords(text), "result");
}

void TestAppFolders::applicationNameCannotLeaveTheCompanyFolder()
{
    const QString program = ProgramFolder("[label]\nappname=../../..\ncompany=..\n");
    SetAppFolders(program);
    QCOMPARE(AppValues().AppName, QStringLiteral("Pelinor"));
    QCOMPARE(AppValues().DataFolder, TestEnvironment::Root() + QStringLiteral("/common/Arvelloggers/Pelinor/"));
}

void TestAppFolders::unusableCommonFolderFallsBackToLocal()
{
    // A file where the shared folder should be: it can never be created,
    // whatever rights the test runs with.
    const QString blocker = dir_.filePath(QStringLiteral("blocker"));
    WriteFile(blocker, "not a folder");
    TAppValues values = ReadAppLabels(ProgramFolder());
    const TAppFolderBases bases{blocker + QStringLiteral("/share"), dir_.filePath(QStringLiteral("local")),
                                dir_.filePath(QStringLiteral("docs"))};
    ResolveAppFolders(values, bases);
    QCOMPARE(values.DataFolder, dir_.filePath(QStringLiteral("local/Arvelloggers/Pelinor/")));
    QCOMPARE(values.DataFolder, values.LocalDataFolder);
    QVERIFY(QFileInfo(values.DataFolder).isDir());
    QVERIFY(QFileInfo(dir_.filePath(QStringLiteral("docs/Arvelloggers/Pelinor"))).isDir());

    TAppValues noShared = ReadAppLabels(ProgramFolder());
    ResolveAppFolders(noShared, TAppFolderBases{QString(), bases.local, bases.documents});
    QCOMPARE(noShared.DataFolder, values.LocalDataFolder);
}

void TestAppFolders::writabilityProbeLeavesUserFilesAlone()
{
    const QString common = dir_.filePath(QStringLiteral("shared"));
    const QString data = common + QStringLiteral("/Arvelloggers/Pelinor/");
    QVERIFY(QDir().mkpath(data));
    WriteFile(data + QStringLiteral("test.txt"), "the user's own notes");
    TAppValues values = ReadAppLabels(ProgramFolder());
    ResolveAppFolders(values, TAppFolderBases{common, dir_.filePath(QStringLiteral("l")), dir_.filePath("d")});
    QCOMPARE(values.DataFolder, data);
    QFile notes(data + QStringLiteral("test.txt"));
    QVERIFY(notes.open(QIODevice::ReadOnly));
    QCOMPARE(notes.readAll(), QByteArray("the user's own notes"));
    QCOMPARE(QDir(data).entryList(QDir::Files), QStringList({"test.txt"}));
}

void TestAppFolders::failureStopsTheStartWithItsText()
{
    const QString blocker = dir_.filePath(QStringLiteral("home-blocker"));
    WriteFile(blocker, "x");
    const QByteArray savedHome = qgetenv("XDG_DATA_HOME");
    qputenv("XDG_DATA_HOME", QFile::encodeName(blocker + QStringLiteral("/share")));
    QString message;
    try {
        SetAppFolders(ProgramFolder());
    } catch (const Exception &e) {
        message = e.Message();
    }
    qputenv("XDG_DATA_HOME", savedHome);
    QVERIFY2(message.startsWith(QStringLiteral("Error occured in SetAppFolders: ")), qPrintable(message));
    QVERIFY2(message.size() > QStringLiteral("Error occured in SetAppFolders: ").size(), qPrintable(message));
}

void TestAppFolders::productVersionOfTheBuild()
{
    QCOMPARE(ProductVersion(), QStringLiteral("0.1.0.0"));
}

PELINOR_TEST_MAIN(TestAppFolders)
#include "test_uAppFolders.moc"
