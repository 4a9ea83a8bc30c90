// Fuzz target: the monitor's accumulated answer text through the axis and temperature scan.
#include "protocol/LineBuffer.h"
#include "protocol/MonitorLine.h"
#include "tests/fuzz/FuzzCheck.h"

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace {

void CheckAxis(const std::optional<vexa::AxisReading>& axis) {
    if (!axis) return;
    FUZZ_CHECK(axis->text.size() <= 5);
    if (axis->barPosition) FUZZ_CHECK(*axis->barPosition >= 0 && *axis->barPosition <= 40);
}

void Check(std::string_view buffer) {
    const vexa::MonitorScan scan = vexa::ScanMonitorLines(buffer);
    CheckAxis(scan.x);
    CheckAxis(scan.y);
    CheckAxis(scan.z);
    if (scan.temperatureText) FUZZ_CHECK(scan.temperatureText->size() < buffer.size());
    // A reading is found exactly when its letter occurs.
    FUZZ_CHECK(scan.x.has_value() == (buffer.find('X') != std::string_view::npos));
    FUZZ_CHECK(scan.temperatureText.has_value() == (buffer.find('p') != std::string_view::npos));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view buffer(reinterpret_cast<const char*>(data), size);
    Check(buffer);
    Check(vexa::LineBuffer(buffer).view());
    return 0;
}
