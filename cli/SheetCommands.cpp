// SPDX-License-Identifier: GPL-3.0-or-later
// Commands on whole sheets: a new sheet, a recalculation, the yearly conversion.

#include "sheet/AnalysisConversion.h"
#include "cli/Commands.h"
#include "sheet/AnalysisHistory.h"
#include "common/ClientFiles.h"
#include "sheet/AnalysisFile.h"
#include "sheet/MarriedMarks.h"
#include "sheet/Recalculate.h"
#include "sheet/SheetLayout.h"

#include <algorithm>
#include <memory>
#include <iostream>

namespace skartina::cli {
namespace {

struct NewArguments {
    std::string out;
    std::string firstYear = "2003";
    bool married = false;
};

int RunNew(const NewArguments& args) {
    const int firstYear = YearArgument(args.firstYear);
    // A new sheet never replaces one, filled by hand or from the portal.
    std::error_code ec;
    if (std::filesystem::exists(std::filesystem::symlink_status(args.out, ec)))
        throw UsageError("το αρχείο «" + EscapeControls(args.out) + "» υπάρχει ήδη· το new δεν γράφει πάνω σε φύλλο "
                         "(δώστε άλλο όνομα ή διαγράψτε το πρώτα)");

    // As a new analysis window with the years from the first year ticked; a
    // year before 2000 goes through the first-year field.
    YearSelection years;
    const int oldestBox = std::max(firstYear, kOldestBoxYear);
    for (int year = kOldestBoxYear; year <= kNewestYear; ++year) years.setTicked(year, year >= oldestBox);
    if (firstYear < kOldestBoxYear) years.setFirstYear(firstYear);

    const auto held = HoldDataFolders("new", false, {args.out});
    Sheet sheet;
    BuildSheetLayout(sheet, years);
    if (args.married) {
        ApplyMarriedToAllYears(sheet, true);
        RecalculateSheet(sheet);
    }
    SaveSheetFile(sheet, args.out);
    return 0;
}

int RunRecalc(const std::string& in, const std::string& out) {
    RefuseOutputOverInputs(out, {in});
    const auto held = HoldDataFolders("recalc", false, {out});
    Sheet sheet = LoadSheetArgument(in);
    RecalculateSheet(sheet);
    SaveSheetFile(sheet, out);
    return 0;
}

int RunConvert(const std::string& dir) {
    const std::filesystem::path tables = std::filesystem::path(dir) / kTablesFolder;
    std::vector<DataFolderLock> held;
    if (std::filesystem::is_directory(tables)) {
        const std::filesystem::path folder = std::filesystem::absolute(dir);
        std::optional<DataFolderLock> lock = DataFolderLock::Take(folder, "το skartina-cli convert");
        if (!lock)
            throw std::runtime_error(FolderInUseSentence(folder, DataFolderLock::HolderOf(folder),
                                                         "η εντολή δεν έγραψε τίποτα· δοκιμάστε ξανά όταν τελειώσει"));
        held.push_back(std::move(*lock));
    }
    const ConversionReport report = ConvertAnalysisFiles(tables);
    if (report.tablesMissing) throw std::runtime_error("δεν υπάρχει φάκελος «" + tables.string() + "»");
    if (report.alreadyDone) {
        std::cout << "Η μετατροπή έχει ήδη γίνει (υπάρχει το " << kConversionMarker << ").\n";
        return 0;
    }
    for (const auto& name : report.converted) std::cout << "μετατράπηκε: " << name << "\n";
    for (const auto& name : report.keptExisting) std::cout << "υπάρχει ήδη, δεν αντικαταστάθηκε: " << name << "\n";
    for (const auto& note : report.completed) std::cerr << "skartina-cli convert: " << note << "\n";
    for (const auto& failure : report.failed) std::cerr << "skartina-cli convert: " << failure << "\n";
    return report.failed.empty() ? 0 : 1;
}

}  // namespace

Runner DefineNew(CLI::App& command) {
    const auto args = std::make_shared<NewArguments>();
    AddRequired(command, "OUT.grd", args->out, "το αρχείο του νέου φύλλου");
    command.add_option("--first-year", args->firstYear, "το πρώτο έτος του φύλλου (προεπιλογή 2003)")->type_name("Y");
    command.add_flag("--married", args->married, "έγγαμοι σε όλα τα έτη");
    return [args] { return RunNew(*args); };
}

Runner DefineRecalc(CLI::App& command) {
    const auto files = std::make_shared<std::pair<std::string, std::string>>();
    AddRequired(command, "IN.grd", files->first, "το φύλλο");
    AddRequired(command, "OUT.grd", files->second, "το επανυπολογισμένο φύλλο");
    return [files] { return RunRecalc(files->first, files->second); };
}

Runner DefineConvert(CLI::App& command) {
    const auto dir = std::make_shared<std::string>();
    AddRequired(command, "DIR", *dir, "ο φάκελος που περιέχει το Tables");
    return [dir] { return RunConvert(*dir); };
}

}  // namespace skartina::cli
