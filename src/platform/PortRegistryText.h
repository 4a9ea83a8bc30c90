// Small text helpers shared by the port registry readers.
#pragma once

#include <string_view>

// Drops blanks, tabs and line-end characters at both ends.
std::string_view TrimBlanks(std::string_view text);

// ASCII case-insensitive comparison, the way registry key and value names compare.
bool EqualsIgnoreCase(std::string_view a, std::string_view b);
