#pragma once

#include <QDateTime>
#include <QString>
#include <QStringList>

#include <functional>

// Kinds of log lines and their markers.
constexpr int LogInfo = 1;     // "[i]"
constexpr int LogError = 2;    // "[x]"
constexpr int LogMinor = 3;    // "[-]"

// A small text log: one line per entry, "yy-mm-dd hh:nn:ss zzz [i] text"
// closed by CR LF. Lines that cannot be written wait in a pending list and go
// out, stamped anew, before the next line that can.
class TArvelLog {
public:
    explicit TArvelLog(QString fileName = QString());

    QString FileName;
    bool Timestamps = true;
    bool Enabled = true;
    quint32 LevelMask = 0xFFFFFFFFu;

    // Writes a line of a kind (LogInfo, LogError, LogMinor; any other kind
    // has no marker).
    void Write(int kind, const QString &text);
    // Writes only when mask shares a bit with LevelMask.
    void WriteLevel(quint32 mask, int kind, const QString &text);

    // Lines (without timestamp) still waiting for a writable file.
    const QStringList &Pending() const { return pending_; }
    // The clock of the timestamps; the local time unless a test sets one.
    void SetTimeSource(std::function<QDateTime()> now) { now_ = std::move(now); }

    // The most lines kept while the file stays unwritable; the oldest go first.
    static constexpr qsizetype PendingLinesMax = 1000;

    static QString Marker(int kind);

private:
    QString Stamped(const QString &line) const;
    void KeepPending(const QString &line);

    QStringList pending_;
    std::function<QDateTime()> now_;
};
