// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The capital-consumption sheet as figures: the caption column, then per year
// a taxpayer and a spouse column (newest year first, as SheetGrid numbers
// them), each with the year, the person, the married flag and, per row of the
// layout (Row), an amount in cents or nothing. Text exists only where the
// sheet meets a file, a window or an export.

#include "sheet/Amount.h"
#include "sheet/SheetGrid.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace skartina {

// One cell of a year column. A file may hold in a cell a text that is not the
// cell's own form (a header of another edition, "2500" for "2.500,00", a text
// that is no amount): that text is kept as it was read and written back
// unchanged, until the cell is given a figure.
struct SheetCell {
    std::optional<Money> amount;       // nothing: empty, or a kept text that is no amount
    std::optional<std::string> kept;   // the file's own text, when it differs from the cell's form
    bool operator==(const SheetCell&) const = default;
};

class Sheet {
public:
    explicit Sheet(int columns = 1, int rows = kSheetRows);

    int columnCount() const { return static_cast<int>(columns_.size()) + 1; }
    int rowCount() const { return rows_; }
    void setColumnCount(int columns);  // added columns are empty and unmarried
    void setRowCount(int rows);

    // Year columns (1 ... columnCount()-1).
    int year(int column) const { return YearOfColumn(column); }
    Person person(int column) const { return IsTaxpayerColumn(column) ? Person::Taxpayer : Person::Spouse; }
    // A year is married or not; both its columns answer for it.
    bool married(int column) const;
    void setMarried(int column, bool married);

    // Throws std::out_of_range outside the year columns.
    const SheetCell& cell(int column, int row) const;
    // The figure for the recalculation: empty is 0; a kept text that is no
    // amount is nothing.
    std::optional<Money> figure(int column, int row) const;
    void setAmount(int column, int row, Money amount);
    void clear(int column, int row);
    // For the file reader: the cell exactly as the file had it.
    void setCell(int column, int row, SheetCell cell);

    // Column 0: the row captions (and whatever else a file held there).
    const std::string& caption(int row) const { return captions_.at(static_cast<size_t>(row)); }
    void setCaption(int row, std::string text) { captions_.at(static_cast<size_t>(row)) = std::move(text); }

    bool operator==(const Sheet&) const = default;

private:
    struct YearColumn {
        bool married = false;
        std::vector<SheetCell> cells;
        bool operator==(const YearColumn&) const = default;
    };
    YearColumn& at(int column);
    const YearColumn& at(int column) const;

    int rows_;
    std::vector<std::string> captions_;
    std::vector<YearColumn> columns_;  // columns_[column - 1]
};

// The text a cell shows and the file holds: the kept text, or the header of
// rows 0 and 1, or the amount written (empty for no amount).
std::string CellText(const Sheet& sheet, int column, int row);

// Puts a text into a cell below the headers as a file or the window's editor
// gives it: empty clears the cell; an amount in the cell's own form is that
// amount; any other text is kept as it is (with its amount when it reads as one).
void SetCellText(Sheet& sheet, int column, int row, std::string_view text);

// The sheet that a grid of cell texts describes, and the grid of a sheet:
// GridOfSheet(SheetOfGrid(g)) == g for every grid.
Sheet SheetOfGrid(const SheetGrid& grid);
SheetGrid GridOfSheet(const Sheet& sheet);

}  // namespace skartina
