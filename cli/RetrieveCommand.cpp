// SPDX-License-Identifier: GPL-3.0-or-later
// retrieve: one year of a client from the tax portal into a saved sheet, as
// the year button of the analysis window does it, without the window.

#include "cli/Commands.h"
#include "cli/Interrupt.h"
#include "sheet/AnalysisHistory.h"
#include "cli/PasswordPrompt.h"
#include "common/ClientFiles.h"
#include "e1/E1CodeTable.h"
#include "browser/PortalBrowser.h"
#include "portal/YearRetrieval.h"
#include "portal/YearSources.h"
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
    SheetOnly(Sheet& sheet, const InterruptAsCancel& interrupt) : sheet_(sheet), interrupt_(interrupt) {}
    void ReportTaken() override { std::cerr << "ΟΚ\n"; }
    void RecalculateSheet() override { skartina::RecalculateSheet(sheet_); }
    bool CancelRequested() override { return interrupt_.requested(); }

private:
    Sheet& sheet_;
    const InterruptAsCancel& interrupt_;
};

struct RetrieveArguments {
    std::string year;
    std::string in;
    std::string out;
    PortalCredentials credentials;
    std::string extraSeconds = "0";
    bool fixedPauses = false;
    std::string password;  // refused: only its presence counts
};

int RunRetrieve(const RetrieveArguments& args) {
    YearRequest request;
    request.credentials = args.credentials;
    request.extraSeconds = ExtraSeconds(args.extraSeconds);
    request.fixedPauses = args.fixedPauses;
    request.year = PortalYear(args.year);
    // Without them the portal cannot be asked: bad usage, as for retrieve-all.
    if (request.credentials.taxNumber.empty()) throw UsageError("δώστε τον Α.Φ.Μ. του πελάτη με --afm");
    if (request.credentials.user.empty()) throw UsageError("δώστε το όνομα χρήστη στην Α.Α.Δ.Ε. με --user");
    const std::string& in = args.in;
    const std::string& out = args.out;
    RefuseOutputOverInputs(out, {args.in});
    // The year's documents go to this folder's Tables, the sheet to OUT.
    const auto held = HoldDataFolders("retrieve", true, {out});

    Sheet sheet = LoadSheetArgument(in);
    // The sheet stands for the year boxes: a year is ticked when the sheet has its columns.
    const bool yearTicked = SpouseColumnOf(request.year) < sheet.columnCount();
    StderrPrompter prompter;
    if (yearTicked && !request.credentials.taxNumber.empty() && !request.credentials.user.empty())
        request.credentials.password = PortalPassword();

    if (!request.credentials.taxNumber.empty()) request.sourcesFolder = SourcesFolder(DataTables(), request.credentials.taxNumber);

    const PortalHosts hosts = PortalHostsFromEnvironment();
    const InterruptAsCancel interrupt;
    SteadyPumpClock clock(interrupt.pump());
    const std::unique_ptr<Browser> browser = MakePortalBrowser(clock, hosts);
    PortalSession portal{*browser, hosts, PortalTimingFromEnvironment(), {}, {}};
    portal.stepStarting = SayStepOnTerminal;
    SheetOnly view(sheet, interrupt);
    E1CodeTable e1;
    // A year not read is told by the prompter; a year read is told here.
    const std::optional<YearResult> result = RetrieveYearFromPortal(portal, request, yearTicked, e1, sheet, prompter, view);
    if (!result) return 1;
    if (result->end.ending == Ending::Cancelled) {
        // Nothing of the year was taken: the sheet stays as it was, and OUT is not written.
        std::cerr << std::to_string(request.year) << ": " << EndingWords(result->end) << "· το " << out
                  << " δεν γράφτηκε\n";
        return 1;
    }
    SaveSheetFile(sheet, out);
    if (result->end.ending == Ending::Read) std::cerr << result->Sentence() << '\n';
    return Filled(result->end.ending) ? 0 : 1;
}

}  // namespace

Runner DefineRetrieve(CLI::App& command) {
    const auto args = std::make_shared<RetrieveArguments>();
    AddRequired(command, "YEAR", args->year, "το έτος (2003 έως 2020)");
    AddRequired(command, "IN.grd", args->in, "το φύλλο");
    AddRequired(command, "OUT.grd", args->out, "το φύλλο με το έτος");
    CheckTaxNumber(command.add_option("--afm", args->credentials.taxNumber, "ο ΑΦΜ του πελάτη"))->type_name("AFM");
    command.add_option("--user", args->credentials.user, "το όνομα χρήστη στην Α.Α.Δ.Ε.")->type_name("USER");
    command.add_flag("--accountant", args->credentials.accountant, "είσοδος ως λογιστής που επιλέγει τον πελάτη --afm");
    AddPortalWaits(command, args->extraSeconds, args->fixedPauses);
    const CLI::Option* password = AddRefusedPassword(command, args->password);
    return [args, password] {
        ThrowIfPasswordGiven(password);
        return RunRetrieve(*args);
    };
}

}  // namespace skartina::cli
