// The serial layer's UiMailbox for a Qt application: runs calls in the thread this object lives in.
#pragma once

#include "serial/UiMailbox.h"

#include <QObject>

// Create it in the UI thread, hand it to the port as a std::shared_ptr (no QObject parent), and
// keep it alive as long as any port uses it. An exception thrown by a call leaves through Qt's
// event dispatch, where the application's QApplication::notify override shows it.
class QtUiMailbox : public QObject, public UiMailbox {
    Q_OBJECT
  public:
    explicit QtUiMailbox(QObject* parent = nullptr);

    // From the UI thread itself the call runs inline: waiting for the own event loop would
    // deadlock. From any other thread: a queued call and a wait of at most timeoutMs.
    bool Send(std::function<void()> fn, int timeoutMs) override;
    void Post(std::function<void()> fn) override;
};
