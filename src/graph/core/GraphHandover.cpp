// The graph button's hand-over: the work area's lines checked, capped and normalised for the graph window.
#include "graph/core/GraphHandover.h"

#include "protocol/IntegerConversion.h"

namespace vexa {

int CountsPerGFromHeader(std::string_view header, int current) {
    const std::size_t at = header.find('@', 4);
    if (at == std::string_view::npos || at > 49 || at >= 20) return current;
    if (at + 4 >= header.size()) return current;
    const std::string_view number = header.substr(at + 4);
    // The number must have digits of its own; "@1G=" followed by text keeps the old value.
    std::size_t pos = 0;
    while (pos < number.size() && IsBlank(number[pos]))
        ++pos;
    if (pos < number.size() && (number[pos] == '+' || number[pos] == '-')) ++pos;
    if (pos >= number.size() || number[pos] < '0' || number[pos] > '9') return current;
    const int value = LenientToInt(number);
    return value > 0 ? value : current;
}

std::string NormaliseGraphLine(std::string_view line) {
    std::string out(line.substr(0, kGraphLineLength));
    if (out.size() > 24 && out[24] == ',') out.erase(22, 1);
    return out;
}

std::optional<GraphHandover> PrepareGraphHandover(const std::vector<std::string>& workArea, int countsPerG) {
    if (workArea.empty() || workArea[0].compare(0, 5, "Start") != 0) return std::nullopt;
    GraphHandover h;
    h.countsPerG = CountsPerGFromHeader(workArea[0], countsPerG);
    h.lines.reserve(std::min<std::size_t>(workArea.size(), kGraphLineLimit));
    for (const std::string& line : workArea) {
        if (line.compare(0, 2, "//") == 0) continue;
        if (h.lines.size() >= std::size_t(kGraphLineLimit))
            ++h.linesLeftOut; // counted, so the window can say how much is not drawn
        else
            h.lines.push_back(NormaliseGraphLine(line));
    }
    return h;
}

} // namespace vexa
