// Splits the bytes the tool sends into commands; commands have no terminator, so each is recognised by its
// letter and the known length or shape of its argument.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace vexa::sim {

enum class ParseStatus {
    NeedMore,  // a command has begun and its end is not yet known
    Command,   // a complete, well-formed command
    Malformed, // a known command letter with an argument the logger would not accept
    Unknown,   // bytes that start no command
};

struct ParsedCommand {
    ParseStatus status = ParseStatus::NeedMore;
    std::size_t length = 0; // bytes consumed from the front of the buffer
    std::string name;       // command letters, e.g. "p", "j", "Ox", "Kw", "range", "boot"
    std::string arg;        // argument text as received (without the "Kw" CR)
};

// Recognises the command at the front of buf. Arguments of variable length (signed numbers, "F" texts)
// end at the first byte that cannot continue them or, when idle is set (no byte has arrived for a short
// gap), at the end of the buffer; a command still incomplete when idle is malformed.
ParsedCommand ParseCommand(std::string_view buf, bool idle);

// Printable form of received bytes for the command log: control and non-ASCII bytes as \xNN.
std::string EscapeBytes(std::string_view bytes);

} // namespace vexa::sim
