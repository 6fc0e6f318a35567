// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The sheet as the grid shows it: every cell as text; only the year cells
// below the two header rows can be typed into.

#include "sheet/Sheet.h"

#include <QAbstractTableModel>

#include <string_view>

namespace skartina {

// The tooltip of a spouse header whose year holds spouse figures but no married mark.
inline constexpr std::string_view kSpouseFiguresHint =
    "Το έτος έχει ποσά συζύγου αλλά δεν είναι σημειωμένο ως έτος έγγαμου· πατήστε στο «Συζύγου» (ή Space) "
    "για να το σημειώσετε.";

class SheetModel : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit SheetModel(Sheet& sheet, QObject* parent = nullptr) : QAbstractTableModel(parent), sheet_(&sheet) {}

    int rowCount(const QModelIndex& parent = {}) const override {
        return parent.isValid() || !sheet_ ? 0 : sheet_->rowCount();
    }
    int columnCount(const QModelIndex& parent = {}) const override {
        return parent.isValid() || !sheet_ ? 0 : sheet_->columnCount();
    }
    QVariant data(const QModelIndex& index, int role) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

    // The sheet changed as a whole. Returns true when its size changed (the
    // view was reset); otherwise every cell is reported changed, so the current
    // cell and its open editor stay.
    bool refresh();

    // While a retrieval fills the sheet, nothing can be typed into it.
    void setReadOnly(bool readOnly) { readOnly_ = readOnly; }
    bool readOnly() const { return readOnly_; }

    // The sheet is going away with its window: the view (and an editor still
    // open in it) must not reach it any more.
    void detach();

private:
    Sheet* sheet_;
    int shownColumns_ = 0;
    int shownRows_ = 0;
    bool readOnly_ = false;
};

}  // namespace skartina
