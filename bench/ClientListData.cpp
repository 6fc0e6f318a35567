// SPDX-License-Identifier: GPL-3.0-or-later
#include "ClientListData.h"

#include <random>

namespace skartina::bench {

std::string NthTaxNumber(int n) {
    std::string taxNumber = std::to_string(10000000 + n);
    int sum = 0;
    for (int i = 0; i < 8; ++i) sum += (taxNumber[static_cast<size_t>(i)] - '0') << (8 - i);
    return taxNumber + std::to_string(sum % 11 % 10);
}

std::string ClientListText(int lines) {
    static const char* const kSurnames[] = {"Παπαδόπουλος", "Αλεξίου", "Ωραιόπουλος", "Ζαχαρίου", "Μαυρίδης", "Έξαρχος"};
    std::mt19937 random(42);
    std::string text = "ΑΦΜ;Επώνυμο;Όνομα;Πατρώνυμο;UserName;Password\n";
    for (int i = 0; i < lines; ++i) {
        const std::string taxNumber = NthTaxNumber(i);
        text += taxNumber + ";" + kSurnames[random() % 6] + " " + std::to_string(random() % 1000) + ";Γιώργος;Νίκος;user" +
                std::to_string(i) + ";pass" + std::to_string(i) + "\n";
    }
    return text;
}

}  // namespace skartina::bench
