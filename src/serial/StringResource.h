// The serial layer's string tables (STR0 layout, UTF-16LE texts) and their loader, TAdStringResource.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace vexa::serial {

// The tables built into the library at build time (APRO_ERROR_STRINGS_ENGLISH, ADSRMGR_STRINGS);
// defined in the generated ErrorStringTables.cpp.
std::optional<std::span<const std::uint8_t>> FindEmbeddedResource(std::string_view name);

} // namespace vexa::serial

// A read-only view of one STR0 table. Construction checks the layout and raises
// ETpsStringResourceError with the loader's own messages when the table is missing or damaged.
// Texts come out in the narrow encoding of this platform (UTF-8); absent identifiers give "".
class TAdStringResource {
  public:
    // Opens the embedded table of that name.
    explicit TAdStringResource(std::string_view resourceName);
    // Opens a table held in memory (the bytes must outlive the object).
    TAdStringResource(std::string_view resourceName, std::span<const std::uint8_t> data);

    std::string GetString(std::uint32_t id) const;
    // The text shortened by whole characters until it fits in size - 1 bytes, zero-terminated.
    char* GetAsciiZ(std::uint32_t id, char* buffer, std::size_t size) const;
    // The UTF-16 text, at most size - 1 units, zero-terminated.
    char16_t* GetWideChar(std::uint32_t id, char16_t* buffer, std::size_t size) const;

    std::uint32_t Count() const { return count_; }

  private:
    std::optional<std::u16string> Find(std::uint32_t id) const;
    void Validate(std::string_view resourceName);

    std::span<const std::uint8_t> data_;
    std::uint32_t count_ = 0;
};

namespace vexa::serial {

// UTF-16 to UTF-8; unpaired surrogates become U+FFFD.
std::string Utf16ToUtf8(std::u16string_view text);
// Cuts a UTF-8 text to at most maxBytes bytes without splitting a character.
std::string TruncateUtf8(std::string text, std::size_t maxBytes);

} // namespace vexa::serial
