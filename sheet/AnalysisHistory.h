// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Earlier versions of a client's analysis file, kept when a run replaces it:
// "Tables/<ΑΦΜ>_history/<time>.grd", the newest ten, so that one bad run can
// be undone by hand. The folder and its files are the owner's alone.

#include "sheet/SheetGrid.h"

#include <chrono>
#include <cstddef>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace skartina {

inline constexpr std::size_t kKeptVersions = 10;

// tablesDir / (afm + "_history"); throws ClientNameError for a tax number that
// would not name a file inside tablesDir.
std::filesystem::path HistoryFolder(const std::filesystem::path& tablesDir, std::string_view afm);

// Saves the sheet to `file` (the client's analysis file under tablesDir).
// When the file holds another sheet, it is first copied whole into the
// history folder as "<YYYYMMDD-HHMMSS-mmm>.grd" of `now` (local time); the
// oldest versions beyond the newest ten are removed. A file that holds the
// same sheet is left as it is, and no version is kept. Throws FileError or
// AnalysisFileError; the analysis file is replaced only after its version is kept.
void SaveGridKeepingHistory(const SheetGrid& grid, const std::filesystem::path& tablesDir, std::string_view afm,
                            const std::filesystem::path& file,
                            std::chrono::system_clock::time_point now = std::chrono::system_clock::now());

// The kept versions, newest first; none from a folder that is not the
// user's own (see OwnFolder).
std::vector<std::filesystem::path> KeptVersions(const std::filesystem::path& tablesDir, std::string_view afm);

// "2024-03-15 22:15:30" for a version's file name; the name itself when it is no time.
std::string VersionTimeText(const std::filesystem::path& version);

}  // namespace skartina
