// Draws the graph into an image in layers: axes and grid, legend, traces with their time labels, and the
// selection box. The graph window paints through it, and tests paint offscreen images with it.
#pragma once

#include "graph/core/GraphData.h"
#include "graph/core/GraphWalk.h"
#include "graph/core/TimeScale.h"

#include <QColor>
#include <QFont>
#include <QHash>
#include <QImage>
#include <QPalette>
#include <QPoint>
#include <QString>
#include <array>
#include <vector>

// The system colours the graph uses besides its fixed ones.
struct GraphColours {
    QColor background; // the window colour
    QColor shadow3d;   // 3-D dark shadow: the font colour
    QColor highlight;  // the extra field's trace
    QColor grayText;   // the grid lines and labels of every other step
    static GraphColours FromPalette(const QPalette& palette);
};

// Everything one paint depends on besides the samples; a value, so a paint is a function of its inputs.
struct GraphPaintParams {
    int originX = 28;
    int originY = 275;
    int width = 800;
    int height = 550;
    bool hasSamples = false;
    int centre = vexa::kFirstSample;
    int lastSample = vexa::kFirstSample;
    vexa::TimeScale scale;
    int selectionWidth = 0;
    vexa::TraceSwitches traces;
    int countsPerG = 10;
    // Centre of the previous paint, kept when the window is too narrow for a centre line.
    int previousCentreX = 0;
    int previousCentreY = 0;
};

struct GraphPaintResult {
    int centreX = 0;
    int centreY = 0;
    bool walked = false; // false when there were no samples to draw
    vexa::WalkResult walk;
    std::array<QPoint, 3> checkBoxPositions; // CheckBox1..3 beside the legend rows X, Y, Z
    QPoint label4Position;
};

// How strokes reach the image: Reference draws every stroke with QPainter, sample by sample; Fast writes
// strokes that stay in one pixel column straight into the image and caches the time labels' pixels,
// giving the same picture.
enum class StrokeMode { Fast, Reference };

class GraphPainter {
  public:
    GraphPainter(const QFont& font, const GraphColours& colours);

    // Paints the whole window picture into image (RGB32, the window's size).
    GraphPaintResult Paint(QImage& image, const vexa::GraphData& data, const GraphPaintParams& params,
                           StrokeMode mode = StrokeMode::Fast);

    const QFont& Font() const { return font_; }
    // The graph's text written with its top-left corner at (x, y), as the window's text output places it.
    static void DrawTextAt(class QPainter& painter, int x, int y, const QString& text);

  private:
    friend class TraceLayer;
    struct LabelMask {
        std::vector<QPoint> pixels; // relative to the text's top-left corner
        bool exact = true;          // false when the font draws with partial coverage
    };
    const LabelMask& MaskFor(const QString& text);

    QFont font_;
    GraphColours colours_;
    QHash<QString, LabelMask> labelMasks_;
};

// The window's font: the Japanese proportional Gothic, 12 pixels high, drawn without smoothing.
QFont GraphFont();
