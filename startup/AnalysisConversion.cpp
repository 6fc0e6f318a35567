#include "startup/AnalysisConversion.h"

#include "common/TextFile.h"
#include "sheet/AnalysisFile.h"
#include "sheet/SheetRows.h"

#include <algorithm>

namespace skartina {
namespace {

constexpr std::string_view kOldTag = "_2020";
constexpr std::string_view kNewTag = "_2021";

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

bool ConvertAnalysisFile(const std::filesystem::path& source, const std::filesystem::path& target) {
    if (std::filesystem::exists(target)) return false;

    const std::vector<std::string> in = ReadCp1253Lines(source);
    const int columns = in.size() > 0 ? ParseCountLine(in[0]) : -1;
    const int rows = in.size() > 1 ? ParseCountLine(in[1]) : -1;
    if (columns < 1 || columns > kMaxFileColumns || rows < 0 || rows > kMaxFileRows)
        throw AnalysisFileError("δεν είναι αρχείο ανάλωσης κεφαλαίου");

    const auto cellOf = [&](int column, int row) -> std::string {
        const size_t line = 2 + static_cast<size_t>(column) * static_cast<size_t>(rows) + static_cast<size_t>(row);
        return line < in.size() ? in[line] : std::string();
    };
    // The new pair of columns for 2020, in front of last edition's newest year.
    const auto newColumn = [&](std::string_view first, std::string_view second) {
        std::vector<std::string> cells(static_cast<size_t>(rows));
        if (rows > 0) cells[0] = first;
        if (rows > 1) cells[1] = second;
        return cells;
    };

    std::vector<std::string> out;
    out.reserve(2 + static_cast<size_t>(columns + 2) * static_cast<size_t>(rows));
    out.push_back(std::to_string(columns + 2));
    out.push_back(std::to_string(rows));
    for (int c = 0; c < columns; ++c) {
        for (int r = 0; r < rows; ++r) out.push_back(cellOf(c, r));
        if (c == 0) {
            for (auto& cell : newColumn(YearHeaderText(2020), kTaxpayerHeader)) out.push_back(std::move(cell));
            for (auto& cell : newColumn("", kSpouseHeader)) out.push_back(std::move(cell));
        }
    }
    WriteCp1253Lines(target, out);
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
    for (const auto& entry : std::filesystem::directory_iterator(tablesDir, ec)) {
        const std::string name = entry.path().filename().string();
        if (entry.is_regular_file(ec) && HasGrdExtension(name) && name.find(kOldTag) != std::string::npos)
            names.push_back(name);
    }
    std::sort(names.begin(), names.end());

    for (const auto& name : names) {
        const std::string targetName = ReplaceAll(name, kOldTag, kNewTag);
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
