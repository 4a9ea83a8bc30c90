// The one narrow interface through which the session drives the logger's serial port: nothing but the
// session opens, closes, drains or writes it.
#pragma once

#include <string>
#include <string_view>

namespace vexa::session {

class LinkPort {
  public:
    virtual ~LinkPort() = default;
    // The port the next Open opens (n of "COMn").
    virtual void Select(unsigned portNumber) = 0;
    virtual unsigned Selected() const = 0;
    virtual bool IsOpen() const = 0;
    // Opens the selected port; nothing when it is open. Throws what the serial layer throws.
    virtual void Open() = 0;
    // Closes the port once the bytes already written have gone out; nothing when it is closed.
    virtual void Close() = 0;
    // Discards every byte received and not read yet.
    virtual void Drain() = 0;
    // Bytes for the logger, exactly as given, as one write.
    virtual void Send(std::string_view bytes) = 0;
    // Every byte received and not read yet, in arrival order (empty when there is none).
    virtual std::string ReadAvailable() = 0;
    // The device hung up under the open port (unplugged, an I/O error, its node gone) and every byte it
    // delivered is readable: nothing more will come.
    virtual bool DeviceLost() = 0;
};

} // namespace vexa::session
