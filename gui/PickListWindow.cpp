// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/PickListWindow.h"

#include "gui/QtText.h"
#include "registry/ListRows.h"

#include <QApplication>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QStyle>
#include <QTableWidget>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

namespace skartina {
PickListWindow::PickListWindow(const ListDescription& list, ListRows rows, const char* gridName, DesktopServices desktop,
                         QWidget* parent)
    : QDialog(parent), list_(list), rows_(std::move(rows)), desktop_(std::move(desktop)) {
    setWindowTitle(Q(list.caption));
    resize(660, 520);

    auto* bar = new QToolBar(this);
    openButton_ = new QToolButton(bar);
    openButton_->setObjectName("openButton");
    openButton_->setText(Q(list.openCaption));
    openButton_->setIcon(style()->standardIcon(QStyle::SP_DialogOpenButton));
    openButton_->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    deleteButton_ = new QToolButton(bar);
    deleteButton_->setObjectName("deleteButton");
    deleteButton_->setText(Q(list.deleteCaption));
    deleteButton_->setIcon(style()->standardIcon(QStyle::SP_TrashIcon));
    deleteButton_->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    bar->addWidget(openButton_);
    bar->addWidget(deleteButton_);

    searchEdit_ = new QLineEdit(this);
    searchEdit_->setObjectName("searchEdit");
    auto* sortOrder = new QGroupBox("Ταξινόμιση", this);
    sortOrder->setObjectName("sortOrderGroup");
    sortBySurnameButton_ = new QRadioButton(Q(kSortBySurname), sortOrder);
    sortBySurnameButton_->setObjectName("sortBySurnameButton");
    sortByTaxNumberButton_ = new QRadioButton(Q(kSortByTaxNumber), sortOrder);
    sortByTaxNumberButton_->setObjectName("sortByTaxNumberButton");
    auto* radios = new QHBoxLayout(sortOrder);
    radios->addWidget(sortBySurnameButton_);
    radios->addWidget(sortByTaxNumberButton_);
    (list.sortByTaxNumberAtOpening ? sortByTaxNumberButton_ : sortBySurnameButton_)->setChecked(true);

    rowsTable_ = new QTableWidget(this);
    rowsTable_->setObjectName(gridName);
    rowsTable_->setColumnCount(static_cast<int>(list.columns.size()));
    QStringList headers;
    for (const auto& column : list.columns) headers << Q(column.header);
    rowsTable_->setHorizontalHeaderLabels(headers);
    for (int c = 0; c < static_cast<int>(list.columns.size()); ++c) rowsTable_->setColumnWidth(c, list.columns[c].width);
    rowsTable_->horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    rowsTable_->verticalHeader()->hide();
    rowsTable_->verticalHeader()->setDefaultSectionSize(20);
    rowsTable_->setSelectionBehavior(QAbstractItemView::SelectRows);
    rowsTable_->setSelectionMode(QAbstractItemView::SingleSelection);
    rowsTable_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    rowsTable_->installEventFilter(this);

    auto* search = new QHBoxLayout;
    search->addWidget(new QLabel("Γρήγορη αναζήτηση", this));
    search->addWidget(searchEdit_, 1);
    search->addWidget(sortOrder);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(bar);
    layout->addLayout(search);
    layout->addWidget(rowsTable_, 1);

    connect(searchEdit_, &QLineEdit::textChanged, this, [this] { onSearchTextChanged(); });
    connect(sortBySurnameButton_, &QRadioButton::clicked, this, [this] { onSortOrderClicked(); });
    connect(sortByTaxNumberButton_, &QRadioButton::clicked, this, [this] { onSortOrderClicked(); });
    connect(openButton_, &QToolButton::clicked, this, &QDialog::accept);
    // Enter in the search field chooses the row the search has highlighted.
    connect(searchEdit_, &QLineEdit::returnPressed, this, [this] {
        if (rowsTable_->currentRow() >= 0) accept();
    });
    connect(rowsTable_, &QTableWidget::cellDoubleClicked, this, &QDialog::accept);
    connect(deleteButton_, &QToolButton::clicked, this, [this] { onDeleteClicked(); });

    SortAsAtOpening(rows_, list_);
    showRows();
    // The keyboard starts on the rows: typing searches, Enter chooses.
    rowsTable_->setFocus();
}

int PickListWindow::searchColumn() const {
    return sortByTaxNumberButton_->isChecked() ? list_.taxNumberColumn : list_.surnameColumn;
}

void PickListWindow::showRows() {
    rowsTable_->setRowCount(static_cast<int>(rows_.size()));
    for (size_t r = 0; r < rows_.size(); ++r)
        for (size_t c = 0; c < rows_[r].size() && c < list_.columns.size(); ++c)
            rowsTable_->setItem(static_cast<int>(r), static_cast<int>(c), new QTableWidgetItem(Q(rows_[r][c])));
    if (!rows_.empty()) rowsTable_->setCurrentCell(0, 0);
}

std::string PickListWindow::chosenTaxNumber() const {
    const int row = rowsTable_->currentRow();
    if (row < 0 || row >= static_cast<int>(rows_.size())) return {};
    return rows_[static_cast<size_t>(row)][static_cast<size_t>(list_.taxNumberColumn)];
}

void PickListWindow::onSearchTextChanged() {
    const std::string text = searchEdit_->text().toStdString();
    if (text.empty()) return;
    if (const auto row = skartina::FastSearch(rows_, searchColumn(), text))
        rowsTable_->setCurrentCell(static_cast<int>(*row),
                                   rowsTable_->currentColumn() < 0 ? 0 : rowsTable_->currentColumn());
}

void PickListWindow::onSortOrderClicked() {
    searchEdit_->clear();
    QApplication::setOverrideCursor(Qt::WaitCursor);
    SortGridRows(rows_, searchColumn());
    showRows();
    QApplication::restoreOverrideCursor();
}

void PickListWindow::onDeleteClicked() {
    const int row = rowsTable_->currentRow();
    if (row < 0 || row >= static_cast<int>(rows_.size())) return;
    try {
        if (deleteRow(rows_[static_cast<size_t>(row)], *desktop_.prompter)) reject();
    } catch (const std::exception& e) {
        desktop_.prompter->inform(e.what());
    }
}

bool PickListWindow::eventFilter(QObject* object, QEvent* event) {
    if (object != rowsTable_ || event->type() != QEvent::KeyPress) return QDialog::eventFilter(object, event);
    auto* key = static_cast<QKeyEvent*>(event);
    if (key->modifiers() & Qt::AltModifier) return false;
    switch (key->key()) {
    case Qt::Key_Backspace:
        searchEdit_->clear();
        return true;
    case Qt::Key_PageUp:
    case Qt::Key_PageDown:
    case Qt::Key_Home:
    case Qt::Key_Up:
    case Qt::Key_Down:
        searchEdit_->clear();
        return false;  // the grid still moves
    case Qt::Key_Return:
    case Qt::Key_Enter:
        accept();
        return true;
    case Qt::Key_Escape:
        reject();
        return true;
    case Qt::Key_Insert:
        return (key->modifiers() & Qt::ShiftModifier) != 0;
    default:
        break;
    }
    const std::string typed = key->text().toStdString();
    if (typed.empty()) return false;
    if (ExtendsFastSearch(typed)) searchEdit_->setText(searchEdit_->text() + key->text());
    return true;
}

}  // namespace skartina
