#include "shell/uLang.h"

#include "shell/uAppSettings.h"
#include "shell/uMessages.h"
#include "shell/uTag.h"

#include <QAction>
#include <QCoreApplication>
#include <QFileInfo>
#include <QLocale>
#include <QMenu>
#include <QTranslator>
#include <QUrl>

namespace {

// The choices live per user, keyed by the program's full path, so copies of
// the program in different folders keep their own language.
constexpr const char *LanguageGroup = "Locales";
constexpr const char *LangContext = "TLang";

const char *const RestartTitle = QT_TRANSLATE_NOOP("TLang", "Information");
const char *const RestartText =
    QT_TRANSLATE_NOOP("TLang", "You must restart the application for the language changes to take effect.");

QString SettingsKey(const QString &programFile)
{
    // A path holds slashes, which settings read as groups.
    return QString::fromLatin1(QUrl::toPercentEncoding(QFileInfo(programFile).absoluteFilePath()));
}

QString NativeName(const QString &iso639)
{
    const QLocale locale(iso639);
    if (locale.language() == QLocale::C)
        return iso639;
    const QString native = locale.nativeLanguageName();
    return native.isEmpty() ? QLocale::languageToString(locale.language()) : native;
}

QString Translated(const QTranslator *translator, const char *text)
{
    if (translator != nullptr) {
        const QString own = translator->translate(LangContext, text);
        if (!own.isEmpty())
            return own;
    }
    return QCoreApplication::translate(LangContext, text);
}

} // namespace

const QList<TLanguageId> &TLang::Languages()
{
    static const QList<TLanguageId> languages = {
        {1, "ar"},    {2, "bg"},    {3, "ca"},    {4, "zh"},    {5, "cs"},    {6, "da"},    {7, "de"},
        {8, "el"},    {9, "en"},    {10, "es"},   {11, "fi"},   {12, "fr"},   {13, "he"},   {14, "hu"},
        {15, "is"},   {16, "it"},   {17, "ja"},   {18, "ko"},   {19, "nl"},   {20, "nb"},   {21, "pl"},
        {22, "pt"},   {23, "rm"},   {24, "ro"},   {25, "ru"},   {26, "hr"},   {27, "sk"},   {28, "sq"},
        {29, "sv"},   {30, "th"},   {31, "tr"},   {32, "ur"},   {33, "id"},   {34, "uk"},   {35, "be"},
        {36, "sl"},   {37, "et"},   {38, "lv"},   {39, "lt"},   {40, "tg"},   {41, "fa"},   {42, "vi"},
        {43, "hy"},   {44, "az"},   {45, "eu"},   {46, "hsb"},  {47, "mk"},   {48, "st"},   {49, "ts"},
        {50, "tn"},   {51, "ve"},   {52, "xh"},   {53, "zu"},   {54, "af"},   {55, "ka"},   {56, "fo"},
        {57, "hi"},   {58, "mt"},   {59, "se"},   {60, "ga"},   {61, "yi"},   {62, "ms"},   {63, "kk"},
        {64, "ky"},   {65, "sw"},   {66, "tk"},   {67, "uz"},   {68, "tt"},   {69, "bn"},   {70, "pa"},
        {71, "gu"},   {72, "or"},   {73, "ta"},   {74, "te"},   {75, "kn"},   {76, "ml"},   {77, "as"},
        {78, "mr"},   {79, "sa"},   {80, "mn"},   {81, "bo"},   {82, "cy"},   {83, "km"},   {84, "lo"},
        {85, "my"},   {86, "gl"},   {87, "kok"},  {88, "mni"},  {89, "sd"},   {90, "syr"},  {91, "si"},
        {92, "chr"},  {93, "iu"},   {94, "am"},   {95, "tzm"},  {96, "ks"},   {97, "ne"},   {98, "fy"},
        {99, "ps"},   {100, "fil"}, {101, "dv"},  {102, "bin"}, {103, "ff"},  {104, "ha"},  {105, "ibb"},
        {106, "yo"},  {107, "quz"}, {108, "nso"}, {109, "ba"},  {110, "lb"},  {111, "kl"},  {112, "ig"},
        {113, "kr"},  {114, "om"},  {115, "ti"},  {116, "gn"},  {117, "haw"}, {118, "la"},  {119, "so"},
        {120, "ii"},  {121, "pap"}, {122, "arn"}, {124, "moh"}, {126, "br"},
    };
    return languages;
}

QString TLang::LanguageFile(const QString &programFile, const QString &iso639)
{
    const QFileInfo program(programFile);
    return program.absolutePath() + QLatin1Char('/') + program.completeBaseName() + QLatin1Char('.') + iso639 +
           QStringLiteral(".qm");
}

QString TLang::ChosenLanguage(const QString &programFile)
{
    auto settings = AppSettings::Open();
    settings->beginGroup(QLatin1String(LanguageGroup));
    return settings->value(SettingsKey(programFile)).toString();
}

bool TLang::LoadChosenTranslation(QTranslator &translator, const QString &programFile)
{
    const QString iso = ChosenLanguage(programFile);
    return !iso.isEmpty() && translator.load(LanguageFile(programFile, iso));
}

TLang::TLang(QMenu *menu, const QString &programFile, QObject *parent)
    : QObject(parent), menu_(menu), programFile_(programFile)
{
    FillMenu();
}

void TLang::FillMenu()
{
    for (const TLanguageId &language : Languages()) {
        const QString iso = QString::fromLatin1(language.iso639);
        if (!QFileInfo::exists(LanguageFile(programFile_, iso)))
            continue;
        QAction *item = menu_->addAction(NativeName(iso));
        SetControlTag(item, language.id);
        connect(item, &QAction::triggered, this, [this, item] { LanguageClick(item); });
    }
}

QAction *TLang::Item(int id) const
{
    for (QAction *item : menu_->actions())
        if (ControlTag(item) == id)
            return item;
    return nullptr;
}

void TLang::LanguageClick(QAction *item)
{
    const int id = ControlTag(item);
    QString iso;
    for (const TLanguageId &language : Languages())
        if (language.id == id)
            iso = QString::fromLatin1(language.iso639);
    const QString file = LanguageFile(programFile_, iso);
    if (iso.isEmpty() || !QFileInfo::exists(file))
        return;
    {
        auto settings = AppSettings::Open();
        settings->beginGroup(QLatin1String(LanguageGroup));
        settings->setValue(SettingsKey(programFile_), iso);
    }
    // The box speaks the chosen language when its file can tell.
    QTranslator chosen;
    const QTranslator *texts = chosen.load(file) ? &chosen : nullptr;
    ShowMessageBoxTitled(Translated(texts, RestartTitle), Translated(texts, RestartText), TMsgDlgType::mtInformation,
                         mbOK, mrOk);
}
