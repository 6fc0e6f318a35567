// SPDX-License-Identifier: GPL-3.0-or-later
#include "registry/ClientLists.h"

#include "common/ClientFiles.h"
#include "registry/TaxpayerRecord.h"
#include "sheet/AnalysisFile.h"
#include "sheet/AnalysisHistory.h"

#include "common/TextFile.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <optional>

namespace skartina {
namespace {

// The names of the folder's entries that end in the suffix, in listing order;
// those that are not regular files (links are not followed) go to `bad`.
std::vector<std::string> FilesEndingWith(const OwnFolder& dir, const std::string& suffix, std::vector<std::string>& bad) {
    std::vector<std::string> files;
    const int fd = ::dup(dir.fd());
    DIR* listing = fd < 0 ? nullptr : ::fdopendir(fd);
    if (!listing) {
        if (fd >= 0) ::close(fd);
        throw FileError("Αδυναμία ανάγνωσης του φακέλου «" + dir.path().string() + "»: " + SystemReason(errno));
    }
    ::rewinddir(listing);
    while (const dirent* entry = ::readdir(listing)) {
        const std::string name = entry->d_name;
        if (!name.ends_with(suffix)) continue;
        bool regular = entry->d_type == DT_REG;
        if (entry->d_type == DT_UNKNOWN) {
            struct stat st {};
            regular = ::fstatat(dir.fd(), entry->d_name, &st, AT_SYMLINK_NOFOLLOW) == 0 && S_ISREG(st.st_mode);
        }
        (regular ? files : bad).push_back(name);
    }
    ::closedir(listing);
    return files;
}

// The first lines of a record of the folder, read relative to it.
std::array<std::string, kRecordLines> RecordLinesIn(const OwnFolder& dir, const std::string& name, int count) {
    const std::filesystem::path path = dir / name;
    return RecordLinesOf(Cp1253Lines(ReadFileBytesAt(dir.fd(), name, path, kRecordFileLimits), path.string()), count);
}

bool DeleteAfterYes(const std::filesystem::path& path, const ListRow& row, const ListDescription& list,
                    Prompter& prompter) {
    if (!prompter.confirm(DeletionQuestion(row.at(list.surnameColumn), row.at(list.taxNumberColumn)))) return false;
    return std::filesystem::remove(path);
}

}  // namespace

const ListDescription& TaxpayerListDescription() {
    static const ListDescription list{
        "Κατάλογος Δηλώσεων",
        {{"Επώνυμο/ία", 203}, {"Όνομα", 127}, {"Πατρώνυμο", 109}, {"Α.Φ.Μ.", 100}},
        3,
        0,
        "Επιλογή Πελάτη",
        "Διαγραφή Πελάτη",
        false,
        "Δεν υπάρχει καταχωρημένος κανένας πελάτης."};
    return list;
}

const ListDescription& AnalysisListDescription() {
    static const ListDescription list{"Κατάλογος Δηλώσεων",
                                      {{"Επώνυμο/ία", 252}, {"Όνομα", 221}, {"Α.Φ.Μ.", 99}},
                                      2,
                                      0,
                                      "Επιλογή Δήλωσης",
                                      "Διαγραφή Δήλωσης",
                                      true,
                                      "Δεν υπάρχει καταχωρημένη καμία δήλωση."};
    return list;
}

ListLoad LoadCustomers(const std::filesystem::path& tablesDir) {
    ListLoad load;
    const std::optional<OwnFolder> tables = OpenTablesFolder(tablesDir, false);
    if (!tables) return load;
    const std::vector<std::string> names = FilesEndingWith(*tables, ".cst", load.badEntries);
    load.rows.reserve(names.size());
    for (const std::string& name : names) {
        try {
            const auto lines = RecordLinesIn(*tables, name, 4);
            load.rows.push_back({lines[1], lines[2], lines[3], lines[0]});
        } catch (const std::exception&) {
            load.badEntries.push_back(name);
        }
    }
    return load;
}

ListLoad LoadAnalyses(const std::filesystem::path& tablesDir, const std::string& workYear) {
    ListLoad load;
    const std::optional<OwnFolder> tables = OpenTablesFolder(tablesDir, false);
    if (!tables) return load;
    std::vector<std::string> badFiles;
    for (const std::string& name : FilesEndingWith(*tables, ".grd", badFiles)) {
        if (name.find("_" + workYear) == std::string::npos) continue;
        const std::string taxNumber = name.substr(0, name.find('_'));
        ListRow row{"", "", taxNumber};
        // A tax number that cannot name a record (".." in it) has none.
        if (!taxNumber.empty() && TaxNumberFileNameProblem(taxNumber).empty()) {
            const std::filesystem::path record = RecordFilePath(tablesDir, taxNumber);
            std::error_code ec;
            if (std::filesystem::exists(std::filesystem::symlink_status(record, ec))) {
                try {
                    const auto lines = RecordLinesIn(*tables, record.filename().string(), 3);
                    row[0] = lines[1];
                    row[1] = lines[2];
                } catch (const std::exception&) {
                    const std::string bad = record.filename().string();
                    if (std::find(load.badEntries.begin(), load.badEntries.end(), bad) == load.badEntries.end())
                        load.badEntries.push_back(bad);
                }
            }
        }
        load.rows.push_back(std::move(row));
    }
    for (auto& name : badFiles)
        if (name.find("_" + workYear) != std::string::npos) load.badEntries.push_back(std::move(name));
    return load;
}

std::string BadEntriesSentence(const std::vector<std::string>& badEntries) {
    if (badEntries.empty()) return {};
    std::string names;
    for (const auto& name : badEntries) names += (names.empty() ? "«" : ", «") + name + "»";
    return (badEntries.size() == 1 ? "Το αρχείο " + names + " του φακέλου Tables δεν διαβάστηκε (κατεστραμμένο, "
                                                            "πολύ μεγάλο ή όχι κανονικό αρχείο) και λείπει από τον κατάλογο."
                                   : "Τα αρχεία " + names + " του φακέλου Tables δεν διαβάστηκαν (κατεστραμμένα, "
                                                            "πολύ μεγάλα ή όχι κανονικά αρχεία) και λείπουν από τον κατάλογο.");
}

void SortAsAtOpening(ListRows& rows, const ListDescription& list) {
    SortGridRows(rows, list.sortByTaxNumberAtOpening ? list.taxNumberColumn : list.surnameColumn);
}

std::string DeletionQuestion(const std::string& surname, const std::string& taxNumber) {
    return "Προσοχή !!. Να γίνει η διαγραφή της Δήλωσης του " + surname + " με ΑΦΜ " + taxNumber;
}

bool DeleteTaxpayerRow(const std::filesystem::path& tablesDir, const ListRow& row, Prompter& prompter) {
    const ListDescription& list = TaxpayerListDescription();
    return DeleteAfterYes(RecordFilePath(tablesDir, row.at(list.taxNumberColumn)), row, list, prompter);
}

bool DeleteAnalysisRow(const std::filesystem::path& tablesDir, const ListRow& row, const std::string& workYear,
                       Prompter& prompter) {
    const ListDescription& list = AnalysisListDescription();
    const std::string& taxNumber = row.at(list.taxNumberColumn);
    const std::filesystem::path file = AnalysisFilePath(tablesDir, taxNumber, workYear);
    if (!prompter.confirm(DeletionQuestion(row.at(list.surnameColumn), taxNumber))) return false;
    std::error_code ec;
    if (!std::filesystem::exists(std::filesystem::symlink_status(file, ec))) return false;
    // A deleted analysis stays among the client's earlier versions, to be brought back.
    MoveAnalysisToHistory(tablesDir, taxNumber, file);
    return true;
}

}  // namespace skartina
