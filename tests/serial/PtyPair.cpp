// Pseudo-terminal pairs and the port fixture shared by the serial tests.
#include "PtyPair.h"

#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <unistd.h>

#include <cerrno>
#include <stdexcept>
#include <thread>

PtyPair::PtyPair() {
    int slave = -1;
    char name[256] = {};
    if (openpty(&master_, &slave, name, nullptr, nullptr) != 0) throw std::runtime_error("openpty failed");
    slavePath_ = name;
    // The port opens the slave itself; holding it here would hide hang-ups and the exclusive open.
    ::close(slave);
    fcntl(master_, F_SETFL, fcntl(master_, F_GETFL) | O_NONBLOCK);
}

PtyPair::~PtyPair() {
    HangUp();
}

void PtyPair::HangUp() {
    if (master_ >= 0) ::close(master_);
    master_ = -1;
}

void PtyPair::Write(std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t n = ::write(master_, bytes.data(), bytes.size());
        if (n > 0) {
            bytes.remove_prefix(static_cast<std::size_t>(n));
        } else if (n < 0 && errno == EAGAIN) {
            pollfd p{master_, POLLOUT, 0};
            ::poll(&p, 1, 1000);
        } else if (n < 0 && errno != EINTR) {
            throw std::runtime_error("pty write failed");
        }
    }
}

std::string PtyPair::Read(std::size_t n, std::chrono::milliseconds timeout) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    std::string out;
    while (out.size() < n) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0) break;
        pollfd p{master_, POLLIN, 0};
        if (::poll(&p, 1, static_cast<int>(left.count())) <= 0) continue;
        char buffer[4096];
        const ssize_t got = ::read(master_, buffer, std::min(sizeof buffer, n - out.size()));
        if (got > 0) out.append(buffer, static_cast<std::size_t>(got));
        // With no slave open the master reads EIO; the port is closed, nothing more will come.
        if (got < 0 && errno == EIO) break;
    }
    return out;
}

struct termios PtyPair::Settings() const {
    // On Linux the master side reports the slave's settings.
    struct termios t {};
    tcgetattr(master_, &t);
    return t;
}

bool SpinUntil(const std::function<bool()>& cond, std::chrono::milliseconds timeout) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (!cond()) {
        if (std::chrono::steady_clock::now() > deadline) return false;
        std::this_thread::yield();
    }
    return true;
}

std::string StreamBytes(std::size_t from, std::size_t count) {
    std::string s(count, '\0');
    for (std::size_t i = 0; i < count; ++i)
        s[i] = StreamByte(from + i);
    return s;
}

PortTest::PortTest() {
    port.SetUiMailbox(mailbox);
    port.SetDevicePathResolver([this](unsigned n) -> std::optional<std::string> {
        resolved.push_back(n);
        auto it = devices.find(n);
        return it == devices.end() ? std::nullopt : std::optional(it->second);
    });
}

PortTest::~PortTest() {
    // The test's handler may refer to locals of the test body, which are gone by now.
    port.OnTriggerAvail = nullptr;
    try {
        port.SetOpen(false);
    } catch (...) {
    }
    Pump([this] { return port.State() == psClosed; });
}

unsigned PortTest::AddPty(unsigned comNumber) {
    ptys.push_back(std::make_unique<PtyPair>());
    devices[comNumber] = ptys.back()->SlavePath();
    return comNumber;
}

bool PortTest::Pump(const std::function<bool()>& done, std::chrono::milliseconds timeout) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (true) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        try {
            return mailbox->PumpUntil(done, std::max(left, 0ms));
        } catch (const std::exception& e) {
            errors.push_back(e.what());
        }
    }
}

std::string PortTest::FillUntilStalled(std::size_t chunk) {
    std::string accepted;
    while (accepted.size() < (64u << 20)) {
        try {
            const std::string bytes = StreamBytes(accepted.size(), chunk);
            port.PutString(bytes);
            accepted += bytes;
            continue;
        } catch (const EOutputBufferTooSmall&) {
        }
        // Refused: the output thread may only be behind; stalled when it makes no room.
        if (!SpinUntil([&] { return port.OutBuffUsed() + chunk <= port.OutSize(); }, 200ms)) break;
    }
    return accepted;
}

void PortTest::OpenOnPty() {
    port.SetComNumber(static_cast<std::uint16_t>(AddPty(1)));
    port.SetBaud(115200);
    port.SetOutSize(512);
    port.SetRTS(false);
    port.SetOpen(true);
}
