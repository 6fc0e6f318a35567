// SPDX-License-Identifier: GPL-3.0-or-later
#include "portal/RetrievalEnding.h"

namespace skartina {

bool StopsTheRun(Ending ending) {
    switch (ending) {
        case Ending::WrongCredentials:
        case Ending::ClientRefused:
        case Ending::Unreachable:
        case Ending::Cancelled:
            return true;
        default:
            return false;
    }
}

bool KeepsDiagnostics(Ending ending) {
    switch (ending) {
        case Ending::PageNotAsExpected:
        case Ending::ReportWithoutTaxNumber:
        case Ending::ReturnWithoutTaxNumber:
        case Ending::ReportTooLarge:
        case Ending::ReportUnread:
        case Ending::SessionExpired:
        case Ending::BrowserFailed:
            return true;
        default:
            return false;
    }
}

std::string EndingWords(const YearEnding& year) {
    switch (year.ending) {
        case Ending::Read: return "αντλήθηκε";
        case Ending::NoReturn: return "η Α.Α.Δ.Ε. δεν έχει δήλωση για το έτος";
        case Ending::WrongCredentials: return "η Α.Α.Δ.Ε. δεν δέχτηκε το όνομα χρήστη ή τον κωδικό πρόσβασης";
        case Ending::ClientRefused: return "η Α.Α.Δ.Ε. δεν επέτρεψε στον λογιστή την επιλογή του πελάτη";
        case Ending::Unreachable:
            return "δεν υπήρξε σύνδεση με την Α.Α.Δ.Ε. (ελέγξτε τη σύνδεση στο διαδίκτυο ή δοκιμάστε αργότερα)";
        case Ending::BrowserClosed: return "το παράθυρο της Α.Α.Δ.Ε. έκλεισε πριν τελειώσει η άντληση";
        case Ending::PageNotAsExpected:
            return "η σελίδα της Α.Α.Δ.Ε. δεν ήταν όπως την περιμέναμε: στο βήμα «" + year.failure.step + "» " +
                   (year.failure.unfinished ? "η σελίδα δεν ολοκλήρωσε τη φόρτωσή της (είχε εμφανιστεί " + year.failure.missing + ")"
                                            : "δεν εμφανίστηκε " + year.failure.missing) +
                   (year.failure.pageMessage.empty() ? "" : " (η σελίδα έδειξε το μήνυμα «" + year.failure.pageMessage + "»)");
        case Ending::SessionExpired: return "η σύνδεση με την Α.Α.Δ.Ε. έληξε δύο φορές στο ίδιο έτος";
        case Ending::ReportWithoutTaxNumber: return "το εκκαθαριστικό δεν αναφέρει τον Α.Φ.Μ. του πελάτη";
        case Ending::ReportTooLarge: return "το εκκαθαριστικό είναι μεγαλύτερο από 20 MB και δεν διαβάστηκε";
        case Ending::ReportUnread:
            return "το εκκαθαριστικό του έτους δεν διαβάστηκε" +
                   (year.kept.empty() ? std::string() : "· κρατήθηκε στο «" + year.kept.string() + "»");
        case Ending::ReturnWithoutTaxNumber: return "η δήλωση του έτους δεν αναφέρει τον Α.Φ.Μ. του πελάτη";
        case Ending::BrowserFailed: return "το πρόγραμμα περιήγησης δεν ανταποκρίθηκε όπως αναμενόταν";
        case Ending::Cancelled: return "η άντληση ακυρώθηκε";
        case Ending::NotReached: return "δεν αντλήθηκε, γιατί η άντληση σταμάτησε νωρίτερα";
    }
    return {};
}

std::string YearSentence(int year, const YearEnding& ending) {
    std::string sentence = std::to_string(year) + ": " + EndingWords(ending) + ".";
    if (!ending.diagnostics.empty())
        sentence += " Όσα χρειάζεται ο προγραμματιστής φυλάχτηκαν στον φάκελο «" + ending.diagnostics.string() + "».";
    if (!ending.log.empty()) sentence += " Λεπτομέρειες στο αρχείο «" + ending.log.string() + "».";
    return sentence;
}

}  // namespace skartina
