// The discovery tick's part of the session: the clock it stamps into commands, the "m" after a clock
// setting, the port closed between exchanges, the search, the connect, and the deferred commands.
#include "session/Session.h"

#include <algorithm>

namespace vexa::session {

TickResult Session::DiscoveryTick(const TickInput& input, Clock::time_point now) {
    TickResult result;
    state_.NowText = input.nowText;
    lastWallNow_ = input.wallNow;
    // An update or a capture owns the link: not even the port's close may reach it.
    if (LinkOwnedExclusively()) return result;

    // The "m" that follows a clock setting once the logger has had time to take it.
    const auto greeting = std::find_if(queue_.begin(), queue_.end(), [&](const Queued& q) {
        return q.kind == Queued::Kind::ClockGreeting && q.due <= input.wallNow;
    });
    if (greeting != queue_.end()) {
        queue_.erase(greeting);
        port_.Open();
        Send("m", now);
        result.end = TickResult::End::ClockGreeting;
        return result;
    }

    // The port is open only around exchanges.
    port_.Close();

    static const RegistrySnapshot kNoPorts;
    result.search =
        SearchPorts(input.snapshot ? *input.snapshot : kNoPorts, input.adapterAllowed, input.chosenPort);
    using Outcome = PortSearch::Outcome;
    if (result.search.outcome == Outcome::Absent) {
        LoseLink(LinkLoss::PortVanished, now);
        result.end = TickResult::End::Absent;
        return result;
    }
    if (result.search.outcome == Outcome::NameTooLong) {
        result.end = TickResult::End::NameTooLong;
        return result;
    }
    if (!result.search.Found()) {
        LoseLink(LinkLoss::PortVanished, now);
        result.end = TickResult::End::NotFound;
        return result;
    }

    if (state_.AutoConnectDone == 0) {
        // A logger registered as "COM0", "COM-1" or "COM" has no port number to open; opening it would
        // bring up the port-selection dialog at every tick.
        const int portNumber = PortNumberOfText(result.search.chosenPort);
        if (portNumber <= 0) {
            result.end = TickResult::End::UnusablePortName;
            return result;
        }
        Connect(unsigned(portNumber), now);
        state_.AutoConnectDone = 1;
        result.connected = true;
    }
    if (state_.LinkUp == 0) {
        // The logger's first answer is awaited.
        result.end = TickResult::End::AwaitingContact;
        return result;
    }

    // The deferred commands: the status refresh after monitoring, one character of a tick sequence,
    // and the monitor's poll or its one-shot command.
    const bool monitoring = state_.MonitorMode != 0;
    if (!monitoring && !pollPending_ && Has(Queued::Kind::StatusRefresh)) {
        Remove(Queued::Kind::StatusRefresh);
        port_.Open();
        Send("p", now);
    }
    if (!monitoring) {
        const auto character = std::find_if(queue_.begin(), queue_.end(), [](const Queued& q) {
            return q.kind == Queued::Kind::TickCharacter;
        });
        if (character != queue_.end()) {
            const std::string c = std::move(character->bytes);
            queue_.erase(character);
            port_.Open();
            Send(c, now);
        }
    }
    if (monitoring && !pollPending_) {
        const std::string command = MonitorCommand();
        port_.Open();
        if (command.empty()) {
            // What arrived before the poll is not its answer.
            (void)port_.ReadAvailable();
            Send("n", now);
            pollPending_ = true;
            Progress(ReceiveStep::MonitorPoll);
        } else {
            Remove(Queued::Kind::MonitorCommand);
            Send(command, now);
        }
    }
    result.end = TickResult::End::Linked;
    return result;
}

} // namespace vexa::session
