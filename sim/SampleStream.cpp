// The logger's 5-ms sample stream: what it sends after "x", when, and in which pieces.
#include "sim/SampleStream.h"

#include "sim/Motion.h"
#include "sim/StatusReport.h"

#include <algorithm>
#include <utility>

namespace vexa::sim {

namespace {
constexpr std::size_t kLargestBurst = 96;
constexpr int kLargestBurstGapMs = 10;
// Bytes that wait this long for the rest of their burst go out anyway, so a stream that pauses or stops
// does not keep its last samples back.
constexpr std::chrono::milliseconds kBurstFlush{50};
} // namespace

StreamValues StreamPattern(long k) {
    return {static_cast<int>(k & 0xFF), static_cast<int>((k >> 8) & 0xFF), 10 + static_cast<int>(k % 3)};
}

std::string GarbledSample(char kind, char lead) {
    switch (kind) {
    case 'n':
        return std::string(1, lead) + std::string(6, '\0') + "\r";
    case 'x':
        return std::string(1, lead) + "G1Z*FF\r";
    case 's':
        return std::string(1, lead) + "01F\r";
    default:
        return std::string(1, lead) + "01FF8101FF8101FF8101FF81\r";
    }
}

std::string SampleStream::Sample(long k) const {
    const std::string& kinds = options_.malformedKinds;
    if (options_.malformedEvery > 0 && k % options_.malformedEvery == 0 && !kinds.empty())
        return GarbledSample(kinds[std::size_t(k / options_.malformedEvery - 1) % kinds.size()],
                             options_.lead);
    StreamValues v = StreamPattern(k);
    if (options_.motion == Motion::Shocks) {
        const MotionValues m = ShockStream(k);
        v = {m.x, m.y, m.z};
    }
    std::string sample = StreamSample(v.x, v.y, v.z);
    sample[0] = options_.lead;
    return sample;
}

std::string SampleStream::NextSamples(int n) {
    std::string out;
    for (int i = 0; i < n; ++i)
        out += Sample(next_++);
    return out;
}

void SampleStream::Start(Clock::time_point now) {
    running_ = true;
    start_ = now;
    next_ = 1;
    handedOut_ = 0;
    waiting_.clear();
    ChooseBurst();
    burstAt_ = now;
}

std::string SampleStream::Stop() {
    constexpr std::size_t kSampleBytes = 8;
    const std::size_t cut = handedOut_ % kSampleBytes;
    std::string rest = running_ && cut != 0 ? waiting_.substr(0, kSampleBytes - cut) : std::string();
    running_ = false;
    waiting_.clear();
    return rest;
}

bool SampleStream::Paused(long k) const {
    return options_.pauseAfter >= 0 && k > options_.pauseAfter && options_.pauseMs < 0;
}

SampleStream::Clock::time_point SampleStream::DueAt(long k) const {
    if (Paused(k)) return Clock::time_point::max();
    auto at = start_ + k * std::chrono::microseconds(options_.periodUs);
    if (options_.pauseAfter >= 0 && k > options_.pauseAfter)
        at += std::chrono::milliseconds(options_.pauseMs);
    return at;
}

void SampleStream::ChooseBurst() {
    burst_ = std::uniform_int_distribution<std::size_t>(1, kLargestBurst)(random_);
}

std::string SampleStream::TakeDue(Clock::time_point now) {
    if (!running_) return {};
    const bool wasEmpty = waiting_.empty();
    while (!HangUpDue() && DueAt(next_) <= now)
        waiting_ += Sample(next_++);
    if (options_.burstSeed == 0) {
        handedOut_ += waiting_.size();
        return std::exchange(waiting_, {});
    }
    if (wasEmpty && !waiting_.empty()) waitingSince_ = now;
    const bool flush = !waiting_.empty() && now - waitingSince_ >= kBurstFlush;
    if ((waiting_.size() < burst_ && !flush) || now < burstAt_) return {};
    const std::size_t n = std::min(burst_, waiting_.size());
    std::string piece = waiting_.substr(0, n);
    waiting_.erase(0, n);
    handedOut_ += n;
    waitingSince_ = now;
    ChooseBurst();
    burstAt_ =
        now + std::chrono::milliseconds(std::uniform_int_distribution<int>(0, kLargestBurstGapMs)(random_));
    return piece;
}

SampleStream::Clock::time_point SampleStream::NextDue() const {
    if (!running_) return Clock::time_point::max();
    Clock::time_point due = HangUpDue() ? Clock::time_point::max() : DueAt(next_);
    if (options_.burstSeed != 0 && !waiting_.empty())
        due = std::min(due, waiting_.size() >= burst_ ? burstAt_
                                                      : std::max(burstAt_, waitingSince_ + kBurstFlush));
    return due;
}

} // namespace vexa::sim
