// Meaning of the logger's "@" status replies and of its model line, as values for the window's controls.
#include "protocol/StatusReply.h"

#include "protocol/IntegerConversion.h"
#include "protocol/ReplyFields.h"

#include <algorithm>
#include <array>
#include <cstdlib>
#include <utility>

namespace vexa {

namespace {

using Anchor = std::optional<std::size_t>;


std::optional<std::string> TextAt(std::string_view line, Anchor anchor, std::size_t offset = 0) {
    if (!anchor)
        return std::nullopt;
    const auto text = TextFrom(line, *anchor + offset);
    if (!text)
        return std::nullopt;
    return std::string(*text);
}

std::optional<char> CharAtAnchor(std::string_view line, Anchor anchor, std::size_t offset = 0) {
    if (!anchor)
        return std::nullopt;
    return CharAt(line, *anchor + offset);
}

// The three five-character groups after the space anchor, and the anchor itself.
std::optional<std::pair<std::size_t, std::array<std::string, 3>>> GroupsAfterW(std::string_view line) {
    const Anchor w = AnchorW(line);
    if (!w)
        return std::nullopt;
    auto values = GroupValues(line, *w);
    if (!values)
        return std::nullopt;
    return std::make_pair(*w, std::move(*values));
}

StatusReply Adjust(std::string_view line) {
    const auto groups = GroupsAfterW(line);
    if (!groups)
        return IgnoredReply{};
    const auto& [w, v] = *groups;
    if (line[w] == 'h')
        return AdjustReplyH{v[0], OffOnText(v[1]), OffOnText(v[2])};
    return AdjustReply{OffOnText(v[0]), v[1], v[2]};
}

StatusReply FineAdjust(std::string_view line) {
    const auto groups = GroupsAfterW(line);
    if (!groups)
        return IgnoredReply{};
    const auto& v = groups->second;
    return FineAdjustReply{v[0], v[1], v[2]};
}

StatusReply Count(std::string_view line) {
    const Anchor v = AnchorV(line);
    if (!v)
        return IgnoredReply{};
    std::size_t pos = *v;
    while (pos < line.size() && line[pos] == ' ')
        ++pos;
    const std::size_t numberStart = pos;
    while (pos < line.size() && line[pos] != ' ')
        ++pos;
    if (pos == numberStart)
        return IgnoredReply{};
    CountReply reply;
    reply.countText = std::string(line.substr(numberStart, pos - numberStart));
    const long long count = LenientToInt(reply.countText);
    reply.negative = count < 0;
    // The absolute value of INT_MIN does not fit; the saturated value stands in for it.
    reply.recordCount = static_cast<int>(std::min<long long>(std::llabs(count), 2147483647LL));
    while (pos < line.size() && line[pos] == ' ')
        ++pos;
    reply.afterCountText = std::string(line.substr(pos));
    return reply;
}

StatusReply Threshold(std::string_view line, std::size_t secondOffset) {
    const Anchor v = AnchorV(line);
    const auto first = CharAtAnchor(line, v);
    const auto second = CharAtAnchor(line, v, secondOffset);
    if (!first || !second)
        return IgnoredReply{};
    return ThresholdReply{std::string{*first, *second}};
}

StatusReply TitleRange(std::string_view line) {
    const auto code = CharAtAnchor(line, AnchorV(line));
    const auto title = TextAt(line, AnchorW(line));
    if (!code || !title)
        return IgnoredReply{};
    return TitleRangeReply{(static_cast<unsigned char>(*code) & 7) == 5, *title};
}

StatusReply LoggerId(std::string_view line) {
    const Anchor v = AnchorV(line);
    if (!v || *v + 1 >= line.size())
        return IgnoredReply{};
    // The ID ends after the run of digits that starts at v + 1 and is read from v + 2.
    std::size_t end = *v + 1;
    while (end < line.size() && IsDigit(line[end]))
        ++end;
    const std::size_t start = *v + 2;
    return LoggerIdReply{start < end ? std::string(line.substr(start, end - start)) : std::string()};
}

StatusReply Interval(std::string_view line) {
    const auto code = CharAtAnchor(line, AnchorV(line));
    if (!code)
        return IgnoredReply{};
    const auto index = IntervalIndexOfCode(*code);
    if (!index)
        return IgnoredReply{};
    return IntervalReply{*index, IntervalNameAt(*index)};
}

StatusReply Range(std::string_view line) {
    const Anchor v = AnchorV(line);
    const auto first = CharAtAnchor(line, v, 3);
    if (!first)
        return IgnoredReply{};
    // The second character only matters after a "0".
    const auto second = CharAtAnchor(line, v, 4);
    if (*first == '0' && !second)
        return IgnoredReply{};
    return RangeReply{RangeOfCodes(*first, second.value_or(' '))};
}

// For the codes whose only input is the character at v + 4 being "0" or not.
std::optional<bool> FlagAtV4(std::string_view line) {
    const auto c = CharAtAnchor(line, AnchorV(line), 4);
    if (!c)
        return std::nullopt;
    return *c != '0';
}

template <typename Reply>
StatusReply TextReply(std::optional<std::string> text) {
    if (!text)
        return IgnoredReply{};
    return Reply{std::move(*text)};
}

} // namespace

StatusReply ParseStatusReply(std::string_view line) {
    if (line.size() < 2 || line[0] != '@')
        return IgnoredReply{};
    switch (line[1]) {
    case 'A':
        return Adjust(line);
    case 'F':
        return FineAdjust(line);
    case 'B': {
        const auto on = FlagAtV4(line);
        // "0" at v + 4 means the buzzer sounds.
        return on ? StatusReply{BuzzerReply{!*on}} : StatusReply{IgnoredReply{}};
    }
    case 'C':
        return Count(line);
    case 'D':
        return Threshold(line, 2);
    case 'd':
        return Threshold(line, 1);
    case 'G':
        return TextReply<TitleReply>(TextAt(line, AnchorW(line)));
    case 'g':
        return TitleRange(line);
    case 'I': {
        const auto code = CharAtAnchor(line, AnchorV(line));
        return code ? StatusReply{SamplingReply{SamplingOfCode(*code)}} : StatusReply{IgnoredReply{}};
    }
    case 'K':
        return TextReply<IdTextReply>(TextAt(line, AnchorW(line)));
    case 'L':
        return TextReply<LReply>(TextAt(line, AnchorV(line), 3));
    case 'M':
        return LoggerId(line);
    case 'R':
        return Interval(line);
    case 'r':
        return TextReply<RecReply>(TextAt(line, AnchorV(line), 1));
    case 's': {
        const auto notZero = FlagAtV4(line);
        if (!notZero)
            return IgnoredReply{};
        return StartModeReply{*notZero ? "開始" : "Sleep"};
    }
    case 'T':
        return Range(line);
    case 'W': {
        const auto notZero = FlagAtV4(line);
        return notZero ? StatusReply{ThresholdDetectReply{*notZero}} : StatusReply{IgnoredReply{}};
    }
    case 'w':
        return TextReply<StartSettingReply>(TextAt(line, AnchorV(line), 1));
    case 'Y':
        return TextReply<StartYearReply>(TextAt(line, AnchorV(line)));
    default:
        return IgnoredReply{};
    }
}

std::optional<ModelLine> ParseModelLine(std::string_view line) {
    if (line.empty() || line[0] != 'K')
        return std::nullopt;
    const auto digitsAt = [&](std::size_t p) { return line.substr(std::min(p, line.size()), 3) == "770"; };
    ModelLine model;
    model.accepted = digitsAt(4) || digitsAt(3);
    if (const auto text = TextAt(line, AnchorV(line))) {
        model.firmwareVersionText = text->substr(0, 11);
        model.firmwareVersion = LenientToInt(*model.firmwareVersionText);
    }
    return model;
}

} // namespace vexa
