// SPDX-License-Identifier: GPL-3.0-or-later
#include "sheet/CsvExport.h"

#include "common/ClientFiles.h"
#include "common/Codepage.h"
#include "common/TextFile.h"
#include "sheet/Amount.h"
#include "sheet/ExportTitles.h"
#include "sheet/SheetRows.h"

#include <algorithm>
#include <stdexcept>

namespace skartina {
namespace {

constexpr size_t kTitleLines = 5;

bool Storable(const std::string& text) {
    try {
        Utf8ToCp1253(text);
        return true;
    } catch (const EncodingError&) {
        return false;
    }
}

// Names the title or the cell of the record whose text the code page cannot hold.
[[noreturn]] void Unstorable(const Sheet& sheet, size_t line) {
    if (line < kTitleLines)
        throw std::invalid_argument("Το όνομα ή ο ΑΦΜ του υπόχρεου περιέχει χαρακτήρα που δεν μπορεί να "
                                    "γραφτεί στο αρχείο CSV.");
    const int row = static_cast<int>(line - kTitleLines);
    int column = 0;
    while (column + 1 < sheet.columnCount() && Storable(CellText(sheet, column, row))) ++column;
    throw std::invalid_argument("Το κείμενο του κελιού " + DescribeCell(column, row) +
                                " περιέχει χαρακτήρα που δεν μπορεί να γραφτεί στο αρχείο CSV.");
}

}  // namespace

std::string CsvField(std::string_view text) {
    if (text.find_first_of(";\"\r\n") == std::string_view::npos) return std::string(text);
    // Quoted as spreadsheet programs read it: inner quotes doubled, a line
    // break inside the field kept as CR LF.
    std::string field = "\"";
    for (size_t i = 0; i < text.size(); ++i) {
        const char ch = text[i];
        if (ch == '"') {
            field += "\"\"";
        } else if (ch == '\r' || ch == '\n') {
            if (ch == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
            field += "\r\n";
        } else {
            field += ch;
        }
    }
    return field + '"';
}

std::string SpreadsheetText(std::string_view text) {
    if (text.empty() || std::string_view("=+-@\t\r").find(text.front()) == std::string_view::npos)
        return std::string(text);
    return "'" + std::string(text);
}

std::string SheetCellText(std::string_view cell) {
    if (cell.empty() || ReadAmount(cell)) return std::string(cell);
    return SpreadsheetText(cell);
}

namespace {

// An amount, negative ones too, goes out as the sheet writes it; any other text as SpreadsheetText.
std::string CsvCellText(const Sheet& sheet, int column, int row) {
    std::string text = CellText(sheet, column, row);
    if (column >= 1 && row >= Row::Spacer && sheet.cell(column, row).amount) return text;
    return SpreadsheetText(text);
}

}  // namespace

std::filesystem::path CsvExportPath(const std::filesystem::path& tablesDir, const std::string& taxNumber,
                                    const std::string& workYear) {
    const std::string suffix = "_" + workYear + ".csv";
    if (taxNumber.empty()) return tablesDir / suffix;
    return ClientFilePath(tablesDir, taxNumber, suffix);
}

std::vector<std::string> CsvLines(const Sheet& sheet, const std::string& name, const std::string& taxNumber) {
    std::vector<std::string> lines = {CsvField(SpreadsheetText(TaxpayerTitle(name))) + ";;;;" +
                                          CsvField(SpreadsheetText(TaxNumberTitle(taxNumber))),
                                      std::string(kExportHeading), "", "", ""};
    const int rows = std::min(kExportedRows, sheet.rowCount());
    for (int r = 0; r < rows; ++r) {
        std::string line;
        for (int c = 0; c < sheet.columnCount(); ++c) {
            line += CsvField(CsvCellText(sheet, c, r));
            line += ';';
        }
        lines.push_back(std::move(line));
    }
    return lines;
}

void ExportToCsv(const Sheet& sheet, const std::filesystem::path& file, const std::string& name,
                 const std::string& taxNumber) {
    const std::vector<std::string> lines = CsvLines(sheet, name, taxNumber);
    std::string bytes;
    for (size_t line = 0; line < lines.size(); ++line) {
        try {
            bytes += Utf8ToCp1253(lines[line]);
            bytes += "\r\n";
        } catch (const EncodingError&) {
            Unstorable(sheet, line);
        }
    }
    WriteFileAtomically(file, bytes, FileAccess::OwnerOnly);
}

}  // namespace skartina
