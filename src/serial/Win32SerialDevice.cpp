// Win32 serial backend: overlapped COM handle. The com thread waits in a pending one-byte read, which
// completes on the first byte, on an error, or at end of file (a hang-up); reads then take what the
// driver has queued; writes are handed to the driver overlapped.
#include "serial/ErrorText.h"
#include "serial/SerialDevice.h"

#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include <algorithm>
#include <array>
#include <cstring>
#include <mutex>

namespace vexa::serial {
namespace {

// Queue sizes handed to the driver; the dispatcher keeps its own 8192-byte ring above them.
constexpr DWORD kDriverInQueue = 8192;
constexpr DWORD kDriverOutQueue = 4096;
// WaitCommEvent is not used: under Wine it can end at once with no event and nothing queued, and
// telling that from a hang-up then needs a read that may block. The pending read answers both.
// Its time-outs: complete as soon as one byte is there; the total time-out is about 49 days.
constexpr COMMTIMEOUTS kWaitTimeouts = {MAXDWORD, MAXDWORD, MAXDWORD - 1, 0, 0};
// Everything else reads only what is queued and returns at once.
constexpr COMMTIMEOUTS kNowTimeouts = {MAXDWORD, 0, 0, 0, 0};

DeviceStatus OsError(DWORD error) {
    return {0, static_cast<int>(error), CleanSystemMessage(SystemErrorText(static_cast<int>(error)))};
}

DeviceStatus LastError() {
    return OsError(GetLastError());
}

// The component maps the system's "not found" to EBadId and "access denied" (another program holds
// the port: COM ports are opened without sharing) to EAlreadyOpen; anything else is an I/O error.
DeviceStatus OpenFailure(DWORD error) {
    switch (error) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
        return {ecBadId, 0, {}};
    case ERROR_ACCESS_DENIED:
    case ERROR_SHARING_VIOLATION:
        return {ecAlreadyOpen, 0, {}};
    default:
        return OsError(error);
    }
}

// Errors after which the device will not come back: the adapter was pulled or the line hung up.
bool IsGone(DWORD error) {
    switch (error) {
    case ERROR_ACCESS_DENIED: // USB-serial drivers after removal
    case ERROR_BAD_COMMAND:   // the device no longer recognises the request
    case ERROR_DEVICE_NOT_CONNECTED:
    case ERROR_GEN_FAILURE:
    case ERROR_INVALID_HANDLE:
    case ERROR_FILE_NOT_FOUND:
    case ERROR_BROKEN_PIPE:
    case ERROR_HANDLE_EOF:
    case ERROR_DEVICE_REMOVED:
    case ERROR_NOT_READY:
        return true;
    default:
        return false;
    }
}

// "COM5" and "\\.\COM5" both open the port; names above COM9 need the device namespace prefix.
std::string DeviceName(const std::string& path) {
    if (path.rfind("\\\\.\\", 0) == 0) return path;
    if (path.size() > 3 && _strnicmp(path.c_str(), "COM", 3) == 0) return "\\\\.\\" + path;
    return path;
}

class Win32SerialDevice final : public SerialDevice {
  public:
    ~Win32SerialDevice() override { Close(); }

    DeviceStatus Open(const std::string& path, const LineSettings& line, bool dtr, bool rts) override {
        const std::string name = DeviceName(path);
        HANDLE handle = CreateFileA(name.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                                    FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OVERLAPPED, nullptr);
        if (handle == INVALID_HANDLE_VALUE) return OpenFailure(GetLastError());
        {
            std::lock_guard lock(lifeLock_);
            handle_ = handle;
            interrupt_ = CreateEventW(nullptr, TRUE, FALSE, nullptr);
            readOv_.hEvent = CreateEventW(nullptr, TRUE, FALSE, nullptr);
            waitOv_.hEvent = CreateEventW(nullptr, TRUE, FALSE, nullptr);
            writeOv_.hEvent = CreateEventW(nullptr, TRUE, FALSE, nullptr);
        }
        if (!interrupt_ || !readOv_.hEvent || !waitOv_.hEvent || !writeOv_.hEvent)
            return Fail({-static_cast<int>(ERROR_NOT_ENOUGH_MEMORY), 0, {}}); // raised as out of memory
        if (!SetupComm(handle_, kDriverInQueue, kDriverOutQueue)) return Fail(LastError());
        dtr_ = dtr;
        rts_ = rts;
        DeviceStatus status = ApplyLine(line);
        if (!status.Ok()) return Fail(status);
        status = SetModemLines(dtr, rts);
        if (!status.Ok()) return Fail(status);
        // Reads return what is queued at once; an empty queue is answered by the caller as WouldBlock.
        COMMTIMEOUTS timeouts = kNowTimeouts;
        if (!SetCommTimeouts(handle_, &timeouts)) return Fail(LastError());
        PurgeComm(handle_, PURGE_RXABORT | PURGE_RXCLEAR | PURGE_TXABORT | PURGE_TXCLEAR);
        return {};
    }

    DeviceStatus SetLine(const LineSettings& line) override { return ApplyLine(line); }

    DeviceStatus SetModemLines(bool dtr, bool rts) override {
        dtr_ = dtr;
        rts_ = rts;
        const bool rtsByDriver = (line_.hwFlow & hwfUseRTS) != 0;
        const bool dtrByDriver = (line_.hwFlow & hwfUseDTR) != 0;
        std::array<DWORD, 2> calls{};
        std::size_t n = 0;
        if (!dtrByDriver) calls[n++] = dtr ? SETDTR : CLRDTR;
        if (!rtsByDriver) calls[n++] = rts ? SETRTS : CLRRTS;
        for (std::size_t i = 0; i < n; ++i) {
            if (EscapeCommFunction(handle_, calls[i])) continue;
            const DWORD error = GetLastError();
            // A port without modem lines (a virtual port, a pseudo-terminal under Wine) refuses them.
            if (error == ERROR_NOT_SUPPORTED || error == ERROR_INVALID_FUNCTION) continue;
            return OsError(error);
        }
        return {};
    }

    DeviceStatus PurgeInput() override {
        std::lock_guard lock(readLock_);
        hasPushback_ = false;
        return PurgeComm(handle_, PURGE_RXABORT | PURGE_RXCLEAR) ? DeviceStatus{} : LastError();
    }

    DeviceStatus PurgeOutput() override {
        return PurgeComm(handle_, PURGE_TXABORT | PURGE_TXCLEAR) ? DeviceStatus{} : LastError();
    }

    IoResult Read(std::span<std::uint8_t> into) override {
        if (into.empty()) return {};
        std::lock_guard lock(readLock_);
        HarvestWait();
        std::size_t count = 0;
        if (hasPushback_) {
            into[count++] = pushback_;
            hasPushback_ = false;
        }
        const IoState none = count > 0 ? IoState::Ok : IoState::WouldBlock;
        if (waitGone_ && count == 0) return {0, IoState::HangUp};
        // While the wait's read is pending, later bytes belong to it: reading past it would reorder.
        if (waitPending_ || waitGone_) return {count, none};
        DWORD errors = 0;
        COMSTAT stat{};
        if (!ClearCommError(handle_, &errors, &stat))
            return {count, count > 0                ? IoState::Ok
                           : IsGone(GetLastError()) ? IoState::HangUp
                                                    : IoState::Failed};
        if (stat.cbInQue == 0 || count == into.size()) return {count, none};
        const auto want = static_cast<DWORD>(std::min<std::size_t>(into.size() - count, stat.cbInQue));
        DWORD got = 0;
        if (!ReadNow(into.data() + count, want, got))
            return {count, count > 0                ? IoState::Ok
                           : IsGone(GetLastError()) ? IoState::HangUp
                                                    : IoState::Failed};
        count += got;
        return {count, count > 0 ? IoState::Ok : IoState::WouldBlock};
    }

    IoResult Write(std::span<const std::uint8_t> from) override {
        std::lock_guard lock(writeLock_);
        if (writePending_) {
            DWORD done = 0;
            if (!GetOverlappedResult(handle_, &writeOv_, &done, FALSE)) {
                const DWORD error = GetLastError();
                if (error == ERROR_IO_INCOMPLETE) return {0, IoState::WouldBlock};
                writePending_ = false;
                if (IsGone(error)) return {0, IoState::HangUp};
                // Aborted by a purge or failed otherwise: those bytes are lost, as a failed write's are.
            }
            writePending_ = false;
        }
        if (from.empty()) return {};
        // The bytes are copied so that the caller's ring may move on while the driver sends them.
        const auto size = static_cast<DWORD>(std::min(from.size(), writeBuffer_.size()));
        std::memcpy(writeBuffer_.data(), from.data(), size);
        ResetEvent(writeOv_.hEvent);
        writeOv_.Offset = writeOv_.OffsetHigh = 0;
        DWORD done = 0;
        if (WriteFile(handle_, writeBuffer_.data(), size, &done, &writeOv_)) return {done, IoState::Ok};
        const DWORD error = GetLastError();
        if (error == ERROR_IO_PENDING) {
            writePending_ = true;
            return {size, IoState::Ok};
        }
        return {0, IsGone(error) ? IoState::HangUp : IoState::Failed};
    }

    WaitResult WaitReadable() override {
        {
            std::lock_guard lock(readLock_);
            HarvestWait();
            if (hasPushback_) return WaitResult::Ready;
            if (waitGone_) return WaitResult::HangUp;
            if (!waitPending_) {
                DWORD errors = 0;
                COMSTAT stat{};
                if (!ClearCommError(handle_, &errors, &stat)) return WaitResult::HangUp;
                if (stat.cbInQue > 0) return WaitResult::Ready;
                StartWait();
                if (hasPushback_) return WaitResult::Ready;
                if (waitGone_) return WaitResult::HangUp;
                if (!waitPending_) return WaitResult::Ready; // aborted by a purge: look again
            }
        }
        const HANDLE events[2] = {interrupt_, waitOv_.hEvent};
        const DWORD which = WaitForMultipleObjects(2, events, FALSE, INFINITE);
        // An interrupted wait stays pending; Close cancels it.
        if (which == WAIT_OBJECT_0) return WaitResult::Interrupted;
        if (which != WAIT_OBJECT_0 + 1) return WaitResult::HangUp;
        std::lock_guard lock(readLock_);
        HarvestWait();
        return waitGone_ && !hasPushback_ ? WaitResult::HangUp : WaitResult::Ready;
    }

    WaitResult WaitWritable() override {
        HANDLE event;
        {
            std::lock_guard lock(writeLock_);
            if (!writePending_) return WaitResult::Ready;
            event = writeOv_.hEvent;
        }
        const HANDLE events[2] = {interrupt_, event};
        const DWORD which = WaitForMultipleObjects(2, events, FALSE, INFINITE);
        if (which == WAIT_OBJECT_0) return WaitResult::Interrupted;
        return which == WAIT_OBJECT_0 + 1 ? WaitResult::Ready : WaitResult::HangUp;
    }

    void Interrupt() override {
        std::lock_guard lock(lifeLock_);
        if (interrupt_) SetEvent(interrupt_); // manual reset: every later wait returns too
    }

    void Close() override {
        std::lock_guard lock(lifeLock_);
        if (handle_ != INVALID_HANDLE_VALUE) {
            // Pending reads and writes point into this object: they must be finished before it goes.
            // Closing the handle ends what the cancel did not; the wait is bounded all the same.
            CancelIoEx(handle_, nullptr);
            CloseHandle(handle_);
            if (waitPending_) WaitForSingleObject(waitOv_.hEvent, 2000);
            if (writePending_) WaitForSingleObject(writeOv_.hEvent, 2000);
            waitPending_ = writePending_ = false;
            handle_ = INVALID_HANDLE_VALUE;
        }
        for (HANDLE* event : {&interrupt_, &readOv_.hEvent, &waitOv_.hEvent, &writeOv_.hEvent})
            if (*event) {
                CloseHandle(*event);
                *event = nullptr;
            }
        hasPushback_ = waitGone_ = false;
    }

  private:
    DeviceStatus Fail(DeviceStatus status) {
        Close();
        return status;
    }

    DeviceStatus ApplyLine(const LineSettings& line) {
        DCB dcb{};
        dcb.DCBlength = sizeof dcb;
        if (!GetCommState(handle_, &dcb)) return LastError();
        dcb.fBinary = TRUE;
        if (line.baud != 0) dcb.BaudRate = static_cast<DWORD>(line.baud); // 0 keeps the current rate
        if (line.dataBits >= 5 && line.dataBits <= 8)
            dcb.ByteSize = static_cast<BYTE>(line.dataBits);
        else if (line.dataBits != 9) // 9 keeps the current size
            return {ecByteSize, 0, {}};
        static constexpr BYTE kParity[] = {NOPARITY, ODDPARITY, EVENPARITY, MARKPARITY, SPACEPARITY};
        dcb.Parity = kParity[line.parity];
        dcb.fParity = line.parity != pNone;
        const unsigned stop = line.stopBits == 0 ? 1u : line.stopBits > 3 ? 2u : line.stopBits;
        if (line.dataBits == 5 && stop == 2)
            dcb.StopBits = ONE5STOPBITS;
        else if (stop == 2)
            dcb.StopBits = TWOSTOPBITS;
        else if (stop == 1)
            dcb.StopBits = ONESTOPBIT; // 3 keeps the current setting
        dcb.fOutxCtsFlow = (line.hwFlow & hwfRequireCTS) != 0;
        dcb.fOutxDsrFlow = (line.hwFlow & hwfRequireDSR) != 0;
        dcb.fDtrControl = (line.hwFlow & hwfUseDTR) != 0 ? DTR_CONTROL_HANDSHAKE
                          : dtr_                         ? DTR_CONTROL_ENABLE
                                                         : DTR_CONTROL_DISABLE;
        dcb.fRtsControl = (line.hwFlow & hwfUseRTS) != 0 ? RTS_CONTROL_HANDSHAKE
                          : rts_                         ? RTS_CONTROL_ENABLE
                                                         : RTS_CONTROL_DISABLE;
        dcb.fDsrSensitivity = FALSE;
        dcb.fOutX = line.swFlow == swfTransmit || line.swFlow == swfBoth;
        dcb.fInX = line.swFlow == swfReceive || line.swFlow == swfBoth;
        dcb.XonChar = line.xOn;
        dcb.XoffChar = line.xOff;
        // Flow-control thresholds: stop the sender at 90 % of the driver's queue, resume at 10 %.
        dcb.XoffLim = static_cast<WORD>(kDriverInQueue / 10);
        dcb.XonLim = static_cast<WORD>(kDriverInQueue / 10);
        dcb.fErrorChar = FALSE;
        dcb.fNull = FALSE;
        dcb.fAbortOnError = FALSE; // a framing error must not stall every later read
        if (!SetCommState(handle_, &dcb)) {
            const DWORD error = GetLastError();
            if (error == ERROR_INVALID_PARAMETER && line.baud != 0) return {ecBaudRate, 0, {}};
            return OsError(error);
        }
        line_ = line;
        return {};
    }

    // Under readLock_: reads bytes the driver has queued; the open's time-outs make it return at once.
    bool ReadNow(std::uint8_t* into, DWORD size, DWORD& got) {
        ResetEvent(readOv_.hEvent);
        readOv_.Offset = readOv_.OffsetHigh = 0;
        if (ReadFile(handle_, into, size, &got, &readOv_)) return true;
        if (GetLastError() != ERROR_IO_PENDING) return false;
        return GetOverlappedResult(handle_, &readOv_, &got, TRUE) != 0;
    }

    // Under readLock_, nothing pending: a one-byte read that completes on the first byte.
    void StartWait() {
        COMMTIMEOUTS wait = kWaitTimeouts;
        if (!SetCommTimeouts(handle_, &wait)) {
            waitGone_ = IsGone(GetLastError());
            return;
        }
        ResetEvent(waitOv_.hEvent);
        waitOv_.Offset = waitOv_.OffsetHigh = 0;
        DWORD got = 0;
        const BOOL done = ReadFile(handle_, &waitByte_, 1, &got, &waitOv_);
        const DWORD error = done ? ERROR_SUCCESS : GetLastError();
        COMMTIMEOUTS now = kNowTimeouts; // the pending read keeps the time-outs it started with
        SetCommTimeouts(handle_, &now);
        if (done)
            FinishWait(got);
        else if (error == ERROR_IO_PENDING)
            waitPending_ = true;
        else if (error != ERROR_OPERATION_ABORTED)
            waitGone_ = true;
    }

    // Under readLock_: collects a finished wait into the pushback byte, or notes the hang-up.
    void HarvestWait() {
        if (!waitPending_) return;
        DWORD got = 0;
        if (GetOverlappedResult(handle_, &waitOv_, &got, FALSE)) {
            waitPending_ = false;
            FinishWait(got);
            return;
        }
        const DWORD error = GetLastError();
        if (error == ERROR_IO_INCOMPLETE) return;
        waitPending_ = false;
        if (error != ERROR_OPERATION_ABORTED) waitGone_ = true; // a purge aborts it harmlessly
    }

    // No byte before a total time-out weeks away is end of file: the other end hung up.
    void FinishWait(DWORD got) {
        if (got == 0) {
            waitGone_ = true;
            return;
        }
        pushback_ = waitByte_;
        hasPushback_ = true;
    }

    std::mutex lifeLock_; // Interrupt may come from any thread while another closes
    HANDLE handle_ = INVALID_HANDLE_VALUE;
    HANDLE interrupt_ = nullptr;
    LineSettings line_;
    bool dtr_ = true;
    bool rts_ = true;

    std::mutex readLock_; // the com thread's wait and the dispatch thread's reads
    OVERLAPPED readOv_{};
    OVERLAPPED waitOv_{};
    bool waitPending_ = false;
    bool waitGone_ = false;
    std::uint8_t waitByte_ = 0;
    bool hasPushback_ = false; // the byte the wait read, handed out before anything queued after it
    std::uint8_t pushback_ = 0;

    std::mutex writeLock_;
    OVERLAPPED writeOv_{};
    bool writePending_ = false;
    std::array<std::uint8_t, kDriverOutQueue> writeBuffer_{};
};

} // namespace

std::unique_ptr<SerialDevice> CreateSerialDevice() {
    return std::make_unique<Win32SerialDevice>();
}

PortProbe ProbeSerialDevice(const std::string& path) {
    const std::string name = DeviceName(path);
    HANDLE handle = CreateFileA(name.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OVERLAPPED, nullptr);
    if (handle == INVALID_HANDLE_VALUE)
        return GetLastError() == ERROR_ACCESS_DENIED ? PortProbe::InUse : PortProbe::Absent;
    CloseHandle(handle);
    return PortProbe::Available;
}

} // namespace vexa::serial
