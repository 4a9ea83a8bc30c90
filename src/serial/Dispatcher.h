// The dispatcher behind an open port: rings, three worker threads, and the data-available
// notification handed to the UI thread.
#pragma once

#include "serial/DispatchBuffer.h"
#include "serial/OutputRing.h"
#include "serial/SerialDevice.h"
#include "serial/SyncEvent.h"
#include "serial/UiMailbox.h"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <span>
#include <thread>

class TApdCustomComPort;

namespace vexa::serial {

class NotifyTicket;

// Threads while the port is open:
//   com thread  - waits for the device to have bytes (or hang up) and wakes the dispatch thread;
//   dispatch    - moves bytes from the device into the 8192-byte ring and, by the length rule,
//                 posts OnTriggerAvail to the UI thread and waits until the handler returned or
//                 kSendTimeoutMs passed; bytes handed out meanwhile are consumed afterwards;
//   output      - writes the output ring to the device.
// Locks, always taken in this order when nested: general (busy/closing flags), then input (dispatch
// ring) or the event's own; the output ring's lock nests in none. None is held while a handler runs.
class TApdBaseDispatcher {
  public:
    static constexpr int kSendTimeoutMs = 3000;
    static constexpr auto kRoundTimeout = std::chrono::milliseconds(50);
    // How long a close lets queued output reach the driver, and a line change lets it go out.
    static constexpr auto kCloseDrainTimeout = std::chrono::milliseconds(20);
    static constexpr auto kLineChangeDrainTimeout = std::chrono::seconds(10);

    TApdBaseDispatcher(TApdCustomComPort& owner, std::unique_ptr<SerialDevice> device,
                       std::shared_ptr<UiMailbox> mailbox, std::size_t outSize);
    // Stops the threads (waiting for a running notification to end) and leaves the port list.
    ~TApdBaseDispatcher();
    TApdBaseDispatcher(const TApdBaseDispatcher&) = delete;
    TApdBaseDispatcher& operator=(const TApdBaseDispatcher&) = delete;

    DeviceStatus InitPort(const std::string& path, const LineSettings& line, bool dtr, bool rts);
    // Raises Exception("Dispatcher already started") when the threads run already.
    void StartDispatcher();
    bool ThreadsActive() const { return running_.load(std::memory_order_acquire) > 0; }

    // UI-thread operations.
    bool CharReady();
    int GetChar(); // the byte, or ecBufferIsEmpty
    // Every byte available now, taken under one lock (empty when there is none).
    std::string GetAvailable();
    int PutBlock(std::span<const std::uint8_t> bytes);
    DeviceStatus FlushInBuffer();
    std::size_t InBuffUsed();
    std::size_t OutBuffUsed();
    DeviceStatus SetLine(const LineSettings& line);
    DeviceStatus SetModemLines(bool dtr, bool rts);
    void SetTriggerLength(std::uint16_t length) { triggerLength_.store(length); }
    void SetHandlerServiceNeeded(bool needed) { handlerServiceNeeded_.store(needed); }

    // Empties output and input and stops the device. Answers true when a data-available handler is
    // running: the close is then deferred, the threads end after the handler returns, and the
    // owner's close is completed on the UI thread once they have (PostClosePending).
    bool DonePort();
    void PostClosePending();
    // Whether a data-available handler is running on the UI thread right now.
    bool HandlerRunning();

  private:
    void ComThreadMain();
    void DispThreadMain();
    void OutThreadMain();
    void ExtractData();
    void CheckReceiveTriggers();
    void WritePending();
    void MarkHungUp();
    // True when the output ring emptied (or the device hung up) within the time.
    bool WaitOutputDrained(std::chrono::milliseconds timeout);
    void WakeAll();
    void JoinThreads();
    static void DeliverAvail(std::uint64_t id, const std::shared_ptr<NotifyTicket>& ticket,
                             std::uint16_t count);
    static void ClosePending(std::uint64_t id, const std::shared_ptr<UiMailbox>& mailbox);

    TApdCustomComPort& owner_;
    const std::unique_ptr<SerialDevice> device_;
    const std::shared_ptr<UiMailbox> mailbox_;
    const std::uint64_t id_;

    std::mutex generalLock_;
    bool started_ = false;
    bool eventBusy_ = false;                      // a notification is being delivered
    std::shared_ptr<NotifyTicket> currentTicket_; // ...and this is it
    std::atomic<bool> kill_{false};               // all threads must end
    std::atomic<bool> deletePending_{false};      // closed during a notification
    std::atomic<bool> hungUp_{false};             // the device went away; threads end, writes are dropped
    std::atomic<int> running_{0};

    std::mutex inputLock_;
    DispatchBuffer input_;
    std::mutex outputLock_;
    OutputRing output_;
    std::condition_variable outputDrained_;

    std::atomic<std::uint16_t> triggerLength_{0};
    std::atomic<bool> handlerServiceNeeded_{false};

    SyncEvent commEvent_;   // com thread -> dispatch thread: bytes wait in the device
    SyncEvent readyEvent_;  // dispatch thread -> com thread: round done, ring has room
    SyncEvent outputEvent_; // writers -> output thread
    std::thread comThread_, dispThread_, outThread_;
};

} // namespace vexa::serial
