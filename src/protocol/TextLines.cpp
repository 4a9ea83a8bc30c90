// Text files of the work area: lines as bytes, split on CR LF, CR or LF, written with CR LF.
#include "protocol/TextLines.h"

namespace vexa {

std::vector<std::string> SplitLines(std::string_view content) {
    std::vector<std::string> lines;
    size_t start = 0;
    size_t i = 0;
    while (i < content.size()) {
        const char c = content[i];
        if (c == '\r' || c == '\n') {
            lines.emplace_back(content.substr(start, i - start));
            if (c == '\r' && i + 1 < content.size() && content[i + 1] == '\n') ++i;
            start = ++i;
        } else {
            ++i;
        }
    }
    if (start < content.size()) lines.emplace_back(content.substr(start));
    return lines;
}

std::string JoinLinesCrLf(const std::vector<std::string>& lines) {
    size_t total = 0;
    for (const auto& l : lines) total += l.size() + 2;
    std::string out;
    out.reserve(total);
    for (const auto& l : lines) {
        out += l;
        out += "\r\n";
    }
    return out;
}

std::string WithCsvExtension(std::string_view path) {
    const size_t slash = path.find_last_of('/');
    const std::string_view name = slash == std::string_view::npos ? path : path.substr(slash + 1);
    std::string out(path);
    if (name.find('.') == std::string_view::npos) out += ".csv";
    return out;
}

} // namespace vexa
