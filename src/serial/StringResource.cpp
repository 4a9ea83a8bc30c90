// Loader and lookup of STR0 string tables (binary search over sorted ids, UTF-16LE texts).
#include "serial/StringResource.h"

#include "serial/Exceptions.h"

#include <algorithm>
#include <cstring>

namespace vexa::serial {
namespace {

std::uint32_t Read32(std::span<const std::uint8_t> d, std::size_t at) {
    return static_cast<std::uint32_t>(d[at]) | static_cast<std::uint32_t>(d[at + 1]) << 8 |
           static_cast<std::uint32_t>(d[at + 2]) << 16 | static_cast<std::uint32_t>(d[at + 3]) << 24;
}

// The number of entries when the bytes hold a well-formed STR0 table: magic, entries inside the
// data, texts inside the data, ids ascending (binary search relies on it).
std::optional<std::uint32_t> CheckLayout(std::span<const std::uint8_t> d) {
    if (d.size() < 8 || std::memcmp(d.data(), "STR0", 4) != 0) return std::nullopt;
    const std::uint32_t count = Read32(d, 4);
    if (count > (d.size() - 8) / 12) return std::nullopt;
    for (std::uint32_t i = 0; i < count; ++i) {
        const std::size_t at = 8 + 12 * std::size_t{i};
        const std::uint64_t offset = Read32(d, at + 4), units = Read32(d, at + 8);
        if (offset + 2 * units > d.size() || (i > 0 && Read32(d, at) <= Read32(d, at - 12)))
            return std::nullopt;
    }
    return count;
}

// The loader's messages come from its own table; "%s" or "%d" takes the argument.
std::string LoaderMessage(std::uint32_t id, std::string_view arg = {}) {
    std::string text;
    auto table = FindEmbeddedResource("ADSRMGR_STRINGS");
    if (table && CheckLayout(*table)) text = TAdStringResource("ADSRMGR_STRINGS", *table).GetString(id);
    for (const char* placeholder : {"%s", "%d"})
        if (auto at = text.find(placeholder); at != std::string::npos) {
            text.replace(at, 2, arg);
            break;
        }
    return text;
}

} // namespace

std::string Utf16ToUtf8(std::u16string_view text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        char32_t cp = text[i];
        if (cp >= 0xD800 && cp <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 &&
            text[i + 1] <= 0xDFFF) {
            cp = 0x10000 + ((cp - 0xD800) << 10) + (text[++i] - 0xDC00);
        } else if (cp >= 0xD800 && cp <= 0xDFFF) {
            cp = 0xFFFD;
        }
        if (cp < 0x80) {
            out.push_back(static_cast<char>(cp));
        } else if (cp < 0x800) {
            out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
            out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
        } else if (cp < 0x10000) {
            out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
            out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
        } else {
            out.push_back(static_cast<char>(0xF0 | (cp >> 18)));
            out.push_back(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
        }
    }
    return out;
}

std::string TruncateUtf8(std::string text, std::size_t maxBytes) {
    if (text.size() <= maxBytes) return text;
    std::size_t cut = maxBytes;
    // Step back over continuation bytes so the cut falls before a whole character.
    while (cut > 0 && (static_cast<unsigned char>(text[cut]) & 0xC0) == 0x80)
        --cut;
    text.resize(cut);
    return text;
}

} // namespace vexa::serial

using vexa::serial::LoaderMessage;

TAdStringResource::TAdStringResource(std::string_view resourceName) {
    auto table = vexa::serial::FindEmbeddedResource(resourceName);
    if (!table) throw ETpsStringResourceError(LoaderMessage(3, resourceName));
    data_ = *table;
    Validate(resourceName);
}

TAdStringResource::TAdStringResource(std::string_view resourceName, std::span<const std::uint8_t> data)
    : data_(data) {
    Validate(resourceName);
}

void TAdStringResource::Validate(std::string_view resourceName) {
    if (data_.empty()) throw ETpsStringResourceError(LoaderMessage(4, resourceName));
    const auto count = vexa::serial::CheckLayout(data_);
    if (!count) throw ETpsStringResourceError(LoaderMessage(5));
    count_ = *count;
}

std::optional<std::u16string> TAdStringResource::Find(std::uint32_t id) const {
    using vexa::serial::Read32;
    std::uint32_t lo = 0, hi = count_;
    while (lo < hi) {
        const std::uint32_t mid = lo + (hi - lo) / 2;
        const std::size_t at = 8 + 12 * std::size_t{mid};
        const std::uint32_t midId = Read32(data_, at);
        if (midId < id) {
            lo = mid + 1;
        } else if (midId > id) {
            hi = mid;
        } else {
            const std::size_t offset = Read32(data_, at + 4), units = Read32(data_, at + 8);
            std::u16string text(units, u'\0');
            for (std::size_t k = 0; k < units; ++k)
                text[k] = static_cast<char16_t>(data_[offset + 2 * k] | data_[offset + 2 * k + 1] << 8);
            return text;
        }
    }
    return std::nullopt;
}

std::string TAdStringResource::GetString(std::uint32_t id) const {
    auto text = Find(id);
    return text ? vexa::serial::Utf16ToUtf8(*text) : std::string();
}

char* TAdStringResource::GetAsciiZ(std::uint32_t id, char* buffer, std::size_t size) const {
    if (size == 0) return buffer;
    const std::string text = vexa::serial::TruncateUtf8(GetString(id), size - 1);
    std::memcpy(buffer, text.data(), text.size());
    buffer[text.size()] = '\0';
    return buffer;
}

char16_t* TAdStringResource::GetWideChar(std::uint32_t id, char16_t* buffer, std::size_t size) const {
    if (size == 0) return buffer;
    const std::u16string text = Find(id).value_or(std::u16string());
    const std::size_t n = std::min(text.size(), size - 1);
    std::copy_n(text.begin(), n, buffer);
    buffer[n] = u'\0';
    return buffer;
}
