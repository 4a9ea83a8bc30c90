// The window's side of the 5-ms capture: the "5ms" button's dialog, Escape, the writing steps between
// events, and what the capture reports, rendered into the work area, the progress bar and the status line.
#pragma once

#include "session/CaptureExchange.h"

#include <QObject>
#include <QString>
#include <string>
#include <vector>

class TForm1;

class CaptureView : public QObject {
    Q_OBJECT
  public:
    explicit CaptureView(TForm1& form);

    const vexa::session::CaptureExchange& Exchange() const;
    // A capture is waiting to start, streaming, or writing its lines.
    bool Busy() const;
    // The user's Escape: ends a streaming capture with what has arrived, or cancels one that waits to
    // start.
    void Escape();

    // What the session reports of the capture (TForm1 passes them on).
    void Started();
    void ProgressShown(int maximum);
    void Progress(int position);
    void ProgressHidden();
    void WorkAreaLine(std::string line);
    void OutputBegins();
    void WorkAreaLines(vexa::Recording&& block);
    void OutputEnds();
    void StepDue();
    void Status(std::string text);
    // The lines are in: what fell short (an early end, dropped records, no temperature) in the status line.
    void Finished(const vexa::session::CaptureSummary& summary);
    static QString FinishedText(const vexa::session::CaptureSummary& summary);
    std::string ClockText();

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    TForm1& form_;
};
