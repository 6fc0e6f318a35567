// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Earlier versions of a client's analysis file, kept whenever a save (from a
// window, a run or a command) replaces it and when it is deleted:
// "Tables/<ΑΦΜ>_history/<time>.grd", the newest ten, so that one bad save can
// be undone. The folder and its files are the owner's alone.

#include "sheet/Sheet.h"
#include "sheet/SheetGrid.h"

#include <chrono>
#include <cstddef>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace skartina {

inline constexpr std::size_t kKeptVersions = 10;

// tablesDir / (taxNumber + "_history"); throws ClientNameError for a tax number that
// would not name a file inside tablesDir.
std::filesystem::path HistoryFolder(const std::filesystem::path& tablesDir, std::string_view taxNumber);

// Saves the sheet to `file` (the client's analysis file under tablesDir).
// When the file holds another sheet, it is first copied whole into the
// history folder as "<YYYYMMDD-HHMMSS-mmm>.grd" of `now` (local time); the
// oldest versions beyond the newest ten are removed. A file that holds the
// same sheet is left as it is, and no version is kept. Throws FileError or
// AnalysisFileError; the analysis file is replaced only after its version is kept.
void SaveSheetKeepingHistory(const Sheet& sheet, const std::filesystem::path& tablesDir, std::string_view taxNumber,
                             const std::filesystem::path& file,
                             std::chrono::system_clock::time_point now = std::chrono::system_clock::now());

// Deleting a client's analysis: the file becomes its newest kept version,
// then is removed. Throws FileError; nothing is removed when it cannot be kept.
void MoveAnalysisToHistory(const std::filesystem::path& tablesDir, std::string_view taxNumber,
                           const std::filesystem::path& file,
                           std::chrono::system_clock::time_point now = std::chrono::system_clock::now());

// Whose analysis file a path names: "<ΑΦΜ>_<YYYY>.grd" in a folder named
// "Tables". Nothing for any other file.
struct AnalysisOwner {
    std::filesystem::path tablesDir;  // absolute
    std::string taxNumber;
};
std::optional<AnalysisOwner> AnalysisOwnerOf(const std::filesystem::path& file);

// Writes a sheet where a command was told to: a client's analysis file keeps
// the one it replaces in the client's history, any other file is just written.
void SaveSheetFile(const Sheet& sheet, const std::filesystem::path& file);

// The kept versions, newest first; none from a folder that is not the
// user's own (see OwnFolder).
std::vector<std::filesystem::path> KeptVersions(const std::filesystem::path& tablesDir, std::string_view taxNumber);

// "2024-03-15 22:15:30" for a version's file name; the name itself when it is no time.
std::string VersionTimeText(const std::filesystem::path& version);

}  // namespace skartina
