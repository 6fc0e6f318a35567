// retrieve: one year of a client from the tax portal into a saved sheet, as
// the year button of the analysis window does it, without the window.

#include "cli/Commands.h"
#include "cli/PasswordPrompt.h"
#include "e1/E1CodeTable.h"
#include "browser/PortalBrowser.h"
#include "portal/YearRetrieval.h"
#include "sheet/AnalysisFile.h"
#include "sheet/Recalculate.h"

#include <iostream>

namespace skartina::cli {
namespace {

class StderrPrompter : public Prompter {
public:
    void inform(const std::string& text) override { std::cerr << text << '\n'; }
    bool confirm(const std::string& text) override {
        std::cerr << text << '\n';
        return false;
    }
};

class SheetOnly : public RetrievalView {
public:
    explicit SheetOnly(SheetGrid& grid) : grid_(grid) {}
    void ReportTaken() override { std::cerr << "ΟΚ\n"; }
    void RecalculateSheet() override { skartina::RecalculateSheet(grid_); }

private:
    SheetGrid& grid_;
};

}  // namespace

int ExtraSeconds(const std::string& text) {
    try {
        size_t used = 0;
        const int seconds = std::stoi(text, &used);
        if (used == text.size()) return seconds;
    } catch (const std::exception&) {
    }
    throw UsageError("--extra-seconds θέλει ακέραιο αριθμό δευτερολέπτων, όχι «" + text + "»");
}

int RunRetrieve(const Args& args) {
    Args positional;
    YearRequest request;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        const bool hasValue = i + 1 < args.size();
        if (arg == "--afm" && hasValue) request.credentials.afm = args[++i];
        else if (arg == "--user" && hasValue) request.credentials.user = args[++i];
        else if (arg == "--accountant") request.credentials.accountant = true;
        else if (arg == "--extra-seconds" && hasValue) request.extraSeconds = ExtraSeconds(args[++i]);
        else if (arg == "--password" || arg.rfind("--password=", 0) == 0)
            throw UsageError("ο κωδικός δεν δίνεται στη γραμμή εντολών: ορίστε SKARTINA_PASSWORD ή πληκτρολογήστε τον όταν ζητηθεί");
        else if (arg.rfind("--", 0) == 0) throw UsageError("άγνωστη ή ελλιπής επιλογή «" + arg + "»");
        else positional.push_back(arg);
    }
    if (positional.size() != 3) throw UsageError("δώστε έτος, φύλλο εισόδου και φύλλο εξόδου");
    request.year = YearArgument(positional[0]);
    if (request.year < 2003) throw UsageError("από την Α.Α.Δ.Ε. αντλούνται τα έτη 2003 έως 2020");
    const std::string& in = positional[1];
    const std::string& out = positional[2];

    SheetGrid grid;
    if (!LoadGridFromFile(in, grid)) throw std::runtime_error("το αρχείο «" + in + "» δεν υπάρχει");
    // The sheet stands for the year boxes: a year is ticked when the sheet has its columns.
    const bool yearTicked = SpouseColumnOf(request.year) < grid.columnCount();
    StderrPrompter prompter;
    if (yearTicked && !request.credentials.afm.empty() && !request.credentials.user.empty())
        request.credentials.password = PortalPassword();

    const PortalHosts hosts = PortalHostsFromEnvironment();
    SteadyPumpClock clock;
    const std::unique_ptr<Browser> browser = MakePortalBrowser(clock, hosts);
    PortalSession portal{*browser, hosts, PortalTimingFromEnvironment(), {}, {}};
    SheetOnly view(grid);
    E1CodeTable e1;
    const YearOutcome outcome = RetrieveYearFromPortal(portal, request, yearTicked, e1, grid, prompter, view);
    if (outcome == YearOutcome::NotStarted) return 1;
    SaveGridToFile(grid, out);
    if (outcome == YearOutcome::Read) return 0;
    std::cerr << "skartina-cli retrieve: " << OutcomeText(outcome) << '\n';
    return 1;
}

}  // namespace skartina::cli
