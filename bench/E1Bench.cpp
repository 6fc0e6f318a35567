// SPDX-License-Identifier: GPL-3.0-or-later
// Speed of filling one year: the year rules plus the recalculation, and the
// reading of a long yearly report: its text, and its PDF in reading order
// against the order the file draws it in (the earlier way, which misreads a
// report drawn in another order).

#include "e1/ReportPdf.h"
#include "e1/ReportText.h"
#include "e1/YearRules.h"
#include "sheet/Recalculate.h"
#include "sheet/SheetLayout.h"

#include "tools/ReportPdfWriter.h"

#include <benchmark/benchmark.h>
#include <poppler-document.h>
#include <poppler-page.h>

#include <memory>
#include <string>
#include <vector>

namespace skartina {
namespace {

// A return with an amount under every code, houses included.
E1CodeTable FullReturn() {
    E1CodeTable e1;
    for (int code = 1; code <= E1CodeTable::kLastCode; ++code) e1.set(code, 100 + code % 97);
    const int houseCodes[] = {211, 212, 213, 214, 215, 216, 217, 218, 219, 220, 221, 222, 223, 224, 225, 226, 227, 228, 229, 230, 231};
    const double houseValues[] = {120, 20, 50, 50, 12, 1500, 1998, 90, 10, 100, 0, 6, 900, 2004, 60, 0, 100, 0, 12, 3000, 2010};
    for (size_t i = 0; i < std::size(houseCodes); ++i) e1.set(houseCodes[i], houseValues[i]);
    return e1;
}

// A year's rules into the sheet of figures, then the recalculation.
void BM_YearRulesAndRecalculationOfFigures(benchmark::State& state) {
    const int year = static_cast<int>(state.range(0));
    Sheet sheet;
    BuildSheetLayout(sheet, YearSelection());
    const E1CodeTable full = FullReturn();
    for (auto _ : state) {
        E1CodeTable e1 = full;
        RunYearRules(e1, sheet, year);
        RecalculateSheet(sheet);
        benchmark::DoNotOptimize(sheet);
    }
}
BENCHMARK(BM_YearRulesAndRecalculationOfFigures)->Arg(2008)->Arg(2015)->Unit(benchmark::kMicrosecond);

void BM_ParseReportText(benchmark::State& state) {
    std::string report = "ΑΝΑΛΥΤΙΚΗ ΕΚΚΑΘΑΡΙΣΗ ΔΗΛΩΣΗΣ\nΑ.Φ.Μ.: 123456783\n";
    for (int i = 0; i < 2000; ++i) {
        report += "Κωδ. " + std::to_string(i) + ": " + std::to_string(100 + i % 900) + ": " + std::to_string(i) +
                  ".234,56";
        report += i % 3 == 0 ? "\n" : "  ";
    }
    E1CodeTable e1;
    for (auto _ : state) {
        ParseReportText(report, 2016, e1);
        benchmark::DoNotOptimize(e1);
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * report.size()));
}
BENCHMARK(BM_ParseReportText)->Unit(benchmark::kMicrosecond);

// A report of the given rows of three entries each (54 rows a page).
std::string ReportPdf(int rows) {
    std::vector<std::string> lines = {"ΕΚΚΑΘΑΡΙΣΤΙΚΟ ΣΗΜΕΙΩΜΑ ΟΙΚΟΝΟΜΙΚΟΥ ΕΤΟΥΣ 2016", "Α.Φ.Μ. 123456783"};
    for (int row = 0; row < rows; ++row) {
        std::string line;
        for (int column = 0; column < 3; ++column)
            line += (column ? "   " : "") + std::to_string(301 + (row * 3 + column) % 600) + ": " +
                    std::to_string(1000 + row * 37) + ",50";
        lines.push_back(line);
    }
    return WriteReportPdf(lines);
}

void BM_ReportPdfInReadingOrder(benchmark::State& state) {
    const std::string pdf = ReportPdf(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        E1CodeTable e1;
        benchmark::DoNotOptimize(ParseReportText(ReportPdfText(pdf), 2016, e1));
    }
}
BENCHMARK(BM_ReportPdfInReadingOrder)->Arg(20)->Arg(100)->Unit(benchmark::kMillisecond);

// The earlier way: the text in the order the file draws it.
void BM_ReportPdfInDrawingOrder(benchmark::State& state) {
    const std::string pdf = ReportPdf(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        std::vector<char> data(pdf.begin(), pdf.end());
        std::unique_ptr<poppler::document> doc(poppler::document::load_from_raw_data(data.data(), static_cast<int>(data.size())));
        std::string text;
        for (int i = 0; i < doc->pages(); ++i) {
            std::unique_ptr<poppler::page> page(doc->create_page(i));
            const poppler::byte_array utf8 = page->text(poppler::rectf(), poppler::page::raw_order_layout).to_utf8();
            text.append(utf8.begin(), utf8.end());
            text += '\n';
        }
        E1CodeTable e1;
        benchmark::DoNotOptimize(ParseReportText(text, 2016, e1));
    }
}
BENCHMARK(BM_ReportPdfInDrawingOrder)->Arg(20)->Arg(100)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace skartina
