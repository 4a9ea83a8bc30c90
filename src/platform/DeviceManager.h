// Opens the system's own view of its devices, where the user sees which port the logger was given.
#pragma once

// True when the system's device manager was started. Platforms without one answer false and the
// caller shows its own list of serial ports instead. The owner window is a native handle or null.
bool OpenDeviceManager(void* ownerWindow = nullptr);
