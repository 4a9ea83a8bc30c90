// Local time texts of the command line.
#include "cli/LocalTime.h"

#include "protocol/LocalTime.h"

#include <ctime>

namespace vexa::cli {

std::string NowText() {
    const std::time_t now = std::time(nullptr);
    const std::tm local = vexa::LocalTimeOf(now);
    char text[32];
    const std::size_t n = std::strftime(text, sizeof text, "%Y/%m/%d %H:%M:%S", &local);
    return std::string(text, n);
}

} // namespace vexa::cli
