// This computer's local time as the logger's commands and the capture's lines write it.
#pragma once

#include <string>

namespace vexa::cli {

// "yyyy/mm/dd hh:mm:ss", as the window's clock text (the argument of "s", a capture's start).
std::string NowText();
// The date and time in the system's own short formats, as a capture's "End=>" line carries them.
std::string SystemDateTimeText();

} // namespace vexa::cli
