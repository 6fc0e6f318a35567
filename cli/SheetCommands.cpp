// Commands on whole sheets: a new sheet, a recalculation, the yearly conversion.

#include "sheet/AnalysisConversion.h"
#include "cli/Commands.h"
#include "common/ClientFiles.h"
#include "sheet/AnalysisFile.h"
#include "sheet/MarriedMarks.h"
#include "sheet/Recalculate.h"
#include "sheet/SheetLayout.h"

#include <algorithm>
#include <charconv>
#include <iostream>

namespace skartina::cli {
int RunNew(const Args& args) {
    std::string out;
    int firstYear = 2003;
    bool married = false;
    for (size_t i = 0; i < args.size(); ++i) {
        if (args[i] == "--first-year") {
            if (++i == args.size()) throw UsageError("λείπει το έτος μετά το --first-year");
            firstYear = YearArgument(args[i]);
        } else if (args[i] == "--married") {
            married = true;
        } else if (out.empty() && !args[i].starts_with("--")) {
            out = args[i];
        } else {
            throw UsageError("άγνωστη παράμετρος «" + args[i] + "»");
        }
    }
    if (out.empty()) throw UsageError("λείπει το αρχείο εξόδου");

    // As a new analysis window with the years from the first year ticked; a
    // year before 2000 goes through the first-year field.
    YearSelection years;
    const int oldestBox = std::max(firstYear, kOldestBoxYear);
    for (int year = kOldestBoxYear; year <= kNewestYear; ++year) years.setTicked(year, year >= oldestBox);
    if (firstYear < kOldestBoxYear) years.setFirstYear(firstYear);

    SheetGrid grid;
    BuildSheetLayout(grid, years);
    if (married) {
        ApplyMarriedToAllYears(grid, true);
        RecalculateSheet(grid);
    }
    SaveGridToFile(grid, out);
    return 0;
}

int RunRecalc(const Args& args) {
    if (args.size() != 2) throw UsageError("δώστε αρχείο εισόδου και αρχείο εξόδου");
    SheetGrid grid;
    if (!LoadGridFromFile(args[0], grid)) throw std::runtime_error("το αρχείο «" + args[0] + "» δεν υπάρχει");
    RecalculateSheet(grid);
    SaveGridToFile(grid, args[1]);
    return 0;
}

int RunConvert(const Args& args) {
    if (args.size() != 1) throw UsageError("δώστε τον φάκελο που περιέχει το Tables");
    const ConversionReport report = ConvertAnalysisFiles(std::filesystem::path(args[0]) / kTablesFolder);
    if (report.tablesMissing)
        throw std::runtime_error("δεν υπάρχει φάκελος «" + (std::filesystem::path(args[0]) / kTablesFolder).string() + "»");
    if (report.alreadyDone) {
        std::cout << "Η μετατροπή έχει ήδη γίνει (υπάρχει το " << kConversionMarker << ").\n";
        return 0;
    }
    for (const auto& name : report.converted) std::cout << "μετατράπηκε: " << name << "\n";
    for (const auto& name : report.keptExisting) std::cout << "υπάρχει ήδη, δεν αντικαταστάθηκε: " << name << "\n";
    for (const auto& failure : report.failed) std::cerr << "skartina-cli convert: " << failure << "\n";
    return report.failed.empty() ? 0 : 1;
}

}  // namespace skartina::cli
