// Printed answers of a Windows window program: attached to the console of the program that started it.
#include "platform/CallerConsole.h"

#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include <cstdio>

void UseCallersConsole() {
    // A handle that leads somewhere (redirected to a file or a pipe, or inherited under Wine) stays.
    if (GetFileType(GetStdHandle(STD_OUTPUT_HANDLE)) != FILE_TYPE_UNKNOWN) return;
    if (!AttachConsole(ATTACH_PARENT_PROCESS)) return; // started from the Start menu or Explorer
    if (!std::freopen("CONOUT$", "w", stdout)) return;
    std::freopen("CONOUT$", "w", stderr);
}
