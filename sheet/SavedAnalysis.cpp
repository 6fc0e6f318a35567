// SPDX-License-Identifier: GPL-3.0-or-later
#include "sheet/SavedAnalysis.h"

#include "sheet/Amount.h"
#include "sheet/SheetRows.h"

#include <chrono>
#include <cstdio>
#include <ctime>

namespace skartina {

bool IsFigureRow(int row) {
    if (row < Row::TaxedIncome || row > Row::LastCaptioned) return false;
    switch (row) {
        case Row::IncomeTotal:
        case Row::MinimumLivingAmount:
        case Row::ExpenseTotal:
        case Row::AvailableBalance:
        case Row::CarryAmount:
        case Row::CapitalConsumptionUsed:
        case Row::FinalBalance:
            return false;
        default:
            return true;
    }
}

std::vector<int> YearsWithFigures(const SheetGrid& grid) {
    std::vector<int> years;
    for (int t = 1; t + 1 < grid.columnCount(); t += 2) {
        bool figures = false;
        for (int c = t; c <= t + 1 && !figures; ++c)
            for (int r = 0; r < grid.rowCount() && !figures; ++r) {
                if (!IsFigureRow(r) || grid.cell(c, r).empty()) continue;
                const auto amount = ParseAmount(grid.cell(c, r));
                figures = !amount || *amount != 0;  // a text that is no amount is something too
            }
        if (figures) years.push_back(YearOfColumn(t));
    }
    return years;
}

std::string DescribeYearsWithFigures(const SheetGrid& grid) {
    const std::vector<int> years = YearsWithFigures(grid);
    if (years.empty()) return "χωρίς ποσά σε κανένα έτος";
    std::string text = years.size() == 1 ? "με ποσά στο έτος " : "με ποσά στα έτη ";
    for (size_t i = 0; i < years.size(); ++i) text += (i ? ", " : "") + std::to_string(years[i]);
    return text;
}

std::optional<FileStamp> StampOf(const std::filesystem::path& path) {
    std::error_code ec;
    if (!std::filesystem::is_regular_file(path, ec)) return std::nullopt;
    FileStamp stamp{path, std::filesystem::last_write_time(path, ec), std::filesystem::file_size(path, ec)};
    if (ec) return std::nullopt;
    return stamp;
}

std::string SavedAtText(const FileStamp& stamp) {
    const auto system = std::chrono::file_clock::to_sys(stamp.written);
    const std::time_t time =
        std::chrono::system_clock::to_time_t(std::chrono::time_point_cast<std::chrono::system_clock::duration>(system));
    std::tm local{};
    localtime_r(&time, &local);
    char text[64];  // room for any int the fields may hold
    std::snprintf(text, sizeof text, "%02d/%02d/%04d %02d:%02d", local.tm_mday, local.tm_mon + 1,
                  local.tm_year + 1900, local.tm_hour, local.tm_min);
    return text;
}

}  // namespace skartina
