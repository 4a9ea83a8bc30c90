// The "5ms" button: a 5-ms online capture of 5 to 360 seconds, written into the work area as CSV lines.
#include "app/CaptureView.h"
#include "app/TForm1.h"

#include "platform/Interaction.h"
#include "platform/TextCodec.h"
#include "protocol/CaptureFormat.h"

#include <QKeyEvent>
#include <QLocale>
#include <QTimer>

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

// While the sample lines go in, the work area is hidden and the window this small, so that tens of
// thousands of lines cause no repaint.
constexpr int kHeightWhileWriting = 160;
} // namespace

void TForm1::Button40Click() {
    // One monitor sample first, while the dialog is open: its answer becomes the capture's second line.
    // The work area stays as it is until the capture starts, so Cancel loses nothing.
    if (!session_.RequestCaptureSample(Clock::now())) return;
    const auto text = UI().InputQuery(QStringLiteral("5msec"),
                                      tr("オンラインデータ取得します。秒数を指定してください"),
                                      QStringLiteral("30"));
    if (!text) return;
    const vexa::CaptureDuration duration = vexa::CaptureDurationFromText(QStringToAnsi(*text));
    // The rule stays, but a replaced value is never replaced without a word.
    if (!duration.note.empty()) Label33->setText(QString::fromStdString(duration.note));
    session_.StartCapture({duration.seconds * vexa::kCaptureSamplesPerSecond, {}}, Clock::now());
}

CaptureView::CaptureView(TForm1& form) : QObject(&form), form_(form) {
    setObjectName(QStringLiteral("CaptureView"));
    form_.installEventFilter(this);
}

const vexa::session::CaptureExchange& CaptureView::Exchange() const {
    return form_.LoggerSession().Capture();
}

bool CaptureView::Busy() const {
    return form_.LoggerSession().CaptureBusy();
}

void CaptureView::Escape() {
    form_.LoggerSession().AbortCapture(Clock::now());
}

bool CaptureView::eventFilter(QObject* watched, QEvent* event) {
    // The session is asked only about the Escape key, not about every event the window gets.
    if (watched == &form_ && event->type() == QEvent::KeyPress &&
        static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape &&
        (Exchange().Streaming() || form_.LoggerSession().CaptureWaiting())) {
        Escape();
        return true;
    }
    return QObject::eventFilter(watched, event);
}

void CaptureView::Started() {
    form_.Memo1->Clear();
}

void CaptureView::ProgressShown(int maximum) {
    form_.ProgressBar1->setRange(0, maximum);
    form_.ProgressBar1->setValue(0);
    form_.ProgressBar1->show();
}

void CaptureView::Progress(int position) {
    form_.ProgressBar1->setValue(std::min(position, form_.ProgressBar1->maximum()));
}

void CaptureView::ProgressHidden() {
    form_.ProgressBar1->hide();
}

void CaptureView::WorkAreaLine(std::string line) {
    form_.Memo1->Add(std::move(line));
}

void CaptureView::OutputBegins() {
    form_.Memo1->hide();
    form_.SavedFormHeight = form_.height();
    form_.resize(form_.width(), kHeightWhileWriting);
}

void CaptureView::WorkAreaLines(vexa::Recording&& block) {
    form_.CompleteDeviceFacts(block.header.device);
    form_.Memo1->AppendRecording(std::move(block));
}

void CaptureView::OutputEnds() {
    form_.Memo1->show();
    form_.resize(form_.width(), form_.SavedFormHeight);
}

void CaptureView::StepDue() {
    // The next block after the events that are waiting, so the window keeps answering.
    QTimer::singleShot(0, this, [this] { form_.LoggerSession().CaptureWriteStep(); });
}

void CaptureView::Status(std::string text) {
    form_.Label33->setText(QString::fromStdString(text));
}

QString CaptureView::FinishedText(const vexa::session::CaptureSummary& s) {
    using vexa::session::CaptureEnd;
    QString text;
    if (s.end != CaptureEnd::Complete) {
        text = tr("5ms取得は途中で終わりました: %1 / %2 サンプル").arg(s.received).arg(s.target);
        if (s.end == CaptureEnd::Stalled) text += tr("（ロガーの送信が止まりました）");
        if (s.end == CaptureEnd::TimeUp) text += tr("（取得時間を過ぎました）");
        if (s.end == CaptureEnd::PortLost) text += tr("（ロガーとの接続が切れました）");
    }
    const auto note = [&text](const QString& part) {
        text += (text.isEmpty() ? tr("5ms取得: ") : tr("、")) + part;
    };
    if (s.dropped > 0) note(tr("不正なサンプル %1 件を除きました").arg(s.dropped));
    if (!s.temperature) note(tr("温度なし（取得前にモニタ行が届きませんでした）"));
    return text;
}

void CaptureView::Finished(const vexa::session::CaptureSummary& summary) {
    const QString text = FinishedText(summary);
    if (!text.isEmpty()) form_.Label33->setText(text);
}

std::string CaptureView::ClockText() {
    return QStringToAnsi(SystemDateTimeText(form_.Now()));
}

// ---- what the session reports of the capture, handed to its view ----

void TForm1::CaptureStarted() {
    capture_->Started();
}
void TForm1::CaptureProgressShown(int maximum) {
    capture_->ProgressShown(maximum);
}
void TForm1::CaptureProgress(int position) {
    capture_->Progress(position);
}
void TForm1::CaptureProgressHidden() {
    capture_->ProgressHidden();
}
void TForm1::CaptureWorkAreaLine(std::string line) {
    capture_->WorkAreaLine(std::move(line));
}
void TForm1::CaptureOutputBegins() {
    capture_->OutputBegins();
}
void TForm1::CaptureWorkAreaLines(vexa::Recording&& block) {
    capture_->WorkAreaLines(std::move(block));
}
void TForm1::CaptureOutputEnds() {
    capture_->OutputEnds();
}
void TForm1::CaptureStepDue() {
    capture_->StepDue();
}
void TForm1::CaptureStatus(std::string text) {
    capture_->Status(std::move(text));
}
void TForm1::CaptureFinished(const vexa::session::CaptureSummary& summary) {
    capture_->Finished(summary);
}
std::string TForm1::CaptureClockText() {
    return capture_->ClockText();
}
