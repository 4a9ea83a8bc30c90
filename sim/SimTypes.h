// Value types shared by the simulated logger: records, settings, faults and start-up configuration.
#pragma once

#include <cstdint>
#include <set>
#include <string>

namespace vexa::sim {

// One stored measurement, in the units a person reads (temperature in tenths of a degree).
struct SimRecord {
    int year = 2024, month = 1, day = 1, hour = 0, minute = 0, second = 0;
    int hundredths = 0;  // 0..99
    int thousandths = 0; // 0..9, only sent in millisecond sampling modes
    int x = 0, y = 0, z = 0;
    int tempTenths = 0; // -1279..1279
    int extra = 0;      // 0 = absent
};

// Everything the status report shows; each setting command changes one field.
struct SimSettings {
    std::string modelLine = "KTZ-770 Ver=20231226";
    char intervalCode = 'A';
    char samplingCode = '0';
    std::string threshold = "10";
    int buzzerDigit = 0; // "z0" = buzzer on, reported as 0
    bool recording = false;
    std::string clockText;   // last "s" date-time, empty = PC clock at start
    std::string reservation; // "mm/dd hh:mm", empty = none
    bool thresholdDetect = false;
    int hazard = 0, gravity = 0, endless = 0;  // "Ox" value, "Oy"/"Oz" on/off
    int hz100 = 0, display = 0, df = 0;        // "OX" on/off, "OY"/"OZ" values
    int fx = 0, fy = 0, fz = 0;                // "FX", "FY", "FZ"
    int level = 0;                             // "L"
    int rec = 0;                               // "r" (hundreds * 100)
    int deviceId = 1;                          // "Y"
    int wait = 5;                              // "w"
    std::string idText = "SIM01";              // "Kw"
    std::string countsCode = "10";             // range code, "@T"
    int dataRate = 10;                         // "q1" = 10, "q5" = 50
    int lcd = 0, ble = 0, bMode = 0, nField = 0; // "q7", "q8"/"q9", "b0"/"b1", "N01"
    int monitorX = 0, monitorY = 0, monitorZ = 10, monitorTempTenths = 235;
};

// Misbehaviour on request, so the tool's error paths can be exercised.
struct SimFaults {
    bool noHash = false;           // replies lack the closing "#"
    std::string noHashOn;          // only for this command ("" = every reply)
    bool garbage = false;          // stray bytes inside each reply
    bool longLine = false;         // a 200-character line inside each reply
    int extraCount = 0;            // "@C" announces this many more records than are sent
    bool enqInLine = false;        // ENQ in the middle of a reply line
    std::set<int> bangLines;       // firmware lines (0-based) answered with "!"
    int bangRepeat = 1;            // "!" bytes in each of those answers
    int bootSilentAt = -1;         // the boot loader answers no firmware line from this one on
    int bootHangupAt = -1;         // this firmware line unplugs the logger
    bool bootMThenMore = false;    // "qs" answered by "M" and more bytes in one burst, the lone "M" later
    long hangupAfterBytes = -1;    // close the master after this many bytes sent
    int latencyMs = 0;             // delay before each answer
    std::string latencyOn;         // only this command's answer is delayed ("" = every answer)
    int unplugAfterMs = -1;        // unplug after this long
};

// The 5-ms sample stream after "x": its lead character and how it misbehaves on request.
// What the stored records and the stream carry: the default patterns (values a reader can check sample by
// sample), or a parcel on its way (resting gravity, vibration and half-sine shocks; 10 counts per G).
enum class Motion { Pattern, Shocks };

struct StreamOptions {
    Motion motion = Motion::Pattern;
    char lead = 'S';
    long pauseAfter = -1;       // pause after this many samples (-1 = never)
    int pauseMs = -1;           // length of that pause; -1 = the stream stops there for good
    long hangupAfter = -1;      // unplug after this many samples (-1 = never)
    std::uint32_t burstSeed = 0; // 0 = every sample written as it falls due; else random-sized pieces
    int periodUs = 5000;         // one sample per period; shorter plays a long capture in less time
    long malformedEvery = 0;     // every N-th sample goes out garbled; 0 = never, 1 = every sample
    std::string malformedKinds = "nxsl"; // how, in turn: NUL bytes, non-hex digits, too short, too long
    int inFlightAfterStop = 0;           // samples already on their way when " " arrives: they follow the "#"
    int inFlightDelayMs = 50;            // how long after the "#" they arrive
};

struct SimConfig {
    Motion motion = Motion::Pattern;
    int recordCount = 100;
    std::string start = "2024/01/02 12:34:56";
    bool yearRollover = false;
    std::set<int> irregular; // record indices whose time does not advance
    int recordLength = 0;    // 0 = 20, or 21 in millisecond sampling; 16/18 on request
    int com = 3;
    int otherPorts = 0;       // other serial ports listed in the registry file before the logger's
    std::string registryPath; // empty = none
    std::string logPath;      // empty = none
    bool paced = false;       // 115200 baud line rate instead of as fast as possible
    SimSettings settings;
    SimFaults faults;
    StreamOptions stream;
};

} // namespace vexa::sim
