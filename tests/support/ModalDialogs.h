#pragma once

#include <QApplication>
#include <QDeadlineTimer>
#include <QObject>
#include <QString>
#include <QTimer>
#include <QWidget>

#include <functional>
#include <memory>

// Runs act on the next modal dialog of type T once it is shown (polled from the event loop,
// for at most five seconds). Queue it before the call that opens the dialog.
template <typename T> void whenModal(std::function<void(T *)> act)
{
    auto *timer = new QTimer;
    auto deadline = std::make_shared<QDeadlineTimer>(5000);
    QObject::connect(timer, &QTimer::timeout, [timer, deadline, act] {
        auto *dialog = qobject_cast<T *>(QApplication::activeModalWidget());
        if (!dialog && !deadline->hasExpired())
            return;
        timer->stop();
        timer->deleteLater();
        if (dialog)
            act(dialog);
    });
    timer->start(5);
}

// The named child; a missing one ends the test program.
template <typename T> T *child(QObject *parent, const char *name)
{
    T *w = parent->findChild<T *>(QString::fromLatin1(name));
    if (!w)
        qFatal("no child %s", name);
    return w;
}
