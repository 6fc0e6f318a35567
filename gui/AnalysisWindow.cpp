// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/AnalysisWindow.h"

#include "gui/QtText.h"
#include "common/ClientFiles.h"
#include "gui/BatchProgressWindow.h"
#include "startup/Settings.h"
#include "gui/TaxNumberEdit.h"
#include "gui/IntegerEdit.h"
#include "sheet/MarriedMarks.h"
#include "sheet/Recalculate.h"
#include "gui/SheetDelegate.h"
#include "gui/SheetModel.h"
#include "sheet/SheetRows.h"
#include "gui/SheetView.h"
#include "gui/RetrievalWorker.h"

#include <QApplication>
#include <QTimer>
#include <QToolTip>
#include <QCheckBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QScreen>
#include <QTableView>
#include <QPushButton>
#include <QToolButton>
#include <QVBoxLayout>


namespace skartina {
namespace {

constexpr QSize kWindowSize(1340, 700);
// What a window manager adds around a window: its title bar and borders.
constexpr QSize kFrameAllowance(10, 36);

}  // namespace

AnalysisWindow::AnalysisWindow(const std::filesystem::path& workDir, DesktopServices desktop, QWidget* parent)
    : QDialog(parent),
      workDir_(workDir),
      desktop_(std::move(desktop)),
      document_(new AnalysisDocument(workDir / kTablesFolder, "2021", this)),
      sheet_(document_->sheet()),
      years_(document_->years()) {
    setObjectName("analysisWindow");
    setWindowTitle("Πληροφόρηση από Α.Α.Δ.Ε.");
    // A 1366 × 768 laptop holds it un-maximised with its frame (at most 1366 × 740
    // outside) and still shows the sheet down to its final balance.
    resize(kWindowSize);
    // A smaller screen gets the whole screen.
    if (const QScreen* shown = screen()) {
        const QSize available = shown->availableGeometry().size();
        const QSize outside = kWindowSize + kFrameAllowance;
        if (available.width() < outside.width() || available.height() < outside.height())
            setWindowState(Qt::WindowMaximized);
    }

    auto* top = new QHBoxLayout;
    top->addWidget(buildClientFields(), 3);
    top->addWidget(buildPortalFields(), 2);
    top->addWidget(buildEditingButtons(), 1);
    top->addWidget(buildSpecialSettings(), 2);
    QWidget* yearsPanel = buildYearColumn();
    QWidget* tabs = buildSheet();

    waitLabel_ = new QLabel("Παρακαλώ περιμένετε...", this);
    waitLabel_->setObjectName("waitLabel");
    waitLabel_->setAlignment(Qt::AlignCenter);
    waitLabel_->setStyleSheet("background-color: purple; color: white; font-weight: bold; font-size: 16px;");
    waitLabel_->setFixedSize(260, 80);
    waitLabel_->hide();
    waitLabel_->installEventFilter(this);

    auto* body = new QHBoxLayout;
    body->addWidget(yearsPanel);
    body->addWidget(tabs, 1);
    auto* layout = new QVBoxLayout(this);
    // Narrow margins: on a laptop every row of height goes to the sheet and the year column.
    layout->setContentsMargins(6, 2, 6, 4);
    layout->setSpacing(4);
    layout->addLayout(top);
    layout->addLayout(body, 1);
    buildMenus(layout);

    // Handlers.
    connect(taxNumberEdit_, &TaxNumberEdit::exited, this, [this] { onTaxNumberLeft(); });
    connect(chooseClientButton_, &QToolButton::clicked, this, [this] { onChooseClientClicked(); });
    connect(marriedAllYearsBox_, &QCheckBox::clicked, this, [this] { onMarriedAllYearsClicked(); });
    connect(saveButton_, &QToolButton::clicked, this, [this] { onSaveClicked(); });
    connect(openButton_, &QToolButton::clicked, this, [this] { onOpenClicked(); });
    connect(exportExcelButton_, &QToolButton::clicked, this, [this] { onExportExcelClicked(); });
    connect(exportCsvButton_, &QToolButton::clicked, this, [this] { onExportCsvClicked(); });
    connect(savePdfAction_, &QAction::triggered, this, [this] { onSavePdfTriggered(); });
    connect(printAction_, &QAction::triggered, this, [this] { onPrintTriggered(); });
    connect(firstYearEdit_, &IntegerEdit::edited, this, [this] { onFirstYearEdited(); });
    connect(retrieveAllYearsButton_, &QPushButton::clicked, this, [this] { onRetrieveAllYearsClicked(); });
    connect(portalDocumentsButton_, &QPushButton::clicked, this, [this] { onPortalDocumentsClicked(); });
    connect(versionsButton_, &QPushButton::clicked, this, [this] { onVersionsClicked(); });
    const auto reportInt = [this](const QString& message) { desktop_.prompter->inform(message.toStdString()); };
    firstYearEdit_->setErrorReporter(reportInt);
    extraWaitEdit_->setErrorReporter(reportInt);
    connect(firstYearEdit_, &QLineEdit::editingFinished, this, [this] { onFirstYearLeft(); });
    // Another client's tax number: the counter no longer speaks of this one.
    connect(taxNumberEdit_, &QLineEdit::textChanged, this, [this](const QString& taxNumber) {
        if (taxNumber != counterTaxNumber_) reportTakenLabel_->clear();
    });
    connect(delegate_, &SheetDelegate::textEdited, this, [this](CellPos cell) {
        handEntry_.textEdited(sheet_, cell);
        document_->markTyping();
    });
    connect(delegate_, &SheetDelegate::enterPressed, this, [this] { onSheetEnterPressed(); });
    connect(delegate_, &SheetDelegate::stepAside, this, [this](int columns) { onSheetStepAside(columns); });
    connect(sheetView_, &QTableView::clicked, this, [this] { onSheetCellReached(); });
    connect(sheetView_->selectionModel(), &QItemSelectionModel::currentChanged, this, [this] { onSheetCellReached(); });

    connectRetrieval();
    fieldOrder_ = {taxNumberEdit_, nameEdit_, portalUserEdit_, portalPasswordEdit_};
    for (QLineEdit* field : fieldOrder_) field->installEventFilter(this);

    // Enter never starts a retrieval or replaces the sheet: no button is the
    // window's default, and a focused one takes Space or a click.
    for (QPushButton* button : findChildren<QPushButton*>()) {
        button->setAutoDefault(false);
        button->setDefault(false);
    }

    // The sheet as large as it was last left.
    SetSheetZoomPercent(SheetZoom(workDir_));
    // As a new window: 2003 to 2020.
    syncYearBoxes();
    BuildSheetLayout();
    document_->readFields = [this](SheetState& state) {
        state.firstYear = firstYearShown_;
        state.marriedAllYears = marriedAllYearsBox_->isChecked();
    };
    connect(document_, &AnalysisDocument::stateRestored, this, [this](const SheetState& state) { showState(state); });
    document_->markClean();
}

AnalysisWindow::~AnalysisWindow() {
    // A run is cancelled and waited for, a kept login logged out, while the window is whole.
    delete retrieval_;
    // The handlers of leaving a field run now, while the window is whole, not
    // from the destruction of its children.
    if (QWidget* focused = focusWidget()) focused->clearFocus();
    // The sheet dies before the child widgets; an editor still open must not write into it.
    model_->detach();
}

std::filesystem::path AnalysisWindow::tablesDir() const { return workDir_ / kTablesFolder; }

bool AnalysisWindow::attempt(const std::function<void()>& work) {
    try {
        work();
        return true;
    } catch (const std::exception& e) {
        desktop_.prompter->inform(e.what());
        return false;
    }
}

void AnalysisWindow::syncYearBoxes() {
    for (auto& [year, box] : yearBoxes_) {
        const QSignalBlocker block(box);
        box->setChecked(years_.isTicked(year));
    }
}

void AnalysisWindow::refreshGrid(bool relayout) {
    const bool resized = model_->refresh();
    if (resized || relayout) {
        sheetView_->clearSpans();
        sheetView_->setColumnWidth(0, Zoomed(253));
        for (int c = 1; c < sheet_.columnCount(); ++c)
            if (IsTaxpayerColumn(c) && c + 1 < sheet_.columnCount()) sheetView_->setSpan(Row::YearHeader, c, 1, 2);
        for (int r = 0; r < sheet_.rowCount(); ++r) sheetView_->setRowHeight(r, Zoomed(SheetView::kRowHeight));
        sheetView_->syncFrozenColumn();
    }
    // Every year column as wide as the widest amount of the sheet (a cut amount
    // would read as another number), one width for all, so that columns keep
    // their places. Applied once the event in hand is over: the press that left
    // a cell lands on the cell it was aimed at before anything moves.
    int width = Zoomed(kYearColumnWidth);
    for (int c = 1; c < sheet_.columnCount(); ++c) width = std::max(width, SheetCellTextWidth(sheet_, c));
    QTimer::singleShot(0, this, [this, width] {
        for (int c = 1; c < model_->columnCount(); ++c)
            if (sheetView_->columnWidth(c) != width) sheetView_->setColumnWidth(c, width);
    });
}

void AnalysisWindow::BuildSheetLayout() {
    years_.setFirstYear(firstYearEdit_->Value());
    attempt([&] { skartina::BuildSheetLayout(sheet_, years_); });
    handEntry_.reset();
    refreshGrid();
}

void AnalysisWindow::RecalculateSheet() {
    attempt([&] { skartina::RecalculateSheet(sheet_); });
    refreshGrid();
}

void AnalysisWindow::ResetSheet() {
    confirmYearRemoval_ = false;
    years_.setFirstYear(firstYearEdit_->Value());
    attempt([&] { skartina::ResetSheet(sheet_, years_); });
    handEntry_.reset();
    syncYearBoxes();
    refreshGrid();
    confirmYearRemoval_ = true;
    document_->startNew(document_->taxNumber());  // a fresh sheet: nothing in it to lose
}

void AnalysisWindow::ApplyMarriedToAllYears() {
    skartina::ApplyMarriedToAllYears(sheet_, marriedAllYearsBox_->isChecked());
}

void AnalysisWindow::onMarriedAllYearsClicked() {
    ApplyMarriedToAllYears();
    RecalculateSheet();
    document_->record("Έγγαμος όλα τα έτη");
}

void AnalysisWindow::onYearBoxClicked(int year) {
    QCheckBox* box = yearBoxes_.at(year);
    years_.setFirstYear(firstYearEdit_->Value());
    bool declined = false;
    attempt([&] {
        if (box->isChecked())
            TickYear(sheet_, years_, year);
        else
            declined = !UntickYear(sheet_, years_, year, confirmYearRemoval_ ? desktop_.prompter : nullptr);
    });
    if (declined) {
        syncYearBoxes();  // the box is ticked again and nothing else changes
        return;
    }
    handEntry_.reset();
    syncYearBoxes();
    refreshGrid();
    document_->record("Έτη του φύλλου");
}

void AnalysisWindow::onFirstYearEdited() {
    // The box of 2000 takes only a first year the sheet can start with.
    bool number = false;
    const int year = firstYearEdit_->text().toInt(&number);
    if (number && IsFirstYearChoice(year)) yearBoxes_[kOldestBoxYear]->setText(firstYearEdit_->text());
}

void AnalysisWindow::onFirstYearLeft() {
    bool number = false;
    const int year = firstYearEdit_->text().toInt(&number);
    if (number && IsFirstYearChoice(year)) {
        firstYearShown_ = firstYearEdit_->text();
        document_->record("Πρώτο έτος");
        return;
    }
    firstYearEdit_->setText(firstYearShown_);
    yearBoxes_[kOldestBoxYear]->setText(firstYearShown_);
    desktop_.prompter->inform(kFirstYearOutOfRangeMessage);
}

void AnalysisWindow::CommitOpenEdit() {
    sheetView_->commitOpenEditor();
    if (handEntry_.finish(sheet_)) RecalculateSheet();
    document_->record("Πληκτρολόγηση");
    tellRefusedAmount();
}

void AnalysisWindow::tellRefusedAmount() {
    const std::optional<HandEntry::Refusal> refusal = handEntry_.takeRefusal();
    if (!refusal) return;
    tellAtCell(RefusedAmountSentence(refusal->typed, refusal->kept),
               model_->index(refusal->cell.row, refusal->cell.column));
}

void AnalysisWindow::tellAtCell(const std::string& sentence, const QModelIndex& cell) {
    lastNotice_ = QString::fromStdString(sentence);
    // Beside the cell that kept its value, for a few seconds.
    const QRect shown = sheetView_->visualRect(cell);
    const QPoint at = sheetView_->viewport()->mapToGlobal(shown.isValid() ? shown.bottomLeft() : QPoint(0, 0));
    QToolTip::showText(at, lastNotice_, sheetView_->viewport(), QRect(), 8000);
}

void AnalysisWindow::keyPressEvent(QKeyEvent* event) {
    // Escape leaves only the cell editor (the grid's business); the window
    // and its unsaved sheet stay.
    if (event->key() == Qt::Key_Escape) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

void AnalysisWindow::onWaitLabelClicked() { waitLabel_->hide(); }

void AnalysisWindow::showRetrievalCounter(const QString& text, const QString& detail) {
    counterTaxNumber_ = taxNumberEdit_->text();
    reportTakenLabel_->setText(text);
    reportTakenLabel_->setToolTip(detail);
}

void AnalysisWindow::onSheetCellReached() {
    waitLabel_->hide();
    const QModelIndex current = sheetView_->currentIndex();
    if (handEntry_.currentCellReached(sheet_, {current.column(), current.row()})) {
        RecalculateSheet();
        document_->record("Πληκτρολόγηση");
    }
    tellRefusedAmount();
}

void AnalysisWindow::onSheetHeaderPressed(int column, int row) {
    if (model_->readOnly()) return;  // a retrieval is filling the sheet
    if (row == Row::PersonHeader && column >= 1 && ToggleMarriedMark(sheet_, column)) {
        RecalculateSheet();
        document_->record("Σήμανση έγγαμου");
    }
}

void AnalysisWindow::onSheetStepAside(int columns) {
    const QModelIndex current = sheetView_->currentIndex();
    const int column = current.column() + columns;
    if (!current.isValid() || column < 1 || column >= sheet_.columnCount()) return;
    sheetView_->setCurrentIndex(model_->index(current.row(), column));
}

void AnalysisWindow::onSheetEnterPressed() {
    const QModelIndex current = sheetView_->currentIndex();
    if (!current.isValid() || current.row() + 1 >= sheet_.rowCount()) return;
    sheetView_->setCurrentIndex(model_->index(current.row() + 1, current.column()));
}

bool AnalysisWindow::eventFilter(QObject* object, QEvent* event) {
    if (object == waitLabel_ && event->type() == QEvent::MouseButtonPress) {
        onWaitLabelClicked();
        return true;
    }
    if (object == sheetView_->viewport() &&
        (event->type() == QEvent::MouseButtonPress || event->type() == QEvent::MouseButtonDblClick)) {
        const auto* press = static_cast<QMouseEvent*>(event);
        // Only the left button chooses a cell: a right or middle press neither
        // moves the current cell nor opens its editor.
        if (press->button() != Qt::LeftButton) return true;
        if (event->type() == QEvent::MouseButtonDblClick) return QDialog::eventFilter(object, event);
        const QModelIndex index = sheetView_->indexAt(press->position().toPoint());
        // Presses on the headers and captions never move the current cell.
        if (index.isValid() && (index.row() < 2 || index.column() < 1)) {
            if (press->button() == Qt::LeftButton) onSheetHeaderPressed(index.column(), index.row());
            waitLabel_->hide();
            return true;
        }
    }
    if (object == sheetView_ && event->type() == QEvent::KeyPress) {
        const auto key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            onSheetEnterPressed();
            return true;
        }
        // Space on a person header: the keyboard's way to the married mark.
        const QModelIndex current = sheetView_->currentIndex();
        if (key == Qt::Key_Space && current.isValid() && current.row() == Row::PersonHeader) {
            onSheetHeaderPressed(current.column(), current.row());
            return true;
        }
    }
    if (event->type() == QEvent::KeyPress) {
        const int at = fieldOrder_.indexOf(qobject_cast<QLineEdit*>(object));
        if (at >= 0) {
            const auto key = static_cast<QKeyEvent*>(event)->key();
            if (key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Down) {
                focusNextChild();
                return true;
            }
            if (key == Qt::Key_Up) {
                focusPreviousChild();
                return true;
            }
        }
    }
    return QDialog::eventFilter(object, event);
}

}  // namespace skartina
