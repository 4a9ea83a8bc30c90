// Worker threads, data-available rule, UI hand-over with read-ahead accounting, deferred close.
#include "serial/Dispatcher.h"

#include "serial/Exceptions.h"
#include "serial/PortList.h"
#include "serial/TApdComPort.h"

#include <algorithm>
#include <condition_variable>

namespace vexa::serial {

// One data-available event on its way to the UI thread. The dispatch thread waits on it (at most
// kSendTimeoutMs) instead of inside UiMailbox::Send, so that a close made while the event is still
// queued can withdraw it and release the thread at once: only a handler that has begun defers a close.
class NotifyTicket {
  public:
    enum State { kPending, kRunning, kDone, kAbandoned };
    // The UI thread is about to run the handler; false when the event was withdrawn.
    bool Begin() { return Move(kPending, kRunning); }
    void Finish() { Move(kRunning, kDone); }
    // Withdraws an event whose handler has not begun; false once it has.
    bool Abandon() { return Move(kPending, kAbandoned); }
    State Current() {
        std::lock_guard lock(mutex_);
        return state_;
    }
    State WaitFor(int timeoutMs) {
        std::unique_lock lock(mutex_);
        cv_.wait_for(lock, std::chrono::milliseconds(timeoutMs),
                     [this] { return state_ == kDone || state_ == kAbandoned; });
        return state_;
    }

  private:
    bool Move(State from, State to) {
        {
            std::lock_guard lock(mutex_);
            if (state_ != from) return false;
            state_ = to;
        }
        cv_.notify_all();
        return true;
    }
    std::mutex mutex_;
    std::condition_variable cv_;
    State state_ = kPending;
};

TApdBaseDispatcher::TApdBaseDispatcher(TApdCustomComPort& owner, std::unique_ptr<SerialDevice> device,
                                       std::shared_ptr<UiMailbox> mailbox, std::size_t outSize)
    : owner_(owner), device_(std::move(device)), mailbox_(std::move(mailbox)), id_(PortList::Add(this)),
      output_(outSize) {}

TApdBaseDispatcher::~TApdBaseDispatcher() {
    {
        std::lock_guard lock(generalLock_);
        if (currentTicket_) currentTicket_->Abandon(); // an event still queued will not run
    }
    kill_.store(true);
    WakeAll();
    JoinThreads();
    PortList::Remove(id_);
}

DeviceStatus TApdBaseDispatcher::InitPort(const std::string& path, const LineSettings& line, bool dtr,
                                          bool rts) {
    return device_->Open(path, line, dtr, rts);
}

void TApdBaseDispatcher::StartDispatcher() {
    std::lock_guard lock(generalLock_);
    if (started_) throw Exception("Dispatcher already started");
    started_ = true;
    try {
        for (auto [thread, body] : {std::pair{&comThread_, &TApdBaseDispatcher::ComThreadMain},
                                    std::pair{&dispThread_, &TApdBaseDispatcher::DispThreadMain},
                                    std::pair{&outThread_, &TApdBaseDispatcher::OutThreadMain}}) {
            running_.fetch_add(1);
            try {
                *thread = std::thread(body, this);
            } catch (...) {
                running_.fetch_sub(1);
                throw;
            }
        }
    } catch (...) {
        kill_.store(true);
        WakeAll();
        JoinThreads();
        throw;
    }
}

// --- Threads ----------------------------------------------------------------------------------

void TApdBaseDispatcher::ComThreadMain() {
    while (!kill_ && !hungUp_) {
        const WaitResult event = device_->WaitReadable();
        if (kill_ || hungUp_ || event == WaitResult::Interrupted) break;
        if (event == WaitResult::HangUp) {
            MarkHungUp();
            break;
        }
        // The bytes stay readable until the dispatch thread has taken them; wait for that round
        // instead of polling again at once.
        readyEvent_.Reset();
        if (kill_ || hungUp_) break; // a wake-up set just before the reset must not be lost
        commEvent_.Set();
        readyEvent_.Wait();
    }
    running_.fetch_sub(1, std::memory_order_release);
}

void TApdBaseDispatcher::DispThreadMain() {
    while (true) {
        commEvent_.WaitFor(kRoundTimeout);
        if (kill_) break;
        // After a hang-up one more round takes whatever the device still delivers, then the thread ends.
        const bool lastRound = hungUp_;
        ExtractData();
        CheckReceiveTriggers();
        if (kill_) break;
        bool full;
        {
            std::lock_guard lock(inputLock_);
            full = input_.Full();
        }
        // With the ring full the com thread stays parked: bytes wait in the driver until the UI
        // reads some (GetChar then wakes this thread).
        if (!full) readyEvent_.Set();
        if (lastRound) break;
    }
    if (deletePending_) {
        // Closed during a notification: nobody on the UI thread joins these two, so do it here.
        if (comThread_.joinable()) comThread_.join();
        if (outThread_.joinable()) outThread_.join();
        device_->Close();
    }
    running_.fetch_sub(1, std::memory_order_release);
}

void TApdBaseDispatcher::OutThreadMain() {
    while (true) {
        outputEvent_.Wait();
        if (kill_ || hungUp_) break;
        WritePending();
    }
    running_.fetch_sub(1, std::memory_order_release);
}

void TApdBaseDispatcher::ExtractData() {
    std::lock_guard lock(inputLock_);
    while (!input_.Full()) {
        const auto space = input_.WritableSpan();
        const IoResult r = device_->Read(space);
        input_.Commit(r.count);
        if (r.state == IoState::HangUp || r.state == IoState::Failed) {
            MarkHungUp();
            return;
        }
        if (r.state == IoState::WouldBlock || r.count < space.size()) return;
    }
}

void TApdBaseDispatcher::CheckReceiveTriggers() {
    const std::size_t length = triggerLength_.load();
    if (!handlerServiceNeeded_ || !mailbox_) {
        // Nobody to tell: the bytes count as announced, and wait in the ring until read.
        std::lock_guard lock(inputLock_);
        input_.TakeAvailNotification(length);
        return;
    }
    std::unique_lock general(generalLock_);
    if (kill_) return;
    std::size_t count;
    {
        std::lock_guard lock(inputLock_);
        auto announce = input_.TakeAvailNotification(length);
        if (!announce) return;
        count = *announce;
        input_.BeginNotification();
    }
    auto ticket = std::make_shared<NotifyTicket>();
    eventBusy_ = true;
    currentTicket_ = ticket;
    general.unlock();

    const auto count16 = static_cast<std::uint16_t>(std::min<std::size_t>(count, 0xFFFF));
    // If the mailbox drops the call unrun (it is being destroyed), the event is withdrawn.
    auto dropped = std::shared_ptr<void>(nullptr, [ticket](void*) { ticket->Abandon(); });
    mailbox_->Post([id = id_, ticket, dropped, count16] { DeliverAvail(id, ticket, count16); });
    // Past the time-out a handler that has begun runs on; its later reads then take bytes directly.
    // One that has not begun will not run any more.
    if (ticket->WaitFor(kSendTimeoutMs) == NotifyTicket::kPending) ticket->Abandon();

    {
        std::lock_guard lock(inputLock_);
        input_.EndNotification();
    }
    std::lock_guard relock(generalLock_);
    eventBusy_ = false;
    currentTicket_.reset();
}

void TApdBaseDispatcher::WritePending() {
    while (!kill_ && !hungUp_) {
        std::span<const std::uint8_t> piece;
        std::uint64_t generation;
        {
            std::lock_guard lock(outputLock_);
            piece = output_.Pending();
            generation = output_.Generation();
        }
        if (piece.empty()) return;
        // The piece is written without the lock: writers only fill the free part of the ring.
        const IoResult r = device_->Write(piece);
        if (r.state == IoState::WouldBlock) {
            const WaitResult w = device_->WaitWritable();
            if (w == WaitResult::HangUp) MarkHungUp();
            if (w != WaitResult::Ready) return;
            continue;
        }
        if (r.state == IoState::HangUp) {
            MarkHungUp();
            return;
        }
        // Bytes that failed to go out for another reason are dropped, not retried for ever.
        std::lock_guard lock(outputLock_);
        output_.Advance(r.state == IoState::Failed ? piece.size() : r.count, generation);
        if (output_.Used() == 0) outputDrained_.notify_all();
    }
}

void TApdBaseDispatcher::MarkHungUp() {
    hungUp_.store(true);
    WakeAll();
    {
        std::lock_guard lock(outputLock_); // a drain wait between its check and its sleep sees the flag
    }
    outputDrained_.notify_all();
}

void TApdBaseDispatcher::WakeAll() {
    device_->Interrupt();
    commEvent_.Set();
    readyEvent_.Set();
    outputEvent_.Set();
}

void TApdBaseDispatcher::JoinThreads() {
    // The dispatch thread first: after a deferred close it joins the other two itself.
    if (dispThread_.joinable()) dispThread_.join();
    if (comThread_.joinable()) comThread_.join();
    if (outThread_.joinable()) outThread_.join();
    device_->Close();
}

// --- UI-thread side ---------------------------------------------------------------------------

void TApdBaseDispatcher::DeliverAvail(std::uint64_t id, const std::shared_ptr<NotifyTicket>& ticket,
                                      std::uint16_t count) {
    auto lock = PortList::Lock();
    TApdBaseDispatcher* self = PortList::Find(id);
    if (self == nullptr || !ticket->Begin()) return;
    // An exception from the handler leaves through the mailbox to the UI side's handling; the
    // bytes read before it were counted as handed out and are consumed all the same.
    struct Finish {
        NotifyTicket& ticket;
        ~Finish() { ticket.Finish(); }
    } finish{*ticket};
    self->owner_.TriggerAvail(count);
}

bool TApdBaseDispatcher::CharReady() {
    std::lock_guard lock(inputLock_);
    return input_.Unread() > 0;
}

int TApdBaseDispatcher::GetChar() {
    std::optional<std::uint8_t> byte;
    bool wasFull;
    {
        std::lock_guard lock(inputLock_);
        wasFull = input_.Full() && !input_.InNotification();
        byte = input_.GetChar();
    }
    if (!byte) return ecBufferIsEmpty;
    if (wasFull) commEvent_.Set(); // room again: let the dispatch thread resume reading the device
    return *byte;
}

std::string TApdBaseDispatcher::GetAvailable() {
    std::string bytes;
    bool wasFull;
    {
        std::lock_guard lock(inputLock_);
        wasFull = input_.Full() && !input_.InNotification();
        input_.GetBlock(bytes);
    }
    if (wasFull && !bytes.empty()) commEvent_.Set(); // room again, as after GetChar
    return bytes;
}

int TApdBaseDispatcher::PutBlock(std::span<const std::uint8_t> bytes) {
    if (bytes.empty()) return 0;
    // A device that hung up takes nothing any more; the bytes are dropped as a failed write would.
    if (hungUp_) return 0;
    {
        std::lock_guard lock(outputLock_);
        if (!output_.Put(bytes)) return ecOutputBufferTooSmall;
    }
    outputEvent_.Set();
    return 0;
}

DeviceStatus TApdBaseDispatcher::FlushInBuffer() {
    if (!hungUp_) {
        DeviceStatus status = device_->PurgeInput();
        if (!status.Ok()) return status;
    }
    {
        std::lock_guard lock(inputLock_);
        input_.Flush();
    }
    commEvent_.Set();
    return {};
}

std::size_t TApdBaseDispatcher::InBuffUsed() {
    std::lock_guard lock(inputLock_);
    return input_.Unread();
}

std::size_t TApdBaseDispatcher::OutBuffUsed() {
    std::lock_guard lock(outputLock_);
    return output_.Used();
}

bool TApdBaseDispatcher::WaitOutputDrained(std::chrono::milliseconds timeout) {
    std::unique_lock lock(outputLock_);
    return outputDrained_.wait_for(lock, timeout, [this] { return output_.Used() == 0 || hungUp_; });
}

DeviceStatus TApdBaseDispatcher::SetLine(const LineSettings& line) {
    WaitOutputDrained(kLineChangeDrainTimeout); // queued bytes go out at the old settings
    return device_->SetLine(line);
}

DeviceStatus TApdBaseDispatcher::SetModemLines(bool dtr, bool rts) {
    return device_->SetModemLines(dtr, rts);
}

bool TApdBaseDispatcher::DonePort() {
    // Bytes queued before the close belong to the exchange (the ACK to an ENQ, a last command): let
    // them reach the driver. Only a device that takes nothing has its output thrown away, so that
    // closing cannot hang on it.
    const bool drained = WaitOutputDrained(kCloseDrainTimeout);
    {
        std::lock_guard lock(outputLock_);
        output_.Clear();
    }
    if (!drained && !hungUp_) device_->PurgeOutput();
    // During a notification this counts every unread byte as consumed when it ends, so nothing of
    // the old exchange is left for the next open.
    {
        std::lock_guard lock(inputLock_);
        input_.Flush();
    }
    if (!hungUp_) device_->PurgeInput();
    bool deferred;
    {
        std::lock_guard lock(generalLock_);
        // Deferred only while the handler runs (the close comes from inside it, or from a loop it
        // runs). An event still queued is withdrawn, and the close completes now.
        deferred =
            eventBusy_ && !currentTicket_->Abandon() && currentTicket_->Current() == NotifyTicket::kRunning;
        deletePending_.store(deferred);
        kill_.store(true);
    }
    WakeAll();
    if (!deferred) JoinThreads();
    return deferred;
}

bool TApdBaseDispatcher::HandlerRunning() {
    std::lock_guard lock(generalLock_);
    return eventBusy_ && currentTicket_->Current() == NotifyTicket::kRunning;
}

void TApdBaseDispatcher::PostClosePending() {
    if (mailbox_) mailbox_->Post([id = id_, mailbox = mailbox_] { ClosePending(id, mailbox); });
}

void TApdBaseDispatcher::ClosePending(std::uint64_t id, const std::shared_ptr<UiMailbox>& mailbox) {
    auto lock = PortList::Lock();
    TApdBaseDispatcher* self = PortList::Find(id);
    if (self == nullptr) return;
    if (self->ThreadsActive()) {
        // The dispatch thread ends right after the handler returned; look again on the next turn.
        mailbox->Post([id, mailbox] { ClosePending(id, mailbox); });
        return;
    }
    self->owner_.CompleteDeferredClose();
}

} // namespace vexa::serial
