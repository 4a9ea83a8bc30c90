// The message for a serial device this user may not open. The bare "permission denied" (or the
// old "device already open") leaves a user stuck; on Linux the usual cause is a missing membership
// in the device's group (dialout, uucp), so the message names the group, the device and the fix.
#include "serial/AccessHint.h"

#include <grp.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <vector>

namespace vexa::serial {

std::string FormatAccessDenied(const DeviceAccessFacts& f) {
    const std::string head = "Permission denied opening " + f.devicePath + ": ";
    const std::string group = "\"" + f.groupName + "\"", user = "\"" + f.userName + "\"";
    if (!f.groupName.empty() && f.groupMayReadWrite && !f.processHasGroup) {
        if (f.userListedInGroup)
            return head + "user " + user + " was added to group " + group +
                   " after this session started. Log out and in again so that the membership takes effect.";
        return head + "the device belongs to group " + group + " and user " + user +
               " is not a member of it. Add the user to that group (sudo usermod -aG " + f.groupName + " " +
               f.userName + "), then log out and in again.";
    }
    return head + "user " + user + " may not read and write it" +
           (f.groupName.empty() ? std::string() : " (owner group " + group + ")") +
           ". Ask the administrator for access to the device.";
}

std::string DescribeAccessDenied(const std::string& devicePath) {
    DeviceAccessFacts facts;
    facts.devicePath = devicePath;
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
