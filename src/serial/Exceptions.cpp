// Exception classes of the serial layer and the mapping from error codes to them.
#include "serial/Exceptions.h"

#include "serial/ErrorText.h"
#include "serial/TApdComPort.h"

#include <cstdlib>
#include <limits>

EAPDException::EAPDException(int code) : Exception(AproLoadStr(code)), errorCode_(code) {}

int EAPDException::MapCodeToStringID(int code) {
    // |INT_MIN| does not fit an int; no table id comes near it anyway.
    return code == std::numeric_limits<int>::min() ? std::numeric_limits<int>::max() : std::abs(code);
}

namespace vexa::serial {
namespace {

template <class E> [[noreturn]] void Raise(const std::string& message) {
    if (message.empty()) throw E();
    throw E(message);
}

} // namespace

void ThrowForCode(int code, const std::string& message) {
    switch (code) {
    case ecBadArgument:
        Raise<EBadArgument>(message);
    case ecGotQuitMsg:
        Raise<EGotQuitMsg>(message);
    case ecBufferTooBig:
        Raise<EBufferTooBig>(message);
    case ecPortNotAssigned:
        Raise<EPortNotAssigned>(message);
    case ecInternal:
        Raise<EInternal>(message);
    case ecModemNotAssigned:
        Raise<EModemNotAssigned>(message);
    case ecPhonebookNotAssigned:
        Raise<EPhonebookNotAssigned>(message);
    case ecCannotUseWithWinSock:
        Raise<ECannotUseWithWinSock>(message);
    case ecBadId:
        Raise<EBadId>(message);
    case ecBaudRate:
        Raise<EBaudRate>(message);
    case ecByteSize:
        Raise<EByteSize>(message);
    case ecDefault:
        Raise<EDefault>(message);
    case ecHardware:
        Raise<EHardware>(message);
    case ecMemory:
        Raise<EMemory>(message);
    case ecCommNotOpen:
        Raise<ECommNotOpen>(message);
    case ecAlreadyOpen:
        Raise<EAlreadyOpen>(message);
    case ecNoHandles:
        Raise<ENoHandles>(message);
    case ecNoTimers:
        Raise<ENoTimers>(message);
    case ecNoPortSelected:
        Raise<ENoPortSelected>(message);
    case ecNotOpenedByTapi:
        Raise<ENotOpenedByTapi>(message);
    case ecAccessDenied:
        Raise<EPortAccessDenied>(message);
    case ecNullApi:
        Raise<ENullApi>(message);
    case ecRegisterHandlerFailed:
        Raise<ERegisterHandlerFailed>(message);
    case ecPutBlockFail:
        Raise<EPutBlockFail>(message);
    case ecGetBlockFail:
        Raise<EGetBlockFail>(message);
    case ecOutputBufferTooSmall:
        Raise<EOutputBufferTooSmall>(message);
    case ecBufferIsEmpty:
        Raise<EBufferIsEmpty>(message);
    case ecTracingNotEnabled:
        Raise<ETracingNotEnabled>(message);
    case ecLoggingNotEnabled:
        Raise<ELoggingNotEnabled>(message);
    case ecBaseAddressNotSet:
        Raise<EBaseAddressNotSet>(message);
    case ecTriggerTooLong:
        Raise<ETriggerTooLong>(message);
    case ecBadTriggerHandle:
        Raise<EBadTriggerHandle>(message);
    default:
        break;
    }
    // Operating-system error numbers. The other families (modem, protocol, INI, fax, telephony,
    // remote access) have no user here and fall through to the plain "Apro exception".
    if (code >= -162 && code <= -2) {
        if (code == -8) throw EOutOfMemory();
        throw EInOutError(message.empty() ? AproLoadStr(code) : message, -code);
    }
    throw EAPDException("Apro exception", 0);
}

} // namespace vexa::serial

int CheckException(const TApdBaseComponent* component, int code) {
    if (code >= 0 || (component != nullptr && component->Loading())) return code;
    vexa::serial::ThrowForCode(code);
}

int XlatException(const std::exception& e) {
    if (auto* apd = dynamic_cast<const EAPDException*>(&e)) return apd->ErrorCode();
    if (auto* io = dynamic_cast<const EInOutError*>(&e)) return -io->ErrorCode();
    if (dynamic_cast<const EOutOfMemory*>(&e) != nullptr) return -8;
    return -9999;
}
