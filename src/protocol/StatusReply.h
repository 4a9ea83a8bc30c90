// Meaning of the logger's "@" status replies and of its model line, as values for the window's controls.
// Display texts are UTF-8 (e.g. "開始"); everything read from the wire is ASCII bytes kept as they are.
#pragma once

#include "protocol/CodeTables.h"

#include <optional>
#include <string>
#include <string_view>
#include <variant>

namespace vexa {

// "@A" with "h" at w: the fields beside "ハザード", "Gravity", "エンドレス".
struct AdjustReplyH {
    std::string edit1, edit2, edit6;
};
// "@A" without "h": the fields beside "100hz", "表示", "DF".
struct AdjustReply {
    std::string edit7, edit8, edit11;
};
// "@F": the fields beside "X2", "Y2", "Z2".
struct FineAdjustReply {
    std::string edit20, edit16, edit17;
};
// "@B": buzzer state.
struct BuzzerReply {
    bool buzzerOn = false;
    std::string label19() const { return buzzerOn ? "BZ-ON" : "BZ-OFF"; }
};
// "@C": record count. When negative is set the window reports "データ数不具合"; recordCount is the
// absolute value already.
struct CountReply {
    std::string label13;
    int recordCount = 0;
    std::string label39;
    bool negative = false;
};
// "@D" and "@d": threshold box text.
struct ThresholdReply {
    std::string comboBox1;
};
// "@G": the window's top line.
struct TitleReply {
    std::string label33;
};
// "@g": top line, and counts per G becomes 2 (range box "50") when countsPerGIs2 is set.
struct TitleRangeReply {
    bool countsPerGIs2 = false;
    std::string label33;
};
// "@I": sampling box text and ExtraDigitMode.
struct SamplingReply {
    SamplingSetting sampling;
};
// "@K": the logger's ID text field.
struct IdTextReply {
    std::string edit21;
};
// "@L": the field beside "L" and "W".
struct LReply {
    std::string edit14;
};
// "@M": the logger ID shown beside "My ID".
struct LoggerIdReply {
    std::string label18;
};
// "@R": recording interval.
struct IntervalReply {
    int intervalIndex = 0;
    std::string intervalName;
};
// "@r": the field beside "Rec".
struct RecReply {
    std::string edit15;
};
// "@s": start mode box text, "Sleep" or "開始".
struct StartModeReply {
    std::string comboBox4;
};
// "@T": range; an empty range means CountsPerG and the range box stay as they are.
struct RangeReply {
    std::optional<RangeSetting> range;
};
// "@W": threshold-exceed detection check box.
struct ThresholdDetectReply {
    bool checked = false;
};
// "@w": start setting text.
struct StartSettingReply {
    std::string label31;
};
// "@Y": year of the first record.
struct StartYearReply {
    std::string label15;
};
// Unknown code, or a line lacking the anchor or the characters its code reads: the window does nothing.
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
