// SPDX-License-Identifier: GPL-3.0-or-later
#include "portal/OfficeSelection.h"

#include "common/Edition.h"
#include "portal/OfficeRetrieval.h"
#include "portal/YearSources.h"
#include "registry/ClientLists.h"
#include "sheet/AnalysisFile.h"
#include "sheet/SheetRows.h"

#include <charconv>
#include <stdexcept>

namespace skartina {
namespace {

bool YearHasAmounts(const Sheet& sheet, int year) {
    for (int column : {TaxpayerColumnOf(year), SpouseColumnOf(year)})
        for (int row = Row::TaxedIncome; row < sheet.rowCount() && row <= Row::LoanRepayment; ++row)
            if (row != Row::IncomeTotal && sheet.cell(column, row) != SheetCell{}) return true;  // the total is computed
    return false;
}

int ParseYear(const std::string& text) {
    int year = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), year);
    if (ec != std::errc() || end != text.data() + text.size()) return -1;
    return year;
}

}  // namespace

std::vector<RegisterClient> RegisterClients(const std::filesystem::path& tablesDir, std::vector<std::string>* badEntries) {
    ListLoad load = LoadCustomers(tablesDir);
    SortAsAtOpening(load.rows, TaxpayerListDescription());
    if (badEntries) *badEntries = load.badEntries;
    std::vector<RegisterClient> clients;
    for (const ListRow& row : load.rows)
        clients.push_back({row[3], row[1].empty() ? row[0] : row[0] + " " + row[1]});
    return clients;
}

bool SheetLacksAYear(const std::filesystem::path& tablesDir, const std::string& taxNumber, const std::vector<int>& years) {
    Sheet sheet;
    std::filesystem::path sources;
    try {
        sources = SourcesFolder(tablesDir, taxNumber);
        if (!LoadSheetFromFile(AnalysisFilePath(tablesDir, taxNumber, kWorkYear), sheet)) return true;
    } catch (const std::exception&) {
        return true;
    }
    std::error_code ec;
    for (int year : years) {
        if (SpouseColumnOf(year) >= sheet.columnCount()) return true;
        const std::string stem = std::to_string(year);
        const bool kept = std::filesystem::is_regular_file(sources / (stem + ".pdf"), ec) ||
                          std::filesystem::is_regular_file(sources / (stem + ".txt"), ec);
        if (!kept && !YearHasAmounts(sheet, year)) return true;
    }
    return false;
}

std::vector<std::string> ClientsLackingAYear(const std::filesystem::path& tablesDir, const std::vector<int>& years) {
    std::vector<std::string> taxNumbers;
    for (const RegisterClient& client : RegisterClients(tablesDir))
        if (SheetLacksAYear(tablesDir, client.taxNumber, years)) taxNumbers.push_back(client.taxNumber);
    return taxNumbers;
}

std::vector<int> OfficeYearRange(const std::string& text) {
    const size_t dash = text.find('-');
    const int first = ParseYear(text.substr(0, dash));
    const int last = dash == std::string::npos ? first : ParseYear(text.substr(dash + 1));
    if (first < kFirstPortalYear || last > kLastPortalYear || first > last)
        throw std::invalid_argument("τα έτη είναι από " + std::to_string(kFirstPortalYear) + " έως " +
                                    std::to_string(kLastPortalYear) + ", όπως «2003-2020», όχι «" + text + "»");
    std::vector<int> years;
    for (int year = last; year >= first; --year) years.push_back(year);
    return years;
}

}  // namespace skartina
