// Explains a refused open of a serial device in terms a user can act on: the logger's udev rule
// first, then the device's group.
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
    std::string activeRule;         // the logger's udev rule where udev reads it; "" when absent
    std::string shippedRule;        // the rule as installed beside the program; "" when absent
};

// File name of the logger's udev rule (uaccess and the /dev/vexa-<serial> symlink).
inline constexpr const char* kLoggerRuleName = "70-vexaview.rules";
// The rule in the first of udev's rule directories that holds it; "" when udev does not have it.
// root is prepended to those directories (tests point it at a scratch tree).
std::string FindActiveRule(const std::string& root = "");
// The rule an install tree keeps beside the program, <program dir>/../lib/udev/rules.d; "" when
// absent. A tree under /usr/local or a home directory is not read by udev until the rule is copied.
std::string FindShippedRule(const std::string& programPath);

std::string FormatAccessDenied(const DeviceAccessFacts& facts);
// Gathers the facts for this process and formats them.
std::string DescribeAccessDenied(const std::string& devicePath);

} // namespace vexa::serial
