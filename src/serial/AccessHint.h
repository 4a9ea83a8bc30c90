// Explains a refused open of a serial device in terms a user can act on (which group, which fix).
#pragma once

#include <string>

namespace vexa::serial {

struct DeviceAccessFacts {
    std::string devicePath;
    std::string groupName;          // the group owning the device; "" when unknown
    std::string userName;           // the user this program runs as
    bool groupMayReadWrite = false; // the device's group has read and write permission
    bool userListedInGroup = false; // the group database names the user as a member
    bool processHasGroup = false;   // this process carries the group now
};

std::string FormatAccessDenied(const DeviceAccessFacts& facts);
// Gathers the facts for this process and formats them.
std::string DescribeAccessDenied(const std::string& devicePath);

} // namespace vexa::serial
