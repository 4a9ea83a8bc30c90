// The simulated logger on a pseudo-terminal: a thread that reads the tool's commands and answers them.
#include "sim/Simulator.h"

#include "sim/BootLoader.h"
#include "sim/CommandParser.h"
#include "sim/LoggerModel.h"
#include "sim/Pty.h"
#include "sim/RegistryFile.h"
#include "sim/SampleStream.h"
#include "sim/StatusReport.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstring>
#include <ctime>
#include <deque>
#include <fstream>
#include <optional>
#include <poll.h>
#include <stdexcept>
#include <sys/eventfd.h>
#include <unistd.h>

namespace vexa::sim {

namespace {
using Clock = std::chrono::steady_clock;
using std::chrono::milliseconds;
// A command whose end is open (variable argument) is complete after this long without a byte.
constexpr milliseconds kIdleGap{20};
// While nobody holds the slave open the master reports a hang-up at once; look again this often.
constexpr milliseconds kClosedRetry{10};
// 115200 baud with start and stop bits: 11520 bytes per second.
constexpr double kBytesPerMicrosecond = 0.01152;
// Time the tool gets to read the last bytes before a requested hang-up.
constexpr milliseconds kHangupGrace{100};
// Gap between the boot loader's two bursts when its "M" is asked to come with more bytes first.
constexpr milliseconds kLateReplyGap{200};

struct Chunk {
    Clock::time_point readyAt;
    std::string bytes;
    std::size_t offset = 0;
    bool leaveBoot = false; // the boot loader ends once this chunk is out
};

std::string WallClockStamp() {
    timespec ts{};
    clock_gettime(CLOCK_REALTIME, &ts);
    std::tm local{};
    localtime_r(&ts.tv_sec, &local);
    char buf[32];
    std::snprintf(buf, sizeof buf, "%02d:%02d:%02d.%03ld", local.tm_hour, local.tm_min, local.tm_sec,
                  ts.tv_nsec / 1000000);
    return buf;
}

int MillisUntil(Clock::time_point now, Clock::time_point deadline) {
    if (deadline <= now) return 0;
    const auto us = std::chrono::duration_cast<std::chrono::microseconds>(deadline - now).count();
    return static_cast<int>((us + 999) / 1000);
}
} // namespace

std::string RenderAnswer(const Answer& a, const SimFaults& f, const std::string& commandName) {
    std::string out = a.raw;
    for (std::size_t i = 0; i < a.lines.size(); ++i) {
        std::string line = a.lines[i];
        if (i == 0) {
            const std::size_t mid = line.size() / 2;
            if (f.garbage) line.insert(mid, std::string("\x00\xFF\x1B\x7F\xA5", 5));
            if (f.enqInLine) line.insert(mid, "\x05");
        }
        out += line;
        out += "\r\n";
        if (i == 0 && f.longLine) out += std::string(200, 'L') + "\r\n";
    }
    const bool suppress = f.noHash && (f.noHashOn.empty() || f.noHashOn == commandName);
    if (a.prompt && !suppress) out += '#';
    return out;
}

Simulator::Simulator(SimConfig config)
    : config_(std::move(config)), model_(std::make_unique<LoggerModel>(config_)), faults_(config_.faults) {}

Simulator::~Simulator() { stop(); }

void Simulator::start() {
    if (thread_.joinable()) return;
    pty_ = std::make_unique<Pty>();
    wakeFd_ = eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC);
    if (wakeFd_ < 0) throw std::runtime_error(std::string("eventfd: ") + std::strerror(errno));
    if (!config_.registryPath.empty() &&
        !WriteRegistryFile(config_.registryPath, config_.com, pty_->slavePath(), config_.otherPorts))
        throw std::runtime_error("cannot write registry file " + config_.registryPath);
    startedAt_ = Clock::now();
    thread_ = std::thread([this] { run(); });
}

void Simulator::stop() {
    stopRequested_ = true;
    wake();
    if (thread_.joinable()) thread_.join();
    if (pty_) pty_->closeMaster();
    RemoveRegistryFile(config_.registryPath);
    if (wakeFd_ >= 0) ::close(wakeFd_);
    wakeFd_ = -1;
}

void Simulator::wake() {
    if (wakeFd_ < 0) return;
    const std::uint64_t one = 1;
    [[maybe_unused]] const ssize_t n = ::write(wakeFd_, &one, sizeof one);
}

void Simulator::unplug() {
    unplugRequested_ = true;
    wake();
}

std::string Simulator::slavePath() const { return pty_ ? pty_->slavePath() : std::string(); }

std::vector<std::string> Simulator::commandLog() const {
    std::lock_guard lock(mutex_);
    return log_;
}

std::string Simulator::receivedBytes() const {
    std::lock_guard lock(mutex_);
    return received_;
}

SimSettings Simulator::settings() const {
    std::lock_guard lock(mutex_);
    return model_->settings();
}

SimFaults Simulator::faults() const {
    std::lock_guard lock(mutex_);
    return faults_;
}

void Simulator::setFaults(const SimFaults& faults) {
    {
        std::lock_guard lock(mutex_);
        faults_ = faults;
    }
    wake();
}

void Simulator::logEntry(const std::string& entry) {
    std::lock_guard lock(mutex_);
    log_.push_back(entry);
    if (!config_.logPath.empty()) {
        std::ofstream file(config_.logPath, std::ios::app);
        file << WallClockStamp() << ' ' << entry << '\n';
    }
}

void Simulator::run() {
    const int master = pty_->master();
    std::string in;
    Clock::time_point lastRx = Clock::now();
    std::deque<Chunk> out;
    bool slaveOpen = false;
    SampleStream stream(config_.stream);
    std::optional<BootLoader> bootLoader;
    long bytesSent = 0;
    Clock::time_point paceStart;
    long paceSent = 0;
    bool paceActive = false;
    const Clock::time_point never = Clock::time_point::max();
    const Clock::time_point unplugAt =
        config_.faults.unplugAfterMs >= 0 ? startedAt_ + milliseconds(config_.faults.unplugAfterMs) : never;
    Clock::time_point nextRegistryCheck = Clock::now() + milliseconds(200);
    Clock::time_point hangupAt = never;
    bool bootHangup = false;

    auto leaveBootLoader = [&] {
        bootLoader.reset();
        boot_ = false;
    };

    auto doUnplug = [&] {
        // Flag and file first: whoever sees the device vanish may already be looking.
        RemoveRegistryFile(config_.registryPath);
        unplugged_ = true;
        pty_->closeMaster();
    };

    // A closed slave ends the exchange: what was still to be said to it is dropped, so an answer to an
    // aborted exchange does not arrive at the start of the next one.
    auto onSlaveClosed = [&] {
        if (slaveOpen) {
            // Bytes already handed to the pty but unread stay there for the next open (the kernel keeps
            // them); the tool discards waiting input when it opens the port.
            if (std::any_of(out.begin(), out.end(), [](const Chunk& c) { return c.leaveBoot; })) leaveBootLoader();
            out.clear();
            in.clear();
            (void)stream.Stop();
            paceActive = false;
        }
        slaveOpen = false;
    };

    auto process = [&](bool idle, const SimFaults& f, Clock::time_point now) {
        while (!in.empty()) {
            const Clock::time_point readyAt = now + milliseconds(f.latencyMs);
            if (bootLoader) {
                const BootStep s = bootLoader->step(in, idle);
                if (s.length == 0) break;
                logEntry(s.logEntry);
                in.erase(0, s.length);
                if (s.hangup) {
                    bootHangup = true;
                    in.clear();
                    break;
                }
                if (!s.reply.empty()) out.push_back({readyAt, s.reply});
                if (!s.lateReply.empty()) out.push_back({readyAt + kLateReplyGap, s.lateReply, 0, s.leave});
                else if (s.leave) leaveBootLoader();
                continue;
            }
            const ParsedCommand cmd = ParseCommand(in, idle);
            if (cmd.status == ParseStatus::NeedMore) break;
            const Clock::time_point answerAt = f.latencyOn.empty() || f.latencyOn == cmd.name ? readyAt : now;
            const std::string bytes = in.substr(0, cmd.length);
            in.erase(0, cmd.length);
            if (cmd.status == ParseStatus::Command) logEntry(EscapeBytes(bytes));
            else if (cmd.status == ParseStatus::Malformed) logEntry("malformed: " + EscapeBytes(bytes));
            else logEntry("unknown: " + EscapeBytes(bytes));
            Answer answer;
            {
                std::lock_guard lock(mutex_);
                answer = model_->handle(cmd, f.extraCount);
            }
            if (answer.enterBoot) {
                bootLoader.emplace(BootFaults{f.bangLines, f.bangRepeat, f.bootSilentAt, f.bootHangupAt, f.bootMThenMore});
                boot_ = true;
            }
            if (answer.startStream) stream.Start(now);
            std::string inFlight;
            if (answer.stopStream) {
                // Samples already on their way when the stop came follow the answer (on request).
                if (stream.Running() && config_.stream.inFlightAfterStop > 0)
                    inFlight = stream.NextSamples(config_.stream.inFlightAfterStop);
                std::string rest = stream.Stop();
                if (!rest.empty()) out.push_back({now, std::move(rest)});
            }
            std::string rendered = RenderAnswer(answer, f, cmd.name);
            if (!rendered.empty()) out.push_back({answerAt, std::move(rendered)});
            if (!inFlight.empty())
                out.push_back({answerAt + milliseconds(config_.stream.inFlightDelayMs), std::move(inFlight)});
        }
    };

    while (!stopRequested_) {
        Clock::time_point now = Clock::now();
        if (unplugRequested_ || now >= unplugAt) {
            doUnplug();
            break;
        }
        if (!config_.registryPath.empty() && now >= nextRegistryCheck) {
            // Deleting the registry file is pulling the cable.
            if (::access(config_.registryPath.c_str(), F_OK) != 0) {
                doUnplug();
                break;
            }
            nextRegistryCheck = now + milliseconds(200);
        }
        SimFaults f = faults();

        // Samples fall due on an absolute 5 ms schedule, so late wake-ups catch up instead of drifting.
        if (stream.Running() && slaveOpen) {
            std::string due = stream.TakeDue(now);
            if (!due.empty()) out.push_back({now, std::move(due)});
            // The requested hang-up comes once the last sample before it has been handed over.
            if (stream.HangUpDue() && stream.Drained() && out.empty() && hangupAt == never)
                hangupAt = now + kHangupGrace;
        }

        bool wantOut = false;
        if (bootHangup) {
            // The logger is pulled while it takes a firmware line: nothing more is said.
            doUnplug();
            break;
        }
        while (hangupAt == never && slaveOpen && !out.empty() && out.front().readyAt <= now) {
            Chunk& c = out.front();
            long n = static_cast<long>(c.bytes.size() - c.offset);
            if (config_.paced) {
                if (!paceActive) {
                    paceActive = true;
                    paceStart = now;
                    paceSent = 0;
                }
                const auto us = std::chrono::duration_cast<std::chrono::microseconds>(now - paceStart).count();
                const long allowed = 1 + static_cast<long>(static_cast<double>(us) * kBytesPerMicrosecond) - paceSent;
                n = std::min(n, allowed);
                if (n <= 0) break;
            }
            if (f.hangupAfterBytes >= 0) n = std::min(n, f.hangupAfterBytes - bytesSent);
            const ssize_t w = n > 0 ? ::write(master, c.bytes.data() + c.offset, static_cast<std::size_t>(n)) : 0;
            if (w < 0) {
                if (errno == EAGAIN || errno == EWOULDBLOCK) wantOut = true;
                else if (errno != EINTR) onSlaveClosed();
                break;
            }
            c.offset += static_cast<std::size_t>(w);
            bytesSent += w;
            bytesSent_ = bytesSent;
            paceSent += w;
            if (f.hangupAfterBytes >= 0 && bytesSent >= f.hangupAfterBytes) {
                // Closing the master at once would make the kernel discard what the tool has not read yet.
                if (hangupAt == never) hangupAt = now + kHangupGrace;
                break;
            }
            if (c.offset == c.bytes.size()) {
                if (c.leaveBoot) leaveBootLoader();
                out.pop_front();
            }
            if (w < n) {
                wantOut = true;
                break;
            }
        }
        if (now >= hangupAt) {
            doUnplug();
            break;
        }
        if (out.empty()) paceActive = false;

        Clock::time_point deadline = now + milliseconds(200);
        if (!in.empty()) deadline = std::min(deadline, lastRx + kIdleGap);
        if (stream.Running()) deadline = std::min(deadline, stream.NextDue());
        if (!out.empty() && !wantOut)
            deadline = std::min(deadline, config_.paced ? now + milliseconds(1) : std::max(now, out.front().readyAt));
        deadline = std::min({deadline, unplugAt, hangupAt});

        pollfd fds[2] = {{wakeFd_, POLLIN, 0}, {master, static_cast<short>(POLLIN | (wantOut ? POLLOUT : 0)), 0}};
        int timeout = MillisUntil(now, deadline);
        if (slaveOpen) {
            ::poll(fds, 2, timeout);
        } else {
            ::poll(fds, 1, std::min<int>(timeout, static_cast<int>(kClosedRetry.count())));
            fds[1].revents = 0;
            ::poll(&fds[1], 1, 0);
            if (fds[1].revents == 0) slaveOpen = true; // someone holds the slave: no hang-up reported
        }
        if (fds[0].revents & POLLIN) {
            std::uint64_t v;
            [[maybe_unused]] const ssize_t r = ::read(wakeFd_, &v, sizeof v);
        }
        now = Clock::now();
        f = faults(); // a fault set while waiting applies to the command that ended the wait
        if (fds[1].revents & POLLIN) {
            char buf[4096];
            for (;;) {
                const ssize_t r = ::read(master, buf, sizeof buf);
                if (r > 0) {
                    in.append(buf, static_cast<std::size_t>(r));
                    {
                        std::lock_guard lock(mutex_);
                        received_.append(buf, static_cast<std::size_t>(r));
                    }
                    lastRx = now;
                    slaveOpen = true;
                    continue;
                }
                if (r < 0 && errno == EINTR) continue;
                if (r < 0 && errno == EIO) {
                    // The tool closed the port. Not an unplug: the logger keeps its state and waits.
                    process(true, f, now);
                    onSlaveClosed();
                }
                break;
            }
        } else if (fds[1].revents & POLLHUP) {
            process(true, f, now);
            onSlaveClosed();
        }
        process(false, f, now);
        if (!in.empty() && now - lastRx >= kIdleGap) process(true, f, now);
    }
}

} // namespace vexa::sim
