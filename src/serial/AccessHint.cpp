// The message for a serial device this user may not open. The bare "permission denied" (or the
// old "device already open") leaves a user stuck. The first fix is the logger's udev rule, which
// needs no group and no new login; the second the device's group (dialout, uucp), which the message
// names with the exact command.
#include "serial/AccessHint.h"

#include <grp.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <filesystem>
#include <vector>

namespace vexa::serial {

namespace {

std::string RuleFix(const DeviceAccessFacts& f) {
    if (!f.activeRule.empty())
        return "the logger's udev rule (" + f.activeRule +
               ") gives access to the user logged in at this computer's own screen once the logger is "
               "plugged in: unplug it and plug it in again. ";
    if (!f.shippedRule.empty())
        return "first install the logger's udev rule (sudo cp " + f.shippedRule +
               " /etc/udev/rules.d/ && sudo udevadm control --reload-rules), then unplug the logger and "
               "plug it in again. ";
    return "first install the vexaview package, whose udev rule gives the user at this computer access "
           "to the logger, then unplug the logger and plug it in again. ";
}

std::string GroupFix(const DeviceAccessFacts& f) {
    const std::string group = "\"" + f.groupName + "\"", user = "\"" + f.userName + "\"";
    if (!f.groupName.empty() && f.groupMayReadWrite && !f.processHasGroup) {
        if (f.userListedInGroup)
            return "user " + user + " was added to group " + group +
                   " after this session started. Log out and in again so that the membership takes effect.";
        return "the device belongs to group " + group + " and user " + user +
               " is not a member of it. Add the user to that group (sudo usermod -aG " + f.groupName + " " +
               f.userName + "), then log out and in again.";
    }
    return "user " + user + " may not read and write it" +
           (f.groupName.empty() ? std::string() : " (owner group " + group + ")") +
           ". Ask the administrator for access to the device.";
}

bool IsRegularFile(const std::filesystem::path& path) {
    std::error_code ec;
    return std::filesystem::is_regular_file(path, ec);
}

} // namespace

std::string FindActiveRule(const std::string& root) {
    // udev's rule directories; a file in an earlier one hides one of the same name in a later one.
    static constexpr std::array<const char*, 4> kDirectories{"/etc/udev/rules.d", "/run/udev/rules.d",
                                                             "/usr/lib/udev/rules.d", "/lib/udev/rules.d"};
    for (const char* dir : kDirectories) {
        const std::filesystem::path rule = std::filesystem::path(root + dir) / kLoggerRuleName;
        if (IsRegularFile(rule)) return rule.string();
    }
    return {};
}

std::string FindShippedRule(const std::string& programPath) {
    if (programPath.empty()) return {};
    const std::filesystem::path rule = std::filesystem::path(programPath).parent_path().parent_path() /
                                       "lib" / "udev" / "rules.d" / kLoggerRuleName;
    return IsRegularFile(rule) ? rule.lexically_normal().string() : std::string();
}

std::string FormatAccessDenied(const DeviceAccessFacts& f) {
    return "Permission denied opening " + f.devicePath + ": " + RuleFix(f) + "Otherwise: " + GroupFix(f);
}

std::string DescribeAccessDenied(const std::string& devicePath) {
    DeviceAccessFacts facts;
    facts.devicePath = devicePath;
    facts.activeRule = FindActiveRule();
    if (facts.activeRule.empty()) {
        std::error_code ec;
        facts.shippedRule = FindShippedRule(std::filesystem::read_symlink("/proc/self/exe", ec).string());
    }
    const uid_t uid = geteuid();
    std::vector<char> buffer(16384);
    passwd pw{};
    passwd* pwResult = nullptr;
    const bool known =
        getpwuid_r(uid, &pw, buffer.data(), buffer.size(), &pwResult) == 0 && pwResult != nullptr;
    facts.userName = known ? std::string(pw.pw_name) : std::to_string(uid);

    struct stat st {};
    if (stat(devicePath.c_str(), &st) == 0) {
        facts.groupMayReadWrite = (st.st_mode & (S_IRGRP | S_IWGRP)) == (S_IRGRP | S_IWGRP);
        facts.userListedInGroup = known && pw.pw_gid == st.st_gid; // the primary group
        std::vector<char> groupBuffer(65536);
        group gr{};
        group* grResult = nullptr;
        if (getgrgid_r(st.st_gid, &gr, groupBuffer.data(), groupBuffer.size(), &grResult) == 0 &&
            grResult != nullptr) {
            facts.groupName = gr.gr_name;
            for (char** member = gr.gr_mem; member != nullptr && *member != nullptr; ++member)
                if (facts.userName == *member) facts.userListedInGroup = true;
        }
        const int count = getgroups(0, nullptr);
        std::vector<gid_t> groups(count > 0 ? static_cast<std::size_t>(count) : 0);
        if (count > 0 && getgroups(count, groups.data()) == count)
            facts.processHasGroup = std::find(groups.begin(), groups.end(), st.st_gid) != groups.end();
        facts.processHasGroup = facts.processHasGroup || getegid() == st.st_gid;
    }
    return FormatAccessDenied(facts);
}

} // namespace vexa::serial
