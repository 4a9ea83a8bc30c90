// The graph button's hand-over: the work area's recording, checked and capped, for the graph window.
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

std::optional<GraphHandover> PrepareGraphHandover(std::shared_ptr<const Recording> recording,
                                                  int countsPerG) {
    if (!recording || recording->LineCount() == 0 || !recording->Line(0).starts_with("Start"))
        return std::nullopt;
    GraphHandover h;
    h.countsPerG = CountsPerGFromHeader(recording->Line(0), countsPerG);
    h.lines.reserve(std::min<std::size_t>(recording->LineCount(), kGraphLineLimit));
    for (std::size_t i = 0; i < recording->LineCount(); ++i) {
        if (recording->Line(i).starts_with("//")) continue;
        if (h.lines.size() >= std::size_t(kGraphLineLimit))
            ++h.linesLeftOut; // counted, so the window can say how much is not drawn
        else
            h.lines.push_back(std::uint32_t(i));
    }
    h.recording = std::move(recording);
    return h;
}

} // namespace vexa
