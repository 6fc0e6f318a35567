#include "sheet/CsvExport.h"

#include "common/ClientFiles.h"
#include "common/Codepage.h"
#include "common/TextFile.h"
#include "sheet/ExportTitles.h"
#include "sheet/SheetRows.h"

#include <algorithm>
#include <stdexcept>

namespace skartina {
namespace {

constexpr size_t kTitleLines = 5;

bool Storable(const std::string& text) {
    if (text.find_first_of("\r\n") != std::string::npos) return false;
    try {
        Utf8ToCp1253(text);
        return true;
    } catch (const EncodingError&) {
        return false;
    }
}

}  // namespace

std::filesystem::path CsvExportPath(const std::filesystem::path& tablesDir, const std::string& afm,
                                    const std::string& workYear) {
    const std::string suffix = "_" + workYear + ".csv";
    if (afm.empty()) return tablesDir / suffix;
    return ClientFilePath(tablesDir, afm, suffix);
}

std::vector<std::string> CsvLines(const SheetGrid& grid, const std::string& name, const std::string& afm) {
    std::vector<std::string> lines = {TaxpayerTitle(name) + ";;;;" + AfmTitle(afm), std::string(kExportHeading), "",
                                      "", ""};
    const int rows = std::min(kExportedRows, grid.rowCount());
    for (int r = 0; r < rows; ++r) {
        std::string line;
        for (int c = 0; c < grid.columnCount(); ++c) {
            line += grid.cell(c, r);
            line += ';';
        }
        lines.push_back(std::move(line));
    }
    return lines;
}

void ExportToCsv(const SheetGrid& grid, const std::filesystem::path& file, const std::string& name,
                 const std::string& afm) {
    try {
        WriteCp1253Lines(file, CsvLines(grid, name, afm), FileAccess::OwnerOnly);
    } catch (const LineEncodingError& e) {
        if (e.line() < kTitleLines)
            throw std::invalid_argument("Το όνομα ή ο ΑΦΜ του υπόχρεου περιέχει χαρακτήρα που δεν μπορεί να "
                                        "γραφτεί στο αρχείο CSV.");
        const int row = static_cast<int>(e.line() - kTitleLines);
        int column = 0;
        while (column + 1 < grid.columnCount() && Storable(grid.cell(column, row))) ++column;
        throw std::invalid_argument("Το κείμενο του κελιού " + DescribeCell(column, row) +
                                    " περιέχει χαρακτήρα που δεν μπορεί να γραφτεί στο αρχείο CSV.");
    }
}

}  // namespace skartina
