#pragma once

#include <QAction>
#include <QApplication>
#include <QTest>
#include <QTimer>
#include <QWidget>

#include <functional>

// Widget-test helpers: menu actions by objectName, and code that runs while
// a modal window is up.
namespace TestActions {

// Triggers the action named name under root; fails the test when it is
// missing or disabled. Use through TRIGGER_ACTION.
inline void Trigger(QWidget *root, const char *name)
{
    QAction *action = root->findChild<QAction *>(QLatin1String(name));
    QVERIFY2(action != nullptr, qPrintable(QStringLiteral("no action %1").arg(QLatin1String(name))));
    QVERIFY2(action->isEnabled(), qPrintable(QStringLiteral("action %1 is disabled").arg(QLatin1String(name))));
    action->trigger();
}

// Runs inspect on the first modal widget of type T that comes up (polling
// for up to timeoutMs); inspect must close it. Call before the code that
// opens it.
template <typename T>
void WhenModal(std::function<void(T *)> inspect, int timeoutMs = 5000)
{
    auto *timer = new QTimer;
    timer->setInterval(10);
    auto waited = std::make_shared<int>(0);
    QObject::connect(timer, &QTimer::timeout, [timer, inspect, waited, timeoutMs] {
        *waited += timer->interval();
        if (auto *modal = qobject_cast<T *>(QApplication::activeModalWidget())) {
            timer->stop();
            timer->deleteLater();
            inspect(modal);
        } else if (*waited > timeoutMs) {
            timer->stop();
            timer->deleteLater();
        }
    });
    timer->start();
}

} // namespace TestActions

#define TRIGGER_ACTION(root, name)                 \
    do {                                           \
        TestActions::Trigger((root), (name));      \
        if (QTest::currentTestFailed())            \
            return;                                \
    } while (false)
