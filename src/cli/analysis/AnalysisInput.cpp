// Reading the data file and the options of the analysis subcommands.
#include "cli/analysis/AnalysisInput.h"

#include "cli/Failure.h"
#include "platform/RegularFile.h"
#include "recording/RecordingFile.h"

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <stdexcept>

namespace vexa::cli {

namespace {

// "+SECONDS" beyond a century is a typing error, and would overflow the clock's milliseconds.
constexpr double kLongestOffsetSeconds = 100.0 * 366 * 86400;

// Digits at text[pos..]: at least min, at most max of them; advances pos.
std::optional<int> Digits(std::string_view text, std::size_t& pos, std::size_t min, std::size_t max) {
    std::size_t n = 0;
    int value = 0;
    while (pos + n < text.size() && n < max && text[pos + n] >= '0' && text[pos + n] <= '9')
        value = value * 10 + (text[pos + n++] - '0');
    if (n < min) return std::nullopt;
    pos += n;
    return value;
}

bool Take(std::string_view text, std::size_t& pos, std::string_view one_of) {
    if (pos >= text.size() || one_of.find(text[pos]) == std::string_view::npos) return false;
    ++pos;
    return true;
}

// "hh:mm[:ss[.fff]]" from pos to the end into the stamp's clock fields.
bool ReadClock(std::string_view text, std::size_t pos, Stamp& stamp) {
    const auto hour = Digits(text, pos, 1, 2);
    if (!hour || !Take(text, pos, ":")) return false;
    const auto minute = Digits(text, pos, 2, 2);
    if (!minute) return false;
    stamp.hour = *hour;
    stamp.minute = *minute;
    stamp.second = stamp.hundredths = stamp.thousandths = 0;
    if (Take(text, pos, ":")) {
        const auto second = Digits(text, pos, 2, 2);
        if (!second) return false;
        stamp.second = *second;
        if (Take(text, pos, ".")) {
            const std::size_t from = pos;
            const auto fraction = Digits(text, pos, 1, 3);
            if (!fraction) return false;
            const int ms = *fraction * (pos - from == 1 ? 100 : pos - from == 2 ? 10 : 1);
            stamp.hundredths = ms / 10;
            stamp.thousandths = ms % 10;
        }
    }
    return pos == text.size() && stamp.hour < 24 && stamp.minute < 60 && stamp.second < 60;
}

} // namespace

Recording LoadRecording(const std::string& path) {
    Recording recording;
    try {
        recording = ReadRecording(ReadRegularFile(path));
    } catch (const std::runtime_error& e) {
        throw Failure(kExitUsage, std::string(e.what()));
    }
    // Without this a wrong file (a settings report, say) would pass `events --fail-above` as "no event".
    if (recording.Samples().empty())
        throw Failure(kExitUsage, "\"" + path +
                                      "\" holds no data line: it is no download, capture or data file "
                                      "the tool saved");
    return recording;
}

std::optional<std::int64_t> ParseTimeBound(std::string_view text, const Recording& recording) {
    const std::vector<Sample>& samples = recording.Samples();
    if (text.starts_with('+')) {
        const std::string number(text.substr(1));
        char* end = nullptr;
        errno = 0;
        const double seconds = std::strtod(number.c_str(), &end);
        if (number.empty() || *end != '\0' || errno != 0 || !std::isfinite(seconds) || seconds < 0 ||
            seconds > kLongestOffsetSeconds)
            return std::nullopt;
        if (samples.empty()) return std::int64_t(0);
        return samples.front().timeMs + std::int64_t(std::llround(seconds * 1000));
    }
    Stamp stamp;
    std::size_t pos = 0;
    if (text.find_first_of("/-") != std::string_view::npos) { // a date first
        const auto year = Digits(text, pos, 4, 4);
        if (!year || !Take(text, pos, "/-")) return std::nullopt;
        const auto month = Digits(text, pos, 1, 2);
        if (!month || !Take(text, pos, "/-")) return std::nullopt;
        const auto day = Digits(text, pos, 1, 2);
        if (!day || !Take(text, pos, " T")) return std::nullopt;
        if (*month < 1 || *month > 12 || *day < 1 || *day > 31) return std::nullopt;
        stamp.year = *year;
        stamp.month = *month;
        stamp.day = *day;
    } else if (!samples.empty()) { // the first sample's day
        stamp.year = samples.front().stamp.year;
        stamp.month = samples.front().stamp.month;
        stamp.day = samples.front().stamp.day;
    }
    if (!ReadClock(text, pos, stamp)) return std::nullopt;
    return stamp.Milliseconds();
}

SampleRange RangeOption(const Invocation& invocation, const Recording& recording) {
    const std::vector<Sample>& samples = recording.Samples();
    std::optional<std::int64_t> from, to;
    for (const auto& [name, bound] : {std::pair{"from", &from}, std::pair{"to", &to}}) {
        const std::optional<std::string> text = invocation.Value(name);
        if (!text) continue;
        *bound = ParseTimeBound(*text, recording);
        if (!*bound)
            throw UsageFailure("--" + std::string(name) +
                               " wants a time such as \"2024/03/01 12:00:00\", \"12:00\" or "
                               "\"+90\" (seconds after the first sample), not \"" +
                               *text + "\"");
    }
    SampleRange range{0, samples.size()};
    if (from)
        while (range.begin < samples.size() && samples[range.begin].timeMs < *from)
            ++range.begin;
    if (to)
        while (range.end > range.begin && samples[range.end - 1].timeMs > *to)
            --range.end;
    if (range.begin >= range.end) throw Failure(kExitOther, "no sample lies between --from and --to");
    return range;
}

std::optional<double> GOption(const Invocation& invocation, std::string_view name) {
    const std::optional<std::string> text = invocation.Value(name);
    if (!text) return std::nullopt;
    char* end = nullptr;
    errno = 0;
    const double value = std::strtod(text->c_str(), &end);
    if (text->empty() || *end != '\0' || errno != 0 || !std::isfinite(value) || !(value > 0))
        throw UsageFailure("--" + std::string(name) + " wants a number of g above 0, not \"" + *text + "\"");
    return value;
}

std::int64_t MinGapOption(const Invocation& invocation) {
    return IntegerOption(invocation, "min-gap-ms", 0, 86'400'000, 1000);
}

std::string G3(double value) {
    char text[32];
    std::snprintf(text, sizeof text, "%.3f", value);
    return text;
}

} // namespace vexa::cli
