// SPDX-License-Identifier: GPL-3.0-or-later
// The analysis window's parts, each built on its own: the client's fields,
// the portal's credentials and runs, the file commands, the special settings,
// the year column and the sheet. The constructor puts them together and
// connects them.

#include "gui/AnalysisWindow.h"

#include "gui/TaxNumberEdit.h"
#include "gui/CoveragePanel.h"
#include "gui/IntegerEdit.h"
#include "gui/Pictures.h"
#include "gui/SheetDelegate.h"
#include "gui/SheetModel.h"
#include "gui/SheetView.h"
#include "portal/BatchRetrieval.h"
#include "sheet/SheetLayout.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QStyle>
#include <QTabWidget>
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

QWidget* AnalysisWindow::buildClientFields() {
    auto* taxpayer = new QGroupBox("Στοιχεία υπόχρεου", this);
    taxNumberEdit_ = new TaxNumberEdit(taxpayer);
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
    return taxpayer;
}

QWidget* AnalysisWindow::buildPortalFields() {
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
    return portal;
}

QWidget* AnalysisWindow::buildEditingButtons() {
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
    auto* editingButtons = new QHBoxLayout;
    for (QToolButton* b : {saveButton_, openButton_, exportExcelButton_, exportCsvButton_, printButton_})
        editingButtons->addWidget(b);
    chartBox_ = new QCheckBox("Με διάγραμμα υπολοίπων", editing);
    chartBox_->setObjectName("chartBox");
    chartBox_->setToolTip("Το Excel, το PDF και η εκτύπωση παίρνουν και το διάγραμμα των υπολοίπων ανά έτος.");
    auto* editingLayout = new QVBoxLayout(editing);
    editingLayout->addLayout(editingButtons);
    editingLayout->addWidget(chartBox_);
    return editing;
}

QWidget* AnalysisWindow::buildSpecialSettings() {
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
    return special;
}

// The year column, 2020 at the top.
QWidget* AnalysisWindow::buildYearColumn() {
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
    return yearsPanel;
}

QWidget* AnalysisWindow::buildSheet() {
    auto* tabs = new QTabWidget(this);
    auto* page = new QWidget(tabs);
    sheetView_ = new SheetView(page);
    sheetView_->setObjectName("sheetView");
    model_ = new SheetModel(sheet_, this);
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
    coveragePanel_ = new CoveragePanel(sheet_, model_, tabs);
    coveragePanel_->setObjectName("coveragePanel");
    tabs->addTab(coveragePanel_, "Κάλυψη δαπάνης");
    return tabs;
}

}  // namespace skartina
