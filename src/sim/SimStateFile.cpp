#include "SimStateFile.h"

#include "SimMemory.h"
#include "SimRegisters.h"

#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSaveFile>
#include <QStringList>

namespace SimStateFile {

namespace {

constexpr std::array<int, 5> KeptSegments{1, 2, 4, 5, 6};
const QString ProfileKey = QStringLiteral("profile");

QString SegmentKey(int segment)
{
    return QStringLiteral("segment%1").arg(segment);
}

QString WordsText(const QList<quint16> &words)
{
    QStringList texts;
    for (quint16 w : words)
        texts.append(SimBytes::Hex(w));
    return texts.join(QLatin1Char(' '));
}

bool ParseWords(const QString &text, QList<quint16> &words)
{
    const QStringList texts = text.split(QLatin1Char(' '), Qt::SkipEmptyParts);
    if (texts.size() != SimMemory::SegmentWords)
        return false;
    for (const QString &t : texts) {
        bool ok = false;
        words.append(static_cast<quint16>(t.toUInt(&ok, 16)));
        if (!ok || t.size() != 4)
            return false;
    }
    return true;
}

} // namespace

bool Load(const QString &path, const QString &profile, SimMemory &memory, QString *error)
{
    QFile file(path);
    if (!file.exists())
        return true;
    if (!file.open(QIODevice::ReadOnly)) {
        *error = QStringLiteral("cannot read the state %1: %2").arg(path, file.errorString());
        return false;
    }
    const QJsonObject o = QJsonDocument::fromJson(file.readAll()).object();
    if (o.value(ProfileKey).toString() != profile) {
        *error = QStringLiteral("the state %1 belongs to profile \"%2\", not %3")
                     .arg(path, o.value(ProfileKey).toString(), profile);
        return false;
    }
    SimMemory loaded = memory;
    for (int segment : KeptSegments) {
        QList<quint16> words;
        if (!ParseWords(o.value(SegmentKey(segment)).toString(), words)) {
            *error = QStringLiteral("the state %1 has no valid %2").arg(path, SegmentKey(segment));
            return false;
        }
        loaded.setSegmentImage(segment, words);
    }
    memory = loaded;
    return true;
}

bool Save(const QString &path, const QString &profile, const SimMemory &memory, QString *error)
{
    QJsonObject o;
    o.insert(ProfileKey, profile);
    for (int segment : KeptSegments)
        o.insert(SegmentKey(segment), WordsText(memory.segmentImage(segment)));
    QSaveFile file(path);
    if (file.open(QIODevice::WriteOnly) && file.write(QJsonDocument(o).toJson()) >= 0 && file.commit())
        return true;
    *error = QStringLiteral("cannot save the state %1: %2").arg(path, file.errorString());
    return false;
}

} // namespace SimStateFile
