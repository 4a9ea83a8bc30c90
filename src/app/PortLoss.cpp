// The logger unplugged under an open port: noticed at the session's tick, not by the silence watchdog.
#include "app/TForm1.h"

void TForm1::SessionTickTimer() {
    // The serial layer sees the hang-up at once (POLLHUP, EIO, the device node gone); waiting for the
    // watchdog would leave the window in the middle of an exchange for ten seconds.
    if (ApdComPort1.Open() && ApdComPort1.DeviceLost()) PortHungUp();
    session_.OnTick(vexa::session::Clock::now());
}

void TForm1::PortHungUp() {
    const auto now = vexa::session::Clock::now();
    // Bytes the device delivered before it went away are still readable: frame them first, so every
    // record that arrived whole is kept.
    if (ApdComPort1.CharReady()) session_.OnNotification([this] { return ApdComPort1.GetAvailable(); }, now);
    const bool downloading = State.DownloadActive == 1;
    ApdComPort1.SetOpen(false);
    session_.OnPortLost(now);
    State.CommandsEnabled = 0;
    ShowLinkDown();
    Button4->setText(tr("接<->続"));
    // The monitor's bars and values would otherwise go on showing the last reading as if it were live.
    if (State.MonitorMode == 1) Button10Click();
    const QString unplugged = QStringLiteral("the logger was unplugged");
    if (downloading)
        Label33->setText(Label33->text() + QStringLiteral(" (") + unplugged + QStringLiteral(")"));
    else
        Label33->setText(QStringLiteral("Exchange ended: ") + unplugged);
    // Discovery goes on, so the logger is found and greeted again when it is back.
    if (Timer1->Interval() == 0) Timer1->SetInterval(1000);
}

bool TForm1::LoggerReady() {
    if (State.CommandsEnabled == 1) return true;
    Label33->setText(QStringLiteral("No logger connected: the command was not sent"));
    return false;
}
