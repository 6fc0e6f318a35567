// SPDX-License-Identifier: GPL-3.0-or-later
#include "sheet/Sheet.h"

#include "sheet/SheetRows.h"

#include <stdexcept>

namespace skartina {

Sheet::Sheet(int columns, int rows) : rows_(rows) {
    if (columns < 1 || rows < 0) throw std::out_of_range("sheet size");
    captions_.resize(static_cast<size_t>(rows));
    columns_.resize(static_cast<size_t>(columns - 1), YearColumn{false, std::vector<SheetCell>(static_cast<size_t>(rows))});
}

void Sheet::setColumnCount(int columns) {
    if (columns < 1) throw std::out_of_range("sheet column count");
    columns_.resize(static_cast<size_t>(columns - 1), YearColumn{false, std::vector<SheetCell>(static_cast<size_t>(rows_))});
}

void Sheet::setRowCount(int rows) {
    if (rows < 0) throw std::out_of_range("sheet row count");
    rows_ = rows;
    captions_.resize(static_cast<size_t>(rows));
    for (auto& column : columns_) column.cells.resize(static_cast<size_t>(rows));
}

Sheet::YearColumn& Sheet::at(int column) {
    if (column < 1) throw std::out_of_range("not a year column");
    return columns_.at(static_cast<size_t>(column - 1));
}

const Sheet::YearColumn& Sheet::at(int column) const {
    if (column < 1) throw std::out_of_range("not a year column");
    return columns_.at(static_cast<size_t>(column - 1));
}

bool Sheet::married(int column) const {
    if (IsTaxpayerColumn(column)) return column + 1 < columnCount() && at(column + 1).married;
    return at(column).married;
}

void Sheet::setMarried(int column, bool married) {
    const int spouse = IsTaxpayerColumn(column) ? column + 1 : column;
    if (spouse >= columnCount()) return;
    at(spouse).married = married;
}

const SheetCell& Sheet::cell(int column, int row) const { return at(column).cells.at(static_cast<size_t>(row)); }

std::optional<Money> Sheet::figure(int column, int row) const {
    const SheetCell& c = cell(column, row);
    if (c.amount) return c.amount;
    if (c.kept && !c.kept->empty()) return std::nullopt;
    return Money();
}

void Sheet::setAmount(int column, int row, Money amount) {
    at(column).cells.at(static_cast<size_t>(row)) = SheetCell{amount, std::nullopt};
}

void Sheet::clear(int column, int row) { at(column).cells.at(static_cast<size_t>(row)) = SheetCell{}; }

void Sheet::setCell(int column, int row, SheetCell cell) {
    at(column).cells.at(static_cast<size_t>(row)) = std::move(cell);
}

namespace {

// What a year column's cell shows when it keeps no text of its own.
std::string OwnText(const Sheet& sheet, int column, int row, const SheetCell& cell) {
    if (row == Row::YearHeader) return IsTaxpayerColumn(column) ? YearHeaderText(sheet.year(column)) : std::string();
    if (row == Row::PersonHeader)
        return std::string(IsTaxpayerColumn(column) ? kTaxpayerHeader
                           : sheet.married(column) ? kMarriedSpouseHeader
                                                   : kSpouseHeader);
    return cell.amount ? WriteAmount(*cell.amount) : std::string();
}

bool IsHeaderRow(int row) { return row == Row::YearHeader || row == Row::PersonHeader; }

}  // namespace

std::string CellText(const Sheet& sheet, int column, int row) {
    if (column == 0) return sheet.caption(row);
    const SheetCell& cell = sheet.cell(column, row);
    return cell.kept ? *cell.kept : OwnText(sheet, column, row, cell);
}

void SetCellText(Sheet& sheet, int column, int row, std::string_view text) {
    // A header's text follows the year and the married mark: it is never typed.
    if (IsHeaderRow(row)) throw std::out_of_range("a header is no amount cell");
    if (text.empty()) return sheet.clear(column, row);
    SheetCell cell{ReadAmount(text), std::nullopt};
    if (!cell.amount || !IsWrittenAmount(text, *cell.amount)) cell.kept = std::string(text);
    sheet.setCell(column, row, std::move(cell));
}

Sheet SheetOfGrid(const SheetGrid& grid) {
    Sheet sheet(std::max(grid.columnCount(), 1), grid.rowCount());
    if (grid.columnCount() == 0) return sheet;
    for (int r = 0; r < grid.rowCount(); ++r) sheet.setCaption(r, grid.cell(0, r));
    // The marks first: the person headers' own text depends on them.
    for (int c = 2; c < grid.columnCount(); c += 2)
        if (grid.rowCount() > Row::PersonHeader)
            sheet.setMarried(c, grid.cell(c, Row::PersonHeader) == kMarriedSpouseHeader);
    for (int c = 1; c < grid.columnCount(); ++c) {
        for (int r = 0; r < grid.rowCount(); ++r) {
            const std::string& text = grid.cell(c, r);
            if (IsHeaderRow(r)) {
                if (OwnText(sheet, c, r, {}) != text) sheet.setCell(c, r, {std::nullopt, text});
                continue;
            }
            if (!text.empty()) SetCellText(sheet, c, r, text);
        }
    }
    return sheet;
}

SheetGrid GridOfSheet(const Sheet& sheet) {
    SheetGrid grid(sheet.columnCount(), sheet.rowCount());
    for (int c = 0; c < sheet.columnCount(); ++c)
        for (int r = 0; r < sheet.rowCount(); ++r) grid.setCell(c, r, CellText(sheet, c, r));
    return grid;
}

}  // namespace skartina
