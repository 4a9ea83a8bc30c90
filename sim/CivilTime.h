// Calendar arithmetic for the simulated logger's clock and record times (proleptic Gregorian, no time zone).
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace vexa::sim {

struct CivilTime {
    int year = 2024, month = 1, day = 1, hour = 0, minute = 0, second = 0;
};

std::int64_t DaysFromCivil(int y, int m, int d);
// Seconds since 1970-01-01 00:00:00 for a civil time, and back.
std::int64_t ToEpochSeconds(const CivilTime& t);
CivilTime FromEpochSeconds(std::int64_t s);
// Parses exactly "yyyy/mm/dd hh:mm:ss" with a valid calendar date; nothing else.
std::optional<CivilTime> ParseDateTime(const std::string& text);
std::string FormatDateTime(const CivilTime& t);

} // namespace vexa::sim
