// The port the session drives, as the command line has it: the device stays open (and so held against
// a second program) for the whole run, and the session's close only drops what arrives until its next
// open, as the window's reopening would.
#pragma once

#include "serial/TApdComPort.h"
#include "session/LinkPort.h"

namespace vexa::cli {

class HeldPort final : public vexa::session::LinkPort {
  public:
    // com is open already, on the port the session will select.
    explicit HeldPort(TApdComPort& com) : com_(com), selected_(com.ComNumber()) {}

    void Select(unsigned portNumber) override { selected_ = portNumber; }
    unsigned Selected() const override { return selected_; }
    bool IsOpen() const override { return open_ && com_.Open(); }
    void Open() override;
    void Close() override { open_ = false; }
    void Drain() override;
    void Send(std::string_view bytes) override;
    std::string ReadAvailable() override;
    // Only while the session has the port open: between exchanges the window's port is closed, and a
    // logger unplugged then is found gone by discovery.
    bool DeviceLost() override { return open_ && com_.Open() && com_.DeviceLost(); }

    // Reads and drops what arrived while the session has the port closed.
    void DropInput() { Count(com_.GetAvailable()); }
    // Commands sent whose closing "#" has not come: the greeting's second status report, for one,
    // arrives after the session has ended the exchange, and must not be taken for the next answer.
    int Unanswered() const { return unanswered_; }

  private:
    void Count(const std::string& bytes);

    TApdComPort& com_;
    unsigned selected_;
    bool open_ = false;
    int unanswered_ = 0;
};

} // namespace vexa::cli
