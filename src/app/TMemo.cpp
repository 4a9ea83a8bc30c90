// The work area: a text view whose lines are kept as the exact bytes they were decoded or loaded as.
#include "app/TMemo.h"

#include "platform/TextCodec.h"

#include <algorithm>

TMemo::TMemo(QWidget* parent) : QPlainTextEdit(parent) {
    // The lines are bytes that must survive save and load unchanged; editing in the view would
    // have to re-encode them, so the view is read-only.
    setReadOnly(true);
    setLineWrapMode(QPlainTextEdit::NoWrap);
    document()->setUndoRedoEnabled(false);
    refresh_.setSingleShot(true);
    refresh_.setInterval(0);
    connect(&refresh_, &QTimer::timeout, this, [this] { SyncStep(); });
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
    SyncStep();
}

size_t TMemo::StepEnd(size_t from) const {
    const size_t last = std::min(lines_.size(), from + kLinesPerStep);
    size_t bytes = 0;
    size_t to = from;
    // Always at least one line, so every step makes progress.
    while (to < last && (to == from || bytes < kBytesPerStep))
        bytes += std::min(lines_[to++].size(), kShownLineBytes);
    return to;
}

QString TMemo::Joined(size_t from, size_t to) const {
    // One conversion of the whole block is much cheaper than one per line.
    size_t total = 0;
    for (size_t i = from; i < to; ++i) total += std::min(lines_[i].size(), kShownLineBytes) + 1;
    std::string bytes;
    bytes.reserve(total);
    for (size_t i = from; i < to; ++i) {
        if (i > from) bytes += '\n';
        // A line of megabytes (a file that is not the logger's) would take the text layout seconds;
        // the view shows its start and the line itself stays whole for saving and the graph.
        if (lines_[i].size() > kShownLineBytes)
            bytes.append(lines_[i], 0, kShownLineBytes).append(" ...");
        else
            bytes += lines_[i];
    }
    return AnsiToQString(bytes);
}

bool TMemo::SyncStep() {
    refresh_.stop();
    if (rebuild_ || shownLines_ > lines_.size()) {
        const size_t to = StepEnd(0);
        setPlainText(Joined(0, to));
        shownLines_ = to;
        rebuild_ = false;
    } else if (shownLines_ < lines_.size()) {
        const size_t to = StepEnd(shownLines_);
        appendPlainText(Joined(shownLines_, to));
        shownLines_ = to;
    }
    const bool done = shownLines_ == lines_.size();
    // Tens of thousands of lines fill the view a step at a time, so the window stays responsive.
    if (!done && isVisible()) refresh_.start();
    return done;
}

void TMemo::SyncView() {
    while (!SyncStep()) {
    }
}
