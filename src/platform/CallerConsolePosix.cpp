// Printed answers on POSIX systems: stdout and stderr are the caller's already.
#include "platform/CallerConsole.h"

void UseCallersConsole() {}
