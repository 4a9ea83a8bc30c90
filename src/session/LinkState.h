// The logger link's data: what the logger reported, the receive line, the download's table and the
// settings the commands are built from. The session is its only writer; front ends read it as a const
// view (Session::State()). What the link is doing is the session's phase, and what it will send is its
// queue, not flags here.
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

    // ---- link ----
    // 1 once the logger has answered since the last connect (or "Hello" declared it); while 0, the
    // first bytes that arrive are the logger's first contact.
    int LinkUp = 0;
    // 1 while commands may be sent: set at first contact, by "VER" and "Hello", cleared when the link
    // goes down.
    int CommandsEnabled = 0;
    int MonitorMode = 0;
    std::array<char, kRxLineCapacity + 1> RxLine{};
    int RxLineLen = 0;
    // The PC's date-time as the last discovery tick read it, "yyyy/mm/dd hh:mm:ss".
    std::string NowText;
    std::string ReservationTimeText;
    // 0: no reservation time; 1: one was confirmed; 2: the start-mode list asked for one.
    int ReservationState = 0;
    // 1 once discovery has connected to the port it found; 0 makes the next finding connect again.
    int AutoConnectDone = 0;

    // ---- download and decoded data ----
    std::vector<std::string> DownloadLines; // kTableEntries entries: raw record lines of a download
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
