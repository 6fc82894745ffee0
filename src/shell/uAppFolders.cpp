#include "shell/uAppFolders.h"

#include "shell/uErrors.h"
#include "shell/uIniFile.h"
#include "uVersion.h"

#include <QCoreApplication>
#include <QDir>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryFile>

namespace {

const QString DefaultCompanyLabel = QStringLiteral("ARVEL");
const QString DefaultCompanyFolder = QStringLiteral("ArvelLoggers");
const QString DefaultAppName = QStringLiteral("Pelinor");
const QString IniName = QStringLiteral("Pelinor.ini");
constexpr qsizetype FolderNameMaxLength = 255;

TAppValues &CurrentValues()
{
    static TAppValues values = DefaultAppValues();
    return values;
}

QString WithSlash(const QString &folder)
{
    if (folder.isEmpty() || folder.endsWith(QLatin1Char('/')))
        return folder;
    return folder + QLatin1Char('/');
}

// The sub-path below a base folder, in capitalised words.
QString SubPath(const TAppValues &values)
{
    return CapitalisedWords(values.CompanyFolder + QLatin1Char('/') + values.AppName) + QLatin1Char('/');
}

bool IsWritableFolder(const QString &folder)
{
    // A uniquely named probe: a user's own file of any name stays untouched.
    QTemporaryFile probe(folder + QStringLiteral("pelinor-XXXXXX.tmp"));
    if (!probe.open())
        return false;
    const bool written = probe.write("test\r\n") == 6 && probe.flush();
    return written;
}

bool MakeFolder(const QString &folder)
{
    return !folder.isEmpty() && QDir().mkpath(folder) && QFileInfo(folder).isDir();
}

void RequireFolder(const QString &folder)
{
    if (!MakeFolder(folder))
        throw EInOutError(QStringLiteral("Unable to create directory \"%1\"").arg(QDir::toNativeSeparators(folder)));
}

} // namespace

TAppValues DefaultAppValues()
{
    TAppValues values;
    values.CompanyLabel = DefaultCompanyLabel;
    values.CompanyLongName = QStringLiteral("ARVEL Loggers");
    values.AppName = DefaultAppName;
    values.AppNameLong = QCoreApplication::translate("AppFolders", "Sensors Setup Utility");
    values.SplashLine1 = QCoreApplication::translate("AppFolders", "Sensors Setup Utility");
    values.SplashLine2 = DefaultCompanyLabel;
    values.CompanyFolder = DefaultCompanyFolder;
    return values;
}

const TAppValues &AppValues()
{
    return CurrentValues();
}

bool IsValidFolderName(const QString &name)
{
    static const QRegularExpression forbidden(QStringLiteral("[\"*/:<>?\\\\|\\x00-\\x1f]"));
    if (name.isEmpty() || name.size() > FolderNameMaxLength)
        return false;
    if (name.contains(forbidden))
        return false;
    // Covers "." and ".." too: Windows drops trailing dots and blanks.
    if (name.endsWith(QLatin1Char('.')) || name.endsWith(QLatin1Char(' ')) || name.startsWith(QLatin1Char(' ')))
        return false;
    return true;
}

QString CompanyFolderFor(const QString &companyLabel)
{
    if (companyLabel.toUpper() != DefaultCompanyLabel && IsValidFolderName(companyLabel))
        return companyLabel;
    return DefaultCompanyFolder;
}

QString CapitalisedWords(const QString &text)
{
    QString result = text;
    bool wordStart = true;
    for (QChar &c : result) {
        if (c.isLetter())
            c = wordStart ? c.toUpper() : c.toLower();
        wordStart = c.isSpace() || c.isPunct() || c.isSymbol();
    }
    return result;
}

TAppValues ReadAppLabels(const QString &programFolder)
{
    TAppValues values = DefaultAppValues();
    values.ProgramFolder = WithSlash(QDir::cleanPath(programFolder));
    values.IniFileName = values.ProgramFolder + IniName;
    const TIniFile ini(values.IniFileName);
    const QString label = QStringLiteral("label");
    values.CompanyLabel = ini.ReadString(label, QStringLiteral("company"), values.CompanyLabel);
    values.CompanyLongName = ini.ReadString(label, QStringLiteral("companylong"), values.CompanyLongName);
    values.AppName = ini.ReadString(label, QStringLiteral("appname"), values.AppName);
    values.AppNameLong = ini.ReadString(label, QStringLiteral("appnamelong"), values.AppNameLong);
    values.SplashLine1 = ini.ReadString(QStringLiteral("splash"), QStringLiteral("1"), values.SplashLine1);
    values.SplashLine2 = ini.ReadString(QStringLiteral("splash"), QStringLiteral("2"), values.SplashLine2);
    values.CompanyFolder = CompanyFolderFor(values.CompanyLabel);
    // The application name becomes a folder as well; a name that would leave
    // or split it keeps the data where it belongs.
    if (!IsValidFolderName(values.AppName))
        values.AppName = DefaultAppName;
    return values;
}

TAppFolderBases StandardFolderBases()
{
    TAppFolderBases bases;
    bases.local = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    bases.documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    const QStringList shared = QStandardPaths::standardLocations(QStandardPaths::GenericDataLocation);
    for (const QString &folder : shared) {
        if (QDir::cleanPath(folder) != QDir::cleanPath(bases.local)) {
            bases.common = folder;
            break;
        }
    }
    return bases;
}

void ResolveAppFolders(TAppValues &values, const TAppFolderBases &bases)
{
    const QString sub = SubPath(values);
    values.LocalDataFolder = bases.local.isEmpty() ? QString() : WithSlash(bases.local) + sub;
    values.DocumentsFolder = bases.documents.isEmpty() ? QString() : WithSlash(bases.documents) + sub;
    const QString common = bases.common.isEmpty() ? QString() : WithSlash(bases.common) + sub;
    if (MakeFolder(common) && IsWritableFolder(common)) {
        values.DataFolder = common;
    } else {
        RequireFolder(values.LocalDataFolder);
        values.DataFolder = values.LocalDataFolder;
    }
    RequireFolder(values.LocalDataFolder);
    RequireFolder(values.DocumentsFolder);
}

void SetAppFolders(const QString &programFolder)
{
    try {
        TAppValues values = ReadAppLabels(programFolder);
        ResolveAppFolders(values, StandardFolderBases());
        CurrentValues() = values;
    } catch (const Exception &e) {
        throw Exception(QStringLiteral("Error occured in SetAppFolders: ") + e.Message());
    } catch (const std::exception &e) {
        throw Exception(QStringLiteral("Error occured in SetAppFolders: ") + QString::fromLocal8Bit(e.what()));
    }
}

QString ProductVersion()
{
    static const QRegularExpression fourNumbers(QStringLiteral("^\\d+\\.\\d+\\.\\d+\\.\\d+$"));
    const QString version = QStringLiteral(PELINOR_VERSION_TEXT);
    return fourNumbers.match(version).hasMatch() ? version : QStringLiteral("??.??.??.??");
}
