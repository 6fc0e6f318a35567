// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The taxpayer list and the analysis list: what fills them, how each is
// described to its window, and the deletion of the file behind a row.

#include "common/Prompter.h"
#include "registry/ListRows.h"

#include <filesystem>
#include <string>
#include <vector>

namespace skartina {

struct ListColumn {
    std::string header;
    int width;  // pixels
};

// What tells the two lists apart; everything else they share.
struct ListDescription {
    std::string caption;
    std::vector<ListColumn> columns;
    int taxNumberColumn;
    int surnameColumn;
    std::string openCaption;
    std::string deleteCaption;
    bool sortByTaxNumberAtOpening;  // else by surname
    std::string emptyMessage;  // shown by the opener instead of an empty list
};

inline const std::string kSortBySurname = "Επωνυμία";
inline const std::string kSortByTaxNumber = "Α.Φ.Μ.";

const ListDescription& TaxpayerListDescription();
const ListDescription& AnalysisListDescription();

// What a list found in the folder: a row for every entry it could read, and
// the names of the entries it could not (a damaged record, a link, a FIFO, a
// folder, a file too large), which it leaves out.
struct ListLoad {
    ListRows rows;
    std::vector<std::string> badEntries;
};

// One row per "*.cst" entry of the folder, in the order the folder lists them:
// surname, first name, father's name and tax number, from the record's first
// four lines. Only regular files are read, never through a link. A missing
// folder gives no rows; a folder that is not the user's own (see
// OwnFolder) throws FileError.
ListLoad LoadCustomers(const std::filesystem::path& tablesDir);

// One row per "*.grd" file of the folder whose name holds "_" + workYear, in
// the order the folder lists them: surname and first name from the record of
// the tax number (empty when there is none, or when it cannot be read, which
// names it among the bad entries) and the tax number, the part of the name
// before its first "_". An analysis entry that is not a regular file is bad.
// The folder is taken as LoadCustomers takes it.
ListLoad LoadAnalyses(const std::filesystem::path& tablesDir, const std::string& workYear);

// The one sentence that tells the user which entries a list left out; empty
// when there are none.
std::string BadEntriesSentence(const std::vector<std::string>& badEntries);

// The rows in the order the list shows at opening.
void SortAsAtOpening(ListRows& rows, const ListDescription& list);

// "Προσοχή !!. Να γίνει η διαγραφή της Δήλωσης του <surname> με ΑΦΜ <taxNumber>"
std::string DeletionQuestion(const std::string& surname, const std::string& taxNumber);

// The delete button of a list, on the row given: after a Yes, deletes the
// client's record file (taxpayer list) or the working year's analysis file
// (analysis list), which moves into the client's earlier versions. True when a file was deleted: the list then closes without
// a choice. False when the user said No or the file is not there. Throws
// ClientNameError for a tax number that cannot name a file of the folder,
// FileError when the analysis cannot be kept (it then stays).
bool DeleteTaxpayerRow(const std::filesystem::path& tablesDir, const ListRow& row, Prompter& prompter);
bool DeleteAnalysisRow(const std::filesystem::path& tablesDir, const ListRow& row, const std::string& workYear,
                       Prompter& prompter);

}  // namespace skartina
