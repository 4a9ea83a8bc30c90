// The work area: a view of a recording's lines, which stay the exact bytes they were decoded or loaded as.
#include "app/TMemo.h"

#include "platform/TextCodec.h"
#include "recording/RecordingFile.h"

#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <algorithm>

namespace {
constexpr int kMargin = 4;
} // namespace

TMemo::TMemo(QWidget* parent) : QAbstractScrollArea(parent), recording_(std::make_shared<vexa::Recording>()) {
    setFocusPolicy(Qt::StrongFocus);
    viewport()->setBackgroundRole(QPalette::Base);
    viewport()->setAutoFillBackground(true);
    viewport()->setCursor(Qt::IBeamCursor);
}

vexa::Recording& TMemo::Mutable() {
    // A consumer holds the recording as it was: the work area changes a copy of its own.
    if (recording_.use_count() > 1) recording_ = std::make_shared<vexa::Recording>(*recording_);
    return *recording_;
}

void TMemo::Clear() {
    recording_ = std::make_shared<vexa::Recording>();
    ContentChanged(true);
}

void TMemo::Add(std::string line) {
    Mutable().AddLine(std::move(line));
    ContentChanged(false);
}

void TMemo::SetLines(std::vector<std::string> lines) {
    SetRecording(vexa::ReadRecordingLines(lines));
}

void TMemo::SetRecording(vexa::Recording recording) {
    recording_ = std::make_shared<vexa::Recording>(std::move(recording));
    ContentChanged(true);
}

void TMemo::AppendRecording(vexa::Recording&& tail) {
    Mutable().Append(std::move(tail));
    ContentChanged(false);
}

void TMemo::ContentChanged(bool replaced) {
    QScrollBar* v = verticalScrollBar();
    // Lines added while the view shows the end keep it at the end, as a log does.
    const bool followEnd = !replaced && isVisible() && v->value() >= v->maximum();
    if (replaced) {
        anchor_ = cursor_ = -1;
        widestLine_ = 0;
        widestScanned_ = 0;
        v->setValue(0);
        horizontalScrollBar()->setValue(0);
    }
    if (SelectionLast() >= Count()) anchor_ = cursor_ = -1;
    // The widest line by its shown bytes; its width in pixels is taken when the view is laid out.
    const vexa::Recording& lines = *recording_;
    for (size_t i = widestScanned_; i < lines.LineCount(); ++i)
        widestLine_ = std::max(widestLine_, std::min(lines.Line(i).size(), kShownLineBytes));
    widestScanned_ = lines.LineCount();
    // A hidden work area does no view work; showing it lays the view out.
    if (!isVisible()) return;
    SyncView();
    if (followEnd) v->setValue(v->maximum());
}

int TMemo::RowHeight() const {
    return std::max(1, fontMetrics().lineSpacing());
}

int TMemo::LineAt(int y) const {
    return verticalScrollBar()->value() + std::max(0, y) / RowHeight();
}

void TMemo::UpdateScrollRange() {
    const int rows = std::max(1, viewport()->height() / RowHeight());
    QScrollBar* v = verticalScrollBar();
    v->setRange(0, std::max(0, Count() - rows));
    v->setPageStep(rows);
    v->setSingleStep(1);
    if (widestMeasured_ != widestLine_) {
        // Measured on a line of that many average characters: exact widths of tens of thousands of lines
        // would cost what the view saves.
        widestPixels_ = fontMetrics().averageCharWidth() * int(widestLine_) + 2 * kMargin;
        widestMeasured_ = widestLine_;
    }
    QScrollBar* h = horizontalScrollBar();
    h->setRange(0, std::max(0, widestPixels_ - viewport()->width()));
    h->setPageStep(viewport()->width());
    h->setSingleStep(std::max(1, fontMetrics().averageCharWidth() * 2));
}

void TMemo::SyncView() {
    UpdateScrollRange();
    viewport()->update();
}

void TMemo::showEvent(QShowEvent* event) {
    QAbstractScrollArea::showEvent(event);
    SyncView();
}

void TMemo::resizeEvent(QResizeEvent* event) {
    QAbstractScrollArea::resizeEvent(event);
    UpdateScrollRange();
}

QString TMemo::ShownLine(int i) const {
    const std::string_view line = Line(i);
    // A line of megabytes (a file that is not the logger's) would take the text layout seconds; the
    // view shows its start and the line itself stays whole for saving and the graph.
    if (line.size() > kShownLineBytes)
        return AnsiToQString(line.substr(0, kShownLineBytes)) + QStringLiteral(" ...");
    return AnsiToQString(line);
}

QString TMemo::toPlainText() const {
    QStringList text;
    text.reserve(Count());
    for (int i = 0; i < Count(); ++i)
        text << ShownLine(i);
    return text.join('\n');
}

int TMemo::FirstShownLine() const {
    return Count() == 0 ? -1 : verticalScrollBar()->value();
}

int TMemo::LastShownLine() const {
    if (Count() == 0) return -1;
    const int rows = (viewport()->height() + RowHeight() - 1) / RowHeight();
    return std::min(Count(), verticalScrollBar()->value() + std::max(1, rows)) - 1;
}

void TMemo::paintEvent(QPaintEvent* event) {
    QPainter p(viewport());
    const QFontMetrics fm = fontMetrics();
    const int h = RowHeight();
    const int x = kMargin - horizontalScrollBar()->value();
    const int first = verticalScrollBar()->value();
    const int selFirst = SelectionFirst(), selLast = SelectionLast();
    const QRect dirty = event->rect();
    for (int i = std::max(first, first + dirty.top() / h); i < Count(); ++i) {
        const int top = (i - first) * h;
        if (top > dirty.bottom()) break;
        const bool selected = i >= selFirst && i <= selLast;
        if (selected) p.fillRect(QRect(0, top, viewport()->width(), h), palette().highlight());
        p.setPen(palette().color(selected ? QPalette::HighlightedText : QPalette::Text));
        p.drawText(x, top + fm.ascent(), ShownLine(i));
    }
}

int TMemo::SelectionFirst() const {
    return anchor_ < 0 ? -1 : std::min(anchor_, cursor_);
}

int TMemo::SelectionLast() const {
    return anchor_ < 0 ? -1 : std::max(anchor_, cursor_);
}

void TMemo::SelectAll() {
    if (Count() == 0) return;
    anchor_ = 0;
    cursor_ = Count() - 1;
    viewport()->update();
}

QString TMemo::SelectedText() const {
    QStringList text;
    for (int i = SelectionFirst(); i >= 0 && i <= SelectionLast(); ++i)
        text << AnsiToQString(Line(i));
    return text.join('\n');
}

void TMemo::CopySelection() const {
    if (SelectionFirst() >= 0) QApplication::clipboard()->setText(SelectedText());
}

void TMemo::mousePressEvent(QMouseEvent* event) {
    const int line = LineAt(int(event->position().y()));
    if (line >= Count()) {
        anchor_ = cursor_ = -1;
    } else if (event->button() == Qt::LeftButton) {
        if (!(event->modifiers() & Qt::ShiftModifier) || anchor_ < 0) anchor_ = line;
        cursor_ = line;
    }
    viewport()->update();
    event->accept();
}

void TMemo::mouseMoveEvent(QMouseEvent* event) {
    if (!(event->buttons() & Qt::LeftButton) || anchor_ < 0) return;
    const int y = int(event->position().y());
    // Dragging past an edge scrolls on.
    if (y < 0) verticalScrollBar()->triggerAction(QAbstractSlider::SliderSingleStepSub);
    if (y > viewport()->height()) verticalScrollBar()->triggerAction(QAbstractSlider::SliderSingleStepAdd);
    cursor_ = std::clamp(LineAt(y), 0, Count() - 1);
    viewport()->update();
    event->accept();
}

void TMemo::mouseReleaseEvent(QMouseEvent* event) {
    event->accept();
}

void TMemo::keyPressEvent(QKeyEvent* event) {
    if (event->matches(QKeySequence::SelectAll)) {
        SelectAll();
    } else if (event->matches(QKeySequence::Copy)) {
        CopySelection();
    } else if (event->key() == Qt::Key_Home && (event->modifiers() & Qt::ControlModifier)) {
        verticalScrollBar()->setValue(0);
    } else if (event->key() == Qt::Key_End && (event->modifiers() & Qt::ControlModifier)) {
        verticalScrollBar()->setValue(verticalScrollBar()->maximum());
    } else {
        QAbstractScrollArea::keyPressEvent(event);
    }
}

void TMemo::contextMenuEvent(QContextMenuEvent* event) {
    QMenu menu(this);
    QAction* copy = menu.addAction(QStringLiteral("Copy"), this, [this] { CopySelection(); });
    copy->setEnabled(SelectionFirst() >= 0);
    menu.addAction(QStringLiteral("Select All"), this, [this] { SelectAll(); });
    menu.exec(event->globalPos());
}
