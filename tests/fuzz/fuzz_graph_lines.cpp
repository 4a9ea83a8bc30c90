// Fuzz target: a work area's bytes read as a recording, handed to the graph (start check, counts per G,
// comment lines), its samples put into the sample arrays, and walked at a few time scales.
#include "graph/core/GraphData.h"
#include "graph/core/GraphHandover.h"
#include "graph/core/GraphWalk.h"
#include "graph/core/TimeScale.h"
#include "recording/RecordingFile.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

namespace {

void Check(bool condition, const char* what) {
    if (condition) return;
    std::fprintf(stderr, "check failed: %s\n", what);
    std::abort();
}

struct Walker : vexa::WalkVisitor {
    int centreX = 0;
    int lastSample = 0;
    void Label(int i, int x) override {
        Check(i >= vexa::kFirstSample && i <= lastSample, "label of a sample");
        Check((x - centreX) % 80 == 0, "label at a multiple of 80");
    }
    void Stroke(const vexa::Segment*, int count) override { Check(count >= 0 && count <= 5, "segments"); }
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::vector<std::string> lines(1);
    for (std::size_t k = 0; k < size; ++k) {
        if (data[k] == '\n')
            lines.emplace_back();
        else
            lines.back().push_back(char(data[k]));
    }
    const auto handover = vexa::PrepareGraphHandover(
        std::make_shared<const vexa::Recording>(vexa::ReadRecordingLines(lines)), 10);
    if (!handover) return 0;
    Check(handover->countsPerG > 0, "counts per G above 0");
    Check(handover->lines.size() <= std::size_t(vexa::kGraphLineLimit), "line cap");
    for (const std::uint32_t line : handover->lines)
        Check(line < handover->recording->LineCount() && !handover->recording->Line(line).starts_with("//"),
              "a line of the recording, no comment");

    static vexa::GraphData graph; // 72,500 entries each: made once
    const auto parsed = vexa::FillGraphData(*handover, graph);
    Check(parsed.endIndex >= vexa::kFirstSample, "end index");
    Check(parsed.endIndex <= std::max(vexa::kFirstSample, int(handover->lines.size()) - 3),
          "end within lines");
    // Every entry read is its line's sample.
    for (int i = vexa::kFirstSample; i < parsed.endIndex; ++i) {
        const vexa::Sample* s = handover->recording->SampleOfLine(handover->lines[std::size_t(i)]);
        Check(s && graph.x[std::size_t(i)] == s->x && graph.extra[std::size_t(i)] == s->extra,
              "sample values");
    }
    if (!parsed.HasSamples()) return 0;
    for (int i = vexa::kFirstSample; i < parsed.endIndex; ++i)
        Check(graph.labels[std::size_t(i)].length <= 18, "label length");

    for (const char* item : {"0.01秒", "分", "日"}) {
        vexa::WalkParams p;
        p.centre = parsed.MiddleSample();
        p.lastSample = parsed.LastSample();
        p.centreX = 388;
        p.centreY = 275;
        p.width = 800;
        p.scale = vexa::ChooseTimeScale(item, "", {}).scale;
        p.selectionWidth = 100;
        Walker w;
        w.centreX = p.centreX;
        w.lastSample = p.lastSample;
        const vexa::WalkResult r = vexa::WalkGraph(graph, p, w);
        Check(r.start >= vexa::kFirstSample && r.start <= p.centre, "backward stop");
        Check(r.end >= p.centre && r.end <= p.lastSample, "forward stop");
        Check(r.selectionEnd == 0 || (r.selectionEnd >= p.centre && r.selectionEnd <= p.lastSample),
              "selection");
    }
    return 0;
}
