// Error codes of the serial layer, the exception classes they raise, and the lookup of their texts.
#pragma once

#include <array>
#include <exception>
#include <string>

class TApdBaseComponent;

// Base of the project's exceptions: a std::exception that carries its message text.
class Exception : public std::exception {
  public:
    explicit Exception(std::string message) : message_(std::move(message)) {}
    const char* what() const noexcept override { return message_.c_str(); }
    const std::string& Message() const noexcept { return message_; }

  private:
    std::string message_;
};

// Error codes reported by the serial layer (negative; 0 is success).
enum AproErrorCode : int {
    ecOK = 0,
    ecBadHandle = -1001,
    ecBadArgument = -1002,
    ecGotQuitMsg = -1003,
    ecBufferTooBig = -1004,
    ecPortNotAssigned = -1005,
    ecInternal = -1006,
    ecModemNotAssigned = -1007,
    ecPhonebookNotAssigned = -1008,
    ecCannotUseWithWinSock = -1009,
    ecBadId = -2001,
    ecBaudRate = -2002,
    ecByteSize = -2003,
    ecDefault = -2004,
    ecHardware = -2005,
    ecMemory = -2006,
    ecCommNotOpen = -2007,
    ecAlreadyOpen = -2008,
    ecNoHandles = -2009,
    ecNoTimers = -2010,
    ecNoPortSelected = -2011,
    ecNotOpenedByTapi = -2012,
    ecAccessDenied = -2013, // POSIX: the device exists but this user may not open it
    ecNullApi = -3001,
    ecNotSupported = -3002,
    ecRegisterHandlerFailed = -3003,
    ecPutBlockFail = -3004,
    ecGetBlockFail = -3005,
    ecOutputBufferTooSmall = -3006,
    ecBufferIsEmpty = -3007,
    ecTracingNotEnabled = -3008,
    ecLoggingNotEnabled = -3009,
    ecBaseAddressNotSet = -3010,
    ecTriggerTooLong = -5002,
    ecBadTriggerHandle = -5003,
};

// An error of the serial layer with its code. From a code, the message is the code's table text.
class EAPDException : public Exception {
  public:
    explicit EAPDException(int code);
    explicit EAPDException(std::string message) : EAPDException(std::move(message), 0) {}
    EAPDException(std::string message, int code) : Exception(std::move(message)), errorCode_(code) {}
    int ErrorCode() const noexcept { return errorCode_; }
    static int MapCodeToStringID(int code);

  private:
    int errorCode_;
};

#define VEXA_APD_FAMILY(Name)                                                                                \
    class Name : public EAPDException {                                                                      \
      public:                                                                                                \
        using EAPDException::EAPDException;                                                                  \
    };
VEXA_APD_FAMILY(EGeneral)
VEXA_APD_FAMILY(EOpenComm)
VEXA_APD_FAMILY(ESerialIO)
VEXA_APD_FAMILY(EModem)
VEXA_APD_FAMILY(ETrigger)
VEXA_APD_FAMILY(EPacket)
VEXA_APD_FAMILY(EProtocol)
VEXA_APD_FAMILY(EINI)
VEXA_APD_FAMILY(EFax)
VEXA_APD_FAMILY(ETapi)
VEXA_APD_FAMILY(ERas)
VEXA_APD_FAMILY(EAdTerminal)
#undef VEXA_APD_FAMILY

// A code class: constructed from its own code (table text) or with a message of its own.
#define VEXA_APD_CODE_CLASS(Name, Family, Code)                                                              \
    class Name : public Family {                                                                             \
      public:                                                                                                \
        static constexpr int kCode = Code;                                                                   \
        Name() : Family(kCode) {}                                                                            \
        explicit Name(std::string message) : Family(std::move(message), kCode) {}                            \
    };
VEXA_APD_CODE_CLASS(EBadArgument, EGeneral, ecBadArgument)
VEXA_APD_CODE_CLASS(EGotQuitMsg, EGeneral, ecGotQuitMsg)
VEXA_APD_CODE_CLASS(EBufferTooBig, EGeneral, ecBufferTooBig)
VEXA_APD_CODE_CLASS(EPortNotAssigned, EGeneral, ecPortNotAssigned)
VEXA_APD_CODE_CLASS(EInternal, EGeneral, ecInternal)
VEXA_APD_CODE_CLASS(EModemNotAssigned, EGeneral, ecModemNotAssigned)
VEXA_APD_CODE_CLASS(EPhonebookNotAssigned, EGeneral, ecPhonebookNotAssigned)
VEXA_APD_CODE_CLASS(ECannotUseWithWinSock, EGeneral, ecCannotUseWithWinSock)
VEXA_APD_CODE_CLASS(EBadId, EOpenComm, ecBadId)
VEXA_APD_CODE_CLASS(EBaudRate, EOpenComm, ecBaudRate)
VEXA_APD_CODE_CLASS(EByteSize, EOpenComm, ecByteSize)
VEXA_APD_CODE_CLASS(EDefault, EOpenComm, ecDefault)
VEXA_APD_CODE_CLASS(EHardware, EOpenComm, ecHardware)
VEXA_APD_CODE_CLASS(EMemory, EOpenComm, ecMemory)
VEXA_APD_CODE_CLASS(ECommNotOpen, EOpenComm, ecCommNotOpen)
VEXA_APD_CODE_CLASS(EAlreadyOpen, EOpenComm, ecAlreadyOpen)
VEXA_APD_CODE_CLASS(ENoHandles, EOpenComm, ecNoHandles)
VEXA_APD_CODE_CLASS(ENoTimers, EOpenComm, ecNoTimers)
VEXA_APD_CODE_CLASS(ENoPortSelected, EOpenComm, ecNoPortSelected)
VEXA_APD_CODE_CLASS(ENotOpenedByTapi, EOpenComm, ecNotOpenedByTapi)
VEXA_APD_CODE_CLASS(EPortAccessDenied, EOpenComm, ecAccessDenied)
VEXA_APD_CODE_CLASS(ENullApi, ESerialIO, ecNullApi)
VEXA_APD_CODE_CLASS(ERegisterHandlerFailed, ESerialIO, ecRegisterHandlerFailed)
VEXA_APD_CODE_CLASS(EPutBlockFail, ESerialIO, ecPutBlockFail)
VEXA_APD_CODE_CLASS(EGetBlockFail, ESerialIO, ecGetBlockFail)
VEXA_APD_CODE_CLASS(EOutputBufferTooSmall, ESerialIO, ecOutputBufferTooSmall)
VEXA_APD_CODE_CLASS(EBufferIsEmpty, ESerialIO, ecBufferIsEmpty)
VEXA_APD_CODE_CLASS(ETracingNotEnabled, ESerialIO, ecTracingNotEnabled)
VEXA_APD_CODE_CLASS(ELoggingNotEnabled, ESerialIO, ecLoggingNotEnabled)
VEXA_APD_CODE_CLASS(EBaseAddressNotSet, ESerialIO, ecBaseAddressNotSet)
VEXA_APD_CODE_CLASS(ETriggerTooLong, ETrigger, ecTriggerTooLong)
VEXA_APD_CODE_CLASS(EBadTriggerHandle, ETrigger, ecBadTriggerHandle)
#undef VEXA_APD_CODE_CLASS

// An operating-system input/output error; ErrorCode is the positive error number.
class EInOutError : public Exception {
  public:
    EInOutError(std::string message, int code) : Exception(std::move(message)), errorCode_(code) {}
    int ErrorCode() const noexcept { return errorCode_; }

  private:
    int errorCode_;
};

// Error number 8 (insufficient memory) is raised as this instead of EInOutError.
class EOutOfMemory : public Exception {
  public:
    EOutOfMemory() : Exception("Out of memory") {}
};

// The string-table loader found its table missing or damaged.
class ETpsStringResourceError : public Exception {
  public:
    using Exception::Exception;
};

// Returns code unchanged when it is >= 0 or while the component is loading; otherwise raises the
// exception for the code and never returns. A null component counts as not loading.
int CheckException(const TApdBaseComponent* component, int code);

// The code an exception stands for: EAPDException's code, EInOutError's negated code, -8 for
// EOutOfMemory, -9999 for anything else.
int XlatException(const std::exception& e);

// The table text for |code| (at most 255 bytes), or the operating system's text for that number
// with control characters turned into blanks and runs of blanks reduced to one; "" when neither.
std::string AproLoadStr(int code);
std::string ErrorMsg(int code);
using AproZBuffer = std::array<char, 80>;
// The table text for |code|, cut by whole characters to 79 bytes, zero-terminated.
char* AproLoadZ(AproZBuffer& buffer, int code);
