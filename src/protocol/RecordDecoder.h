// Decoding of downloaded record lines (hexadecimal) into CSV data lines, with the time-order check.
#pragma once

#include "protocol/CsvLine.h"
#include "protocol/LineBuffer.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace vexa {

// State kept across the records of a download; the names are those the window's module state uses.
struct RecordDecoderState {
    int BaseYear = 0;            // year printed; the caller sets it from the start year
    int PreviousRecordMonth = 0; // month of the record before (DecodeNextRecord sets it)
    int RecordMonth = 0;
    int YearBits = 0;
    int PreviousYearBits = 0;
    int YearCarry = 0; // 0, or 4 once the year bits went from 3 to 0
    int DateKey = 0;   // YearBits * 10000 + month * 100 + day
    int PreviousDateKey = 0;
    int TimeKey = 0; // hour * 10,000,000 + minute * 100,000 + second * 1000 + hundredths * 10 + thousandths
    int PreviousTimeKey = 0;
    int ExtraDigit = 0; // thousandths digit of the current record
    bool IrregularFound = false;
    int ExtraDigitMode = 0; // input: 1 when records carry a thousandths digit (character 20)

    // The day of an earlier record, worked out once while the records stay on it; no part of the
    // decoding's rules.
    struct Reused {
        int year = 0, month = 0, day = 0;
        std::int64_t dayMs = 0; // the milliseconds of that day's midnight
        bool dayKnown = false;
    } reused;
};

// Resets the keys and flags at the start of a download's decoding, keeping RecordMonth, YearBits and
// ExtraDigit: the first record is then compared with the last month and year bits decoded before.
void ResetDecoderKeys(RecordDecoderState& state);

// As ResetDecoderKeys, and also RecordMonth and YearBits, so that a download does not depend on the one
// before it (a first record in a month lower than the last download's would otherwise count as a new
// year). This is the reset the window uses.
void ResetDecoderForDownload(RecordDecoderState& state);

struct DecodeOutcome {
    bool irregularFound = false; // IrregularFound after this record: true from the first irregular one on
    bool markedThis = false;     // this record's time did not advance; its first byte is now 0x81
};

// Decodes one record line into a sample, advancing the state as DecodeRecord does.
Sample DecodeSample(RecordDecoderState& state, std::string_view record, DecodeOutcome& outcome);

// Decodes the record line in the buffer and overwrites it with the CSV data line, e.g.
// "104C8B8500FF0A194B00" -> "2024/01/02 12:34:56.750,  0, -1, 10, 25.5". Characters beyond the record's
// length count as absent ("0" for the fixed fields); a record shorter than 18 characters has hundredths 0.
DecodeOutcome DecodeRecord(RecordDecoderState& state, LineBuffer& line);

// One step of a download: PreviousRecordMonth := RecordMonth, then DecodeRecord.
DecodeOutcome DecodeNextRecord(RecordDecoderState& state, LineBuffer& line);

// Comment line that stands before a marked record in the work area and in a saved file, as its bytes:
// "//↓Irregular Record //" in Shift-JIS (0x81 0xAB is the arrow).
inline constexpr std::string_view IrregularRecordComment = "//\x81\xab"
                                                           "Irregular Record //";
// Message shown once after a download with an irregular record.
inline constexpr std::string_view IrregularTimeMessage = "時間不整合";

} // namespace vexa
