// Receive ring and read-ahead accounting of an open port.
#include "serial/DispatchBuffer.h"

#include <algorithm>

namespace vexa::serial {

std::optional<std::uint8_t> DispatchBuffer::GetChar() {
    if (Unread() == 0) return std::nullopt;
    if (inNotification_) return ring_[(read_ + handedOut_++) % kSize];
    const std::uint8_t byte = ring_[read_];
    read_ = (read_ + 1) % kSize;
    --used_;
    return byte;
}

std::size_t DispatchBuffer::GetBlock(std::string& out) {
    const std::size_t n = Unread();
    const std::size_t start = (read_ + (inNotification_ ? handedOut_ : 0)) % kSize;
    const std::size_t first = std::min(n, kSize - start);
    const char* ring = reinterpret_cast<const char*>(ring_.data());
    out.append(ring + start, first);
    out.append(ring, n - first);
    if (inNotification_) {
        handedOut_ += n;
    } else {
        read_ = (read_ + n) % kSize;
        used_ -= n;
    }
    return n;
}

void DispatchBuffer::Flush() {
    if (inNotification_) {
        handedOut_ = used_;
    } else {
        read_ = (read_ + used_) % kSize;
        used_ = 0;
    }
}

std::span<std::uint8_t> DispatchBuffer::WritableSpan() {
    const std::size_t write = (read_ + used_) % kSize;
    const std::size_t contiguous = std::min(kSize - used_, kSize - write);
    return {ring_.data() + write, contiguous};
}

void DispatchBuffer::Commit(std::size_t n) {
    used_ += n;
    received_ += n;
}

std::optional<std::size_t> DispatchBuffer::TakeAvailNotification(std::size_t triggerLength) {
    if (triggerLength == 0 || received_ == receivedAtNotify_ || Unread() < triggerLength) return std::nullopt;
    receivedAtNotify_ = received_;
    return Unread();
}

void DispatchBuffer::BeginNotification() {
    inNotification_ = true;
    handedOut_ = 0;
}

std::size_t DispatchBuffer::EndNotification() {
    const std::size_t consumed = handedOut_;
    read_ = (read_ + consumed) % kSize;
    used_ -= consumed;
    handedOut_ = 0;
    inNotification_ = false;
    return consumed;
}

} // namespace vexa::serial
