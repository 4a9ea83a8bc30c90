// Intel HEX firmware images: the check a file must pass before the tool sends it to the boot loader.
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vexa {

// The logger's program memory as image records address it: byte addresses, two per instruction word,
// 0x00000 up to the last configuration word at 0x2AFFF.
inline constexpr std::uint32_t kProgramMemoryBytes = 0x2B000;
// The longest record (255 data bytes) is 521 characters; no line of an image is longer.
inline constexpr std::size_t kMaxImageLineLength = 521;

enum class HexRecordType : std::uint8_t { Data = 0x00, EndOfFile = 0x01, ExtendedLinearAddress = 0x04 };

struct HexRecord {
    std::uint8_t type = 0;
    std::uint16_t address = 0;
    std::vector<std::uint8_t> data;
};

// One record line, ":" + byte count, address, type, data, checksum; nothing before or after it.
// On failure `fault` says what is wrong in words a technician can act on.
struct HexRecordParse {
    std::optional<HexRecord> record;
    std::string fault;
};
HexRecordParse ParseHexRecord(std::string_view line);

// Byte addresses [first, last] of the data under one extended linear address.
struct HexSpan {
    std::uint32_t first = 0;
    std::uint32_t last = 0;
    bool operator==(const HexSpan&) const = default;
};

// What a valid image holds, for showing it and for checking the stand-in's layout.
struct HexImageSummary {
    int lines = 0;
    int dataRecords = 0;
    long dataBytes = 0;
    std::map<int, int> dataRecordsBySize;           // data bytes per record -> records
    std::map<int, std::uint16_t> extendedAddresses; // line -> upper address of a type 04 record
    int endRecordLine = -1;
    std::vector<std::uint32_t> firstAddresses; // byte addresses of the first three data records
    std::vector<HexSpan> spans;                // lowest..highest data byte per upper address, in order
};

struct HexImageCheck {
    bool ok = false;
    int line = -1;     // 0-based line of the first fault (the line count when the end record is missing)
    std::string fault; // empty when ok
    HexImageSummary summary;
};

// Checks image lines (as SplitLines gives them): every record well formed with a correct checksum,
// types 00, 01 and 04 only, exactly one end record and no record after it, data inside program memory,
// other lines comments starting with ";" in printable ASCII, empty lines only at the end.
HexImageCheck CheckHexImage(const std::vector<std::string>& lines,
                            std::uint32_t memoryBytes = kProgramMemoryBytes);

// "Line 12: ..." with the line counted from 1, as an editor shows it.
std::string DescribeHexFault(const HexImageCheck& check);

// The lines the update sends are all but the last one, so an image must end with exactly one empty line:
// trailing empty lines are dropped and one is appended. Without it a file ending in its end record would
// lose that record, and a second empty line would be sent as nothing and never be acknowledged.
std::vector<std::string> ImageLinesForUpdate(std::vector<std::string> lines);

} // namespace vexa
