// Encodes the logger's stored records as the hexadecimal record lines of a download, and generates a memory.
#pragma once

#include "sim/SimTypes.h"

#include <optional>
#include <string>
#include <vector>

namespace vexa::sim {

// 20 characters, or 21 with the thousandths digit when extraDigitMode is set.
std::string EncodeRecord(const SimRecord& r, bool extraDigitMode);
// 16 (no hundredths/extra), 18 (no extra), 20 or 21 characters.
std::string EncodeRecord(const SimRecord& r, int length);

// Seconds per record for a recording-interval code letter; nullopt for a letter that is not a code.
std::optional<int> IntervalSeconds(char code);
// True for the sampling codes A-F, which add a thousandths digit to each record.
bool IsMillisecondSampling(char code);
// Milliseconds between records in a millisecond sampling mode (5, 2 or 1), 0 otherwise.
int SamplingStepMs(char code);
bool IsSamplingCode(char code);

// The record memory: count records from config.start at the configured interval (or the sampling step in a
// millisecond mode), with year roll-over and irregular records as requested.
std::vector<SimRecord> GenerateRecords(const SimConfig& config);

} // namespace vexa::sim
