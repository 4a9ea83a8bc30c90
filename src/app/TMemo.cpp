// The work area: a text view whose lines are kept as the exact bytes they were decoded or loaded as.
#include "app/TMemo.h"

#include "platform/TextCodec.h"

TMemo::TMemo(QWidget* parent) : QPlainTextEdit(parent) {
    // The lines are bytes that must survive save and load unchanged; editing in the view would
    // have to re-encode them, so the view is read-only.
    setReadOnly(true);
    setLineWrapMode(QPlainTextEdit::NoWrap);
    refresh_.setSingleShot(true);
    refresh_.setInterval(0);
    connect(&refresh_, &QTimer::timeout, this, [this] { SyncView(); });
}

void TMemo::Clear() {
    lines_.clear();
    shownLines_ = 0;
    rebuild_ = true;
    ScheduleRefresh();
}

void TMemo::Add(std::string line) {
    lines_.push_back(std::move(line));
    ScheduleRefresh();
}

void TMemo::AddLines(std::vector<std::string>& lines) {
    lines_.reserve(lines_.size() + lines.size());
    for (auto& l : lines) lines_.push_back(std::move(l));
    lines.clear();
    ScheduleRefresh();
}

void TMemo::SetLines(std::vector<std::string> lines) {
    lines_ = std::move(lines);
    shownLines_ = 0;
    rebuild_ = true;
    ScheduleRefresh();
}

void TMemo::ScheduleRefresh() {
    if (isVisible() && !refresh_.isActive()) refresh_.start();
}

void TMemo::showEvent(QShowEvent* event) {
    QPlainTextEdit::showEvent(event);
    SyncView();
}

void TMemo::SyncView() {
    refresh_.stop();
    if (rebuild_ || shownLines_ > lines_.size()) {
        QString all;
        for (size_t i = 0; i < lines_.size(); ++i) {
            if (i) all += QLatin1Char('\n');
            all += AnsiToQString(lines_[i]);
        }
        setPlainText(all);
        rebuild_ = false;
    } else if (shownLines_ < lines_.size()) {
        QString block;
        for (size_t i = shownLines_; i < lines_.size(); ++i) {
            if (i > shownLines_) block += QLatin1Char('\n');
            block += AnsiToQString(lines_[i]);
        }
        appendPlainText(block);
    }
    shownLines_ = lines_.size();
}
