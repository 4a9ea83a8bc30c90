// A periodic timer whose interval 0 means stopped, the way the window's handlers use it.
#include "app/TTimer.h"

TTimer::TTimer(QObject* parent, int interval) : QObject(parent), interval_(0) {
    timer_.setTimerType(Qt::PreciseTimer);
    connect(&timer_, &QTimer::timeout, this, [this] {
        if (OnTimer) OnTimer();
    });
    SetInterval(interval);
}

void TTimer::SetInterval(int ms) {
    interval_ = ms < 0 ? 0 : ms;
    timer_.stop();
    if (interval_ > 0) timer_.start(interval_);
}
