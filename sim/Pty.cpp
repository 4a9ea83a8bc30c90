// A pseudo-terminal pair whose master side the simulated logger plays; the slave is the tool's serial port.
#include "sim/Pty.h"

#include <cerrno>
#include <climits>
#include <cstring>
#include <fcntl.h>
#include <pty.h>
#include <stdexcept>
#include <termios.h>
#include <unistd.h>

namespace vexa::sim {

Pty::Pty() {
    termios tio{};
    cfmakeraw(&tio);
    cfsetispeed(&tio, B115200);
    cfsetospeed(&tio, B115200);
    tio.c_cflag |= CLOCAL | CREAD;
    int slave = -1;
    char name[PATH_MAX] = {};
    if (openpty(&master_, &slave, name, &tio, nullptr) != 0)
        throw std::runtime_error(std::string("openpty: ") + std::strerror(errno));
    slavePath_ = name;
    ::close(slave);
    const int flags = fcntl(master_, F_GETFL);
    fcntl(master_, F_SETFL, flags | O_NONBLOCK);
    fcntl(master_, F_SETFD, FD_CLOEXEC);
}

Pty::~Pty() { closeMaster(); }

void Pty::closeMaster() {
    if (master_ >= 0) ::close(master_);
    master_ = -1;
}

} // namespace vexa::sim
