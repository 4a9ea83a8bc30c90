// Where a window program's printed answers (--help, --version) go.
#pragma once

// Makes stdout and stderr reach the console the program was started from, when they lead nowhere:
// a Windows window program starts without a console of its own. Output already sent to a file, a pipe
// or a terminal is left as it is; elsewhere this does nothing.
void UseCallersConsole();
