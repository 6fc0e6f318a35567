// SPDX-License-Identifier: GPL-3.0-or-later
// Speed of the exports on the 53-column sheet of 1995 to 2020, every amount
// row filled: the Excel workbook (built, zipped, written through a temporary
// file and a rename), the CSV file, and the PDF file of the printed pages
// (laid out, drawn with the fonts embedded, written through a temporary file;
// the goal is under 50 ms).

#include "sheet/Amount.h"
#include "sheet/CsvExport.h"
#include "sheet/ExcelExport.h"
#include "sheet/Recalculate.h"
#include "sheet/SheetLayout.h"
#include "sheet/SheetPdf.h"
#include "sheet/SheetRows.h"

#include <benchmark/benchmark.h>

#include <filesystem>
#include <unistd.h>

namespace skartina {
namespace {

Sheet Sheet1995() {
    YearSelection years;
    for (int y = kOldestBoxYear; y <= kNewestYear; ++y) years.setTicked(y, true);
    years.setFirstYear(1995);
    Sheet sheet;
    BuildSheetLayout(sheet, years);
    for (int c = 1; c < sheet.columnCount(); ++c)
        for (int r = Row::TaxedIncome; r <= Row::BankTransfers; ++r)
            sheet.setAmount(c, r, Money::FromCents(100000 + 3731 * c + 11307 * r));
    RecalculateSheet(sheet);
    return sheet;
}

std::filesystem::path ScratchPath(const char* extension) {
    return std::filesystem::temp_directory_path() / ("skartina-bench-" + std::to_string(::getpid()) + extension);
}

void BM_ExportToExcel(benchmark::State& state) {
    const Sheet sheet = Sheet1995();
    const auto path = ScratchPath(".xlsx");
    for (auto _ : state) ExportToExcel(sheet, path, "ΠΑΠΑΔΟΠΟΥΛΟΣ ΓΕΩΡΓΙΟΣ", "123456783");
    state.counters["columns"] = sheet.columnCount();
    state.counters["bytes"] = static_cast<double>(std::filesystem::file_size(path));
    std::filesystem::remove(path);
}
BENCHMARK(BM_ExportToExcel)->Unit(benchmark::kMillisecond);

void BM_ExportToCsv(benchmark::State& state) {
    const Sheet sheet = Sheet1995();
    const auto path = ScratchPath(".csv");
    for (auto _ : state) ExportToCsv(sheet, path, "ΠΑΠΑΔΟΠΟΥΛΟΣ ΓΕΩΡΓΙΟΣ", "123456783");
    std::filesystem::remove(path);
}
BENCHMARK(BM_ExportToCsv)->Unit(benchmark::kMicrosecond);

void BM_ExportToPdf(benchmark::State& state) {
    const Sheet sheet = Sheet1995();
    const auto path = ScratchPath(".pdf");
    for (auto _ : state) ExportToPdf(sheet, path, "ΠΑΠΑΔΟΠΟΥΛΟΣ ΓΕΩΡΓΙΟΣ", "123456783");
    state.counters["bytes"] = static_cast<double>(std::filesystem::file_size(path));
    std::filesystem::remove(path);
}
BENCHMARK(BM_ExportToPdf)->Unit(benchmark::kMillisecond);

// The same pages and PDF bytes in memory: the work without the disk's flush.
void BM_PrintPagesPdf(benchmark::State& state) {
    const Sheet sheet = Sheet1995();
    for (auto _ : state)
        benchmark::DoNotOptimize(
            PrintPagesPdf(SheetPrintPages(sheet, "ΠΑΠΑΔΟΠΟΥΛΟΣ ΓΕΩΡΓΙΟΣ", "123456783", "10/12/2026"), "τίτλος"));
}
BENCHMARK(BM_PrintPagesPdf)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace skartina
