#pragma once

#include <QObject>
#include <QString>

class QAction;
class QMenu;
class QTranslator;

// One primary language of the platform's language table.
struct TLanguageId {
    int id;             // primary language id 1..126
    const char *iso639; // its ISO 639 name
};

// The language menu: one item per language whose file lies next to the
// program (program name + "." + ISO 639 name + ".qm"), captioned with the
// language's own name, in language id order, the id kept as the item's Tag.
// A click records the choice for the next start; the running program keeps
// its language.
class TLang : public QObject {
    Q_OBJECT
public:
    // programFile is the program's full path; its folder holds the files.
    TLang(QMenu *menu, const QString &programFile, QObject *parent = nullptr);

    // The known primary languages, by id.
    static const QList<TLanguageId> &Languages();
    // The language file of a language for a program.
    static QString LanguageFile(const QString &programFile, const QString &iso639);
    // The language recorded for a program, empty when none.
    static QString ChosenLanguage(const QString &programFile);
    // Loads the recorded language's file into translator; false when there
    // is none or it cannot be loaded.
    static bool LoadChosenTranslation(QTranslator &translator, const QString &programFile);

    // The item of a language id, or nullptr.
    QAction *Item(int id) const;
    // Records the language of an item and tells that a restart is needed.
    void LanguageClick(QAction *item);

private:
    void FillMenu();

    QMenu *menu_;
    QString programFile_;
};
