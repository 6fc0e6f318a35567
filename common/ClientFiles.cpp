#include "common/ClientFiles.h"

#include <cerrno>
#include <sys/stat.h>

namespace skartina {

std::string AfmFileNameProblem(std::string_view afm) {
    if (afm.empty()) return "Ο ΑΦΜ είναι κενός.";
    if (afm.size() > kMaxAfmBytes)
        return "Ο ΑΦΜ είναι πολύ μεγάλος για όνομα αρχείου (" + std::to_string(afm.size()) + " byte· έως " +
               std::to_string(kMaxAfmBytes) + ").";
    if (afm.find("..") != std::string_view::npos)
        return "Ο ΑΦΜ «" + std::string(afm) + "» δεν μπορεί να περιέχει «..».";
    // The analysis list reads the tax number back from the file name up to its
    // first "_": a tax number holding one would show as another and could be
    // neither opened nor deleted from the list.
    if (afm.find('_') != std::string_view::npos)
        return "Ο ΑΦΜ «" + std::string(afm) +
               "» περιέχει τον χαρακτήρα «_», που χωρίζει τον ΑΦΜ από το έτος στο όνομα του αρχείου. "
               "Διορθώστε τον ΑΦΜ και δοκιμάστε ξανά.";
    for (unsigned char ch : afm) {
        // Separators would leave the folder; the rest no file name may hold on
        // the systems the data folder is shared with.
        if (ch < 0x20 || ch == 0x7f || std::string_view("/\\:*?\"<>|").find(static_cast<char>(ch)) !=
                                            std::string_view::npos)
            return "Ο ΑΦΜ «" + std::string(afm) + "» περιέχει χαρακτήρα που δεν επιτρέπεται σε όνομα αρχείου.";
    }
    return {};
}

std::filesystem::path ClientFilePath(const std::filesystem::path& tablesDir, std::string_view afm,
                                     std::string_view suffix) {
    if (std::string problem = AfmFileNameProblem(afm); !problem.empty()) throw ClientNameError(problem);
    return tablesDir / (std::string(afm) + std::string(suffix));
}

void CreateTablesFolder(const std::filesystem::path& tablesDir) {
    if (std::filesystem::is_directory(tablesDir)) return;
    if (tablesDir.has_parent_path()) std::filesystem::create_directories(tablesDir.parent_path());
    // Clients' incomes and tax numbers: no other user of the machine may list or read them.
    if (::mkdir(tablesDir.c_str(), 0700) != 0 && errno != EEXIST)
        throw std::filesystem::filesystem_error("mkdir", tablesDir, std::error_code(errno, std::generic_category()));
}

}  // namespace skartina
