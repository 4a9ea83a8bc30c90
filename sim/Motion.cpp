// The "shocks" motion of records and stream.
#include "sim/Motion.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <numbers>

namespace vexa::sim {

namespace {

// -1, 0 or 1, fixed for each (index, axis): the same memory gives the same download every time.
int Noise(long i, int axis) {
    std::uint32_t h = std::uint32_t(i) * 2654435761u + std::uint32_t(axis) * 40503u;
    h ^= h >> 13;
    h *= 0x5bd1e995u;
    h ^= h >> 15;
    return int(h % 3) - 1;
}

int Count(double v) {
    return std::clamp(int(std::lround(v)), -128, 127);
}

// Height of a half-sine pulse of `width` samples at its sample k.
double HalfSine(double height, long k, long width) {
    return height * std::sin(std::numbers::pi * double(k + 1) / double(width + 1));
}

} // namespace

MotionValues ShockRecord(long i) {
    MotionValues v{Noise(i, 0), Noise(i, 1), 10 + Noise(i, 2), 0};
    v.tempTenths = 200 + int(std::lround(60 * std::sin(2 * std::numbers::pi * double(i) / 7200)));
    const long period = 577, n = i / period, k = i % period - 100;
    const long width = 3 + n % 5;
    if (k >= 0 && k < width) {
        const double height = 30 + double((n * 13) % 51); // 3.0 .. 8.0 G
        const double pulse = (n % 2 ? -1 : 1) * HalfSine(height, k, width);
        int& axis = n % 3 == 0 ? v.x : n % 3 == 1 ? v.y : v.z;
        axis = Count(axis + pulse);
    }
    return v;
}

MotionValues ShockStream(long k) {
    const double t = double(k) * 0.005;
    MotionValues v;
    v.x = Count(4 * std::sin(2 * std::numbers::pi * 15 * t)) + Noise(k, 0);
    v.y = Count(2 * std::sin(2 * std::numbers::pi * 40 * t + 1)) + Noise(k, 1);
    v.z = 10 + Noise(k, 2);
    const long at = k % 2000 - 1000;
    if (at >= 0 && at < 6) {
        v.z = Count(v.z + HalfSine(50, at, 6));
        v.x = Count(v.x + HalfSine(20, at, 6));
    }
    return v;
}

} // namespace vexa::sim
