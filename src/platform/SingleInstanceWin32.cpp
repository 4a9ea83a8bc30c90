// Single-instance guard on Windows: the named mutex, created owned by the starting process.
#include "platform/SingleInstance.h"

#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

SingleInstanceGuard::SingleInstanceGuard(std::string name) : path_(std::move(name)) {}

SingleInstanceGuard::~SingleInstanceGuard() {
    Release();
}

bool SingleInstanceGuard::Acquire() {
    if (handle_ != -1) return true;
    // Any error reported after the call, "already exists" above all, means another copy runs.
    SetLastError(ERROR_SUCCESS);
    HANDLE mutex = CreateMutexA(nullptr, TRUE, path_.c_str());
    const DWORD error = GetLastError();
    if (mutex == nullptr) return false;
    if (error != ERROR_SUCCESS) {
        CloseHandle(mutex);
        return false;
    }
    handle_ = reinterpret_cast<std::intptr_t>(mutex);
    return true;
}

bool SingleInstanceGuard::HeldElsewhere() const {
    if (handle_ != -1) return false;
    // The mutex exists while a holder lives; opening it takes no ownership.
    HANDLE mutex = OpenMutexA(SYNCHRONIZE, FALSE, path_.c_str());
    if (mutex == nullptr) return false;
    CloseHandle(mutex);
    return true;
}

void SingleInstanceGuard::Release() {
    if (handle_ == -1) return;
    HANDLE mutex = reinterpret_cast<HANDLE>(handle_);
    ReleaseMutex(mutex);
    CloseHandle(mutex);
    handle_ = -1;
}
