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
    std::string lateReply;  // a second burst a moment after the first; leaving waits until it is sent
    std::string logEntry;   // what the command log records
    bool leave = false;     // back to normal operation
    bool error = false;
    bool hangup = false; // the logger is unplugged instead of answering
};

// Misbehaviour of the boot loader on request (lines counted from 0 in the order received).
struct BootFaults {
    std::set<int> bangLines; // answered with "!" although their checksum is right
    int bangRepeat = 1;      // "!" bytes in each such answer
    int silentAt = -1;       // from this line on nothing is answered
    int hangupAt = -1;       // this line unplugs the logger
    bool mThenMore = false;  // "qs": "M" with more bytes after it in one burst, the lone "M" a moment later
};

// Image lines carry no line end. An Intel HEX line (":") is delimited by the length its own byte count
// gives (11 + 2 * count characters); a comment line (";") may itself hold ":" and so ends at the idle gap,
// which is safe because the tool sends the next line only after our acknowledgement.
class BootLoader {
  public:
    explicit BootLoader(BootFaults faults = {}) : faults_(std::move(faults)) {}
    BootStep step(std::string_view buf, bool idle);
    int linesReceived() const { return lineIndex_; }

  private:
    BootStep line(std::string_view text, bool valid);
    BootFaults faults_;
    int lineIndex_ = 0;
};

// True when text is a complete Intel HEX record whose checksum makes the byte sum 0 mod 256.
bool IntelHexLineValid(std::string_view text);

} // namespace vexa::sim
