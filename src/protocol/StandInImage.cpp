// The stand-in firmware image the tool carries in place of the manufacturer's, made deterministically.
#include "protocol/StandInImage.h"

#include "protocol/IntelHex.h"

#include <cstdint>
#include <cstdio>

namespace vexa {

namespace {

// Stamp of the CRC line; fixed so that every build writes the same bytes.
constexpr const char* kCreated = "26-12-08 12:00";

std::string Record(std::uint8_t type, std::uint16_t address, const std::vector<std::uint8_t>& data) {
    std::string line = ":";
    char buf[4];
    unsigned sum = 0;
    auto put = [&](unsigned byte) {
        std::snprintf(buf, sizeof buf, "%02X", byte & 0xFF);
        line += buf;
        sum += byte & 0xFF;
    };
    put(static_cast<unsigned>(data.size()));
    put(address >> 8);
    put(address & 0xFF);
    put(type);
    for (std::uint8_t b : data)
        put(b);
    put(0x100 - (sum & 0xFF));
    return line;
}

// Program words as the toolchain writes them: three bytes of an instruction and the phantom zero byte.
class WordSource {
  public:
    std::vector<std::uint8_t> Next(int bytes) {
        std::vector<std::uint8_t> data(static_cast<std::size_t>(bytes));
        for (int i = 0; i < bytes; ++i) {
            if (i % 4 == 3) continue;
            state_ ^= state_ << 13;
            state_ ^= state_ >> 17;
            state_ ^= state_ << 5;
            data[static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(state_ >> 11);
        }
        return data;
    }

  private:
    std::uint32_t state_ = 0x7E57B00Du;
};

} // namespace

std::vector<std::string> StandInImageLines() {
    std::vector<std::string> lines;
    lines.reserve(7527);
    WordSource words;
    auto data = [&](std::uint16_t address, int bytes) {
        lines.push_back(Record(0x00, address, words.Next(bytes)));
    };
    auto runOf16 = [&](std::uint32_t from, int records) {
        for (int k = 0; k < records; ++k)
            data(static_cast<std::uint16_t>(from + 16u * static_cast<std::uint32_t>(k)), 16);
    };

    // 0x00000-0x0FFFF: reset vector, interrupt vectors, then code with one gap, up to the segment's end.
    data(0x0000, 4);
    data(0x0034, 8);
    runOf16(0x0120, 1000);
    data(0x3FA0, 4);
    runOf16(0x4280, 3032);
    // 0x10000-0x1D9C3: the rest of the code, without gaps.
    lines.push_back(Record(0x04, 0x0000, {0x00, 0x01}));
    runOf16(0x0000, 3484);
    data(0xD9C0, 4);
    // 0x2AFF0-0x2AFFF: the configuration words at the top of program memory.
    lines.push_back(Record(0x04, 0x0000, {0x00, 0x02}));
    data(0xAFF0, 16);
    lines.push_back(Record(0x01, 0x0000, {}));

    lines.push_back(";PIC24FJ128GA310");
    char crc[64];
    std::snprintf(crc, sizeof crc, ";CRC=%04X  CREATED=\"%s\"", StandInImageCrc(lines), kCreated);
    lines.push_back(crc);
    lines.emplace_back();
    return lines;
}

unsigned StandInImageCrc(const std::vector<std::string>& lines) {
    unsigned crc = 0xFFFF;
    for (const std::string& line : lines) {
        if (line.empty() || line[0] != ':') continue;
        const HexRecordParse p = ParseHexRecord(line);
        if (!p.record || p.record->type != 0x00) continue;
        for (std::uint8_t b : p.record->data) {
            crc ^= static_cast<unsigned>(b) << 8;
            for (int bit = 0; bit < 8; ++bit)
                crc = (crc & 0x8000) ? ((crc << 1) ^ 0x1021) & 0xFFFF : (crc << 1) & 0xFFFF;
        }
    }
    return crc;
}

} // namespace vexa
