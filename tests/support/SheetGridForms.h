// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Tests describe sheets as the file's grid of cell texts ("2.500,00"), which
// reads as the file and the window show them: these run the sheet's own
// functions on the sheet such a grid describes and write the sheet back.

#include "e1/YearRules.h"
#include "sheet/AnalysisHistory.h"
#include "sheet/BalanceSeries.h"
#include "sheet/CsvExport.h"
#include "sheet/ExcelExport.h"
#include "sheet/MarriedMarks.h"
#include "sheet/Recalculate.h"
#include "sheet/SavedAnalysis.h"
#include "sheet/Sheet.h"
#include "sheet/SheetLayout.h"
#include "sheet/SheetPdf.h"
#include "sheet/SheetRows.h"

namespace skartina {

// Runs `change` on the sheet the grid describes and writes the sheet back,
// also when `change` throws (the cells changed before an error keep their change).
template <class Change>
decltype(auto) ChangeGridAsSheet(SheetGrid& grid, Change&& change) {
    Sheet sheet = SheetOfGrid(grid);
    struct WriteBack {
        SheetGrid& grid;
        const Sheet& sheet;
        ~WriteBack() { grid = GridOfSheet(sheet); }
    } writeBack{grid, sheet};
    return change(sheet);
}

// Only the computed cells' texts change: a cell whose text already says its
// figure keeps that text.
inline void RecalculateSheet(SheetGrid& grid) {
    if (grid.rowCount() < kSheetRows) grid.setRowCount(kSheetRows);
    Sheet sheet = SheetOfGrid(grid);
    const auto writeBack = [&] {
        for (int c = 1; c < grid.columnCount(); ++c)
            for (int r : kComputedRows) {
                const SheetCell& cell = sheet.cell(c, r);
                if (cell.kept ? *cell.kept == grid.cell(c, r)
                    : cell.amount ? IsWrittenAmount(grid.cell(c, r), *cell.amount)
                                  : grid.cell(c, r).empty())
                    continue;
                grid.setCell(c, r, CellText(sheet, c, r));
            }
    };
    try {
        RecalculateSheet(sheet);
    } catch (const SheetError&) {
        writeBack();
        throw;
    }
    writeBack();
}

inline void RunYearRules(E1CodeTable& e1, SheetGrid& grid, int year) {
    ChangeGridAsSheet(grid, [&](Sheet& sheet) { RunYearRules(e1, sheet, year); });
}

inline void BuildSheetLayout(SheetGrid& grid, const YearSelection& years) {
    if (grid.columnCount() < 1) grid.setColumnCount(1);
    ChangeGridAsSheet(grid, [&](Sheet& sheet) { BuildSheetLayout(sheet, years); });
}
inline void TickYear(SheetGrid& grid, YearSelection& years, int year) {
    ChangeGridAsSheet(grid, [&](Sheet& sheet) { TickYear(sheet, years, year); });
}
inline bool UntickYear(SheetGrid& grid, YearSelection& years, int year, Prompter* confirm) {
    return ChangeGridAsSheet(grid, [&](Sheet& sheet) { return UntickYear(sheet, years, year, confirm); });
}
inline void ResetSheet(SheetGrid& grid, YearSelection& years) {
    ChangeGridAsSheet(grid, [&](Sheet& sheet) { ResetSheet(sheet, years); });
}
inline void AlignYearBoxesToSheet(const SheetGrid& grid, YearSelection& years) {
    AlignYearBoxesToSheet(SheetOfGrid(grid), years);
}

inline bool IsMarriedColumn(const SheetGrid& grid, int column) { return IsMarriedColumn(SheetOfGrid(grid), column); }
inline void ApplyMarriedToAllYears(SheetGrid& grid, bool married) {
    ChangeGridAsSheet(grid, [&](Sheet& sheet) { ApplyMarriedToAllYears(sheet, married); });
}
inline bool ToggleMarriedMark(SheetGrid& grid, int column) {
    return ChangeGridAsSheet(grid, [&](Sheet& sheet) { return ToggleMarriedMark(sheet, column); });
}
inline bool SpouseFiguresWithoutMark(const SheetGrid& grid, int spouseColumn) {
    return SpouseFiguresWithoutMark(SheetOfGrid(grid), spouseColumn);
}

inline std::vector<int> YearsWithFigures(const SheetGrid& grid) { return YearsWithFigures(SheetOfGrid(grid)); }
inline std::string DescribeYearsWithFigures(const SheetGrid& grid) { return DescribeYearsWithFigures(SheetOfGrid(grid)); }
inline std::vector<ReplacedFigure> ReplacedFigures(const SheetGrid& held, const SheetGrid& retrieved, int year) {
    return ReplacedFigures(SheetOfGrid(held), SheetOfGrid(retrieved), year);
}
inline std::string ReplaceFiguresQuestion(const SheetGrid& held, int year, const std::vector<ReplacedFigure>& figures) {
    return ReplaceFiguresQuestion(SheetOfGrid(held), year, figures);
}
inline void RestoreYearFigures(SheetGrid& grid, const SheetGrid& from, int year) {
    const Sheet source = SheetOfGrid(from);
    ChangeGridAsSheet(grid, [&](Sheet& sheet) { RestoreYearFigures(sheet, source, year); });
}

inline BalanceSeries ReadBalanceSeries(const SheetGrid& grid) { return ReadBalanceSeries(SheetOfGrid(grid)); }

inline void SaveGridKeepingHistory(const SheetGrid& grid, const std::filesystem::path& tablesDir,
                                   std::string_view taxNumber, const std::filesystem::path& file,
                                   std::chrono::system_clock::time_point now = std::chrono::system_clock::now()) {
    SaveSheetKeepingHistory(SheetOfGrid(grid), tablesDir, taxNumber, file, now);
}

inline void ExportToCsv(const SheetGrid& grid, const std::filesystem::path& file, const std::string& name,
                        const std::string& taxNumber) {
    ExportToCsv(SheetOfGrid(grid), file, name, taxNumber);
}
inline void ExportToExcel(const SheetGrid& grid, const std::filesystem::path& file, const std::string& name,
                          const std::string& taxNumber, bool withChart = false) {
    ExportToExcel(SheetOfGrid(grid), file, name, taxNumber, withChart);
}
inline std::vector<PrintPage> SheetPrintPages(const SheetGrid& grid, const std::string& name,
                                              const std::string& taxNumber, const std::string& date,
                                              bool withChart = false) {
    return SheetPrintPages(SheetOfGrid(grid), name, taxNumber, date, withChart);
}
inline void ExportToPdf(const SheetGrid& grid, const std::filesystem::path& file, const std::string& name,
                        const std::string& taxNumber, bool withChart = false) {
    ExportToPdf(SheetOfGrid(grid), file, name, taxNumber, withChart);
}

}  // namespace skartina
