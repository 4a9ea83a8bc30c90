// The device manager on Windows: the management console snap-in, started through the shell.
#include "platform/DeviceManager.h"

#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include <shellapi.h> // needs windows.h first

bool OpenDeviceManager(void* ownerWindow) {
    // The shell answers a value above 32 when it started the program.
    const auto result = reinterpret_cast<INT_PTR>(ShellExecuteA(
        static_cast<HWND>(ownerWindow), nullptr, "devmgmt.msc", nullptr, nullptr, SW_SHOWNORMAL));
    return result > 32;
}
