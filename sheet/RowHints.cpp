// SPDX-License-Identifier: GPL-3.0-or-later
#include "sheet/RowHints.h"

#include "sheet/SheetRows.h"

namespace skartina {

std::string_view ComputedRowHint(int row) {
    switch (row) {
    case Row::IncomeTotal:
        return "Το άθροισμα των έξι γραμμών εισοδημάτων του έτους.";
    case Row::MinimumLivingAmount:
        return "Από το 2012 3.000,00 για τον άγαμο υπόχρεο και 2.500,00 για κάθε σύζυγο έγγαμου έτους· έως το 2011 "
               "2.900,00 για τον υπόχρεο.";
    case Row::ExpenseTotal:
        return "Τα τεκμήρια, οι δαπάνες απόκτησης και το ελάχιστο ποσό διαβίωσης· έως το 2011 το ελάχιστο ποσό παίρνει "
               "τη θέση των τεκμηρίων όταν τα τεκμήρια του ζεύγους υπολείπονται.";
    case Row::AvailableBalance:
        return "Τα σύνολα εισοδημάτων μείον τα σύνολα τεκμηρίων-δαπανών του έτους.";
    case Row::CarryAmount:
        return "Το διαθέσιμο υπόλοιπο της χρήσης που περνά στο τελικό: από το 2012 μηδέν όταν το ζεύγος έχει έλλειμμα, "
               "έως το 2011 με έλλειμμα το πολύ 2.900,00.";
    case Row::CapitalConsumptionUsed:
        return "Όση από την ανάλωση κεφαλαίου που δηλώθηκε χρειάζεται για να καλυφθεί το έλλειμμα του έτους.";
    case Row::FinalBalance:
        return "Το τελικό υπόλοιπο του προηγούμενου έτους συν το ποσό προς μεταφορά· όταν χρησιμοποιήθηκε ανάλωση "
               "κεφαλαίου, μείον αυτήν χωρίς το ποσό προς μεταφορά.";
    default:
        return {};
    }
}

}  // namespace skartina
