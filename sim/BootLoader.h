// The logger's boot loader: takes firmware image lines after "e" and acknowledges each one.
#pragma once

#include <cstddef>
#include <set>
#include <string>
#include <string_view>

namespace vexa::sim {

struct BootStep {
    std::size_t length = 0; // bytes consumed; 0 = wait for more
    std::string reply;      // burst to send
    std::string logEntry;   // what the command log records
    bool leave = false;     // back to normal operation
    bool error = false;
};

// Image lines carry no line end. An Intel HEX line (":") is delimited by the length its own byte count
// gives (11 + 2 * count characters); a comment line (";") may itself hold ":" and so ends at the idle gap,
// which is safe because the tool sends the next line only after our acknowledgement.
class BootLoader {
public:
    explicit BootLoader(std::set<int> bangLines = {}) : bangLines_(std::move(bangLines)) {}
    BootStep step(std::string_view buf, bool idle);
    int linesReceived() const { return lineIndex_; }

private:
    BootStep line(std::string_view text, bool valid);
    std::set<int> bangLines_;
    int lineIndex_ = 0;
};

// True when text is a complete Intel HEX record whose checksum makes the byte sum 0 mod 256.
bool IntelHexLineValid(std::string_view text);

} // namespace vexa::sim
