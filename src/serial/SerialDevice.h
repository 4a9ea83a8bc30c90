// The operating-system side of a serial port, behind a small interface so that each platform has
// its backend in one file (PosixSerialDevice.cpp; a Win32 one can sit beside it).
#pragma once

#include "serial/TApdComPort.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <string>

namespace vexa::serial {

struct LineSettings {
    std::int32_t baud = 19200;
    TParity parity = pNone;
    std::uint16_t dataBits = 8;
    std::uint16_t stopBits = 1;
    THWFlowOptions hwFlow = 0;
    TSWFlowOptions swFlow = swfNone;
    char xOn = 17;
    char xOff = 19;
};

// The outcome of a device operation, captured where the OS reported it.
struct DeviceStatus {
    int code = 0;        // an AproErrorCode, 0 when the failure is an OS error or there is none
    int osError = 0;     // OS error number, raised as EInOutError when code is 0
    std::string message; // replaces the code's table text when not empty
    bool Ok() const { return code == 0 && osError == 0; }
};

// Failed: any other error; a write's bytes are then dropped, a read is taken as a hang-up.
enum class IoState { Ok, WouldBlock, HangUp, Failed };
struct IoResult {
    std::size_t count = 0;
    IoState state = IoState::Ok;
};
enum class WaitResult { Ready, HangUp, Interrupted };
enum class PortProbe { Absent, Available, InUse };

// One open device. Read, Write and the waits may run on different threads at once; Open, Close
// and the settings calls are not concurrent with anything else.
class SerialDevice {
  public:
    virtual ~SerialDevice() = default;
    // Exclusive open, line and modem lines set, both directions purged.
    virtual DeviceStatus Open(const std::string& path, const LineSettings& line, bool dtr, bool rts) = 0;
    virtual DeviceStatus SetLine(const LineSettings& line) = 0;
    virtual DeviceStatus SetModemLines(bool dtr, bool rts) = 0;
    virtual DeviceStatus PurgeInput() = 0;
    virtual DeviceStatus PurgeOutput() = 0;
    // Never block: WouldBlock when nothing can move now, HangUp when the device is gone.
    virtual IoResult Read(std::span<std::uint8_t> into) = 0;
    virtual IoResult Write(std::span<const std::uint8_t> from) = 0;
    // Block until bytes can be read (or written), the device hangs up, or Interrupt was called.
    virtual WaitResult WaitReadable() = 0;
    virtual WaitResult WaitWritable() = 0;
    // Wakes every current and later wait with Interrupted, until Close. Safe from any thread.
    virtual void Interrupt() = 0;
    virtual void Close() = 0;
};

std::unique_ptr<SerialDevice> CreateSerialDevice();
// Whether a port could be opened now (for the port-selection list); opens and closes at once.
PortProbe ProbeSerialDevice(const std::string& path);

} // namespace vexa::serial
