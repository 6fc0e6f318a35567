#include "portal/YearSources.h"

#include "common/ClientFiles.h"
#include "common/TextFile.h"
#include "e1/CodeList.h"

#include <system_error>

namespace skartina {
namespace {

std::filesystem::path KeepSource(const std::filesystem::path& folder, const std::string& name, std::string_view bytes) {
    std::error_code error;
    std::filesystem::create_directories(folder, error);
    if (error) throw FileError("ο φάκελος «" + folder.string() + "» δεν δημιουργήθηκε: " + error.message());
    // Tax documents: no one but the owner reads the folder, also when it was made before.
    std::filesystem::permissions(folder, std::filesystem::perms::owner_all, std::filesystem::perm_options::replace, error);
    if (error) throw FileError("ο φάκελος «" + folder.string() + "» δεν έγινε ιδιωτικός: " + error.message());
    const std::filesystem::path file = folder / name;
    WriteFileAtomically(file, bytes, FileAccess::OwnerOnly);
    return file;
}

}  // namespace

std::filesystem::path SourcesFolder(const std::filesystem::path& tablesDir, std::string_view afm) {
    return ClientFilePath(tablesDir, afm, "_sources");
}

std::filesystem::path KeepReportSource(const std::filesystem::path& folder, int year, std::string_view pdfBytes) {
    return KeepSource(folder, std::to_string(year) + ".pdf", pdfBytes);
}

std::filesystem::path KeepReturnSource(const std::filesystem::path& folder, int year, const E1CodeTable& e1) {
    return KeepSource(folder, std::to_string(year) + ".txt", WriteCodeList(e1));
}

}  // namespace skartina
