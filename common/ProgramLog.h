// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The program's log: what libraries say about trouble the user need not read
// (a damaged PDF's details), kept out of the terminal and out of messages.
// Lines are appended to skartina.log in $XDG_STATE_HOME/skartina (or
// ~/.local/state/skartina), a folder and file of the user's alone; the file
// starts over once it passes a megabyte.

#include <filesystem>
#include <string_view>

namespace skartina {

// One line, stamped with the time and the source ("poppler"); line ends and
// other control characters in the text become spaces. Never throws: a log
// that cannot be written is done without.
void LogLine(std::string_view source, std::string_view text);

// The log file; empty when there is no home to keep it in.
std::filesystem::path LogFilePath();

}  // namespace skartina
