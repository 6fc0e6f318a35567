// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/AnalysisWindow.h"

#include "gui/QtText.h"
#include "common/ClientFiles.h"
#include "common/TextFile.h"
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

QToolButton* ImageButton(QWidget* parent, const char* name, QStyle::StandardPixmap icon, const char* hint) {
    auto* button = new QToolButton(parent);
    button->setObjectName(name);
    button->setIcon(parent->style()->standardIcon(icon));
    button->setIconSize(QSize(32, 32));
    button->setToolTip(QString::fromUtf8(hint));
    button->setAutoRaise(true);
    return button;
}


}  // namespace

AnalysisWindow::AnalysisWindow(const std::filesystem::path& workDir, DesktopServices desktop, QWidget* parent)
    : QDialog(parent), workDir_(workDir), desktop_(std::move(desktop)) {
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

    // Client fields.
    auto* taxpayer = new QGroupBox("Στοιχεία υπόχρεου", this);
    taxNumberEdit_ = new AfmEdit(taxpayer);
    taxNumberEdit_->setObjectName("taxNumberEdit");
    chooseClientButton_ = new QToolButton(taxpayer);
    chooseClientButton_->setObjectName("chooseClientButton");
    chooseClientButton_->setIcon(style()->standardIcon(QStyle::SP_FileDialogContentsView));
    // A speed button: clicked, never tabbed to, so Enter after the tax number reaches the name.
    chooseClientButton_->setFocusPolicy(Qt::NoFocus);
    nameEdit_ = new QLineEdit(taxpayer);
    nameEdit_->setObjectName("nameEdit");
    marriedAllYearsBox_ = new QCheckBox("Εγγάμος σε όλα τα έτη", taxpayer);
    marriedAllYearsBox_->setObjectName("marriedAllYearsBox");
    accountantBox_ = new QCheckBox("Λογιστής με εξουσιοδοτήσεις από Φ.Π.", taxpayer);
    accountantBox_->setObjectName("accountantBox");
    auto* taxpayerLayout = new QGridLayout(taxpayer);
    taxpayerLayout->addWidget(new QLabel("Α.Φ.Μ.", taxpayer), 0, 0);
    taxpayerLayout->addWidget(taxNumberEdit_, 0, 1);
    taxpayerLayout->addWidget(chooseClientButton_, 0, 2);
    taxpayerLayout->addWidget(new QLabel("Επώνυμο/ία", taxpayer), 1, 0);
    taxpayerLayout->addWidget(nameEdit_, 1, 1, 1, 2);
    taxpayerLayout->addWidget(marriedAllYearsBox_, 2, 0, 1, 3);
    taxpayerLayout->addWidget(accountantBox_, 3, 0, 1, 3);

    auto* portal = new QGroupBox("Στοιχεία εισόδου στην ΑΑΔΕ", this);
    portalUserEdit_ = new QLineEdit(portal);
    portalUserEdit_->setObjectName("portalUserEdit");
    portalPasswordEdit_ = new QLineEdit(portal);
    portalPasswordEdit_->setObjectName("portalPasswordEdit");
    portalPasswordEdit_->setEchoMode(QLineEdit::Password);
    auto* portalLayout = new QGridLayout(portal);
    portalLayout->addWidget(new QLabel("Όνομα χρήστη", portal), 0, 0);
    portalLayout->addWidget(portalUserEdit_, 0, 1);
    portalLayout->addWidget(new QLabel("Κωδικός", portal), 1, 0);
    portalLayout->addWidget(portalPasswordEdit_, 1, 1);
    // The run of every ticked year and the portal's kept documents sit with the
    // portal's credentials: the year column has no height to spare on a laptop.
    retrieveAllYearsButton_ = new QPushButton(QString::fromStdString(kBatchButtonCaption), portal);
    retrieveAllYearsButton_->setObjectName("retrieveAllYearsButton");
    portalLayout->addWidget(retrieveAllYearsButton_, 2, 0, 1, 2);
    portalDocumentsButton_ = new QPushButton("Έγγραφα Α.Α.Δ.Ε. του πελάτη", portal);
    portalDocumentsButton_->setObjectName("portalDocumentsButton");
    // The sheet's earlier versions beside the documents: no row to spare.
    versionsButton_ = new QPushButton("Προηγούμενες εκδόσεις", portal);
    versionsButton_->setObjectName("versionsButton");
    auto* kept = new QHBoxLayout;
    kept->addWidget(portalDocumentsButton_);
    kept->addWidget(versionsButton_);
    portalLayout->addLayout(kept, 3, 0, 1, 2);

    auto* editing = new QGroupBox("Επεξεργασία δήλωσης", this);
    saveButton_ = ImageButton(editing, "saveButton", QStyle::SP_DialogSaveButton, "Αποθήκευση δήλωσης");
    openButton_ = ImageButton(editing, "openButton", QStyle::SP_DialogOpenButton, "Άνοιγμα δήλωσης");
    exportExcelButton_ = ImageButton(editing, "exportExcelButton", QStyle::SP_FileDialogDetailedView, "Εκτύπωση/Εξαγωγή σε Excel");
    exportCsvButton_ = ImageButton(editing, "exportCsvButton", QStyle::SP_FileIcon, "Εκτύπωση/Εξαγωγή σε Excel");
    printButton_ = ImageButton(editing, "printButton", QStyle::SP_FileDialogDetailedView, "Εκτύπωση");
    printButton_->setIcon(QIcon(PrinterPicture(QSize(32, 32))));
    printButton_->setPopupMode(QToolButton::InstantPopup);
    auto* printMenu = new QMenu(printButton_);
    savePdfAction_ = printMenu->addAction("Αποθήκευση ως &PDF");
    savePdfAction_->setObjectName("savePdfAction");
    printAction_ = printMenu->addAction("Ε&κτύπωση...");
    printAction_->setObjectName("printAction");
    printButton_->setMenu(printMenu);
    auto* editingLayout = new QHBoxLayout(editing);
    for (QToolButton* b : {saveButton_, openButton_, exportExcelButton_, exportCsvButton_, printButton_})
        editingLayout->addWidget(b);

    auto* special = new QGroupBox("Ειδικές ρυθμίσεις", this);
    extraWaitEdit_ = new IntegerEdit(special);
    extraWaitEdit_->setObjectName("extraWaitEdit");
    extraWaitEdit_->setText("0");
    extraWaitEdit_->setMaximumWidth(50);
    auto* up = new QToolButton(special);
    up->setArrowType(Qt::UpArrow);
    auto* down = new QToolButton(special);
    down->setArrowType(Qt::DownArrow);
    connect(up, &QToolButton::clicked, this,
            [this] { extraWaitEdit_->setText(QString::number(extraWaitEdit_->Value() + 1)); });
    connect(down, &QToolButton::clicked, this,
            [this] { extraWaitEdit_->setText(QString::number(std::max(0, extraWaitEdit_->Value() - 1))); });
    auto* specialLayout = new QGridLayout(special);
    specialLayout->addWidget(new QLabel("Αύξηση χρόνου αναμονής εμφάνισης σελίδας ΑΑΔΕ.", special), 0, 0, 1, 4);
    specialLayout->addWidget(extraWaitEdit_, 1, 0);
    specialLayout->addWidget(up, 1, 1);
    specialLayout->addWidget(down, 1, 2);
    specialLayout->addWidget(new QLabel("δευτ.", special), 1, 3);
    reportTakenLabel_ = new QLabel(special);
    reportTakenLabel_->setObjectName("reportTakenLabel");
    reportTakenLabel_->setFrameShape(QFrame::Panel);
    reportTakenLabel_->setFrameShadow(QFrame::Sunken);
    reportTakenLabel_->setAlignment(Qt::AlignCenter);
    // Wide enough for the longest it says ("2016: κενό", "ΟΚ 18/18").
    reportTakenLabel_->setMinimumWidth(reportTakenLabel_->fontMetrics().horizontalAdvance(" 2016: κενό ") + 8);
    specialLayout->addWidget(reportTakenLabel_, 1, 4);
    fixedPausesBox_ = new QCheckBox("Σταθερές παύσεις (για αργή Α.Α.Δ.Ε.)", special);
    fixedPausesBox_->setObjectName("fixedPausesBox");
    fixedPausesBox_->setToolTip("Περιμένει και τους σταθερούς χρόνους ανάμεσα στα βήματα, για όταν η σελίδα της "
                                "Α.Α.Δ.Ε. εμφανίζεται πριν είναι έτοιμη.");
    specialLayout->addWidget(fixedPausesBox_, 2, 0, 1, 5);

    auto* top = new QHBoxLayout;
    top->addWidget(taxpayer, 3);
    top->addWidget(portal, 2);
    top->addWidget(editing, 1);
    top->addWidget(special, 2);

    // The year column, 2020 at the top.
    auto* yearsPanel = new QWidget(this);
    auto* yearsLayout = new QGridLayout(yearsPanel);
    yearsLayout->setVerticalSpacing(2);
    yearsLayout->setContentsMargins(0, 0, 4, 0);
    firstYearEdit_ = new IntegerEdit(yearsPanel);
    firstYearEdit_->setObjectName("firstYearEdit");
    firstYearEdit_->setText("2000");
    firstYearEdit_->setMaximumWidth(50);
    for (int year = kNewestYear; year >= kOldestBoxYear; --year) {
        const int line = kNewestYear - year;
        auto* box = new QCheckBox(QString::number(year), yearsPanel);
        box->setObjectName(QString("yearBox%1").arg(year));
        yearBoxes_[year] = box;
        yearsLayout->addWidget(box, line, 0);
        box->setProperty("year", year);
        connect(box, &QCheckBox::clicked, this, [this, year] { onYearBoxClicked(year); });
        if (year >= 2003) {
            auto* button = new QPushButton("Άντληση στοιχείων", yearsPanel);
            button->setObjectName(QString("retrieveYearButton%1").arg(year));
            button->setProperty("year", year);
            retrieveYearButtons_[year] = button;
            yearsLayout->addWidget(button, line, 1);
            connect(button, &QPushButton::clicked, this, [this, year] { onRetrieveYearClicked(year); });
        }
    }
    yearsLayout->addWidget(firstYearEdit_, kNewestYear - kOldestBoxYear, 1);
    yearsLayout->setRowStretch(kNewestYear - kOldestBoxYear + 1, 1);

    // The sheet.
    auto* tabs = new QTabWidget(this);
    auto* page = new QWidget(tabs);
    sheetView_ = new SheetView(page);
    sheetView_->setObjectName("sheetView");
    model_ = new SheetModel(grid_, this);
    delegate_ = new SheetDelegate(this);
    sheetView_->setModel(model_);
    sheetView_->setItemDelegate(delegate_);
    sheetView_->horizontalHeader()->hide();
    sheetView_->verticalHeader()->hide();
    sheetView_->setShowGrid(false);
    sheetView_->setEditTriggers(QAbstractItemView::CurrentChanged | QAbstractItemView::AnyKeyPressed |
                               QAbstractItemView::DoubleClicked | QAbstractItemView::SelectedClicked);
    sheetView_->setSelectionMode(QAbstractItemView::ContiguousSelection);
    sheetView_->viewport()->installEventFilter(this);
    sheetView_->installEventFilter(this);
    auto* pageLayout = new QVBoxLayout(page);
    pageLayout->setContentsMargins(0, 0, 0, 0);
    pageLayout->addWidget(sheetView_);
    tabs->addTab(page, "Ανάλωση κεφαλαίου");

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
        modified_ = true;
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

    // As a new window: 2003 to 2020.
    syncYearBoxes();
    BuildSheetLayout();
    modified_ = false;
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

void AnalysisWindow::refreshGrid() {
    if (model_->refresh()) {
        sheetView_->clearSpans();
        sheetView_->setColumnWidth(0, 253);
        for (int c = 1; c < grid_.columnCount(); ++c)
            if (IsTaxpayerColumn(c) && c + 1 < grid_.columnCount()) sheetView_->setSpan(Row::YearHeader, c, 1, 2);
        for (int r = 0; r < grid_.rowCount(); ++r) sheetView_->setRowHeight(r, SheetView::kRowHeight);
        sheetView_->syncFrozenColumn();
    }
    // Every year column as wide as the widest amount of the sheet (a cut amount
    // would read as another number), one width for all, so that columns keep
    // their places. Applied once the event in hand is over: the press that left
    // a cell lands on the cell it was aimed at before anything moves.
    int width = kYearColumnWidth;
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
    modified_ = false;  // a fresh sheet: nothing in it to lose
    syncYearBoxes();
    refreshGrid();
    confirmYearRemoval_ = true;
}

void AnalysisWindow::ApplyMarriedToAllYears() {
    skartina::ApplyMarriedToAllYears(grid_, marriedAllYearsBox_->isChecked());
}

void AnalysisWindow::onMarriedAllYearsClicked() {
    modified_ = true;
    ApplyMarriedToAllYears();
    RecalculateSheet();
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
    modified_ = true;
    syncYearBoxes();
    refreshGrid();
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
    attempt([&] {
        loaded = LoadGridFromFile(AnalysisFilePath(tablesDir(), afm.toStdString(), workYear_.toStdString()), grid_);
    });
    if (loaded) {
        AlignYearBoxesToSheet(grid_, years_);
        syncYearBoxes();
        modified_ = false;
        sheetAfm_ = afm;
        attempt([&] { ownFile_ = StampOf(AnalysisFilePath(tablesDir(), afm.toStdString(), workYear_.toStdString())); });
    }
    handEntry_.reset();
    RecalculateSheet();
    return loaded;
}

void AnalysisWindow::onTaxNumberLeft() {
    const QString afm = taxNumberEdit_->text();
    if (afm.isEmpty() || retrieving_) return;
    CommitOpenEdit();
    // The sheet belongs to one client: another tax number starts that client's sheet.
    if (!sheetAfm_.isEmpty() && afm != sheetAfm_ && sheetHoldsWork()) {
        switchClient(afm);
        return;
    }
    if (!sheetAfm_.isEmpty() && afm != sheetAfm_) {
        // An empty sheet of another client: the new one's fields, none of the old one's.
        nameEdit_->clear();
        portalUserEdit_->clear();
        portalPasswordEdit_->clear();
    }
    FillTaxpayerFields();
    // A sheet that was nobody's, or an empty one, is now this client's.
    sheetAfm_ = taxNumberEdit_->text();
    // The tax number of a saved analysis typed into a sheet without changes:
    // the client's sheet is offered, so that a save never replaces it by an empty one.
    if (modified_) return;
    const std::string typed = taxNumberEdit_->text().toStdString();
    std::optional<FileStamp> saved;
    SheetGrid onDisk;
    try {
        saved = StampOf(AnalysisFilePath(tablesDir(), typed, workYear_.toStdString()));
        if (!saved || saved == ownFile_ || !LoadGridFromFile(saved->path, onDisk)) return;
    } catch (const std::exception&) {
        return;  // a file that does not open is told when it is opened or replaced
    }
    if (desktop_.prompter->offer("Υπάρχει αποθηκευμένη δήλωση του Α.Φ.Μ. " + typed + " (αποθηκεύτηκε στις " +
                                 SavedAtText(*saved) + ", " + DescribeYearsWithFigures(onDisk) + "). Να ανοίξει;"))
        OpenAnalysisOf(taxNumberEdit_->text());
}

bool AnalysisWindow::sheetHoldsWork() const { return modified_ || !YearsWithFigures(grid_).empty(); }

std::string AnalysisWindow::ownerAfm() const {
    return (sheetAfm_.isEmpty() ? taxNumberEdit_->text() : sheetAfm_).toStdString();
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
    const std::string from = sheetAfm_.toStdString();
    const std::string to = afm.toStdString();
    if (!mayReplaceSheet("Η δήλωση του " + clientLabel(from) +
                         " έχει αλλαγές που δεν έχουν αποθηκευτεί. Να αποθηκευτούν πριν ανοίξει η δήλωση του " +
                         clientLabel(to) + ";")) {
        taxNumberEdit_->setText(sheetAfm_);
        return false;
    }
    bool saved = false;
    attempt([&] { saved = std::filesystem::exists(AnalysisFilePath(tablesDir(), to, workYear_.toStdString())); });
    nameEdit_->clear();
    portalUserEdit_->clear();
    portalPasswordEdit_->clear();
    if (saved && OpenAnalysisOf(afm)) return true;
    // A client without a saved analysis starts on an empty sheet of the same years.
    taxNumberEdit_->setText(afm);
    FillTaxpayerFields();
    marriedAllYearsBox_->setChecked(false);
    ResetSheet();
    ownFile_.reset();
    sheetAfm_ = afm;
    return true;
}

bool AnalysisWindow::sheetIsTheFieldsClients() {
    const QString afm = taxNumberEdit_->text();
    if (afm.isEmpty() || sheetAfm_.isEmpty() || afm == sheetAfm_) return true;
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
    const auto path = AnalysisFilePath(tablesDir(), afm, workYear_.toStdString());
    const std::optional<FileStamp> saved = StampOf(path);
    if (!saved || saved == ownFile_) return {};
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
    if (!sheetAfm_.isEmpty() && sheetAfm_.toStdString() != afm &&
        !desktop_.prompter->confirm("Το φύλλο είναι του " + clientLabel(sheetAfm_.toStdString()) +
                                    ". Να αποθηκευτεί ως δήλωση του " + clientLabel(afm) + ";"))
        return false;
    return saveSheetAs(afm, tell, replaceAgreed);
}

bool AnalysisWindow::saveSheetAs(const std::string& afm, bool tell, bool replaceAgreed) {
    if (!IsWholeAfm(afm) && !desktop_.prompter->confirm(kInvalidAfmAnalysisQuestion)) return false;
    bool written = false;
    attempt([&] {
        const auto path = AnalysisFilePath(tablesDir(), afm, workYear_.toStdString());
        MakeTablesFolderPrivate(tablesDir());
        // Saving the analysis this window opened or saved asks nothing; any other file on disk is named first.
        if (!replaceAgreed) {
            const std::string question = replaceQuestion(kOverwriteAnalysisQuestion, afm);
            if (!question.empty() && !desktop_.prompter->confirm(question)) return;
        }
        // The file it replaces stays among the client's earlier versions.
        SaveGridKeepingHistory(grid_, tablesDir(), afm, path);
        ownFile_ = StampOf(path);
        written = true;
    });
    if (!written) return false;
    modified_ = false;
    sheetAfm_ = QString::fromStdString(afm);
    if (tell) desktop_.prompter->inform(kAnalysisSavedMessage);
    return true;
}

bool AnalysisWindow::mayReplaceSheet(const std::string& lead) {
    CommitOpenEdit();
    if (!modified_) return true;
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
    if (modified_) {
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
    const auto afm = ChooseAnalysis(tablesDir(), workYear_.toStdString(), desktop_, this);
    if (afm && mayReplaceSheet()) OpenAnalysisOf(Q(*afm));
}

void AnalysisWindow::onChooseClientClicked() {
    const auto afm = ChooseTaxpayer(tablesDir(), desktop_, this);
    if (!afm || !mayReplaceSheet()) return;
    taxNumberEdit_->setText(Q(*afm));
    FillTaxpayerFields();
    bool saved = false;
    attempt([&] { saved = std::filesystem::exists(AnalysisFilePath(tablesDir(), *afm, workYear_.toStdString())); });
    if (saved) {
        OpenAnalysisOf(Q(*afm));
    } else {
        ResetSheet();
        ownFile_.reset();
        sheetAfm_ = Q(*afm);
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
    attempt([&] { loaded = LoadGridFromFile(version, grid_); });
    if (!loaded) return;
    AlignYearBoxesToSheet(grid_, years_);
    syncYearBoxes();
    handEntry_.reset();
    // Saving it makes it the client's sheet again; until then the file stays as it is.
    modified_ = true;
    RecalculateSheet();
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

void AnalysisWindow::exportAndOpen(const char* extension,
                                    void (*write)(const SheetGrid&, const std::filesystem::path&, const std::string&,
                                                  const std::string&)) {
    CommitOpenEdit();
    std::filesystem::path file;
    const bool written = attempt([&] {
        auto path = CsvExportPath(tablesDir(), taxNumberEdit_->text().toStdString(), workYear_.toStdString());
        path.replace_extension(extension);
        write(grid_, path, nameEdit_->text().toStdString(), taxNumberEdit_->text().toStdString());
        file = std::filesystem::absolute(path);
    });
    if (written) TellWrittenFile(desktop_, file);
}

void AnalysisWindow::onExportCsvClicked() { exportAndOpen(".csv", ExportToCsv); }

void AnalysisWindow::onExportExcelClicked() { exportAndOpen(".xlsx", ExportToExcel); }

void AnalysisWindow::onSavePdfTriggered() { exportAndOpen(".pdf", ExportToPdf); }

QString AnalysisWindow::defaultPrintFile() const {
    // The client's number and name, in the client folder; characters a file name cannot hold become blanks.
    std::string name = taxNumberEdit_->text().trimmed().toStdString();
    const std::string person = nameEdit_->text().simplified().toStdString();
    if (!person.empty()) name += (name.empty() ? "" : " ") + person;
    for (char& c : name)
        if (c == '/' || static_cast<unsigned char>(c) < 0x20) c = ' ';
    while (!name.empty() && (name.front() == '.' || name.front() == ' ')) name.erase(name.begin());
    if (name.empty()) name = "Ανάλωση κεφαλαίου";
    return QString::fromStdString((std::filesystem::absolute(tablesDir()) / (name + ".pdf")).string());
}

void AnalysisWindow::onPrintTriggered() {
    CommitOpenEdit();
    std::vector<PrintPage> pages;
    if (!attempt([&] { pages = printPages(); })) return;
    QPrinter printer(QPrinter::HighResolution);
    SetUpPrinterForPages(printer);
    const QString defaultFile = defaultPrintFile();
    printer.setDocName(QFileInfo(defaultFile).completeBaseName());
    QPrintDialog dialog(&printer, this);
    dialog.setMinMax(1, static_cast<int>(pages.size()));
    // Qt's own dialog offers the program's folder and one name for every client;
    // its file field (the only one it names "filename") takes the client's file instead.
    const auto offerFile = [&dialog, defaultFile] {
        if (auto* field = dialog.findChild<QLineEdit*>("filename")) field->setText(defaultFile);
    };
    offerFile();
    QTimer::singleShot(0, &dialog, offerFile);
    if (dialog.exec() != QDialog::Accepted) return;
    printOn(printer, pages);
}

std::vector<PrintPage> AnalysisWindow::printPages() const {
    return SheetPrintPages(grid_, nameEdit_->text().toStdString(), taxNumberEdit_->text().toStdString(),
                           PrintDateText(std::chrono::system_clock::now()));
}

bool AnalysisWindow::printTo(QPrinter& printer) {
    std::vector<PrintPage> pages;
    if (!attempt([&] { pages = printPages(); })) return false;
    return printOn(printer, pages);
}

bool AnalysisWindow::printOn(QPrinter& printer, const std::vector<PrintPage>& pages) {
    const std::filesystem::path file = printer.outputFileName().toStdString();
    // A file printed to is the client's pages: the owner's alone before a byte is written.
    // (A file that cannot be made is the printer's failure, told below.)
    const auto ownerOnly = [&file] {
        const int fd = ::open(file.c_str(), O_WRONLY | O_CREAT | O_NOFOLLOW | O_CLOEXEC, 0600);
        if (fd < 0) return;
        ::fchmod(fd, 0600);
        ::close(fd);
    };
    if (!file.empty()) ownerOnly();
    if (!PaintPrintPages(printer, pages)) {
        desktop_.prompter->inform("Η εκτύπωση του πίνακα δεν έγινε: ο εκτυπωτής δεν δέχτηκε τις σελίδες.");
        return false;
    }
    if (!file.empty()) {
        ownerOnly();
        TellWrittenFile(desktop_, file);
    }
    return true;
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
    if (handEntry_.currentCellReached(grid_, {current.column(), current.row()})) RecalculateSheet();
    tellRefusedAmount();
}

void AnalysisWindow::onSheetHeaderPressed(int column, int row) {
    if (model_->readOnly()) return;  // a retrieval is filling the sheet
    if (row == Row::PersonHeader && column >= 1 && ToggleMarriedMark(grid_, column)) {
        modified_ = true;
        RecalculateSheet();
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
