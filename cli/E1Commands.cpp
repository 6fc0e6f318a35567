// SPDX-License-Identifier: GPL-3.0-or-later
// Commands that fill a year of a sheet from its E1 amounts or its yearly report.

#include "cli/Commands.h"
#include "sheet/AnalysisHistory.h"
#include "common/TextFile.h"
#include "e1/CodeList.h"
#include "e1/ReportPdf.h"
#include "e1/ReportText.h"
#include "e1/YearRules.h"
#include "sheet/AnalysisFile.h"
#include "sheet/Recalculate.h"

#include <iostream>
#include <optional>
#include <memory>

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
    const auto held = HoldDataFolders("year", false, {out});
    Sheet sheet = LoadSheetArgument(in);
    if (SpouseColumnOf(year) >= sheet.columnCount())
        throw std::runtime_error("το φύλλο «" + in + "» δεν έχει στήλες για το έτος " + std::to_string(year));
    RunYearRules(e1, sheet, year);
    RecalculateSheet(sheet);
    SaveSheetFile(sheet, out);
}

struct YearArguments {
    std::string year;
    std::string source;  // the codes or the report
    std::string in;
    std::string out;
};

int RunYear(const YearArguments& args) {
    const int year = YearArgument(args.year);
    RefuseOutputOverInputs(args.out, {args.source, args.in});
    E1CodeTable e1;
    ReadCodeList(ReadFileBytes(args.source), e1);
    FillYear(e1, year, args.in, args.out);
    return 0;
}

int RunReport(const YearArguments& args) {
    const int year = YearArgument(args.year);
    E1CodeTable e1;
    ReadReport(args.source, year, e1);
    std::cout << WriteCodeList(e1);
    return 0;
}

int RunImportReport(const YearArguments& args) {
    const int year = YearArgument(args.year);
    RefuseOutputOverInputs(args.out, {args.source, args.in});
    E1CodeTable e1;
    ReadReport(args.source, year, e1);
    FillYear(e1, year, args.in, args.out);
    return 0;
}

}  // namespace

Runner DefineYear(CLI::App& command) {
    const auto args = std::make_shared<YearArguments>();
    AddRequired(command, "YEAR", args->year, "το έτος");
    AddRequired(command, "CODES.txt", args->source, "γραμμές «κωδικός ποσό» της δήλωσης Ε1 του έτους");
    AddRequired(command, "IN.grd", args->in, "το φύλλο");
    AddRequired(command, "OUT.grd", args->out, "το φύλλο με το έτος");
    return [args] { return RunYear(*args); };
}

Runner DefineReport(CLI::App& command) {
    const auto args = std::make_shared<YearArguments>();
    AddRequired(command, "YEAR", args->year, "το έτος");
    AddRequired(command, "REPORT", args->source, "η ετήσια αναφορά (PDF ή κείμενο)");
    return [args] { return RunReport(*args); };
}

Runner DefineImportReport(CLI::App& command) {
    const auto args = std::make_shared<YearArguments>();
    AddRequired(command, "YEAR", args->year, "το έτος");
    AddRequired(command, "REPORT", args->source, "η ετήσια αναφορά (PDF ή κείμενο)");
    AddRequired(command, "IN.grd", args->in, "το φύλλο");
    AddRequired(command, "OUT.grd", args->out, "το φύλλο με το έτος");
    return [args] { return RunImportReport(*args); };
}

}  // namespace skartina::cli
