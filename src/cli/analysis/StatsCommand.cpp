// `vexa stats FILE.csv`: statistics in g of the whole recording or of the range --from/--to picks.
#include "analysis/RecordingFacts.h"
#include "analysis/Statistics.h"
#include "cli/Failure.h"
#include "cli/JsonWriter.h"
#include "cli/Subcommands.h"
#include "cli/analysis/AnalysisInput.h"

namespace vexa::cli {

namespace {

constexpr const char* kAxisNames[3] = {"x", "y", "z"};

std::string StatsJson(const analysis::Statistics& s, const Recording& recording) {
    JsonObject axes;
    for (int a = 0; a < 3; ++a) {
        const analysis::AxisStatistics& v = s.axes[std::size_t(a)];
        JsonObject axis;
        axis.Decimal("max", v.max, kJsonDecimals).Decimal("min", v.min, kJsonDecimals);
        axis.Decimal("mean", v.mean, kJsonDecimals).Decimal("rms", v.rms, kJsonDecimals);
        axis.Decimal("peakToPeak", v.peakToPeak, kJsonDecimals);
        axes.Raw(kAxisNames[a], axis.Text());
    }
    JsonObject vector;
    vector.Decimal("max", s.vectorMax, kJsonDecimals)
        .String("at", analysis::SampleTimeText(recording, s.vectorMaxAt));
    JsonObject temperature;
    if (s.temperatureSamples > 0) {
        temperature.Decimal("max", s.temperatureMax, kJsonDecimals)
            .Decimal("min", s.temperatureMin, kJsonDecimals);
        temperature.Decimal("mean", s.temperatureMean, kJsonDecimals);
    } else {
        temperature.Null("max").Null("min").Null("mean");
    }
    JsonObject top;
    top.Integer("samples", std::int64_t(s.samples)).Integer("countsPerG", s.countsPerG);
    top.String("start", analysis::SampleTimeText(recording, s.first));
    top.String("end", analysis::SampleTimeText(recording, s.last));
    top.Decimal("seconds", s.seconds, kJsonDecimals);
    top.Raw("axes", axes.Text()).Raw("vector", vector.Text()).Raw("temperature", temperature.Text());
    return top.Text();
}

} // namespace

int RunStats(const Invocation& inv, Streams& streams) {
    if (inv.operands.empty()) throw UsageFailure("stats needs the CSV file to read");
    const std::string& path = inv.operands.front();
    const Recording recording = LoadRecording(path);
    const SampleRange range = RangeOption(inv, recording);
    const int countsPerG = analysis::CountsPerGOf(recording);
    const analysis::Statistics s =
        analysis::ComputeStatistics(recording.Samples(), countsPerG, range.begin, range.end);

    if (inv.Has("json")) {
        std::fprintf(streams.out, "%s\n", StatsJson(s, recording).c_str());
        return kExitDone;
    }
    std::fprintf(streams.out, "%s: %s samples from %s to %s (%.3f s), %d counts per G%s\n", path.c_str(),
                 std::to_string(s.samples).c_str(), analysis::SampleTimeText(recording, s.first).c_str(),
                 analysis::SampleTimeText(recording, s.last).c_str(), s.seconds, countsPerG,
                 recording.header.countsPerG ? "" : " (the header names none)");
    std::fprintf(streams.out, "%-12s %9s %9s %9s %9s %13s\n", "g", "max", "min", "mean", "rms",
                 "peak-to-peak");
    for (int a = 0; a < 3; ++a) {
        const analysis::AxisStatistics& v = s.axes[std::size_t(a)];
        std::fprintf(streams.out, "%-12s %9.3f %9.3f %9.3f %9.3f %13.3f\n",
                     a == 0   ? "X"
                     : a == 1 ? "Y"
                              : "Z",
                     v.max, v.min, v.mean, v.rms, v.peakToPeak);
    }
    std::fprintf(streams.out, "%-12s %9.3f at %s\n", "vector |a|", s.vectorMax,
                 analysis::SampleTimeText(recording, s.vectorMaxAt).c_str());
    if (s.temperatureSamples > 0)
        std::fprintf(streams.out, "%-12s %9.1f %9.1f %9.1f  (°C, %s samples with a reading)\n", "temperature",
                     s.temperatureMax, s.temperatureMin, s.temperatureMean,
                     std::to_string(s.temperatureSamples).c_str());
    else
        std::fprintf(streams.out, "%-12s no readings\n", "temperature");
    return kExitDone;
}

} // namespace vexa::cli
