// Commands that fill a year of a sheet from its E1 amounts or its yearly report.

#include "cli/Commands.h"
#include "common/TextFile.h"
#include "e1/CodeList.h"
#include "e1/ReportPdf.h"
#include "e1/ReportText.h"
#include "e1/YearRules.h"
#include "sheet/AnalysisFile.h"
#include "sheet/Recalculate.h"

#include <charconv>
#include <iostream>

namespace skartina::cli {
namespace {

// The report's entries of the year into the table. A report without any
// entry (empty, unreadable) or of another year is refused: it would leave the
// year as it was, or fill it with another year's figures.
void ReadReport(const std::string& path, int year, E1CodeTable& e1) {
    const std::string bytes = ReadFileBytes(path);
    const std::string text = LooksLikePdf(bytes) ? ReportPdfText(bytes) : bytes;
    const std::optional<int> named = ReportYear(text);
    if (!named)
        throw std::runtime_error("η αναφορά «" + EscapeControls(path) +
                                 "» δεν γράφει το οικονομικό έτος της· δεν είναι ετήσια αναφορά ή δεν διαβάζεται");
    if (*named != year)
        throw std::runtime_error("η αναφορά «" + EscapeControls(path) + "» είναι του έτους " + std::to_string(*named) +
                                 ", όχι του " + std::to_string(year));
    if (ParseReportText(text, year, e1) == 0)
        throw std::runtime_error("η αναφορά «" + EscapeControls(path) + "» δεν έχει κανένα ποσό κωδικού");
}

// Loads the sheet, runs the year's rules on the table, recalculates and writes.
void FillYear(E1CodeTable& e1, int year, const std::string& in, const std::string& out) {
    SheetGrid grid;
    if (!LoadGridFromFile(in, grid)) throw std::runtime_error("το αρχείο «" + in + "» δεν υπάρχει");
    if (SpouseColumnOf(year) >= grid.columnCount())
        throw std::runtime_error("το φύλλο «" + in + "» δεν έχει στήλες για το έτος " + std::to_string(year));
    RunYearRules(e1, grid, year);
    RecalculateSheet(grid);
    SaveGridToFile(grid, out);
}

}  // namespace

int RunYear(const Args& args) {
    if (args.size() != 4) throw UsageError("δώστε έτος, αρχείο κωδικών, φύλλο εισόδου και φύλλο εξόδου");
    const int year = YearArgument(args[0]);
    RefuseOutputOverInputs(args[3], {args[1], args[2]});
    E1CodeTable e1;
    ReadCodeList(ReadFileBytes(args[1]), e1);
    FillYear(e1, year, args[2], args[3]);
    return 0;
}

int RunReport(const Args& args) {
    if (args.size() != 2) throw UsageError("δώστε έτος και αναφορά");
    const int year = YearArgument(args[0]);
    E1CodeTable e1;
    ReadReport(args[1], year, e1);
    std::cout << WriteCodeList(e1);
    return 0;
}

int RunImportReport(const Args& args) {
    if (args.size() != 4) throw UsageError("δώστε έτος, αναφορά, φύλλο εισόδου και φύλλο εξόδου");
    const int year = YearArgument(args[0]);
    RefuseOutputOverInputs(args[3], {args[1], args[2]});
    E1CodeTable e1;
    ReadReport(args[1], year, e1);
    FillYear(e1, year, args[2], args[3]);
    return 0;
}

}  // namespace skartina::cli
