// There is no system device manager to start on Linux; the caller lists the serial ports itself.
#include "platform/DeviceManager.h"

bool OpenDeviceManager(void*) {
    return false;
}
