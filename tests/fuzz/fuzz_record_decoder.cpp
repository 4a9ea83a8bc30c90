// Fuzz target: a download's record lines decoded in order, as the window decodes them at the final "#".
// The first input byte picks the thousandths-digit mode, the next four the start year (from "@Y").
#include "protocol/LineBuffer.h"
#include "protocol/RecordDecoder.h"
#include "tests/fuzz/FuzzCheck.h"

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 5) return 0;
    vexa::RecordDecoderState state;
    state.ExtraDigitMode = data[0] & 1;
    std::int32_t year = 0;
    std::memcpy(&year, data + 1, sizeof year);
    // The start year is the leading digits of the "@Y" text: never negative, at most the int range.
    state.BaseYear = year < 0 ? -(year + 1) : year;
    vexa::ResetDecoderForDownload(state);

    std::string_view rest(reinterpret_cast<const char*>(data + 5), size - 5);
    bool irregular = false;
    while (!rest.empty()) {
        const std::size_t end = rest.find('\n');
        vexa::LineBuffer line(rest.substr(0, end));
        rest = end == std::string_view::npos ? std::string_view() : rest.substr(end + 1);

        // The sample of the record: its time is the stamp's own count, whatever the decoder reused.
        vexa::RecordDecoderState copy = state;
        copy.PreviousRecordMonth = copy.RecordMonth;
        vexa::DecodeOutcome sampled;
        const vexa::Sample sample = vexa::DecodeSample(copy, line.view(), sampled);
        FUZZ_CHECK(sample.timeMs == sample.stamp.Milliseconds());

        const vexa::DecodeOutcome outcome = vexa::DecodeNextRecord(state, line);
        FUZZ_CHECK(outcome.markedThis == sampled.markedThis);
        FUZZ_CHECK(line.size() <= vexa::LineBuffer::Capacity);
        FUZZ_CHECK(std::strlen(line.data()) <= line.size());
        // Once a record was out of order the download stays marked.
        if (irregular) FUZZ_CHECK(outcome.irregularFound);
        if (outcome.markedThis) {
            FUZZ_CHECK(outcome.irregularFound);
            FUZZ_CHECK(!line.empty() && line.view()[0] == vexa::IrregularMark);
        }
        irregular = outcome.irregularFound;
    }
    return 0;
}
