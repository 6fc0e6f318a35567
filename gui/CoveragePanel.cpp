// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/CoveragePanel.h"

#include "gui/BalanceChartView.h"
#include "sheet/Coverage.h"

#include <QAbstractItemModel>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

namespace skartina {

CoveragePanel::CoveragePanel(const Sheet& sheet, QAbstractItemModel* sheetModel, QWidget* parent)
    : QWidget(parent), sheet_(sheet) {
    amountEdit_ = new QLineEdit(this);
    amountEdit_->setObjectName("amountEdit");
    amountEdit_->setPlaceholderText("π.χ. 25.000,00");
    amountEdit_->setMaximumWidth(160);
    answerLabel_ = new QLabel(this);
    answerLabel_->setObjectName("answerLabel");
    answerLabel_->setWordWrap(true);
    answerLabel_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    answerLabel_->setAlignment(Qt::AlignTop | Qt::AlignLeft);
    chart_ = new BalanceChartView(this);
    chart_->setObjectName("chart");

    auto* amountLine = new QHBoxLayout;
    amountLine->addWidget(new QLabel("Ποσό δαπάνης:", this));
    amountLine->addWidget(amountEdit_);
    amountLine->addStretch(1);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(amountLine);
    layout->addWidget(answerLabel_);
    layout->addWidget(chart_, 1);

    connect(amountEdit_, &QLineEdit::textChanged, this, [this] { showAnswer(); });
    connect(sheetModel, &QAbstractItemModel::dataChanged, this, [this] { refresh(); });
    connect(sheetModel, &QAbstractItemModel::modelReset, this, [this] { refresh(); });
    refresh();
}

QString CoveragePanel::answerText() const { return answerLabel_->text(); }

void CoveragePanel::refresh() {
    readError_.clear();
    try {
        series_ = ReadBalanceSeries(sheet_);
    } catch (const std::exception& e) {
        series_ = {};
        readError_ = QString::fromStdString(e.what());
    }
    chart_->setSeries(series_);
    showAnswer();
}

void CoveragePanel::showAnswer() {
    if (!readError_.isEmpty()) return answerLabel_->setText(readError_);
    const QString typed = amountEdit_->text().trimmed();
    if (typed.isEmpty())
        return answerLabel_->setText("Γράψτε το ποσό της δαπάνης για να δείτε αν το καλύπτει το τελικό διαθέσιμο "
                                     "υπόλοιπο του κάθε προσώπου.");
    const auto amount = ExpenseCents(typed.toStdString());
    if (!amount) return answerLabel_->setText("Το «" + typed + "» δεν είναι ποσό δαπάνης (π.χ. 25000 ή 25.000,50).");
    QStringList lines;
    for (const std::string& line : CoverExpense(series_, *amount).lines())
        lines << QString::fromStdString(line);
    answerLabel_->setText(lines.join('\n'));
}

}  // namespace skartina
