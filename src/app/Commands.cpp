// The command set: what each button, label, list and check box asks the session to send.
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

using vexa::session::Clock;
using vexa::session::CommandRequest;
using vexa::session::Guard;

enum class After {
    Nothing,
    QueueStatus, // the logger's answer is followed by "p"; the tick stays off until the exchange ends
    StopTimer,   // the tick stays off until the exchange ends
};

constexpr bool kClear = true;
constexpr bool kKeep = false;

// The common shape of a command handler: the session sends (or refuses, and says why); the window
// clears the work area where the command's answer is to stand alone, and keeps discovery's tick from
// closing the port before the follow-ups have run. An argument that is not a number ends the handler
// before anything is asked of the session.
bool RunCommand(TForm1& f, Guard guard, bool clear, std::string bytes, After after) {
    CommandRequest request{std::move(bytes), {}, guard};
    if (after == After::QueueStatus) request.followUps = {"p"};
    return f.Command(request, clear, after != After::Nothing);
}

// A control's text as typed by a person: Shift-JIS bytes, kept in the handlers' scratch text.
std::string ControlText(TForm1& f, const QString& text) {
    f.CommandText = QStringToAnsi(text);
    return f.CommandText;
}

std::string ClockCommand(const TForm1& f) {
    return "s" + vexa::DateTimeArgument(f.State.NowText);
}

} // namespace

bool TForm1::Command(const vexa::session::CommandRequest& request, bool clear, bool stopTimer) {
    CommandArg = request.bytes;
    if (!session_.RequestCommand(request, Clock::now())) return false;
    if (clear) Memo1->Clear();
    if (stopTimer) Timer1->SetInterval(0);
    return true;
}

// ---- status and information ----

void TForm1::Button8Click() {
    if (!session_.RequestVersion(Clock::now())) return;
    Memo1->Clear();
    Timer1->SetInterval(2000);
    Button39->hide();
    // Only this firmware has the radio that the reset button talks to.
    if (State.FirmwareVersion == 20231226) Button32->show();
}

void TForm1::Button15Click() { RunCommand(*this, Guard::None, kClear, "m", After::Nothing); }

void TForm1::Button46Click() {
    // A one-byte command sent into whatever runs.
    Command({"m", {}, Guard::None, false}, kKeep, false);
}

void TForm1::Button44Click() { RunCommand(*this, Guard::None, kClear, "vp", After::Nothing); }
void TForm1::Button29Click() { RunCommand(*this, Guard::Idle, kKeep, "n", After::Nothing); }
void TForm1::Button5Click() { RunCommand(*this, Guard::None, kKeep, "#", After::Nothing); }
void TForm1::Button56Click() {
    Command({"E", {}, Guard::None, false}, kKeep, false);
}
void TForm1::Button41Click() { RunCommand(*this, Guard::Enabled, kClear, "Z", After::Nothing); }
void TForm1::Label36Click() { RunCommand(*this, Guard::Enabled, kClear, "e", After::Nothing); }

void TForm1::Button45Click() {
    if (!session_.RequestStandby(Clock::now())) return;
    Button45->hide();
    Button46->show();
}

// ---- clock and time ----

void TForm1::Button2Click() {
    Command({ClockCommand(*this), {"t"}, Guard::Idle}, kKeep, true);
}

void TForm1::Button1Click() {
    if (session_.RequestClockSet(Clock::now())) Timer1->SetInterval(0);
}

void TForm1::Button16Click() { RunCommand(*this, Guard::Idle, kKeep, "t", After::Nothing); }

void TForm1::Label26DblClick() {
    // The port's waiting input is discarded before the request.
    Command({"t", {}, Guard::Enabled, true, true}, kKeep, false);
}

// ---- recording start and stop ----

void TForm1::Button7Click() { RunCommand(*this, Guard::Enabled, kKeep, "o", After::Nothing); }
void TForm1::Button14Click() { RunCommand(*this, Guard::Enabled, kKeep, "f", After::Nothing); }
void TForm1::Label22DblClick() {}

void TForm1::ComboBox4Change() {
    // Texts that name no start mode send nothing, and leave nothing queued either.
    const QString text = StartModeSource(ComboBox4->currentText());
    if (text == QStringLiteral("今すぐ開始")) {
        Command({ClockCommand(*this), {"t"}, Guard::Enabled}, kKeep, true);
    } else if (text == QStringLiteral("Sleep")) {
        RunCommand(*this, Guard::Enabled, kKeep, "f", After::QueueStatus);
    } else if (text == QStringLiteral("開始")) {
        RunCommand(*this, Guard::Enabled, kKeep, "o", After::QueueStatus);
    } else if (text == QStringLiteral("予約開始") || text == QStringLiteral("予約開始*")) {
        switch (session_.RequestReservedStart(Clock::now())) {
        case vexa::session::ReservedStart::TimeNeeded:
            // The time is asked for first; confirming it runs this handler again.
            if (Form5) {
                Form5->show();
                Form5->raise();
            }
            break;
        case vexa::session::ReservedStart::Sent:
            Timer1->SetInterval(0);
            break;
        case vexa::session::ReservedStart::Refused:
            break;
        }
    }
}

// ---- measurement settings ----

void TForm1::ComboBox1Change() {
    if (RunCommand(*this, Guard::Enabled, kKeep, "d" + ControlText(*this, ComboBox1->currentText()),
                   After::QueueStatus))
        Memo1->Clear();
}

void TForm1::Button9Click() {
    RunCommand(*this, Guard::None, kKeep, "d" + ControlText(*this, ComboBox1->currentText()), After::Nothing);
}

void TForm1::ComboBox2Change() {
    if (session_.RequestInterval(ControlText(*this, ComboBox2->currentText()), Clock::now()))
        Timer1->SetInterval(0);
}

void TForm1::Button17Click() {
    if (!session_.RequestNextInterval(Clock::now())) return;
    ComboBox2->setEditText(QString::fromStdString(State.IntervalName));
}

void TForm1::ComboBox3Change() {
    RunCommand(*this, Guard::Enabled, kKeep,
               std::string{'i', vexa::SamplingCodeOfName(ComboBox3->currentText().toStdString())},
               After::QueueStatus);
}

void TForm1::ComboBox5Change() {
    if (session_.RequestRange(ControlText(*this, ComboBox5->currentText()), Clock::now()))
        Timer1->SetInterval(0);
}

void TForm1::CheckBox2Click() {
    // Setting the mark below re-enters through the toggled signal; that must not send again.
    if (checkBox2Busy_) return;
    QScopedValueRollback busy(checkBox2Busy_, true);
    if (session_.RequestThresholdDetect(Clock::now())) Timer1->SetInterval(0);
    // The mark shows what the logger was last told (unchanged when nothing was sent).
    CheckBox2->setChecked(State.ThresholdDetectOn == 1);
}

void TForm1::Label19DblClick() {
    RunCommand(*this, Guard::Idle, kKeep, Label19->text() == QStringLiteral("BZ-ON") ? "z1" : "z0",
               After::QueueStatus);
}

// ---- axis adjustment ----

namespace {
template <typename Form>
void AxisCommand(TForm1& f, const char* prefix, QLineEdit* edit, Form form, bool clear) {
    RunCommand(f, Guard::Enabled, clear, prefix + form(ControlText(f, edit->text())), After::QueueStatus);
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
    if (!RunCommand(*this, Guard::None, kKeep, "N01", After::Nothing)) return;
    // The tick sends the status request byte by byte.
    session_.QueueTickSequence("p");
}

void TForm1::Button49Click() {
    if (RunCommand(*this, Guard::None, kClear, "W", After::Nothing)) Timer1->SetInterval(3000);
}

void TForm1::Button54Click() { RunCommand(*this, Guard::Enabled, kKeep, "Kr", After::StopTimer); }

void TForm1::Button55Click() {
    RunCommand(*this, Guard::Enabled, kKeep,
               "Kw" + vexa::TrimmedTextArgument(ControlText(*this, Edit21->text())) + "\r", After::StopTimer);
}

// ---- link and monitor ----

void TForm1::Button38Click() {
    session_.RequestHello(Clock::now());
}

void TForm1::Button22Click() {
    session_.QueueMonitorCommand("hAAA");
}

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
