// Output ring of an open port.
#include "serial/OutputRing.h"

#include <algorithm>

namespace vexa::serial {

bool OutputRing::Put(std::span<const std::uint8_t> bytes) {
    if (bytes.size() > ring_.size() - used_) return false;
    const std::size_t write = ring_.empty() ? 0 : (read_ + used_) % ring_.size();
    const std::size_t first = std::min(bytes.size(), ring_.size() - write);
    std::copy_n(bytes.begin(), first, ring_.begin() + static_cast<std::ptrdiff_t>(write));
    std::copy(bytes.begin() + static_cast<std::ptrdiff_t>(first), bytes.end(), ring_.begin());
    used_ += bytes.size();
    return true;
}

std::span<const std::uint8_t> OutputRing::Pending() const {
    if (used_ == 0) return {};
    return {ring_.data() + read_, std::min(used_, ring_.size() - read_)};
}

void OutputRing::Advance(std::size_t n, std::uint64_t takenInGeneration) {
    // A ring of capacity 0 (OutSize 0) never holds anything, so there is nothing to advance over.
    if (takenInGeneration != generation_ || ring_.empty()) return;
    n = std::min(n, used_);
    read_ = (read_ + n) % ring_.size();
    used_ -= n;
    if (used_ == 0) read_ = 0;
}

void OutputRing::Clear() {
    read_ = used_ = 0;
    ++generation_;
}

} // namespace vexa::serial
