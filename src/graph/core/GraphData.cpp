// The graph window's per-sample arrays, filled from the samples of the handed-over recording.
#include "graph/core/GraphData.h"

#include <algorithm>

namespace vexa {

static_assert(kGraphLineLimit <= kGraphEntries, "every handed-over line has its entry");

namespace {

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}
bool IsBlank(char c) {
    return static_cast<unsigned char>(c) <= 0x20;
}

// Reads blanks, a sign and digits from pos (at most 9 digits, so the value never overflows).
std::optional<int> ReadInteger(std::string_view text, std::size_t& pos) {
    while (pos < text.size() && IsBlank(text[pos]))
        ++pos;
    bool negative = false;
    if (pos < text.size() && (text[pos] == '+' || text[pos] == '-')) negative = text[pos++] == '-';
    const std::size_t first = pos;
    int value = 0;
    while (pos < text.size() && IsDigit(text[pos])) {
        if (pos - first < 9) value = value * 10 + (text[pos] - '0');
        ++pos;
    }
    if (pos == first) return std::nullopt;
    return negative ? -value : value;
}

constexpr std::int64_t kDayMs = 86400000;

} // namespace

std::optional<int> StrictInteger(std::string_view text) {
    std::size_t pos = 0;
    const std::optional<int> value = ReadInteger(text, pos);
    if (!value || pos != text.size()) return std::nullopt;
    return value;
}

GraphData::GraphData()
    : timeMs(kGraphEntries), x(kGraphEntries), y(kGraphEntries), z(kGraphEntries), temperature(kGraphEntries),
      extra(kGraphEntries), labels(kGraphEntries) {}

int GraphParseResult::MiddleSample() const {
    if (!HasSamples()) return kFirstSample;
    return std::clamp(endIndex / 2, kFirstSample, LastSample());
}

GraphParseResult FillGraphData(const GraphHandover& handover, GraphData& data) {
    std::fill(data.timeMs.begin(), data.timeMs.end(), 0);
    std::fill(data.x.begin(), data.x.end(), 0);
    std::fill(data.y.begin(), data.y.end(), 0);
    std::fill(data.z.begin(), data.z.end(), 0);

    GraphParseResult r;
    const int lineCount = handover.recording ? std::min(int(handover.LineCount()), kGraphEntries) : 0;
    std::int64_t dayOffset = 0;
    int day = 0;
    for (int i = kFirstSample; i < lineCount - 3; ++i) {
        const Sample* sample = handover.recording->SampleOfLine(handover.lines[std::size_t(i)]);
        if (!sample) {
            r.error =
                "line " + std::to_string(i + 1) + ": not a data line (a time stamp or value is not a number)";
            break;
        }
        const Stamp& stamp = sample->stamp;
        const int previousDay = i == kFirstSample ? stamp.day : day;
        day = stamp.day;
        // Every change of the day of the month counts as one day, whatever the size of the jump.
        if (previousDay != day) dayOffset += kDayMs;

        TimeLabel& label = data.labels[std::size_t(i)];
        label.length = std::uint8_t(FormatTimeLabel(stamp, label.text.data(), label.text.size()));
        const std::string_view shortLabel = label.View().substr(0, 14); // "MM/DD hh:mm:ss"
        if (i == kFirstSample) r.firstText = std::string(shortLabel);

        const std::int64_t t = std::int64_t(stamp.second) * 1000 + stamp.Millisecond() +
                               std::int64_t(stamp.minute) * 60000 + std::int64_t(stamp.hour) * 3600000 +
                               dayOffset;
        data.timeMs[std::size_t(i)] = t;
        if (i > kFirstSample && t < data.timeMs[std::size_t(i - 1)]) ++r.reversals;

        data.x[std::size_t(i)] = sample->x;
        data.y[std::size_t(i)] = sample->y;
        data.z[std::size_t(i)] = sample->z;
        data.temperature[std::size_t(i)] = sample->temperature.WholeDegrees();
        data.extra[std::size_t(i)] = sample->extra;
        r.endIndex = i + 1;
        r.lastText = std::string(shortLabel);
    }
    return r;
}

} // namespace vexa
