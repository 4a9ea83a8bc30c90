// Intel HEX firmware images: the check a file must pass before the tool sends it to the boot loader.
#include "protocol/IntelHex.h"

#include <algorithm>
#include <cstdio>

namespace vexa {

namespace {

int HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}

std::string Hex(unsigned value, int digits) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "0x%0*X", digits, value);
    return buf;
}

// A byte as a person reads it in a message: the character itself when printable, else its code.
std::string Shown(char c) {
    const auto u = static_cast<unsigned char>(c);
    if (u >= 0x20 && u < 0x7F) return std::string("'") + c + "'";
    char buf[8];
    std::snprintf(buf, sizeof buf, "0x%02X", u);
    return buf;
}

} // namespace

HexRecordParse ParseHexRecord(std::string_view line) {
    HexRecordParse r;
    if (line.empty() || line[0] != ':') {
        r.fault = "a record must start with ':'";
        return r;
    }
    for (std::size_t i = 1; i < line.size(); ++i) {
        if (HexDigit(line[i]) < 0) {
            r.fault = "character " + Shown(line[i]) + " at column " + std::to_string(i + 1) +
                      " is not a hexadecimal digit";
            return r;
        }
    }
    const std::size_t digits = line.size() - 1;
    if (digits % 2 != 0) {
        r.fault = "odd number of hexadecimal digits (" + std::to_string(digits) + ")";
        return r;
    }
    if (digits < 10) {
        r.fault = "too short for a record (" + std::to_string(digits) + " hexadecimal digits, at least 10)";
        return r;
    }
    std::vector<std::uint8_t> bytes(digits / 2);
    for (std::size_t k = 0; k < bytes.size(); ++k)
        bytes[k] = static_cast<std::uint8_t>(HexDigit(line[1 + 2 * k]) * 16 + HexDigit(line[2 + 2 * k]));
    const std::size_t count = bytes[0];
    if (bytes.size() != count + 5) {
        r.fault = "byte count " + Hex(static_cast<unsigned>(count), 2) + " announces " +
                  std::to_string(count) + " data bytes, the record holds " + std::to_string(bytes.size() - 5);
        return r;
    }
    unsigned sum = 0;
    for (std::size_t k = 0; k + 1 < bytes.size(); ++k)
        sum += bytes[k];
    const unsigned expected = (0x100 - (sum & 0xFF)) & 0xFF;
    if (bytes.back() != expected) {
        r.fault =
            "checksum " + Hex(bytes.back(), 2) + " is wrong, the record's bytes need " + Hex(expected, 2);
        return r;
    }
    HexRecord rec;
    rec.address = static_cast<std::uint16_t>(bytes[1] << 8 | bytes[2]);
    rec.type = bytes[3];
    rec.data.assign(bytes.begin() + 4, bytes.end() - 1);
    r.record = std::move(rec);
    return r;
}

HexImageCheck CheckHexImage(const std::vector<std::string>& lines, std::uint32_t memoryBytes) {
    HexImageCheck c;
    HexImageSummary& s = c.summary;
    s.lines = static_cast<int>(lines.size());
    auto fail = [&](std::size_t line, std::string fault) {
        c.line = static_cast<int>(line);
        c.fault = std::move(fault);
        return c;
    };
    std::uint32_t upper = 0;
    bool spanOpen = false;
    std::size_t lastContent = lines.size();
    while (lastContent > 0 && lines[lastContent - 1].empty())
        --lastContent;

    for (std::size_t i = 0; i < lines.size(); ++i) {
        const std::string& line = lines[i];
        if (line.empty()) {
            if (i < lastContent) return fail(i, "empty line inside the image");
            continue;
        }
        if (line.size() > kMaxImageLineLength)
            return fail(i, "line of " + std::to_string(line.size()) +
                               " characters, longer than any record (" + std::to_string(kMaxImageLineLength) +
                               ")");
        if (line[0] == ';') {
            for (std::size_t k = 1; k < line.size(); ++k) {
                const auto u = static_cast<unsigned char>(line[k]);
                if (u < 0x20 || u > 0x7E)
                    return fail(i, "comment holds the byte " + Shown(line[k]) + " at column " +
                                       std::to_string(k + 1) +
                                       "; only printable ASCII can go to the boot loader");
            }
            continue;
        }
        if (line[0] != ':')
            return fail(i, "neither a record (':') nor a comment (';'): starts with " + Shown(line[0]));
        HexRecordParse p = ParseHexRecord(line);
        if (!p.record) return fail(i, p.fault);
        const HexRecord& rec = *p.record;
        if (s.endRecordLine >= 0)
            return fail(i, (rec.type == 0x01 ? "a second end record" : "a record after the end record") +
                               std::string(" (end record at line ") + std::to_string(s.endRecordLine + 1) +
                               ")");
        switch (rec.type) {
        case 0x00: {
            if (rec.data.empty()) return fail(i, "data record without data");
            const std::uint32_t first = upper << 16 | rec.address;
            const std::uint32_t last = first + static_cast<std::uint32_t>(rec.data.size()) - 1;
            if (last >= memoryBytes)
                return fail(i, "data at " + Hex(first, 5) + ".." + Hex(last, 5) +
                                   " outside program memory (" + Hex(0, 5) + ".." + Hex(memoryBytes - 1, 5) +
                                   ")");
            if (!spanOpen) {
                s.spans.push_back({first, last});
                spanOpen = true;
            } else {
                s.spans.back().first = std::min(s.spans.back().first, first);
                s.spans.back().last = std::max(s.spans.back().last, last);
            }
            ++s.dataRecords;
            s.dataBytes += static_cast<long>(rec.data.size());
            ++s.dataRecordsBySize[static_cast<int>(rec.data.size())];
            if (s.firstAddresses.size() < 3) s.firstAddresses.push_back(first);
            break;
        }
        case 0x01:
            if (!rec.data.empty()) return fail(i, "end record with data");
            s.endRecordLine = static_cast<int>(i);
            break;
        case 0x04:
            if (rec.data.size() != 2) return fail(i, "extended linear address record needs 2 data bytes");
            upper = static_cast<std::uint32_t>(rec.data[0] << 8 | rec.data[1]);
            if (upper << 16 >= memoryBytes)
                return fail(i, "extended linear address " + Hex(upper, 4) + " lies outside program memory");
            s.extendedAddresses[static_cast<int>(i)] = static_cast<std::uint16_t>(upper);
            spanOpen = false;
            break;
        default:
            return fail(i, "record type " + Hex(rec.type, 2).substr(2) +
                               " is not accepted (only 00 data, 01 end and 04 extended linear address)");
        }
    }
    if (s.endRecordLine < 0) return fail(lines.size(), "the image has no end record (:00000001FF)");
    if (s.dataRecords == 0) return fail(static_cast<std::size_t>(s.endRecordLine), "the image holds no data");
    c.ok = true;
    return c;
}

std::string DescribeHexFault(const HexImageCheck& check) {
    if (check.ok) return {};
    if (check.line >= check.summary.lines) return "End of file: " + check.fault;
    return "Line " + std::to_string(check.line + 1) + ": " + check.fault;
}

std::vector<std::string> ImageLinesForUpdate(std::vector<std::string> lines) {
    while (!lines.empty() && lines.back().empty())
        lines.pop_back();
    lines.emplace_back();
    return lines;
}

} // namespace vexa
