// SPDX-License-Identifier: GPL-3.0-or-later
// skartina-cli: the batch companion of the program. One table names every
// command, how it is called and what it does; the option parser (CLI11)
// reads the arguments each command declares.

#include "cli/Commands.h"
#include "browser/BrowserProfile.h"
#include "cli/PasswordPrompt.h"
#include "common/ClientFiles.h"
#include "common/Edition.h"
#include "portal/PumpClock.h"
#include "startup/OptionMessages.h"
#include "startup/VersionLine.h"

#include <CLI/CLI.hpp>

#include <iostream>
#include <map>
#include <sstream>

namespace {

using namespace skartina::cli;

struct Command {
    const char* name;
    const char* synopsis;  // the arguments, as the help lists them
    const char* summary;   // what it does; a line break continues under the first line
    Runner (*define)(CLI::App& command);
};

const Command kCommands[] = {
    {"new", "OUT.grd [--first-year Y] [--married]", "νέο φύλλο για τα έτη Y έως 2020 (προεπιλογή 2003)", DefineNew},
    {"recalc", "IN.grd OUT.grd", "φόρτωση, επανυπολογισμός, αποθήκευση", DefineRecalc},
    {"convert", "DIR", "μετατροπή των αρχείων \"_2020\" του DIR/Tables σε \"_2021\"", DefineConvert},
    {"year", "YEAR CODES.txt IN.grd OUT.grd", "το έτος από ζεύγη \"κωδικός ποσό\" του Ε1 στο φύλλο", DefineYear},
    {"report", "YEAR REPORT", "οι κωδικοί της ετήσιας αναφοράς (PDF ή κείμενο)", DefineReport},
    {"import-report", "YEAR REPORT IN.grd OUT.grd", "το έτος από την ετήσια αναφορά στο φύλλο", DefineImportReport},
    {"afm", "TEXT...", "έλεγχος ΑΦΜ (εννέα ψηφία και ψηφίο ελέγχου): valid / invalid ανά γραμμή· κατάσταση 1 όταν κάποιος είναι άκυρος", DefineTaxNumber},
    {"clients", "DIR", "ο κατάλογος πελατών του DIR/Tables (κατά επωνυμία)", DefineClients},
    {"analyses", "DIR [--year " SKARTINA_EDITION "]", "ο κατάλογος δηλώσεων του DIR/Tables (κατά ΑΦΜ)", DefineAnalyses},
    {"csv", "IN.grd OUT.csv [--afm AFM] [--name NAME]", "εξαγωγή του φύλλου σε CSV", DefineCsv},
    {"xlsx", "IN.grd OUT.xlsx [--afm AFM] [--name NAME] [--chart]",
     "εξαγωγή του φύλλου σε βιβλίο Excel· --chart: και φύλλο με το\n"
     "διάγραμμα των υπολοίπων",
     DefineXlsx},
    {"pdf", "IN.grd OUT.pdf [--afm AFM] [--name NAME] [--chart]",
     "οι σελίδες εκτύπωσης του φύλλου σε PDF· --chart: και σελίδα\n"
     "με το διάγραμμα των υπολοίπων",
     DefinePdf},
    {"cover", "FILE.grd --amount AMOUNT [--person taxpayer|spouse]",
     "κάλυψη δαπάνης: αν το τελικό διαθέσιμο υπόλοιπο του κάθε\n"
     "προσώπου (χωριστά) καλύπτει το ποσό, και τι περισσεύει ή λείπει",
     DefineCover},
    {"retrieve", "YEAR IN.grd OUT.grd --afm AFM --user USER [--accountant] [--extra-seconds N] [--fixed-pauses]",
     "άντληση του έτους από την Α.Α.Δ.Ε. στο φύλλο· ο κωδικός από\n"
     "τη μεταβλητή SKARTINA_PASSWORD ή από το τερματικό· χωρίς\n"
     "οθόνη, ο φυλλομετρητής τρέχει αθέατος· --fixed-pauses: και οι\n"
     "σταθερές παύσεις, για Α.Α.Δ.Ε. που δείχνει τη σελίδα πριν είναι έτοιμη",
     DefineRetrieve},
    {"retrieve-all", "IN.grd OUT.grd --afm AFM [--user USER] [--accountant] [--years 2003-2020] [--extra-seconds N] [--fixed-pauses]",
     "άντληση όλων των ετών του φύλλου (ή των --years) με μία\n"
     "είσοδο· χωρίς --user, τα στοιχεία εισόδου του πελάτη από\n"
     "το Tables/ΑΦΜ.cst· τα έγγραφα στο Tables/ΑΦΜ_sources",
     DefineRetrieveAll},
    {"import-clients", "FILE.csv",
     "εισαγωγή πελατών από αρχείο (\";\" ή \",\", UTF-8 ή Windows-1253,\n"
     "επικεφαλίδες ΑΦΜ/AFM, Επώνυμο/Surname, Όνομα/Name,\n"
     "Πατρώνυμο/Father, UserName, Password) στο Tables",
     DefineImportClients},
    {"retrieve-clients",
     "[--afm AFM,...] [--only-missing] [--years 2003-2020] [--accountant --user USER] [--extra-seconds N] [--fixed-pauses] [--resume]",
     "άντληση όλων των πελατών του Tables (ή των --afm, ή όσων το\n"
     "φύλλο δεν έχει κάποιο έτος) με μία είσοδο του λογιστή ή με τα\n"
     "στοιχεία κάθε πελάτη· αναφορά στο Tables/retrieval-*.csv",
     DefineRetrieveClients},
};

constexpr const char* kHelpSummary = "αυτό το μήνυμα";
constexpr size_t kSummaryColumn = 45;

size_t Width(const std::string& text) {
    size_t width = 0;
    for (const char ch : text) width += (static_cast<unsigned char>(ch) & 0xC0) != 0x80;  // UTF-8 lead bytes
    return width;
}

// One command of the list: its call, then its summary from the summary column on.
void ListCommand(std::ostream& out, const std::string& call, const std::string& summary) {
    const std::string line = "  " + call;
    out << line;
    if (Width(line) + 1 < kSummaryColumn) out << std::string(kSummaryColumn - Width(line), ' ');
    else out << '\n' << std::string(kSummaryColumn, ' ');
    std::istringstream lines(summary);
    std::string first;
    std::getline(lines, first);
    out << first << '\n';
    for (std::string more; std::getline(lines, more);) out << std::string(kSummaryColumn, ' ') << more << '\n';
}

std::string Usage() {
    std::ostringstream out;
    out << "χρήση: skartina-cli ΕΝΤΟΛΗ ...\n";
    for (const Command& command : kCommands)
        ListCommand(out, std::string(command.name) + " " + command.synopsis, command.summary);
    ListCommand(out, "help", kHelpSummary);
    out << "\n--data-dir ΦΑΚΕΛΟΣ: ο φάκελος δεδομένων των import-clients, retrieve, retrieve-all και\n"
           "retrieve-clients· χωρίς αυτό, ο τρέχων φάκελος όταν έχει Tables, αλλιώς ο ~/ΣΚΑΡΤΙΝΑ (όπως το παράθυρο).\n";
    out << "\nΗ κάθε εντολή δείχνει τις παραμέτρους της με --help (π.χ. skartina-cli new --help);\n"
           "--version: η έκδοση. Κατάσταση εξόδου: 0 επιτυχία, 1 λάθος στα δεδομένα (η αιτία στο\n"
           "standard error), 2 λάθος χρήση.\n";
    return out.str();
}

}  // namespace

int main(int argc, char** argv) {
    skartina::cli::TakePasswordFromEnvironment();
    CLI::App app("", "skartina-cli");
    app.option_defaults()->group("Επιλογές");
    app.set_help_flag("-h,--help", kHelpSummary);
    app.set_version_flag("--version", skartina::VersionLine("skartina-cli"));
    app.require_subcommand(0, 1);
    // The data folder, as the window takes it; before or after the command.
    std::string dataFolder;
    app.add_option("--data-dir", dataFolder)
        ->check([](const std::string& folder) { return folder.empty() ? "κενό όνομα φακέλου" : ""; });
    app.fallthrough();
    auto formatter = std::make_shared<CLI::Formatter>();
    formatter->label("Usage", "χρήση");
    formatter->label("OPTIONS", "ΕΠΙΛΟΓΕΣ");
    formatter->label("Positionals", "Ορίσματα");
    formatter->label("Options", "Επιλογές");
    formatter->label("REQUIRED", "");
    formatter->column_width(kSummaryColumn);
    app.formatter(formatter);

    std::map<const CLI::App*, Runner> runners;
    for (const Command& command : kCommands) {
        CLI::App* sub = app.add_subcommand(command.name, command.summary);
        sub->get_help_ptr()->group("Επιλογές");  // made before the defaults reach the command
        runners[sub] = command.define(*sub);
    }
    const CLI::App* help = app.add_subcommand("help", kHelpSummary);
    // The list of commands is the table's; each command's own help is the parser's.
    app.formatter_fn([](const CLI::App*, std::string, CLI::AppFormatMode) { return Usage(); });

    try {
        app.parse(argc, argv);
    } catch (const CLI::CallForHelp&) {
        std::cout << app.help();
        return 0;
    } catch (const CLI::CallForVersion& version) {
        std::cout << version.what() << '\n';
        return 0;
    } catch (const CLI::ParseError& error) {
        const std::vector<CLI::App*> chosen = app.get_subcommands();
        if (chosen.empty()) {
            if (app.remaining().empty())
                std::cerr << "skartina-cli: " << skartina::ParserMessage(error, {}, &app) << " (δείτε: skartina-cli help)\n";
            else std::cerr << "skartina-cli: άγνωστη εντολή «" << EscapeControls(app.remaining().front()) << "» (δείτε: skartina-cli help)\n";
            return 2;
        }
        const std::string name = chosen.front()->get_name();
        std::vector<std::string> unexpected = chosen.front()->remaining();
        for (const std::string& word : app.remaining()) unexpected.push_back(word);
        for (std::string& word : unexpected) word = EscapeControls(word);
        std::cerr << "skartina-cli " << name << ": " << skartina::ParserMessage(error, unexpected, chosen.front())
                  << " (δείτε: skartina-cli " << name << " --help)\n";
        return 2;
    }

    const std::vector<CLI::App*> chosen = app.get_subcommands();
    if (chosen.empty() || chosen.front() == help) {
        std::cout << Usage();
        return chosen.empty() ? 2 : 0;
    }
    const std::string name = chosen.front()->get_name();
    // What killed runs left of their browsers goes at every start; the data
    // folder is tidied when a command first takes it (DataTables).
    skartina::RemoveAbandonedBrowserProfiles();
    SetDataFolderOption(dataFolder);
    // An error may quote what a file holds: its control characters are shown, never sent to the terminal.
    try {
        return runners.at(chosen.front())();
    } catch (const skartina::RetrievalCancelled&) {
        // A second interrupt in a step no run could end by itself: the browser is gone with the stack.
        std::cerr << "skartina-cli " << name << ": η άντληση ακυρώθηκε\n";
        return 1;
    } catch (const UsageError& e) {
        std::cerr << "skartina-cli " << name << ": " << EscapeControls(e.what()) << " (δείτε: skartina-cli " << name << " --help)\n";
        return 2;
    } catch (const std::exception& e) {
        std::cerr << "skartina-cli " << name << ": " << EscapeControls(e.what()) << "\n";
        return 1;
    }
}
