// Local time texts of the command line.
#include "cli/LocalTime.h"

#include <clocale>
#include <ctime>

namespace vexa::cli {

namespace {
std::tm LocalNow() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
#ifdef _WIN32
    localtime_s(&local, &now);
#else
    localtime_r(&now, &local);
#endif
    return local;
}

std::string Format(const char* format, const std::tm& when) {
    char text[128];
    const std::size_t n = std::strftime(text, sizeof text, format, &when);
    return std::string(text, n);
}
} // namespace

std::string NowText() {
    return Format("%Y/%m/%d %H:%M:%S", LocalNow());
}

std::string SystemDateTimeText() {
    // Only the time formats follow the user's locale; numbers in the output stay as C writes them.
    std::setlocale(LC_TIME, "");
    const std::string text = Format("%x %X", LocalNow());
    std::setlocale(LC_TIME, "C");
    return text;
}

} // namespace vexa::cli
