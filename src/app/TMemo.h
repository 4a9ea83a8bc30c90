// The work area: a text view whose lines are kept as the exact bytes they were decoded or loaded as.
#pragma once

#include <QPlainTextEdit>
#include <QTimer>
#include <string>
#include <vector>

// Lines live in Lines() as bytes (Shift-JIS, possibly with the irregular-record mark 0x81); the view
// only shows them. View updates are coalesced and skipped while the memo is hidden, and a large text
// enters the view in steps between events, so tens of thousands of lines never freeze the window.
class TMemo : public QPlainTextEdit {
    Q_OBJECT
public:
    explicit TMemo(QWidget* parent = nullptr);

    void Clear();
    void Add(std::string line);
    void SetLines(std::vector<std::string> lines);
    // Appends several lines at once (fewer view refreshes for bulk output).
    void AddLines(std::vector<std::string>& lines);
    const std::vector<std::string>& Lines() const { return lines_; }
    int Count() const { return int(lines_.size()); }
    const std::string& Line(int i) const { return lines_.at(size_t(i)); }
    // Brings the view fully up to date at once (for tests and for code that reads the widget's text).
    void SyncView();
    // Lines added to the view per step when it catches up with many lines.
    static constexpr size_t kLinesPerStep = 8000;
    // Bytes of text added to the view per step, so that a few very long lines do not freeze it either.
    static constexpr size_t kBytesPerStep = 512 * 1024;
    // The view shows at most this many bytes of a line; Lines() keeps the line whole.
    static constexpr size_t kShownLineBytes = 2000;

protected:
    void showEvent(QShowEvent* event) override;

private:
    void ScheduleRefresh();
    // Adds at most kLinesPerStep lines to the view; true when it shows everything.
    bool SyncStep();
    // End of the next step from line `from`: at most kLinesPerStep lines and about kBytesPerStep bytes.
    size_t StepEnd(size_t from) const;
    QString Joined(size_t from, size_t to) const;

    std::vector<std::string> lines_;
    size_t shownLines_ = 0;  // lines already in the view, when only appends happened since
    bool rebuild_ = false;   // the view must be rebuilt from scratch
    QTimer refresh_;
};
