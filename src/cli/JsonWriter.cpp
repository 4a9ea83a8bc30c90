// The JSON the command line prints with --json.
#include "cli/JsonWriter.h"

#include <cmath>
#include <cstdio>

namespace vexa::cli {

namespace {

// Length of the valid UTF-8 sequence starting at s[i], or 0 when there is none (overlong forms,
// surrogates and code points beyond U+10FFFF are invalid).
std::size_t Utf8Length(std::string_view s, std::size_t i) {
    const auto byte = [&](std::size_t k) { return static_cast<unsigned char>(s[k]); };
    const unsigned char b = byte(i);
    std::size_t n = 0;
    unsigned char low = 0x80, high = 0xBF;
    if (b < 0x80) return 1;
    if (b >= 0xC2 && b <= 0xDF)
        n = 2;
    else if (b >= 0xE0 && b <= 0xEF) {
        n = 3;
        if (b == 0xE0) low = 0xA0;
        if (b == 0xED) high = 0x9F;
    } else if (b >= 0xF0 && b <= 0xF4) {
        n = 4;
        if (b == 0xF0) low = 0x90;
        if (b == 0xF4) high = 0x8F;
    } else
        return 0;
    if (i + n > s.size()) return 0;
    if (byte(i + 1) < low || byte(i + 1) > high) return 0;
    for (std::size_t k = 2; k < n; ++k)
        if (byte(i + k) < 0x80 || byte(i + k) > 0xBF) return 0;
    return n;
}

} // namespace

std::string JsonString(std::string_view s) {
    std::string out = "\"";
    out.reserve(s.size() + 2);
    for (std::size_t i = 0; i < s.size();) {
        const unsigned char c = static_cast<unsigned char>(s[i]);
        if (c >= 0x80) {
            const std::size_t n = Utf8Length(s, i);
            if (n == 0) {
                out += "\xEF\xBF\xBD";
                ++i;
            } else {
                out.append(s.substr(i, n));
                i += n;
            }
            continue;
        }
        ++i;
        switch (c) {
        case '"':
            out += "\\\"";
            break;
        case '\\':
            out += "\\\\";
            break;
        case '\n':
            out += "\\n";
            break;
        case '\r':
            out += "\\r";
            break;
        case '\t':
            out += "\\t";
            break;
        default:
            if (c < 0x20 || c == 0x7F) {
                char escaped[8];
                std::snprintf(escaped, sizeof escaped, "\\u%04x", c);
                out += escaped;
            } else {
                out += char(c);
            }
        }
    }
    return out + "\"";
}

JsonObject& JsonObject::Member(std::string_view key, std::string value) {
    members_.emplace_back(std::string(key), std::move(value));
    return *this;
}

JsonObject& JsonObject::String(std::string_view key, std::string_view utf8) {
    return Member(key, JsonString(utf8));
}

JsonObject& JsonObject::Integer(std::string_view key, std::int64_t value) {
    return Member(key, std::to_string(value));
}

JsonObject& JsonObject::IntegerOrNull(std::string_view key, std::optional<std::int64_t> value) {
    return value ? Integer(key, *value) : Null(key);
}

JsonObject& JsonObject::Decimal(std::string_view key, double value, int decimals) {
    if (!std::isfinite(value)) return Null(key);
    char text[64];
    std::snprintf(text, sizeof text, "%.*f", decimals, value);
    return Member(key, text);
}

JsonObject& JsonObject::Boolean(std::string_view key, bool value) {
    return Member(key, value ? "true" : "false");
}

JsonObject& JsonObject::Null(std::string_view key) {
    return Member(key, "null");
}

JsonObject& JsonObject::Raw(std::string_view key, std::string_view json) {
    return Member(key, std::string(json));
}

std::string JsonObject::Text() const {
    std::string out = "{";
    for (std::size_t i = 0; i < members_.size(); ++i) {
        if (i > 0) out += ',';
        out += JsonString(members_[i].first);
        out += ':';
        out += members_[i].second;
    }
    return out + "}";
}

std::string JsonArray(const std::vector<std::string>& values) {
    std::string out = "[";
    for (std::size_t i = 0; i < values.size(); ++i) {
        if (i > 0) out += ',';
        out += values[i];
    }
    return out + "]";
}

} // namespace vexa::cli
