// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The sheet's grid view: the caption column stays in place while the year
// columns scroll under it, as a fixed column does.

#include <QTableView>

namespace skartina {

class SheetView : public QTableView {
    Q_OBJECT
public:
    explicit SheetView(QWidget* parent = nullptr);

    // Every row's height in pixels.
    static constexpr int kRowHeight = 14;

    // After the model or the sheet's size changed.
    void syncFrozenColumn();

    // The text of the editor open in the current cell goes into the sheet.
    void commitOpenEditor();

protected:
    void resizeEvent(QResizeEvent* event) override;
    void scrollTo(const QModelIndex& index, ScrollHint hint = EnsureVisible) override;
    void updateGeometries() override;

private:
    void placeFrozenColumn();
    QTableView* sheetCaptions_;
};

}  // namespace skartina
