// Field access in the logger's reply lines: the anchors after "=" and after the first space, bounded reads.
#include "protocol/ReplyFields.h"

namespace vexa {

namespace {

std::optional<std::size_t> AfterFirst(std::string_view line, char c) {
    const auto pos = line.find(c, 1);
    if (pos == std::string_view::npos)
        return std::nullopt;
    return pos + 1;
}

} // namespace

std::optional<std::size_t> AnchorV(std::string_view line) { return AfterFirst(line, '='); }

std::optional<std::size_t> AnchorW(std::string_view line) { return AfterFirst(line, ' '); }

std::optional<char> CharAt(std::string_view line, std::size_t p) {
    if (p >= line.size())
        return std::nullopt;
    return line[p];
}

std::optional<std::string_view> TextFrom(std::string_view line, std::size_t p) {
    if (p > line.size())
        return std::nullopt;
    return line.substr(p);
}

std::optional<std::array<std::string, 3>> GroupValues(std::string_view line, std::size_t w) {
    constexpr std::size_t FirstGroup = 2, GroupStride = 6, GroupCount = 3;
    // The last character read is the fifth of group 3, at w + 18.
    if (w + FirstGroup + GroupStride * (GroupCount - 1) + 4 >= line.size())
        return std::nullopt;
    std::array<std::string, 3> values;
    for (std::size_t g = 0; g < GroupCount; ++g) {
        const std::size_t start = w + FirstGroup + GroupStride * g;
        const char text[] = {line[start], line[start + 3], line[start + 4]};
        values[g] = std::string(text, sizeof text);
    }
    return values;
}

std::string OffOnText(std::string_view value) { return value == " 00" ? "OFF" : "ON"; }

} // namespace vexa
