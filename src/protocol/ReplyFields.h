// Field access in the logger's reply lines: the anchors after "=" and after the first space, bounded reads.
// Every accessor answers "not applicable" (an empty optional) instead of reading past the line's end.
#pragma once

#include <array>
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace vexa {

// Position just after the first "=" at or after position 1.
std::optional<std::size_t> AnchorV(std::string_view line);

// Position just after the first space at or after position 1.
std::optional<std::size_t> AnchorW(std::string_view line);

// The character at p, if the line has one.
std::optional<char> CharAt(std::string_view line, std::size_t p);

// The characters from p to the end of the line (empty when p is the line's length).
std::optional<std::string_view> TextFrom(std::string_view line, std::size_t p);

// Value texts of the three five-character groups that follow w + 2 in "@A" and "@F" replies: each is the
// group's first, fourth and fifth character. Nothing when the line ends before the third group does.
std::optional<std::array<std::string, 3>> GroupValues(std::string_view line, std::size_t w);

// "OFF" for the value " 00", "ON" for anything else.
std::string OffOnText(std::string_view value);

} // namespace vexa
