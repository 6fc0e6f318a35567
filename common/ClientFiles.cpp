// SPDX-License-Identifier: GPL-3.0-or-later
#include "common/ClientFiles.h"


namespace skartina {

std::string TaxNumberFileNameProblem(std::string_view taxNumber) {
    if (taxNumber.empty()) return "Ο ΑΦΜ είναι κενός.";
    if (taxNumber.size() > kMaxTaxNumberBytes)
        return "Ο ΑΦΜ είναι πολύ μεγάλος για όνομα αρχείου (" + std::to_string(taxNumber.size()) + " byte· έως " +
               std::to_string(kMaxTaxNumberBytes) + ").";
    if (taxNumber.find("..") != std::string_view::npos)
        return "Ο ΑΦΜ «" + std::string(taxNumber) + "» δεν μπορεί να περιέχει «..».";
    // The analysis list reads the tax number back from the file name up to its
    // first "_": a tax number holding one would show as another and could be
    // neither opened nor deleted from the list.
    if (taxNumber.find('_') != std::string_view::npos)
        return "Ο ΑΦΜ «" + std::string(taxNumber) +
               "» περιέχει τον χαρακτήρα «_», που χωρίζει τον ΑΦΜ από το έτος στο όνομα του αρχείου. "
               "Διορθώστε τον ΑΦΜ και δοκιμάστε ξανά.";
    for (unsigned char ch : taxNumber) {
        // Separators would leave the folder; the rest no file name may hold on
        // the systems the data folder is shared with.
        if (ch < 0x20 || ch == 0x7f || std::string_view("/\\:*?\"<>|").find(static_cast<char>(ch)) !=
                                            std::string_view::npos)
            return "Ο ΑΦΜ «" + std::string(taxNumber) + "» περιέχει χαρακτήρα που δεν επιτρέπεται σε όνομα αρχείου.";
    }
    return {};
}

std::filesystem::path ClientFilePath(const std::filesystem::path& tablesDir, std::string_view taxNumber,
                                     std::string_view suffix) {
    if (std::string problem = TaxNumberFileNameProblem(taxNumber); !problem.empty()) throw ClientNameError(problem);
    return tablesDir / (std::string(taxNumber) + std::string(suffix));
}

std::optional<OwnFolder> OpenTablesFolder(const std::filesystem::path& tablesDir, bool create) {
    return OwnFolder::Open(tablesDir, create);
}

TablesFolderChange MakeTablesFolderPrivate(const std::filesystem::path& tablesDir, bool create) {
    const std::optional<OwnFolder> tables = OpenTablesFolder(tablesDir, create);
    if (!tables) return TablesFolderChange::Missing;
    switch (tables->change()) {
    case FolderChange::Created: return TablesFolderChange::Created;
    case FolderChange::Narrowed: return TablesFolderChange::Tightened;
    case FolderChange::None: break;
    }
    return TablesFolderChange::None;
}

OwnFolder MakeClientFolder(const std::filesystem::path& folder) {
    return OpenTablesFolder(folder.parent_path())->MadeChild(folder.filename().string());
}

std::string TablesTightenedSentence(const std::filesystem::path& tablesDir) {
    return "Ο φάκελος «" + tablesDir.string() +
           "» ήταν προσβάσιμος και σε άλλους χρήστες του υπολογιστή· έγινε ιδιωτικός (0700).";
}

}  // namespace skartina
