// The 5-ms capture: decoding of streamed samples and the text lines written after the stream ends.
#include "protocol/CaptureFormat.h"

#include "protocol/IntegerConversion.h"

#include <algorithm>
#include <cstdio>

namespace vexa {

int CaptureSecondsFromText(std::string_view text) {
    int seconds = kCaptureDefaultSeconds;
    try {
        seconds = StrictToInt(text);
    } catch (const EConvertError&) {
        // Not a number: the default duration, without a message.
    }
    return std::clamp(seconds, kCaptureMinSeconds, kCaptureMaxSeconds);
}

std::string CaptureStartLine(std::string_view startText, int countsPerG) {
    return "Start Time=" + std::string(startText) + " @1G=" + std::to_string(countsPerG);
}

std::string CaptureEndLine(std::string_view endText) { return "End=>" + std::string(endText); }

int LenientHexDigit(char c) {
    const int code = static_cast<unsigned char>(c);
    if (code >= 'a')
        return code - 87;
    if (code >= 'A')
        return code - 55;
    return code - 48;
}

std::int8_t HexPairToSigned8(char high, char low) {
    const int value = 16 * LenientHexDigit(high) + LenientHexDigit(low);
    // Keep the low eight bits, as the logger's byte would be.
    return static_cast<std::int8_t>(static_cast<std::uint8_t>(value & 0xFF));
}

CaptureSample DecodeCaptureRecord(std::string_view record) {
    const auto at = [&](std::size_t i) { return i < record.size() ? record[i] : '0'; };
    return {HexPairToSigned8(at(1), at(2)), HexPairToSigned8(at(3), at(4)), HexPairToSigned8(at(5), at(6))};
}

std::string CaptureTimePrefix(std::string_view startText) {
    constexpr std::size_t HourPos = 11, PrefixLength = 17;
    std::string text(startText);
    if (text.size() > 12 && text[12] == ':')
        text.insert(HourPos, 1, ' ');
    return text.substr(0, PrefixLength);
}

std::string CaptureTemperatureField(std::string_view answerLine) {
    constexpr std::size_t Offset = 32, Width = 5;
    char field[Width];
    for (std::size_t k = 0; k < Width; ++k)
        field[k] = Offset + k < answerLine.size() ? answerLine[Offset + k] : ' ';
    if (field[0] != '-') {
        for (std::size_t k = Width - 1; k > 0; --k)
            field[k] = field[k - 1];
        field[0] = ' ';
    }
    return std::string(field, Width);
}

std::string CaptureSampleLine(std::string_view timePrefix, int i, const CaptureSample& sample,
                              std::string_view temperatureField) {
    const int elapsed = i * 5;
    char middle[64];
    const int n = std::snprintf(middle, sizeof middle, "%.2d.%.3d,%3d,%3d,%3d,", elapsed / 1000, elapsed % 1000,
                                sample.x, sample.y, sample.z);
    std::string line;
    line.reserve(timePrefix.size() + static_cast<std::size_t>(n) + temperatureField.size());
    line.append(timePrefix).append(middle, static_cast<std::size_t>(n)).append(temperatureField);
    return line;
}

} // namespace vexa
