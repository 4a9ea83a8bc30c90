// The window's side of the 5-ms capture: starts it once the logger's answer is in, and renders what
// the capture reports into the work area, the progress bar, the status line and Timer1.
#pragma once

#include "session/CaptureExchange.h"

#include <QElapsedTimer>
#include <QObject>
#include <QTimer>

class TForm1;

class CaptureView : public QObject, private vexa::session::CaptureObserver {
    Q_OBJECT
  public:
    explicit CaptureView(TForm1& form);

    vexa::session::CaptureExchange& Exchange() { return exchange_; }
    // A capture is waiting to start, streaming, or writing its lines.
    bool Busy() const { return waitingForAnswer_ || exchange_.Active(); }
    // Stops Timer1 and starts a capture of target samples once the answer to "n" has ended its exchange.
    void Begin(int target);
    // The user's Escape: ends a streaming capture with what has arrived.
    void Escape();

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void WaitForAnswer();
    void StartNow();

    void CaptureSend(std::string_view bytes) override;
    void CaptureProgressShown(int maximum) override;
    void CaptureProgress(int position) override;
    void CaptureProgressHidden() override;
    void CaptureWorkAreaLine(std::string line) override;
    void CaptureOutputBegins() override;
    void CaptureWorkAreaLines(std::vector<std::string>& lines) override;
    void CaptureOutputEnds() override;
    void CaptureStepDue() override;
    void CaptureStatus(std::string text) override;
    void CaptureRestoreTimer(int interval) override;
    std::string CaptureClockText() override;

    TForm1& form_;
    vexa::session::CaptureExchange exchange_;
    // The answer to "n" is awaited this long at most; a logger that does not answer gets an empty line 2.
    static constexpr int kAnswerWaitMs = 1000;
    QTimer answerPoll_;
    QElapsedTimer answerWaited_;
    bool waitingForAnswer_ = false;
    int pendingTarget_ = 0;
    int savedTimerInterval_ = 0;
};
