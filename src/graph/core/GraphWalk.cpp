// The paint's walks from the centre sample: which samples get time labels, which strokes join them,
// where the selection ends, and the caption that reports how far each walk went.
#include "graph/core/GraphWalk.h"

#include <algorithm>
#include <climits>
#include <cstdlib>

namespace vexa {

namespace {

// Pixel positions far outside any window are held inside the int range; such strokes are off-screen.
constexpr std::int64_t kFar = INT_MAX / 4;
int Pixel(std::int64_t x) {
    return int(std::clamp<std::int64_t>(x, -kFar, kFar));
}
// A label that far out is on no screen; it is not drawn at all (its position would not fit).
bool Near(std::int64_t x) {
    return x > -kFar && x < kFar;
}

std::int64_t X(const GraphData& d, const WalkParams& p, int i) {
    return PixelX(d.timeMs[std::size_t(i)], d.timeMs[std::size_t(p.centre)], p.scale, p.centreX);
}

} // namespace

int AverageStep(const GraphData& d, const WalkParams& p) {
    const int steps = std::min(10, p.lastSample - p.centre);
    if (steps <= 0) return 0;
    std::int64_t sum = 0;
    for (int i = p.centre; i < p.centre + steps; ++i)
        sum += X(d, p, i + 1) - X(d, p, i);
    return Pixel(sum / steps);
}

int StrokeSegments(const GraphData& d, int i, int j, int x1, int x2, int averageStep, const WalkParams& p,
                   Segment out[5]) {
    const std::size_t a = std::size_t(i), b = std::size_t(j);
    if (std::llabs(d.timeMs[b] - d.timeMs[a]) >= kGapMs) return 0;
    int n = 0;
    const int cy = p.centreY;
    out[n++] = {Ink::Red, x1, PixelY(d.temperature[a], cy), x2, PixelY(d.temperature[b], cy)};
    if (d.extra[a] != 0) out[n++] = {Ink::Highlight, x1, PixelY(d.extra[a], cy), x2, PixelY(d.extra[b], cy)};
    // A step more than twice the usual one marks missing samples.
    const bool grey = std::abs(std::int64_t(x2) - x1) > 2 * std::int64_t(averageStep);
    if (p.traces.x)
        out[n++] = {grey ? Ink::Grey : Ink::Fuchsia, x1, PixelY(d.x[a], cy), x2, PixelY(d.x[b], cy)};
    if (p.traces.y) out[n++] = {grey ? Ink::Grey : Ink::Blue, x1, PixelY(d.y[a], cy), x2, PixelY(d.y[b], cy)};
    if (p.traces.z)
        out[n++] = {grey ? Ink::Grey : Ink::Green, x1, PixelY(d.z[a], cy), x2, PixelY(d.z[b], cy)};
    return n;
}

WalkResult WalkGraph(const GraphData& d, const WalkParams& p, WalkVisitor& visitor) {
    WalkResult r;
    r.averageStep = AverageStep(d, p);
    Segment segments[5];

    // Each sample's x is computed once per walk: a stroke's far end is the next stroke's near end.
    int i = p.centre;
    std::int64_t x1 = X(d, p, i);
    for (; i <= p.lastSample; ++i) {
        if (x1 > p.width) break;
        if ((x1 - p.centreX) % 80 == 0 && Near(x1)) visitor.Label(i, Pixel(x1));
        if (i == p.lastSample) break;
        const std::int64_t x2 = X(d, p, i + 1);
        if (p.selectionWidth > 0 && r.selectionEnd == 0 && p.centreX + p.selectionWidth < x2) {
            r.selectionStart = p.centre;
            r.selectionEnd = i;
        }
        visitor.Stroke(segments,
                       StrokeSegments(d, i, i + 1, Pixel(x1), Pixel(x2), r.averageStep, p, segments));
        x1 = x2;
    }
    r.end = std::min(i, p.lastSample);
    // A selection reaching past the data ends at the last sample instead of finding nothing.
    if (p.selectionWidth > 0 && r.selectionEnd == 0 && i == p.lastSample && p.centre < p.lastSample) {
        r.selectionStart = p.centre;
        r.selectionEnd = p.lastSample;
    }

    i = p.centre;
    x1 = X(d, p, i);
    for (; i > kFirstSample; --i) {
        const std::int64_t x2 = X(d, p, i - 1);
        if (x1 <= 28 && x2 <= 28) break;
        const std::int64_t offset = x1 - p.centreX;
        if (offset % 80 == 0 && offset != 0 && Near(x1)) visitor.Label(i, Pixel(x1));
        visitor.Stroke(segments,
                       StrokeSegments(d, i, i - 1, Pixel(x1), Pixel(x2), r.averageStep, p, segments));
        x1 = x2;
    }
    r.start = i;
    return r;
}

std::string GraphCaption(int start, int end) {
    return "start= " + std::to_string(start) + "end=" + std::to_string(end);
}

} // namespace vexa
