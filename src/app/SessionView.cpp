// The window's side of the logger session: bytes and ticks go down to it, what it reports comes up here.
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

void TForm1::Send(const std::string& bytes) {
    session_.Send(bytes, vexa::session::Clock::now());
}

void TForm1::SendChar(char c) {
    Send(std::string(1, c));
}

void TForm1::ApdComPort1TriggerAvail(TApdCustomComPort& CP, std::uint16_t Count) {
    (void)Count;
    // All bytes of the notification in one read: the session frames them as a block.
    session_.OnNotification([&CP] { return CP.GetAvailable(); }, vexa::session::Clock::now());
}

void TForm1::SendToLogger(std::string_view bytes) {
    ApdComPort1.PutString(std::string(bytes));
}

void TForm1::ClosePort() {
    ApdComPort1.SetOpen(false);
}

void TForm1::LinkEstablished() {
    Button4->setText(tr("接続", "link state"));
    Image4->hide();
    Image5->show();
    Button45->show();
    Memo1->Clear();
    Label25->setText(Q(State.ReservationTimeText));
}

void TForm1::StageChanged(vexa::session::ReceiveStage stage) {
    using vexa::session::ReceiveStage;
    const char* text = nullptr;
    switch (stage) {
    case ReceiveStage::None:
        return;
    case ReceiveStage::Receiving:
        text = "1";
        break;
    case ReceiveStage::MonitorScan:
        text = "2";
        break;
    case ReceiveStage::MonitorScanned:
        text = "3";
        break;
    case ReceiveStage::AnswerEnded:
        text = "3.5";
        break;
    case ReceiveStage::MonitorPolled:
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

void TForm1::DownloadFinished(std::vector<std::string>&& lines,
                              const vexa::session::DownloadSummary& summary) {
    Memo1->AddLines(lines);
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
    if (Timer1->Interval() == 0) Timer1->SetInterval(1000);
}

void TForm1::ExchangeAbandoned(bool downloadCut, int timeoutSeconds) {
    if (!downloadCut)
        Label33->setText(
            QStringLiteral("No answer from the logger for %1 s: exchange ended").arg(timeoutSeconds));
    if (Timer1->Interval() == 0) Timer1->SetInterval(1000);
}
