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
#include "gui/SheetDelegate.h"
#include "gui/SheetModel.h"
#include "sheet/SheetRows.h"
#include "gui/SheetView.h"

#include <QApplication>
#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
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

    // Client fields.
    auto* taxpayer = new QGroupBox("Στοιχεία υπόχρεου", this);
    edAFM = new AfmEdit(taxpayer);
    edAFM->setObjectName("edAFM");
    sbGetCustom = new QToolButton(taxpayer);
    sbGetCustom->setObjectName("sbGetCustom");
    sbGetCustom->setIcon(style()->standardIcon(QStyle::SP_FileDialogContentsView));
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

    auto* editing = new QGroupBox("Επεξεργασία δήλωσης", this);
    imSave = ImageButton(editing, "imSave", QStyle::SP_DialogSaveButton, "Αποθήκευση δήλωσης");
    imOpen = ImageButton(editing, "imOpen", QStyle::SP_DialogOpenButton, "Άνοιγμα δήλωσης");
    imExport = ImageButton(editing, "imExport", QStyle::SP_FileDialogDetailedView, "Εκτύπωση/Εξαγωγή σε Excel");
    imExportToCsv = ImageButton(editing, "imExportToCsv", QStyle::SP_FileIcon, "Εκτύπωση/Εξαγωγή σε Excel");
    auto* editingLayout = new QHBoxLayout(editing);
    for (QToolButton* b : {imSave, imOpen, imExport, imExportToCsv}) editingLayout->addWidget(b);

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
    connect(edFirstYear, &IntegerEdit::edited, this, [this] { edFirstYearChange(); });
    const auto reportInt = [this](const QString& message) { desktop_.prompter->inform(message.toStdString()); };
    edFirstYear->setErrorReporter(reportInt);
    edExtraTime->setErrorReporter(reportInt);
    connect(delegate_, &SheetDelegate::textEdited, this, [this](CellPos cell) { handEntry_.textEdited(cell); });
    connect(delegate_, &SheetDelegate::enterPressed, this, [this] { sgVelmoraEnter(); });
    connect(sgVelmora, &QTableView::clicked, this, [this] { sgVelmoraClick(); });
    connect(sgVelmora->selectionModel(), &QItemSelectionModel::currentChanged, this, [this] { sgVelmoraClick(); });

    fieldOrder_ = {edAFM, edBigName, edUserName, edPassword};
    for (QLineEdit* field : fieldOrder_) field->installEventFilter(this);

    // As a new window: 2003 to 2020.
    syncYearBoxes();
    BuildSheetLayout();
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
    if (!model_->refresh()) return;
    sgVelmora->clearSpans();
    sgVelmora->setColumnWidth(0, 253);
    for (int c = 1; c < grid_.columnCount(); ++c) {
        sgVelmora->setColumnWidth(c, 64);
        if (IsTaxpayerColumn(c) && c + 1 < grid_.columnCount()) sgVelmora->setSpan(Row::YearHeader, c, 1, 2);
    }
    for (int r = 0; r < grid_.rowCount(); ++r) sgVelmora->setRowHeight(r, 14);
    sgVelmora->syncFrozenColumn();
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
    syncYearBoxes();
    refreshGrid();
    confirmYearRemoval_ = true;
}

void AnalysisWindow::ApplyMarriedToAllYears() { skartina::ApplyMarriedToAllYears(grid_, cbEggamos->isChecked()); }

void AnalysisWindow::cbEggamosClick() {
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
    }
    handEntry_.reset();
    RecalculateSheet();
    return loaded;
}

void AnalysisWindow::edAFMExit() {
    if (!edAFM->text().isEmpty()) FillTaxpayerFields();
}

void AnalysisWindow::imSaveClick() {
    const std::string afm = edAFM->text().toStdString();
    if (afm.empty()) {
        desktop_.prompter->inform(kNoAfmToSaveMessage);
        return;
    }
    bool written = false;
    attempt([&] {
        const auto path = AnalysisFilePath(tablesDir(), afm, WorkYear.toStdString());
        CreateTablesFolder(tablesDir());
        if (std::filesystem::exists(path) && !desktop_.prompter->confirm(kOverwriteAnalysisQuestion)) return;
        SaveGridToFile(grid_, path);
        written = true;
    });
    if (written) desktop_.prompter->inform(kAnalysisSavedMessage);
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

void AnalysisWindow::GetEtosOfTAxisClick(QPushButton*) { desktop_.prompter->inform(kNotAvailableYetMessage); }

void AnalysisWindow::exportAndOpen(const char* extension,
                                    void (*write)(const SheetGrid&, const std::filesystem::path&, const std::string&,
                                                  const std::string&)) {
    QString file;
    const bool written = attempt([&] {
        auto path = CsvExportPath(tablesDir(), edAFM->text().toStdString(), WorkYear.toStdString());
        path.replace_extension(extension);
        write(grid_, path, edBigName->text().toStdString(), edAFM->text().toStdString());
        file = QString::fromStdString(path.string());
    });
    if (!written) return;
    if (!desktop_.open(file))
        desktop_.prompter->inform("Το αρχείο «" + file.toStdString() +
                                  "» γράφτηκε, αλλά δεν βρέθηκε πρόγραμμα για να ανοίξει.");
}

void AnalysisWindow::imExportToCsvClick() { exportAndOpen(".csv", ExportToCsv); }

void AnalysisWindow::imExportClick() { exportAndOpen(".xlsx", ExportToExcel); }

void AnalysisWindow::gbWaitClick() { gbWait->hide(); }

void AnalysisWindow::sgVelmoraClick() {
    gbWait->hide();
    const QModelIndex current = sgVelmora->currentIndex();
    if (handEntry_.currentCellReached(grid_, {current.column(), current.row()})) RecalculateSheet();
}

void AnalysisWindow::sgVelmoraMouseDown(int column, int row) {
    if (row == Row::PersonHeader && column >= 1 && ToggleMarriedMark(grid_, column)) RecalculateSheet();
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
