// Draws the graph into an image in layers: axes and grid, legend, traces with their time labels, and the
// selection box. The graph window paints through it, and tests paint offscreen images with it.
#pragma once

#include "graph/core/ColumnCompositor.h"
#include "graph/core/GraphData.h"
#include "graph/core/GraphWalk.h"
#include "graph/core/TimeScale.h"

#include <QColor>
#include <QFont>
#include <QImage>
#include <QPalette>
#include <QPoint>
#include <QString>
#include <array>
#include <string>
#include <string_view>
#include <unordered_map>
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
    // Pixels of a text drawn alone, or nothing when the font draws with partial coverage (then the text
    // goes through the painter).
    const vexa::PixelMask* TextMask(const QString& text);
    // A time label's pixels as glyph masks at their advances: one mask per character, so thousands of
    // different labels cost no text layout. Used only when the font draws labels exactly so.
    bool GlyphsUsable();
    const vexa::PixelMask* GlyphMask(char c) const;
    int GlyphAdvance(char c) const;

    // The pixels the painter sets for a short line from (0, 0) to (dx, dy), as runs per column; nothing when
    // the line is too long to keep or drawn with partial coverage. Lines are the same wherever they lie
    // inside the image, so strokes a few columns wide go to the compositor as these runs.
    struct LineShape {
        struct Run {
            int dx, top, bottom;
        };
        std::vector<Run> runs;
        bool exact = true;
    };
    const LineShape* ShortLine(int dx, int dy);
    const LineShape* DrawnLine(int dx, int dy);
    // Lines one column wide are so common that their shape is computed, once it has been checked to be
    // the painter's own for a range of slopes.
    bool OneColumnRuleHolds();
    static void OneColumnLine(int dx, int dy, LineShape& shape);
    int oneColumnState_ = 0; // 0 not checked, 1 holds, -1 does not
    LineShape oneColumn_;
    static constexpr int kShortLineColumns = 4;

    QFont font_;
    GraphColours colours_;
    std::unordered_map<std::int64_t, LineShape> lineShapes_;
    std::unordered_map<std::string, vexa::PixelMask> textMasks_;
    std::unordered_map<std::string, bool> textExact_;
    int glyphState_ = 0; // 0 not checked, 1 usable, -1 not usable
    std::array<const vexa::PixelMask*, 256> glyphMasks_{};
    std::array<int, 256> glyphAdvances_{};
    const vexa::PixelMask* arrowMask_ = nullptr;
    int arrowAdvance_ = 0;
    vexa::ColumnCompositor compositor_;
};

// The window's font: the Japanese proportional Gothic, 12 pixels high, drawn without smoothing.
QFont GraphFont();
