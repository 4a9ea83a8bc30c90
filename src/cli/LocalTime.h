// This computer's local time as the logger's commands write it.
#pragma once

#include <string>

namespace vexa::cli {

// "yyyy/mm/dd hh:mm:ss", as the window's clock text (the argument of "s", a capture's start).
std::string NowText();

} // namespace vexa::cli
