// Fuzz target: one reply line from the logger through the "@" status reply and model line readers.
#include "protocol/LineBuffer.h"
#include "protocol/StatusReply.h"
#include "tests/fuzz/FuzzCheck.h"

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <type_traits>
#include <variant>

namespace {

// Every text a reply shows is cut from the line, so it can never be longer than the line.
void CheckTextsFit(const vexa::StatusReply& reply, std::size_t lineSize) {
    std::visit(
        [&](const auto& r) {
            using R = std::decay_t<decltype(r)>;
            if constexpr (std::is_same_v<R, vexa::CountReply>) {
                FUZZ_CHECK(r.recordCount >= 0);
                FUZZ_CHECK(r.countText.size() + r.afterCountText.size() <= lineSize);
                FUZZ_CHECK(!r.countText.empty());
            } else if constexpr (std::is_same_v<R, vexa::TitleReply> ||
                                 std::is_same_v<R, vexa::TitleRangeReply>) {
                FUZZ_CHECK(r.text.size() <= lineSize);
            } else if constexpr (std::is_same_v<R, vexa::LoggerIdReply>) {
                FUZZ_CHECK(r.loggerId.size() <= lineSize);
            } else if constexpr (std::is_same_v<R, vexa::StartYearReply>) {
                FUZZ_CHECK(r.year.size() <= lineSize);
            } else if constexpr (std::is_same_v<R, vexa::IntervalReply>) {
                FUZZ_CHECK(r.intervalIndex >= 0 && r.intervalIndex < 15);
                FUZZ_CHECK(!r.intervalName.empty());
            }
        },
        reply);
}

void Check(std::string_view line) {
    const vexa::StatusReply reply = vexa::ParseStatusReply(line);
    if (line.empty() || line[0] != '@') FUZZ_CHECK(std::holds_alternative<vexa::IgnoredReply>(reply));
    CheckTextsFit(reply, line.size());

    const auto model = vexa::ParseModelLine(line);
    FUZZ_CHECK(model.has_value() == (!line.empty() && line[0] == 'K'));
    if (model && model->firmwareVersionText) FUZZ_CHECK(model->firmwareVersionText->size() <= 11);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view line(reinterpret_cast<const char*>(data), size);
    Check(line);
    // The window hands the parser what its 127-character line buffer kept of the line.
    Check(vexa::LineBuffer(line).view());
    return 0;
}
