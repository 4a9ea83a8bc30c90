// The graph window's per-sample arrays and the parse that fills them from the handed-over lines.
#include "graph/core/GraphData.h"

#include "graph/core/GraphHandover.h"

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

std::string_view Slice(std::string_view s, std::size_t from1, std::size_t to1) {
    // Characters from1..to1 (1-based, inclusive), or as many of them as the text has.
    if (from1 > s.size()) return {};
    return s.substr(from1 - 1, to1 - from1 + 1);
}

constexpr std::int64_t kDayMs = 86400000;

} // namespace

std::optional<int> StrictInteger(std::string_view text) {
    std::size_t pos = 0;
    const std::optional<int> value = ReadInteger(text, pos);
    if (!value || pos != text.size()) return std::nullopt;
    return value;
}

std::optional<int> LenientInteger(std::string_view text) {
    std::size_t pos = 0;
    return ReadInteger(text, pos);
}

GraphData::GraphData()
    : timeMs(kGraphEntries), x(kGraphEntries), y(kGraphEntries), z(kGraphEntries), temperature(kGraphEntries),
      extra(kGraphEntries), labels(kGraphEntries) {}

int GraphParseResult::MiddleSample() const {
    if (!HasSamples()) return kFirstSample;
    return std::clamp(endIndex / 2, kFirstSample, LastSample());
}

GraphParseResult ParseGraphLines(const std::vector<std::string>& lines, int lineCount, GraphData& data) {
    std::fill(data.timeMs.begin(), data.timeMs.end(), 0);
    std::fill(data.x.begin(), data.x.end(), 0);
    std::fill(data.y.begin(), data.y.end(), 0);
    std::fill(data.z.begin(), data.z.end(), 0);

    GraphParseResult r;
    lineCount = std::min({lineCount, int(lines.size()), kGraphEntries});
    std::int64_t dayOffset = 0;
    int day = 0;
    for (int i = kFirstSample; i < lineCount - 3; ++i) {
        const std::string_view line = std::string_view(lines[std::size_t(i)]).substr(0, kGraphLineLength);
        const std::string_view rest = line.size() > 5 ? line.substr(5) : std::string_view();
        const std::string_view clock = Slice(rest, 7, 18);
        const std::optional<int> newDay = StrictInteger(Slice(rest, 4, 5));
        const std::optional<int> hours = StrictInteger(Slice(clock, 1, 2));
        const std::optional<int> minutes = StrictInteger(Slice(clock, 4, 5));
        const std::optional<int> seconds = StrictInteger(Slice(clock, 7, 8));
        const std::optional<int> millis = StrictInteger(Slice(clock, 10, 12));
        if (!newDay || !hours || !minutes || !seconds || !millis) {
            r.error = "line " + std::to_string(i + 1) + ": the time stamp is not a number";
            break;
        }
        const int previousDay = i == kFirstSample ? *newDay : day;
        day = *newDay;
        if (i == kFirstSample) r.firstText = std::string(Slice(rest, 1, 14));
        // Every change of the day field counts as one day, whatever the size of the jump.
        if (previousDay != day) dayOffset += kDayMs;

        TimeLabel& label = data.labels[std::size_t(i)];
        const std::string_view labelText = Slice(rest, 1, 18);
        std::copy(labelText.begin(), labelText.end(), label.text.begin());
        label.length = std::uint8_t(labelText.size());

        const std::int64_t t = std::int64_t(*seconds) * 1000 + *millis + std::int64_t(*minutes) * 60000 +
                               std::int64_t(*hours) * 3600000 + dayOffset;
        data.timeMs[std::size_t(i)] = t;
        if (i > kFirstSample && t < data.timeMs[std::size_t(i - 1)]) ++r.reversals;

        // Five comma-separated fields from index 24 of the line, each cut to kGraphFieldLength.
        std::array<std::string_view, 5> fields{};
        std::array<bool, 5> present{};
        std::size_t field = 0;
        std::size_t start = 24;
        if (line.size() > 24) {
            present[0] = true;
            for (std::size_t p = 24; p <= line.size() && field < 5; ++p) {
                if (p == line.size() || line[p] == ',') {
                    fields[field] = line.substr(start, std::min(p - start, kGraphFieldLength));
                    present[field] = true;
                    ++field;
                    start = p + 1;
                }
            }
        }
        std::int32_t* targets[5] = {&data.x[std::size_t(i)], &data.y[std::size_t(i)], &data.z[std::size_t(i)],
                                    &data.temperature[std::size_t(i)], &data.extra[std::size_t(i)]};
        for (std::size_t f = 0; f < 5; ++f) {
            // A field the line does not have at all reads as 0, so no stale value is drawn for it; a
            // field without digits keeps the entry.
            if (!present[f]) {
                *targets[f] = 0;
            } else if (const std::optional<int> v = LenientInteger(fields[f])) {
                *targets[f] = *v;
            }
        }
        r.endIndex = i + 1;
        r.lastText = std::string(Slice(rest, 1, 14));
    }
    return r;
}

} // namespace vexa
