#include "shell/uPortWatcher.h"
#include "support/TestEnvironment.h"

#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

namespace {

constexpr int RemovalLimitMs = 5000;
// Long enough for several polls.
constexpr int QuietMs = 4 * TPortWatcher::PollIntervalMs;

bool MakeFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly);
}

} // namespace

class TestPortWatcher : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void reportsRemovalOnce_data();
    void reportsRemovalOnce();
    void stoppedWatcherStaysQuiet();
    void newWatchReplacesTheOld();
};

void TestPortWatcher::reportsRemovalOnce_data()
{
    QTest::addColumn<bool>("throughLink"); // watch a COMn link to the device
    QTest::addColumn<bool>("removeLink");  // remove the link, not the device
    QTest::newRow("device removed") << false << false;
    QTest::newRow("link left dangling") << true << false;
    QTest::newRow("link removed") << true << true;
}

void TestPortWatcher::reportsRemovalOnce()
{
    QFETCH(bool, throughLink);
    QFETCH(bool, removeLink);
    QTemporaryDir dir;
    const QString device = dir.filePath(QStringLiteral("ttyUSB0"));
    const QString link = dir.filePath(QStringLiteral("COM7"));
    QVERIFY(MakeFile(device));
    if (throughLink)
        QVERIFY(QFile::link(device, link));
    TPortWatcher watcher;
    QSignalSpy removed(&watcher, &TPortWatcher::PortRemoved);
    watcher.Watch(7, throughLink ? link : device);
    QVERIFY(QFile::remove(removeLink ? link : device));
    QVERIFY(removed.wait(RemovalLimitMs));
    QCOMPARE(removed.takeFirst().at(0).toString(), QStringLiteral("COM7"));
    QVERIFY(!watcher.IsWatching());
    QTest::qWait(QuietMs);
    QCOMPARE(removed.count(), 0);
}

void TestPortWatcher::stoppedWatcherStaysQuiet()
{
    QTemporaryDir dir;
    const QString device = dir.filePath(QStringLiteral("ttyUSB0"));
    QVERIFY(MakeFile(device));
    TPortWatcher watcher;
    QSignalSpy removed(&watcher, &TPortWatcher::PortRemoved);
    watcher.Watch(3, device);
    watcher.Stop();
    QVERIFY(QFile::remove(device));
    QTest::qWait(QuietMs);
    QCOMPARE(removed.count(), 0);
}

void TestPortWatcher::newWatchReplacesTheOld()
{
    QTemporaryDir dir;
    const QString first = dir.filePath(QStringLiteral("ttyUSB0"));
    const QString second = dir.filePath(QStringLiteral("ttyUSB1"));
    QVERIFY(MakeFile(first));
    QVERIFY(MakeFile(second));
    TPortWatcher watcher;
    QSignalSpy removed(&watcher, &TPortWatcher::PortRemoved);
    watcher.Watch(33, first);
    watcher.Watch(34, second);
    QVERIFY(QFile::remove(first));
    QTest::qWait(QuietMs);
    QCOMPARE(removed.count(), 0);
    QVERIFY(QFile::remove(second));
    QVERIFY(removed.wait(RemovalLimitMs));
    QCOMPARE(removed.takeFirst().at(0).toString(), QStringLiteral("COM34"));
}

PELINOR_TEST_MAIN(TestPortWatcher)
#include "test_uPortWatcher.moc"
