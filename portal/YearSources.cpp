// SPDX-License-Identifier: GPL-3.0-or-later
#include "portal/YearSources.h"

#include "common/ClientFiles.h"
#include "common/TextFile.h"
#include "e1/CodeList.h"


namespace skartina {
namespace {

constexpr std::string_view kSourcesSuffix = "_sources";

std::filesystem::path KeepSource(const std::filesystem::path& folder, const std::string& name, std::string_view bytes) {
    // Tax documents: the data folder and this one are the owner's alone, also when they were made before.
    const OwnFolder own = MakeClientFolder(folder);
    WriteFileAtomically(own, name, bytes);
    return own / name;
}

}  // namespace

std::filesystem::path SourcesFolder(const std::filesystem::path& tablesDir, std::string_view taxNumber) {
    return ClientFilePath(tablesDir, taxNumber, kSourcesSuffix);
}

std::filesystem::path KeepReportSource(const std::filesystem::path& folder, int year, std::string_view pdfBytes) {
    return KeepSource(folder, std::to_string(year) + ".pdf", pdfBytes);
}

std::filesystem::path KeepUnreadReport(const std::filesystem::path& folder, int year, std::string_view bytes) {
    return KeepSource(folder, std::to_string(year) + "-unread.pdf", bytes);
}

std::vector<std::string> RemoveStaleSourceFiles(const std::filesystem::path& tablesDir) {
    std::vector<std::string> removed;
    if (!IsOwnFolder(tablesDir)) return removed;  // nothing is taken from a folder that is not the user's own
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(tablesDir, error)) {
        const std::string name = entry.path().filename().string();
        std::error_code ignored;
        if (name.size() <= kSourcesSuffix.size() || !name.ends_with(kSourcesSuffix) || !entry.is_directory(ignored) ||
            entry.is_symlink(ignored))
            continue;
        for (std::string& file : RemoveStaleTemporaryFiles(entry.path())) removed.push_back(name + "/" + file);
    }
    return removed;
}

std::filesystem::path KeepReturnSource(const std::filesystem::path& folder, int year, const E1CodeTable& e1) {
    return KeepSource(folder, std::to_string(year) + ".txt", WriteCodeList(e1));
}

}  // namespace skartina
