// Test support: a pseudo-terminal whose master side the test holds, and a port fixture whose
// resolver maps COM numbers to pty slaves and whose "UI thread" is the test thread.
#pragma once

#include "serial/QueueMailbox.h"
#include "serial/TApdComPort.h"

#include <gtest/gtest.h>
#include <termios.h>

#include <chrono>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

using namespace std::chrono_literals;

class PtyPair {
  public:
    PtyPair();
    ~PtyPair();
    PtyPair(const PtyPair&) = delete;
    PtyPair& operator=(const PtyPair&) = delete;

    const std::string& SlavePath() const { return slavePath_; }
    // Writes all bytes as the device would send them (waits while the pty is full).
    void Write(std::string_view bytes);
    // What the port sent: exactly n bytes, or fewer if the time runs out first.
    std::string Read(std::size_t n, std::chrono::milliseconds timeout = 5s);
    // The device goes away: closes the master side.
    void HangUp();
    // The line settings of the slave side as the port left them.
    struct termios Settings() const;

  private:
    int master_ = -1;
    std::string slavePath_;
};

// Deterministic test data: byte i of a stream.
inline char StreamByte(std::size_t i) {
    return static_cast<char>((i * 7 + i / 251) & 0xFF);
}
std::string StreamBytes(std::size_t from, std::size_t count);

// Spins (yielding) until cond holds or the time runs out; for states no mailbox call announces.
bool SpinUntil(const std::function<bool()>& cond, std::chrono::milliseconds timeout = 5s);

class PortTest : public testing::Test {
  protected:
    PortTest();
    // Closes the port while pumping, so that an event still on its way cannot hold up the close.
    ~PortTest() override;
    // Runs the mailbox (the UI side) until done() holds; exceptions that the UI side would show in
    // its error box are collected in errors.
    bool Pump(const std::function<bool()>& done, std::chrono::milliseconds timeout = 5s);
    // Opens the port on a fresh pty as COM1 with the logger's line settings.
    void OpenOnPty();

    std::vector<std::unique_ptr<PtyPair>> ptys;
    std::map<unsigned, std::string> devices; // COM number -> device path
    std::vector<unsigned> resolved;          // port numbers the resolver was asked for
    std::vector<std::string> errors;         // messages of exceptions that reached the UI side
    std::shared_ptr<QueueMailbox> mailbox = std::make_shared<QueueMailbox>();
    TApdComPort port; // declared last: closed before the ptys go
    // Writes a stream until the far end, which reads nothing, takes no more and the output buffer
    // refuses a chunk; answers what was accepted.
    std::string FillUntilStalled(std::size_t chunk = 200);
    PtyPair& Pty(std::size_t i = 0) { return *ptys.at(i); }
    unsigned AddPty(unsigned comNumber);
};
