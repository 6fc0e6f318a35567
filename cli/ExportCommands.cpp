// Commands that export a saved sheet: the CSV file, the Excel workbook and the PDF file of its printed pages.

#include "cli/Commands.h"
#include "sheet/AnalysisFile.h"
#include "sheet/CsvExport.h"
#include "sheet/ExcelExport.h"
#include "sheet/SheetPdf.h"

namespace skartina::cli {
namespace {

struct ExportArguments {
    std::string in;
    std::string out;
    std::string afm;
    std::string name;
};

ExportArguments ParseExportArguments(const Args& args) {
    ExportArguments parsed;
    std::vector<std::string> files;
    for (size_t i = 0; i < args.size(); ++i) {
        if (args[i] == "--afm" || args[i] == "--name") {
            if (i + 1 == args.size()) throw UsageError("λείπει η τιμή μετά το " + args[i]);
            (args[i] == "--afm" ? parsed.afm : parsed.name) = args[i] == "--afm" ? AfmArgument(args[i + 1]) : args[i + 1];
            ++i;
        } else if (args[i].starts_with("--")) {
            throw UsageError("άγνωστη παράμετρος «" + args[i] + "»");
        } else {
            files.push_back(args[i]);
        }
    }
    if (files.size() != 2) throw UsageError("δώστε αρχείο φύλλου (.grd) και αρχείο εξόδου");
    parsed.in = files[0];
    parsed.out = files[1];
    RefuseOutputOverInputs(parsed.out, {parsed.in});
    return parsed;
}

SheetGrid LoadSheet(const std::string& path) {
    SheetGrid grid;
    if (!LoadGridFromFile(path, grid)) throw std::runtime_error("το αρχείο «" + path + "» δεν υπάρχει");
    return grid;
}

}  // namespace

int RunCsv(const Args& args) {
    const ExportArguments parsed = ParseExportArguments(args);
    ExportToCsv(LoadSheet(parsed.in), parsed.out, parsed.name, parsed.afm);
    return 0;
}

int RunXlsx(const Args& args) {
    const ExportArguments parsed = ParseExportArguments(args);
    ExportToExcel(LoadSheet(parsed.in), parsed.out, parsed.name, parsed.afm);
    return 0;
}

int RunPdf(const Args& args) {
    const ExportArguments parsed = ParseExportArguments(args);
    ExportToPdf(LoadSheet(parsed.in), parsed.out, parsed.name, parsed.afm);
    return 0;
}

}  // namespace skartina::cli
