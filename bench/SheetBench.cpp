// SPDX-License-Identifier: GPL-3.0-or-later
// Speed of the sheet's everyday work on the widest sheet (1991 to 2020, 61
// columns) and on the 53-column sheet of 1995 to 2020, every cell holding an amount.

#include "sheet/AnalysisFile.h"
#include "sheet/Amount.h"
#include "sheet/MarriedMarks.h"
#include "sheet/Recalculate.h"
#include "sheet/SheetLayout.h"
#include "sheet/SheetRows.h"

#include <benchmark/benchmark.h>

#include <filesystem>
#include <unistd.h>

namespace skartina {
namespace {

Sheet FullSheet(int firstYear) {
    YearSelection years;
    for (int y = kOldestBoxYear; y <= kNewestYear; ++y) years.setTicked(y, true);
    years.setFirstYear(firstYear);
    Sheet sheet;
    BuildSheetLayout(sheet, years);
    for (int c = 1; c < sheet.columnCount(); ++c) {
        for (int r = Row::TaxedIncome; r <= Row::BankTransfers; ++r)
            sheet.setAmount(c, r, Money::FromCents(100000 + 3731 * c + 11307 * r));
        if (c % 4 == 0) ToggleMarriedMark(sheet, c);
    }
    RecalculateSheet(sheet);
    return sheet;
}

// The sheet held as figures: the recalculation without any text.
void BM_RecalculateFigures(benchmark::State& state) {
    Sheet sheet = FullSheet(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        RecalculateSheet(sheet);
        benchmark::DoNotOptimize(sheet);
    }
    state.counters["columns"] = sheet.columnCount();
}
BENCHMARK(BM_RecalculateFigures)->Arg(1995)->Arg(1991)->Unit(benchmark::kMicrosecond);

// Save (through a flushed temporary file and a rename) and load back.
void BM_SaveAndLoad(benchmark::State& state) {
    const Sheet sheet = FullSheet(1995);
    const auto path = std::filesystem::temp_directory_path() / ("skartina-bench-" + std::to_string(::getpid()) + ".grd");
    Sheet loaded;
    for (auto _ : state) {
        SaveSheetToFile(sheet, path);
        LoadSheetFromFile(path, loaded);
        benchmark::DoNotOptimize(loaded);
    }
    std::filesystem::remove(path);
    if (!(loaded == sheet)) state.SkipWithError("round trip differs");
}
BENCHMARK(BM_SaveAndLoad)->Unit(benchmark::kMicrosecond);

// The same without the disk: the file's text built and read back.
void BM_SerialiseAndParse(benchmark::State& state) {
    const Sheet sheet = FullSheet(1995);
    for (auto _ : state) {
        Sheet back = SheetFromLines(SheetToLines(sheet));
        benchmark::DoNotOptimize(back);
    }
}
BENCHMARK(BM_SerialiseAndParse)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace skartina
