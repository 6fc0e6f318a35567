// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The picture of the balance in the window: the chart of the printed page,
// laid out anew at the widget's size.

#include "sheet/BalanceSeries.h"
#include "sheet/PrintLayout.h"

#include <QWidget>

namespace skartina {

class BalanceChartView : public QWidget {
    Q_OBJECT
public:
    explicit BalanceChartView(QWidget* parent = nullptr);

    void setSeries(BalanceSeries series);
    const BalanceSeries& series() const { return series_; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    BalanceSeries series_;
    PrintTextWidth textWidth_;
};

}  // namespace skartina
