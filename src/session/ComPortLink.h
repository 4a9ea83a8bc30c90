// The session's port on the serial layer's component: what the window and the command line hand the
// session so that it alone drives the port.
#pragma once

#include "session/LinkPort.h"

class TApdCustomComPort;

namespace vexa::session {

class ComPortLink final : public LinkPort {
  public:
    // The component stays the caller's (its line settings, delivery and device resolution are set
    // there); the session only opens, closes, drains, reads and writes it.
    explicit ComPortLink(TApdCustomComPort& port) : port_(port) {}

    void Select(unsigned portNumber) override;
    unsigned Selected() const override;
    bool IsOpen() const override;
    void Open() override;
    void Close() override;
    void Drain() override;
    void Send(std::string_view bytes) override;
    std::string ReadAvailable() override;
    bool DeviceLost() override;

  private:
    TApdCustomComPort& port_;
};

} // namespace vexa::session
