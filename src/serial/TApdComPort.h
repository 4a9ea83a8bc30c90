// The serial port component: properties, open and close, byte-wise reading, queued writing and the
// data-available event, backed by a dispatcher with worker threads while the port is open.
#pragma once

#include "serial/Exceptions.h"
#include "serial/UiMailbox.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace vexa::serial {
class TApdBaseDispatcher;
struct LineSettings;
struct DeviceStatus;
} // namespace vexa::serial

enum TDeviceLayer { dlWin16, dlFossil, dlWin32, dlWinsock };
enum TParity { pNone, pOdd, pEven, pMark, pSpace };
// Bits of the hardware flow-control option set.
enum THWFlowOption : std::uint8_t { hwfUseDTR = 1, hwfUseRTS = 2, hwfRequireDSR = 4, hwfRequireCTS = 8 };
using THWFlowOptions = std::uint8_t;
enum TSWFlowOptions { swfNone, swfReceive, swfTransmit, swfBoth };
enum TTraceLogState { tlOff, tlOn, tlDump, tlAppend, tlClear, tlPause };
enum TTapiMode { tmNone, tmAuto, tmOn, tmOff };
enum TPortState { psClosed, psShuttingDown, psOpen };
enum TApThreadBoost { tbNone, tbPlusOne, tbPlusTwo };

// Maps a port number to the device that serves it ("COM3" -> "/dev/ttyUSB0"); nullopt: no such port.
using DevicePathResolver = std::function<std::optional<std::string>(unsigned comNumber)>;
// Asked when a port opens with ComNumber 0 and PromptForPort set. Gets the available ports as
// "COM%d" texts and answers the chosen port number, or nullopt for Cancel.
using PortSelectionHook = std::function<std::optional<unsigned>(const std::vector<std::string>& names)>;

// The resolver used by components that have none of their own (process-wide; thread-safe).
void SetDefaultDevicePathResolver(DevicePathResolver resolver);

class TApdBaseComponent {
  public:
    virtual ~TApdBaseComponent() = default;
    std::string Version() const { return "vexa-serial 1.0"; }
    // True while the owner's saved state is being applied (see BeginLoading/Loaded of the port).
    bool Loading() const { return loading_; }

  protected:
    bool loading_ = false;
};

// An event slot: holds a handler and tells its owner whenever a handler is assigned or removed.
template <class Signature> class TEventProperty;
template <class R, class... Args> class TEventProperty<R(Args...)> {
  public:
    explicit TEventProperty(std::function<void()> onAssign) : onAssign_(std::move(onAssign)) {}
    TEventProperty(const TEventProperty&) = delete;
    TEventProperty& operator=(const TEventProperty&) = delete;
    template <class F> TEventProperty& operator=(F&& handler) {
        handler_ = std::forward<F>(handler);
        onAssign_();
        return *this;
    }
    explicit operator bool() const { return static_cast<bool>(handler_); }
    R operator()(Args... args) const { return handler_(std::forward<Args>(args)...); }

  private:
    std::function<R(Args...)> handler_;
    std::function<void()> onAssign_;
};

class TApdCustomComPort : public TApdBaseComponent {
  public:
    TApdCustomComPort();
    ~TApdCustomComPort() override;
    TApdCustomComPort(const TApdCustomComPort&) = delete;
    TApdCustomComPort& operator=(const TApdCustomComPort&) = delete;

    // --- Port number and open state -------------------------------------------------------
    std::uint16_t ComNumber() const { return comNumber_; }
    // On an open port: close, take the new number, open again (triggers are kept).
    void SetComNumber(std::uint16_t n);
    // The stored open flag (true after a successful open). Not an action: use SetOpen(true).
    [[nodiscard]] bool Open() const { return open_; }
    void SetOpen(bool value);
    TPortState State() const { return portState_; }

    // --- Reading and writing (UI thread) --------------------------------------------------
    bool CharReady();
    char GetChar();
    // Every received byte available now, in one call; empty when there is none (never raises
    // buffer-empty, unlike GetChar).
    std::string GetAvailable();
    void PutChar(char c);
    void PutString(const std::string& bytes);
    void FlushInBuffer();
    // Bytes received and not yet read; bytes queued and not yet written to the device.
    std::uint16_t InBuffUsed();
    std::uint16_t OutBuffUsed();

    // Data-available event: (component, number of unread bytes). Runs on the UI thread.
    TEventProperty<void(TApdCustomComPort&, std::uint16_t)> OnTriggerAvail;

    // --- Host connections -----------------------------------------------------------------
    void SetUiMailbox(std::shared_ptr<UiMailbox> mailbox) { mailbox_ = std::move(mailbox); }
    void SetDevicePathResolver(DevicePathResolver resolver) { resolver_ = std::move(resolver); }
    void SetPortSelectionHook(PortSelectionHook hook) { portSelectionHook_ = std::move(hook); }

    // Applying saved state: between the two, SetOpen only records the wish; Loaded opens the port
    // if it was asked for (a failure there leaves Open false and propagates).
    void BeginLoading() { loading_ = true; }
    void Loaded();

    // --- Properties -------------------------------------------------------------------------
    TDeviceLayer DeviceLayer() const { return deviceLayer_; }
    void SetDeviceLayer(TDeviceLayer v) { deviceLayer_ = v; }
    std::int32_t Baud() const { return baud_; }
    void SetBaud(std::int32_t v);
    TParity Parity() const { return parity_; }
    void SetParity(TParity v);
    std::uint16_t DataBits() const { return dataBits_; }
    void SetDataBits(std::uint16_t v);
    std::uint16_t StopBits() const { return stopBits_; }
    void SetStopBits(std::uint16_t v);
    bool PromptForPort() const { return promptForPort_; }
    void SetPromptForPort(bool v) { promptForPort_ = v; }
    std::uint16_t InSize() const { return inSize_; }
    void SetInSize(std::uint16_t v) { inSize_ = v; }
    std::uint16_t OutSize() const { return outSize_; }
    void SetOutSize(std::uint16_t v) { outSize_ = v; } // takes effect at the next open
    bool AutoOpen() const { return autoOpen_; }
    void SetAutoOpen(bool v) { autoOpen_ = v; }
    bool DTR() const { return dtr_; }
    void SetDTR(bool v);
    bool RTS() const { return rts_; }
    void SetRTS(bool v);
    THWFlowOptions HWFlowOptions() const { return hwFlowOptions_; }
    void SetHWFlowOptions(THWFlowOptions v);
    TSWFlowOptions SWFlowOptions() const { return swFlowOptions_; }
    void SetSWFlowOptions(TSWFlowOptions v);
    char XOnChar() const { return xOnChar_; }
    void SetXOnChar(char v);
    char XOffChar() const { return xOffChar_; }
    void SetXOffChar(char v);
    std::uint16_t BufferFull() const { return bufferFull_; }
    void SetBufferFull(std::uint16_t v) { bufferFull_ = v; }
    std::uint16_t BufferResume() const { return bufferResume_; }
    void SetBufferResume(std::uint16_t v) { bufferResume_ = v; }
    // Minimum number of unread bytes for a data-available notification (0: none).
    std::uint16_t TriggerLength() const { return triggerLength_; }
    void SetTriggerLength(std::uint16_t v);

    // Tracing and logging are kept as settings only; this layer writes no trace or log file.
    TTraceLogState Tracing() const { return tracing_; }
    void SetTracing(TTraceLogState v) { tracing_ = v; }
    std::uint32_t TraceSize() const { return traceSize_; }
    void SetTraceSize(std::uint32_t v) { traceSize_ = v > 4000000u ? 4000000u : v; }
    std::string TraceName() const { return traceName_; }
    void SetTraceName(std::string v) { traceName_ = v.substr(0, 255); }
    bool TraceHex() const { return traceHex_; }
    void SetTraceHex(bool v) { traceHex_ = v; }
    bool TraceAllHex() const { return traceAllHex_; }
    void SetTraceAllHex(bool v) { traceAllHex_ = v; }
    TTraceLogState Logging() const { return logging_; }
    void SetLogging(TTraceLogState v) { logging_ = v; }
    std::uint32_t LogSize() const { return logSize_; }
    void SetLogSize(std::uint32_t v) { logSize_ = v > 16000000u ? 16000000u : v; }
    std::string LogName() const { return logName_; }
    void SetLogName(std::string v) { logName_ = v.substr(0, 255); }
    bool LogHex() const { return logHex_; }
    void SetLogHex(bool v) { logHex_ = v; }
    bool LogAllHex() const { return logAllHex_; }
    void SetLogAllHex(bool v) { logAllHex_ = v; }

    bool UseMSRShadow() const { return useMSRShadow_; }
    void SetUseMSRShadow(bool v) { useMSRShadow_ = v; }
    bool UseEventWord() const { return useEventWord_; }
    void SetUseEventWord(bool v) { useEventWord_ = v; }
    std::uint16_t CommNotificationLevel() const { return commNotificationLevel_; }
    void SetCommNotificationLevel(std::uint16_t v) { commNotificationLevel_ = v; }
    TTapiMode TapiMode() const { return tapiMode_; }
    void SetTapiMode(TTapiMode v) { tapiMode_ = v; }
    bool RS485Mode() const { return rs485Mode_; }
    void SetRS485Mode(bool v) { rs485Mode_ = v; }
    TApThreadBoost ThreadBoost() const { return threadBoost_; }
    void SetThreadBoost(TApThreadBoost v) { threadBoost_ = v; }

  protected:
    // Calls OnTriggerAvail when one is assigned.
    virtual void TriggerAvail(std::uint16_t count);
    virtual void InitPort();
    virtual void DonePort();
    virtual void ValidateComport();

    // The dispatcher, opening the port first when AutoOpen allows it; may be null.
    vexa::serial::TApdBaseDispatcher* GetDispatcher();
    // The dispatcher or ECommNotOpen (null only while loading).
    vexa::serial::TApdBaseDispatcher* ValidDispatcher();

  private:
    friend class vexa::serial::TApdBaseDispatcher;
    void UpdateHandlerFlag();
    vexa::serial::LineSettings CurrentLine() const;
    void ApplyLine();
    void ApplyModemLines();
    // Raises the exception for a failed device operation (not while loading).
    void CheckStatus(const vexa::serial::DeviceStatus& status) const;
    std::optional<std::string> ResolveDevicePath(unsigned comNumber) const;
    // Finishes a close that a running notification deferred; reopens if asked meanwhile.
    void CompleteDeferredClose();
    // True while a close is deferred by a handler that is still running. Once that handler has
    // returned, finishes the close here rather than waiting for the posted turn, so that a click
    // right after an exchange is not swallowed by a close that is over in all but name.
    bool ShuttingDown();
    std::vector<std::string> AvailablePortNames() const;

    // Run-time state.
    TPortState portState_ = psClosed;
    std::unique_ptr<vexa::serial::TApdBaseDispatcher> dispatcher_;
    bool openRequestedWhileClosing_ = false;
    bool openRequestedWhileLoading_ = false;
    std::shared_ptr<UiMailbox> mailbox_;
    DevicePathResolver resolver_;
    PortSelectionHook portSelectionHook_;

    // Properties, at the component's defaults.
    TDeviceLayer deviceLayer_ = dlWin32;
    std::uint16_t comNumber_ = 0;
    std::int32_t baud_ = 19200;
    bool promptForPort_ = true;
    TParity parity_ = pNone;
    std::uint16_t dataBits_ = 8;
    std::uint16_t stopBits_ = 1;
    std::uint16_t inSize_ = 4096;
    std::uint16_t outSize_ = 4096;
    bool autoOpen_ = true;
    bool open_ = false;
    bool dtr_ = true;
    bool rts_ = true;
    THWFlowOptions hwFlowOptions_ = 0;
    TSWFlowOptions swFlowOptions_ = swfNone;
    char xOnChar_ = 17;
    char xOffChar_ = 19;
    std::uint16_t bufferFull_ = 0;
    std::uint16_t bufferResume_ = 0;
    std::uint16_t triggerLength_ = 1;
    TTraceLogState tracing_ = tlOff;
    std::uint32_t traceSize_ = 10000;
    std::string traceName_ = "APRO.TRC";
    bool traceHex_ = true;
    bool traceAllHex_ = false;
    TTraceLogState logging_ = tlOff;
    std::uint32_t logSize_ = 10000;
    std::string logName_ = "APRO.LOG";
    bool logHex_ = true;
    bool logAllHex_ = false;
    bool useMSRShadow_ = true;
    bool useEventWord_ = true;
    std::uint16_t commNotificationLevel_ = 10;
    TTapiMode tapiMode_ = tmAuto;
    bool rs485Mode_ = false;
    TApThreadBoost threadBoost_ = tbNone;
};

// The component as the windows use it; it adds nothing to TApdCustomComPort.
class TApdComPort : public TApdCustomComPort {
  public:
    using TApdCustomComPort::TApdCustomComPort;
};
