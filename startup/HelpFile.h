// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The short instructions shipped with the program, read without a network.

#include <filesystem>

namespace skartina {

inline constexpr const char* kHelpFileName = "help.html";

// The shipped page for a program in programFolder: "help/help.html" beside it
// (the build tree), else where the package puts it ("../share/skartina/" from
// the program's folder: the program's own data, which a system without
// /usr/share/doc still has). Empty when neither exists.
std::filesystem::path ShippedHelpFile(const std::filesystem::path& programFolder);

}  // namespace skartina
