// The command set: what each button, label, list and check box sends to the logger.
#include "app/TForm1.h"

#include "app/MainWindowLanguage.h"
#include "dialogs/TForm3.h"
#include "dialogs/TForm5.h"
#include "dialogs/TForm6.h"
#include "platform/TextCodec.h"
#include "protocol/ArgumentForms.h"
#include "protocol/CodeTables.h"

#include <QScopedValueRollback>

namespace {

enum class Guard {
    None,     // always acts
    Enabled,  // only while commands are enabled
    Idle,     // only while commands are enabled and no exchange is running
};

enum class After {
    Nothing,
    QueueStatus,  // the parser sends "p" when the answer ends; the tick stays off until then
    StopTimer,
};

bool GuardMet(const TForm1& f, Guard guard) {
    switch (guard) {
    case Guard::None: return true;
    case Guard::Enabled: return f.State.CommandsEnabled == 1;
    case Guard::Idle: return f.State.CommandsEnabled == 1 && !f.ApdComPort1.Open();
    }
    return false;
}

void OpenIfClosed(TForm1& f) {
    if (!f.ApdComPort1.Open()) f.ApdComPort1.SetOpen(true);
}

void ApplyAfter(TForm1& f, After after) {
    if (after == After::QueueStatus) f.State.PendingCommand1 = "p";
    if (after != After::Nothing) f.Timer1->SetInterval(0);
}

// The common shape of a command handler. The bytes are built before the port is touched, so an
// argument that is not a number ends the handler with nothing sent and queue and timer unchanged.
template <typename Bytes>
bool RunCommand(TForm1& f, Guard guard, bool clear, Bytes&& bytes, After after) {
    if (!GuardMet(f, guard)) {
        if (guard != Guard::None) f.LoggerReady(); // says so when the logger is not linked
        return false;
    }
    if (clear) f.Memo1->Clear();
    f.CommandArg = bytes();
    // A new exchange: one still awaiting its answer ends here, with its queue.
    f.LoggerSession().EndPendingExchange();
    OpenIfClosed(f);
    f.Send(f.CommandArg);
    ApplyAfter(f, after);
    return true;
}

bool RunCommand(TForm1& f, Guard guard, bool clear, const char* bytes, After after) {
    return RunCommand(f, guard, clear, [bytes] { return std::string(bytes); }, after);
}

// A control's text as typed by a person: Shift-JIS bytes, kept in the handlers' scratch text.
std::string ControlText(TForm1& f, const QString& text) {
    f.CommandText = QStringToAnsi(text);
    return f.CommandText;
}

constexpr bool kClear = true;
constexpr bool kKeep = false;

} // namespace

// ---- status and information ----

void TForm1::Button8Click() {
    Memo1->Clear();
    State.MonitorPollPending = 0;
    State.CommandsEnabled = 1;
    OpenIfClosed(*this);
    Send("p");
    Timer1->SetInterval(2000);
    Button39->hide();
    // Only this firmware has the radio that the reset button talks to.
    if (State.FirmwareVersion == 20231226) Button32->show();
}

void TForm1::Button15Click() { RunCommand(*this, Guard::None, kClear, "m", After::Nothing); }

void TForm1::Button46Click() {
    OpenIfClosed(*this);
    SendChar('m');
}

void TForm1::Button44Click() { RunCommand(*this, Guard::None, kClear, "vp", After::Nothing); }
void TForm1::Button29Click() { RunCommand(*this, Guard::Idle, kKeep, "n", After::Nothing); }
void TForm1::Button5Click() { RunCommand(*this, Guard::None, kKeep, "#", After::Nothing); }

void TForm1::Button56Click() {
    OpenIfClosed(*this);
    SendChar('E');
}

void TForm1::Button41Click() { RunCommand(*this, Guard::Enabled, kClear, "Z", After::Nothing); }
void TForm1::Label36Click() { RunCommand(*this, Guard::Enabled, kClear, "e", After::Nothing); }

void TForm1::Button45Click() {
    session_.EndPendingExchange();
    OpenIfClosed(*this);
    SendChar('e');
    SendChar('p');
    Button45->hide();
    Button46->show();
    // The close lets the two queued bytes out first.
    ApdComPort1.SetOpen(false);
    // Closed on purpose: no answer is awaited, so the silence watchdog must not end a later exchange.
    session_.StopWatchdog();
}

// ---- clock and time ----

void TForm1::Button2Click() {
    if (RunCommand(*this, Guard::Idle, kKeep, [this] { return "s" + vexa::DateTimeArgument(State.NowText); },
                   After::StopTimer))
        State.PendingCommand1 = "t";
}

void TForm1::Button1Click() {
    RunCommand(*this, Guard::None, kKeep, [this] { return "s" + vexa::DateTimeArgument(State.NowText); }, After::StopTimer);
    State.PendingCommand1 = "te";
    // The tick sends "m" once the logger has had time to take the new clock.
    ClockSetDeadline = NowValue.addSecs(12);
    State.ClockSetPending = 1;
}

void TForm1::Button16Click() { RunCommand(*this, Guard::Idle, kKeep, "t", After::Nothing); }

void TForm1::Label26DblClick() {
    if (!LoggerReady()) return;
    session_.EndPendingExchange();
    OpenIfClosed(*this);
    ApdComPort1.FlushInBuffer();
    Send("t");
}

// ---- recording start and stop ----

void TForm1::Button7Click() { RunCommand(*this, Guard::Enabled, kKeep, "o", After::Nothing); }
void TForm1::Button14Click() { RunCommand(*this, Guard::Enabled, kKeep, "f", After::Nothing); }
void TForm1::Label22DblClick() {}

void TForm1::ComboBox4Change() {
    if (!GuardMet(*this, Guard::Enabled)) return;
    // Branches that send nothing leave the queue alone: nothing may reach the logger that the user
    // did not ask for.
    const QString text = StartModeSource(ComboBox4->currentText());
    const auto clock = [this] { return "s" + vexa::DateTimeArgument(State.NowText); };
    if (text == QStringLiteral("今すぐ開始")) {
        RunCommand(*this, Guard::Enabled, kKeep, clock, After::StopTimer);
        State.PendingCommand1 = "t";
    } else if (text == QStringLiteral("Sleep")) {
        RunCommand(*this, Guard::Enabled, kKeep, "f", After::QueueStatus);
    } else if (text == QStringLiteral("開始")) {
        RunCommand(*this, Guard::Enabled, kKeep, "o", After::QueueStatus);
    } else if (text == QStringLiteral("予約開始") || text == QStringLiteral("予約開始*")) {
        if (State.ReservationState == 0) {
            // The time is asked for first; confirming it runs this handler again.
            State.ReservationState = 2;
            if (Form5) {
                Form5->show();
                Form5->raise();
            }
            return;
        }
        // Clock, reservation time, wait state and the time request, one answer after the other.
        session_.EndPendingExchange();
        State.PendingCommand1 = "l" + State.ReservationTimeText;
        Timer1->SetInterval(0);
        OpenIfClosed(*this);
        Send(clock());
        State.PendingCommand2 = "f";
        State.PendingCommand3 = "t";
    }
}

// ---- measurement settings ----

void TForm1::ComboBox1Change() {
    if (RunCommand(*this, Guard::Enabled, kKeep, [this] { return "d" + ControlText(*this, ComboBox1->currentText()); },
                   After::QueueStatus))
        Memo1->Clear();
}

void TForm1::Button9Click() {
    RunCommand(*this, Guard::None, kKeep, [this] { return "d" + ControlText(*this, ComboBox1->currentText()); },
               After::Nothing);
}

void TForm1::ComboBox2Change() {
    if (!GuardMet(*this, Guard::Idle)) return;
    State.IntervalName = ControlText(*this, ComboBox2->currentText());
    // A typed text that names no interval has no code: nothing is sent until it does.
    const auto code = vexa::IntervalCodeOfName(State.IntervalName);
    if (!code) return;
    RunCommand(*this, Guard::Idle, kKeep, [&] { return std::string{'j', *code}; }, After::QueueStatus);
}

void TForm1::Button17Click() {
    // From the last minute interval the step wraps to "1min"; from the last seconds interval too,
    // as no code lies past it.
    State.IntervalIndex = vexa::NextIntervalIndex(State.IntervalIndex);
    RunCommand(*this, Guard::None, kKeep, [this] { return std::string{'j', State.IntervalCodes[size_t(State.IntervalIndex)]}; },
               After::Nothing);
    State.IntervalName = vexa::IntervalNameAt(State.IntervalIndex);
    ComboBox2->setEditText(QString::fromStdString(State.IntervalName));
}

void TForm1::ComboBox3Change() {
    RunCommand(*this, Guard::Enabled, kKeep,
               [this] { return std::string{'i', vexa::SamplingCodeOfName(ComboBox3->currentText().toStdString())}; },
               After::QueueStatus);
}

void TForm1::ComboBox5Change() {
    if (State.CommandsEnabled == 1) {
        RunCommand(*this, Guard::Enabled, kKeep, [this] { return ControlText(*this, ComboBox5->currentText()); },
                   After::QueueStatus);
        return;
    }
    State.CountsPerG = vexa::CountsPerGOfRangeText(ControlText(*this, ComboBox5->currentText()));
}

void TForm1::CheckBox2Click() {
    // Setting the mark below re-enters through the toggled signal; that must not send again.
    if (checkBox2Busy_) return;
    QScopedValueRollback busy(checkBox2Busy_, true);
    if (!GuardMet(*this, Guard::Enabled)) {
        // Nothing was sent, so the mark goes back to what the logger was last told.
        CheckBox2->setChecked(State.ThresholdDetectOn == 1);
        return;
    }
    const char* command = nullptr;
    if (State.ThresholdDetectOn == 0) {
        CheckBox2->setChecked(true);
        State.ThresholdDetectOn = 1;
        command = "k1";
    } else {
        CheckBox2->setChecked(false);
        State.ThresholdDetectOn = 0;
        command = "k0";
    }
    RunCommand(*this, Guard::Enabled, kKeep, command, After::QueueStatus);
}

void TForm1::Label19DblClick() {
    RunCommand(*this, Guard::Idle, kKeep,
               [this] { return std::string(Label19->text() == QStringLiteral("BZ-ON") ? "z1" : "z0"); },
               After::QueueStatus);
}

// ---- axis adjustment ----

namespace {
template <typename Form>
void AxisCommand(TForm1& f, const char* prefix, QLineEdit* edit, Form form, bool clear) {
    RunCommand(f, Guard::Enabled, clear, [&] { return prefix + form(ControlText(f, edit->text())); },
               After::QueueStatus);
}
} // namespace

void TForm1::Button18Click() { AxisCommand(*this, "Ox", Edit1, vexa::SignedTwoDigitArgument, kClear); }
void TForm1::Button19Click() { AxisCommand(*this, "Oy", Edit2, vexa::OnOffArgument, kClear); }
void TForm1::Button20Click() { AxisCommand(*this, "Oz", Edit6, vexa::OnOffArgument, kClear); }
void TForm1::Button21Click() { AxisCommand(*this, "OX", Edit7, vexa::OnOffArgument, kClear); }
void TForm1::Button23Click() { AxisCommand(*this, "OY", Edit8, vexa::SignedTwoDigitArgument, kClear); }
void TForm1::Button24Click() { AxisCommand(*this, "OZ", Edit11, vexa::SignedTwoDigitArgument, kClear); }
void TForm1::Button53Click() { AxisCommand(*this, "FX", Edit20, vexa::TrimmedTextArgument, kKeep); }
void TForm1::Button51Click() { AxisCommand(*this, "FY", Edit16, vexa::TrimmedTextArgument, kKeep); }
void TForm1::Button52Click() { AxisCommand(*this, "FZ", Edit17, vexa::TrimmedTextArgument, kKeep); }
void TForm1::Button48Click() { AxisCommand(*this, "L", Edit14, vexa::SignedTwoDigitArgument, kClear); }
void TForm1::Button50Click() { AxisCommand(*this, "r", Edit15, vexa::HundredsArgument, kClear); }

// ---- maintenance ----

void TForm1::Button25Click() { RunCommand(*this, Guard::Enabled, kClear, "q7", After::Nothing); }
void TForm1::Button33Click() { RunCommand(*this, Guard::Enabled, kClear, "q5", After::QueueStatus); }
void TForm1::Button34Click() { RunCommand(*this, Guard::Enabled, kClear, "q1", After::QueueStatus); }

void TForm1::Button31Click() {
    if (!RunCommand(*this, Guard::Enabled, kClear, "q8", After::Nothing)) return;
    Timer1->SetInterval(2000);
    Button31->hide();
    Button32->hide();
}

void TForm1::Button32Click() {
    if (!RunCommand(*this, Guard::Enabled, kClear, "q9", After::Nothing)) return;
    Timer1->SetInterval(10000);
    Button31->show();
    Button32->hide();
}

void TForm1::Button35Click() { RunCommand(*this, Guard::Enabled, kClear, "b0", After::QueueStatus); }
void TForm1::Button36Click() { RunCommand(*this, Guard::Enabled, kClear, "b1", After::QueueStatus); }
void TForm1::Button43Click() { RunCommand(*this, Guard::Enabled, kClear, "b0", After::Nothing); }

void TForm1::Button26Click() {
    RunCommand(*this, Guard::None, kKeep, "N01", After::Nothing);
    // The tick sends the status request byte by byte.
    State.TickSequence = "p";
    State.TickSequenceIndex = 0;
}

void TForm1::Button49Click() {
    RunCommand(*this, Guard::None, kClear, "W", After::Nothing);
    Timer1->SetInterval(3000);
}

void TForm1::Button54Click() { RunCommand(*this, Guard::Enabled, kKeep, "Kr", After::StopTimer); }

void TForm1::Button55Click() {
    if (!RunCommand(*this, Guard::Enabled, kKeep,
                    [this] { return "Kw" + vexa::TrimmedTextArgument(ControlText(*this, Edit21->text())); },
                    After::StopTimer))
        return;
    SendChar('\r');
}

// ---- link and monitor ----

void TForm1::Button38Click() {
    if (State.LinkUp == 1) {
        if (State.CommandsEnabled != 1) return;
        ApdComPort1.SetOpen(true);
        SendChar('n');
        return;
    }
    // The linked state without an exchange, as at the logger's first contact.
    session_.EnterLinkedState();
}

void TForm1::Button22Click() { State.MonitorCommand = "hAAA"; }

// ---- labels that open the settings dialogs ----

namespace {
void ShowDialog(QWidget* dialog) {
    if (!dialog) return;
    dialog->show();
    dialog->raise();
}
} // namespace

void TForm1::Label17DblClick() { ShowDialog(Form3); }
void TForm1::Label25DblClick() { ShowDialog(Form5); }
void TForm1::Label30Click() { ShowDialog(Form6); }
