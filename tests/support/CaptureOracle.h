// What a 5-ms capture of the simulated logger must give: each sample line worked out from the stream
// pattern the simulator sends, with the capture's time stamps and temperature field.
#pragma once

#include "protocol/CaptureFormat.h"
#include "sim/SampleStream.h"

#include <cstdint>
#include <string>

namespace oracle {

// The line of sample i (1-based) of the simulator's stream.
inline std::string CaptureLine(const vexa::CaptureTimeStamps& stamps, int i, const std::string& temperature) {
    const auto v = vexa::sim::StreamPattern(i);
    // The record carries each axis as a signed byte.
    const auto s8 = [](int x) { return int(static_cast<std::int8_t>(static_cast<std::uint8_t>(x & 0xFF))); };
    return vexa::CaptureSampleLine(stamps, i, {s8(v.x), s8(v.y), s8(v.z)}, temperature);
}

} // namespace oracle
