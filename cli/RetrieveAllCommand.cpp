// SPDX-License-Identifier: GPL-3.0-or-later
// retrieve-all: every year of a client the sheet holds (or those asked for)
// from the tax portal in one run, as the analysis window's button for all the
// ticked years does it, without the window.

#include "cli/Commands.h"
#include "cli/Interrupt.h"
#include "sheet/AnalysisHistory.h"
#include "cli/PasswordPrompt.h"
#include "common/ClientFiles.h"
#include "common/Edition.h"
#include "portal/BatchRetrieval.h"
#include "portal/OfficeSelection.h"
#include "browser/BrowserConfig.h"
#include "browser/PortalBrowser.h"
#include "portal/YearSources.h"
#include "registry/TaxpayerRecord.h"
#include "sheet/AnalysisFile.h"
#include "sheet/Recalculate.h"

#include <iostream>

namespace skartina::cli {
namespace {

class ProgressOnStderr : public BatchView {
public:
    ProgressOnStderr(Sheet& sheet, const InterruptAsCancel& interrupt) : sheet_(sheet), interrupt_(interrupt) {}
    void Progress(const BatchProgress& progress) override {
        std::cerr << progress.year << " (" << progress.position << " από " << progress.total << ", "
                  << progress.elapsedMs / 1000 << " δευτ.)\n";
    }
    void YearFilled(int) override { RecalculateSheet(sheet_); }
    bool CancelRequested() override { return interrupt_.requested(); }

private:
    Sheet& sheet_;
    const InterruptAsCancel& interrupt_;
};

struct RetrieveAllArguments {
    std::string in;
    std::string out;
    PortalCredentials credentials;
    std::string years;
    std::string extraSeconds = "0";
    bool fixedPauses = false;
    std::string password;  // refused: only its presence counts
};

int RunRetrieveAll(const RetrieveAllArguments& args) {
    BatchRequest request;
    PortalCredentials& credentials = request.credentials;
    credentials = args.credentials;
    const std::vector<int> asked = PortalYears(args.years.empty() ? "2003-" + std::to_string(kLastPortalYear) : args.years);
    const std::pair<int, int> range{asked.back(), asked.front()};
    request.extraSeconds = ExtraSeconds(args.extraSeconds);
    request.fixedPauses = args.fixedPauses;
    if (credentials.taxNumber.empty()) throw UsageError("δώστε τον Α.Φ.Μ. του πελάτη με --afm");
    const std::string& in = args.in;
    const std::string& out = args.out;
    RefuseOutputOverInputs(out, {args.in});
    // The year's documents go to this folder's Tables, the sheet to OUT.
    const auto held = HoldDataFolders("retrieve-all", true, {out});

    Sheet sheet = LoadSheetArgument(in);
    // The sheet stands for the year boxes: a year is ticked when the sheet has its columns.
    for (int year = range.first; year <= range.second; ++year)
        if (SpouseColumnOf(year) < sheet.columnCount()) request.years.push_back(year);
    if (request.years.empty()) throw UsageError("το φύλλο δεν έχει κανένα από τα ζητούμενα έτη");

    if (credentials.user.empty()) {
        // The client's own portal credentials, as the register keeps them.
        if (credentials.accountant) throw UsageError("με --accountant δώστε το όνομα χρήστη του λογιστή με --user");
        const std::optional<TaxpayerRecord> record = LoadTaxpayer(DataTables(), credentials.taxNumber);
        if (!record || record->portalUser.empty() || record->portalPassword.empty())
            throw UsageError("ο πελάτης δεν έχει στοιχεία εισόδου στο μητρώο: δώστε --user");
        credentials.user = record->portalUser;
        credentials.password = record->portalPassword;
    } else {
        credentials.password = PortalPassword();
    }
    request.sourcesFolder = SourcesFolder(DataTables(), credentials.taxNumber);

    const PortalHosts hosts = PortalHostsFromEnvironment();
    const InterruptAsCancel interrupt;
    SteadyPumpClock clock(interrupt.pump());
    const std::unique_ptr<Browser> browser = MakePortalBrowser(clock, hosts);
    PortalSession portal{*browser, hosts, PortalTimingFromEnvironment(), {}, {}};
    portal.stepStarting = SayStepOnTerminal;
    ProgressOnStderr view(sheet, interrupt);
    E1CodeTable e1;
    const BatchResult result = RetrieveYears(portal, request, e1, sheet, view);
    RecalculateSheet(sheet);
    SaveSheetFile(sheet, out);
    for (const std::string& line : BatchSummaryLines(result)) std::cout << line << '\n';
    return result.AnyFailed() ? 1 : 0;
}

}  // namespace

Runner DefineRetrieveAll(CLI::App& command) {
    const auto args = std::make_shared<RetrieveAllArguments>();
    AddRequired(command, "IN.grd", args->in, "το φύλλο");
    AddRequired(command, "OUT.grd", args->out, "το φύλλο με τα έτη");
    CheckTaxNumber(command.add_option("--afm", args->credentials.taxNumber, "ο ΑΦΜ του πελάτη"))->type_name("AFM");
    command.add_option("--user", args->credentials.user,
                       "το όνομα χρήστη στην Α.Α.Δ.Ε. (χωρίς αυτό, τα στοιχεία εισόδου του Tables/ΑΦΜ.cst)")
        ->type_name("USER");
    command.add_flag("--accountant", args->credentials.accountant, "είσοδος ως λογιστής που επιλέγει τον πελάτη --afm");
    command.add_option("--years", args->years, "τα έτη, όπως «2003-2020» ή «2010» (προεπιλογή όσα έχει το φύλλο)")
        ->type_name("Y-Y");
    AddPortalWaits(command, args->extraSeconds, args->fixedPauses);
    const CLI::Option* password = AddRefusedPassword(command, args->password);
    return [args, password] {
        ThrowIfPasswordGiven(password);
        return RunRetrieveAll(*args);
    };
}

}  // namespace skartina::cli
