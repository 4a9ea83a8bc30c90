// A NUL-terminated character buffer of fixed capacity, as the link's queued commands use.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace vexa::session {

// Holds at most N - 1 characters; a longer assignment keeps the first N - 1 and drops the rest, so
// no assignment can run past the buffer. Reading past the text yields 0, like reading the terminator.
template <std::size_t N> class FixedText {
  public:
    static constexpr std::size_t Capacity = N - 1;

    FixedText() = default;
    FixedText(std::string_view s) { Assign(s); } // NOLINT: assignment from text reads naturally
    FixedText& operator=(std::string_view s) {
        Assign(s);
        return *this;
    }
    FixedText& operator=(const char* s) { return *this = std::string_view(s); }

    void Assign(std::string_view s) { text_.assign(s.substr(0, Capacity)); }
    void Clear() { text_.clear(); }
    bool Empty() const { return text_.empty(); }
    std::size_t Length() const { return text_.size(); }
    const std::string& Str() const { return text_; }
    char operator[](std::size_t i) const { return i < text_.size() ? text_[i] : '\0'; }
    bool operator==(std::string_view s) const { return text_ == s; }

  private:
    std::string text_;
};

} // namespace vexa::session
