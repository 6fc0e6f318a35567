// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/SheetModel.h"

#include "sheet/MarriedMarks.h"
#include "sheet/RowHints.h"
#include "sheet/SheetRows.h"

namespace skartina {

QVariant SheetModel::data(const QModelIndex& index, int role) const {
    if (!sheet_ || !index.isValid()) return {};
    if (index.row() >= sheet_->rowCount() || index.column() >= sheet_->columnCount()) return {};
    if (role == Qt::ToolTipRole) {
        if (index.row() == Row::PersonHeader && SpouseFiguresWithoutMark(*sheet_, index.column()))
            return QString::fromStdString(std::string(kSpouseFiguresHint));
        if (const std::string_view hint = ComputedRowHint(index.row()); !hint.empty())
            return QString::fromUtf8(hint.data(), static_cast<qsizetype>(hint.size()));
        return {};
    }
    if (role != Qt::DisplayRole && role != Qt::EditRole) return {};
    return QString::fromStdString(CellText(*sheet_, index.column(), index.row()));
}

bool SheetModel::setData(const QModelIndex& index, const QVariant& value, int role) {
    if (!sheet_ || !index.isValid() || role != Qt::EditRole || !(flags(index) & Qt::ItemIsEditable)) return false;
    // An editor may outlive a change of the sheet's size by a moment.
    if (index.row() >= sheet_->rowCount() || index.column() >= sheet_->columnCount()) return false;
    const std::string text = value.toString().toStdString();
    if (CellText(*sheet_, index.column(), index.row()) == text) return true;
    SetCellText(*sheet_, index.column(), index.row(), text);
    emit dataChanged(index, index);
    return true;
}

Qt::ItemFlags SheetModel::flags(const QModelIndex& index) const {
    // The year headers and the caption column can neither be typed into nor become current.
    if (!index.isValid() || index.row() < Row::PersonHeader || index.column() < 1) return Qt::NoItemFlags;
    // The person headers (Space toggles a married mark) and the blank row under
    // them can be reached with the keyboard but take no typing; nor does any
    // cell while a retrieval fills the sheet.
    if (readOnly_ || index.row() <= Row::Spacer) return Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsEditable;
}

bool SheetModel::refresh() {
    if (!sheet_) return false;
    if (shownColumns_ == sheet_->columnCount() && shownRows_ == sheet_->rowCount()) {
        if (shownColumns_ > 0 && shownRows_ > 0) emit dataChanged(index(0, 0), index(shownRows_ - 1, shownColumns_ - 1));
        return false;
    }
    beginResetModel();
    shownColumns_ = sheet_->columnCount();
    shownRows_ = sheet_->rowCount();
    endResetModel();
    return true;
}

}  // namespace skartina

namespace skartina {

void SheetModel::detach() {
    beginResetModel();
    sheet_ = nullptr;
    shownColumns_ = shownRows_ = 0;
    endResetModel();
}

}  // namespace skartina
