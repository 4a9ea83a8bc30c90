// Fixed-size received-line buffer: 127 characters, always NUL-terminated, never written past its end.
#pragma once

#include <array>
#include <cstddef>
#include <string_view>

namespace vexa {

class LineBuffer {
  public:
    static constexpr std::size_t Capacity = 127;

    LineBuffer() = default;
    explicit LineBuffer(std::string_view text) { assign(text); }

    std::string_view view() const { return {chars_.data(), length_}; }
    std::size_t size() const { return length_; }
    bool empty() const { return length_ == 0; }
    bool full() const { return length_ == Capacity; }

    // Appends one character; a full buffer refuses it and answers false.
    bool push_back(char c) {
        if (full())
            return false;
        chars_[length_++] = c;
        chars_[length_] = '\0';
        return true;
    }

    // Replaces the contents; text beyond the capacity is cut off.
    void assign(std::string_view text) {
        length_ = text.size() < Capacity ? text.size() : Capacity;
        text.copy(chars_.data(), length_);
        chars_[length_] = '\0';
    }

    void clear() { assign({}); }

    // Raw access for in-place rewriting: the storage holds Capacity + 1 bytes; call resize afterwards.
    char* data() { return chars_.data(); }
    static constexpr std::size_t StorageSize = Capacity + 1;
    void resize(std::size_t n) {
        length_ = n < Capacity ? n : Capacity;
        chars_[length_] = '\0';
    }

  private:
    std::array<char, Capacity + 1> chars_{};
    std::size_t length_ = 0;
};

} // namespace vexa
