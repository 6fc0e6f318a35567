// SPDX-License-Identifier: GPL-3.0-or-later
// import-clients and retrieve-clients: the register brought in from a client
// list, and every client's years fetched in one run.

#include "cli/Commands.h"
#include "cli/Interrupt.h"
#include "cli/PasswordPrompt.h"
#include "common/ClientFiles.h"
#include "common/Edition.h"
#include "portal/BatchOfficePortal.h"
#include "browser/BrowserConfig.h"
#include "portal/OfficeReport.h"
#include "portal/OfficeSelection.h"
#include "browser/PortalBrowser.h"
#include "registry/TaxNumberCheck.h"
#include "registry/ClientImport.h"
#include "registry/ClientLists.h"

#include <algorithm>
#include <ctime>
#include <iostream>
#include <memory>
#include <sstream>

namespace skartina::cli {
namespace {

std::vector<std::string> CommaList(const std::string& text) {
    std::vector<std::string> items;
    std::istringstream in(text);
    std::string item;
    while (std::getline(in, item, ','))
        if (!item.empty() && std::find(items.begin(), items.end(), item) == items.end()) items.push_back(item);
    return items;
}

std::string Minutes(uint64_t ms) {
    const uint64_t seconds = ms / 1000;
    std::ostringstream out;
    out << seconds / 60 << ":" << (seconds % 60 < 10 ? "0" : "") << seconds % 60;
    return out.str();
}

class ProgressOnStderr : public OfficeView {
public:
    explicit ProgressOnStderr(const InterruptAsCancel& interrupt) : interrupt_(interrupt) {}
    bool CancelRequested() override { return interrupt_.requested(); }
    void Progress(const OfficeProgress& p) override {
        std::cerr << "πελάτης " << p.client << " από " << p.clients << ": " << p.taxNumber << (p.name.empty() ? "" : " " + p.name)
                  << ", έτος " << p.year << " (πέρασαν " << Minutes(p.elapsedMs);
        if (p.remainingMs) std::cerr << ", απομένουν περίπου " << Minutes(*p.remainingMs);
        std::cerr << ")\n";
    }

private:
    const InterruptAsCancel& interrupt_;
};

std::string Now() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    char text[32];
    std::strftime(text, sizeof text, "%Y%m%d-%H%M%S", &local);
    return text;
}

struct ImportClientsArguments {
    std::string file;
};

int RunImportClients(const ImportClientsArguments& args) {
    const auto held = HoldDataFolders("import-clients", true);
    const ImportResult result = ImportClientFile(DataTables(), args.file);
    const std::vector<std::string> lines = ImportReportLines(result);
    std::cout << lines.front() << '\n';
    for (size_t i = 1; i < lines.size(); ++i) std::cerr << lines[i] << '\n';
    return result.skipped.empty() ? 0 : 1;
}

struct RetrieveClientsArguments {
    std::string taxNumbers;
    std::string years;
    bool accountant = false;
    std::string user;
    std::string extraSeconds = "0";
    bool fixedPauses = false;
    bool resume = false;
    bool onlyMissing = false;
    std::string password;  // refused: only its presence counts
};

int RunRetrieveClients(const RetrieveClientsArguments& args) {
    std::vector<std::string> taxNumbers = CommaList(args.taxNumbers);
    for (const std::string& taxNumber : taxNumbers)
        if (!IsWholeTaxNumber(taxNumber))
            throw UsageError("ο Α.Φ.Μ. «" + EscapeControls(taxNumber) + "» δεν είναι σωστός (εννέα ψηφία με σωστό ψηφίο ελέγχου)");
    const bool yearsGiven = !args.years.empty();
    const std::string yearsText = yearsGiven ? args.years : "2003-" + std::to_string(kNewestYear);
    const bool accountant = args.accountant, resume = args.resume, onlyMissing = args.onlyMissing;
    const std::string& user = args.user;
    const int extraSeconds = ExtraSeconds(args.extraSeconds);
    const std::vector<int> years = PortalYears(yearsText);  // refused before the data folder is touched

    // One run at a time in a folder, and never beside the program's window:
    // each would save a client's sheet loaded before the other's save.
    const auto held = HoldDataFolders("retrieve-clients", true);
    std::optional<OfficeJournal> unfinished = ReadOfficeJournal(DataTables());
    OfficeJournal journal;
    if (resume) {
        if (!unfinished) throw UsageError("δεν υπάρχει ημιτελής άντληση για συνέχιση");
        if (!taxNumbers.empty() || yearsGiven || onlyMissing || accountant || !user.empty())
            throw UsageError("με --resume η άντληση συνεχίζει με τους πελάτες, τα έτη και την είσοδο που είχε");
        journal = *unfinished;
    } else {
        if (unfinished)
            throw UsageError("υπάρχει ημιτελής άντληση (" + OfficeJournalPath(DataTables()).string() +
                             "): συνεχίστε τη με --resume ή διαγράψτε το αρχείο για νέα άντληση");
        if (accountant != !user.empty()) throw UsageError("δώστε --accountant μαζί με --user ΧΡΗΣΤΗΣ του λογιστή");
        if (!taxNumbers.empty() && onlyMissing) throw UsageError("δώστε είτε --afm είτε --only-missing");
        OfficePlan& plan = journal.plan;
        plan.years = years;
        if (taxNumbers.empty()) {
            std::vector<std::string> bad;
            for (const RegisterClient& client : RegisterClients(DataTables(), &bad)) taxNumbers.push_back(client.taxNumber);
            if (!bad.empty()) std::cerr << BadEntriesSentence(bad) << '\n';
            if (onlyMissing) {
                const std::vector<std::string> lacking = ClientsLackingAYear(DataTables(), plan.years);
                std::erase_if(taxNumbers, [&](const std::string& a) { return std::find(lacking.begin(), lacking.end(), a) == lacking.end(); });
            }
        }
        for (const std::string& taxNumber : taxNumbers) {
            const std::string problem = TaxNumberFileNameProblem(taxNumber);
            if (!problem.empty()) throw UsageError("«" + taxNumber + "»: " + problem);
        }
        if (taxNumbers.empty()) {
            std::cout << "Δεν υπάρχει πελάτης για άντληση.\n";
            return 0;
        }
        plan.started = Now();
        plan.taxNumbers = taxNumbers;
        plan.accountant = accountant;
        plan.accountantUser = user;
    }

    std::optional<PortalCredentials> login;
    if (journal.plan.accountant) login = PortalCredentials{{}, journal.plan.accountantUser, PortalPassword(), true};

    const PortalHosts hosts = PortalHostsFromEnvironment();
    const InterruptAsCancel interrupt;
    SteadyPumpClock clock(interrupt.pump());
    const std::unique_ptr<Browser> browser = MakePortalBrowser(clock, hosts);
    PortalSession portal{*browser, hosts, PortalTimingFromEnvironment(), {}, {}};
    portal.stepStarting = SayStepOnTerminal;
    BatchOfficePortal office(portal, login, extraSeconds, args.fixedPauses);
    ProgressOnStderr view(interrupt);
    const OfficeResult result = RunOffice(office, journal, DataTables(), view);
    for (const std::string& line : OfficeSummaryLines(result.clients, result.cancelled)) std::cout << line << '\n';
    std::cout << "Αναφορά: " << result.report.string() << '\n';
    return result.AnyNotRead() ? 1 : 0;
}

}  // namespace

Runner DefineImportClients(CLI::App& command) {
    const auto args = std::make_shared<ImportClientsArguments>();
    AddRequired(command, "FILE.csv", args->file, "ο κατάλογος πελατών");
    return [args] { return RunImportClients(*args); };
}

Runner DefineRetrieveClients(CLI::App& command) {
    const auto args = std::make_shared<RetrieveClientsArguments>();
    command.add_option("--afm", args->taxNumbers, "οι ΑΦΜ των πελατών, χωρισμένοι με «,» (προεπιλογή όλοι)")->type_name("AFM,...");
    command.add_flag("--only-missing", args->onlyMissing, "μόνο όσοι δεν έχουν στο φύλλο κάποιο από τα έτη");
    command.add_option("--years", args->years, "τα έτη, όπως «2003-2020» ή «2010»")->type_name("Y-Y");
    command.add_flag("--accountant", args->accountant, "μία είσοδος ως λογιστής που επιλέγει κάθε πελάτη");
    command.add_option("--user", args->user, "το όνομα χρήστη του λογιστή στην Α.Α.Δ.Ε.")->type_name("USER");
    AddPortalWaits(command, args->extraSeconds, args->fixedPauses);
    command.add_flag("--resume", args->resume, "συνέχεια της ημιτελούς άντλησης μετά τον τελευταίο πελάτη που ολοκληρώθηκε");
    const CLI::Option* password = AddRefusedPassword(command, args->password);
    return [args, password] {
        ThrowIfPasswordGiven(password);
        return RunRetrieveClients(*args);
    };
}

}  // namespace skartina::cli
