// The logger's 5-ms sample stream: what it sends after "x", when, and in which pieces.
#pragma once

#include "sim/SimTypes.h"

#include <chrono>
#include <cstdint>
#include <random>
#include <string>

namespace vexa::sim {

struct StreamValues {
    int x = 0, y = 0, z = 0;
};

// The default pattern: sample k (from 1) carries k in X (low byte) and Y (next byte), so a reader can
// tell a missing, doubled or reordered sample; Z stays near 1 G with a small ripple.
StreamValues StreamPattern(long k);

// A garbled sample of one kind, ending in CR like a good one: 'n' NUL bytes in place of the digits, 'x'
// characters that are no hexadecimal digits, 's' too few digits, 'l' more digits than any record holds.
std::string GarbledSample(char kind, char lead);

class SampleStream {
  public:
    using Clock = std::chrono::steady_clock;

    explicit SampleStream(StreamOptions options) : options_(options), random_(options.burstSeed) {}

    void Start(Clock::time_point now);
    // Ends the stream; returns the rest of a sample that was cut by a burst, which a logger finishes
    // before it answers.
    std::string Stop();
    // The next n samples of the stream, whenever they would fall due (those still on their way at a stop).
    std::string NextSamples(int n);
    bool Running() const { return running_; }

    // Bytes to send now: every sample that has fallen due (in one piece), or with random bursts the
    // next piece of a randomly chosen size once that many bytes are waiting.
    std::string TakeDue(Clock::time_point now);
    // When TakeDue may next have something; time_point::max() when nothing is scheduled.
    Clock::time_point NextDue() const;
    // Nothing generated is still held back for a burst.
    bool Drained() const { return waiting_.empty(); }
    // Samples generated since the last Start.
    long SamplesSent() const { return next_ - 1; }
    // True once the configured hang-up point has been reached (the logger should vanish now).
    bool HangUpDue() const { return options_.hangupAfter >= 0 && SamplesSent() >= options_.hangupAfter; }

  private:
    Clock::time_point DueAt(long k) const;
    // Sample k as it goes out (good, or garbled as the options ask).
    std::string Sample(long k) const;
    bool Paused(long k) const;
    void ChooseBurst();

    StreamOptions options_;
    std::mt19937 random_;
    bool running_ = false;
    Clock::time_point start_;
    long next_ = 1; // index of the next sample to generate
    std::string waiting_;
    std::size_t burst_ = 0;
    std::size_t handedOut_ = 0; // bytes given out since Start
    Clock::time_point burstAt_;
    Clock::time_point waitingSince_;
};

} // namespace vexa::sim
