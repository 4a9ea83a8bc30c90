// Splits the bytes the tool sends into commands by command letter and argument shape.
#include "sim/CommandParser.h"

#include "sim/CivilTime.h"
#include "sim/RecordEncoder.h"

#include <cstdio>

namespace vexa::sim {

namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

ParsedCommand Make(ParseStatus s, std::size_t len, std::string name, std::string_view arg) {
    return ParsedCommand{s, len, std::move(name), std::string(arg)};
}

// A command of fixed total length whose argument is checked by valid().
template <typename Valid>
ParsedCommand Fixed(std::string_view buf, bool idle, std::size_t prefix, std::size_t argLen, std::string name,
                    Valid valid) {
    const std::size_t total = prefix + argLen;
    if (buf.size() < total) {
        if (!idle) return Make(ParseStatus::NeedMore, 0, name, {});
        return Make(ParseStatus::Malformed, buf.size(), name, buf.substr(prefix < buf.size() ? prefix : buf.size()));
    }
    const std::string_view arg = buf.substr(prefix, argLen);
    return Make(valid(arg) ? ParseStatus::Command : ParseStatus::Malformed, total, name, arg);
}

bool AllDigits(std::string_view s) {
    for (char c : s)
        if (!IsDigit(c)) return false;
    return !s.empty();
}

// "-"? digits, at least two digits (the tool's signed two-digit form; "r" uses it without the sign).
ParsedCommand Signed(std::string_view buf, bool idle, std::size_t prefix, std::string name, bool allowSign) {
    std::size_t i = prefix;
    if (allowSign && i < buf.size() && buf[i] == '-') ++i;
    while (i < buf.size() && IsDigit(buf[i])) ++i;
    if (i == buf.size() && !idle) return Make(ParseStatus::NeedMore, 0, name, {});
    const std::string_view arg = buf.substr(prefix, i - prefix);
    const std::size_t digits = arg.size() - (!arg.empty() && arg[0] == '-' ? 1 : 0);
    if (digits < 2) {
        // Not a number the logger takes: reject the letters and whatever digits came with them.
        return Make(ParseStatus::Malformed, i, name, arg);
    }
    return Make(ParseStatus::Command, i, name, arg);
}

// The "F" texts: blanks, an optional sign and digits, ended by the idle gap.
ParsedCommand Text(std::string_view buf, bool idle, std::size_t prefix, std::string name) {
    if (!idle) return Make(ParseStatus::NeedMore, 0, name, {});
    const std::string_view arg = buf.substr(prefix);
    std::size_t i = 0;
    while (i < arg.size() && arg[i] == ' ') ++i;
    if (i < arg.size() && (arg[i] == '-' || arg[i] == '+')) ++i;
    const bool ok = AllDigits(arg.substr(i)) && arg.size() - i <= 6;
    return Make(ok ? ParseStatus::Command : ParseStatus::Malformed, buf.size(), name, arg);
}

bool IsReservation(std::string_view a) {
    static const char pattern[] = "dd/dd dd:dd";
    for (std::size_t i = 0; i < 11; ++i)
        if (pattern[i] == 'd' ? !IsDigit(a[i]) : a[i] != pattern[i]) return false;
    const int month = (a[0] - '0') * 10 + (a[1] - '0'), day = (a[3] - '0') * 10 + (a[4] - '0');
    const int hour = (a[6] - '0') * 10 + (a[7] - '0'), minute = (a[9] - '0') * 10 + (a[10] - '0');
    return month >= 1 && month <= 12 && day >= 1 && day <= 31 && hour <= 23 && minute <= 59;
}

} // namespace

ParsedCommand ParseCommand(std::string_view buf, bool idle) {
    if (buf.empty()) return {};
    const char c = buf[0];
    auto one = [&](const char* name) { return Make(ParseStatus::Command, 1, name, {}); };
    auto oneOf = [](std::string_view set) {
        return [set](std::string_view a) { return set.find(a[0]) != std::string_view::npos; };
    };
    switch (c) {
    case 'p': case 'm': case 'n': case 'x': case ' ': case 'D': case 'C': case 'G': case 'W': case 'Z':
    case 'e': case 'E': case 'o': case 'f': case '#':
        return one(std::string(1, c).c_str());
    case '\x06':
        return one("ACK");
    case 't':
        // "te" (clock request after a clock set) arrives as one write; a lone "t" is the clock request.
        if (buf.size() >= 2) return buf[1] == 'e' ? Make(ParseStatus::Command, 2, "te", {}) : one("t");
        return idle ? one("t") : Make(ParseStatus::NeedMore, 0, "t", {});
    case 'v':
        return Fixed(buf, idle, 1, 1, "vp", [](std::string_view a) { return a == "p"; });
    case 'h':
        return Fixed(buf, idle, 1, 3, "hAAA", [](std::string_view a) { return a == "AAA"; });
    case 'N':
        return Fixed(buf, idle, 1, 2, "N", AllDigits);
    case 'j':
        return Fixed(buf, idle, 1, 1, "j", [](std::string_view a) { return IntervalSeconds(a[0]).has_value(); });
    case 'i':
        return Fixed(buf, idle, 1, 1, "i", [](std::string_view a) { return IsSamplingCode(a[0]); });
    case 'd':
        return Fixed(buf, idle, 1, 2, "d", AllDigits);
    case 'z':
        return Fixed(buf, idle, 1, 1, "z", oneOf("01"));
    case 'k':
        return Fixed(buf, idle, 1, 1, "k", oneOf("01"));
    case 'b':
        return Fixed(buf, idle, 1, 1, "b", oneOf("01"));
    case 'q':
        return Fixed(buf, idle, 1, 1, "q", oneOf("15789"));
    case 's':
        return Fixed(buf, idle, 1, 19, "s",
                     [](std::string_view a) { return ParseDateTime(std::string(a)).has_value(); });
    case 'l':
        return Fixed(buf, idle, 1, 11, "l", IsReservation);
    case 'Y':
        return Fixed(buf, idle, 1, 3, "Y", [](std::string_view a) {
            return AllDigits(a) && std::stoi(std::string(a)) <= 255;
        });
    case 'w':
        return Fixed(buf, idle, 1, 2, "w", AllDigits);
    case 'L':
        return Signed(buf, idle, 1, "L", true);
    case 'r':
        return Signed(buf, idle, 1, "r", false);
    case 'O':
    case 'F':
    case 'K': {
        if (buf.size() < 2) return idle ? Make(ParseStatus::Malformed, 1, std::string(1, c), {})
                                        : Make(ParseStatus::NeedMore, 0, std::string(1, c), {});
        const std::string name{c, buf[1]};
        if (c == 'O' && std::string_view("xyzXYZ").find(buf[1]) != std::string_view::npos)
            return Signed(buf, idle, 2, name, true);
        if (c == 'F' && std::string_view("XYZ").find(buf[1]) != std::string_view::npos)
            return Text(buf, idle, 2, name);
        if (name == "Kr") return Make(ParseStatus::Command, 2, "Kr", {});
        if (name == "Kw") {
            const std::size_t cr = buf.find('\r', 2);
            if (cr != std::string_view::npos) {
                const std::string_view text = buf.substr(2, cr - 2);
                // The ID comes back inside a status line, so it may not hold the framing bytes.
                bool printable = text.size() <= 32;
                for (unsigned char ch : text)
                    if (ch < 0x20 || ch > 0x7E || ch == '#' || ch == '!' || ch == '?') printable = false;
                return Make(printable ? ParseStatus::Command : ParseStatus::Malformed, cr + 1, "Kw", text);
            }
            return idle ? Make(ParseStatus::Malformed, buf.size(), "Kw", buf.substr(2))
                        : Make(ParseStatus::NeedMore, 0, "Kw", {});
        }
        return Make(ParseStatus::Malformed, 2, name, buf.substr(1, 1));
    }
    case '\x03':
        return Fixed(buf, idle, 0, 5, "boot", [](std::string_view a) { return a == "\x03\x06\x03\x06\x03"; });
    default:
        break;
    }
    if (IsDigit(c)) {
        // Range code texts as the range list offers them.
        return Fixed(buf, idle, 0, 2, "range", [](std::string_view a) {
            return a == "10" || a == "20" || a == "50" || a == "00" || a == "02" || a == "01";
        });
    }
    // Unknown bytes: wait for the sender to finish, then reject the whole burst at once.
    if (!idle) return Make(ParseStatus::NeedMore, 0, "?", {});
    return Make(ParseStatus::Unknown, buf.size(), "?", buf);
}

std::string EscapeBytes(std::string_view bytes) {
    std::string out;
    for (unsigned char c : bytes) {
        if (c >= 0x20 && c < 0x7F && c != '\\') {
            out += static_cast<char>(c);
        } else {
            char buf[8];
            std::snprintf(buf, sizeof buf, "\\x%02X", c);
            out += buf;
        }
    }
    return out;
}

} // namespace vexa::sim
