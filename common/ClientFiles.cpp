// SPDX-License-Identifier: GPL-3.0-or-later
#include "common/ClientFiles.h"

#include <cerrno>
#include <sys/stat.h>
#include <unistd.h>

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

namespace {

[[noreturn]] void Fail(const char* what, const std::filesystem::path& path) {
    throw std::filesystem::filesystem_error(what, path, std::error_code(errno, std::generic_category()));
}

// Made 0700 when missing, narrowed to 0700 when this user's and open to others.
TablesFolderChange PrivateFolder(const std::filesystem::path& folder, bool create) {
    struct stat info {};
    if (::stat(folder.c_str(), &info) != 0) {
        if (errno != ENOENT) Fail("stat", folder);
        if (!create) return TablesFolderChange::Missing;
        if (folder.has_parent_path()) std::filesystem::create_directories(folder.parent_path());
        if (::mkdir(folder.c_str(), 0700) == 0) return TablesFolderChange::Created;
        if (errno != EEXIST) Fail("mkdir", folder);
        if (::stat(folder.c_str(), &info) != 0) Fail("stat", folder);  // made meanwhile by another save
    }
    if (!S_ISDIR(info.st_mode)) {
        errno = ENOTDIR;
        Fail("stat", folder);
    }
    if (info.st_uid != ::geteuid() || (info.st_mode & 077) == 0) return TablesFolderChange::None;
    if (::chmod(folder.c_str(), info.st_mode & 07700) != 0) Fail("chmod", folder);
    return TablesFolderChange::Tightened;
}

}  // namespace

TablesFolderChange MakeTablesFolderPrivate(const std::filesystem::path& tablesDir, bool create) {
    return PrivateFolder(tablesDir, create);
}

void MakeClientFolder(const std::filesystem::path& folder) {
    MakeTablesFolderPrivate(folder.parent_path());
    PrivateFolder(folder, true);
}

std::string TablesTightenedSentence(const std::filesystem::path& tablesDir) {
    return "Ο φάκελος «" + tablesDir.string() +
           "» ήταν προσβάσιμος και σε άλλους χρήστες του υπολογιστή· έγινε ιδιωτικός (0700).";
}

}  // namespace skartina
