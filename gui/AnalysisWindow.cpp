// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/AnalysisWindow.h"

#include "gui/QtText.h"
#include "common/ClientFiles.h"
#include "common/TextFile.h"
#include "startup/Settings.h"
#include "registry/AfmCheck.h"
#include "registry/TaxpayerRecord.h"
#include "gui/ClientListWindow.h"
#include "gui/AnalysisListWindow.h"
#include "gui/AfmEdit.h"
#include "gui/IntegerEdit.h"
#include "sheet/AnalysisFile.h"
#include "sheet/AnalysisHistory.h"
#include "sheet/CsvExport.h"
#include "sheet/ExcelExport.h"
#include "sheet/MarriedMarks.h"
#include "sheet/Recalculate.h"
#include "sheet/SheetPdf.h"
#include "gui/SheetDelegate.h"
#include "gui/SheetPrinting.h"
#include "gui/Pictures.h"
#include "gui/SheetModel.h"
#include "sheet/ExportTitles.h"
#include "sheet/SheetRows.h"
#include "gui/SheetView.h"
#include "portal/YearSources.h"
#include "gui/BatchProgressWindow.h"
#include "gui/RetrievalWorker.h"
#include "portal/YearRetrieval.h"

#include <QApplication>
#include <QFileInfo>
#include <QTimer>
#include <QToolTip>
#include <QListWidget>
#include <QDialogButtonBox>
#include <QCloseEvent>
#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMouseEvent>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <QThread>
#include <QScreen>
#include <QStyle>
#include <QTabWidget>
#include <QTableView>
#include <QToolButton>
#include <QVBoxLayout>

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

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
      grid_(document_->grid()),
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
    connect(taxNumberEdit_, &AfmEdit::exited, this, [this] { onTaxNumberLeft(); });
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
    connect(taxNumberEdit_, &QLineEdit::textChanged, this, [this](const QString& afm) {
        if (afm != counterAfm_) reportTakenLabel_->clear();
    });
    connect(delegate_, &SheetDelegate::textEdited, this, [this](CellPos cell) {
        handEntry_.textEdited(grid_, cell);
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
        for (int c = 1; c < grid_.columnCount(); ++c)
            if (IsTaxpayerColumn(c) && c + 1 < grid_.columnCount()) sheetView_->setSpan(Row::YearHeader, c, 1, 2);
        for (int r = 0; r < grid_.rowCount(); ++r) sheetView_->setRowHeight(r, Zoomed(SheetView::kRowHeight));
        sheetView_->syncFrozenColumn();
    }
    // Every year column as wide as the widest amount of the sheet (a cut amount
    // would read as another number), one width for all, so that columns keep
    // their places. Applied once the event in hand is over: the press that left
    // a cell lands on the cell it was aimed at before anything moves.
    int width = Zoomed(kYearColumnWidth);
    for (int c = 1; c < grid_.columnCount(); ++c) width = std::max(width, SheetCellTextWidth(grid_, c));
    QTimer::singleShot(0, this, [this, width] {
        for (int c = 1; c < model_->columnCount(); ++c)
            if (sheetView_->columnWidth(c) != width) sheetView_->setColumnWidth(c, width);
    });
}

void AnalysisWindow::BuildSheetLayout() {
    years_.setFirstYear(firstYearEdit_->Value());
    attempt([&] { skartina::BuildSheetLayout(grid_, years_); });
    handEntry_.reset();
    refreshGrid();
}

void AnalysisWindow::RecalculateSheet() {
    attempt([&] { skartina::RecalculateSheet(grid_); });
    refreshGrid();
}

void AnalysisWindow::ResetSheet() {
    confirmYearRemoval_ = false;
    years_.setFirstYear(firstYearEdit_->Value());
    attempt([&] { skartina::ResetSheet(grid_, years_); });
    handEntry_.reset();
    syncYearBoxes();
    refreshGrid();
    confirmYearRemoval_ = true;
    document_->startNew(document_->afm());  // a fresh sheet: nothing in it to lose
}

void AnalysisWindow::ApplyMarriedToAllYears() {
    skartina::ApplyMarriedToAllYears(grid_, marriedAllYearsBox_->isChecked());
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
            TickYear(grid_, years_, year);
        else
            declined = !UntickYear(grid_, years_, year, confirmYearRemoval_ ? desktop_.prompter : nullptr);
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

void AnalysisWindow::FillTaxpayerFields() {
    const std::string afm = taxNumberEdit_->text().toStdString();
    // Another client: the login kept for the last one ends.
    retrieval_->endKeptLogin(afm);
    if (afm.empty() || !AfmFileNameProblem(afm).empty()) return;
    attempt([&] {
        const auto record = LoadTaxpayer(tablesDir(), afm);
        if (!record) return;
        taxNumberEdit_->setText(Q(record->afm));
        nameEdit_->setText(Q(record->surname + " " + record->firstName));
        portalUserEdit_->setText(Q(record->portalUser));
        portalPasswordEdit_->setText(Q(record->portalPassword));
    });
}

bool AnalysisWindow::OpenAnalysisOf(const QString& afm) {
    taxNumberEdit_->setText(afm);
    FillTaxpayerFields();
    bool loaded = false;
    attempt([&] { loaded = document_->open(afm.toStdString()); });
    if (loaded) syncYearBoxes();
    handEntry_.reset();
    RecalculateSheet();
    // The sheet as saved is where undo stops.
    if (loaded) document_->markClean();
    return loaded;
}

void AnalysisWindow::onTaxNumberLeft() {
    const QString afm = taxNumberEdit_->text();
    if (afm.isEmpty() || retrieving_) return;
    CommitOpenEdit();
    // The sheet belongs to one client: another tax number starts that client's sheet.
    if (!document_->afm().isEmpty() && afm != document_->afm() && sheetHoldsWork()) {
        switchClient(afm);
        return;
    }
    if (!document_->afm().isEmpty() && afm != document_->afm()) {
        // An empty sheet of another client: the new one's fields, none of the old one's.
        nameEdit_->clear();
        portalUserEdit_->clear();
        portalPasswordEdit_->clear();
    }
    FillTaxpayerFields();
    // A sheet that was nobody's, or an empty one, is now this client's.
    document_->setAfm(taxNumberEdit_->text());
    // The tax number of a saved analysis typed into a sheet without changes:
    // the client's sheet is offered, so that a save never replaces it by an empty one.
    if (isModified()) return;
    const std::string typed = taxNumberEdit_->text().toStdString();
    std::optional<FileStamp> saved;
    SheetGrid onDisk;
    try {
        saved = StampOf(document_->fileOf(typed));
        if (!document_->isForeign(saved) || !LoadGridFromFile(saved->path, onDisk)) return;
    } catch (const std::exception&) {
        return;  // a file that does not open is told when it is opened or replaced
    }
    if (desktop_.prompter->offer("Υπάρχει αποθηκευμένη δήλωση του Α.Φ.Μ. " + typed + " (αποθηκεύτηκε στις " +
                                 SavedAtText(*saved) + ", " + DescribeYearsWithFigures(onDisk) + "). Να ανοίξει;"))
        OpenAnalysisOf(taxNumberEdit_->text());
}

bool AnalysisWindow::sheetHoldsWork() const { return isModified() || !YearsWithFigures(grid_).empty(); }

std::string AnalysisWindow::ownerAfm() const {
    return (document_->afm().isEmpty() ? taxNumberEdit_->text() : document_->afm()).toStdString();
}

std::string AnalysisWindow::clientLabel(const std::string& afm) const {
    std::string name;
    try {
        if (AfmFileNameProblem(afm).empty())
            if (const auto record = LoadTaxpayer(tablesDir(), afm))
                name = record->firstName.empty() ? record->surname : record->surname + " " + record->firstName;
    } catch (const std::exception&) {
        // A record that does not read leaves the number alone.
    }
    return "Α.Φ.Μ. " + afm + (name.empty() ? "" : " (" + name + ")");
}

bool AnalysisWindow::switchClient(const QString& afm) {
    const std::string from = document_->afm().toStdString();
    const std::string to = afm.toStdString();
    if (!mayReplaceSheet("Η δήλωση του " + clientLabel(from) +
                         " έχει αλλαγές που δεν έχουν αποθηκευτεί. Να αποθηκευτούν πριν ανοίξει η δήλωση του " +
                         clientLabel(to) + ";")) {
        taxNumberEdit_->setText(document_->afm());
        return false;
    }
    bool saved = false;
    attempt([&] { saved = std::filesystem::exists(document_->fileOf(to)); });
    nameEdit_->clear();
    portalUserEdit_->clear();
    portalPasswordEdit_->clear();
    if (saved && OpenAnalysisOf(afm)) return true;
    // A client without a saved analysis starts on an empty sheet of the same years.
    taxNumberEdit_->setText(afm);
    FillTaxpayerFields();
    marriedAllYearsBox_->setChecked(false);
    ResetSheet();
    document_->startNew(afm);
    return true;
}

bool AnalysisWindow::sheetIsTheFieldsClients() {
    const QString afm = taxNumberEdit_->text();
    if (afm.isEmpty() || document_->afm().isEmpty() || afm == document_->afm()) return true;
    CommitOpenEdit();
    if (!sheetHoldsWork()) {
        onTaxNumberLeft();
        return true;
    }
    return switchClient(afm);
}

void AnalysisWindow::CommitOpenEdit() {
    sheetView_->commitOpenEditor();
    if (handEntry_.finish(grid_)) RecalculateSheet();
    document_->record("Πληκτρολόγηση");
    tellRefusedAmount();
}

void AnalysisWindow::tellRefusedAmount() {
    const std::optional<HandEntry::Refusal> refusal = handEntry_.takeRefusal();
    if (!refusal) return;
    lastNotice_ = QString::fromStdString(RefusedAmountSentence(refusal->typed, refusal->kept));
    // Beside the cell that kept its value, for a few seconds.
    const QRect cell = sheetView_->visualRect(model_->index(refusal->cell.row, refusal->cell.column));
    const QPoint at = sheetView_->viewport()->mapToGlobal(cell.isValid() ? cell.bottomLeft() : QPoint(0, 0));
    QToolTip::showText(at, lastNotice_, sheetView_->viewport(), QRect(), 8000);
}

bool AnalysisWindow::onSaveClicked() {
    CommitOpenEdit();
    return saveSheet(true, false);
}

std::string AnalysisWindow::replaceQuestion(const std::string& lead, const std::string& afm) {
    if (afm.empty()) return {};
    const auto path = document_->fileOf(afm);
    const std::optional<FileStamp> saved = StampOf(path);
    if (!document_->isForeign(saved)) return {};
    std::string held;
    try {
        SheetGrid onDisk;
        LoadGridFromFile(path, onDisk);
        held = DescribeYearsWithFigures(onDisk);
    } catch (const std::exception&) {
        held = "που δεν διαβάζεται";
    }
    return lead + "\nΘα αντικατασταθεί η δήλωση του Α.Φ.Μ. " + afm + " που αποθηκεύτηκε στις " + SavedAtText(*saved) +
           ", " + held + ".";
}

bool AnalysisWindow::saveSheet(bool tell, bool replaceAgreed) {
    const std::string afm = taxNumberEdit_->text().toStdString();
    if (afm.empty()) {
        desktop_.prompter->inform(kNoAfmToSaveMessage);
        return false;
    }
    // Never under another client's number without a question that names both.
    if (!document_->afm().isEmpty() && document_->afm().toStdString() != afm &&
        !desktop_.prompter->confirm("Το φύλλο είναι του " + clientLabel(document_->afm().toStdString()) +
                                    ". Να αποθηκευτεί ως δήλωση του " + clientLabel(afm) + ";"))
        return false;
    return saveSheetAs(afm, tell, replaceAgreed);
}

bool AnalysisWindow::saveSheetAs(const std::string& afm, bool tell, bool replaceAgreed) {
    if (!IsWholeAfm(afm) && !desktop_.prompter->confirm(kInvalidAfmAnalysisQuestion)) return false;
    bool written = false;
    attempt([&] {
        // Saving the analysis this window opened or saved asks nothing; any other file on disk is named first.
        if (!replaceAgreed) {
            const std::string question = replaceQuestion(kOverwriteAnalysisQuestion, afm);
            if (!question.empty() && !desktop_.prompter->confirm(question)) return;
        }
        // The file it replaces stays among the client's earlier versions.
        document_->save(afm);
        written = true;
    });
    if (!written) return false;
    if (tell) desktop_.prompter->inform(kAnalysisSavedMessage);
    return true;
}

bool AnalysisWindow::mayReplaceSheet(const std::string& lead) {
    CommitOpenEdit();
    if (!isModified()) return true;
    const std::string owner = ownerAfm();
    std::string question = lead;
    attempt([&] {
        if (const std::string replacing = replaceQuestion(question, owner); !replacing.empty()) question = replacing;
    });
    switch (desktop_.prompter->ask(question)) {
    case Prompter::Answer::Yes:
        // Saved under the sheet's own client (not saved, and told why: the sheet stays).
        if (owner.empty()) {
            desktop_.prompter->inform(kNoAfmToSaveMessage);
            return false;
        }
        return saveSheetAs(owner, false, true);
    case Prompter::Answer::No:
        return true;
    case Prompter::Answer::Cancel:
        return false;
    }
    return false;
}

void AnalysisWindow::reject() {
    if (retrieving_) {
        if (closeRequested_) return;
        // A run of many years is the user's to give up: asked, not assumed.
        if (batchRunning_ && !desktop_.prompter->confirm(kCancelRunQuestion)) return;
        closeRequested_ = true;  // the retrieval ends at its next look at the pages, then the window closes
        if (progress_) progress_->reject();
        retrieval_->cancel();
        return;
    }
    CommitOpenEdit();
    if (isModified()) {
        // One question: Ναι saves (naming the file it replaces, if any) and closes.
        std::string question = kSaveChangesQuestion;
        attempt([&] {
            const std::string afm = taxNumberEdit_->text().toStdString();
            if (const std::string replacing = replaceQuestion(question, afm); !replacing.empty()) question = replacing;
        });
        switch (desktop_.prompter->ask(question)) {
        case Prompter::Answer::Yes:
            if (!saveSheet(false, true)) return;  // not saved, and told why: the window and its sheet stay
            break;
        case Prompter::Answer::No:
            break;
        case Prompter::Answer::Cancel:
            return;
        }
    }
    retrieval_->endKeptLogin();
    QDialog::reject();
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

void AnalysisWindow::onOpenClicked() {
    const auto afm = ChooseAnalysis(tablesDir(), workYear().toStdString(), desktop_, this);
    if (afm && mayReplaceSheet()) OpenAnalysisOf(Q(*afm));
}

void AnalysisWindow::onChooseClientClicked() {
    const auto afm = ChooseTaxpayer(tablesDir(), desktop_, this);
    if (!afm || !mayReplaceSheet()) return;
    taxNumberEdit_->setText(Q(*afm));
    FillTaxpayerFields();
    bool saved = false;
    attempt([&] { saved = std::filesystem::exists(AnalysisFilePath(tablesDir(), *afm, workYear().toStdString())); });
    if (saved) {
        OpenAnalysisOf(Q(*afm));
    } else {
        ResetSheet();
        document_->startNew(Q(*afm));
    }
}

void AnalysisWindow::onVersionsClicked() {
    if (retrieving_) return;
    const std::string afm = taxNumberEdit_->text().toStdString();
    if (afm.empty()) return desktop_.prompter->inform(kNoAfmMessage);
    std::vector<std::filesystem::path> versions;
    if (!attempt([&] { versions = KeptVersions(tablesDir(), afm); })) return;
    if (versions.empty())
        return desktop_.prompter->inform("Δεν υπάρχουν προηγούμενες εκδόσεις του φύλλου για τον Α.Φ.Μ. " + afm + ".");

    QDialog chooser(this);
    chooser.setObjectName("versionsWindow");
    chooser.setWindowTitle("Προηγούμενες εκδόσεις");
    auto* layout = new QVBoxLayout(&chooser);
    layout->addWidget(new QLabel("Το φύλλο όπως ήταν πριν από κάθε αντικατάστασή του (νεότερο πρώτο):", &chooser));
    auto* list = new QListWidget(&chooser);
    list->setObjectName("versionsList");
    for (const std::filesystem::path& version : versions) list->addItem(Q(VersionTimeText(version)));
    list->setCurrentRow(0);
    layout->addWidget(list);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Open | QDialogButtonBox::Cancel, &chooser);
    // Enter does not replace the sheet: the harmless button is the default.
    buttons->button(QDialogButtonBox::Open)->setAutoDefault(false);
    buttons->button(QDialogButtonBox::Cancel)->setDefault(true);
    layout->addWidget(buttons);
    connect(buttons, &QDialogButtonBox::accepted, &chooser, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, &chooser, &QDialog::reject);
    connect(list, &QListWidget::itemDoubleClicked, &chooser, &QDialog::accept);
    if (chooser.exec() != QDialog::Accepted || list->currentRow() < 0) return;
    if (!mayReplaceSheet()) return;
    OpenVersion(versions[static_cast<size_t>(list->currentRow())]);
}

void AnalysisWindow::OpenVersion(const std::filesystem::path& version) {
    CommitOpenEdit();
    bool loaded = false;
    attempt([&] { loaded = document_->openVersion(version); });
    if (!loaded) return;
    syncYearBoxes();
    handEntry_.reset();
    RecalculateSheet();
    // Saving it makes it the client's sheet again; until then the file stays as it is.
    document_->record("Προηγούμενη έκδοση");
}

void AnalysisWindow::onPortalDocumentsClicked() {
    const std::string afm = taxNumberEdit_->text().toStdString();
    if (afm.empty()) return desktop_.prompter->inform(kNoAfmMessage);
    std::filesystem::path folder;
    if (!attempt([&] { folder = SourcesFolder(tablesDir(), afm); })) return;
    if (!std::filesystem::is_directory(folder))
        return desktop_.prompter->inform("Δεν υπάρχουν ακόμη έγγραφα της Α.Α.Δ.Ε. για τον Α.Φ.Μ. " + afm + ".");
    const QString shown = QString::fromStdString(std::filesystem::absolute(folder).string());
    if (!desktop_.open(shown)) desktop_.prompter->inform(NotOpenedSentence(shown));
}

void AnalysisWindow::onWaitLabelClicked() { waitLabel_->hide(); }

void AnalysisWindow::showRetrievalCounter(const QString& text, const QString& detail) {
    counterAfm_ = taxNumberEdit_->text();
    reportTakenLabel_->setText(text);
    reportTakenLabel_->setToolTip(detail);
}

void AnalysisWindow::onSheetCellReached() {
    waitLabel_->hide();
    const QModelIndex current = sheetView_->currentIndex();
    if (handEntry_.currentCellReached(grid_, {current.column(), current.row()})) {
        RecalculateSheet();
        document_->record("Πληκτρολόγηση");
    }
    tellRefusedAmount();
}

void AnalysisWindow::onSheetHeaderPressed(int column, int row) {
    if (model_->readOnly()) return;  // a retrieval is filling the sheet
    if (row == Row::PersonHeader && column >= 1 && ToggleMarriedMark(grid_, column)) {
        RecalculateSheet();
        document_->record("Σήμανση έγγαμου");
    }
}

void AnalysisWindow::onSheetStepAside(int columns) {
    const QModelIndex current = sheetView_->currentIndex();
    const int column = current.column() + columns;
    if (!current.isValid() || column < 1 || column >= grid_.columnCount()) return;
    sheetView_->setCurrentIndex(model_->index(current.row(), column));
}

void AnalysisWindow::onSheetEnterPressed() {
    const QModelIndex current = sheetView_->currentIndex();
    if (!current.isValid() || current.row() + 1 >= grid_.rowCount()) return;
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
