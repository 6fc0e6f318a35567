#include "gui/AnalysisWindow.h"

#include "gui/QtText.h"
#include "common/ClientFiles.h"
#include "registry/TaxpayerRecord.h"
#include "gui/ClientListWindow.h"
#include "gui/AnalysisListWindow.h"
#include "gui/AfmEdit.h"
#include "gui/IntegerEdit.h"
#include "sheet/AnalysisFile.h"
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
#include "portal/PumpClock.h"
#include "portal/PortalBrowser.h"
#include "portal/YearRetrieval.h"
#include "portal/BatchRetrieval.h"
#include "portal/YearSources.h"
#include "gui/BatchProgressWindow.h"

#include <QApplication>
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

namespace skartina {
namespace {

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
    setObjectName("fiGetTaxisInfo");
    setWindowTitle("Πληροφόρηση από Α.Α.Δ.Ε.");
    resize(1280, 860);
    // On a smaller screen (a 1366 × 768 laptop) the window takes the whole
    // screen, so the sheet shows down to its final balance.
    if (const QScreen* shown = screen()) {
        const QSize available = shown->availableGeometry().size();
        if (available.width() < width() || available.height() < height()) setWindowState(Qt::WindowMaximized);
    }

    // Client fields.
    auto* taxpayer = new QGroupBox("Στοιχεία υπόχρεου", this);
    edAFM = new AfmEdit(taxpayer);
    edAFM->setObjectName("edAFM");
    sbGetCustom = new QToolButton(taxpayer);
    sbGetCustom->setObjectName("sbGetCustom");
    sbGetCustom->setIcon(style()->standardIcon(QStyle::SP_FileDialogContentsView));
    // A speed button: clicked, never tabbed to, so Enter after the tax number reaches the name.
    sbGetCustom->setFocusPolicy(Qt::NoFocus);
    edBigName = new QLineEdit(taxpayer);
    edBigName->setObjectName("edBigName");
    cbEggamos = new QCheckBox("Εγγάμος σε όλα τα έτη", taxpayer);
    cbEggamos->setObjectName("cbEggamos");
    cbLogistis = new QCheckBox("Λογιστής με εξουσιοδοτήσεις από Φ.Π.", taxpayer);
    cbLogistis->setObjectName("cbLogistis");
    auto* taxpayerLayout = new QGridLayout(taxpayer);
    taxpayerLayout->addWidget(new QLabel("Α.Φ.Μ.", taxpayer), 0, 0);
    taxpayerLayout->addWidget(edAFM, 0, 1);
    taxpayerLayout->addWidget(sbGetCustom, 0, 2);
    taxpayerLayout->addWidget(new QLabel("Επώνυμο/ία", taxpayer), 1, 0);
    taxpayerLayout->addWidget(edBigName, 1, 1, 1, 2);
    taxpayerLayout->addWidget(cbEggamos, 2, 0, 1, 3);
    taxpayerLayout->addWidget(cbLogistis, 3, 0, 1, 3);

    auto* portal = new QGroupBox("Στοιχεία εισόδου στην ΑΑΔΕ", this);
    edUserName = new QLineEdit(portal);
    edUserName->setObjectName("edUserName");
    edPassword = new QLineEdit(portal);
    edPassword->setObjectName("edPassword");
    edPassword->setEchoMode(QLineEdit::Password);
    auto* portalLayout = new QGridLayout(portal);
    portalLayout->addWidget(new QLabel("UserName", portal), 0, 0);
    portalLayout->addWidget(edUserName, 0, 1);
    portalLayout->addWidget(new QLabel("Password", portal), 1, 0);
    portalLayout->addWidget(edPassword, 1, 1);
    // The run of every ticked year and the portal's kept documents sit with the
    // portal's credentials: the year column has no height to spare on a laptop.
    btAllYears = new QPushButton(QString::fromStdString(kBatchButtonCaption), portal);
    btAllYears->setObjectName("btAllYears");
    portalLayout->addWidget(btAllYears, 2, 0, 1, 2);
    btSources = new QPushButton("Έγγραφα Α.Α.Δ.Ε. του πελάτη", portal);
    btSources->setObjectName("btSources");
    portalLayout->addWidget(btSources, 3, 0, 1, 2);

    auto* editing = new QGroupBox("Επεξεργασία δήλωσης", this);
    imSave = ImageButton(editing, "imSave", QStyle::SP_DialogSaveButton, "Αποθήκευση δήλωσης");
    imOpen = ImageButton(editing, "imOpen", QStyle::SP_DialogOpenButton, "Άνοιγμα δήλωσης");
    imExport = ImageButton(editing, "imExport", QStyle::SP_FileDialogDetailedView, "Εκτύπωση/Εξαγωγή σε Excel");
    imExportToCsv = ImageButton(editing, "imExportToCsv", QStyle::SP_FileIcon, "Εκτύπωση/Εξαγωγή σε Excel");
    imPrint = ImageButton(editing, "imPrint", QStyle::SP_FileDialogDetailedView, "Εκτύπωση");
    imPrint->setIcon(QIcon(PrinterPicture(QSize(32, 32))));
    imPrint->setPopupMode(QToolButton::InstantPopup);
    auto* printMenu = new QMenu(imPrint);
    miPrintPdf = printMenu->addAction("Αποθήκευση ως PDF");
    miPrintPdf->setObjectName("miPrintPdf");
    miPrint = printMenu->addAction("Εκτύπωση...");
    miPrint->setObjectName("miPrint");
    imPrint->setMenu(printMenu);
    auto* editingLayout = new QHBoxLayout(editing);
    for (QToolButton* b : {imSave, imOpen, imExport, imExportToCsv, imPrint}) editingLayout->addWidget(b);

    auto* special = new QGroupBox("Ειδικές ρυθμίσεις", this);
    edExtraTime = new IntegerEdit(special);
    edExtraTime->setObjectName("edExtraTime");
    edExtraTime->setText("0");
    edExtraTime->setMaximumWidth(50);
    auto* up = new QToolButton(special);
    up->setArrowType(Qt::UpArrow);
    auto* down = new QToolButton(special);
    down->setArrowType(Qt::DownArrow);
    connect(up, &QToolButton::clicked, this, [this] { edExtraTime->setText(QString::number(edExtraTime->Value() + 1)); });
    connect(down, &QToolButton::clicked, this,
            [this] { edExtraTime->setText(QString::number(std::max(0, edExtraTime->Value() - 1))); });
    auto* specialLayout = new QGridLayout(special);
    specialLayout->addWidget(new QLabel("Αύξηση χρόνου αναμονής εμφάνισης σελίδας ΑΑΔΕ.", special), 0, 0, 1, 4);
    specialLayout->addWidget(edExtraTime, 1, 0);
    specialLayout->addWidget(up, 1, 1);
    specialLayout->addWidget(down, 1, 2);
    specialLayout->addWidget(new QLabel("sec", special), 1, 3);
    pnCounter = new QLabel(special);
    pnCounter->setObjectName("pnCounter");
    pnCounter->setFrameShape(QFrame::Panel);
    pnCounter->setFrameShadow(QFrame::Sunken);
    pnCounter->setAlignment(Qt::AlignCenter);
    pnCounter->setMinimumWidth(40);
    specialLayout->addWidget(pnCounter, 1, 4);

    auto* top = new QHBoxLayout;
    top->addWidget(taxpayer, 3);
    top->addWidget(portal, 2);
    top->addWidget(editing, 1);
    top->addWidget(special, 2);

    // The year column, 2020 at the top.
    auto* yearsPanel = new QWidget(this);
    auto* yearsLayout = new QGridLayout(yearsPanel);
    yearsLayout->setVerticalSpacing(2);
    edFirstYear = new IntegerEdit(yearsPanel);
    edFirstYear->setObjectName("edFirstYear");
    edFirstYear->setText("2000");
    edFirstYear->setMaximumWidth(50);
    for (int year = kNewestYear; year >= kOldestBoxYear; --year) {
        const int line = kNewestYear - year;
        auto* box = new QCheckBox(QString::number(year), yearsPanel);
        box->setObjectName(QString("cb%1").arg(year));
        yearBoxes[year] = box;
        yearsLayout->addWidget(box, line, 0);
        connect(box, &QCheckBox::clicked, this, [this, box] { cbAllClick(box); });
        if (year >= 2003) {
            auto* button = new QPushButton("Άντληση στοιχείων", yearsPanel);
            button->setObjectName(QString("bt%1").arg(year));
            button->setProperty("tag", year);
            yearButtons[year] = button;
            yearsLayout->addWidget(button, line, 1);
            connect(button, &QPushButton::clicked, this, [this, button] { GetEtosOfTAxisClick(button); });
        }
    }
    yearsLayout->addWidget(edFirstYear, kNewestYear - kOldestBoxYear, 1);
    yearsLayout->setRowStretch(kNewestYear - kOldestBoxYear + 1, 1);

    // The sheet.
    auto* tabs = new QTabWidget(this);
    auto* page = new QWidget(tabs);
    sgVelmora = new SheetView(page);
    sgVelmora->setObjectName("sgVelmora");
    model_ = new SheetModel(grid_, this);
    delegate_ = new SheetDelegate(this);
    sgVelmora->setModel(model_);
    sgVelmora->setItemDelegate(delegate_);
    sgVelmora->horizontalHeader()->hide();
    sgVelmora->verticalHeader()->hide();
    sgVelmora->setShowGrid(false);
    sgVelmora->setEditTriggers(QAbstractItemView::CurrentChanged | QAbstractItemView::AnyKeyPressed |
                               QAbstractItemView::DoubleClicked | QAbstractItemView::SelectedClicked);
    sgVelmora->setSelectionMode(QAbstractItemView::ContiguousSelection);
    sgVelmora->viewport()->installEventFilter(this);
    sgVelmora->installEventFilter(this);
    auto* pageLayout = new QVBoxLayout(page);
    pageLayout->setContentsMargins(0, 0, 0, 0);
    pageLayout->addWidget(sgVelmora);
    tabs->addTab(page, "Ανάλωση κεφαλαίου");

    gbWait = new QLabel("Παρακαλώ περιμένετε...", this);
    gbWait->setObjectName("gbWait");
    gbWait->setAlignment(Qt::AlignCenter);
    gbWait->setStyleSheet("background-color: purple; color: white; font-weight: bold; font-size: 16px;");
    gbWait->setFixedSize(260, 80);
    gbWait->hide();
    gbWait->installEventFilter(this);

    auto* body = new QHBoxLayout;
    body->addWidget(yearsPanel);
    body->addWidget(tabs, 1);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addLayout(body, 1);

    // Handlers.
    connect(edAFM, &AfmEdit::exited, this, [this] { edAFMExit(); });
    connect(sbGetCustom, &QToolButton::clicked, this, [this] { AddCustClick(); });
    connect(cbEggamos, &QCheckBox::clicked, this, [this] { cbEggamosClick(); });
    connect(imSave, &QToolButton::clicked, this, [this] { imSaveClick(); });
    connect(imOpen, &QToolButton::clicked, this, [this] { imOpenClick(); });
    connect(imExport, &QToolButton::clicked, this, [this] { imExportClick(); });
    connect(imExportToCsv, &QToolButton::clicked, this, [this] { imExportToCsvClick(); });
    connect(miPrintPdf, &QAction::triggered, this, [this] { miPrintPdfClick(); });
    connect(miPrint, &QAction::triggered, this, [this] { miPrintClick(); });
    connect(edFirstYear, &IntegerEdit::edited, this, [this] { edFirstYearChange(); });
    connect(btAllYears, &QPushButton::clicked, this, [this] { btAllYearsClick(); });
    connect(btSources, &QPushButton::clicked, this, [this] { btSourcesClick(); });
    const auto reportInt = [this](const QString& message) { desktop_.prompter->inform(message.toStdString()); };
    edFirstYear->setErrorReporter(reportInt);
    edExtraTime->setErrorReporter(reportInt);
    connect(delegate_, &SheetDelegate::textEdited, this, [this](CellPos cell) {
        handEntry_.textEdited(cell);
        modified_ = true;
    });
    connect(delegate_, &SheetDelegate::enterPressed, this, [this] { sgVelmoraEnter(); });
    connect(delegate_, &SheetDelegate::stepAside, this, [this](int columns) { sgVelmoraStepAside(columns); });
    connect(sgVelmora, &QTableView::clicked, this, [this] { sgVelmoraClick(); });
    connect(sgVelmora->selectionModel(), &QItemSelectionModel::currentChanged, this, [this] { sgVelmoraClick(); });

    fieldOrder_ = {edAFM, edBigName, edUserName, edPassword};
    for (QLineEdit* field : fieldOrder_) field->installEventFilter(this);

    // As a new window: 2003 to 2020.
    syncYearBoxes();
    BuildSheetLayout();
    modified_ = false;
}

AnalysisWindow::~AnalysisWindow() {
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
    for (auto& [year, box] : yearBoxes) {
        const QSignalBlocker block(box);
        box->setChecked(years_.isTicked(year));
    }
}

void AnalysisWindow::refreshGrid() {
    if (model_->refresh()) {
        sgVelmora->clearSpans();
        sgVelmora->setColumnWidth(0, 253);
        for (int c = 1; c < grid_.columnCount(); ++c)
            if (IsTaxpayerColumn(c) && c + 1 < grid_.columnCount()) sgVelmora->setSpan(Row::YearHeader, c, 1, 2);
        for (int r = 0; r < grid_.rowCount(); ++r) sgVelmora->setRowHeight(r, SheetView::kRowHeight);
        sgVelmora->syncFrozenColumn();
    }
    // An amount wider than its column widens it: a cut amount would read as another number.
    for (int c = 1; c < grid_.columnCount(); ++c) {
        const int width = std::max(kYearColumnWidth, SheetCellTextWidth(grid_, c));
        if (sgVelmora->columnWidth(c) != width) sgVelmora->setColumnWidth(c, width);
    }
}

void AnalysisWindow::BuildSheetLayout() {
    years_.setFirstYear(edFirstYear->Value());
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
    years_.setFirstYear(edFirstYear->Value());
    attempt([&] { skartina::ResetSheet(grid_, years_); });
    handEntry_.reset();
    modified_ = false;  // a fresh sheet: nothing in it to lose
    syncYearBoxes();
    refreshGrid();
    confirmYearRemoval_ = true;
}

void AnalysisWindow::ApplyMarriedToAllYears() { skartina::ApplyMarriedToAllYears(grid_, cbEggamos->isChecked()); }

void AnalysisWindow::cbEggamosClick() {
    modified_ = true;
    ApplyMarriedToAllYears();
    RecalculateSheet();
}

void AnalysisWindow::cbAllClick(QCheckBox* box) {
    const int year = box->objectName().mid(2).toInt();
    years_.setFirstYear(edFirstYear->Value());
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

void AnalysisWindow::edFirstYearChange() { yearBoxes[kOldestBoxYear]->setText(edFirstYear->text()); }

void AnalysisWindow::FillTaxpayerFields() {
    const std::string afm = edAFM->text().toStdString();
    if (afm.empty() || !AfmFileNameProblem(afm).empty()) return;
    attempt([&] {
        const auto record = LoadTaxpayer(tablesDir(), afm);
        if (!record) return;
        edAFM->setText(Q(record->afm));
        edBigName->setText(Q(record->surname + " " + record->firstName));
        edUserName->setText(Q(record->portalUser));
        edPassword->setText(Q(record->portalPassword));
    });
}

bool AnalysisWindow::OpenAnalysisOf(const QString& afm) {
    edAFM->setText(afm);
    FillTaxpayerFields();
    bool loaded = false;
    attempt([&] {
        loaded = LoadGridFromFile(AnalysisFilePath(tablesDir(), afm.toStdString(), WorkYear.toStdString()), grid_);
    });
    if (loaded) {
        AlignYearBoxesToSheet(grid_, years_);
        syncYearBoxes();
        modified_ = false;
    }
    handEntry_.reset();
    RecalculateSheet();
    return loaded;
}

void AnalysisWindow::edAFMExit() {
    if (!edAFM->text().isEmpty()) FillTaxpayerFields();
}

void AnalysisWindow::CommitOpenEdit() {
    sgVelmora->commitOpenEditor();
    if (handEntry_.finish(grid_)) RecalculateSheet();
}

bool AnalysisWindow::imSaveClick() {
    CommitOpenEdit();
    const std::string afm = edAFM->text().toStdString();
    if (afm.empty()) {
        desktop_.prompter->inform(kNoAfmToSaveMessage);
        return false;
    }
    bool written = false;
    attempt([&] {
        const auto path = AnalysisFilePath(tablesDir(), afm, WorkYear.toStdString());
        MakeTablesFolderPrivate(tablesDir());
        if (std::filesystem::exists(path) && !desktop_.prompter->confirm(kOverwriteAnalysisQuestion)) return;
        SaveGridToFile(grid_, path);
        written = true;
    });
    if (!written) return false;
    modified_ = false;
    desktop_.prompter->inform(kAnalysisSavedMessage);
    return true;
}

void AnalysisWindow::reject() {
    if (retrieving_) {
        closeRequested_ = true;  // the retrieval ends at its next wait, then the window closes
        return;
    }
    CommitOpenEdit();
    if (modified_) {
        switch (desktop_.prompter->ask(kSaveChangesQuestion)) {
        case Prompter::Answer::Yes:
            if (!imSaveClick()) return;  // not saved: the window and its sheet stay
            break;
        case Prompter::Answer::No:
            break;
        case Prompter::Answer::Cancel:
            return;
        }
    }
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

void AnalysisWindow::imOpenClick() {
    if (const auto afm = ChooseAnalysis(tablesDir(), WorkYear.toStdString(), desktop_, this))
        OpenAnalysisOf(Q(*afm));
}

void AnalysisWindow::AddCustClick() {
    const auto afm = ChooseTaxpayer(tablesDir(), desktop_, this);
    if (!afm) return;
    edAFM->setText(Q(*afm));
    FillTaxpayerFields();
    bool saved = false;
    attempt([&] { saved = std::filesystem::exists(AnalysisFilePath(tablesDir(), *afm, WorkYear.toStdString())); });
    if (saved)
        OpenAnalysisOf(Q(*afm));
    else
        ResetSheet();
}

namespace {

// What a retrieval shows in the window.
class WindowRetrievalView : public RetrievalView {
public:
    WindowRetrievalView(AnalysisWindow& window, QLabel* wait, QLabel* counter)
        : window_(window), wait_(wait), counter_(counter) {}
    void ShowWaiting() override {
        wait_->move((window_.width() - wait_->width()) / 2, (window_.height() - wait_->height()) / 2);
        wait_->raise();
        wait_->show();
    }
    void HideWaiting() override { wait_->hide(); }
    void ReportTaken() override { counter_->setText("ΟΚ"); }
    void RecalculateSheet() override { window_.RecalculateSheet(); }

private:
    AnalysisWindow& window_;
    QLabel* wait_;
    QLabel* counter_;
};

}  // namespace

Browser& AnalysisWindow::portalBrowser() {
    if (!browser_) {
        // Every wait of the portal layer keeps the window alive; a close
        // request during a retrieval ends the wait, and with it the retrieval.
        clock_ = std::make_unique<SteadyPumpClock>([this] {
            QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
            if (closeRequested_) throw RetrievalCancelled();
            QThread::msleep(1);
        });
        browser_ = MakePortalBrowser(*clock_, PortalHostsFromEnvironment());
    }
    return *browser_;
}

void AnalysisWindow::setSheetCommandsEnabled(bool enabled) {
    for (auto& [year, button] : yearButtons) button->setEnabled(enabled);
    for (auto& [year, box] : yearBoxes) box->setEnabled(enabled);
    for (QWidget* command : std::initializer_list<QWidget*>{edFirstYear, sbGetCustom, imOpen, imSave, imExport, imExportToCsv,
                                                            cbEggamos, btAllYears})
        command->setEnabled(enabled);
}

void AnalysisWindow::GetEtosOfTAxisClick(QPushButton* button) {
    // One retrieval at a time: they share the code table and the sheet.
    if (retrieving_) return;
    CommitOpenEdit();
    const int year = button->objectName().mid(2).toInt();
    const auto box = yearBoxes.find(year);
    const bool ticked = box != yearBoxes.end() && box->second->isChecked();
    const YearRequest request{year,
                              {edAFM->text().toStdString(), edUserName->text().toStdString(),
                               edPassword->text().toStdString(), cbLogistis->isChecked()},
                              edExtraTime->Value()};
    Browser& browser = portalBrowser();
    const QPoint anchor = frameGeometry().topLeft();
    PortalSession portal{browser, PortalHostsFromEnvironment(), PortalTimingFromEnvironment(), {anchor.x(), anchor.y()}, {}};
    WindowRetrievalView view(*this, gbWait, pnCounter);

    // What a retrieval changes is a change to save; its recalculation alone is not.
    RecalculateSheet();
    const SheetGrid before = grid_;
    retrieving_ = true;
    setSheetCommandsEnabled(false);
    const YearOutcome outcome = GetEtosOfTAxis(portal, request, ticked, e1_, grid_, *desktop_.prompter, view);
    setSheetCommandsEnabled(true);
    retrieving_ = false;
    if (!(grid_ == before)) modified_ = true;

    if (outcome == YearOutcome::Cancelled) closeRequested_ = true;
    closeAfterRetrieval(browser);
}

bool AnalysisWindow::closeAfterRetrieval(Browser& browser) {
    if (!closeRequested_) return false;
    closeRequested_ = false;
    // The window was closed meanwhile: the browser goes with it, and the
    // sheet's changes are offered for saving as at any close.
    browser.BrowserQuit();
    gbWait->hide();
    reject();
    return !isVisible();
}

namespace {

// What a run of many years shows in the window: the progress window, and the
// sheet recalculated as each year arrives.
class WindowBatchView : public BatchView {
public:
    WindowBatchView(AnalysisWindow& window, BatchProgressWindow& progress) : window_(window), progress_(progress) {}
    void Progress(const BatchProgress& progress) override { progress_.ShowProgress(progress); }
    void YearFilled(int) override {
        window_.markModified();
        window_.RecalculateSheet();
    }
    void YearEnded(const YearResult&) override { progress_.YearEnded(); }
    bool CancelRequested() override { return progress_.cancelRequested(); }

private:
    AnalysisWindow& window_;
    BatchProgressWindow& progress_;
};

}  // namespace

void AnalysisWindow::btAllYearsClick() {
    if (retrieving_) return;
    CommitOpenEdit();
    BatchRequest request;
    request.credentials = {edAFM->text().toStdString(), edUserName->text().toStdString(), edPassword->text().toStdString(),
                           cbLogistis->isChecked()};
    request.extraSeconds = edExtraTime->Value();
    for (const auto& [year, box] : yearBoxes)
        if (year >= 2003 && box->isChecked()) request.years.push_back(year);
    if (request.years.empty()) return desktop_.prompter->inform(kNoYearsTickedMessage);
    if (request.credentials.afm.empty()) return desktop_.prompter->inform(kNoAfmMessage);
    if (request.credentials.user.empty() || request.credentials.password.empty())
        return desktop_.prompter->inform(kNoCredentialsMessage);
    if (!attempt([&] { request.sourcesFolder = SourcesFolder(tablesDir(), request.credentials.afm); })) return;

    Browser& browser = portalBrowser();
    const QPoint anchor = frameGeometry().topLeft();
    PortalSession portal{browser, PortalHostsFromEnvironment(), PortalTimingFromEnvironment(), {anchor.x(), anchor.y()}, {}};
    BatchProgressWindow progress(static_cast<int>(request.years.size()), this);
    WindowBatchView view(*this, progress);

    retrieving_ = true;
    setSheetCommandsEnabled(false);
    progress.show();
    const BatchResult result = RetrieveYears(portal, request, e1_, grid_, view);
    progress.hide();
    setSheetCommandsEnabled(true);
    retrieving_ = false;
    if (closeAfterRetrieval(browser)) return;

    RecalculateSheet();
    std::string summary;
    for (const std::string& line : BatchSummaryLines(result)) summary += (summary.empty() ? "" : "\n") + line;
    desktop_.prompter->inform(summary);
}

void AnalysisWindow::btSourcesClick() {
    const std::string afm = edAFM->text().toStdString();
    if (afm.empty()) return desktop_.prompter->inform(kNoAfmMessage);
    std::filesystem::path folder;
    if (!attempt([&] { folder = SourcesFolder(tablesDir(), afm); })) return;
    if (!std::filesystem::is_directory(folder))
        return desktop_.prompter->inform("Δεν υπάρχουν ακόμη έγγραφα της Α.Α.Δ.Ε. για τον Α.Φ.Μ. " + afm + ".");
    if (!desktop_.open(QString::fromStdString(folder.string())))
        desktop_.prompter->inform("Ο φάκελος «" + folder.string() + "» δεν άνοιξε.");
}

void AnalysisWindow::exportAndOpen(const char* extension,
                                    void (*write)(const SheetGrid&, const std::filesystem::path&, const std::string&,
                                                  const std::string&)) {
    CommitOpenEdit();
    QString file;
    const bool written = attempt([&] {
        auto path = CsvExportPath(tablesDir(), edAFM->text().toStdString(), WorkYear.toStdString());
        path.replace_extension(extension);
        write(grid_, path, edBigName->text().toStdString(), edAFM->text().toStdString());
        file = QString::fromStdString(std::filesystem::absolute(path).string());
    });
    if (!written) return;
    if (!desktop_.open(file))
        desktop_.prompter->inform("Το αρχείο «" + file.toStdString() +
                                  "» γράφτηκε, αλλά δεν βρέθηκε πρόγραμμα για να ανοίξει.");
}

void AnalysisWindow::imExportToCsvClick() { exportAndOpen(".csv", ExportToCsv); }

void AnalysisWindow::imExportClick() { exportAndOpen(".xlsx", ExportToExcel); }

void AnalysisWindow::miPrintPdfClick() { exportAndOpen(".pdf", ExportToPdf); }

void AnalysisWindow::miPrintClick() {
    std::vector<PrintPage> pages;
    if (!attempt([&] {
            pages = SheetPrintPages(grid_, edBigName->text().toStdString(), edAFM->text().toStdString(),
                                    PrintDateText(std::chrono::system_clock::now()));
        }))
        return;
    QPrinter printer(QPrinter::HighResolution);
    SetUpPrinterForPages(printer);
    printer.setDocName(QString::fromUtf8(kExportHeading.data(), static_cast<qsizetype>(kExportHeading.size())));
    QPrintDialog dialog(&printer, this);
    dialog.setMinMax(1, static_cast<int>(pages.size()));
    if (dialog.exec() != QDialog::Accepted) return;
    if (!PaintPrintPages(printer, pages))
        desktop_.prompter->inform("Η εκτύπωση του πίνακα δεν έγινε: ο εκτυπωτής δεν δέχτηκε τις σελίδες.");
}

void AnalysisWindow::gbWaitClick() { gbWait->hide(); }

void AnalysisWindow::sgVelmoraClick() {
    gbWait->hide();
    const QModelIndex current = sgVelmora->currentIndex();
    if (handEntry_.currentCellReached(grid_, {current.column(), current.row()})) RecalculateSheet();
}

void AnalysisWindow::sgVelmoraMouseDown(int column, int row) {
    if (row == Row::PersonHeader && column >= 1 && ToggleMarriedMark(grid_, column)) {
        modified_ = true;
        RecalculateSheet();
    }
}

void AnalysisWindow::sgVelmoraStepAside(int columns) {
    const QModelIndex current = sgVelmora->currentIndex();
    const int column = current.column() + columns;
    if (!current.isValid() || column < 1 || column >= grid_.columnCount()) return;
    sgVelmora->setCurrentIndex(model_->index(current.row(), column));
}

void AnalysisWindow::sgVelmoraEnter() {
    const QModelIndex current = sgVelmora->currentIndex();
    if (!current.isValid() || current.row() + 1 >= grid_.rowCount()) return;
    sgVelmora->setCurrentIndex(model_->index(current.row() + 1, current.column()));
}

bool AnalysisWindow::eventFilter(QObject* object, QEvent* event) {
    if (object == gbWait && event->type() == QEvent::MouseButtonPress) {
        gbWaitClick();
        return true;
    }
    if (object == sgVelmora->viewport() && event->type() == QEvent::MouseButtonPress) {
        const auto* press = static_cast<QMouseEvent*>(event);
        const QModelIndex index = sgVelmora->indexAt(press->position().toPoint());
        // Presses on the headers and captions never move the current cell.
        if (index.isValid() && (index.row() < 2 || index.column() < 1)) {
            if (press->button() == Qt::LeftButton) sgVelmoraMouseDown(index.column(), index.row());
            gbWait->hide();
            return true;
        }
    }
    if (object == sgVelmora && event->type() == QEvent::KeyPress) {
        const auto key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            sgVelmoraEnter();
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
