// The logger link's shared state: the flags, counters, buffers and tables the exchange, the monitor
// and the download cooperate through, under the names the window's handlers have always used.
#pragma once

#include "protocol/CodeTables.h"
#include "protocol/RecordDecoder.h"
#include "session/FixedText.h"

#include <array>
#include <cstring>
#include <string>
#include <vector>

namespace vexa::session {

// Entries of the download line table; the largest download the logger's memory holds fits.
inline constexpr int kTableEntries = 72020;
// The receive line holds 127 characters and a terminating NUL.
inline constexpr int kRxLineCapacity = 127;

struct LinkState {
    LinkState() : LinkState(std::vector<std::string>(kTableEntries)) {}
    // With a line table kept from an earlier state, so that its memory is used again (a fuzzer runs
    // thousands of sessions a second). Its old lines are never read: a download stores each line before
    // anything reads it.
    explicit LinkState(std::vector<std::string> downloadLines) : DownloadLines(std::move(downloadLines)) {
        DownloadLines.resize(kTableEntries);
        for (size_t i = 0; i < IntervalCodes.size(); ++i)
            IntervalCodes[i] = vexa::IntervalCodes[i];
    }

    // ---- link and exchange ----
    int LinkUp = 0;
    int CommandsEnabled = 0;
    int MonitorMode = 0;
    int MonitorPollPending = 0;
    int StatusRefreshPending = 0;
    int GreetOnPrompt = 0;
    // Follow-up commands: one goes out at each "#" that ends an answer, the first non-empty slot first.
    FixedText<20> PendingCommand1;
    FixedText<5> PendingCommand2;
    FixedText<7> PendingCommand3;
    FixedText<12> MonitorCommand;
    FixedText<16> TickSequence;
    int TickSequenceIndex = -1;
    std::array<char, kRxLineCapacity + 1> RxLine{};
    int RxLineLen = 0;
    std::string NowText;
    std::string ReservationTimeText;
    int ReservationState = 0;
    std::string WindowTitleText = " UPdater20003.0De26";
    int ClockSetPending = 0;
    int AutoConnectDone = 0;

    // ---- download and decoded data ----
    int DownloadActive = 0;
    std::vector<std::string> DownloadLines; // kTableEntries entries
    int RecordCount = 0;
    int LineCount = 0;
    int BaseYear = 0;
    // The year of the first record as the logger reported it ("20XX" until it has).
    std::string StartYearText = "20XX";
    int CountsPerG = 10;
    int ExtraDigitMode = 0;
    int ThresholdDetectOn = 0;
    int IrregularFound = 0;
    // Record count the logger announced with "@C"; RecordCount stays the next free table index during
    // a download, so the count line itself is never taken for a record. -1: no count announced.
    int AnnouncedCount = -1;
    // Record lines that arrived after the table was full (counted, not stored).
    int DroppedRecords = 0;
    // State of the record decoder (keys, year bits, month) across the records of one download.
    vexa::RecordDecoderState Decoder;

    // ---- device information taken from replies ----
    FixedText<12> FirmwareVersionText;
    int FirmwareVersion = 0;
    std::array<char, vexa::IntervalCount> IntervalCodes{};
    int IntervalIndex = 0;
    std::string IntervalName;
    std::string TemperatureText;

    // The received line so far.
    std::string_view RxLineView() const { return {RxLine.data(), size_t(RxLineLen)}; }
    // The line buffer's text up to its terminator, which may lie past RxLineLen once that was reset.
    std::string_view RxLineText() const { return {RxLine.data(), strnlen(RxLine.data(), RxLine.size())}; }
    void ClearRxLine() {
        RxLineLen = 0;
        RxLine[0] = '\0';
    }
};

} // namespace vexa::session
