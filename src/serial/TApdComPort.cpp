// The serial port component: open and close sequences, reading, writing and property changes.
#include "serial/TApdComPort.h"

#include "serial/Dispatcher.h"
#include "serial/ErrorText.h"
#include "serial/SerialDevice.h"

using vexa::serial::TApdBaseDispatcher;

TApdCustomComPort::TApdCustomComPort() : OnTriggerAvail([this] { UpdateHandlerFlag(); }) {}

TApdCustomComPort::~TApdCustomComPort() {
    if (!dispatcher_) return;
    if (portState_ == psOpen) {
        open_ = false;
        portState_ = psShuttingDown;
        dispatcher_->DonePort();
    }
    // Waits for the threads, also those of a close still deferred by a notification.
    dispatcher_.reset();
}

// --- Open and close ---------------------------------------------------------------------------

void TApdCustomComPort::SetOpen(bool value) {
    if (loading_) {
        if (value != open_ && value) openRequestedWhileLoading_ = true;
        open_ = value;
        return;
    }
    if (ShuttingDown()) {
        // Carried out when the close completes; a later close cancels an earlier request.
        openRequestedWhileClosing_ = value;
        return;
    }
    if (value == open_) return;
    if (value)
        InitPort();
    else
        DonePort();
}

void TApdCustomComPort::Loaded() {
    loading_ = false;
    if (!open_ && !openRequestedWhileLoading_) return;
    openRequestedWhileLoading_ = false;
    open_ = false; // stays false if the open fails
    InitPort();
}

void TApdCustomComPort::SetComNumber(std::uint16_t n) {
    if (n == comNumber_) return;
    ShuttingDown();
    if (portState_ != psOpen) {
        comNumber_ = n;
        return;
    }
    SetOpen(false);
    comNumber_ = n;
    SetOpen(true); // deferred until the close completes when a notification is running
}

vexa::serial::LineSettings TApdCustomComPort::CurrentLine() const {
    return {baud_, parity_, dataBits_, stopBits_, hwFlowOptions_, swFlowOptions_, xOnChar_, xOffChar_};
}

void TApdCustomComPort::InitPort() {
    if (tapiMode_ != tmOn) ValidateComport();
    if (deviceLayer_ != dlWin32) vexa::serial::ThrowForCode(ecNullApi); // the native layer is the only one
    const std::optional<std::string> path = ResolveDevicePath(comNumber_);
    if (!path) vexa::serial::ThrowForCode(ecBadId);
    // Until it is handed to dispatcher_, a failure below destroys it and the port stays closed.
    auto dispatcher =
        std::make_unique<TApdBaseDispatcher>(*this, vexa::serial::CreateSerialDevice(), mailbox_, outSize_);
    CheckStatus(dispatcher->InitPort(*path, CurrentLine(), dtr_, rts_));
    dispatcher->SetTriggerLength(triggerLength_);
    dispatcher_ = std::move(dispatcher);
    portState_ = psOpen;
    UpdateHandlerFlag();
    try {
        dispatcher_->StartDispatcher();
    } catch (...) {
        dispatcher_.reset();
        portState_ = psClosed;
        throw;
    }
    open_ = true;
}

void TApdCustomComPort::DonePort() {
    open_ = false;
    if (portState_ != psOpen) return;
    portState_ = psShuttingDown;
    if (dispatcher_->DonePort()) {
        dispatcher_->PostClosePending();
        return;
    }
    dispatcher_.reset();
    portState_ = psClosed;
}

bool TApdCustomComPort::ShuttingDown() {
    if (portState_ != psShuttingDown) return false;
    if (dispatcher_->HandlerRunning()) return true;
    CompleteDeferredClose();
    return false;
}

void TApdCustomComPort::CompleteDeferredClose() {
    dispatcher_.reset();
    portState_ = psClosed;
    if (openRequestedWhileClosing_) {
        openRequestedWhileClosing_ = false;
        InitPort();
    }
}

TApdBaseDispatcher* TApdCustomComPort::GetDispatcher() {
    if (!dispatcher_ && !loading_ && portState_ != psOpen && autoOpen_) SetOpen(true);
    return dispatcher_.get();
}

TApdBaseDispatcher* TApdCustomComPort::ValidDispatcher() {
    TApdBaseDispatcher* dispatcher = GetDispatcher();
    if (dispatcher == nullptr) CheckException(this, ecCommNotOpen);
    return dispatcher;
}

void TApdCustomComPort::CheckStatus(const vexa::serial::DeviceStatus& status) const {
    if (status.Ok() || loading_) return;
    if (status.code != 0) vexa::serial::ThrowForCode(status.code, status.message);
    throw EInOutError(status.message.empty() ? AproLoadStr(-status.osError) : status.message, status.osError);
}

// --- Reading and writing ----------------------------------------------------------------------

bool TApdCustomComPort::CharReady() {
    if (ShuttingDown()) return false;
    TApdBaseDispatcher* dispatcher = ValidDispatcher();
    return dispatcher != nullptr && dispatcher->CharReady();
}

char TApdCustomComPort::GetChar() {
    if (ShuttingDown()) return 0;
    TApdBaseDispatcher* dispatcher = ValidDispatcher();
    if (dispatcher == nullptr) return 0;
    const int result = dispatcher->GetChar();
    if (result < 0) {
        CheckException(this, result);
        return 0;
    }
    return static_cast<char>(result);
}

std::string TApdCustomComPort::GetAvailable() {
    if (ShuttingDown()) return {};
    TApdBaseDispatcher* dispatcher = ValidDispatcher();
    if (dispatcher == nullptr) return {};
    return dispatcher->GetAvailable();
}

void TApdCustomComPort::PutChar(char c) {
    PutString(std::string(1, c));
}

void TApdCustomComPort::PutString(const std::string& bytes) {
    if (ShuttingDown()) return;
    TApdBaseDispatcher* dispatcher = ValidDispatcher();
    if (dispatcher == nullptr) return;
    CheckException(this,
                   dispatcher->PutBlock({reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size()}));
}

void TApdCustomComPort::FlushInBuffer() {
    if (ShuttingDown()) return;
    TApdBaseDispatcher* dispatcher = ValidDispatcher();
    if (dispatcher != nullptr) CheckStatus(dispatcher->FlushInBuffer());
}

std::uint16_t TApdCustomComPort::InBuffUsed() {
    if (portState_ != psOpen) return 0;
    return static_cast<std::uint16_t>(dispatcher_->InBuffUsed());
}

std::uint16_t TApdCustomComPort::OutBuffUsed() {
    if (portState_ != psOpen) return 0;
    return static_cast<std::uint16_t>(dispatcher_->OutBuffUsed());
}

// --- Events -----------------------------------------------------------------------------------

void TApdCustomComPort::TriggerAvail(std::uint16_t count) {
    if (OnTriggerAvail) OnTriggerAvail(*this, count);
}

void TApdCustomComPort::UpdateHandlerFlag() {
    if (portState_ == psOpen) dispatcher_->SetHandlerServiceNeeded(static_cast<bool>(OnTriggerAvail));
}

// --- Settings that reach an open device -------------------------------------------------------

void TApdCustomComPort::ApplyLine() {
    if (portState_ == psOpen) CheckStatus(dispatcher_->SetLine(CurrentLine()));
}

void TApdCustomComPort::ApplyModemLines() {
    if (portState_ == psOpen) CheckStatus(dispatcher_->SetModemLines(dtr_, rts_));
}

#define VEXA_LINE_SETTER(Setter, Type, member, apply)                                                        \
    void TApdCustomComPort::Setter(Type v) {                                                                 \
        if (v == member) return;                                                                             \
        member = v;                                                                                          \
        apply();                                                                                             \
    }
VEXA_LINE_SETTER(SetBaud, std::int32_t, baud_, ApplyLine)
VEXA_LINE_SETTER(SetParity, TParity, parity_, ApplyLine)
VEXA_LINE_SETTER(SetDataBits, std::uint16_t, dataBits_, ApplyLine)
VEXA_LINE_SETTER(SetStopBits, std::uint16_t, stopBits_, ApplyLine)
VEXA_LINE_SETTER(SetHWFlowOptions, THWFlowOptions, hwFlowOptions_, ApplyLine)
VEXA_LINE_SETTER(SetSWFlowOptions, TSWFlowOptions, swFlowOptions_, ApplyLine)
VEXA_LINE_SETTER(SetXOnChar, char, xOnChar_, ApplyLine)
VEXA_LINE_SETTER(SetXOffChar, char, xOffChar_, ApplyLine)
VEXA_LINE_SETTER(SetDTR, bool, dtr_, ApplyModemLines)
VEXA_LINE_SETTER(SetRTS, bool, rts_, ApplyModemLines)
#undef VEXA_LINE_SETTER

void TApdCustomComPort::SetTriggerLength(std::uint16_t v) {
    triggerLength_ = v;
    if (portState_ == psOpen) dispatcher_->SetTriggerLength(v);
}
