// Test side of the simulated logger's pseudo-terminal: the tool's end, opened raw, read with poll deadlines.
#pragma once

#include <chrono>
#include <fcntl.h>
#include <poll.h>
#include <string>
#include <termios.h>
#include <unistd.h>
#include <vector>

namespace vexa::sim::test {

class SlavePort {
public:
    explicit SlavePort(const std::string& path) {
        fd_ = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
        if (fd_ < 0) return;
        termios tio{};
        tcgetattr(fd_, &tio);
        cfmakeraw(&tio);
        cfsetispeed(&tio, B115200);
        cfsetospeed(&tio, B115200);
        tcsetattr(fd_, TCSANOW, &tio);
    }
    ~SlavePort() { close(); }
    SlavePort(const SlavePort&) = delete;
    SlavePort& operator=(const SlavePort&) = delete;

    bool ok() const { return fd_ >= 0; }
    int fd() const { return fd_; }
    void close() {
        if (fd_ >= 0) ::close(fd_);
        fd_ = -1;
    }
    void send(const std::string& bytes) { [[maybe_unused]] auto n = ::write(fd_, bytes.data(), bytes.size()); }

    // Reads until stop(received) holds or the deadline passes. lastError is set when the read fails.
    template <typename Stop> std::string readUntil(Stop stop, std::chrono::milliseconds limit) {
        std::string got;
        const auto deadline = std::chrono::steady_clock::now() + limit;
        while (!stop(got)) {
            const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline -
                                                                                   std::chrono::steady_clock::now());
            if (left.count() <= 0) break;
            pollfd p{fd_, POLLIN, 0};
            if (::poll(&p, 1, static_cast<int>(left.count())) <= 0) continue;
            char buf[65536];
            const ssize_t r = ::read(fd_, buf, sizeof buf);
            if (r > 0) {
                got.append(buf, static_cast<std::size_t>(r));
            } else if (r == 0 || errno != EAGAIN) {
                lastReadResult = r;
                lastError = r == 0 ? 0 : errno;
                hungUp = true;
                break;
            }
        }
        return got;
    }
    // One exchange: send, then read up to and including the closing "#".
    std::string exchange(const std::string& cmd, std::chrono::milliseconds limit = std::chrono::milliseconds(5000)) {
        send(cmd);
        return readUntil([](const std::string& s) { return s.find('#') != std::string::npos; }, limit);
    }
    // Reads for the whole time (to show that something does NOT arrive).
    std::string readFor(std::chrono::milliseconds limit) {
        return readUntil([](const std::string&) { return false; }, limit);
    }

    bool hungUp = false;
    ssize_t lastReadResult = 1;
    int lastError = 0;

private:
    int fd_ = -1;
};

// Lines of an answer as the tool's framing sees them: split at LF, CR removed, "#" ends the answer.
inline std::vector<std::string> AnswerLines(const std::string& answer) {
    std::vector<std::string> lines;
    std::string line;
    for (char c : answer) {
        if (c == '#') break;
        if (c == '\r') continue;
        if (c == '\n') {
            lines.push_back(line);
            line.clear();
        } else {
            line += c;
        }
    }
    return lines;
}

} // namespace vexa::sim::test
