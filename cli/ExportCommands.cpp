// SPDX-License-Identifier: GPL-3.0-or-later
// Commands that export a saved sheet: the CSV file, the Excel workbook and the PDF file of its printed pages.

#include "cli/Commands.h"
#include "sheet/AnalysisFile.h"
#include "sheet/CsvExport.h"
#include "sheet/ExcelExport.h"
#include "sheet/SheetPdf.h"

#include <memory>

namespace skartina::cli {
namespace {

struct ExportArguments {
    std::string in;
    std::string out;
    std::string afm;
    std::string name;
};

SheetGrid LoadSheet(const std::string& path) {
    SheetGrid grid;
    if (!LoadGridFromFile(path, grid)) throw std::runtime_error("το αρχείο «" + path + "» δεν υπάρχει");
    return grid;
}

using ExportFunction = void (*)(const SheetGrid&, const std::filesystem::path&, const std::string& name,
                               const std::string& afm);

// Declares the arguments every export takes; the runner exports with the function.
Runner DefineExport(CLI::App& command, const std::string& outName, const std::string& outMeaning, ExportFunction exportSheet) {
    const auto args = std::make_shared<ExportArguments>();
    AddRequired(command, "IN.grd", args->in, "το φύλλο");
    AddRequired(command, outName, args->out, outMeaning);
    CheckAfm(command.add_option("--afm", args->afm, "ο ΑΦΜ του πελάτη στον τίτλο"))->type_name("AFM");
    command.add_option("--name", args->name, "το όνομα του πελάτη στον τίτλο")->type_name("NAME");
    return [args, exportSheet] {
        RefuseOutputOverInputs(args->out, {args->in});
        exportSheet(LoadSheet(args->in), args->out, args->name, args->afm);
        return 0;
    };
}

}  // namespace

Runner DefineCsv(CLI::App& command) { return DefineExport(command, "OUT.csv", "το αρχείο CSV", ExportToCsv); }

Runner DefineXlsx(CLI::App& command) { return DefineExport(command, "OUT.xlsx", "το βιβλίο Excel", ExportToExcel); }

Runner DefinePdf(CLI::App& command) { return DefineExport(command, "OUT.pdf", "το αρχείο PDF", ExportToPdf); }

}  // namespace skartina::cli
