// The output ring of an open port: bytes queued by the UI until the output thread writes them.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace vexa::serial {

// Not thread-safe: the dispatcher guards it with its output lock.
class OutputRing {
  public:
    explicit OutputRing(std::size_t capacity) : ring_(capacity) {}

    std::size_t Capacity() const { return ring_.size(); }
    std::size_t Used() const { return used_; }
    bool Full() const { return used_ == ring_.size(); }
    // All or nothing: false (nothing queued) when the bytes do not fit in the free space.
    bool Put(std::span<const std::uint8_t> bytes);
    // The oldest queued bytes that lie in one piece.
    std::span<const std::uint8_t> Pending() const;
    // Marks n bytes of Pending() as written, unless Clear ran since that piece was taken.
    void Advance(std::size_t n, std::uint64_t takenInGeneration);
    void Clear();
    // Changes at every Clear, so a write that raced with a flush does not advance the new content.
    std::uint64_t Generation() const { return generation_; }

  private:
    std::vector<std::uint8_t> ring_;
    std::size_t read_ = 0;
    std::size_t used_ = 0;
    std::uint64_t generation_ = 0;
};

} // namespace vexa::serial
