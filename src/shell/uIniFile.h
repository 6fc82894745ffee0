#pragma once

#include <QList>
#include <QString>
#include <QStringList>

// A read-only view of a Windows-style INI file: "[section]" headers,
// "key=value" lines and ";" comments. Section and key names compare without
// regard to case, the first occurrence of a key wins, values are trimmed and
// lose one pair of surrounding quotes, and the text is taken as UTF-8 (Latin-1
// when it is not valid UTF-8). Commas, backslashes and "@" carry no meaning,
// so labels such as "Arvel, Inc." come back as written.
class TIniFile {
public:
    // Reads the file when it exists; a missing or unreadable file is empty.
    explicit TIniFile(const QString &fileName);

    const QString &FileName() const { return fileName_; }
    bool SectionExists(const QString &section) const;
    QString ReadString(const QString &section, const QString &key, const QString &defaultValue) const;
    int ReadInteger(const QString &section, const QString &key, int defaultValue) const;
    // The keys of a section in file order.
    QStringList ReadSection(const QString &section) const;

private:
    struct TEntry {
        QString key;
        QString value;
    };
    struct TSection {
        QString name;
        QList<TEntry> entries;
    };

    void Parse(const QString &text);
    const TSection *FindSection(const QString &section) const;
    const TEntry *FindEntry(const QString &section, const QString &key) const;

    QString fileName_;
    QList<TSection> sections_;
};
