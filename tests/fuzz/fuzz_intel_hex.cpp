// Fuzz target: the firmware image check must refuse or accept any file without crashing, and what it
// accepts must be a consistent image.
#include "protocol/IntelHex.h"
#include "protocol/TextLines.h"

#include <cstdint>
#include <cstdlib>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const std::vector<std::string> lines = vexa::SplitLines(text);
    for (const std::string& line : lines) {
        const vexa::HexRecordParse p = vexa::ParseHexRecord(line);
        // A parse has either a record or a fault, never both or neither.
        if (p.record.has_value() != p.fault.empty()) std::abort();
    }
    const vexa::HexImageCheck c = vexa::CheckHexImage(lines);
    if (c.ok) {
        if (c.summary.endRecordLine < 0 || c.summary.dataRecords <= 0 || !c.fault.empty()) std::abort();
        long bytes = 0;
        int records = 0;
        for (const auto& [length, count] : c.summary.dataRecordsBySize) {
            bytes += static_cast<long>(length) * count;
            records += count;
        }
        if (bytes != c.summary.dataBytes || records != c.summary.dataRecords) std::abort();
        for (const vexa::HexSpan& s : c.summary.spans)
            if (s.first > s.last || s.last >= vexa::kProgramMemoryBytes) std::abort();
        // The lines the update sends end in exactly one empty line, which is not sent.
        const std::vector<std::string> sent = vexa::ImageLinesForUpdate(lines);
        if (sent.empty() || !sent.back().empty() || (sent.size() > 1 && sent[sent.size() - 2].empty()))
            std::abort();
    } else {
        if (c.fault.empty() || c.line < 0 || c.line > static_cast<int>(lines.size())) std::abort();
        if (vexa::DescribeHexFault(c).empty()) std::abort();
    }
    return 0;
}
