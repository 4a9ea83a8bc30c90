// The command line's port for the session: held open for the whole run.
#include "cli/HeldPort.h"

#include <algorithm>

namespace vexa::cli {

void HeldPort::Open() {
    if (!com_.Open() || com_.ComNumber() != selected_) {
        // Only another port (the registry changed under the run) or a device that went away needs a
        // real open; the serial layer says why it fails.
        com_.SetOpen(false);
        com_.SetComNumber(static_cast<std::uint16_t>(selected_));
        com_.SetOpen(true);
        unanswered_ = 0;
    } else if (!open_) {
        // What came while the port was closed for the session is nobody's answer.
        DropInput();
    }
    open_ = true;
}

void HeldPort::Drain() {
    if (!com_.Open()) return;
    com_.FlushInBuffer();
    unanswered_ = 0;
}

void HeldPort::Send(std::string_view bytes) {
    com_.PutString(std::string(bytes));
    // Every command is answered with a "#"; the acknowledgement of an enquiry is no command.
    if (bytes != std::string_view("\x06", 1)) ++unanswered_;
}

std::string HeldPort::ReadAvailable() {
    std::string bytes = com_.GetAvailable();
    Count(bytes);
    return bytes;
}

void HeldPort::Count(const std::string& bytes) {
    unanswered_ = std::max(0, unanswered_ - int(std::count(bytes.begin(), bytes.end(), '#')));
}

} // namespace vexa::cli
