#include "shell/uIniFile.h"

#include <QFile>
#include <QStringDecoder>

namespace {

QString DecodeText(const QByteArray &bytes)
{
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = utf8.decode(bytes);
    if (utf8.hasError())
        text = QString::fromLatin1(bytes);
    if (text.startsWith(QChar(0xFEFF)))
        text.remove(0, 1);
    return text;
}

QString Unquoted(const QString &value)
{
    if (value.size() >= 2) {
        const QChar first = value.front();
        if ((first == u'"' || first == u'\'') && value.back() == first)
            return value.mid(1, value.size() - 2);
    }
    return value;
}

} // namespace

TIniFile::TIniFile(const QString &fileName) : fileName_(fileName)
{
    QFile file(fileName);
    if (file.open(QIODevice::ReadOnly))
        Parse(DecodeText(file.readAll()));
}

void TIniFile::Parse(const QString &text)
{
    const QStringList lines = text.split(QLatin1Char('\n'));
    for (const QString &raw : lines) {
        const QString line = raw.trimmed();
        if (line.isEmpty() || line.startsWith(QLatin1Char(';')))
            continue;
        if (line.startsWith(QLatin1Char('[')) && line.endsWith(QLatin1Char(']'))) {
            sections_.append(TSection{line.mid(1, line.size() - 2).trimmed(), {}});
            continue;
        }
        const qsizetype eq = line.indexOf(QLatin1Char('='));
        if (eq <= 0 || sections_.isEmpty())
            continue;
        sections_.last().entries.append(TEntry{line.left(eq).trimmed(), Unquoted(line.mid(eq + 1).trimmed())});
    }
}

const TIniFile::TSection *TIniFile::FindSection(const QString &section) const
{
    for (const TSection &s : sections_)
        if (s.name.compare(section, Qt::CaseInsensitive) == 0)
            return &s;
    return nullptr;
}

const TIniFile::TEntry *TIniFile::FindEntry(const QString &section, const QString &key) const
{
    // A section may be split over several headers; its first key wins.
    for (const TSection &s : sections_) {
        if (s.name.compare(section, Qt::CaseInsensitive) != 0)
            continue;
        for (const TEntry &e : s.entries)
            if (e.key.compare(key, Qt::CaseInsensitive) == 0)
                return &e;
    }
    return nullptr;
}

bool TIniFile::SectionExists(const QString &section) const
{
    return FindSection(section) != nullptr;
}

QString TIniFile::ReadString(const QString &section, const QString &key, const QString &defaultValue) const
{
    const TEntry *e = FindEntry(section, key);
    return e != nullptr ? e->value : defaultValue;
}

int TIniFile::ReadInteger(const QString &section, const QString &key, int defaultValue) const
{
    const TEntry *e = FindEntry(section, key);
    if (e == nullptr)
        return defaultValue;
    bool ok = false;
    const int value = e->value.startsWith(QLatin1Char('$')) ? e->value.mid(1).toInt(&ok, 16) : e->value.toInt(&ok);
    return ok ? value : defaultValue;
}

QStringList TIniFile::ReadSection(const QString &section) const
{
    QStringList keys;
    for (const TSection &s : sections_) {
        if (s.name.compare(section, Qt::CaseInsensitive) != 0)
            continue;
        for (const TEntry &e : s.entries)
            if (!keys.contains(e.key, Qt::CaseInsensitive))
                keys.append(e.key);
    }
    return keys;
}
