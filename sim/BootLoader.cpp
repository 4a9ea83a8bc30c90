// The logger's boot loader: takes firmware image lines after "e" and acknowledges each one.
#include "sim/BootLoader.h"

#include "sim/CommandParser.h"

#include <algorithm>

namespace vexa::sim {

namespace {
int HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}
int HexByte(std::string_view s, std::size_t pos) {
    const int hi = HexDigit(s[pos]), lo = HexDigit(s[pos + 1]);
    return hi < 0 || lo < 0 ? -1 : hi * 16 + lo;
}
} // namespace

bool IntelHexLineValid(std::string_view text) {
    if (text.size() < 11 || text[0] != ':' || (text.size() - 1) % 2 != 0) return false;
    const int count = HexByte(text, 1);
    if (count < 0 || text.size() != static_cast<std::size_t>(11 + 2 * count)) return false;
    unsigned sum = 0;
    for (std::size_t i = 1; i < text.size(); i += 2) {
        const int b = HexByte(text, i);
        if (b < 0) return false;
        sum += static_cast<unsigned>(b);
    }
    return (sum & 0xFF) == 0;
}

BootStep BootLoader::line(std::string_view text, bool valid) {
    BootStep s;
    s.length = text.size();
    s.logEntry = "boot line " + std::to_string(lineIndex_) + ": " + EscapeBytes(text);
    if (!valid) s.logEntry += " (bad line)";
    s.error = !valid;
    if (faults_.hangupAt >= 0 && lineIndex_ >= faults_.hangupAt) {
        s.logEntry += " (hang-up)";
        s.hangup = true;
    } else if (faults_.silentAt >= 0 && lineIndex_ >= faults_.silentAt) {
        s.logEntry += " (silent)";
    } else if (!valid) {
        s.reply = "!";
    } else if (faults_.bangLines.count(lineIndex_) > 0) {
        s.reply = std::string(static_cast<std::size_t>(std::max(1, faults_.bangRepeat)), '!');
    } else {
        s.reply = ".";
    }
    ++lineIndex_;
    return s;
}

BootStep BootLoader::step(std::string_view buf, bool idle) {
    BootStep s;
    if (buf.empty()) return s;
    switch (buf[0]) {
    case 'e':
        s.length = 1;
        s.reply = "#";
        s.logEntry = "boot e";
        return s;
    case 'q':
        if (buf.size() < 2 && !idle) return s;
        if (buf.size() >= 2 && buf[1] == 's') {
            s.length = 2;
            s.logEntry = "boot qs";
            s.leave = true;
            if (faults_.mThenMore) {
                s.reply = "\r\nBOOT END\r\nM\r\n";
                s.lateReply = "M";
            } else {
                s.reply = "\r\nBOOT END\r\nM";
            }
            return s;
        }
        break;
    case ':': {
        if (buf.size() < 3) {
            if (!idle) return s;
            return line(buf, false);
        }
        const int count = HexByte(buf, 1);
        if (count < 0) {
            if (!idle) return s;
            return line(buf, false);
        }
        const std::size_t total = 11 + 2 * static_cast<std::size_t>(count);
        if (buf.size() < total) {
            if (!idle) return s;
            return line(buf, false);
        }
        return line(buf.substr(0, total), IntelHexLineValid(buf.substr(0, total)));
    }
    case ';':
        if (!idle) return s;
        return line(buf, true);
    case '\x03':
        // The entry sequence again: already in the boot loader.
        if (buf.size() < 5 && !idle) return s;
        if (buf.substr(0, 5) == std::string_view("\x03\x06\x03\x06\x03", 5)) {
            s.length = 5;
            s.logEntry = "boot entry (again)";
            return s;
        }
        break;
    default:
        break;
    }
    if (!idle) return s;
    s.length = buf.size();
    s.reply = "!";
    s.error = true;
    s.logEntry = "boot unknown: " + EscapeBytes(buf);
    return s;
}

} // namespace vexa::sim
