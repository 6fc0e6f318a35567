// SPDX-License-Identifier: GPL-3.0-or-later
#include "startup/Settings.h"

#include "common/TextFile.h"

namespace skartina {

bool AutoCheckEnabled(const std::filesystem::path& workDir) {
    std::error_code ec;
    return !std::filesystem::exists(workDir / kAutoCheckOffMarker, ec);
}

bool SetAutoCheck(const std::filesystem::path& workDir, bool enabled) {
    const auto marker = workDir / kAutoCheckOffMarker;
    if (!enabled) {
        WriteCp1253Lines(marker, {"Not OK"});
    } else {
        std::error_code ec;
        std::filesystem::remove(marker, ec);
        if (ec) throw FileError("Αδυναμία διαγραφής του αρχείου «" + marker.string() + "»: " + ec.message());
    }
    return AutoCheckEnabled(workDir);
}

int SheetZoom(const std::filesystem::path& workDir) {
    try {
        const std::vector<std::string> lines = ReadCp1253Lines(workDir / kSheetZoomFile);
        const int percent = lines.empty() ? 100 : std::stoi(lines.front());
        return percent >= 50 && percent <= 300 ? percent : 100;
    } catch (const std::exception&) {
        return 100;  // no file, or no number in it
    }
}

void SetSheetZoom(const std::filesystem::path& workDir, int percent) {
    WriteCp1253Lines(workDir / kSheetZoomFile, {std::to_string(percent)});
}

bool EditorialWanted(const std::filesystem::path& workDir) {
    std::error_code ec;
    return std::filesystem::exists(workDir / kEditorialMarker, ec);
}

void DismissEditorial(const std::filesystem::path& workDir) {
    std::error_code ec;
    std::filesystem::remove(workDir / kEditorialMarker, ec);
}

}  // namespace skartina
