// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/Commands.h"

#include "common/ClientFiles.h"
#include "common/TextFile.h"
#include "portal/OfficeSelection.h"
#include "registry/TaxNumberCheck.h"
#include "sheet/AnalysisHistory.h"
#include "sheet/AnalysisFile.h"

#include <CLI/Option.hpp>

#include <algorithm>
#include <charconv>
#include <optional>

namespace skartina::cli {

int YearArgument(const std::string& text) {
    int year = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), year);
    if (ec != std::errc() || end != text.data() + text.size() || year < kOldestYear || year > kNewestYear)
        throw UsageError("το έτος πρέπει να είναι από " + std::to_string(kOldestYear) + " έως " +
                         std::to_string(kNewestYear) + ", όχι «" + text + "»");
    return year;
}

int ExtraSeconds(const std::string& text) {
    int seconds = -1;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), seconds);
    if (ec == std::errc() && end == text.data() + text.size() && seconds >= 0 && seconds <= kMostExtraSeconds)
        return seconds;
    throw UsageError("--extra-seconds θέλει ακέραιο αριθμό δευτερολέπτων από 0 έως " + std::to_string(kMostExtraSeconds) +
                     ", όχι «" + EscapeControls(text) + "»");
}

std::vector<int> PortalYears(const std::string& text) {
    try {
        return OfficeYearRange(text);
    } catch (const std::invalid_argument& e) {
        throw UsageError(e.what());
    }
}

int PortalYear(const std::string& text) {
    const std::vector<int> years = PortalYears(text);
    if (years.size() != 1)
        throw UsageError("ένα έτος από " + std::to_string(kFirstPortalYear) + " έως " + std::to_string(kLastPortalYear) +
                         ", όχι «" + EscapeControls(text) + "»");
    return years.front();
}

CLI::Option* CheckTaxNumber(CLI::Option* option) {
    return option->check(CLI::Validator(
        [](std::string& text) -> std::string {
            if (IsWholeTaxNumber(text)) return {};
            return "ο Α.Φ.Μ. «" + EscapeControls(text) + "» δεν είναι σωστός (εννέα ψηφία με σωστό ψηφίο ελέγχου)";
        },
        "AFM"));
}

void RefuseOutputOverInputs(const std::string& output, std::initializer_list<std::string> inputs) {
    for (const std::string& input : inputs)
        if (IsSameFile(output, input))
            throw UsageError("το αρχείο εξόδου «" + EscapeControls(output) + "» είναι το αρχείο εισόδου «" +
                             EscapeControls(input) + "»· δώστε άλλο αρχείο εξόδου");
}

std::vector<DataFolderLock> HoldDataFolders(const std::string& command, bool currentFolder,
                                            std::initializer_list<std::string> outputs) {
    std::vector<std::filesystem::path> folders;
    // The data folder of the commands that write the register (the window's rule).
    if (currentFolder) folders.push_back(DataTables().parent_path());
    for (const std::string& output : outputs)
        if (const std::optional<AnalysisOwner> owner = AnalysisOwnerOf(output))
            folders.push_back(owner->tablesDir.parent_path());
    std::vector<DataFolderLock> held;
    std::vector<std::filesystem::path> seen;
    for (const std::filesystem::path& folder : folders) {
        const std::filesystem::path same = std::filesystem::weakly_canonical(folder);
        if (std::find(seen.begin(), seen.end(), same) != seen.end()) continue;  // a second lock of one folder would refuse itself
        seen.push_back(same);
        std::optional<DataFolderLock> lock = DataFolderLock::Take(same, "το skartina-cli " + command);
        if (!lock)
            throw std::runtime_error(FolderInUseSentence(same, DataFolderLock::HolderOf(same),
                                                         "η εντολή δεν έγραψε τίποτα· δοκιμάστε ξανά όταν τελειώσει"));
        held.push_back(std::move(*lock));
    }
    return held;
}

CLI::Option* AddRequired(CLI::App& command, const std::string& name, std::string& value, const std::string& meaning) {
    // The name says what to give; the parser's type word ("TEXT") would add nothing.
    return command.add_option(name, value, meaning)->required()->type_name("");
}

void AddPortalWaits(CLI::App& command, std::string& extraSeconds, bool& fixedPauses) {
    command.add_option("--extra-seconds", extraSeconds, "επιπλέον χρόνος σε κάθε αναμονή")->type_name("N");
    command.add_flag("--fixed-pauses", fixedPauses,
                     "και οι σταθερές παύσεις της Α.Α.Δ.Ε., για πύλη που δείχνει τη σελίδα πριν είναι έτοιμη");
}

CLI::Option* AddRefusedPassword(CLI::App& command, std::string& value) {
    return command.add_option("--password", value)->expected(0, 1)->group("");
}

void ThrowIfPasswordGiven(const CLI::Option* password) {
    if (password->count() > 0)
        throw UsageError("ο κωδικός δεν δίνεται στη γραμμή εντολών: ορίστε SKARTINA_PASSWORD ή πληκτρολογήστε τον όταν ζητηθεί");
}

Sheet LoadSheetArgument(const std::string& path) {
    Sheet sheet;
    if (!LoadSheetFromFile(path, sheet)) throw std::runtime_error("το αρχείο «" + path + "» δεν υπάρχει");
    return sheet;
}

}  // namespace skartina::cli
