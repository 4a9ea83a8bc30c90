// A parcel on its way, as the "shocks" motion plays it: resting gravity on Z, a little vibration, and
// half-sine shocks now and then. Counts at 10 per G (the default range), signed 8-bit.
#pragma once

namespace vexa::sim {

struct MotionValues {
    int x = 0, y = 0, z = 0;
    int tempTenths = 0;
};

// Stored record i (from 0): rest with a count of noise, a shock of 3 to 8 G on a changing axis every 577
// records, and a slow temperature swing of ±6 °C around 20 °C.
MotionValues ShockRecord(long i);

// Streamed 5-ms sample k (from 1): 15 Hz on X (0.4 G), 40 Hz on Y (0.2 G), 1 G on Z with noise, and a
// 30-ms shock of 5 G on Z (2 G on X) every 10 s, the first after 5 s.
MotionValues ShockStream(long k);

} // namespace vexa::sim
