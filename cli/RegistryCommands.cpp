// SPDX-License-Identifier: GPL-3.0-or-later
// Commands on the client register: tax-number checks and the two lists.

#include "cli/Commands.h"
#include "common/ClientFiles.h"
#include "common/Edition.h"
#include "registry/TaxNumberCheck.h"
#include "registry/ClientLists.h"
#include "sheet/SheetGrid.h"

#include <algorithm>
#include <iostream>
#include <memory>
#include <vector>

namespace skartina::cli {

std::string EscapeControls(std::string_view text) {
    static constexpr char kHex[] = "0123456789abcdef";
    std::string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        const auto ch = static_cast<unsigned char>(text[i]);
        // C1 controls (U+0080..U+009F, two bytes in UTF-8) steer some terminals as well.
        const bool c1 = ch == 0xC2 && i + 1 < text.size() && static_cast<unsigned char>(text[i + 1]) >= 0x80 &&
                        static_cast<unsigned char>(text[i + 1]) <= 0x9F;
        if (ch == '\\') out += "\\\\";
        else if (ch == '\t') out += "\\t";
        else if (ch == '\n') out += "\\n";
        else if (ch == '\r') out += "\\r";
        else if (ch < 0x20 || ch == 0x7F) out += std::string("\\x") + kHex[ch >> 4] + kHex[ch & 15];
        else if (c1) {
            const auto code = static_cast<unsigned char>(text[++i]);
            out += std::string("\\u00") + kHex[code >> 4] + kHex[code & 15];
        } else out += static_cast<char>(ch);
    }
    return out;
}

namespace {

std::filesystem::path TablesOf(const std::string& dir) {
    const std::filesystem::path tables = std::filesystem::path(dir) / kTablesFolder;
    if (!std::filesystem::is_directory(tables))
        throw std::runtime_error("δεν υπάρχει φάκελος «" + tables.string() + "»");
    return tables;
}

// One line per row, cells separated by tabs; the entries the list left out
// are named on standard error.
int PrintList(ListLoad load, const ListDescription& list) {
    if (const std::string bad = BadEntriesSentence(load.badEntries); !bad.empty())
        std::cerr << EscapeControls(bad) << "\n";
    if (load.rows.empty()) {
        std::cerr << list.emptyMessage << "\n";
        return 0;
    }
    SortAsAtOpening(load.rows, list);
    for (const auto& row : load.rows) {
        for (size_t i = 0; i < row.size(); ++i) std::cout << (i ? "\t" : "") << EscapeControls(row[i]);
        std::cout << "\n";
    }
    return 0;
}

int RunTaxNumber(const std::vector<std::string>& texts) {
    bool allValid = true;
    for (const auto& text : texts) {
        const bool valid = IsWholeTaxNumber(text);
        std::cout << (valid ? "valid" : "invalid") << "\n";
        allValid = allValid && valid;
    }
    return allValid ? 0 : 1;
}

int RunAnalyses(const std::string& dir, const std::string& workYear) {
    // An edition's work year follows the years its sheets hold: 1992 up to this edition's.
    const bool digits = workYear.size() == 4 && std::all_of(workYear.begin(), workYear.end(), [](char ch) { return ch >= '0' && ch <= '9'; });
    if (!digits || std::stoi(workYear) <= kOldestYear || std::stoi(workYear) > kEditionYear)
        throw UsageError("το έτος εργασίας είναι από " + std::to_string(kOldestYear + 1) + " έως " +
                         std::to_string(kEditionYear) + ", όχι «" + EscapeControls(workYear) + "»");
    return PrintList(LoadAnalyses(TablesOf(dir), workYear), AnalysisListDescription());
}

}  // namespace

Runner DefineTaxNumber(CLI::App& command) {
    const auto texts = std::make_shared<std::vector<std::string>>();
    command.add_option("TEXT", *texts, "τα κείμενα προς έλεγχο")->required()->type_name("");
    return [texts] { return RunTaxNumber(*texts); };
}

Runner DefineClients(CLI::App& command) {
    const auto dir = std::make_shared<std::string>();
    AddRequired(command, "DIR", *dir, "ο φάκελος που περιέχει το Tables");
    return [dir] { return PrintList(LoadCustomers(TablesOf(*dir)), TaxpayerListDescription()); };
}

Runner DefineAnalyses(CLI::App& command) {
    const auto args = std::make_shared<std::pair<std::string, std::string>>("", kWorkYear);
    AddRequired(command, "DIR", args->first, "ο φάκελος που περιέχει το Tables");
    command.add_option("--year", args->second, std::string("το έτος εργασίας των αρχείων (προεπιλογή ") + kWorkYear + ")")->type_name("YYYY");
    return [args] { return RunAnalyses(args->first, args->second); };
}

}  // namespace skartina::cli
