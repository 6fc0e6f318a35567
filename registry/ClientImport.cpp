// SPDX-License-Identifier: GPL-3.0-or-later
#include "registry/ClientImport.h"

#include "common/ClientFiles.h"
#include "common/Codepage.h"
#include "common/TextFile.h"
#include "common/TextTrim.h"
#include "registry/TaxNumberCheck.h"

#include <algorithm>
#include <map>
#include <optional>

namespace skartina {
namespace {

// A list larger than any office's register is no client list.
constexpr std::size_t kMaxListBytes = 16u * 1024 * 1024;

bool IsUtf8(std::string_view s) {
    for (size_t i = 0; i < s.size();) {
        const auto c = static_cast<unsigned char>(s[i]);
        size_t extra = 0;
        if (c < 0x80) extra = 0;
        else if (c >= 0xC2 && c <= 0xDF) extra = 1;
        else if (c >= 0xE0 && c <= 0xEF) extra = 2;
        else if (c >= 0xF0 && c <= 0xF4) extra = 3;
        else return false;
        if (i + extra >= s.size() && extra > 0) return false;
        for (size_t k = 1; k <= extra; ++k)
            if ((static_cast<unsigned char>(s[i + k]) >> 6) != 0x2) return false;
        i += extra + 1;
    }
    return true;
}

// The list's text as UTF-8.
std::string ListText(std::string_view bytes) {
    constexpr std::string_view kBom = "\xEF\xBB\xBF";
    if (bytes.substr(0, kBom.size()) == kBom) {
        bytes.remove_prefix(kBom.size());
        if (!IsUtf8(bytes)) throw ClientListError("Το αρχείο δηλώνει κωδικοποίηση UTF-8 αλλά δεν είναι σε UTF-8.");
        return std::string(bytes);
    }
    if (IsUtf8(bytes)) return std::string(bytes);
    try {
        return Cp1253ToUtf8(bytes);
    } catch (const EncodingError&) {
        throw ClientListError("Το αρχείο δεν είναι κείμενο σε UTF-8 ούτε σε ελληνική κωδικοσελίδα Windows-1253.");
    }
}

// One code point at s[i], advancing i; the text is valid UTF-8.
char32_t NextCodePoint(std::string_view s, size_t& i) {
    const auto c = static_cast<unsigned char>(s[i++]);
    if (c < 0x80) return c;
    const int extra = c >= 0xF0 ? 3 : c >= 0xE0 ? 2 : 1;
    char32_t cp = c & (0x3F >> extra);
    for (int k = 0; k < extra && i < s.size(); ++k) cp = (cp << 6) | (static_cast<unsigned char>(s[i++]) & 0x3F);
    return cp;
}

// A column name as it is compared: Latin and Greek letters in capitals
// without accents, digits; blanks, dots and other marks left out.
std::u32string HeaderKey(std::string_view name) {
    std::u32string key;
    for (size_t i = 0; i < name.size();) {
        char32_t cp = NextCodePoint(name, i);
        if (cp >= 'a' && cp <= 'z') cp -= 'a' - 'A';
        else if (cp == U'ς') cp = U'Σ';
        else if (cp >= U'α' && cp <= U'ω') cp -= U'α' - U'Α';
        switch (cp) {
            case U'ά': case U'Ά': cp = U'Α'; break;
            case U'έ': case U'Έ': cp = U'Ε'; break;
            case U'ή': case U'Ή': cp = U'Η'; break;
            case U'ί': case U'Ί': case U'ϊ': case U'ΐ': case U'Ϊ': cp = U'Ι'; break;
            case U'ό': case U'Ό': cp = U'Ο'; break;
            case U'ύ': case U'Ύ': case U'ϋ': case U'ΰ': case U'Ϋ': cp = U'Υ'; break;
            case U'ώ': case U'Ώ': cp = U'Ω'; break;
            default: break;
        }
        const bool letter = (cp >= 'A' && cp <= 'Z') || (cp >= '0' && cp <= '9') || (cp >= U'Α' && cp <= U'Ω');
        if (letter) key += cp;
    }
    return key;
}

// The record field a column name stands for; -1 for a column the register does not keep.
int FieldOfColumn(std::string_view name) {
    static const std::map<std::u32string, int> kNames = {
        {U"ΑΦΜ", 0},       {U"AFM", 0},
        {U"ΕΠΩΝΥΜΟ", 1},   {U"ΕΠΩΝΥΜΙΑ", 1},   {U"SURNAME", 1},       {U"LASTNAME", 1},
        {U"ΟΝΟΜΑ", 2},     {U"NAME", 2},       {U"FIRSTNAME", 2},
        {U"ΠΑΤΡΩΝΥΜΟ", 3}, {U"ΟΝΟΜΑΠΑΤΕΡΑ", 3}, {U"FATHER", 3},       {U"FATHERNAME", 3}, {U"FATHERSNAME", 3},
        {U"USERNAME", 4},  {U"USERNAMETAXIS", 4}, {U"ΟΝΟΜΑΧΡΗΣΤΗ", 4},
        {U"PASSWORD", 5},  {U"PASSWORDTAXIS", 5}, {U"ΚΩΔΙΚΟΣ", 5},     {U"ΚΩΔΙΚΟΣΠΡΟΣΒΑΣΗΣ", 5},
    };
    const auto it = kNames.find(HeaderKey(name));
    return it == kNames.end() ? -1 : it->second;
}

// The cells of one line; quoted cells may hold the separator and doubled
// quotes. Nothing when a quote is left open.
std::optional<std::vector<std::string>> SplitCells(std::string_view line, char separator) {
    std::vector<std::string> cells(1);
    bool quoted = false;
    for (size_t i = 0; i < line.size(); ++i) {
        const char c = line[i];
        if (quoted) {
            if (c != '"') cells.back() += c;
            else if (i + 1 < line.size() && line[i + 1] == '"') cells.back() += '"', ++i;
            else quoted = false;
        } else if (c == '"') {
            quoted = true;
        } else if (c == separator) {
            cells.emplace_back();
        } else {
            cells.back() += c;
        }
    }
    if (quoted) return std::nullopt;
    return cells;
}

// The separator the header line uses: ";" when it holds one, else a tab
// (a list copied out of a spreadsheet), else ",".
char SeparatorOf(std::string_view header) {
    if (header.find(';') != std::string_view::npos) return ';';
    return header.find('\t') != std::string_view::npos ? '\t' : ',';
}

// The lines, ended by CR LF, LF or a CR alone (as older Mac programs export).
std::vector<std::string_view> Lines(std::string_view text) {
    std::vector<std::string_view> lines;
    while (!text.empty()) {
        const size_t end = text.find_first_of("\r\n");
        lines.push_back(text.substr(0, end));
        if (end == std::string_view::npos) break;
        text.remove_prefix(end + (text.substr(end, 2) == "\r\n" ? 2 : 1));
    }
    return lines;
}

std::string Quoted(std::string_view text) { return "«" + std::string(text) + "»"; }

size_t CharacterCount(std::string_view text) {
    return static_cast<size_t>(std::count_if(text.begin(), text.end(),
                                             [](char c) { return (static_cast<unsigned char>(c) & 0xC0) != 0x80; }));
}

// Why the field cannot go into a record; empty when it can.
std::string FieldProblem(int field, const std::string& text) {
    const std::string label = Quoted(kRecordFieldLabels[static_cast<size_t>(field)]);
    const bool control = std::any_of(text.begin(), text.end(), [](char c) { return static_cast<unsigned char>(c) < ' '; });
    bool encodable = !control;
    if (encodable) {
        try {
            Utf8ToCp1253(text);
        } catch (const EncodingError&) {
            encodable = false;
        }
    }
    if (!encodable)
        return "το πεδίο " + label + " έχει χαρακτήρα που δεν γράφεται στην ελληνική κωδικοσελίδα του αρχείου πελατών";
    const size_t limit = kRecordFieldMaxLengths[static_cast<size_t>(field)];
    if (CharacterCount(text) > limit)
        return "το πεδίο " + label + " έχει περισσότερους από " + std::to_string(limit) + " χαρακτήρες";
    return {};
}

bool IsNineDigitTaxNumber(std::string_view taxNumber) {
    return taxNumber.size() == 9 && std::all_of(taxNumber.begin(), taxNumber.end(), [](char c) { return c >= '0' && c <= '9'; }) &&
           IsValidTaxNumber(taxNumber);
}

TaxpayerRecord RecordOf(const std::array<std::string, kRecordLines>& f) {
    return {f[0], f[1], f[2], f[3], f[4], f[5]};
}

std::array<std::string, kRecordLines> FieldsOf(const TaxpayerRecord& r) {
    return {r.taxNumber, r.surname, r.firstName, r.fatherName, r.portalUser, r.portalPassword};
}

}  // namespace

ClientList ParseClientList(std::string_view bytes) {
    if (bytes.size() > kMaxListBytes) throw ClientListError("Το αρχείο είναι πολύ μεγάλο για κατάλογο πελατών.");
    const std::string text = ListText(bytes);
    const std::vector<std::string_view> lines = Lines(text);

    size_t headerIndex = 0;
    while (headerIndex < lines.size() && TrimBlanks(lines[headerIndex]).empty()) ++headerIndex;
    if (headerIndex == lines.size()) throw ClientListError("Το αρχείο είναι κενό.");
    const char separator = SeparatorOf(lines[headerIndex]);
    const auto header = SplitCells(lines[headerIndex], separator);
    if (!header) throw ClientListError("Η γραμμή επικεφαλίδων έχει εισαγωγικά που δεν κλείνουν.");

    std::array<int, kRecordLines> columnOf;
    columnOf.fill(-1);
    for (size_t column = 0; column < header->size(); ++column) {
        const int field = FieldOfColumn(TrimBlanks((*header)[column]));
        if (field < 0) continue;
        if (columnOf[static_cast<size_t>(field)] >= 0)
            throw ClientListError("Η στήλη " + Quoted(kRecordFieldLabels[static_cast<size_t>(field)]) +
                                  " υπάρχει δύο φορές στη γραμμή επικεφαλίδων.");
        columnOf[static_cast<size_t>(field)] = static_cast<int>(column);
    }
    if (columnOf[0] < 0)
        throw ClientListError("Η πρώτη γραμμή του αρχείου δεν έχει στήλη ΑΦΜ (ή AFM): "
                              "χρειάζεται γραμμή επικεφαλίδων με τα ονόματα των στηλών.");
    if (std::all_of(lines.begin() + static_cast<long>(headerIndex) + 1, lines.end(),
                    [](std::string_view line) { return TrimBlanks(line).empty(); }))
        throw ClientListError("Το αρχείο δεν έχει καμία γραμμή πελάτη μετά τη γραμμή επικεφαλίδων.");

    ClientList list;
    std::map<std::string, size_t> firstLineOf;
    for (size_t index = headerIndex + 1; index < lines.size(); ++index) {
        const size_t number = index + 1;
        if (TrimBlanks(lines[index]).empty()) continue;
        const auto skip = [&](std::string reason) { list.skipped.push_back({number, std::move(reason)}); };
        auto cells = SplitCells(lines[index], separator);
        if (!cells) {
            skip("εισαγωγικά που δεν κλείνουν");
            continue;
        }
        // Empty cells after the header's last column are a spreadsheet's habit, not data.
        while (cells->size() > header->size() && TrimBlanks(cells->back()).empty()) cells->pop_back();
        if (cells->size() > header->size()) {
            skip("η γραμμή έχει " + std::to_string(cells->size()) + " πεδία ενώ η επικεφαλίδα " +
                 std::to_string(header->size()));
            continue;
        }
        ListedClient client;
        client.line = number;
        for (size_t field = 0; field < kRecordLines; ++field) {
            const int column = columnOf[field];
            if (column < 0 || static_cast<size_t>(column) >= cells->size()) continue;
            client.fields[field] = std::string(TrimBlanks((*cells)[static_cast<size_t>(column)]));
            client.given[field] = !client.fields[field].empty();
        }
        const std::string& taxNumber = client.fields[0];
        if (!IsNineDigitTaxNumber(taxNumber)) {
            skip(taxNumber.empty() ? "χωρίς Α.Φ.Μ." : "ο Α.Φ.Μ. " + Quoted(taxNumber) + " δεν είναι έγκυρος");
            continue;
        }
        if (const auto earlier = firstLineOf.find(taxNumber); earlier != firstLineOf.end()) {
            skip("ο Α.Φ.Μ. " + taxNumber + " υπάρχει ήδη στη γραμμή " + std::to_string(earlier->second));
            continue;
        }
        std::string problem;
        for (int field = 1; field < kRecordLines && problem.empty(); ++field)
            if (client.given[static_cast<size_t>(field)]) problem = FieldProblem(field, client.fields[static_cast<size_t>(field)]);
        if (!problem.empty()) {
            skip(problem);
            continue;
        }
        firstLineOf.emplace(taxNumber, number);
        list.clients.push_back(std::move(client));
    }
    return list;
}

ImportResult ImportClients(const std::filesystem::path& tablesDir, const ClientList& list) {
    ImportResult result;
    result.skipped = list.skipped;
    struct Pending {
        std::filesystem::path path;
        TaxpayerRecord record;
        bool existed;
    };
    std::vector<Pending> pending;
    // Every record made first: a list that fails halfway writes nothing of itself.
    for (const ListedClient& client : list.clients) {
        const std::filesystem::path path = RecordFilePath(tablesDir, client.fields[0]);
        std::optional<TaxpayerRecord> existing;
        try {
            existing = LoadTaxpayer(tablesDir, client.fields[0]);
        } catch (const std::exception& error) {
            result.skipped.push_back({client.line, "ο υπάρχων φάκελος του πελάτη δεν διαβάζεται: " + std::string(error.what())});
            continue;
        }
        std::array<std::string, kRecordLines> fields = existing ? FieldsOf(*existing) : std::array<std::string, kRecordLines>{};
        fields[0] = client.fields[0];
        for (size_t field = 1; field < kRecordLines; ++field)
            if (client.given[field]) fields[field] = client.fields[field];
        TaxpayerRecord record = RecordOf(fields);
        if (existing && *existing == record) {
            result.unchanged.push_back(record.taxNumber);
            continue;
        }
        pending.push_back({path, std::move(record), existing.has_value()});
    }
    if (!pending.empty()) {
        const OwnFolder tables = *OpenTablesFolder(tablesDir);
        // Once for the whole batch: what saves killed earlier left in the folder.
        RemoveStaleTemporaryFiles(tables.path());
        FolderWriteBatch batch(tables);
        for (const Pending& p : pending) batch.add(p.path.filename().string(), TaxpayerRecordBytes(p.record));
        batch.commit();
        for (const Pending& p : pending) (p.existed ? result.updated : result.added).push_back(p.record.taxNumber);
    }
    std::stable_sort(result.skipped.begin(), result.skipped.end(),
                     [](const SkippedLine& a, const SkippedLine& b) { return a.line < b.line; });
    return result;
}

ImportResult ImportClientFile(const std::filesystem::path& tablesDir, const std::filesystem::path& file) {
    return ImportClients(tablesDir, ParseClientList(ReadFileBytes(file, {kMaxListBytes, true})));
}

std::vector<std::string> ImportReportLines(const ImportResult& result) {
    std::vector<std::string> lines;
    const auto count = [](size_t n, const char* one, const char* many) {
        return std::to_string(n) + " " + (n == 1 ? one : many);
    };
    lines.push_back("Εισαγωγή πελατών: " + count(result.added.size(), "νέος", "νέοι") + ", " +
                    count(result.updated.size(), "ενημερώθηκε", "ενημερώθηκαν") + ", " +
                    std::to_string(result.unchanged.size()) + " χωρίς αλλαγή, " +
                    count(result.skipped.size(), "γραμμή παραλείφθηκε.", "γραμμές παραλείφθηκαν."));
    if (result.added.empty() && result.updated.empty())
        lines.front() += " Δεν προστέθηκε ούτε άλλαξε κανένας πελάτης.";
    for (const SkippedLine& skipped : result.skipped)  // a reason may end in an abbreviation's full stop
        lines.push_back("Γραμμή " + std::to_string(skipped.line) + ": " + skipped.reason +
                        (skipped.reason.ends_with('.') ? "" : "."));
    return lines;
}

}  // namespace skartina
