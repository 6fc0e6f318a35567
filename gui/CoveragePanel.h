// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// "Κάλυψη δαπάνης": the amount of a planned expense, whether each person's
// final balance covers it, and the chart of the balances, kept in step with
// the sheet.

#include "sheet/BalanceSeries.h"
#include "sheet/Sheet.h"

#include <QWidget>

class QAbstractItemModel;
class QLabel;
class QLineEdit;

namespace skartina {

class BalanceChartView;

class CoveragePanel : public QWidget {
    Q_OBJECT
public:
    // Follows the sheet through the model that shows it.
    CoveragePanel(const Sheet& sheet, QAbstractItemModel* sheetModel, QWidget* parent = nullptr);

    QLineEdit* amountEdit() const { return amountEdit_; }
    // The sentences shown, one a line.
    QString answerText() const;
    const BalanceChartView* chart() const { return chart_; }

    // The sheet changed: its balances are read again.
    void refresh();

private:
    void showAnswer();

    const Sheet& sheet_;
    QLineEdit* amountEdit_;
    QLabel* answerLabel_;
    BalanceChartView* chart_;
    BalanceSeries series_;
    QString readError_;  // a balance that is not an amount
};

}  // namespace skartina
