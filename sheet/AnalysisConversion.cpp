#include "sheet/AnalysisConversion.h"

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

}  // namespace

std::vector<std::string> ConvertAnalysisBytes(std::string_view source) {
    // Stored rows only: a converted file keeps the row count it had.
    const SheetGrid in = GridFromBytes(source, 0);
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

bool ConvertAnalysisFile(const std::filesystem::path& source, const std::filesystem::path& target) {
    std::error_code ec;
    if (std::filesystem::exists(std::filesystem::symlink_status(target, ec))) return false;
    WriteCp1253Lines(target, ConvertAnalysisBytes(ReadFileBytes(source, kAnalysisFileLimits)), FileAccess::OwnerOnly);
    return true;
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
            if (ConvertAnalysisFile(tablesDir / name, tablesDir / targetName))
                report.converted.push_back(targetName);
            else
                report.keptExisting.push_back(targetName);
        } catch (const std::exception& e) {
            report.failed.push_back(name + ": " + e.what());
        }
    }

    try {
        WriteCp1253Lines(tablesDir / kConversionMarker, {"OK"});
        report.markerWritten = true;
    } catch (const std::exception& e) {
        report.failed.push_back(std::string(kConversionMarker) + ": " + e.what());
    }
    return report;
}

}  // namespace skartina
