// The "5ms" button: a 5-ms online capture of 5 to 360 seconds, written into the work area as CSV lines.
#include "app/CaptureView.h"
#include "app/TForm1.h"

#include "platform/Interaction.h"
#include "platform/TextCodec.h"
#include "protocol/CaptureFormat.h"

#include <QKeyEvent>
#include <QLocale>

namespace {
using vexa::session::Clock;

// The system's short date and its time format with seconds, as the end of a capture is stamped.
QString SystemDateTimeText(const QDateTime& when) {
    const QLocale locale = QLocale::system();
    QString timeFormat = locale.timeFormat(QLocale::LongFormat);
    // The long time format may name the time zone ("t"); the stamp keeps only hours to seconds.
    timeFormat.remove(QLatin1Char('t'));
    return locale.toString(when.date(), QLocale::ShortFormat) + QLatin1Char(' ') +
           locale.toString(when.time(), timeFormat.trimmed());
}
} // namespace

void TForm1::Button40Click() {
    if (capture_->Busy()) return; // one capture at a time, also while the last one is being written
    // A pending answer's queue must not follow into the stream, nor its lines into the capture.
    session_.EndPendingExchange();
    Memo1->Clear();
    ApdComPort1.SetOpen(true);
    // One monitor sample: its answer lands in the work area while the dialog is open.
    SendChar('n');
    const auto text = UI().InputQuery(QStringLiteral("5msec"),
                                      tr("オンラインデータ取得します。秒数を指定してください"),
                                      QStringLiteral("30"));
    if (!text) return;
    const vexa::CaptureDuration duration = vexa::CaptureDurationFromText(QStringToAnsi(*text));
    // The rule stays, but a replaced value is never replaced without a word.
    if (!duration.note.empty()) Label33->setText(QString::fromStdString(duration.note));
    capture_->Begin(duration.seconds * vexa::kCaptureSamplesPerSecond);
}

CaptureView::CaptureView(TForm1& form) : QObject(&form), form_(form), exchange_(*this) {
    setObjectName(QStringLiteral("CaptureView"));
    answerPoll_.setInterval(10);
    connect(&answerPoll_, &QTimer::timeout, this, [this] { WaitForAnswer(); });
    form_.installEventFilter(this);
}

void CaptureView::Begin(int target) {
    pendingTarget_ = target;
    savedTimerInterval_ = form_.Timer1->Interval();
    // A tick now would send its own commands into the stream that is about to start.
    form_.Timer1->SetInterval(0);
    waitingForAnswer_ = true;
    answerWaited_.start();
    // The answer's "#" closes the port; only then is the work area's first line that answer, and no
    // byte of it can be taken for a sample.
    WaitForAnswer();
    if (waitingForAnswer_) answerPoll_.start();
}

void CaptureView::WaitForAnswer() {
    if (!waitingForAnswer_) return;
    if (form_.ApdComPort1.Open() && answerWaited_.elapsed() < kAnswerWaitMs) return;
    answerPoll_.stop();
    waitingForAnswer_ = false;
    StartNow();
}

void CaptureView::StartNow() {
    const std::string kept = form_.Memo1->Count() > 0 ? form_.Memo1->Line(0) : std::string();
    form_.Memo1->Clear();
    form_.ApdComPort1.SetOpen(true);
    // An answer that came too late is not a sample.
    form_.ApdComPort1.FlushInBuffer();
    // The answer's end restarts a stopped Timer1; the capture keeps it stopped until its lines are in.
    form_.Timer1->SetInterval(0);
    form_.LoggerSession().StopWatchdog();
    vexa::session::CaptureStart start;
    start.target = pendingTarget_;
    start.startText = form_.State.NowText;
    start.answerLine = kept;
    start.countsPerG = form_.State.CountsPerG;
    start.savedTimerInterval = savedTimerInterval_;
    exchange_.Start(start, Clock::now());
}

void CaptureView::Escape() {
    exchange_.Abort(Clock::now());
}

bool CaptureView::eventFilter(QObject* watched, QEvent* event) {
    if (watched == &form_ && event->type() == QEvent::KeyPress && exchange_.Streaming() &&
        static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape) {
        Escape();
        return true;
    }
    return QObject::eventFilter(watched, event);
}

void CaptureView::CaptureSend(std::string_view bytes) {
    if (form_.ApdComPort1.Open()) form_.ApdComPort1.PutString(std::string(bytes));
}

void CaptureView::CaptureProgressShown(int maximum) {
    form_.ProgressBar1->setRange(0, maximum);
    form_.ProgressBar1->setValue(0);
    form_.ProgressBar1->show();
}

void CaptureView::CaptureProgress(int position) {
    form_.ProgressBar1->setValue(std::min(position, form_.ProgressBar1->maximum()));
}

void CaptureView::CaptureProgressHidden() {
    form_.ProgressBar1->hide();
}

void CaptureView::CaptureWorkAreaLine(std::string line) {
    form_.Memo1->Add(std::move(line));
}

void CaptureView::CaptureOutputBegins() {
    form_.Memo1->hide();
    form_.SavedFormHeight = form_.height();
    form_.resize(form_.width(), 160);
}

void CaptureView::CaptureWorkAreaLines(std::vector<std::string>& lines) {
    form_.Memo1->AddLines(lines);
}

void CaptureView::CaptureOutputEnds() {
    form_.Memo1->show();
    form_.resize(form_.width(), form_.SavedFormHeight);
}

void CaptureView::CaptureStepDue() {
    // The next block after the events that are waiting, so the window keeps answering.
    QTimer::singleShot(0, this, [this] { exchange_.WriteStep(); });
}

void CaptureView::CaptureStatus(std::string text) {
    form_.Label33->setText(QString::fromStdString(text));
}

void CaptureView::CaptureRestoreTimer(int interval) {
    form_.Timer1->SetInterval(interval);
}

std::string CaptureView::CaptureClockText() {
    return QStringToAnsi(SystemDateTimeText(form_.Now()));
}
