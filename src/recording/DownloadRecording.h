// A download as a recording: the stored record lines decoded, one data line and one sample per record.
#pragma once

#include "protocol/RecordDecoder.h"
#include "recording/Recording.h"

#include <string_view>

namespace vexa {

// The length of a usual decoded data line ("yyyy/mm/dd hh:mm:ss.fff,xxx,yyy,zzz,ttt.t" and an extra
// field): room to reserve per record.
inline constexpr std::size_t kDecodedLineBytes = 44;

// Decodes the next record of a download (PreviousRecordMonth := RecordMonth first, as the decoder's
// caller does) and appends its data line with its sample to out; a record whose own time did not advance
// gets the comment line before it.
DecodeOutcome AppendDecodedRecord(RecordDecoderState& decoder, std::string_view record, Recording& out);

} // namespace vexa
