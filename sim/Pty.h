// A pseudo-terminal pair whose master side the simulated logger plays; the slave is the tool's serial port.
#pragma once

#include <string>

namespace vexa::sim {

class Pty {
public:
    // Opens a pair with the slave in raw mode at 115200 baud (no echo, no line-end translation), like a
    // USB serial device; the slave descriptor is closed again so that the tool is its only user.
    Pty();
    ~Pty();
    Pty(const Pty&) = delete;
    Pty& operator=(const Pty&) = delete;

    int master() const { return master_; }
    const std::string& slavePath() const { return slavePath_; }
    // Closing the master hangs up the slave: the tool sees the device vanish.
    void closeMaster();

private:
    int master_ = -1;
    std::string slavePath_;
};

} // namespace vexa::sim
