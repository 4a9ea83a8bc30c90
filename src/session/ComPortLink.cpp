// The session's port on the serial layer's component.
#include "session/ComPortLink.h"

#include "serial/TApdComPort.h"

#include <string>

namespace vexa::session {

void ComPortLink::Select(unsigned portNumber) {
    port_.SetComNumber(static_cast<std::uint16_t>(portNumber));
}

unsigned ComPortLink::Selected() const {
    return port_.ComNumber();
}

bool ComPortLink::IsOpen() const {
    return port_.Open();
}

void ComPortLink::Open() {
    if (!port_.Open()) port_.SetOpen(true);
}

void ComPortLink::Close() {
    port_.SetOpen(false);
}

void ComPortLink::Drain() {
    if (port_.Open()) port_.FlushInBuffer();
}

void ComPortLink::Send(std::string_view bytes) {
    port_.PutString(std::string(bytes));
}

std::string ComPortLink::ReadAvailable() {
    return port_.GetAvailable();
}

bool ComPortLink::DeviceLost() {
    return port_.Open() && port_.DeviceLost();
}

} // namespace vexa::session
