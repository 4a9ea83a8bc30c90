// Fuzz target: a data file's bytes read into a recording, every data line through the one reader.
#include "protocol/TextLines.h"
#include "recording/RecordingFile.h"
#include "tests/fuzz/FuzzCheck.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view content(reinterpret_cast<const char*>(data), size);
    const vexa::Recording r = vexa::ReadRecording(content);
    FUZZ_CHECK(r.Samples().size() <= r.LineCount());
    for (std::size_t k = 0; k < r.Samples().size(); ++k) {
        const std::size_t line = r.LineOfSample(k);
        FUZZ_CHECK(line < r.LineCount() && r.SampleOfLine(line) == &r.Samples()[k]);
        const vexa::Sample& s = r.Samples()[k];
        FUZZ_CHECK(s.timeMs == s.stamp.Milliseconds());
        // A sample's line reads as the sample itself, up to the year a mark took.
        const auto again = vexa::ParseCsvLine(r.Line(line));
        FUZZ_CHECK(again && again->x == s.x && again->temperature == s.temperature &&
                   again->irregular == s.irregular);
    }
    // Read in place, the lines are those of the one line splitter, with the same samples.
    const vexa::Recording split = vexa::ReadRecordingLines(vexa::SplitLines(content));
    FUZZ_CHECK(split.FileText() == r.FileText() && split.Samples() == r.Samples() &&
               split.header == r.header);
    // Saving gives the lines as they were read, each with CR LF.
    const std::string saved(r.FileText());
    FUZZ_CHECK(vexa::ReadRecording(saved).FileText() == saved);
    return 0;
}
