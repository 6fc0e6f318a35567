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
    tbOpen = new QToolButton(bar);
    tbOpen->setObjectName("tbOpen");
    tbOpen->setText(Q(list.openCaption));
    tbOpen->setIcon(style()->standardIcon(QStyle::SP_DialogOpenButton));
    tbOpen->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    tbDelete = new QToolButton(bar);
    tbDelete->setObjectName("tbDelete");
    tbDelete->setText(Q(list.deleteCaption));
    tbDelete->setIcon(style()->standardIcon(QStyle::SP_TrashIcon));
    tbDelete->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    bar->addWidget(tbOpen);
    bar->addWidget(tbDelete);

    edFastEdit = new QLineEdit(this);
    edFastEdit->setObjectName("edFastEdit");
    auto* rgIndex = new QGroupBox("Ταξινόμιση", this);
    rgIndex->setObjectName("rgIndex");
    rbSurname = new QRadioButton(Q(kSortBySurname), rgIndex);
    rbAfm = new QRadioButton(Q(kSortByAfm), rgIndex);
    auto* radios = new QHBoxLayout(rgIndex);
    radios->addWidget(rbSurname);
    radios->addWidget(rbAfm);
    (list.sortByAfmAtOpening ? rbAfm : rbSurname)->setChecked(true);

    grid = new QTableWidget(this);
    grid->setObjectName(gridName);
    grid->setColumnCount(static_cast<int>(list.columns.size()));
    QStringList headers;
    for (const auto& column : list.columns) headers << Q(column.header);
    grid->setHorizontalHeaderLabels(headers);
    for (int c = 0; c < static_cast<int>(list.columns.size()); ++c) grid->setColumnWidth(c, list.columns[c].width);
    grid->horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    grid->verticalHeader()->hide();
    grid->verticalHeader()->setDefaultSectionSize(20);
    grid->setSelectionBehavior(QAbstractItemView::SelectRows);
    grid->setSelectionMode(QAbstractItemView::SingleSelection);
    grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grid->installEventFilter(this);

    auto* search = new QHBoxLayout;
    search->addWidget(new QLabel("Γρήγορη αναζήτηση", this));
    search->addWidget(edFastEdit, 1);
    search->addWidget(rgIndex);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(bar);
    layout->addLayout(search);
    layout->addWidget(grid, 1);

    connect(edFastEdit, &QLineEdit::textChanged, this, [this] { FastSearch(); });
    connect(rbSurname, &QRadioButton::clicked, this, [this] { rgIndexClick(); });
    connect(rbAfm, &QRadioButton::clicked, this, [this] { rgIndexClick(); });
    connect(tbOpen, &QToolButton::clicked, this, &QDialog::accept);
    // Enter in the search field chooses the row the search has highlighted.
    connect(edFastEdit, &QLineEdit::returnPressed, this, [this] {
        if (grid->currentRow() >= 0) accept();
    });
    connect(grid, &QTableWidget::cellDoubleClicked, this, &QDialog::accept);
    connect(tbDelete, &QToolButton::clicked, this, [this] { tbDeleteClick(); });

    SortAsAtOpening(rows_, list_);
    showRows();
    // The keyboard starts on the rows: typing searches, Enter chooses.
    grid->setFocus();
}

int PickListWindow::searchColumn() const { return rbAfm->isChecked() ? list_.afmColumn : list_.surnameColumn; }

void PickListWindow::showRows() {
    grid->setRowCount(static_cast<int>(rows_.size()));
    for (size_t r = 0; r < rows_.size(); ++r)
        for (size_t c = 0; c < rows_[r].size() && c < list_.columns.size(); ++c)
            grid->setItem(static_cast<int>(r), static_cast<int>(c), new QTableWidgetItem(Q(rows_[r][c])));
    if (!rows_.empty()) grid->setCurrentCell(0, 0);
}

std::string PickListWindow::chosenAfm() const {
    const int row = grid->currentRow();
    if (row < 0 || row >= static_cast<int>(rows_.size())) return {};
    return rows_[static_cast<size_t>(row)][static_cast<size_t>(list_.afmColumn)];
}

void PickListWindow::FastSearch() {
    const std::string text = edFastEdit->text().toStdString();
    if (text.empty()) return;
    if (const auto row = skartina::FastSearch(rows_, searchColumn(), text))
        grid->setCurrentCell(static_cast<int>(*row), grid->currentColumn() < 0 ? 0 : grid->currentColumn());
}

void PickListWindow::rgIndexClick() {
    edFastEdit->clear();
    QApplication::setOverrideCursor(Qt::WaitCursor);
    SortGridRows(rows_, searchColumn());
    showRows();
    QApplication::restoreOverrideCursor();
}

void PickListWindow::tbDeleteClick() {
    const int row = grid->currentRow();
    if (row < 0 || row >= static_cast<int>(rows_.size())) return;
    try {
        if (deleteRow(rows_[static_cast<size_t>(row)], *desktop_.prompter)) reject();
    } catch (const std::exception& e) {
        desktop_.prompter->inform(e.what());
    }
}

bool PickListWindow::eventFilter(QObject* object, QEvent* event) {
    if (object != grid || event->type() != QEvent::KeyPress) return QDialog::eventFilter(object, event);
    auto* key = static_cast<QKeyEvent*>(event);
    if (key->modifiers() & Qt::AltModifier) return false;
    switch (key->key()) {
    case Qt::Key_Backspace:
        edFastEdit->clear();
        return true;
    case Qt::Key_PageUp:
    case Qt::Key_PageDown:
    case Qt::Key_Home:
    case Qt::Key_Up:
    case Qt::Key_Down:
        edFastEdit->clear();
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
    if (ExtendsFastSearch(typed)) edFastEdit->setText(edFastEdit->text() + key->text());
    return true;
}

}  // namespace skartina
