// The console a command-line program runs in: whether a stream is a terminal, its width, and Ctrl+C.
#pragma once

#include <cstdio>

namespace vexa {

// True when the stream is an interactive terminal (not a pipe, a file or /dev/null).
bool IsTerminal(std::FILE* stream);
// Columns of the terminal behind the stream; 80 when it has no size to tell.
int TerminalColumns(std::FILE* stream);

// From now on Ctrl+C (and, on POSIX, SIGTERM and SIGHUP) only sets a flag the program polls, so it can
// end what it is doing in an orderly way. A second Ctrl+C while the flag is set ends the program at once.
void CatchInterrupts();
bool InterruptRequested();
// Clears the flag (tests, or a program that handled one interrupt and goes on).
void ClearInterrupt();

} // namespace vexa
