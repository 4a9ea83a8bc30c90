// The receive parser: everything the logger sends arrives here, on the UI thread.
#include "app/TForm1.h"

#include "app/CaptureView.h"

#include "platform/Interaction.h"
#include "platform/TextCodec.h"
#include "protocol/MonitorLine.h"

#include <cstring>

namespace {
constexpr char ENQ = 0x05;
constexpr char ACK = 0x06;

template <class... Ts>
struct Overloaded : Ts... {
    using Ts::operator()...;
};
template <class... Ts>
Overloaded(Ts...) -> Overloaded<Ts...>;

QString Q(const std::string& bytes) { return AnsiToQString(bytes); }
} // namespace

void TForm1::Send(const std::string& bytes) {
    ApdComPort1.PutString(bytes);
    ExchangeWatchdog->start(ExchangeTimeoutMs);
}

void TForm1::SendChar(char c) {
    ApdComPort1.PutChar(c);
    ExchangeWatchdog->start(ExchangeTimeoutMs);
}

void TForm1::SetLabel23(const char* text) {
    // Set once per received byte during a transfer: skip the label when it already shows the text.
    if (Label23->text() != QLatin1String(text)) Label23->setText(QString::fromLatin1(text));
}

std::string TForm1::RxLineText() const {
    return std::string(RxLine.data(), strnlen(RxLine.data(), RxLine.size()));
}

void TForm1::ApdComPort1TriggerAvail(TApdCustomComPort& CP, std::uint16_t Count) {
    (void)CP;
    (void)Count;
    // Bytes are arriving: the logger is alive, whatever state the exchange is in.
    if (ExchangeWatchdog->isActive()) ExchangeWatchdog->start(ExchangeTimeoutMs);
    if (capture_->Exchange().Active()) {
        // The 5-ms capture's framing takes every byte while a capture runs.
        std::string block;
        while (ApdComPort1.CharReady()) block += ApdComPort1.GetChar();
        capture_->Exchange().OnBytes(block, vexa::session::Clock::now());
        return;
    }
    if (UpdateActive != 0) {
        // The firmware update's per-line exchange runs here when an update is in progress.
        return;
    }
    if (LinkUp != 1) {
        FirstContact();
        return;
    }
    ReplyLoop();
}

void TForm1::FirstContact() {
    // The bytes are left unread: the reply loop parses them at the next notification.
    SendChar('m');
    EnterLinkedState();
}

void TForm1::EnterLinkedState() {
    LinkUp = 1;
    Button4->setText(QStringLiteral("接続"));
    Image4->hide();
    Image5->show();
    Button45->show();
    Memo1->Clear();
    MonitorPollPending = 0;
    CommandsEnabled = 1;
    ReservationState = 0;
    ReservationTimeText = NowText.size() > 5 ? NowText.substr(5, 11) : std::string();
    Label25->setText(Q(ReservationTimeText));
}

void TForm1::ReplyLoop() {
    while (ApdComPort1.CharReady()) {
        SetLabel23("1");
        const char c = ApdComPort1.GetChar();
        switch (c) {
        case ENQ: ApdComPort1.PutString(std::string(1, ACK)); break;
        case '\r':
        case '!':
        case '?': break;
        case '\n':
            RxLine[size_t(RxLineLen)] = '\0';
            HandleLine();
            break;
        case '#':
            EndOfAnswer();
            break;
        default:
            // A line longer than the buffer keeps its first 127 characters; the rest of it is dropped
            // up to its line end.
            if (RxLineLen < kRxLineCapacity) {
                RxLine[size_t(RxLineLen)] = c;
                ++RxLineLen;
                RxLine[size_t(RxLineLen)] = '\0';
            }
            break;
        }
    }
}

void TForm1::HandleLine() {
    if (MonitorMode == 1) {
        // The lines of one answer accumulate; "#" empties the buffer.
        MonitorScanStep();
        return;
    }
    const std::string line(RxLine.data(), size_t(RxLineLen));
    bool stored = false;
    if (DownloadActive == 1 && line.size() >= 4) {
        // Record lines are stored; the "@C" count line is neither a record nor a work-area line.
        if (line[0] != '@') {
            StoreDownloadLine(line);
            stored = true;
        }
    } else if (line.size() >= 2) {
        Memo1->Add(line);
    }
    if (!stored && !line.empty()) {
        if (line[0] == 'K') ApplyModelLine(line);
        else if (line[0] == '@') ApplyStatusReply(vexa::ParseStatusReply(line));
    }
    RxLineLen = 0;
    RxLine[0] = '\0';
}

void TForm1::MonitorScanStep() {
    SetLabel23("2");
    const vexa::MonitorScan scan = vexa::ScanMonitorLines(std::string_view(RxLine.data(), size_t(RxLineLen)));
    if (scan.temperatureText) {
        TemperatureText = *scan.temperatureText;
        Edit10->setText(Q(TemperatureText) + QStringLiteral("C"));
    }
    auto show = [](const std::optional<vexa::AxisReading>& axis, QLabel* label, QSlider* bar) {
        if (!axis) return;
        label->setText(Q(axis->text));
        if (axis->barPosition) bar->setValue(*axis->barPosition);
    };
    show(scan.x, Label11, TrackBar1);
    show(scan.y, Label27, TrackBar2);
    show(scan.z, Label32, TrackBar3);
    SetLabel23("3");
}

void TForm1::ApplyModelLine(std::string_view line) {
    const auto model = vexa::ParseModelLine(line);
    if (!model) return;
    if (model->accepted) {
        Button37->show();
        if (model->firmwareVersionText) {
            FirmwareVersionText = *model->firmwareVersionText;
            Label41->setText(Q(FirmwareVersionText.Str()));
            FirmwareVersion = model->firmwareVersion;
        }
    } else {
        Button37->hide();
        UI().ShowMessage(QString::fromUtf8(vexa::ModelMismatchMessage.data(),
                                           qsizetype(vexa::ModelMismatchMessage.size())));
    }
}

void TForm1::ApplyStatusReply(const vexa::StatusReply& reply) {
    std::visit(
        Overloaded{
            [](const vexa::IgnoredReply&) {},
            [this](const vexa::AdjustReplyH& r) {
                Edit1->setText(Q(r.edit1));
                Edit2->setText(Q(r.edit2));
                Edit6->setText(Q(r.edit6));
            },
            [this](const vexa::AdjustReply& r) {
                Edit7->setText(Q(r.edit7));
                Edit8->setText(Q(r.edit8));
                Edit11->setText(Q(r.edit11));
            },
            [this](const vexa::FineAdjustReply& r) {
                Edit20->setText(Q(r.edit20));
                Edit16->setText(Q(r.edit16));
                Edit17->setText(Q(r.edit17));
            },
            [this](const vexa::BuzzerReply& r) { Label19->setText(QString::fromStdString(r.label19())); },
            [this](const vexa::CountReply& r) { ApplyCountReply(r); },
            [this](const vexa::ThresholdReply& r) { ComboBox1->setEditText(Q(r.comboBox1)); },
            [this](const vexa::TitleReply& r) { Label33->setText(Q(r.label33)); },
            [this](const vexa::TitleRangeReply& r) {
                if (r.countsPerGIs2) {
                    CountsPerG = 2;
                    ComboBox5->setEditText(QStringLiteral("50"));
                }
                Label33->setText(Q(r.label33));
            },
            [this](const vexa::SamplingReply& r) {
                ComboBox3->setEditText(QString::fromStdString(r.sampling.text));
                ExtraDigitMode = r.sampling.extraDigitMode;
            },
            [this](const vexa::IdTextReply& r) { Edit21->setText(Q(r.edit21)); },
            [this](const vexa::LReply& r) { Edit14->setText(Q(r.edit14)); },
            [this](const vexa::LoggerIdReply& r) { Label18->setText(Q(r.label18)); },
            [this](const vexa::IntervalReply& r) {
                IntervalIndex = r.intervalIndex;
                IntervalName = r.intervalName;
                ComboBox2->setEditText(QString::fromStdString(IntervalName));
            },
            [this](const vexa::RecReply& r) { Edit15->setText(Q(r.edit15)); },
            [this](const vexa::StartModeReply& r) { ComboBox4->setEditText(QString::fromStdString(r.comboBox4)); },
            [this](const vexa::RangeReply& r) {
                if (!r.range) return;
                CountsPerG = r.range->countsPerG;
                ComboBox5->setEditText(QString::fromStdString(r.range->rangeText));
            },
            [this](const vexa::ThresholdDetectReply& r) {
                CheckBox2->setFocus();
                // A change of the box runs its click handler while ThresholdDetectOn still holds the
                // old state (connected to the box's toggled signal).
                if (CheckBox2->isChecked() != r.checked) CheckBox2->setChecked(r.checked);
                ThresholdDetectOn = CheckBox2->isChecked() ? 1 : 0;
                Edit12->setText(QString::number(ThresholdDetectOn));
            },
            [this](const vexa::StartSettingReply& r) { Label31->setText(Q(r.label31)); },
            [this](const vexa::StartYearReply& r) { Label15->setText(Q(r.label15)); },
        },
        reply);
}

void TForm1::EndOfAnswer() {
    MonitorPollPending = 0;
    SetLabel23("3.5");
    if (GreetOnPrompt == 1) {
        GreetOnPrompt = 0;
        PendingCommand1 = "p";
        PendingCommand2 = "p";
    }
    // Only one queued command goes out per "#", the first non-empty one.
    auto sendQueued = [this](auto& slot) {
        if (slot.Empty()) return false;
        const std::string command = slot.Str();
        slot.Clear();
        Send(command);
        return true;
    };
    if (sendQueued(PendingCommand1) || sendQueued(PendingCommand2) || sendQueued(PendingCommand3)) return;
    // Nothing queued: the exchange is over.
    ExchangeWatchdog->stop();
    ApdComPort1.SetOpen(false);
    RxLineLen = 0;
    if (DownloadActive == 1) FinishDownload(true);
    Label24->setText(Q(RxLineText()));
    RxLine[0] = '\0';
    if (Timer1->Interval() == 0) Timer1->SetInterval(1000);
}

void TForm1::ExchangeWatchdogTimer() {
    // The logger went silent in the middle of an exchange (unplugged, or stopped answering). End the
    // exchange so that port discovery runs again and the window does not wait forever.
    ApdComPort1.SetOpen(false);
    PendingCommand1.Clear();
    PendingCommand2.Clear();
    PendingCommand3.Clear();
    GreetOnPrompt = 0;
    MonitorPollPending = 0;
    RxLineLen = 0;
    RxLine[0] = '\0';
    if (LinkUp == 0) AutoConnectDone = 0;  // the next tick that finds the port connects again
    if (DownloadActive == 1) {
        FinishDownload(false);  // shows what arrived and says the download is incomplete
    } else {
        Label33->setText(QStringLiteral("No answer from the logger for %1 s: exchange ended")
                             .arg(ExchangeTimeoutMs / 1000));
    }
    if (Timer1->Interval() == 0) Timer1->SetInterval(1000);
}
