// SPDX-License-Identifier: GPL-3.0-or-later
// The analysis window's menus and keys: the menu bar with its mnemonics and
// the standard shortcuts, F10 to the menus, and the sheet's own commands
// (copy, paste, clear) in its context menu.

#include "gui/AnalysisWindow.h"

#include "gui/AnalysisDocument.h"
#include "gui/HelpWindow.h"
#include "gui/IntegerEdit.h"
#include "gui/SheetDelegate.h"
#include "gui/SheetModel.h"
#include "gui/SheetView.h"
#include "sheet/HandEntry.h"
#include "startup/Settings.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QMenu>
#include <QMenuBar>
#include <QShortcut>
#include <QVBoxLayout>

#include <algorithm>
#include <iterator>

namespace skartina {

QAction* AnalysisWindow::addCommand(QMenu* menu, const char* name, const char* text, const QKeySequence& keys,
                                    std::function<void()> run) {
    QAction* action = menu->addAction(QString::fromUtf8(text));
    action->setObjectName(name);
    if (!keys.isEmpty()) action->setShortcut(keys);
    connect(action, &QAction::triggered, this, [run = std::move(run)] { run(); });
    return action;
}

void AnalysisWindow::buildMenus(QVBoxLayout* layout) {
    auto* bar = new QMenuBar(this);
    bar->setObjectName("menuBar");
    QMenu* file = bar->addMenu("&Αρχείο");
    sheetCommands_ = {
        addCommand(file, "saveAction", "&Αποθήκευση", QKeySequence::Save, [this] { onSaveClicked(); }),
        addCommand(file, "openAction", "Ά&νοιγμα...", QKeySequence::Open, [this] { onOpenClicked(); }),
    };
    file->addSeparator();
    addCommand(file, "exportExcelAction", "Εξαγωγή σε &Excel", QKeySequence(Qt::CTRL | Qt::Key_E),
               [this] { onExportExcelClicked(); });
    addCommand(file, "exportCsvAction", "Εξαγωγή σε &CSV", {}, [this] { onExportCsvClicked(); });
    file->addAction(savePdfAction_);
    file->addAction(printAction_);
    printAction_->setShortcut(QKeySequence::Print);
    file->addSeparator();
    addCommand(file, "exitAction", "Έ&ξοδος", {}, [this] { reject(); });

    QMenu* edit = bar->addMenu("&Επεξεργασία");
    undoAction_ = addCommand(edit, "undoAction", "&Αναίρεση", QKeySequence::Undo, [this] { undo(); });
    redoAction_ = addCommand(edit, "redoAction", "&Επανάληψη", QKeySequence::Redo, [this] { redo(); });
    // Ctrl+Y and Ctrl+Shift+Z both, whatever the desktop's own choice.
    undoAction_->setShortcuts({QKeySequence(Qt::CTRL | Qt::Key_Z)});
    redoAction_->setShortcuts({QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z), QKeySequence(Qt::CTRL | Qt::Key_Y)});
    QUndoStack& steps = document_->undoStack();
    connect(&steps, &QUndoStack::canUndoChanged, this, [this] { syncUndoActions(); });
    connect(&steps, &QUndoStack::canRedoChanged, this, [this] { syncUndoActions(); });
    syncUndoActions();

    QMenu* sheet = bar->addMenu("&Φύλλο");
    copyAction_ = addCommand(sheet, "copyAction", "&Αντιγραφή", QKeySequence::Copy, [this] { copySelectedCells(); });
    pasteAction_ = addCommand(sheet, "pasteAction", "&Επικόλληση", QKeySequence::Paste, [this] { pasteIntoSheet(); });
    clearAction_ = addCommand(sheet, "clearAction", "&Καθαρισμός κελιών", QKeySequence::Delete,
                              [this] { clearSelectedCells(); });
    clearAction_->setShortcuts({QKeySequence::Delete, QKeySequence(Qt::Key_Backspace)});
    // The sheet's commands act on the sheet alone: a field's own copy and paste stay the field's.
    for (QAction* action : {copyAction_, pasteAction_, clearAction_}) {
        action->setShortcutContext(Qt::WidgetShortcut);
        sheetView_->addAction(action);
    }
    sheet->addSeparator();
    QAction* zoomIn = addCommand(sheet, "zoomInAction", "&Μεγέθυνση", QKeySequence::ZoomIn, [this] { zoomSheet(+1); });
    // Ctrl and the "+" without Shift, as the key is marked "=" on most keyboards.
    zoomIn->setShortcuts({QKeySequence::ZoomIn, QKeySequence(Qt::CTRL | Qt::Key_Equal)});
    addCommand(sheet, "zoomOutAction", "&Σμίκρυνση", QKeySequence::ZoomOut, [this] { zoomSheet(-1); });
    addCommand(sheet, "zoomResetAction", "Κανονικό &μέγεθος", QKeySequence(Qt::CTRL | Qt::Key_0), [this] { zoomSheet(0); });
    sheetCommands_.push_back(pasteAction_);
    sheetCommands_.push_back(clearAction_);

    QMenu* help = bar->addMenu("&Βοήθεια");
    addCommand(help, "instructionsAction", "&Σύντομες οδηγίες", QKeySequence::HelpContents,
               [this] { ShowInstructions(desktop_, this); });

    // F10 opens the first menu, as on other desktops.
    auto* toMenus = new QShortcut(QKeySequence(Qt::Key_F10), this);
    connect(toMenus, &QShortcut::activated, bar, [bar] {
        bar->setFocus(Qt::ShortcutFocusReason);
        bar->setActiveAction(bar->actions().value(0));
    });

    sheetView_->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(sheetView_, &QWidget::customContextMenuRequested, this, [this](const QPoint& at) {
        QMenu menu(this);
        menu.setObjectName("sheetMenu");
        menu.addActions({copyAction_, pasteAction_, clearAction_});
        menu.addSeparator();
        menu.addActions({undoAction_, redoAction_});
        menu.exec(sheetView_->viewport()->mapToGlobal(at));
    });
    layout->setMenuBar(bar);
}

void AnalysisWindow::zoomSheet(int step) {
    static constexpr int kSteps[] = {50, 67, 80, 90, 100, 110, 125, 150, 175, 200, 250, 300};
    const int now = SheetZoomPercent();
    int percent = 100;
    if (step > 0) {
        const auto* next = std::upper_bound(std::begin(kSteps), std::end(kSteps), now);
        percent = next == std::end(kSteps) ? kSteps[std::size(kSteps) - 1] : *next;
    } else if (step < 0) {
        const auto* at = std::lower_bound(std::begin(kSteps), std::end(kSteps), now);
        percent = at == std::begin(kSteps) ? kSteps[0] : *(at - 1);
    }
    if (percent == now) return;
    CommitOpenEdit();
    SetSheetZoomPercent(percent);
    try {
        SetSheetZoom(workDir_, percent);
    } catch (const std::exception&) {
        // Not remembered: the sheet is zoomed all the same.
    }
    refreshGrid(true);
    sheetView_->viewport()->update();
}

namespace {

// The selected cells, by row then column.
QModelIndexList Ordered(QModelIndexList cells) {
    std::sort(cells.begin(), cells.end(), [](const QModelIndex& a, const QModelIndex& b) {
        return a.row() != b.row() ? a.row() < b.row() : a.column() < b.column();
    });
    return cells;
}

}  // namespace

void AnalysisWindow::copySelectedCells() {
    const QModelIndexList cells = Ordered(sheetView_->selectionModel()->selectedIndexes());
    if (cells.isEmpty()) return;
    // Rows by lines, cells by tabs, as spreadsheet programs paste them.
    QString text;
    int row = cells.front().row();
    for (const QModelIndex& cell : cells) {
        if (cell != cells.front()) text += cell.row() != row ? "\n" : "\t";
        row = cell.row();
        text += cell.data(Qt::EditRole).toString();
    }
    QApplication::clipboard()->setText(text);
}

void AnalysisWindow::pasteIntoSheet() {
    if (retrieving_) return;
    CommitOpenEdit();
    const QModelIndex start = sheetView_->currentIndex();
    if (!start.isValid()) return;
    QString pasted = QApplication::clipboard()->text();
    // Spreadsheet programs end the copied rows with a line break: no empty row below them.
    if (pasted.endsWith('\n')) pasted.chop(1);
    const QStringList lines = pasted.split('\n');
    bool changed = false;
    std::optional<std::string> refused;  // the first pasted text that is not an amount, told as typing is
    QModelIndex refusedCell;
    for (int i = 0; i < lines.size(); ++i) {
        const QStringList texts = QString(lines[i]).remove('\r').split('\t');
        for (int j = 0; j < texts.size(); ++j) {
            const QModelIndex cell = model_->index(start.row() + i, start.column() + j);
            if (!cell.isValid() || !(model_->flags(cell) & Qt::ItemIsEditable)) continue;
            const std::string text = texts[j].trimmed().toStdString();
            // Only amounts go in, read as typed ones are and in the sheet's form;
            // anything else leaves the cell as it is.
            if (const std::optional<std::string> amount = NormalizeTypedAmount(text)) {
                changed |= model_->setData(cell, QString::fromStdString(*amount), Qt::EditRole);
            } else if (!refused) {
                refused = RefusedAmountSentence(text, model_->data(cell, Qt::EditRole).toString().toStdString());
                refusedCell = cell;
            }
        }
    }
    if (refused) tellAtCell(*refused, refusedCell);
    if (!changed) return;
    RecalculateSheet();
    document_->record("Επικόλληση");
}

void AnalysisWindow::clearSelectedCells() {
    if (retrieving_) return;
    CommitOpenEdit();
    bool changed = false;
    for (const QModelIndex& cell : sheetView_->selectionModel()->selectedIndexes())
        if (model_->flags(cell) & Qt::ItemIsEditable) changed |= model_->setData(cell, QString(), Qt::EditRole);
    if (!changed) return;
    RecalculateSheet();
    document_->record("Καθαρισμός κελιών");
}

void AnalysisWindow::undo() {
    if (retrieving_) return;
    // An amount still being typed is a step of its own, undone first.
    CommitOpenEdit();
    document_->undoStack().undo();
}

void AnalysisWindow::redo() {
    if (retrieving_) return;
    CommitOpenEdit();
    document_->undoStack().redo();
}

void AnalysisWindow::syncUndoActions() {
    undoAction_->setEnabled(!retrieving_ && document_->undoStack().canUndo());
    redoAction_->setEnabled(!retrieving_ && document_->undoStack().canRedo());
}

void AnalysisWindow::showState(const SheetState& state) {
    firstYearShown_ = state.firstYear;
    firstYearEdit_->setText(state.firstYear);
    yearBoxes_[kOldestBoxYear]->setText(state.firstYear);
    marriedAllYearsBox_->setChecked(state.marriedAllYears);
    handEntry_.reset();
    syncYearBoxes();
    refreshGrid();
}

}  // namespace skartina
