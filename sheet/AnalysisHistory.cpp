// SPDX-License-Identifier: GPL-3.0-or-later
#include "sheet/AnalysisHistory.h"

#include "common/ClientFiles.h"
#include "common/Codepage.h"
#include "common/TextFile.h"
#include "sheet/AnalysisFile.h"

#include <algorithm>
#include <ctime>
#include <optional>
#include <regex>

namespace skartina {
namespace {

const std::regex kVersionName(R"((\d{4})(\d{2})(\d{2})-(\d{2})(\d{2})(\d{2})-(\d{3})\.grd)");

std::string VersionName(std::chrono::system_clock::time_point now) {
    const std::time_t seconds = std::chrono::system_clock::to_time_t(now);
    const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(now.time_since_epoch()).count() % 1000;
    std::tm local{};
    localtime_r(&seconds, &local);
    char text[32];
    std::strftime(text, sizeof text, "%Y%m%d-%H%M%S", &local);
    char millis[8];
    std::snprintf(millis, sizeof millis, "-%03d", static_cast<int>(ms));
    return std::string(text) + millis + ".grd";
}

// The file's bytes as SaveGridToFile writes them; nothing when a cell cannot
// be written (the save says why).
std::optional<std::string> FileBytesOf(const SheetGrid& grid) {
    std::string bytes;
    try {
        for (const std::string& line : GridToLines(grid)) bytes += Utf8ToCp1253(line) + "\r\n";
    } catch (const EncodingError&) {
        return std::nullopt;
    }
    return bytes;
}

}  // namespace

std::filesystem::path HistoryFolder(const std::filesystem::path& tablesDir, std::string_view taxNumber) {
    return ClientFilePath(tablesDir, taxNumber, "_history");
}

namespace {

// Keeps `previous` (a replaced file's bytes) as the newest version, unless the
// newest already holds it (a save cut short after keeping its version keeps it
// once); the oldest beyond the newest ten go.
void KeepVersion(const std::filesystem::path& tablesDir, std::string_view taxNumber, const std::string& previous,
                 std::chrono::system_clock::time_point now) {
    const std::vector<std::filesystem::path> kept = KeptVersions(tablesDir, taxNumber);
    if (!kept.empty() && ReadFileBytes(kept.front(), kAnalysisFileLimits) == previous) return;
    const std::filesystem::path folder = HistoryFolder(tablesDir, taxNumber);
    const OwnFolder history = MakeClientFolder(folder);
    // A name of its own even for two saves in the same millisecond.
    std::error_code ec;
    std::filesystem::path version = folder / VersionName(now);
    while (std::filesystem::exists(std::filesystem::symlink_status(version, ec))) {
        now += std::chrono::milliseconds(1);
        version = folder / VersionName(now);
    }
    WriteFileAtomically(history, version.filename().string(), previous);
    const std::vector<std::filesystem::path> versions = KeptVersions(tablesDir, taxNumber);
    for (size_t i = kKeptVersions; i < versions.size(); ++i) std::filesystem::remove(versions[i], ec);
}

const std::regex kAnalysisFileName(R"(([^_]+)_\d{4}\.grd)");

}  // namespace


void MoveAnalysisToHistory(const std::filesystem::path& tablesDir, std::string_view taxNumber,
                           const std::filesystem::path& file, std::chrono::system_clock::time_point now) {
    KeepVersion(tablesDir, taxNumber, ReadFileBytes(file, kAnalysisFileLimits), now);
    std::filesystem::remove(file);
}

std::optional<AnalysisOwner> AnalysisOwnerOf(const std::filesystem::path& file) {
    std::smatch m;
    const std::string name = file.filename().string();
    if (!std::regex_match(name, m, kAnalysisFileName)) return std::nullopt;
    const std::filesystem::path folder = std::filesystem::absolute(file).parent_path();
    if (folder.filename() != kTablesFolder) return std::nullopt;
    return AnalysisOwner{folder, m[1].str()};
}

void SaveSheetKeepingHistory(const Sheet& sheet, const std::filesystem::path& tablesDir, std::string_view taxNumber,
                             const std::filesystem::path& file, std::chrono::system_clock::time_point now) {
    const SheetGrid grid = GridOfSheet(sheet);
    const std::optional<std::string> bytes = FileBytesOf(grid);
    std::error_code ec;
    if (bytes && std::filesystem::exists(std::filesystem::symlink_status(file, ec))) {
        const std::string previous = ReadFileBytes(file, kAnalysisFileLimits);
        if (previous == *bytes) return;
        KeepVersion(tablesDir, taxNumber, previous, now);
    }
    SaveGridToFile(grid, file);
}

void SaveSheetFile(const Sheet& sheet, const std::filesystem::path& file) {
    if (const std::optional<AnalysisOwner> owner = AnalysisOwnerOf(file))
        SaveSheetKeepingHistory(sheet, owner->tablesDir, owner->taxNumber, file);
    else
        SaveSheetToFile(sheet, file);
}

std::vector<std::filesystem::path> KeptVersions(const std::filesystem::path& tablesDir, std::string_view taxNumber) {
    std::vector<std::filesystem::path> versions;
    const std::filesystem::path folder = HistoryFolder(tablesDir, taxNumber);
    // Versions are offered only from a folder of the user's own, never one planted or a link.
    if (!IsOwnFolder(folder)) return versions;
    std::error_code ec;
    for (const auto& entry : std::filesystem::directory_iterator(folder, ec)) {
        const std::string name = entry.path().filename().string();
        if (entry.is_regular_file(ec) && !entry.is_symlink(ec) && std::regex_match(name, kVersionName))
            versions.push_back(entry.path());
    }
    // The names are the times, fixed width: their order is the time order.
    std::sort(versions.begin(), versions.end(), std::greater<>());
    return versions;
}

std::string VersionTimeText(const std::filesystem::path& version) {
    const std::string name = version.filename().string();
    std::smatch m;
    if (!std::regex_match(name, m, kVersionName)) return name;
    return m[1].str() + "-" + m[2].str() + "-" + m[3].str() + " " + m[4].str() + ":" + m[5].str() + ":" + m[6].str();
}

}  // namespace skartina
