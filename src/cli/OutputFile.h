// The files download and capture write: checked before the logger is asked, written atomically, and
// named *.partial.csv when the link was cut.
#pragma once

#include "recording/Recording.h"

#include <string>

namespace vexa::cli {

// "data.csv" -> "data.partial.csv"; a name without ".csv" at its end gets ".partial.csv" appended.
std::string PartialName(const std::string& path);

// Fails with kExitUsage when no file could be written at path (no folder, no permission, a folder or a
// device standing there), so that nothing is fetched from the logger only to be lost.
void CheckOutputFile(const std::string& path);

// The recording's lines, each ended by CR LF, written atomically. Fails with kExitUsage naming the cause.
void WriteRecording(const std::string& path, const vexa::Recording& recording);

} // namespace vexa::cli
