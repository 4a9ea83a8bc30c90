// Internal helpers behind the error texts: the process-wide error table, system messages, raising.
#pragma once

#include <string>

class TAdStringResource;

namespace vexa::serial {

// The APRO_ERROR_STRINGS_ENGLISH table, opened on first use and kept for the life of the process.
const TAdStringResource& ErrorStrings();

// Control characters become blanks, then double blanks are reduced until none is left.
std::string CleanSystemMessage(std::string text);

// The operating system's message for an error number, in the form system messages take on Windows
// (ending in a line break, which the clean-up turns into one trailing blank); "" for unknown numbers.
std::string SystemErrorText(int number);

// Raises the exception for a negative code. A non-empty message replaces the table text (used
// where the layer knows more than the code says, e.g. which group owns a device).
[[noreturn]] void ThrowForCode(int code, const std::string& message = {});

} // namespace vexa::serial
