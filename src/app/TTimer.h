// A periodic timer whose interval 0 means stopped, the way the window's handlers use it.
#pragma once

#include <QObject>
#include <QTimer>
#include <functional>

class TTimer : public QObject {
    Q_OBJECT
public:
    TTimer(QObject* parent, int interval);

    int Interval() const { return interval_; }
    // Sets the interval and restarts the countdown; 0 stops the timer.
    void SetInterval(int ms);
    bool Running() const { return timer_.isActive(); }

    std::function<void()> OnTimer;

private:
    QTimer timer_;
    int interval_;
};
