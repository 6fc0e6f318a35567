// SPDX-License-Identifier: GPL-3.0-or-later
#include "sheet/SheetGrid.h"

#include <stdexcept>

namespace skartina {

SheetGrid::SheetGrid(int columns, int rows) : rows_(rows) {
    if (columns < 0 || rows < 0) throw std::out_of_range("negative sheet size");
    columns_.assign(static_cast<size_t>(columns), std::vector<std::string>(static_cast<size_t>(rows)));
}

void SheetGrid::setColumnCount(int columns) {
    if (columns < 0) throw std::out_of_range("negative column count");
    columns_.resize(static_cast<size_t>(columns), std::vector<std::string>(static_cast<size_t>(rows_)));
}

void SheetGrid::setRowCount(int rows) {
    if (rows < 0) throw std::out_of_range("negative row count");
    rows_ = rows;
    for (auto& column : columns_) column.resize(static_cast<size_t>(rows));
}

const std::string& SheetGrid::cell(int column, int row) const {
    return columns_.at(static_cast<size_t>(column)).at(static_cast<size_t>(row));
}

void SheetGrid::setCell(int column, int row, std::string text) {
    columns_.at(static_cast<size_t>(column)).at(static_cast<size_t>(row)) = std::move(text);
}

}  // namespace skartina
