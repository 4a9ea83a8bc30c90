// Decoding of downloaded record lines (hexadecimal) into CSV data lines, with the time-order check.
#pragma once

#include "protocol/LineBuffer.h"

#include <optional>
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

// One decoded record: time, the three axes in raw counts, the temperature, the extra field and the
// irregular mark.
struct Sample {
    int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0;
    int hundredths = 0;  // 100 or more makes the download irregular (not the line)
    int thousandths = 0; // the extra digit of the millisecond sampling modes, else 0
    int x = 0, y = 0, z = 0;
    int temperature = 0;    // whole degrees after the offset rule
    bool minusZero = false; // printed " -0." (temperature 0)
    char tenths = '0';      // the tenths digit as the record carries it
    int extra = 0;          // 0: absent
    bool irregular = false; // the time did not advance: the line's first byte is the mark 0x81
    bool operator==(const Sample&) const = default;
};

// Decodes one record line into a sample, advancing the state as DecodeRecord does.
Sample DecodeSample(RecordDecoderState& state, std::string_view record, DecodeOutcome& outcome);

// The CSV data line of a sample, as DecodeRecord writes it (padding zeros, the mark when irregular).
void FormatCsvLine(const Sample& sample, LineBuffer& line);
std::string FormatCsvLine(const Sample& sample);

// Reads a data line of the work area back; nothing for any other line (headers, comments, capture
// lines). On a marked line the mark stands in the year's first digit, which is then lost.
std::optional<Sample> ParseCsvLine(std::string_view line);

// Decodes the record line in the buffer and overwrites it with the CSV data line, e.g.
// "104C8B8500FF0A194B00" -> "2024/01/02 12:34:56.750,  0, -1, 10, 25.5". Characters beyond the record's
// length count as absent ("0" for the fixed fields); a record shorter than 18 characters has hundredths 0.
DecodeOutcome DecodeRecord(RecordDecoderState& state, LineBuffer& line);

// One step of a download: PreviousRecordMonth := RecordMonth, then DecodeRecord.
DecodeOutcome DecodeNextRecord(RecordDecoderState& state, LineBuffer& line);

// Mark that replaces the first byte of a record whose time did not advance.
inline constexpr char IrregularMark = '\x81';
// Comment line the window puts before a marked record (UTF-8 display text).
inline constexpr std::string_view IrregularRecordComment = "//↓Irregular Record //";
// The same comment as it stands in the work area and in a saved file (Shift-JIS: 0x81 0xAB is the arrow).
inline constexpr std::string_view IrregularRecordCommentBytes = "//\x81\xab"
                                                                "Irregular Record //";
// Message shown once after a download with an irregular record.
inline constexpr std::string_view IrregularTimeMessage = "時間不整合";

} // namespace vexa
