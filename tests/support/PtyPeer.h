// The far end of a pseudo-terminal, played by a test: writes what a logger would send, reads what the
// tool sent. The slave side is what the tool opens.
#pragma once

#include <QCoreApplication>
#include <QElapsedTimer>
#include <cerrno>
#include <fcntl.h>
#include <functional>
#include <poll.h>
#include <pty.h>
#include <stdexcept>
#include <string>
#include <termios.h>
#include <unistd.h>

class PtyPeer {
public:
    PtyPeer() {
        char name[256] = {};
        if (openpty(&master_, &slave_, name, nullptr, nullptr) != 0) throw std::runtime_error("openpty failed");
        slavePath_ = name;
        termios t{};
        tcgetattr(slave_, &t);
        cfmakeraw(&t);
        tcsetattr(slave_, TCSANOW, &t);
        fcntl(master_, F_SETFL, fcntl(master_, F_GETFL) | O_NONBLOCK);
    }
    ~PtyPeer() {
        if (master_ >= 0) ::close(master_);
        if (slave_ >= 0) ::close(slave_);
    }
    PtyPeer(const PtyPeer&) = delete;
    PtyPeer& operator=(const PtyPeer&) = delete;

    const std::string& SlavePath() const { return slavePath_; }

    void Write(const std::string& bytes) {
        size_t done = 0;
        while (done < bytes.size()) {
            const ssize_t n = ::write(master_, bytes.data() + done, bytes.size() - done);
            if (n > 0) {
                done += size_t(n);
            } else if (n < 0 && errno != EAGAIN && errno != EINTR) {
                throw std::runtime_error("pty write failed");
            } else {
                // The terminal's buffer is full: let the tool (on this same thread) read, then retry.
                QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
                pollfd p{master_, POLLOUT, 0};
                ::poll(&p, 1, 1);
            }
        }
    }

    // Everything the tool has sent so far (consumed).
    std::string Take() {
        std::string out;
        char buf[4096];
        for (;;) {
            const ssize_t n = ::read(master_, buf, sizeof buf);
            if (n <= 0) break;
            out.append(buf, size_t(n));
        }
        received_ += out;
        return out;
    }

    // Pumps the Qt event loop, collecting what the tool sends, until pred(all received) holds.
    bool WaitFor(const std::function<bool(const std::string&)>& pred, int timeoutMs = 3000) {
        QElapsedTimer t;
        t.start();
        for (;;) {
            Take();
            if (pred(received_)) return true;
            if (t.elapsed() > timeoutMs) return false;
            QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
            pollfd p{master_, POLLIN, 0};
            ::poll(&p, 1, 1);
        }
    }
    // Waits until the tool has sent exactly `bytes` more (since the last Clear()).
    bool WaitForSent(const std::string& bytes, int timeoutMs = 3000) {
        return WaitFor([&](const std::string& all) { return all.size() >= bytes.size(); }, timeoutMs) &&
               received_ == bytes;
    }
    const std::string& Received() const { return received_; }
    void Clear() {
        Take();
        received_.clear();
    }
    // Ends the far side: the tool sees the device hang up.
    void HangUp() {
        if (master_ >= 0) ::close(master_);
        master_ = -1;
    }

private:
    int master_ = -1;
    int slave_ = -1;
    std::string slavePath_;
    std::string received_;
};
