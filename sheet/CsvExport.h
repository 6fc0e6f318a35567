// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The sheet as a semicolon-separated text file for a spreadsheet program:
// Windows-1253, CR LF, a title, then sheet rows 0 to 33 with a ";" after
// every cell. Cells go out as the sheet holds them; one that holds a ";", a
// double quote or a line break is quoted as spreadsheet programs expect, and a
// text a spreadsheet would run as a formula is marked as text.

#include "sheet/Sheet.h"
#include "sheet/SheetGrid.h"

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace skartina {

// tablesDir / (taxNumber + "_" + workYear + ".csv"); an empty tax number gives
// "_2021.csv". Throws ClientNameError for a tax number that would put the
// file outside tablesDir.
std::filesystem::path CsvExportPath(const std::filesystem::path& tablesDir, const std::string& taxNumber,
                                    const std::string& workYear);

// A field as the file holds it: unchanged, or in double quotes with inner
// quotes doubled when it holds ";", a double quote or a line break (kept as
// CR LF inside the quotes).
std::string CsvField(std::string_view text);

// A text cell as a spreadsheet program must take it: one that begins with
// "=", "+", "-", "@", a tab or a CR would be run as a formula, so it gets a
// leading "'". Every CSV the program writes passes its text cells through it.
std::string SpreadsheetText(std::string_view text);

// A sheet cell for the file: an amount ("-1.234,50") stays a number, any
// other text goes through SpreadsheetText.
std::string SheetCellText(std::string_view cell);

// The records of the file, without their line ends (a quoted field may hold one).
std::vector<std::string> CsvLines(const Sheet& sheet, const std::string& name, const std::string& taxNumber);

// Creates or replaces the file. Throws FileError, or std::invalid_argument
// naming the cell or title whose text the code page cannot hold.
void ExportToCsv(const Sheet& sheet, const std::filesystem::path& file, const std::string& name,
                 const std::string& taxNumber);

}  // namespace skartina
