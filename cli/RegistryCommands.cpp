// Commands on the client register: tax-number checks and the two lists.

#include "cli/Commands.h"
#include "common/ClientFiles.h"
#include "registry/AfmCheck.h"
#include "registry/ClientLists.h"

#include <algorithm>
#include <iostream>

namespace skartina::cli {
namespace {

std::filesystem::path TablesOf(const std::string& dir) {
    const std::filesystem::path tables = std::filesystem::path(dir) / kTablesFolder;
    if (!std::filesystem::is_directory(tables))
        throw std::runtime_error("δεν υπάρχει φάκελος «" + tables.string() + "»");
    return tables;
}

// One line per row, cells separated by tabs; a tab inside a cell (which the
// record files allow) is shown as a blank so the columns stay put.
int PrintList(ListRows rows, const ListDescription& list) {
    if (rows.empty()) {
        std::cerr << list.emptyMessage << "\n";
        return 0;
    }
    SortAsAtOpening(rows, list);
    for (const auto& row : rows) {
        for (size_t i = 0; i < row.size(); ++i) {
            std::string cell = row[i];
            std::replace(cell.begin(), cell.end(), '\t', ' ');
            std::cout << (i ? "\t" : "") << cell;
        }
        std::cout << "\n";
    }
    return 0;
}

}  // namespace

int RunAfm(const Args& args) {
    if (args.empty()) throw UsageError("δώστε έναν ή περισσότερους ΑΦΜ");
    bool allValid = true;
    for (const auto& text : args) {
        const bool valid = IsValidAfm(text);
        std::cout << (valid ? "valid" : "invalid") << "\n";
        allValid = allValid && valid;
    }
    return allValid ? 0 : 1;
}

int RunClients(const Args& args) {
    if (args.size() != 1) throw UsageError("δώστε τον φάκελο που περιέχει το Tables");
    return PrintList(LoadCustomers(TablesOf(args[0])), TaxpayerListDescription());
}

int RunAnalyses(const Args& args) {
    std::string dir;
    std::string workYear = "2021";
    for (size_t i = 0; i < args.size(); ++i) {
        if (args[i] == "--year") {
            if (++i == args.size()) throw UsageError("λείπει το έτος μετά το --year");
            workYear = args[i];
            if (workYear.size() != 4 || !std::all_of(workYear.begin(), workYear.end(), [](char ch) { return ch >= '0' && ch <= '9'; }))
                throw UsageError("το έτος εργασίας πρέπει να είναι τέσσερα ψηφία, όχι «" + workYear + "»");
        } else if (dir.empty() && !args[i].starts_with("--")) {
            dir = args[i];
        } else {
            throw UsageError("άγνωστη παράμετρος «" + args[i] + "»");
        }
    }
    if (dir.empty()) throw UsageError("δώστε τον φάκελο που περιέχει το Tables");
    return PrintList(LoadAnalyses(TablesOf(dir), workYear), AnalysisListDescription());
}

}  // namespace skartina::cli
