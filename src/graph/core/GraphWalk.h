// The paint's walks from the centre sample: which samples get time labels, which strokes join them,
// where the selection ends, and the caption that reports how far each walk went.
#pragma once

#include "graph/core/GraphData.h"
#include "graph/core/TimeScale.h"

#include <string>

namespace vexa {

// Two samples further apart than this (30 minutes) are not joined.
inline constexpr std::int64_t kGapMs = 1800001;

// Trace colours, named by what the paint uses for them; Grey marks a join across missing samples.
enum class Ink { Red, Highlight, Fuchsia, Blue, Green, Grey };

struct Segment {
    Ink ink;
    int x1, y1, x2, y2;
};

struct TraceSwitches {
    bool x = true, y = true, z = true;
};

struct WalkParams {
    int centre = kFirstSample;     // the scroll bar's position
    int lastSample = kFirstSample; // the last parsed sample
    int centreX = 0;
    int centreY = 0;
    int width = 0; // the window's width
    TimeScale scale;
    int selectionWidth = 0;
    TraceSwitches traces;
};

// What the walks report to the painter, in drawing order.
class WalkVisitor {
  public:
    virtual ~WalkVisitor() = default;
    // The time label of sample i at (x - 5, centreY + 150).
    virtual void Label(int i, int x) = 0;
    // The segments joining two samples, temperature first, then the extra field, X, Y and Z.
    virtual void Stroke(const Segment* segments, int count) = 0;
};

struct WalkResult {
    int start = kFirstSample; // where the backward walk stopped
    int end = kFirstSample;   // where the forward walk stopped
    int averageStep = 0;
    // The selection found by the forward walk (selectionEnd 0 = none).
    int selectionStart = 0;
    int selectionEnd = 0;
};

// Average pixel step over the ten steps after the centre, or over those the data has near its end.
int AverageStep(const GraphData& data, const WalkParams& p);

// The segments of the stroke from sample i at x1 to sample j at x2 (none across a gap); returns the count.
int StrokeSegments(const GraphData& data, int i, int j, int x1, int x2, int averageStep, const WalkParams& p,
                   Segment out[5]);

// Forward walk (labels, selection end, strokes to the right), then the backward walk.
WalkResult WalkGraph(const GraphData& data, const WalkParams& p, WalkVisitor& visitor);

// "start= %d" followed directly by "end=%d".
std::string GraphCaption(int start, int end);

} // namespace vexa
