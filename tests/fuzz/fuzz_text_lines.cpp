// Fuzz target: a file's bytes split into work-area lines and written back with CR LF.
#include "protocol/TextLines.h"
#include "tests/fuzz/FuzzCheck.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view content(reinterpret_cast<const char*>(data), size);
    const auto lines = vexa::SplitLines(content);
    std::size_t bytes = 0;
    for (const auto& line : lines) {
        FUZZ_CHECK(line.find_first_of("\r\n") == std::string::npos);
        bytes += line.size();
    }
    FUZZ_CHECK(bytes <= content.size());

    // Saving and loading again gives the same lines, and saving that gives the same file.
    const std::string saved = vexa::JoinLinesCrLf(lines);
    FUZZ_CHECK(vexa::SplitLines(saved) == lines);
    FUZZ_CHECK(vexa::JoinLinesCrLf(vexa::SplitLines(saved)) == saved);
    return 0;
}
