// SPDX-License-Identifier: GPL-3.0-or-later
#include "portal/OfficeReport.h"

#include "common/Codepage.h"
#include "common/TextFile.h"
#include "sheet/CsvExport.h"

#include <algorithm>
#include <array>

namespace skartina {
namespace {

// A text cell, never run as a formula by the spreadsheet that opens the report.
std::string CsvCell(const std::string& cell) {
    const std::string text = SpreadsheetText(cell);
    if (text.find_first_of(";\"") == std::string::npos) return text;
    std::string quoted = "\"";
    for (char c : text) quoted += c == '"' ? std::string("\"\"") : std::string(1, c);
    return quoted + "\"";
}

// Characters the code page lacks (a browser's message may bring some) become "?".
std::string Storable(const std::string& text) {
    try {
        Utf8ToCp1253(text);
        return text;
    } catch (const EncodingError&) {
    }
    std::string out;
    for (size_t i = 0; i < text.size();) {
        size_t length = 1;
        const auto c = static_cast<unsigned char>(text[i]);
        if (c >= 0xF0) length = 4;
        else if (c >= 0xE0) length = 3;
        else if (c >= 0xC0) length = 2;
        const std::string character = text.substr(i, length);
        try {
            Utf8ToCp1253(character);
            out += character;
        } catch (const EncodingError&) {
            out += '?';
        }
        i += length;
    }
    return out;
}

}  // namespace

const char* OfficeYearEndText(OfficeYearEnd end) {
    switch (end) {
        case OfficeYearEnd::Read: return "αντλήθηκε";
        case OfficeYearEnd::NoReturn: return "χωρίς δήλωση στην Α.Α.Δ.Ε.";
        case OfficeYearEnd::Failed: return "απέτυχε";
        case OfficeYearEnd::NotReached: break;
    }
    return "δεν αντλήθηκε";
}

std::filesystem::path OfficeReportPath(const std::filesystem::path& tablesDir, const OfficePlan& plan) {
    // "YYYYMMDD-HHMMSS" becomes "YYYY-MM-DD-HHMMSS".
    const std::string& s = plan.started;
    const std::string stamp = s.size() == 15 ? s.substr(0, 4) + "-" + s.substr(4, 2) + "-" + s.substr(6, 2) + "-" + s.substr(9) : s;
    return tablesDir / ("retrieval-" + stamp + ".csv");
}

std::vector<std::string> OfficeReportLines(const std::vector<OfficeClient>& clients) {
    std::vector<std::string> lines = {"Α.Φ.Μ.;Ονοματεπώνυμο;Έτος;Αποτέλεσμα;Αιτία"};
    for (const OfficeClient& client : clients)
        for (const OfficeYear& year : client.years)
            lines.push_back(CsvCell(client.taxNumber) + ";" + CsvCell(client.name) + ";" + std::to_string(year.year) + ";" +
                            OfficeYearEndText(year.end) + ";" + CsvCell(year.reason));
    return lines;
}

void WriteOfficeReport(const std::filesystem::path& file, const std::vector<OfficeClient>& clients) {
    std::vector<std::string> lines = OfficeReportLines(clients);
    for (std::string& line : lines) line = Storable(line);
    WriteCp1253Lines(file, lines, FileAccess::OwnerOnly);
}

bool AnyNotRead(const std::vector<OfficeClient>& clients) {
    return std::any_of(clients.begin(), clients.end(), [](const OfficeClient& client) {
        return std::any_of(client.years.begin(), client.years.end(), [](const OfficeYear& year) {
            return year.end == OfficeYearEnd::Failed || year.end == OfficeYearEnd::NotReached;
        });
    });
}

std::vector<std::string> OfficeSummaryLines(const std::vector<OfficeClient>& clients, bool cancelled) {
    std::array<int, 4> total{};
    std::vector<std::string> perClient;
    for (const OfficeClient& client : clients) {
        std::array<int, 4> count{};
        std::string reasons;
        for (const OfficeYear& year : client.years) {
            ++count[static_cast<size_t>(year.end)];
            ++total[static_cast<size_t>(year.end)];
            if (!year.reason.empty() && reasons.find(year.reason) == std::string::npos)
                reasons += (reasons.empty() ? "" : "· ") + year.reason;
        }
        std::string line = client.taxNumber + (client.name.empty() ? "" : " " + client.name) + ": " +
                           std::to_string(count[0]) + " αντλήθηκαν, " + std::to_string(count[1]) + " χωρίς δήλωση, " +
                           std::to_string(count[2]) + " απέτυχαν, " + std::to_string(count[3]) + " δεν αντλήθηκαν";
        if (!reasons.empty()) line += " (" + reasons + ")";
        perClient.push_back(line + ".");
    }
    std::vector<std::string> lines = {"Άντληση " + std::to_string(clients.size()) + " πελατών: " +
                                      std::to_string(total[0]) + " έτη αντλήθηκαν, " + std::to_string(total[1]) +
                                      " χωρίς δήλωση, " + std::to_string(total[2]) + " απέτυχαν, " +
                                      std::to_string(total[3]) + " δεν αντλήθηκαν."};
    if (cancelled) lines.push_back("Η άντληση ακυρώθηκε· συνεχίζεται αργότερα από τον επόμενο πελάτη.");
    lines.insert(lines.end(), perClient.begin(), perClient.end());
    return lines;
}

}  // namespace skartina
