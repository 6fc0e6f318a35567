// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What the tests learn of processes and sockets from /proc: the process tree,
// the processes marked by a text in their command line or environment, their
// socket inodes, and the TCP sockets that listen.

#include <sys/types.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <sstream>
#include <string>

namespace skartina::test {

inline std::set<pid_t> AllProcesses() {
    std::set<pid_t> pids;
    for (const auto& entry : std::filesystem::directory_iterator("/proc")) {
        const std::string name = entry.path().filename().string();
        if (!name.empty() && name.find_first_not_of("0123456789") == std::string::npos) pids.insert(std::stoi(name));
    }
    return pids;
}

inline std::string ProcFile(pid_t pid, const char* file) {
    std::ifstream in("/proc/" + std::to_string(pid) + "/" + file, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

inline pid_t ParentOf(pid_t pid) {
    const std::string stat = ProcFile(pid, "stat");
    const size_t end = stat.rfind(')');
    if (end == std::string::npos) return -1;
    std::istringstream fields(stat.substr(end + 2));
    std::string state;
    pid_t parent = -1;
    fields >> state >> parent;
    return parent;
}

// The process and its descendants, leaving out the excluded one and its own.
inline std::set<pid_t> ProcessTree(pid_t root, pid_t excluded = -1) {
    std::set<pid_t> tree = {root};
    for (bool grew = true; grew;) {
        grew = false;
        for (pid_t pid : AllProcesses()) {
            if (tree.count(pid) || pid == excluded) continue;
            if (tree.count(ParentOf(pid))) grew = tree.insert(pid).second || grew;
        }
    }
    return tree;
}

// Living processes (not zombies) whose command line or environment holds the text.
inline std::set<pid_t> ProcessesMarkedWith(const std::string& text) {
    std::set<pid_t> marked;
    for (pid_t pid : AllProcesses()) {
        const std::string stat = ProcFile(pid, "stat");
        const size_t end = stat.rfind(')');
        if (end == std::string::npos || stat.compare(end + 2, 1, "Z") == 0) continue;
        if (ProcFile(pid, "cmdline").find(text) != std::string::npos || ProcFile(pid, "environ").find(text) != std::string::npos)
            marked.insert(pid);
    }
    return marked;
}

inline std::set<unsigned long> SocketInodes(pid_t pid) {
    std::set<unsigned long> inodes;
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator("/proc/" + std::to_string(pid) + "/fd", error)) {
        const std::string target = std::filesystem::read_symlink(entry.path(), error).string();
        if (target.rfind("socket:[", 0) == 0) inodes.insert(std::stoul(target.substr(8)));
    }
    return inodes;
}

// The inodes of the TCP sockets (IPv4 and IPv6) in the listening state.
inline std::set<unsigned long> ListeningTcpInodes() {
    std::set<unsigned long> inodes;
    for (const char* table : {"/proc/net/tcp", "/proc/net/tcp6"}) {
        std::ifstream in(table);
        std::string line;
        std::getline(in, line);  // the heading
        while (std::getline(in, line)) {
            std::istringstream fields(line);
            std::string slot, local, remote, state, queues, timer, retransmits, uid, timeout, inode;
            fields >> slot >> local >> remote >> state >> queues >> timer >> retransmits >> uid >> timeout >> inode;
            if (state == "0A") inodes.insert(std::stoul(inode));
        }
    }
    return inodes;
}

}  // namespace skartina::test
