// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The sheet's grid view: the caption column and the two header rows (years,
// persons) stay in place while the rest scrolls under them, as fixed rows and
// columns do.

#include <QTableView>

namespace skartina {

class SheetView : public QTableView {
    Q_OBJECT
public:
    explicit SheetView(QWidget* parent = nullptr);

    // Every row's height in pixels.
    static constexpr int kRowHeight = 14;

    // The rows that stay in place at the top.
    static constexpr int kFrozenRows = 2;

    // After the model or the sheet's size changed.
    void syncFrozenColumn();

    // The cell under a point of the viewport, the frozen rows and column
    // taking the place they are shown in.
    QModelIndex indexAt(const QPoint& point) const override;

    // The text of the editor open in the current cell goes into the sheet.
    void commitOpenEditor();

protected:
    void resizeEvent(QResizeEvent* event) override;
    void scrollTo(const QModelIndex& index, ScrollHint hint = EnsureVisible) override;
    void updateGeometries() override;

private:
    void placeFrozenColumn();
    int frozenHeight() const;
    QTableView* frozenView(const char* name);
    QTableView* sheetCaptions_;  // the caption column
    QTableView* sheetHeaders_;   // the header rows
    QTableView* sheetCorner_;    // the captions of the header rows
};

}  // namespace skartina
