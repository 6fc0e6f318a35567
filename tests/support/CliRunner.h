// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Runs skartina-cli with arguments, capturing its exit status and output.

#include "TestSupport.h"

#include <cstdlib>
#include <string>

#include <sys/wait.h>

namespace skartina::test {

struct CliRun {
    int status;
    std::string out;
    std::string err;
};

inline CliRun Cli(const TempDir& dir, const std::string& args) {
    const std::string command = std::string(SKARTINA_CLI) + " " + args + " >" + (dir / "out.txt").string() + " 2>" +
                                (dir / "err.txt").string();
    const int raw = std::system(command.c_str());
    return {WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, ReadBytes(dir / "out.txt"), ReadBytes(dir / "err.txt")};
}

inline std::string Q(const std::filesystem::path& path) { return "'" + path.string() + "'"; }

}  // namespace skartina::test
