// Runs the Qt event loop until a condition holds or a deadline passes (tests never sleep blindly).
#pragma once

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QThread>
#include <QTimer>
#include <functional>

inline bool PumpUntil(const std::function<bool()>& done, int timeoutMs = 5000) {
    QElapsedTimer t;
    t.start();
    while (!done()) {
        if (t.elapsed() > timeoutMs) return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        QThread::usleep(200);
    }
    return true;
}

// Runs the events (posted calls, zero-interval timers) that are due now: a zero timer started here
// fires after them. For "nothing more happens" without waiting for a time.
inline bool PumpPendingEvents(int timeoutMs = 5000) {
    bool reached = false;
    QObject context; // a timer that outlives the wait is dropped with it
    QTimer::singleShot(0, &context, [&] { reached = true; });
    return PumpUntil([&] { return reached; }, timeoutMs);
}
