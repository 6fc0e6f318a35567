#include "registry/ClientLists.h"

#include "common/ClientFiles.h"
#include "registry/TaxpayerRecord.h"
#include "sheet/AnalysisFile.h"

namespace skartina {
namespace {

// The regular files of the folder ending in the suffix, in listing order.
std::vector<std::filesystem::path> FilesEndingWith(const std::filesystem::path& dir, const std::string& suffix) {
    std::vector<std::filesystem::path> files;
    if (!std::filesystem::is_directory(dir)) return files;
    for (const auto& entry : std::filesystem::directory_iterator(dir)) {
        const std::string name = entry.path().filename().string();
        if (name.ends_with(suffix) && entry.is_regular_file())
            files.push_back(entry.path());
    }
    return files;
}

bool DeleteAfterYes(const std::filesystem::path& path, const ListRow& row, const ListDescription& list,
                    Prompter& prompter) {
    if (!prompter.confirm(DeletionQuestion(row.at(list.surnameColumn), row.at(list.afmColumn)))) return false;
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

ListRows LoadCustomers(const std::filesystem::path& tablesDir) {
    ListRows rows;
    for (const auto& file : FilesEndingWith(tablesDir, ".cst")) {
        const auto lines = ReadRecordLines(file, 4);
        rows.push_back({lines[1], lines[2], lines[3], lines[0]});
    }
    return rows;
}

ListRows LoadAnalyses(const std::filesystem::path& tablesDir, const std::string& workYear) {
    ListRows rows;
    for (const auto& file : FilesEndingWith(tablesDir, ".grd")) {
        const std::string name = file.filename().string();
        if (name.find("_" + workYear) == std::string::npos) continue;
        const std::string afm = name.substr(0, name.find('_'));
        ListRow row{"", "", afm};
        // A tax number that cannot name a record (".." in it) has none.
        if (!afm.empty() && AfmFileNameProblem(afm).empty()) {
            const std::filesystem::path record = RecordFilePath(tablesDir, afm);
            if (std::filesystem::exists(record)) {
                const auto lines = ReadRecordLines(record, 3);
                row[0] = lines[1];
                row[1] = lines[2];
            }
        }
        rows.push_back(std::move(row));
    }
    return rows;
}

void SortAsAtOpening(ListRows& rows, const ListDescription& list) {
    SortGridRows(rows, list.sortByAfmAtOpening ? list.afmColumn : list.surnameColumn);
}

std::string DeletionQuestion(const std::string& surname, const std::string& afm) {
    return "Προσοχή !!. Να γίνει η διαγραφή της Δήλωσης του " + surname + " με ΑΦΜ " + afm;
}

bool DeleteTaxpayerRow(const std::filesystem::path& tablesDir, const ListRow& row, Prompter& prompter) {
    const ListDescription& list = TaxpayerListDescription();
    return DeleteAfterYes(RecordFilePath(tablesDir, row.at(list.afmColumn)), row, list, prompter);
}

bool DeleteAnalysisRow(const std::filesystem::path& tablesDir, const ListRow& row, const std::string& workYear,
                       Prompter& prompter) {
    const ListDescription& list = AnalysisListDescription();
    return DeleteAfterYes(AnalysisFilePath(tablesDir, row.at(list.afmColumn), workYear), row, list, prompter);
}

}  // namespace skartina
