#pragma once

#include <QObject>
#include <QString>
#include <QTimer>

// Tells the window when the serial port of the connected sensor goes away,
// as when its USB adapter is pulled out. It watches the device path the port
// was opened by (a COMn link of the ports folder, or the device itself) and
// reports once, when the path no longer leads to anything; a link whose
// device has gone counts as gone.
//
// It polls. A stat of one path a few times a second costs nothing, works the
// same for a device node and for a link to one, and needs neither a device
// manager library nor a window to receive the system's notifications. A
// file-system watch on the path would follow a link to its device and miss
// the link itself being removed.
class TPortWatcher : public QObject {
    Q_OBJECT
public:
    static constexpr int PollIntervalMs = 250;

    explicit TPortWatcher(QObject *parent = nullptr);

    // Watches path, the device of COM number comNo, in place of anything
    // watched before.
    void Watch(int comNo, const QString &path);
    void Stop();
    bool IsWatching() const { return timer_.isActive(); }

Q_SIGNALS:
    // portName is "COMn".
    void PortRemoved(const QString &portName);

private:
    void Poll();

    QTimer timer_;
    int comNo_ = -1;
    QString path_;
};
