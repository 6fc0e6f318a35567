// SPDX-License-Identifier: GPL-3.0-or-later
#include "sheet/SheetRows.h"

#include "sheet/SheetGrid.h"

#include <array>

namespace skartina {
namespace {

constexpr std::array<std::string_view, Row::LastCaptioned + 1> kCaptions = {
    "Οικονομικό Έτος",
    " ",
    " ",
    "Εισοδήματα που φορολογήθηκαν",
    "Εισοδήματα Αφορολόγητα ή φορολογητέα με ειδικό τρόπο",
    "Εισοδήματα από Επαναπατριζόμενα Κεφάλαια",
    "Εισοδήματα από Πωλήσεις περ. στ., Δάνεια, Δωρεές κλπ.",
    "Εισοδήματα που προέκυψαν με οποιονδήποτε άλλο τρόπο",
    "Εισοδήματα που προέκυψαν μετά από έλεγχο",
    "Σ ύ ν ο λ α   Ε ι σ ο δ η μ ά τ ω ν",
    "Τεκμήρια Ακινήτων",
    "Τεκμήρια Αυτοκινήτων",
    "Τεκμήρια Σκαφών και Αμοιβές των Πληρωμάτων τους",
    "Τεκμήρια Αεροσκαφών κλπ.",
    "Τεκμήρια Δεξαμενές Κολύμβησης (Πισίνες)",
    "Τεκμήρια Διδάκτρων Ιδιωτικών Σχολείων",
    "Τεκμήρια Οικιακού Προσωπικού κλπ.",
    "Επιπλέον Αξία Τεκμηρίων (προσαύξηση)",
    "Αγορά ή Μίσθωση Μηχανοκίνητων μέσων ",
    "Αγορά Πλοίων, Αεροσκαφών κλπ.",
    "Αγορά Κινητών Αξιών άνω των 5.000€",
    "Αγορά Ακινήτων ή χρονομεριστική μίσθωση",
    "Δαπάνες για Ανέγερση Οικοδομών κλπ.",
    "Αγορα Επιχειρήσεων, Εταιρικών Μεριδίων, κλπ.",
    "Δωρεές, Γονικές Παροχές, Χορηγίες κλπ.",
    "Τοκοχρεωλυτική Απόσβεση Δανείων ή Πιστώσεων",
    "Ελάχιστο Ετήσιο Ποσό Διαβίωσης",
    "Σ ύ ν ο λ α  Τ ε κ μ η ρ ί ω ν - Δ α π α ν ώ ν ",
    "Διαθέσιμο Υπόλοιπο Εισόδημα στη χρήση",
    "Ποσό προς μεταφορά στο Τελικό Διαθέσιμο Υπόλοιπο",
    "Ανάλωση Κεφαλαίου που δηλώθηκε στο Ε1",
    "Ανάλωση Κεφαλαίου που χρησιμοποιήθηκε",
    "Τραπεζικές Μεταφορές Χρηματικών Ποσών",
    "Τ ε λ ι κ ό   Δ ι α θ έ σ ι μ ο   Υ π ό λ ο ι π ο",
};

}  // namespace

std::string YearHeaderText(int year) { return "_" + std::to_string(year) + "_"; }

std::string_view RowCaption(int row) {
    if (row < 0 || row > Row::LastCaptioned) return {};
    return kCaptions[static_cast<size_t>(row)];
}

std::string DescribeCell(int column, int row) {
    std::string where = "στήλη τίτλων, ";
    if (column >= 1)
        where = std::to_string(YearOfColumn(column)) + " " +
                std::string(IsTaxpayerColumn(column) ? kTaxpayerHeader : kSpouseHeader) + ", ";
    const std::string_view caption = RowCaption(row);
    const bool blank = caption.find_first_not_of(' ') == std::string_view::npos;
    where += blank ? "γραμμή " + std::to_string(row + 1) : "«" + std::string(caption) + "»";
    return where;
}

}  // namespace skartina
