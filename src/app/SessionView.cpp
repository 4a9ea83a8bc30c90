// The window's side of the logger session: bytes and ticks go down to it, what it reports comes up here
// and becomes controls, the status line and Timer1's interval.
#include "app/TForm1.h"

#include "app/MainWindowLanguage.h"
#include "platform/Interaction.h"
#include "platform/TextCodec.h"
#include "protocol/ShownTexts.h"

namespace {
QString Q(std::string_view bytes) {
    return AnsiToQString(std::string(bytes));
}
} // namespace

void TForm1::ApdComPort1TriggerAvail(TApdCustomComPort& CP, std::uint16_t Count) {
    (void)CP;
    (void)Count;
    // The session reads every byte of the notification in one call and frames them as a block.
    session_.OnDataAvailable(vexa::session::Clock::now());
}

void TForm1::PhaseChanged(vexa::session::Phase phase) {
    using vexa::session::Phase;
    // The update and the capture keep discovery's tick off while they own the link, and give it back
    // the interval it had.
    const bool exclusive = phase == Phase::Capture || phase == Phase::Firmware;
    if (exclusive && !exclusivePhase_) {
        savedTimerInterval_ = Timer1->Interval();
        Timer1->SetInterval(0);
    } else if (!exclusive && exclusivePhase_) {
        Timer1->SetInterval(savedTimerInterval_);
    }
    exclusivePhase_ = exclusive;
}

void TForm1::LinkEstablished() {
    Button4->setText(tr("接続", "link state"));
    Image4->hide();
    Image5->show();
    Button45->show();
    Memo1->Clear();
    Label25->setText(Q(State.ReservationTimeText));
}

void TForm1::ShowLinkDown() {
    Image4->show();
    Image5->hide();
    Button32->hide();
    Button31->hide();
    Button45->hide();
}

void TForm1::LinkDown(const vexa::session::LinkDownReport& report) {
    using vexa::session::LinkLoss;
    ShowLinkDown();
    Button4->setText(tr("接<->続"));
    const QString unplugged = QStringLiteral("the logger was unplugged");
    switch (report.reason) {
    case LinkLoss::Unplugged:
    case LinkLoss::PortVanished:
        // A download cut short has already put its record count in the status line; the reason follows.
        if (report.downloadCut)
            Label33->setText(Label33->text() + QStringLiteral(" (") + unplugged + QStringLiteral(")"));
        else
            Label33->setText(QStringLiteral("Exchange ended: ") + unplugged);
        break;
    case LinkLoss::Silent:
        if (!report.downloadCut)
            Label33->setText(QStringLiteral("No answer from the logger for %1 s: exchange ended")
                                 .arg(report.silentSeconds));
        break;
    case LinkLoss::Closed:
        Label33->setText(QStringLiteral("Link closed"));
        break;
    case LinkLoss::UpdateFailed:
        break; // the update's own message says what happened
    }
    // Discovery goes on, so the logger is found and greeted again when it is back (a capture still
    // writing its lines gives the timer back when it is done).
    if (Timer1->Interval() == 0 && !exclusivePhase_) Timer1->SetInterval(1000);
}

void TForm1::RequestRefused(vexa::session::Refusal why) {
    using vexa::session::Refusal;
    switch (why) {
    case Refusal::NoLogger:
        Label33->setText(QStringLiteral("No logger connected: the command was not sent"));
        break;
    case Refusal::Busy:
        break; // the answer to the running exchange is still to come; the click is simply not taken
    case Refusal::UpdateRunning:
        Label33->setText(
            QStringLiteral("A firmware update is running: nothing else is sent to the logger until it ends"));
        break;
    case Refusal::CaptureRunning:
        Label33->setText(QStringLiteral(
            "A 5ms capture is running: nothing else is sent to the logger until its lines are in"));
        break;
    }
}

void TForm1::ReceiveProgress(vexa::session::ReceiveStep step) {
    using vexa::session::ReceiveStep;
    const char* text = "";
    switch (step) {
    case ReceiveStep::ReplyBytes:
        text = "1";
        break;
    case ReceiveStep::MonitorLine:
        text = "3";
        break;
    case ReceiveStep::Prompt:
        text = "3.5";
        break;
    case ReceiveStep::MonitorPoll:
        // What the last poll brought is not this one's answer.
        Memo1->Clear();
        text = "4";
        break;
    }
    Label23->setText(QString::fromLatin1(text));
}

void TForm1::WorkAreaLine(std::string_view line) {
    Memo1->Add(std::string(line));
}

void TForm1::ModelLineReceived(const vexa::ModelLine& model) {
    if (model.accepted) {
        Button37->show();
        for (const vexa::ShownText& shown : vexa::ShownTexts(model))
            ShowText(shown);
    } else {
        Button37->hide();
        UI().ShowMessage(MessageText(vexa::ModelMismatchMessage));
    }
}

void TForm1::MonitorScanned(const vexa::MonitorScan& scan) {
    if (scan.temperatureText) Edit10->setText(Q(State.TemperatureText) + QStringLiteral("C"));
    auto show = [](const std::optional<vexa::AxisReading>& axis, QLabel* label, QSlider* bar) {
        if (!axis) return;
        label->setText(Q(axis->text));
        if (axis->barPosition) bar->setValue(*axis->barPosition);
    };
    show(scan.x, Label11, TrackBar1);
    show(scan.y, Label27, TrackBar2);
    show(scan.z, Label32, TrackBar3);
}

void TForm1::DownloadProgress(int value) {
    ProgressBar1->setValue(value);
}

void TForm1::DownloadFinished(vexa::Recording&& records, const vexa::session::DownloadSummary& summary) {
    // The start and column lines the download wrote stand before the records.
    if (Memo1->Count() > 1) records.header.columns = vexa::ColumnKindOf(Memo1->Line(1));
    CompleteDeviceFacts(records.header.device);
    Memo1->AppendRecording(std::move(records));
    if (summary.irregular) UI().ShowMessage(MessageText(vexa::IrregularTimeMessage));
    ProgressBar1->hide();
    // Minutes and seconds of the elapsed time; whole hours are not counted.
    const qint64 ms = DownloadStartTime.isValid() ? DownloadStartTime.msecsTo(Now()) : 0;
    const qint64 totalSeconds = ms / 1000;
    const int minutesAndSeconds = int((totalSeconds / 60) % 60 * 60 + totalSeconds % 60);
    Label33->setText(QString::fromStdString(vexa::session::DownloadStatusText(summary, minutesAndSeconds)));
    resize(width(), SavedFormHeight);
    Memo1->show();
}

void TForm1::AnswerEnded(std::string_view lastText) {
    Label24->setText(Q(lastText));
    // The answer to the capture's "n" ends after the capture took the link: discovery stays off until
    // the capture gives it back.
    if (Timer1->Interval() == 0 && !exclusivePhase_) Timer1->SetInterval(1000);
}

void TForm1::CompleteDeviceFacts(vexa::DeviceFacts& device) const {
    // What the session does not keep comes from the controls that show the logger's replies.
    const auto fill = [](std::string& fact, const QString& shown) {
        if (fact.empty()) fact = QStringToAnsi(shown);
    };
    fill(device.firmware, Label41->text());
    fill(device.id, Label18->text());
    fill(device.interval, ComboBox2->currentText());
    fill(device.sampling, ComboBox3->currentText());
    fill(device.range, ComboBox5->currentText());
}
