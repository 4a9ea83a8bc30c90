// The calendar time of the computer's time zone: the one place that tells the C libraries' thread-safe
// conversions apart (POSIX localtime_r, the Windows C library's localtime_s with its arguments swapped).
#pragma once

#include <ctime>

namespace vexa {

inline std::tm LocalTimeOf(std::time_t when) {
    std::tm local{};
#ifdef _WIN32
    localtime_s(&local, &when);
#else
    localtime_r(&when, &local);
#endif
    return local;
}

} // namespace vexa
