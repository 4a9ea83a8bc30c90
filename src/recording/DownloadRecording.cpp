// A download as a recording: the stored record lines decoded, one data line and one sample per record.
#include "recording/DownloadRecording.h"

namespace vexa {

DecodeOutcome AppendDecodedRecord(RecordDecoderState& decoder, std::string_view record, Recording& out) {
    decoder.PreviousRecordMonth = decoder.RecordMonth;
    DecodeOutcome outcome;
    const Sample sample = DecodeSample(decoder, record, outcome);
    char line[kCsvLineBufferBytes];
    const std::size_t length = FormatCsvLine(sample, line);
    // The comment stands before the record whose own time did not advance (the marked one).
    if (outcome.markedThis) out.AddLine(IrregularRecordComment);
    out.AddSample(sample, std::string_view(line, length));
    return outcome;
}

} // namespace vexa
