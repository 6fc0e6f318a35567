// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/MainWindow.h"

#include "sheet/AnalysisConversion.h"
#include "common/TextFile.h"
#include "gui/Pictures.h"
#include "startup/ProductInfo.h"
#include "startup/Settings.h"
#include "gui/AboutWindow.h"
#include "gui/HelpWindow.h"
#include "startup/HelpFile.h"
#include "gui/VersionCheckWindow.h"
#include "gui/InfoWindow.h"
#include "common/ClientFiles.h"
#include "gui/ClientEntryWindow.h"
#include "gui/ClientListWindow.h"
#include "gui/TaxNumberEdit.h"
#include "gui/AnalysisWindow.h"
#include "browser/StartUpTidy.h"
#include "gui/OfficeRunWindow.h"
#include "registry/ClientImport.h"

#include <QApplication>
#include <QEvent>
#include <QFrame>
#include <QLabel>
#include <QFileDialog>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>
#include <QStyle>
#include <QTimer>

#include <algorithm>
#include <QToolBar>
#include <QToolButton>

namespace skartina {
namespace {

constexpr int kTileWidth = 300;
constexpr int kTileHeight = 300;
constexpr int kShadowOffset = 6;
constexpr int kPressOffset = 4;

QColor HighlightColour() { return QApplication::palette().color(QPalette::Light); }
QColor PressedColour() { return QApplication::palette().color(QPalette::ToolTipBase); }
QColor ShadowColour() { return QApplication::palette().color(QPalette::Dark); }

}  // namespace

MainWindow::MainWindow(const std::filesystem::path& workDir, DesktopServices desktop, HttpClient& http, QWidget* parent)
    : QMainWindow(parent), workDir_(workDir), desktop_(std::move(desktop)), http_(http) {
    setObjectName("mainWindow");

    QMenu* file = menuBar()->addMenu("&Αρχείο");
    // Saving and printing belong to the analysis window; here they stay greyed out.
    QAction* menuSave = file->addAction("&Αποθήκευση");
    menuSave->setObjectName("saveAction");
    menuSave->setShortcut(Qt::Key_F2);
    QAction* menuSaveAs = file->addAction("Αποθήκευση &Ως...");
    menuSaveAs->setObjectName("saveAsAction");
    QAction* menuPrint = file->addAction("&Εκτύπωση");
    menuPrint->setObjectName("printAction");
    for (QAction* inert : {menuSave, menuSaveAs, menuPrint}) inert->setEnabled(false);
    file->addSeparator();
    exitAction_ = file->addAction("Έ&ξοδος");
    exitAction_->setObjectName("exitAction");
    exitAction_->setShortcut(QKeySequence(Qt::ALT | Qt::Key_X));
    connect(exitAction_, &QAction::triggered, this, &QWidget::close);

    QMenu* clients = menuBar()->addMenu("&Φορολογούμενοι");
    newClientAction_ = clients->addAction("&Νέος Φορολογούμενος");
    newClientAction_->setObjectName("newClientAction");
    clientListAction_ = clients->addAction("&Κατάλογος");
    clientListAction_->setObjectName("clientListAction");
    connect(newClientAction_, &QAction::triggered, this, &MainWindow::onNewClientTriggered);
    connect(clientListAction_, &QAction::triggered, this, &MainWindow::onClientListTriggered);
    clients->addSeparator();
    importClientsAction_ = clients->addAction("&Εισαγωγή πελατών από αρχείο");
    importClientsAction_->setObjectName("importClientsAction");
    connect(importClientsAction_, &QAction::triggered, this, &MainWindow::onImportClientsTriggered);
    officeRunAction_ = clients->addAction("Ά&ντληση στοιχείων όλων των πελατών");
    officeRunAction_->setObjectName("officeRunAction");
    connect(officeRunAction_, &QAction::triggered, this, &MainWindow::onOfficeRunTriggered);

    QMenu* analysis = menuBar()->addMenu("Ανάλωση &κεφαλαίου");
    analysisAction_ = analysis->addAction("&Διαχείριση δηλώσεων ανάλωσης κεφαλαίου προηγ. ετών");
    analysisAction_->setObjectName("analysisAction");
    connect(analysisAction_, &QAction::triggered, this, &MainWindow::onAnalysisTriggered);

    QMenu* tools = menuBar()->addMenu("&Βοηθητικά");
    aboutAction_ = tools->addAction("About");
    aboutAction_->setObjectName("aboutAction");
    connect(aboutAction_, &QAction::triggered, this, &MainWindow::onAboutTriggered);
    versionCheckAction_ = tools->addAction("&Έλεγχος Νέας Έκδοσης");
    versionCheckAction_->setObjectName("versionCheckAction");
    connect(versionCheckAction_, &QAction::triggered, this, &MainWindow::onVersionCheckTriggered);
    autoCheckAction_ = tools->addAction("&Αυτόματος έλεγχος νέων εκδόσεων κατα την εκκίνηση");
    autoCheckAction_->setObjectName("autoCheckAction");
    autoCheckAction_->setCheckable(true);
    connect(autoCheckAction_, &QAction::triggered, this, &MainWindow::onAutoCheckTriggered);

    helpAction_ = menuBar()->addAction("&Σύντομες οδηγίες");
    helpAction_->setObjectName("helpAction");
    connect(helpAction_, &QAction::triggered, this, &MainWindow::onHelpTriggered);

    QToolBar* bar = addToolBar("Εργαλεία");
    bar->setMovable(false);
    QAction* save = bar->addAction(style()->standardIcon(QStyle::SP_DialogSaveButton), "Αποθήκευση");
    save->setToolTip("Αποθήκευση");
    save->setEnabled(false);
    auto* print = new QToolButton(bar);
    print->setText("Εκτύπωση");
    print->setToolTip("Εκτύπωση");
    print->setIcon(style()->standardIcon(QStyle::SP_FileDialogDetailedView));
    print->setPopupMode(QToolButton::MenuButtonPopup);
    print->setMenu(new QMenu(print));
    print->setEnabled(false);
    bar->addWidget(print);
    QAction* clearing = bar->addAction(style()->standardIcon(QStyle::SP_DialogApplyButton), "Εκκαθάριση φόρου");
    clearing->setToolTip("Εκκαθάριση φόρου");
    clearing->setEnabled(false);
    auto* spacer = new QWidget(bar);
    spacer->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
    bar->addWidget(spacer);
    auto* logo = new QLabel(bar);
    logo->setObjectName("logoLabel");
    logo->setPixmap(LogoPicture(QSize(40, 40)));
    logo->setCursor(Qt::PointingHandCursor);
    logo->installEventFilter(this);
    bar->addWidget(logo);

    setCentralWidget(buildTiles());
    // The size it keeps where the desktop does not maximise it, and below which the tiles no longer fit.
    resize(1280, 800);
    setMinimumSize(1040, 480);
}

QWidget* MainWindow::buildTiles() {
    tileArea_ = new QWidget(this);
    tileArea_->setObjectName("tileArea");
    tileArea_->setMouseTracking(true);
    tileArea_->installEventFilter(this);
    const std::array<std::pair<const char*, const char*>, 3> tiles = {{
        {"+", "Νέος Φορολογούμενος"},
        {"Σ", "Ανάλωση Κεφαλαίου"},
        {"↻", "Έλεγχος Νέας Έκδοσης"},
    }};
    for (int i = 0; i < 3; ++i) {
        const int tag = i + 1;
        tileShadows_[i] = new QFrame(tileArea_);
        tileShadows_[i]->setObjectName(QString("tileShadow%1").arg(tag));
        tileShadows_[i]->setAutoFillBackground(true);
        QPalette sp = tileShadows_[i]->palette();
        sp.setColor(QPalette::Window, ShadowColour());
        tileShadows_[i]->setPalette(sp);
        tileFronts_[i] = new QFrame(tileArea_);
        tileFronts_[i]->setObjectName(QString("tileFront%1").arg(tag));
        tileFronts_[i]->setAutoFillBackground(true);
        setFrontColour(tag, HighlightColour());
        tilePictures_[i] = new QLabel(tileFronts_[i]);
        tilePictures_[i]->setObjectName(QString("tilePicture%1").arg(tag));
        tilePictures_[i]->setPixmap(TilePicture(QString::fromUtf8(tiles[i].first), QString::fromUtf8(tiles[i].second),
                                       QSize(kTileWidth, kTileHeight)));
        tilePictures_[i]->setGeometry(0, 0, kTileWidth, kTileHeight);
        tilePictures_[i]->setCursor(Qt::PointingHandCursor);
        tilePictures_[i]->setMouseTracking(true);
        tilePictures_[i]->installEventFilter(this);
    }
    placeTiles();
    return tileArea_;
}

void MainWindow::placeTiles() {
    const int gap = 40;
    const int total = 3 * kTileWidth + 2 * gap;
    const int left = std::max(10, (tileArea_->width() - total) / 2);
    const int top = std::max(10, (tileArea_->height() - kTileHeight) / 2);
    for (int i = 0; i < 3; ++i) {
        const int x = left + i * (kTileWidth + gap);
        tileShadows_[i]->setGeometry(x + kShadowOffset, top + kShadowOffset, kTileWidth, kTileHeight);
        tileFronts_[i]->setGeometry(x, top, kTileWidth, kTileHeight);
    }
}

void MainWindow::setFrontColour(int tag, const QColor& colour) {
    QFrame* panel = tileArea_->findChild<QFrame*>(QString("tileFront%1").arg(tag));
    QPalette p = panel->palette();
    p.setColor(QPalette::Window, colour);
    panel->setPalette(p);
}

void MainWindow::PrepareMainWindow() {
    setWindowTitle(kMainCaption);
    aboutAction_->setText(kAboutMenuCaption);
    autoCheckAction_->setChecked(AutoCheckEnabled(workDir_));
    firstActivationPending_ = true;
    // Pop-ups of the portal are allowed by the browser session itself; there is no registry here.
    // The data folder private, and what killed saves and browsers left removed.
    TidyAtStartUp(workDir_ / kTablesFolder);
    const ConversionReport conversion = ConvertAnalysisFiles(workDir_ / kTablesFolder);
    if (const std::string told = ConversionMessage(conversion); !told.empty()) desktop_.prompter->inform(told);
}

void MainWindow::FirstActivation() {
    if (!firstActivationPending_) return;
    firstActivationPending_ = false;
    if (EditorialWanted(workDir_)) {
        InfoWindow info(workDir_, http_, this);
        info.exec();
    }
}

void MainWindow::onNewClientTriggered() {
    ClientEntryWindow window(workDir_, desktop_, this);
    window.exec();
}

void MainWindow::onImportClientsTriggered() {
    // Qt's own dialog: the same on every desktop, and one a keyboard can drive.
    const QString file = QFileDialog::getOpenFileName(this, "Εισαγωγή πελατών από αρχείο", QString::fromStdString(workDir_.string()),
                                                      "Κατάλογος πελατών (*.csv *.txt);;Όλα τα αρχεία (*)", nullptr,
                                                      QFileDialog::DontUseNativeDialog);
    if (!file.isEmpty()) ImportClientsFrom(file.toStdString());
}

void MainWindow::ImportClientsFrom(const std::filesystem::path& file) {
    std::string text;
    try {
        const std::vector<std::string> lines = ImportReportLines(ImportClientFile(workDir_ / kTablesFolder, file));
        // A long list of skipped lines stays within the screen: the first ones, and how many more.
        constexpr size_t kShown = 15;
        for (size_t i = 0; i < lines.size() && i <= kShown; ++i) text += (i ? "\n" : "") + lines[i];
        if (lines.size() > kShown + 1) text += "\n... και " + std::to_string(lines.size() - kShown - 1) + " ακόμη γραμμές.";
    } catch (const std::exception& error) {
        text = std::string("Η εισαγωγή πελατών δεν έγινε: ") + error.what();
    }
    desktop_.prompter->inform(text);
}

void MainWindow::onOfficeRunTriggered() {
    OfficeRunWindow window(workDir_, this);
    window.exec();
}

void MainWindow::onClientListTriggered() {
    const auto taxNumber = ChooseTaxpayer(workDir_ / kTablesFolder, desktop_, this);
    if (!taxNumber) return;
    ClientEntryWindow window(workDir_, desktop_, this);
    window.loadClient(QString::fromStdString(*taxNumber));
    window.exec();
}

void MainWindow::onAnalysisTriggered() {
    AnalysisWindow window(workDir_, desktop_, this);
    window.setWorkYear(kWorkYear);
    window.exec();
}

void MainWindow::onAboutTriggered() {
    AboutWindow about(workDir_, this);
    about.exec();
}

void MainWindow::onAutoCheckTriggered() {
    try {
        SetAutoCheck(workDir_, autoCheckAction_->isChecked());
    } catch (const std::exception& e) {
        desktop_.prompter->inform(e.what());
    }
    autoCheckAction_->setChecked(AutoCheckEnabled(workDir_));
}

void MainWindow::onVersionCheckTriggered() {
    VersionCheckWindow window(workDir_, desktop_, http_, this);
    window.exec();
    if (!KeepRunning) close();  // an installer was started
}

void MainWindow::onHelpTriggered() { ShowInstructions(desktop_, this); }

void MainWindow::openPage(const std::string& address) {
    const QString page = QString::fromStdString(address);
    if (!desktop_.open(page)) desktop_.prompter->inform(NotOpenedSentence(page));
}

void MainWindow::onLogoClicked() { openPage(ProductHost() + kHomePath); }

void MainWindow::onTileClicked(int tag) {
    if (tag == 1) onNewClientTriggered();
    if (tag == 2) onAnalysisTriggered();
    if (tag == 3) onVersionCheckTriggered();
}

bool MainWindow::event(QEvent* event) {
    if (event->type() == QEvent::WindowActivate && firstActivationPending_)
        QTimer::singleShot(0, this, &MainWindow::FirstActivation);
    return QMainWindow::event(event);
}

bool MainWindow::eventFilter(QObject* object, QEvent* event) {
    if (object->objectName() == "logoLabel" && event->type() == QEvent::MouseButtonRelease) {
        onLogoClicked();
        return true;
    }
    if (object == tileArea_) {
        if (event->type() == QEvent::Resize) placeTiles();
        if (event->type() == QEvent::MouseMove)
            for (int tag = 1; tag <= 3; ++tag) setFrontColour(tag, HighlightColour());
        return false;
    }
    // A tile's picture: its place among the three is the tile's number.
    const auto picture = std::find(tilePictures_.begin(), tilePictures_.end(), object);
    if (picture == tilePictures_.end()) return QMainWindow::eventFilter(object, event);
    const int tile = static_cast<int>(picture - tilePictures_.begin()) + 1;
    QFrame* panel = tileFronts_[tile - 1];
    switch (event->type()) {
    case QEvent::MouseButtonPress:
        panel->move(panel->pos() + QPoint(kPressOffset, kPressOffset));
        setFrontColour(tile, PressedColour());
        return true;
    case QEvent::MouseButtonRelease: {
        panel->move(panel->pos() - QPoint(kPressOffset, kPressOffset));
        setFrontColour(tile, HighlightColour());
        const auto* release = static_cast<QMouseEvent*>(event);
        if (tilePictures_[tile - 1]->rect().contains(release->position().toPoint())) onTileClicked(tile);
        return true;
    }
    case QEvent::MouseMove:
        setFrontColour(tile, HighlightColour());
        return false;
    default:
        return QMainWindow::eventFilter(object, event);
    }
}

}  // namespace skartina
