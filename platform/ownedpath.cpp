#include "platform/ownedpath.h"

#include <grp.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <climits>
#include <cstring>
#include <deque>
#include <vector>

namespace platform {

namespace {

bool Trusted(uid_t owner) { return owner == ::geteuid() || owner == 0; }

// A group folder is still ours when the group is the user's own: their primary group with
// nobody else among its members (the one-user-one-group habit of many systems).
bool OwnGroup(gid_t gid) {
    if (gid != ::getegid()) return false;
    std::vector<char> buf(16384);
    group gr;
    group* found = nullptr;
    if (::getgrgid_r(gid, &gr, buf.data(), buf.size(), &found) != 0 || !found) return false;
    std::vector<char> pbuf(16384);
    passwd pw;
    passwd* me = nullptr;
    if (::getpwuid_r(::geteuid(), &pw, pbuf.data(), pbuf.size(), &me) != 0 || !me) return false;
    for (char** m = gr.gr_mem; m && *m; ++m)
        if (std::strcmp(*m, pw.pw_name) != 0) return false;
    return true;
}

// Why nobody but the user and root can change what the folder holds, or why not.
std::string FolderProblem(const std::string& dir, const struct stat& st) {
    if (!Trusted(st.st_uid)) return "lies in " + dir + ", a folder another user owns";
    if (st.st_mode & S_ISVTX) return {};
    if ((st.st_mode & S_IWOTH) || ((st.st_mode & S_IWGRP) && !OwnGroup(st.st_gid)))
        return "lies in " + dir +
               ", a folder other users may write to, which is no place for settings or the log";
    return {};
}

std::deque<std::string> Split(const std::string& path) {
    std::deque<std::string> parts;
    std::size_t start = 0;
    while (start <= path.size()) {
        std::size_t end = path.find('/', start);
        if (end == std::string::npos) end = path.size();
        if (end > start) parts.push_back(path.substr(start, end - start));
        start = end + 1;
    }
    return parts;
}

std::string Join(const std::string& dir, const std::string& name) {
    return dir == "/" ? "/" + name : dir + "/" + name;
}

std::string Parent(const std::string& dir) {
    const auto slash = dir.rfind('/');
    return slash == 0 || slash == std::string::npos ? "/" : dir.substr(0, slash);
}

}  // namespace

OwnedPath ResolveOwnedPath(const std::string& path) {
    std::string at = "/";
    if (path.empty() || path[0] != '/') {
        char cwd[PATH_MAX];
        if (::getcwd(cwd, sizeof cwd)) at = cwd;
    }
    std::deque<std::string> left = Split(path);
    int links = 0;
    while (!left.empty()) {
        const std::string name = left.front();
        left.pop_front();
        if (name == ".") continue;
        if (name == "..") {
            at = Parent(at);
            continue;
        }
        struct stat dir;
        if (::lstat(at.c_str(), &dir) == 0) {
            if (std::string why = FolderProblem(at, dir); !why.empty()) return {{}, why};
        }
        const std::string next = Join(at, name);
        struct stat st;
        if (::lstat(next.c_str(), &st) != 0) {
            // Missing, or not to be looked at: what opens it says so.
            std::string rest = next;
            for (const std::string& p : left) rest += "/" + p;
            return {rest, {}};
        }
        if (!S_ISLNK(st.st_mode)) {
            at = next;
            if (left.empty() && !Trusted(st.st_uid))
                return {{},
                        "is " + (next == path ? std::string("") : next + ", ") +
                            "a file of another user's"};
            continue;
        }
        if (!Trusted(st.st_uid))
            return {{}, "is reached through " + next + ", a link another user owns"};
        if (++links > 40) return {{}, "is reached through too many links"};
        std::vector<char> buf(static_cast<std::size_t>(st.st_size > 0 ? st.st_size : PATH_MAX) + 1);
        const ssize_t n = ::readlink(next.c_str(), buf.data(), buf.size());
        if (n < 0 || static_cast<std::size_t>(n) >= buf.size()) return {next, {}};
        const std::string target(buf.data(), static_cast<std::size_t>(n));
        if (!target.empty() && target[0] == '/') at = "/";
        std::deque<std::string> parts = Split(target);
        left.insert(left.begin(), parts.begin(), parts.end());
    }
    return {at, {}};
}

}  // namespace platform
