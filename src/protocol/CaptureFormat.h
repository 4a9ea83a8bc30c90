// The 5-ms capture: decoding of streamed samples and the text lines written after the stream ends.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace vexa {

inline constexpr int kCaptureSamplesPerSecond = 200;
inline constexpr int kCaptureMinSeconds = 5;
inline constexpr int kCaptureMaxSeconds = 360;
// Used when the duration typed in is not a number.
inline constexpr int kCaptureDefaultSeconds = 10;

// The duration of a capture as the dialog's text gives it.
struct CaptureDuration {
    int seconds = kCaptureDefaultSeconds;
    std::string note; // empty when the text was taken as it stands, else what was used instead and why
};

// Seconds to capture from the duration dialog's text: a decimal integer (leading blanks and a sign
// allowed), 10 when it is not one, then held to 5..360. A replaced value comes with a note for the user.
CaptureDuration CaptureDurationFromText(std::string_view text);

// First line of a capture: "Start Time=" start " @1G=" counts per G.
std::string CaptureStartLine(std::string_view startText, int countsPerG);
// Last line of a capture: "End=>" and the end's date and time.
std::string CaptureEndLine(std::string_view endText);

// Hexadecimal digit without validation: from "a" up code - 87, from "A" up code - 55, else code - 48.
int LenientHexDigit(char c);

// 16 * digit(high) + digit(low), taken as a signed 8-bit value (two's complement).
std::int8_t HexPairToSigned8(char high, char low);

struct CaptureSample {
    int x = 0, y = 0, z = 0;
    bool operator==(const CaptureSample&) const = default;
};

// A stored capture record: a lead character, then the X, Y, Z digit pairs ("*01FF81" -> 1, -1, -127).
// Digits missing from a short record read as "0".
CaptureSample DecodeCaptureRecord(std::string_view record);

// A stream record as the logger sends it, without its CR: a lead character and exactly six hexadecimal
// digits. Anything else (NUL bytes, other characters, too few or too many) is no sample.
bool IsCaptureRecord(std::string_view record);
inline constexpr std::size_t kCaptureRecordLength = 7;

// "yyyy/mm/dd hh:mm:" from the capture's start text; a one-digit hour (":" as the 13th character) gets a
// blank in front so that the columns line up.
std::string CaptureTimePrefix(std::string_view startText);

// From this sample on (100 s after the start) the elapsed seconds no longer fit the stamp's two digits.
inline constexpr int kCaptureCarryFromSample = 100 * kCaptureSamplesPerSecond;

// The time stamps of one capture's sample lines: the start's minute, then the time elapsed since the
// start (5 ms per sample) in place of the start's seconds.
// A capture whose samples all lie under 100 s keeps the layout its files have always had: the elapsed
// seconds (which may read 60..99) follow the start minute as they are. A longer capture carries seconds
// into minutes, hours and the date (at midnight), so that each of its stamps is a time of the same layout,
// "yyyy/mm/dd hh:mm:ss.mmm", which the graph and every other reader take as it stands.
class CaptureTimeStamps {
  public:
    // lastSample: the highest sample index written (the capture's last line).
    CaptureTimeStamps(std::string_view startText, int lastSample);

    // Appends the stamp of sample i (no separator after it).
    void Append(std::string& line, int i) const;
    // True when seconds are carried (the capture reaches 100 s and its start text is a date and time).
    bool Carries() const { return carries_; }

  private:
    std::string prefix_; // "yyyy/mm/dd hh:mm:"
    bool carries_ = false;
    int year_ = 0, month_ = 0, day_ = 0, hour_ = 0, minute_ = 0;
    char hourPad_ = '0'; // the start text's padding of a one-digit hour, kept in carried stamps
};

// The five-character temperature field from the line that answered "n" (offset 32). A field not starting
// with "-" is moved one place right behind a blank; places beyond a short line are blanks.
std::string CaptureTemperatureField(std::string_view answerLine);

// The capture's second line when no monitor line answered its "n": the sample lines' temperature fields
// are then blank, and this says why.
inline constexpr std::string_view kCaptureNoTemperatureLine =
    "No temperature: the logger sent no monitor line before the capture";

// The sample line for sample i (5 ms apart): time stamp, X, Y, Z, temperature, e.g.
// "2024/05/01 09:03:00.005,  1, -1,-127, 23.5" for i = 1.
std::string CaptureSampleLine(const CaptureTimeStamps& stamps, int i, const CaptureSample& sample,
                              std::string_view temperatureField);

} // namespace vexa
