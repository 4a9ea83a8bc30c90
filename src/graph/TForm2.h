// The graph window: draws a loaded data set as a strip chart.
#pragma once

#include "analysis/Statistics.h"
#include "graph/GraphPainter.h"
#include "graph/core/GraphData.h"
#include "graph/core/GraphHandover.h"
#include "graph/core/SelectionStatistics.h"
#include "graph/core/ShownSamples.h"
#include "graph/core/TimeScale.h"
#include "ui_TForm2.h"

#include <QImage>
#include <QWidget>
#include <optional>
#include <string>
#include <vector>

class Interaction;
class QAction;
class QMenu;
class TForm4;
class TForm7;

// What the graph reads of the main window: the hand-over of the last "グラフ" (copied when the window is
// shown), the counts per G and the data set's name (read at every paint).
struct GraphSource {
    const vexa::GraphHandover* handover = nullptr;
    const int* countsPerG = nullptr;
    const std::string* dataFileName = nullptr;
};

class TForm2 : public QWidget, public Ui_TForm2 {
    Q_OBJECT
  public:
    explicit TForm2(QWidget* parent = nullptr);

    void SetSource(const GraphSource& source) { source_ = source; }
    // Where parse errors and refused divisors are shown, and the print dialog; without one errors are only
    // kept in LastError and nothing is printed.
    void SetInteraction(Interaction* interaction) { interaction_ = interaction; }
    // The statistics window that a press right of the centre line shows.
    void SetStatisticsWindow(TForm4* form4) { Form4 = form4; }
    TForm4* Form4 = nullptr;
    // Screen height used to place the statistics window; 0 = the window's screen.
    int ScreenHeight = 0;

    // ---- handlers ----
    void FormCreate();
    void FormShow();
    void Button1Click();
    void Button4Click();
    void ComboBox1Change();
    void ComboBox2Change();
    void ScrollBar1Change();
    void CheckBoxClick();
    void FormMouseDown(int pressX);
    void Edit1DblClick();
    void Button2Click();

    // ---- the right-click menu ----
    QMenu* PopupMenu1;
    QAction* MenuItem1; // "イベント一覧": the event list of the data shown
    QAction* MenuItem2; // "レポート (PDF)...": the report of the data shown
    void MenuItem1Click();
    void MenuItem2Click();
    // The event list, a window of its own that lives and closes with this one.
    TForm7* Form7;

    // The data shown (the lines the graph draws) as a recording, read from the lines once per parse.
    const vexa::ShownSamples& Shown();
    // Centres the graph on the recording's sample k (a choice in the event list).
    void CentreOnSample(std::size_t k);

    // The picture the paint draws below the controls, as of the current state (the paint's own steps).
    QImage RenderGraph(StrokeMode mode = StrokeMode::Fast);
    // The parameters of the next paint, taken from the window's state and controls.
    GraphPaintParams PaintParams() const;

    // ---- state ----
    int GraphOriginX = 28;
    int GraphOriginY = 275;
    int CenterX = 0;
    int CenterY = 0;
    vexa::TimeScale Scale;
    int SelectionWidth = 0;
    int SelectionStart = 0;
    int SelectionEnd = 0;
    QString SelectionStartText;
    QString SelectionEndText;
    int SelectedAxis = 0;
    vexa::SelectionStatistics Stats;
    // RMS per axis and vector peak of the selection in g (TForm4's lines below the six); kept, like the
    // maximum and minimum, when a paint finds no sample in the selection. samples == 0: none yet.
    vexa::analysis::Statistics SelectionFigures;
    QString SelectionPeakText; // the time of day of the vector peak, "hh:mm:ss.fff"
    int CountsPerG() const;
    vexa::GraphData Data;
    vexa::GraphParseResult Parsed;
    // The window's copy of the hand-over (Memo1 shows its lines only when it can be seen).
    vexa::GraphHandover Handed;
    std::string LastError;
    // How the traces reach the screen; the result is the same picture either way.
    StrokeMode Mode = StrokeMode::Fast;

  protected:
    void showEvent(QShowEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void changeEvent(QEvent* event) override;
    void TranslateMenu();
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void ShowError(const std::string& text);
    void ApplyPaintResult(const GraphPaintResult& r);
    void FillMemoView();
    void UpdateSelectionFigures();
    // The time scale's source text of the list's choice (its items are shown translated).
    std::string TimeScaleItemText() const;

    GraphSource source_;
    Interaction* interaction_ = nullptr;
    GraphPainter painter_;
    QImage picture_;
    bool memoViewStale_ = true;
    std::optional<vexa::ShownSamples> shown_;
    // Label4's text at the press that set SelectionStartText, for a language switch.
    QString selectionStartLabel_;
    // The time label of the selection's end in SelectionEndText, likewise.
    QString selectionEndLabel_;
};
