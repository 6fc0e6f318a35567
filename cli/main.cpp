// skartina-cli: the batch companion of the program.

#include "cli/Commands.h"

#include <cstring>
#include <iostream>
#include <map>

namespace {

constexpr const char* kUsage =
    "χρήση: skartina-cli ΕΝΤΟΛΗ ...\n"
    "  new OUT.grd [--first-year Y] [--married]   νέο φύλλο για τα έτη Y έως 2020 (προεπιλογή 2003)\n"
    "  recalc IN.grd OUT.grd                      φόρτωση, επανυπολογισμός, αποθήκευση\n"
    "  convert DIR                                μετατροπή των αρχείων \"_2020\" του DIR/Tables σε \"_2021\"\n"
    "  year YEAR CODES.txt IN.grd OUT.grd         το έτος από ζεύγη \"κωδικός ποσό\" του Ε1 στο φύλλο\n"
    "  report YEAR REPORT                         οι κωδικοί της ετήσιας αναφοράς (PDF ή κείμενο)\n"
    "  import-report YEAR REPORT IN.grd OUT.grd   το έτος από την ετήσια αναφορά στο φύλλο\n"
    "  afm TEXT...                                έλεγχος ΑΦΜ: valid / invalid ανά γραμμή\n"
    "  clients DIR                                ο κατάλογος πελατών του DIR/Tables (κατά επωνυμία)\n"
    "  analyses DIR [--year 2021]                 ο κατάλογος δηλώσεων του DIR/Tables (κατά ΑΦΜ)\n"
    "  csv IN.grd OUT.csv [--afm ΑΦΜ] [--name ΟΝΟΜΑ]    εξαγωγή του φύλλου σε CSV\n"
    "  xlsx IN.grd OUT.xlsx [--afm ΑΦΜ] [--name ΟΝΟΜΑ]  εξαγωγή του φύλλου σε βιβλίο Excel\n"
    "  retrieve YEAR IN.grd OUT.grd --afm ΑΦΜ --user ΧΡΗΣΤΗΣ [--accountant] [--extra-seconds N]\n"
    "                                             άντληση του έτους από την Α.Α.Δ.Ε. στο φύλλο· ο κωδικός από\n"
    "                                             τη μεταβλητή SKARTINA_PASSWORD ή από το τερματικό\n"
    "  pdf IN.grd OUT.pdf [--afm ΑΦΜ] [--name ΟΝΟΜΑ]    οι σελίδες εκτύπωσης του φύλλου σε PDF\n"
    "  retrieve-all IN.grd OUT.grd --afm ΑΦΜ [--user ΧΡΗΣΤΗΣ] [--accountant] [--years 2003-2020]\n"
    "               [--extra-seconds N]           άντληση όλων των ετών του φύλλου (ή των --years) με μία\n"
    "                                             είσοδο· χωρίς --user, τα στοιχεία εισόδου του πελάτη από\n"
    "                                             το Tables/ΑΦΜ.cst· τα έγγραφα στο Tables/ΑΦΜ_sources\n"
    "  import-clients FILE.csv                    εισαγωγή πελατών από αρχείο (\";\" ή \",\", UTF-8 ή Windows-1253,\n"
    "                                             επικεφαλίδες ΑΦΜ/AFM, Επώνυμο/Surname, Όνομα/Name, Πατρώνυμο/Father,\n"
    "                                             UserName, Password) στο Tables\n"
    "  retrieve-clients [--afm ΑΦΜ,...] [--only-missing] [--years 2003-2020] [--accountant --user ΧΡΗΣΤΗΣ]\n"
    "                   [--extra-seconds N] [--resume]\n"
    "                                             άντληση όλων των πελατών του Tables (ή των --afm, ή όσων το\n"
    "                                             φύλλο δεν έχει κάποιο έτος) με μία είσοδο του λογιστή ή με τα\n"
    "                                             στοιχεία κάθε πελάτη· αναφορά στο Tables/retrieval-*.csv\n"
    "  help                                       αυτό το μήνυμα\n";

}  // namespace

int main(int argc, char** argv) {
    using namespace skartina::cli;
    const std::map<std::string, int (*)(const Args&)> commands = {
        {"new", RunNew},
        {"recalc", RunRecalc},
        {"convert", RunConvert},
        {"afm", RunAfm},
        {"clients", RunClients},
        {"analyses", RunAnalyses},
        {"csv", RunCsv},
        {"xlsx", RunXlsx},
        {"pdf", RunPdf},
        {"year", RunYear},
        {"report", RunReport},
        {"import-report", RunImportReport},
        {"retrieve", RunRetrieve},
        {"retrieve-all", RunRetrieveAll},
        {"import-clients", RunImportClients},
        {"retrieve-clients", RunRetrieveClients},
    };
    if (argc < 2 || std::strcmp(argv[1], "help") == 0 || std::strcmp(argv[1], "--help") == 0) {
        std::cout << kUsage;
        return argc < 2 ? 2 : 0;
    }
    const auto command = commands.find(argv[1]);
    if (command == commands.end()) {
        std::cerr << "skartina-cli: άγνωστη εντολή «" << argv[1] << "» (δείτε: skartina-cli help)\n";
        return 2;
    }
    try {
        return command->second(Args(argv + 2, argv + argc));
    } catch (const UsageError& e) {
        std::cerr << "skartina-cli " << argv[1] << ": " << e.what() << " (δείτε: skartina-cli help)\n";
        return 2;
    } catch (const std::exception& e) {
        std::cerr << "skartina-cli " << argv[1] << ": " << e.what() << "\n";
        return 1;
    }
}
