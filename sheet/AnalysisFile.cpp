// SPDX-License-Identifier: GPL-3.0-or-later
#include "sheet/AnalysisFile.h"

#include "common/ClientFiles.h"
#include "common/TextFile.h"
#include "sheet/SheetRows.h"

#include <algorithm>
#include <charconv>

namespace skartina {
int ParseCountLine(const std::string& line) {
    int value = 0;
    if (line.empty() || line.size() > 9 || line[0] == '-' || line[0] == '+') return -1;
    const auto [end, ec] = std::from_chars(line.data(), line.data() + line.size(), value);
    if (ec != std::errc() || end != line.data() + line.size()) return -1;
    return value;
}

std::filesystem::path AnalysisFilePath(const std::filesystem::path& tablesDir, const std::string& taxNumber,
                                       const std::string& workYear) {
    return ClientFilePath(tablesDir, taxNumber, "_" + workYear + ".grd");
}

std::vector<std::string> GridToLines(const SheetGrid& grid) {
    std::vector<std::string> lines;
    lines.reserve(2 + static_cast<size_t>(grid.columnCount()) * static_cast<size_t>(grid.rowCount()));
    lines.push_back(std::to_string(grid.columnCount()));
    lines.push_back(std::to_string(grid.rowCount()));
    for (int c = 0; c < grid.columnCount(); ++c)
        for (int r = 0; r < grid.rowCount(); ++r) lines.push_back(grid.cell(c, r));
    return lines;
}

SheetGrid GridFromLines(const std::vector<std::string>& lines, int minRows) {
    const int columns = lines.size() > 0 ? ParseCountLine(lines[0]) : -1;
    const int rows = lines.size() > 1 ? ParseCountLine(lines[1]) : -1;
    if (columns < 0 || rows < 0)
        throw AnalysisFileError("Το αρχείο δεν είναι αρχείο ανάλωσης κεφαλαίου: οι δύο πρώτες γραμμές "
                                "πρέπει να είναι το πλήθος στηλών και γραμμών.");
    if (columns < 3 || columns > kMaxFileColumns || columns % 2 == 0)
        throw AnalysisFileError("Το αρχείο ανάλωσης κεφαλαίου έχει " + lines[0] +
                                " στήλες· αναμένονται η στήλη τίτλων και δύο στήλες για κάθε έτος.");
    if (rows < 1 || rows > kMaxFileRows)
        throw AnalysisFileError("Το αρχείο ανάλωσης κεφαλαίου έχει μη αποδεκτό πλήθος γραμμών: " + lines[1] + ".");

    const size_t announced = 2 + static_cast<size_t>(columns) * static_cast<size_t>(rows);
    if (lines.size() != announced)
        throw AnalysisFileError("Το αρχείο ανάλωσης κεφαλαίου είναι κατεστραμμένο: η αρχή του δηλώνει " +
                                std::to_string(columns) + " στήλες των " + std::to_string(rows) + " γραμμών, δηλαδή " +
                                std::to_string(announced) + " γραμμές, αλλά έχει " + std::to_string(lines.size()) +
                                ". Το αρχείο δεν ανοίγει, ώστε να μη χαθούν ή να μη μετατεθούν ποσά.");

    SheetGrid grid(columns, std::max(rows, minRows));
    size_t next = 2;
    for (int c = 0; c < columns; ++c)
        for (int r = 0; r < rows; ++r, ++next) grid.setCell(c, r, lines[next]);
    return grid;
}

SheetGrid GridFromBytes(std::string_view bytes, int minRows) {
    std::vector<std::string> lines;
    try {
        lines = Cp1253Lines(bytes, {});
    } catch (const LineEncodingError& e) {
        throw AnalysisFileError("Το αρχείο ανάλωσης κεφαλαίου έχει μη αναγνώσιμο χαρακτήρα στη γραμμή " +
                                std::to_string(e.line() + 1) + ".");
    }
    SheetGrid grid = GridFromLines(lines, minRows);
    // Every line the program writes ends with CR LF; a last line without it was cut.
    if (bytes.empty() || bytes.back() != '\n')
        throw AnalysisFileError("Το αρχείο ανάλωσης κεφαλαίου είναι κατεστραμμένο: η τελευταία του γραμμή είναι "
                                "κομμένη (λείπει η αλλαγή γραμμής). Το αρχείο δεν ανοίγει, ώστε να μη χαθούν ποσά.");
    return grid;
}

void SaveGridToFile(const SheetGrid& grid, const std::filesystem::path& path) {
    try {
        WriteCp1253Lines(path, GridToLines(grid), FileAccess::OwnerOnly);
    } catch (const LineEncodingError& e) {
        if (e.line() < 2) throw;
        const int cell = static_cast<int>(e.line() - 2);
        throw AnalysisFileError("Το κείμενο του κελιού " + DescribeCell(cell / grid.rowCount(), cell % grid.rowCount()) +
                                " περιέχει χαρακτήρα που δεν μπορεί να αποθηκευτεί.");
    }
}

std::vector<std::string> SheetToLines(const Sheet& sheet) { return GridToLines(GridOfSheet(sheet)); }

Sheet SheetFromLines(const std::vector<std::string>& lines, int minRows) {
    return SheetOfGrid(GridFromLines(lines, minRows));
}

Sheet SheetFromBytes(std::string_view bytes, int minRows) { return SheetOfGrid(GridFromBytes(bytes, minRows)); }

void SaveSheetToFile(const Sheet& sheet, const std::filesystem::path& path) { SaveGridToFile(GridOfSheet(sheet), path); }

bool LoadSheetFromFile(const std::filesystem::path& path, Sheet& sheet) {
    SheetGrid grid(1, sheet.rowCount());
    if (!LoadGridFromFile(path, grid)) return false;
    sheet = SheetOfGrid(grid);
    return true;
}

bool LoadGridFromFile(const std::filesystem::path& path, SheetGrid& grid) {
    std::error_code ec;
    // A link or a loop of links in its place is there: reading it says why it is refused.
    if (!std::filesystem::exists(std::filesystem::symlink_status(path, ec))) return false;
    grid = GridFromBytes(ReadFileBytes(path, kAnalysisFileLimits), grid.rowCount());
    return true;
}

}  // namespace skartina
