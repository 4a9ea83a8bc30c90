// The texts the main window shows for a status reply or the model line, setting by setting: the one
// mapping that the window's controls and the command line's report share.
#pragma once

#include "protocol/StatusReply.h"

#include <string>
#include <vector>

namespace vexa {

// Each value the window shows in a control of its own (the control in brackets).
enum class Shown {
    Firmware,     // model line: the text after "=" [Label41]
    LoggerId,     // "@M" [Label18]
    Buzzer,       // "@B": "BZ-ON" or "BZ-OFF" [Label19]
    Interval,     // "@R": "10min" [ComboBox2]
    Sampling,     // "@I": "0.5秒" [ComboBox3]
    StartMode,    // "@s": "Sleep" or "開始" [ComboBox4]
    Range,        // "@T", or "@g" when it reports 2 counts per G: "10" [ComboBox5]
    Threshold,    // "@D", "@d" [ComboBox1]
    StartYear,    // "@Y" [Label15]
    RecordCount,  // "@C": the count as the logger wrote it [Label13]
    MemorySize,   // "@C": what follows the count [Label39]
    Title,        // "@G", "@g" [Label33]
    HazardLevel,  // "@A" with "h" [Edit1]
    Gravity,      // [Edit2]
    Endless,      // [Edit6]
    HundredHz,    // "@A" without "h" [Edit7]
    Display,      // [Edit8]
    Df,           // [Edit11]
    FineX,        // "@F" [Edit20]
    FineY,        // [Edit16]
    FineZ,        // [Edit17]
    IdText,       // "@K" [Edit21]
    LValue,       // "@L" [Edit14]
    RecValue,     // "@r" [Edit15]
    StartSetting, // "@w" [Label31]
};

struct ShownText {
    Shown what;
    std::string text;
    // True: bytes as the logger sent them (Shift-JIS where not ASCII). False: UTF-8 from a code table.
    bool wire = true;
    bool operator==(const ShownText&) const = default;
};

// The texts a reply puts on show, in the order the window sets them; nothing for a reply that shows
// no text ("@W" sets a check box) or is ignored.
std::vector<ShownText> ShownTexts(const StatusReply& reply);
// The firmware text of an accepted model line that carries one; nothing otherwise.
std::vector<ShownText> ShownTexts(const ModelLine& model);

} // namespace vexa
