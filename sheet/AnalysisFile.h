// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The analysis file: a client's whole sheet as text, one cell per line, column
// after column, after two lines with the column and the row count.

#include "sheet/Sheet.h"
#include "sheet/SheetGrid.h"

#include <filesystem>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace skartina {

// A file that is not an analysis file, or a sheet that cannot be stored.
class AnalysisFileError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Limits that only a damaged file exceeds; converted files of older editions
// may hold a few more years than this edition makes.
inline constexpr int kMaxFileColumns = 201;
inline constexpr int kMaxFileRows = 1000;

// A count line of the file, a decimal integer without sign; -1 when it is none.
int ParseCountLine(const std::string& line);

// tablesDir / (taxNumber + "_" + workYear + ".grd"); throws ClientNameError for a
// tax number that cannot name a file inside tablesDir.
std::filesystem::path AnalysisFilePath(const std::filesystem::path& tablesDir, const std::string& taxNumber,
                                       const std::string& workYear);

std::vector<std::string> GridToLines(const SheetGrid& grid);

// The sheet the lines describe; it has at least `minRows` rows (those the file
// lacks are empty). Throws AnalysisFileError when the header lines are not
// counts, the columns are not the caption column and whole years, or the file
// does not hold exactly the cells its header announces (a cut or a shifted
// file).
SheetGrid GridFromLines(const std::vector<std::string>& lines, int minRows = kSheetRows);

// The sheet a whole file's bytes describe: as GridFromLines, and the last line
// must end with its line break, so that a file cut anywhere is refused.
// Throws AnalysisFileError.
SheetGrid GridFromBytes(std::string_view bytes, int minRows = kSheetRows);

// Creates or replaces the file, readable by its owner only. Throws FileError,
// or AnalysisFileError naming a cell whose text the file cannot hold.
void SaveGridToFile(const SheetGrid& grid, const std::filesystem::path& path);

// Returns false, leaving the sheet alone, when the file does not exist.
// Never shrinks the sheet's row count. On any error the sheet is unchanged.
// Only a regular file of analysis size is read, never through a link: others
// throw FileError.
bool LoadGridFromFile(const std::filesystem::path& path, SheetGrid& grid);

// The same for the sheet of figures: the file's text of every cell is read
// into the sheet, and written back the same, by these alone.
std::vector<std::string> SheetToLines(const Sheet& sheet);
Sheet SheetFromLines(const std::vector<std::string>& lines, int minRows = kSheetRows);
Sheet SheetFromBytes(std::string_view bytes, int minRows = kSheetRows);
void SaveSheetToFile(const Sheet& sheet, const std::filesystem::path& path);
bool LoadSheetFromFile(const std::filesystem::path& path, Sheet& sheet);

}  // namespace skartina
