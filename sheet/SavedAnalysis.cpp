// SPDX-License-Identifier: GPL-3.0-or-later
#include "sheet/SavedAnalysis.h"

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

std::vector<int> YearsWithFigures(const Sheet& sheet) {
    std::vector<int> years;
    for (int t = 1; t + 1 < sheet.columnCount(); t += 2) {
        bool figures = false;
        for (int c = t; c <= t + 1 && !figures; ++c)
            for (int r = 0; r < sheet.rowCount() && !figures; ++r) {
                if (!IsFigureRow(r)) continue;
                const SheetCell& cell = sheet.cell(c, r);
                // A kept text that is no amount is something too.
                figures = cell.amount ? !cell.amount->isZero() : cell.kept && !cell.kept->empty();
            }
        if (figures) years.push_back(YearOfColumn(t));
    }
    return years;
}

std::string DescribeYearsWithFigures(const Sheet& sheet) {
    const std::vector<int> years = YearsWithFigures(sheet);
    if (years.empty()) return "χωρίς ποσά σε κανένα έτος";
    std::string text = years.size() == 1 ? "με ποσά στο έτος " : "με ποσά στα έτη ";
    for (size_t i = 0; i < years.size(); ++i) text += (i ? ", " : "") + std::to_string(years[i]);
    return text;
}

std::vector<ReplacedFigure> ReplacedFigures(const Sheet& held, const Sheet& retrieved, int year) {
    std::vector<ReplacedFigure> figures;
    for (int c : {TaxpayerColumnOf(year), SpouseColumnOf(year)}) {
        if (c < 1 || c >= held.columnCount() || c >= retrieved.columnCount()) continue;
        for (int r = 0; r < held.rowCount() && r < retrieved.rowCount(); ++r) {
            if (!IsFigureRow(r)) continue;
            const SheetCell& before = held.cell(c, r);
            if (before == SheetCell{} || before == retrieved.cell(c, r)) continue;
            if (before.amount && before.amount->isZero()) continue;  // a zero is nothing of the user's to lose
            figures.push_back({c, r, CellText(held, c, r), CellText(retrieved, c, r)});
        }
    }
    return figures;
}

std::string ReplaceFiguresQuestion(const Sheet& held, int year, const std::vector<ReplacedFigure>& figures) {
    std::string text = "Το έτος " + std::to_string(year) + " έχει στο φύλλο ποσά που διαφέρουν από της Α.Α.Δ.Ε.";
    if (!figures.empty()) {
        const ReplacedFigure& first = figures.front();
        const std::string person = first.column == TaxpayerColumnOf(year) ? "Υπόχρεου" : "Συζύγου";
        text += " (" + held.caption(first.row) + ", " + person + ": " + first.held + " στο φύλλο, " +
                (first.retrieved.empty() ? std::string("κενό") : first.retrieved) + " στην Α.Α.Δ.Ε.";
        if (figures.size() > 1) text += ", και " + std::to_string(figures.size() - 1) + " ακόμη";
        text += ")";
    }
    return text + ". Να αντικατασταθούν με τα ποσά της Α.Α.Δ.Ε.;";
}

void RestoreYearFigures(Sheet& sheet, const Sheet& from, int year) {
    for (int c : {TaxpayerColumnOf(year), SpouseColumnOf(year)}) {
        if (c < 1 || c >= sheet.columnCount() || c >= from.columnCount()) continue;
        for (int r = 0; r < sheet.rowCount() && r < from.rowCount(); ++r)
            if (IsFigureRow(r)) sheet.setCell(c, r, from.cell(c, r));
    }
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
