// What the analysis subcommands share: the data file read through the one file loader, the range that
// --from and --to pick, the threshold options, and how numbers are written.
#pragma once

#include "cli/Arguments.h"
#include "recording/Recording.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace vexa::cli {

// The recording in the data file at path (a regular file of at most 64 MB); fails with kExitUsage and the
// reason when it cannot be read or holds no data line.
Recording LoadRecording(const std::string& path);

// A time of --from or --to as milliseconds on the samples' clock: "yyyy/mm/dd hh:mm[:ss[.fff]]" ("-" may
// stand for "/", "T" for the blank), "hh:mm[:ss[.fff]]" on the first sample's day, or "+SECONDS" after
// the first sample. Nothing for any other text.
std::optional<std::int64_t> ParseTimeBound(std::string_view text, const Recording& recording);

struct SampleRange {
    std::size_t begin = 0, end = 0; // samples [begin, end)
};
// From the first sample at or after --from to the last at or before --to (each side open when not
// given); fails with kExitUsage for a time it cannot read and kExitOther when no sample lies between.
// The recording holds at least one sample.
SampleRange RangeOption(const Invocation& invocation, const Recording& recording);

// A number of g above 0 (--threshold, --fail-above); nothing when the option is not given. Fails with
// kExitUsage otherwise.
std::optional<double> GOption(const Invocation& invocation, std::string_view name);

// The minimum gap between events, --min-gap-ms (0 to a day; 1000 when not given).
std::int64_t MinGapOption(const Invocation& invocation);

// Numbers in JSON keep six decimals, so nothing a count per G of 100 can tell apart is rounded away.
inline constexpr int kJsonDecimals = 6;
// "%.3f".
std::string G3(double value);

} // namespace vexa::cli
