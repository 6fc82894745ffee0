#include "shell/uLang.h"
#include "shell/uTag.h"
#include "support/ScriptedMessages.h"
#include "support/TestMainGui.h"

#include <QAction>
#include <QFile>
#include <QMenu>
#include <QTemporaryDir>
#include <QTest>
#include <QTranslator>

namespace {

void Touch(const QString &name)
{
    QFile file(name);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("not a translation");
}

QStringList Captions(const QMenu &menu)
{
    QStringList captions;
    for (const QAction *item : menu.actions())
        captions.append(item->text());
    return captions;
}

QList<int> Tags(const QMenu &menu)
{
    QList<int> tags;
    for (const QAction *item : menu.actions())
        tags.append(ControlTag(item));
    return tags;
}

} // namespace

class TestLang : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init();
    void withoutLanguageFilesTheMenuIsEmpty();
    void itemsForPresentFilesInIdOrder();
    void choiceIsRecordedAndRestartBoxSpeaksIt();
    void unreadableLanguageFileGivesOwnTexts();
    void vanishedFileRecordsNothing();

private:
    QString program_;
    std::unique_ptr<QTemporaryDir> dir_;
};

void TestLang::init()
{
    dir_ = std::make_unique<QTemporaryDir>();
    program_ = dir_->filePath(QStringLiteral("pelinor"));
}

void TestLang::withoutLanguageFilesTheMenuIsEmpty()
{
    Touch(dir_->filePath(QStringLiteral("pelinor.qm")));
    Touch(dir_->filePath(QStringLiteral("other.cs.qm")));
    QMenu menu;
    TLang lang(&menu, program_);
    QVERIFY(menu.actions().isEmpty());
}

void TestLang::itemsForPresentFilesInIdOrder()
{
    for (const char *name : {"pelinor.de.qm", "pelinor.cs.qm", "pelinor.xx.qm", "pelinor.fr.txt", "pelinor.sk.qm"})
        Touch(dir_->filePath(QLatin1String(name)));
    QMenu menu;
    TLang lang(&menu, program_);
    QCOMPARE(Tags(menu), QList<int>({5, 7, 27}));
    QCOMPARE(Captions(menu), QStringList({"čeština", "Deutsch", "slovenčina"}));
    QCOMPARE(lang.Item(7)->text(), QStringLiteral("Deutsch"));
}

void TestLang::choiceIsRecordedAndRestartBoxSpeaksIt()
{
    QVERIFY(QFile::copy(QStringLiteral(PELINOR_TEST_CS_QM), dir_->filePath(QStringLiteral("pelinor.cs.qm"))));
    QMenu menu;
    TLang lang(&menu, program_);
    TScriptedMessages messages;
    QCOMPARE(TLang::ChosenLanguage(program_), QString());
    lang.Item(5)->trigger();
    QCOMPARE(TLang::ChosenLanguage(program_), QStringLiteral("cs"));
    QCOMPARE(messages.shown.size(), 1);
    QCOMPARE(messages.shown[0].title, QStringLiteral("Informace"));
    QCOMPARE(messages.shown[0].text, QStringLiteral("Změna jazyka se projeví po novém spuštění aplikace."));
    QCOMPARE(messages.shown[0].type, TMsgDlgType::mtInformation);
    // The running program keeps its language; the next start loads it.
    QCOMPARE(QCoreApplication::translate("TLang", "Information"), QStringLiteral("Information"));
    QTranslator translator;
    QVERIFY(TLang::LoadChosenTranslation(translator, program_));
    QCOMPARE(translator.translate("TLang", "Information"), QStringLiteral("Informace"));
    // Another copy of the program keeps its own choice.
    QCOMPARE(TLang::ChosenLanguage(dir_->filePath(QStringLiteral("copy/pelinor"))), QString());
}

void TestLang::unreadableLanguageFileGivesOwnTexts()
{
    Touch(dir_->filePath(QStringLiteral("pelinor.de.qm")));
    QMenu menu;
    TLang lang(&menu, program_);
    TScriptedMessages messages;
    lang.Item(7)->trigger();
    QCOMPARE(TLang::ChosenLanguage(program_), QStringLiteral("de"));
    QCOMPARE(messages.shown.size(), 1);
    QCOMPARE(messages.shown[0].title, QStringLiteral("Information"));
    QCOMPARE(messages.shown[0].text,
             QStringLiteral("You must restart the application for the language changes to take effect."));
    QTranslator translator;
    QVERIFY(!TLang::LoadChosenTranslation(translator, program_));
}

void TestLang::vanishedFileRecordsNothing()
{
    const QString file = dir_->filePath(QStringLiteral("pelinor.sk.qm"));
    Touch(file);
    QMenu menu;
    TLang lang(&menu, program_);
    QVERIFY(QFile::remove(file));
    TScriptedMessages messages;
    lang.Item(27)->trigger();
    QCOMPARE(TLang::ChosenLanguage(program_), QString());
    QVERIFY(messages.shown.isEmpty());
}

PELINOR_TEST_GUI_MAIN(TestLang)
#include "test_uLang.moc"
