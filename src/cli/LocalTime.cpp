// Local time texts of the command line.
#include "cli/LocalTime.h"

#include <ctime>

namespace vexa::cli {

std::string NowText() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
#ifdef _WIN32
    localtime_s(&local, &now);
#else
    localtime_r(&now, &local);
#endif
    char text[32];
    const std::size_t n = std::strftime(text, sizeof text, "%Y/%m/%d %H:%M:%S", &local);
    return std::string(text, n);
}

} // namespace vexa::cli
