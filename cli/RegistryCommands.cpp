// Commands on the client register: tax-number checks and the two lists.

#include "cli/Commands.h"
#include "common/ClientFiles.h"
#include "common/Edition.h"
#include "registry/AfmCheck.h"
#include "registry/ClientLists.h"

#include <algorithm>
#include <iostream>

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

}  // namespace

int RunAfm(const Args& args) {
    if (args.empty()) throw UsageError("δώστε έναν ή περισσότερους ΑΦΜ");
    bool allValid = true;
    for (const auto& text : args) {
        const bool valid = IsValidAfm(text);
        std::cout << (valid ? "valid" : "invalid") << "\n";
        allValid = allValid && valid;
    }
    return allValid ? 0 : 1;
}

int RunClients(const Args& args) {
    if (args.size() != 1) throw UsageError("δώστε τον φάκελο που περιέχει το Tables");
    return PrintList(LoadCustomers(TablesOf(args[0])), TaxpayerListDescription());
}

int RunAnalyses(const Args& args) {
    std::string dir;
    std::string workYear = kWorkYear;
    for (size_t i = 0; i < args.size(); ++i) {
        if (args[i] == "--year") {
            if (++i == args.size()) throw UsageError("λείπει το έτος μετά το --year");
            workYear = args[i];
            if (workYear.size() != 4 || !std::all_of(workYear.begin(), workYear.end(), [](char ch) { return ch >= '0' && ch <= '9'; }))
                throw UsageError("το έτος εργασίας πρέπει να είναι τέσσερα ψηφία, όχι «" + workYear + "»");
        } else if (dir.empty() && !args[i].starts_with("--")) {
            dir = args[i];
        } else {
            throw UsageError("άγνωστη παράμετρος «" + args[i] + "»");
        }
    }
    if (dir.empty()) throw UsageError("δώστε τον φάκελο που περιέχει το Tables");
    return PrintList(LoadAnalyses(TablesOf(dir), workYear), AnalysisListDescription());
}

}  // namespace skartina::cli
