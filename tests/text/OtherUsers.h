#pragma once

#include <functional>
#include <grp.h>
#include <map>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

// Users and a group that exist only as numbers: the kernel needs no more to tell them apart.
constexpr uid_t kAlice = 4301, kBob = 4302;
constexpr gid_t kStaff = 4300, kAliceGroup = 4311, kBobGroup = 4312;

// What a child process reports back: named facts, each a string.
using TReport = std::map<std::string, std::string>;

// Runs `work` in a child process that really is user `uid` (group `gid`, also in `groups`), as the
// setpriv tool would start it, and returns what it reported; "error" holds an exception that escaped.
inline TReport AsUser(uid_t uid, gid_t gid, std::vector<gid_t> groups, const std::function<TReport()>& work) {
    int channel[2];
    if (::pipe(channel) != 0) return {{"error", "no pipe"}};
    const pid_t child = ::fork();
    if (child == 0) {
        ::close(channel[0]);
        TReport report;
        if (::setgroups(groups.size(), groups.data()) != 0 || ::setresgid(gid, gid, gid) != 0 ||
            ::setresuid(uid, uid, uid) != 0) {
            report["error"] = "cannot become the user";
        } else {
            try {
                report = work();
            } catch (const std::exception& e) {
                report["error"] = e.what();
            }
        }
        std::string out;
        for (const auto& [key, value] : report)
            out += key + '\x1f' + value + '\x1e';
        for (size_t done = 0; done < out.size();) {
            const ssize_t n = ::write(channel[1], out.data() + done, out.size() - done);
            if (n <= 0) break;
            done += static_cast<size_t>(n);
        }
        ::_exit(0);
    }
    ::close(channel[1]);
    std::string in;
    char buffer[4096];
    for (ssize_t n; (n = ::read(channel[0], buffer, sizeof buffer)) > 0;)
        in.append(buffer, static_cast<size_t>(n));
    ::close(channel[0]);
    ::waitpid(child, nullptr, 0);
    TReport report;
    for (size_t at = 0; at < in.size();) {
        const size_t key = in.find('\x1f', at), end = in.find('\x1e', key);
        report[in.substr(at, key - at)] = in.substr(key + 1, end - key - 1);
        at = end + 1;
    }
    return report;
}
