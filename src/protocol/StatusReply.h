// Meaning of the logger's "@" status replies and of its model line, in the logger's own terms; which
// control shows which value is decided in one place of the window.
// Display texts are UTF-8 (e.g. "開始"); everything read from the wire is ASCII bytes kept as they are.
#pragma once

#include "protocol/CodeTables.h"

#include <optional>
#include <string>
#include <string_view>
#include <variant>

namespace vexa {

// "@A" with "h" at w: the hazard level, and the gravity and endless settings as "OFF"/"ON".
struct AdjustReplyH {
    std::string level, gravity, endless;
};
// "@A" without "h": the 100 Hz setting as "OFF"/"ON", the display and the DF values.
struct AdjustReply {
    std::string hundredHz, display, df;
};
// "@F": the fine adjustment of the X, Y and Z axes.
struct FineAdjustReply {
    std::string x, y, z;
};
// "@B": buzzer state.
struct BuzzerReply {
    bool buzzerOn = false;
    std::string stateText() const { return buzzerOn ? "BZ-ON" : "BZ-OFF"; }
};
// "@C": record count. When negative is set the window reports "データ数不具合"; recordCount is the
// absolute value already.
struct CountReply {
    std::string countText;  // the count as the logger wrote it
    int recordCount = 0;
    std::string afterCountText;  // what follows the count (the memory's size)
    bool negative = false;
};
// "@D" and "@d": the threshold, two digits.
struct ThresholdReply {
    std::string threshold;
};
// "@G": the logger's title text.
struct TitleReply {
    std::string text;
};
// "@g": the title text; the range becomes 2 counts per G ("50") when countsPerGIs2 is set.
struct TitleRangeReply {
    bool countsPerGIs2 = false;
    std::string text;
};
// "@I": the sampling setting (its name and whether records carry a thousandths digit).
struct SamplingReply {
    SamplingSetting sampling;
};
// "@K": the logger's ID text.
struct IdTextReply {
    std::string idText;
};
// "@L": the L value.
struct LReply {
    std::string lValue;
};
// "@M": the logger ID.
struct LoggerIdReply {
    std::string loggerId;
};
// "@R": recording interval.
struct IntervalReply {
    int intervalIndex = 0;
    std::string intervalName;
};
// "@r": the Rec value.
struct RecReply {
    std::string recValue;
};
// "@s": the start mode, "Sleep" or "開始".
struct StartModeReply {
    std::string startMode;
};
// "@T": the range; an empty range leaves counts per G as it is.
struct RangeReply {
    std::optional<RangeSetting> range;
};
// "@W": whether threshold-exceed detection is on.
struct ThresholdDetectReply {
    bool detectOn = false;
};
// "@w": the start setting text.
struct StartSettingReply {
    std::string startSetting;
};
// "@Y": year of the first record.
struct StartYearReply {
    std::string year;
};
// Unknown code, or a line lacking the anchor or the characters its code reads: nothing changes.
struct IgnoredReply {};

using StatusReply =
    std::variant<IgnoredReply, AdjustReplyH, AdjustReply, FineAdjustReply, BuzzerReply, CountReply,
                 ThresholdReply, TitleReply, TitleRangeReply, SamplingReply, IdTextReply, LReply,
                 LoggerIdReply, IntervalReply, RecReply, StartModeReply, RangeReply, ThresholdDetectReply,
                 StartSettingReply, StartYearReply>;

// Reads a reply line that starts with "@" (any other line is ignored).
StatusReply ParseStatusReply(std::string_view line);

// The model and version line (first character "K").
struct ModelLine {
    bool accepted = false;                         // digits "770" at positions 4..6 or 3..5
    std::optional<std::string> firmwareVersionText; // text after "=", at most 11 characters
    int firmwareVersion = 0;                        // that text read as a decimal integer
};

// Nothing when the line does not start with "K". An accepted line without "=" has no version.
std::optional<ModelLine> ParseModelLine(std::string_view line);

// Message shown when a model line is not accepted.
inline constexpr std::string_view ModelMismatchMessage = "This is not a KTZ-770";
// Message shown for a negative record count.
inline constexpr std::string_view BadCountMessage = "データ数不具合";

} // namespace vexa
