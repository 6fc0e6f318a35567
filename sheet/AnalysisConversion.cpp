// SPDX-License-Identifier: GPL-3.0-or-later
#include "sheet/AnalysisConversion.h"

#include "common/ClientFiles.h"

#include "common/TextFile.h"
#include "sheet/AnalysisFile.h"
#include "sheet/SheetRows.h"

#include <algorithm>

namespace skartina {
namespace {

bool HasGrdExtension(const std::string& name) {
    if (name.size() < 4) return false;
    std::string ext = name.substr(name.size() - 4);
    std::transform(ext.begin(), ext.end(), ext.begin(), [](unsigned char ch) { return std::tolower(ch); });
    return ext == ".grd";
}

std::string ReplaceAll(std::string text, std::string_view from, std::string_view to) {
    for (size_t at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size()))
        text.replace(at, from.size(), to);
    return text;
}

// The source's sheet, with the cells missing at its end read as empty.
SheetGrid ReadLeniently(std::string_view source, size_t& missingCells) {
    std::vector<std::string> lines;
    try {
        lines = Cp1253Lines(source, {});
    } catch (const LineEncodingError& e) {
        throw AnalysisFileError("Το αρχείο ανάλωσης κεφαλαίου έχει μη αναγνώσιμο χαρακτήρα στη γραμμή " +
                                std::to_string(e.line() + 1) + ".");
    }
    // A last line without its line break was cut: its cell may be cut too.
    if (!source.empty() && source.back() != '\n' && !lines.empty()) lines.pop_back();
    missingCells = 0;
    if (lines.size() >= 2) {
        const int columns = ParseCountLine(lines[0]);
        const int rows = ParseCountLine(lines[1]);
        if (columns >= 1 && columns <= kMaxFileColumns && rows >= 1 && rows <= kMaxFileRows) {
            const size_t announced = 2 + static_cast<size_t>(columns) * static_cast<size_t>(rows);
            if (lines.size() < announced) {
                missingCells = announced - lines.size();
                lines.resize(announced);
            }
        }
    }
    // Stored rows only: a converted file keeps the row count it had.
    return GridFromLines(lines, 0);
}

}  // namespace

std::vector<std::string> ConvertAnalysisBytes(std::string_view source, size_t* missingCells) {
    size_t missing = 0;
    const SheetGrid in = ReadLeniently(source, missing);
    if (missingCells) *missingCells = missing;
    const int columns = in.columnCount() + 2;
    if (columns > kMaxFileColumns)
        throw AnalysisFileError("Το αρχείο ανάλωσης κεφαλαίου θα είχε μετά τη μετατροπή " + std::to_string(columns) +
                                " στήλες, περισσότερες από τις " + std::to_string(kMaxFileColumns) +
                                " που ανοίγει αυτή η έκδοση.");
    SheetGrid out(columns, in.rowCount());
    for (int r = 0; r < in.rowCount(); ++r) {
        out.setCell(0, r, in.cell(0, r));
        for (int c = 1; c < in.columnCount(); ++c) out.setCell(c + 2, r, in.cell(c, r));
    }
    // The new pair of columns for the newest year, in front of last edition's newest year.
    out.setCell(1, 0, YearHeaderText(kNewestYear));
    if (in.rowCount() > 1) {
        out.setCell(1, 1, std::string(kTaxpayerHeader));
        out.setCell(2, 1, std::string(kSpouseHeader));
    }
    return GridToLines(out);
}

FileConversion ConvertAnalysisFile(const std::filesystem::path& source, const std::filesystem::path& target) {
    std::error_code ec;
    if (std::filesystem::exists(std::filesystem::symlink_status(target, ec))) return {};
    FileConversion done{true, 0};
    WriteCp1253Lines(target, ConvertAnalysisBytes(ReadFileBytes(source, kAnalysisFileLimits), &done.missingCells),
                     FileAccess::OwnerOnly);
    return done;
}

ConversionReport ConvertAnalysisFiles(const std::filesystem::path& tablesDir) {
    ConversionReport report;
    std::error_code ec;
    if (std::filesystem::exists(tablesDir / kConversionMarker, ec)) {
        report.alreadyDone = true;
        return report;
    }
    if (!std::filesystem::is_directory(tablesDir, ec)) {
        report.tablesMissing = true;
        return report;
    }
    // Nothing is converted into a folder another user could have planted or could change.
    try {
        OpenTablesFolder(tablesDir, false);
    } catch (const FileError& refused) {
        report.failed.push_back(refused.what());
        return report;
    }

    std::vector<std::string> names;
    std::filesystem::directory_iterator it(tablesDir, ec);
    for (; !ec && it != std::filesystem::directory_iterator(); it.increment(ec)) {
        const std::string name = it->path().filename().string();
        if (!HasGrdExtension(name) || name.find(kLastEditionTag) == std::string::npos) continue;
        std::error_code kind;
        // A link is not followed, a folder or a FIFO is not read.
        if (it->symlink_status(kind).type() == std::filesystem::file_type::regular)
            names.push_back(name);
        else
            report.failed.push_back(name + ": δεν είναι κανονικό αρχείο");
    }
    std::sort(names.begin(), names.end());

    for (const auto& name : names) {
        const std::string targetName = ReplaceAll(name, kLastEditionTag, kEditionTag);
        try {
            const FileConversion done = ConvertAnalysisFile(tablesDir / name, tablesDir / targetName);
            if (!done.written) {
                report.keptExisting.push_back(targetName);
                continue;
            }
            report.converted.push_back(targetName);
            if (done.missingCells > 0)
                report.completed.push_back(name + (done.missingCells == 1 ? ": έλειπε 1 κελί" : ": έλειπαν " +
                                           std::to_string(done.missingCells) + " κελιά") +
                                           " στο τέλος του (κομμένο αρχείο)· μεταφέρθηκαν κενά");
        } catch (const std::exception& e) {
            report.failed.push_back(name + ": " + e.what());
        }
    }

    // A file left behind is tried again at the next start.
    if (!report.failed.empty()) return report;
    try {
        WriteCp1253Lines(tablesDir / kConversionMarker, {"OK"});
        report.markerWritten = true;
    } catch (const std::exception& e) {
        report.failed.push_back(std::string(kConversionMarker) + ": " + e.what());
    }
    return report;
}

std::string ConversionMessage(const ConversionReport& report) {
    std::string text;
    if (!report.failed.empty()) {
        text += "Οι παρακάτω δηλώσεις του προηγούμενου έτους δεν μεταφέρθηκαν στη νέα έκδοση:\n";
        for (const auto& failure : report.failed) text += "• " + failure + "\n";
        text += "Τα αρχεία έμειναν όπως ήταν· η μεταφορά τους θα δοκιμαστεί ξανά στην επόμενη εκκίνηση.";
    }
    if (!report.completed.empty()) {
        if (!text.empty()) text += "\n\n";
        text += "Οι παρακάτω δηλώσεις του προηγούμενου έτους ήταν κομμένες και μεταφέρθηκαν με όσα ποσά είχαν:\n";
        for (const auto& note : report.completed) text += "• " + note + "\n";
        text += "Ελέγξτε τις πριν τις χρησιμοποιήσετε.";
    }
    return text;
}

}  // namespace skartina
