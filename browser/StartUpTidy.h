// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What every start of the program does to the traces of earlier runs: an
// existing data folder that other users could enter is narrowed to its owner,
// the temporary files of saves killed before they finished are removed (of
// the data folder and of every client's documents folder), and so are the
// browser profiles of programs that were killed.

#include <filesystem>
#include <string>
#include <vector>

namespace skartina {

struct StartUpTidy {
    bool tablesTightened = false;
    std::vector<std::string> removed;  // the temporary files, relative to the data folder
};

// Never throws: a start-up goes on whatever it cannot tidy.
StartUpTidy TidyAtStartUp(const std::filesystem::path& tablesDir);

}  // namespace skartina
