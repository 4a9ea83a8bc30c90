// Pure rules of port discovery: the logger's port name in its friendly name, the port number of a text.
#pragma once

#include <string>
#include <string_view>
#include <variant>

// Result of cutting the port name out of a friendly name such as "USB Serial Port (COM3)".
struct FriendlyPortName {
    enum Kind { Found, TooLong, Missing } kind = Missing;
    std::string name;  // for Found: at most six characters
};

// The characters between the first "(" and the first ")" after it. Seven or more characters there
// give TooLong; no "(" or no ")" gives Missing (a failed search).
FriendlyPortName PortNameFromFriendlyName(std::string_view friendlyName);

// Port number of a connect text "COMn": the first three characters are dropped and the rest read the
// way atol does (blanks skipped, digits up to the first non-digit, 0 if none). At most 15 characters
// of the text are considered.
int PortNumberOfText(std::string_view text);

// Position of "VCP" in a registry value name, 1-based, 0 when absent (case-sensitive).
int VcpPosition(std::string_view valueName);
