// UI-thread delivery of the serial layer's notifications through Qt's queued calls.
#include "platform/QtUiMailbox.h"

#include "serial/BlockingCall.h"

#include <QThread>

QtUiMailbox::QtUiMailbox(QObject* parent) : QObject(parent) {}

bool QtUiMailbox::Send(std::function<void()> fn, int timeoutMs) {
    if (QThread::currentThread() == thread()) {
        fn();
        return true;
    }
    auto [queued, call] = BlockingCall::Wrap(std::move(fn));
    // If this object is destroyed with the call still queued, Qt drops it and the waiter wakes.
    QMetaObject::invokeMethod(this, std::move(queued), Qt::QueuedConnection);
    return call->WaitFor(timeoutMs);
}

void QtUiMailbox::Post(std::function<void()> fn) {
    QMetaObject::invokeMethod(this, std::move(fn), Qt::QueuedConnection);
}
