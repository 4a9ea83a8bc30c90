// The main window's shared state: flags, counters, buffers and tables its handlers cooperate through.
#pragma once

#include "app/FixedText.h"
#include "protocol/RecordDecoder.h"

#include <QDateTime>
#include <array>
#include <string>
#include <vector>

// Entries of the download line table and the capture table; the largest capture (360 s at 5 ms)
// asks for 72,000 samples, which fits.
inline constexpr int kTableEntries = 72020;
// The receive line holds 127 characters and a terminating NUL.
inline constexpr int kRxLineCapacity = 127;

struct Unit1State {
    Unit1State();

    // ---- link and exchange ----
    int LinkUp = 0;
    int CommandsEnabled = 0;
    int MonitorMode = 0;
    int MonitorPollPending = 0;
    int StatusRefreshPending = 0;
    int GreetOnPrompt = 0;
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
    QDateTime ClockSetDeadline;
    // Port discovery.
    QDateTime NowValue;
    int AutoConnectDone = 0;

    // ---- download and decoded data ----
    int DownloadActive = 0;
    std::vector<std::string> DownloadLines;  // kTableEntries entries
    int RecordCount = 0;
    int LineCount = 0;
    int BaseYear = 0;
    QDateTime DownloadStartTime;
    std::string DataFileName;
    int SavedFormHeight = 0;
    int CountsPerG = 10;
    int ExtraDigitMode = 0;
    int ThresholdDetectOn = 0;
    int IrregularFound = 0;
    // Record count the logger announced with "@C"; RecordCount stays the next free table index, so the
    // count line itself is never taken for a record.
    int AnnouncedCount = 0;
    // Record lines that arrived after the table was full (kept count of, not stored).
    int DroppedRecords = 0;
    // State of the record decoder (keys, year bits, month) across the records of one download.
    vexa::RecordDecoderState Decoder;

    // ---- 5-ms online capture ----
    int CaptureIndex = 0;
    int CaptureCharPos = 0;
    std::vector<std::array<char, 20>> CaptureRecords;  // kTableEntries entries, NUL-terminated
    int CaptureTarget = 0;
    std::string CaptureStartText;
    std::string CaptureEndText;
    int SavedTimerInterval = 0;

    // ---- firmware update ----
    int UpdateActive = 0;
    int UpdateLineIndex = 0;

    // ---- device information taken from replies ----
    FixedText<12> FirmwareVersionText;
    int FirmwareVersion = 0;
    std::array<char, 15> IntervalCodes{};
    int IntervalIndex = 0;
    std::string IntervalName;
    std::string TemperatureText;

    // ---- scratch texts of the command handlers ----
    std::string CommandText;
    std::string CommandArg;
    std::string CommandScratch;
};
