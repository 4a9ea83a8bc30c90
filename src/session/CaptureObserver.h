// What the 5-ms capture reports to the window: bytes to send, progress, work-area lines, status, timer.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace vexa::session {

class CaptureObserver {
  public:
    virtual ~CaptureObserver() = default;
    // Bytes for the logger: "x" starts the stream, " " stops it.
    virtual void CaptureSend(std::string_view bytes) = 0;
    // The progress bar: shown with a maximum at position 0, moved, hidden.
    virtual void CaptureProgressShown(int maximum) = 0;
    virtual void CaptureProgress(int position) = 0;
    virtual void CaptureProgressHidden() = 0;
    // One line appended to the work area.
    virtual void CaptureWorkAreaLine(std::string line) = 0;
    // The sample lines go in while the work area is hidden and the window is shrunk to 160 pixels, so
    // that tens of thousands of lines cause no repaint; OutputEnds shows it again at its old height.
    virtual void CaptureOutputBegins() = 0;
    virtual void CaptureWorkAreaLines(std::vector<std::string>& lines) = 0;
    virtual void CaptureOutputEnds() = 0;
    // Asks for a call of CaptureExchange::WriteStep once the events waiting now have run.
    virtual void CaptureStepDue() = 0;
    // Text for the status line.
    virtual void CaptureStatus(std::string text) = 0;
    // Timer1 goes back to the interval it had before the capture.
    virtual void CaptureRestoreTimer(int interval) = 0;
    // The present date and time in the system's short date and time formats (the text after "End=>").
    virtual std::string CaptureClockText() = 0;
};

} // namespace vexa::session
