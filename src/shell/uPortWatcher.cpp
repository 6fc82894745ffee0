#include "shell/uPortWatcher.h"

#include <QFileInfo>

TPortWatcher::TPortWatcher(QObject *parent) : QObject(parent)
{
    timer_.setInterval(PollIntervalMs);
    connect(&timer_, &QTimer::timeout, this, &TPortWatcher::Poll);
}

void TPortWatcher::Watch(int comNo, const QString &path)
{
    comNo_ = comNo;
    path_ = path;
    timer_.start();
}

void TPortWatcher::Stop()
{
    timer_.stop();
}

void TPortWatcher::Poll()
{
    // QFileInfo::exists follows links: a dangling one reads as missing.
    if (QFileInfo::exists(path_))
        return;
    // Stopped before the signal, so a receiver may watch another port.
    timer_.stop();
    Q_EMIT PortRemoved(QStringLiteral("COM%1").arg(comNo_));
}
