// Builds the logger's answer lines: the status report, the record count, the monitor line and stream samples.
#include "sim/StatusReport.h"

#include <cstdio>
#include <cstdlib>

namespace vexa::sim {

namespace {
template <typename... Args> std::string Format(const char* fmt, Args... args) {
    char buf[256];
    std::snprintf(buf, sizeof buf, fmt, args...);
    return buf;
}

std::string Groups(const char* head, int a, int b, int c) {
    return std::string(head) + Group(a) + "," + Group(b) + "," + Group(c) + ",";
}
} // namespace

std::string Group(int value) {
    int magnitude = std::abs(value);
    if (magnitude > 9999) magnitude = 9999;
    return Format("%c%04d", value < 0 ? '-' : ' ', magnitude);
}

std::vector<std::string> StatusReportLines(const SimSettings& s, int recordCount, int firstYear) {
    std::vector<std::string> lines;
    lines.push_back(s.modelLine);
    // "@A" comes twice: with "h" the hazard value and the gravity/endless switches, without it the
    // 100 Hz switch and the display and DF values.
    lines.push_back(Groups("@A h:", s.hazard, s.gravity, s.endless));
    lines.push_back(Groups("@A n:", s.hz100, s.display, s.df));
    lines.push_back(Groups("@F f:", s.fx, s.fy, s.fz));
    lines.push_back(Format("@B=BUZ %d", s.buzzerDigit));
    lines.push_back(CountLine(recordCount));
    lines.push_back("@d=" + s.threshold);
    lines.push_back(Format("@G=0 DR%d LCD%d BLE%d B%d N%02d", s.dataRate, s.lcd, s.ble, s.bMode, s.nField));
    lines.push_back(Format("@g=%c RANGE %s", s.countsCode == "50" ? '5' : '0', s.countsCode.c_str()));
    lines.push_back(Format("@I=%c", s.samplingCode));
    lines.push_back("@K=ID " + s.idText);
    lines.push_back(Format("@L=LVL%d", s.level));
    lines.push_back(Format("@M=N0%03d", s.deviceId));
    lines.push_back(Format("@R=%c", s.intervalCode));
    lines.push_back(Format("@r=R%d", s.rec));
    std::string start = Format("@s=REC %d", s.recording ? 1 : 0);
    if (!s.reservation.empty()) start += " RSV " + s.reservation;
    lines.push_back(start);
    lines.push_back("@T=RNG" + s.countsCode);
    lines.push_back(Format("@W=DET %d", s.thresholdDetect ? 1 : 0));
    lines.push_back(Format("@w=W%02d", s.wait));
    lines.push_back(Format("@Y=%d", firstYear));
    return lines;
}

std::string CountLine(int count) { return Format("@C= %d %d", count, kRecordCapacity); }

std::string MonitorLine(const SimSettings& s) {
    std::string line = Format("X:%5d Y:%5d Z:%5d", s.monitorX, s.monitorY, s.monitorZ);
    line.resize(30, ' ');
    const int t = s.monitorTempTenths;
    // The temperature starts at offset 32 without padding ("23.5", "-12.5", "-0.4"): the capture's
    // temperature field reads five characters there and moves a value without a minus one place right.
    line += Format("p %s%d.%d", t < 0 ? "-" : "", std::abs(t) / 10, std::abs(t) % 10);
    return line;
}

std::string StreamSample(int x, int y, int z) {
    return Format("S%02X%02X%02X\r", static_cast<unsigned>(x) & 0xFF, static_cast<unsigned>(y) & 0xFF,
                  static_cast<unsigned>(z) & 0xFF);
}

} // namespace vexa::sim
