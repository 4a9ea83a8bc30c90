// The 8192-byte receive ring of an open port with the read-ahead accounting of notifications.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>

namespace vexa::serial {

// Not thread-safe: the dispatcher guards it with its input lock.
//
// Outside a notification GetChar removes bytes at once. During one, GetChar hands bytes out
// without removing them; EndNotification removes what was handed out, and the rest stays for the
// next notification, which the length rule allows only after further bytes arrived.
class DispatchBuffer {
  public:
    static constexpr std::size_t kSize = 8192;

    std::size_t Used() const { return used_; }
    bool Full() const { return used_ == kSize; }
    // Bytes a reader can still get: during a notification the handed-out ones count as read.
    std::size_t Unread() const { return used_ - (inNotification_ ? handedOut_ : 0); }
    std::optional<std::uint8_t> GetChar();
    // Appends every unread byte to out, as GetChar would hand them out one by one; answers their number.
    std::size_t GetBlock(std::string& out);
    // Discards everything received; during a notification by counting it all as handed out.
    void Flush();

    // Producer side: the contiguous free space at the write position, then how much was filled.
    std::span<std::uint8_t> WritableSpan();
    void Commit(std::size_t n);

    // The length rule: when bytes arrived since the last notification and at least triggerLength
    // (not 0) are unread, marks this point and answers the count to announce.
    std::optional<std::size_t> TakeAvailNotification(std::size_t triggerLength);
    void BeginNotification();
    // Removes the bytes handed out during the notification and answers their number.
    std::size_t EndNotification();
    bool InNotification() const { return inNotification_; }

  private:
    std::array<std::uint8_t, kSize> ring_{};
    std::size_t read_ = 0; // index of the oldest byte held
    std::size_t used_ = 0; // bytes held, read ahead or not
    std::size_t handedOut_ = 0;
    bool inNotification_ = false;
    // Totals rather than ring positions, so that exactly kSize new bytes still count as new.
    std::uint64_t received_ = 0;
    std::uint64_t receivedAtNotify_ = 0;
};

} // namespace vexa::serial
