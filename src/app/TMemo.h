// The work area: a view of a recording's lines, which stay the exact bytes they were decoded or loaded as.
#pragma once

#include "recording/Recording.h"

#include <QAbstractScrollArea>
#include <QString>
#include <memory>
#include <string>
#include <vector>

// The lines live in a vexa::Recording (Shift-JIS bytes, the irregular-record mark 0x81 included; data
// lines with their samples); the view decodes and paints only the lines it shows, so tens of thousands of
// lines cost nothing to show. A press selects lines (drag or Shift extends, Ctrl+A takes all) and Ctrl+C
// or the context menu copies them as text.
class TMemo : public QAbstractScrollArea {
    Q_OBJECT
  public:
    explicit TMemo(QWidget* parent = nullptr);

    // ---- content ----
    void Clear();
    // One line that is no data line (a reply, a header line).
    void Add(std::string line);
    // These lines, read as a data file's: each data line becomes a sample.
    void SetLines(std::vector<std::string> lines);
    void SetRecording(vexa::Recording recording);
    // A producer's lines and samples after the present ones (a download's records, a block of a capture).
    void AppendRecording(vexa::Recording&& tail);

    const vexa::Recording& Recording() const { return *recording_; }
    // The recording as it stands now; it stays so while the work area changes (consumers such as the
    // graph keep it without copying the lines).
    std::shared_ptr<const vexa::Recording> Snapshot() const { return recording_; }
    // A copy of every line (a firmware image, a check); the view reads Line(i).
    std::vector<std::string> Lines() const { return recording_->Lines(); }
    int Count() const { return int(recording_->LineCount()); }
    std::string_view Line(int i) const { return recording_->Line(size_t(i)); }

    // ---- view ----
    // The view shows at most this many bytes of a line; the line itself stays whole.
    static constexpr size_t kShownLineBytes = 2000;
    // The text of line i as the view shows it.
    QString ShownLine(int i) const;
    // Every line as the view shows it, one per text line.
    QString toPlainText() const;
    // Lays the view out for the present lines at once (scroll range, picture).
    void SyncView();
    // First and last line shown (the last may be partly visible); -1 when there is nothing to show.
    int FirstShownLine() const;
    int LastShownLine() const;
    // The selected lines, first..last inclusive; nothing selected: -1, -1.
    int SelectionFirst() const;
    int SelectionLast() const;
    void SelectAll();
    // The selected lines as text, one per text line.
    QString SelectedText() const;
    void CopySelection() const;

  protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

  private:
    vexa::Recording& Mutable();
    // The content changed: the view follows once it is shown (a hidden work area does no view work).
    void ContentChanged(bool replaced);
    void UpdateScrollRange();
    int RowHeight() const;
    int LineAt(int y) const;

    std::shared_ptr<vexa::Recording> recording_;
    // The longest line's shown bytes, for the horizontal range.
    size_t widestLine_ = 0;
    size_t widestScanned_ = 0; // lines looked at for it
    size_t widestMeasured_ = 0;
    int widestPixels_ = 0;
    int anchor_ = -1, cursor_ = -1; // selection: the pressed line and the line it extends to
};
