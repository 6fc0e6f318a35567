// SPDX-License-Identifier: GPL-3.0-or-later
// Commands that export a saved sheet: the CSV file, the Excel workbook and the PDF file of its printed pages.

#include "cli/Commands.h"
#include "sheet/CsvExport.h"
#include "sheet/ExcelExport.h"
#include "sheet/SheetPdf.h"

#include <memory>

namespace skartina::cli {
namespace {

struct ExportArguments {
    std::string in;
    std::string out;
    std::string taxNumber;
    std::string name;
    bool chart = false;
};

using ExportFunction = void (*)(const Sheet&, const std::filesystem::path&, const std::string& name,
                               const std::string& taxNumber, bool withChart);

// Declares the arguments every export takes, and --chart where the export can
// carry the balance chart; the runner exports with the function.
Runner DefineExport(CLI::App& command, const std::string& outName, const std::string& outMeaning, ExportFunction exportSheet,
                    const char* chartMeaning = nullptr) {
    const auto args = std::make_shared<ExportArguments>();
    AddRequired(command, "IN.grd", args->in, "το φύλλο");
    AddRequired(command, outName, args->out, outMeaning);
    CheckTaxNumber(command.add_option("--afm", args->taxNumber, "ο ΑΦΜ του πελάτη στον τίτλο"))->type_name("AFM");
    command.add_option("--name", args->name, "το όνομα του πελάτη στον τίτλο")->type_name("NAME");
    if (chartMeaning) command.add_flag("--chart", args->chart, chartMeaning);
    return [args, exportSheet] {
        RefuseOutputOverInputs(args->out, {args->in});
        exportSheet(LoadSheetArgument(args->in), args->out, args->name, args->taxNumber, args->chart);
        return 0;
    };
}

}  // namespace

Runner DefineCsv(CLI::App& command) {
    return DefineExport(command, "OUT.csv", "το αρχείο CSV",
                        [](const Sheet& sheet, const std::filesystem::path& file, const std::string& name,
                           const std::string& taxNumber, bool) { ExportToCsv(sheet, file, name, taxNumber); });
}

Runner DefineXlsx(CLI::App& command) {
    return DefineExport(command, "OUT.xlsx", "το βιβλίο Excel", ExportToExcel,
                        "και φύλλο «Διάγραμμα» με τα υπόλοιπα ανά έτος και το διάγραμμά τους");
}

Runner DefinePdf(CLI::App& command) {
    return DefineExport(command, "OUT.pdf", "το αρχείο PDF", ExportToPdf,
                        "και τελευταία σελίδα με το διάγραμμα των υπολοίπων ανά έτος");
}

}  // namespace skartina::cli
