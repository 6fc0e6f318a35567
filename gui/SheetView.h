#pragma once
// The sheet's grid view: the caption column stays in place while the year
// columns scroll under it, as a fixed column does.

#include <QTableView>

namespace skartina {

class SheetView : public QTableView {
    Q_OBJECT
public:
    explicit SheetView(QWidget* parent = nullptr);

    // After the model, the delegate or the sheet's size changed.
    void syncFrozenColumn();

protected:
    void resizeEvent(QResizeEvent* event) override;
    void scrollTo(const QModelIndex& index, ScrollHint hint = EnsureVisible) override;
    void updateGeometries() override;

private:
    void placeFrozenColumn();
    QTableView* frozen_;
};

}  // namespace skartina
