// `vexa events FILE.csv`: the shock events, with the threshold and gap they were found with; with
// --fail-above the exit code says whether one of them peaks above a limit.
#include "analysis/RecordingFacts.h"
#include "analysis/ShockEvents.h"
#include "cli/Failure.h"
#include "cli/JsonWriter.h"
#include "cli/Main.h"
#include "cli/Subcommands.h"
#include "cli/analysis/AnalysisInput.h"

namespace vexa::cli {

int RunEvents(const Invocation& inv, Streams& streams) {
    if (inv.operands.empty()) throw UsageFailure("events needs the CSV file to read");
    const std::optional<double> given = GOption(inv, "threshold");
    const std::optional<double> failAbove = GOption(inv, "fail-above");
    const std::int64_t minGapMs = MinGapOption(inv);
    const std::string& path = inv.operands.front();
    const Recording recording = LoadRecording(path);
    const analysis::Samples samples = recording.Samples();
    const int countsPerG = analysis::CountsPerGOf(recording);
    const double threshold = given ? *given : analysis::DefaultThreshold(samples, countsPerG);
    const std::vector<analysis::ShockEvent> events =
        analysis::FindShockEvents(samples, countsPerG, threshold, minGapMs);
    const auto time = [&](std::size_t k) { return analysis::SampleTimeText(recording, k); };

    if (inv.Has("json")) {
        std::vector<std::string> items;
        items.reserve(events.size());
        for (const analysis::ShockEvent& e : events) {
            JsonObject o;
            o.String("start", time(e.start)).String("end", time(e.end)).String("peakAt", time(e.peakAt));
            o.Decimal("peak", e.peak, kJsonDecimals);
            o.Decimal("x", e.axisPeak[0], kJsonDecimals).Decimal("y", e.axisPeak[1], kJsonDecimals);
            o.Decimal("z", e.axisPeak[2], kJsonDecimals).Integer("samples", std::int64_t(e.samples));
            items.push_back(o.Text());
        }
        JsonObject top;
        top.Decimal("threshold", threshold, kJsonDecimals).Integer("minGapMs", minGapMs);
        top.Raw("events", JsonArray(items));
        std::fprintf(streams.out, "%s\n", top.Text().c_str());
    } else {
        // Counts go through to_string: the Windows C library's printf does not know every size flag.
        std::fprintf(streams.out, "%s: %s events at or above %s g%s, runs less than %s ms apart joined\n",
                     path.c_str(), std::to_string(events.size()).c_str(), G3(threshold).c_str(),
                     given ? "" : " (the median |a| plus 2 g, rounded to 0.1 g)",
                     std::to_string(minGapMs).c_str());
        if (!events.empty())
            std::fprintf(streams.out, "%4s  %-23s  %-23s  %-23s %8s %8s %8s %8s %7s\n", "#", "start", "end",
                         "peak at", "peak g", "x g", "y g", "z g", "samples");
        for (std::size_t k = 0; k < events.size(); ++k) {
            const analysis::ShockEvent& e = events[k];
            std::fprintf(streams.out, "%4s  %-23s  %-23s  %-23s %8.3f %8.3f %8.3f %8.3f %7s\n",
                         std::to_string(k + 1).c_str(), time(e.start).c_str(), time(e.end).c_str(),
                         time(e.peakAt).c_str(), e.peak, e.axisPeak[0], e.axisPeak[1], e.axisPeak[2],
                         std::to_string(e.samples).c_str());
        }
    }

    if (!failAbove) return kExitDone;
    std::size_t above = 0, first = 0;
    for (std::size_t k = events.size(); k-- > 0;)
        if (events[k].peak > *failAbove) ++above, first = k;
    if (above == 0) return kExitDone;
    Say(streams, std::to_string(above) + " of " + std::to_string(events.size()) + " events peak above " +
                     G3(*failAbove) + " g, the first (event " + std::to_string(first + 1) + ") at " +
                     time(events[first].peakAt) + " with " + G3(events[first].peak) + " g");
    return kExitOther;
}

} // namespace vexa::cli
