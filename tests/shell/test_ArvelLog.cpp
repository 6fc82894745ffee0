#include "shell/ArvelLog.h"
#include "support/TestEnvironment.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

namespace {

const QDateTime FixedTime(QDate(2009, 5, 7), QTime(8, 9, 10, 45));

QByteArray ReadAll(const QString &fileName)
{
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return file.readAll();
}

} // namespace

class TestArvelLog : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void lineFormat_data();
    void lineFormat();
    void levelMaskAndEnabledFlag();
    void pendingLinesGoOutOnceWhenFileReturns();
    void pendingListKeepsTheNewestLines();

private:
    QTemporaryDir dir_;
};

void TestArvelLog::lineFormat_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<bool>("timestamps");
    QTest::addColumn<QByteArray>("line");
    QTest::newRow("info") << 1 << true << QByteArray("09-05-07 08:09:10 045 [i] found 3 devices\r\n");
    QTest::newRow("error") << 2 << true << QByteArray("09-05-07 08:09:10 045 [x] found 3 devices\r\n");
    QTest::newRow("minor") << 3 << true << QByteArray("09-05-07 08:09:10 045 [-] found 3 devices\r\n");
    QTest::newRow("no marker") << 0 << true << QByteArray("09-05-07 08:09:10 045 found 3 devices\r\n");
    QTest::newRow("no timestamp") << 1 << false << QByteArray("[i] found 3 devices\r\n");
}

void TestArvelLog::lineFormat()
{
    QFETCH(int, kind);
    QFETCH(bool, timestamps);
    const QString name = dir_.filePath(QString::fromLatin1(QTest::currentDataTag()) + QStringLiteral(".log"));
    TArvelLog log(name);
    log.Timestamps = timestamps;
    log.SetTimeSource([] { return FixedTime; });
    log.Write(kind, QStringLiteral("found 3 devices"));
    QFETCH(QByteArray, line);
    QCOMPARE(ReadAll(name), line);
    log.Write(kind, QStringLiteral("found 3 devices"));
    QCOMPARE(ReadAll(name), line + line);
}

void TestArvelLog::levelMaskAndEnabledFlag()
{
    const QString name = dir_.filePath(QStringLiteral("levels.log"));
    TArvelLog log(name);
    log.Timestamps = false;
    log.LevelMask = 0x04;
    log.WriteLevel(0x03, LogInfo, QStringLiteral("hidden"));
    log.WriteLevel(0x06, LogInfo, QStringLiteral("shown"));
    log.Enabled = false;
    log.Write(LogError, QStringLiteral("off"));
    QCOMPARE(ReadAll(name), QByteArray("[i] shown\r\n"));
    QVERIFY(log.Pending().isEmpty());
}

void TestArvelLog::pendingLinesGoOutOnceWhenFileReturns()
{
    // The log's folder is missing at first, so the file cannot be written.
    const QString folder = dir_.filePath(QStringLiteral("later"));
    const QString name = folder + QStringLiteral("/discovery.log");
    TArvelLog log(name);
    log.SetTimeSource([] { return FixedTime; });
    log.Write(LogError, QStringLiteral("no adapter"));
    log.Write(LogInfo, QStringLiteral("retry"));
    QCOMPARE(log.Pending(), QStringList({"[x] no adapter", "[i] retry"}));

    QVERIFY(QDir().mkpath(folder));
    log.Write(LogInfo, QStringLiteral("adapter up"));
    QVERIFY(log.Pending().isEmpty());
    log.Write(LogMinor, QStringLiteral("done"));
    QCOMPARE(ReadAll(name), QByteArray("09-05-07 08:09:10 045 [x] no adapter\r\n"
                                       "09-05-07 08:09:10 045 [i] retry\r\n"
                                       "09-05-07 08:09:10 045 [i] adapter up\r\n"
                                       "09-05-07 08:09:10 045 [-] done\r\n"));
}

void TestArvelLog::pendingListKeepsTheNewestLines()
{
    TArvelLog log(dir_.filePath(QStringLiteral("missing/folder.log")));
    for (int i = 0; i < TArvelLog::PendingLinesMax + 5; ++i)
        log.Write(LogInfo, QString::number(i));
    QCOMPARE(log.Pending().size(), TArvelLog::PendingLinesMax);
    QCOMPARE(log.Pending().first(), QStringLiteral("[i] 5"));
}

PELINOR_TEST_MAIN(TestArvelLog)
#include "test_ArvelLog.moc"
