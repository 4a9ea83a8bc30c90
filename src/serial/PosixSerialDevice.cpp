// POSIX serial backend: termios device, exclusive open, poll() waits woken through a self-pipe.
#include "serial/AccessHint.h"
#include "serial/ErrorText.h"
#include "serial/SerialDevice.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <mutex>
#include <optional>

#ifdef __linux__
#include <linux/serial.h>
#endif

namespace vexa::serial {
namespace {

DeviceStatus OsError(int error) {
    return {0, error, CleanSystemMessage(SystemErrorText(error))};
}

DeviceStatus OpenFailure(int error, const std::string& path) {
    switch (error) {
    case ENOENT:
    case ENODEV:
    case ENXIO:
    case ENOTDIR:
        return {ecBadId, 0, {}};
    case EBUSY:
        return {ecAlreadyOpen, 0, {}};
    case EACCES:
    case EPERM:
        return {ecAccessDenied, 0, DescribeAccessDenied(path)};
    default:
        return OsError(error);
    }
}

std::optional<speed_t> BaudConstant(std::int32_t baud) {
    switch (baud) {
    case 110:
        return B110;
    case 300:
        return B300;
    case 600:
        return B600;
    case 1200:
        return B1200;
    case 2400:
        return B2400;
    case 4800:
        return B4800;
    case 9600:
        return B9600;
    case 19200:
        return B19200;
    case 38400:
        return B38400;
    case 57600:
        return B57600;
    case 115200:
        return B115200;
    case 230400:
        return B230400;
#ifdef B460800
    case 460800:
        return B460800;
    case 921600:
        return B921600;
#endif
    default:
        return std::nullopt;
    }
}

// Pseudo-terminal slaves (UNIX98 majors 136-143, legacy major 3) have no modem lines.
bool IsPseudoTerminal(int fd) {
    struct stat st {};
    if (fstat(fd, &st) != 0 || !S_ISCHR(st.st_mode)) return false;
    const unsigned m = major(st.st_rdev);
    return (m >= 136 && m <= 143) || m == 3;
}

class PosixSerialDevice final : public SerialDevice {
  public:
    ~PosixSerialDevice() override { Close(); }

    DeviceStatus Open(const std::string& path, const LineSettings& line, bool dtr, bool rts) override {
        const int fd = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
        if (fd < 0) return OpenFailure(errno, path);
        if (!isatty(fd)) {
            ::close(fd);
            return {ecBadId, 0, {}};
        }
        // TIOCEXCL keeps others out but not root; the lock also tells two root programs apart.
        if (flock(fd, LOCK_EX | LOCK_NB) != 0) {
            const int error = errno;
            ::close(fd);
            return error == EWOULDBLOCK ? DeviceStatus{ecAlreadyOpen, 0, {}} : OsError(error);
        }
        ioctl(fd, TIOCEXCL);
        int pipeError = 0;
        {
            std::lock_guard lock(lifeLock_);
            fd_ = fd;
            if (pipe2(wake_, O_CLOEXEC | O_NONBLOCK) != 0) {
                pipeError = errno;
                wake_[0] = wake_[1] = -1;
            }
        }
        if (pipeError != 0) return Fail(OsError(pipeError));
        pty_ = IsPseudoTerminal(fd);
        // A fresh tty is canonical with echo, and the last user may have left anything: set it all.
        DeviceStatus status = ApplyLine(line);
        if (!status.Ok()) return Fail(status);
        status = SetModemLines(dtr, rts);
        if (!status.Ok()) return Fail(status);
#ifdef __linux__
        // Lower latency on USB serial adapters that support it; nothing lost where they do not.
        serial_struct ss{};
        if (ioctl(fd_, TIOCGSERIAL, &ss) == 0) {
            ss.flags |= ASYNC_LOW_LATENCY;
            ioctl(fd_, TIOCSSERIAL, &ss);
        }
#endif
        tcflush(fd_, TCIOFLUSH);
        return {};
    }

    DeviceStatus SetLine(const LineSettings& line) override {
        return ApplyLine(line);
    }

    DeviceStatus SetModemLines(bool dtr, bool rts) override {
        int set = 0, clear = 0;
        (dtr ? set : clear) |= TIOCM_DTR;
        (rts ? set : clear) |= TIOCM_RTS;
        for (auto [request, bits] : {std::pair{TIOCMBIS, set}, std::pair{TIOCMBIC, clear}}) {
            if (bits == 0 || ioctl(fd_, request, &bits) == 0) continue;
            const int error = errno;
            if (pty_ && (error == EINVAL || error == ENOTTY)) continue;
            return OsError(error);
        }
        return {};
    }

    DeviceStatus PurgeInput() override {
        return tcflush(fd_, TCIFLUSH) == 0 ? DeviceStatus{} : OsError(errno);
    }
    DeviceStatus PurgeOutput() override {
        return tcflush(fd_, TCOFLUSH) == 0 ? DeviceStatus{} : OsError(errno);
    }

    IoResult Read(std::span<std::uint8_t> into) override {
        if (into.empty()) return {};
        while (true) {
            const ssize_t n = ::read(fd_, into.data(), into.size());
            if (n > 0) return {static_cast<std::size_t>(n), IoState::Ok};
            // With VMIN 1 an empty tty answers EAGAIN, so 0 is end of file: the device hung up.
            if (n == 0) return {0, IoState::HangUp};
            if (errno == EINTR) continue;
            if (errno == EAGAIN || errno == EWOULDBLOCK) return {0, IoState::WouldBlock};
            // EIO: a pty slave whose master closed, or a USB device that went away.
            return {0, IoState::HangUp};
        }
    }

    IoResult Write(std::span<const std::uint8_t> from) override {
        while (true) {
            const ssize_t n = ::write(fd_, from.data(), from.size());
            if (n >= 0) return {static_cast<std::size_t>(n), IoState::Ok};
            if (errno == EINTR) continue;
            if (errno == EAGAIN || errno == EWOULDBLOCK) return {0, IoState::WouldBlock};
            if (errno == EIO || errno == ENXIO || errno == ENODEV || errno == EPIPE)
                return {0, IoState::HangUp};
            return {0, IoState::Failed};
        }
    }

    WaitResult WaitReadable() override {
        return Wait(POLLIN);
    }
    WaitResult WaitWritable() override {
        return Wait(POLLOUT);
    }

    void Interrupt() override {
        std::lock_guard lock(lifeLock_);
        if (wake_[1] < 0) return;
        // Never drained: once written, every later poll returns at once too.
        const char byte = 1;
        [[maybe_unused]] const ssize_t n = ::write(wake_[1], &byte, 1);
    }

    void Close() override {
        std::lock_guard lock(lifeLock_);
        if (fd_ >= 0) {
            ioctl(fd_, TIOCNXCL);
            ::close(fd_); // also releases the flock
            fd_ = -1;
        }
        for (int& fd : wake_)
            if (fd >= 0) {
                ::close(fd);
                fd = -1;
            }
    }

  private:
    DeviceStatus Fail(DeviceStatus status) {
        Close();
        return status;
    }

    WaitResult Wait(short events) {
        pollfd fds[2] = {{fd_, events, 0}, {wake_[0], POLLIN, 0}};
        while (true) {
            if (::poll(fds, 2, -1) < 0) {
                if (errno == EINTR) continue;
                return WaitResult::HangUp;
            }
            if (fds[1].revents != 0) return WaitResult::Interrupted;
            if ((fds[0].revents & (POLLHUP | POLLERR | POLLNVAL)) != 0) return WaitResult::HangUp;
            if ((fds[0].revents & events) != 0) return WaitResult::Ready;
        }
    }

    DeviceStatus ApplyLine(const LineSettings& line) {
        termios t{};
        if (tcgetattr(fd_, &t) != 0) return OsError(errno);
        cfmakeraw(&t);
        t.c_cflag |= CLOCAL | CREAD; // no modem-control hang-ups, receiver on
        t.c_cc[VMIN] = 1;
        t.c_cc[VTIME] = 0;
        if (line.baud != 0) { // 0 keeps the current rate
            const auto speed = BaudConstant(line.baud);
            if (!speed) return {ecBaudRate, 0, {}};
            cfsetispeed(&t, *speed);
            cfsetospeed(&t, *speed);
        }
        if (line.dataBits >= 5 && line.dataBits <= 8) {
            static constexpr tcflag_t kSizes[] = {CS5, CS6, CS7, CS8};
            t.c_cflag = (t.c_cflag & ~CSIZE) | kSizes[line.dataBits - 5];
        } else if (line.dataBits != 9) { // 9 keeps the current size
            return {ecByteSize, 0, {}};
        }
#ifdef CMSPAR
        constexpr tcflag_t kStick = CMSPAR;
#else
        constexpr tcflag_t kStick = 0; // mark and space parity need CMSPAR
#endif
        t.c_cflag &= ~(PARENB | PARODD | kStick);
        switch (line.parity) {
        case pNone:
            break;
        case pOdd:
            t.c_cflag |= PARENB | PARODD;
            break;
        case pEven:
            t.c_cflag |= PARENB;
            break;
        case pMark:
            t.c_cflag |= PARENB | PARODD | kStick;
            break;
        case pSpace:
            t.c_cflag |= PARENB | kStick;
            break;
        }
        const unsigned stop = line.stopBits == 0 ? 1u : line.stopBits > 3 ? 2u : line.stopBits;
        if (line.dataBits == 5 || stop == 2) // CSTOPB with 5 data bits is one and a half
            t.c_cflag |= CSTOPB;
        else if (stop == 1)
            t.c_cflag &= ~CSTOPB; // 3 keeps the current setting
        t.c_cflag &= ~CRTSCTS;
        if ((line.hwFlow & (hwfUseRTS | hwfRequireCTS)) != 0) t.c_cflag |= CRTSCTS;
        t.c_iflag &= ~(IXON | IXOFF | IXANY);
        if (line.swFlow == swfReceive || line.swFlow == swfBoth) t.c_iflag |= IXOFF;
        if (line.swFlow == swfTransmit || line.swFlow == swfBoth) t.c_iflag |= IXON;
        t.c_cc[VSTART] = static_cast<cc_t>(line.xOn);
        t.c_cc[VSTOP] = static_cast<cc_t>(line.xOff);
        return tcsetattr(fd_, TCSANOW, &t) == 0 ? DeviceStatus{} : OsError(errno);
    }

    std::mutex lifeLock_; // Interrupt may come from any thread while another closes
    int fd_ = -1;
    int wake_[2] = {-1, -1};
    bool pty_ = false;
};

} // namespace

std::unique_ptr<SerialDevice> CreateSerialDevice() {
    return std::make_unique<PosixSerialDevice>();
}

PortProbe ProbeSerialDevice(const std::string& path) {
    const int fd = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return (errno == EBUSY || errno == EACCES || errno == EPERM) ? PortProbe::InUse : PortProbe::Absent;
    PortProbe result = PortProbe::Available;
    if (!isatty(fd))
        result = PortProbe::Absent;
    else if (flock(fd, LOCK_EX | LOCK_NB) != 0)
        result = PortProbe::InUse;
    ::close(fd);
    return result;
}

} // namespace vexa::serial
