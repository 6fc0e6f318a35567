#include "gui/MainWindow.h"

#include "startup/AnalysisConversion.h"
#include "common/TextFile.h"
#include "gui/Pictures.h"
#include "startup/ProductInfo.h"
#include "startup/Settings.h"
#include "gui/AboutWindow.h"
#include "gui/VersionCheckWindow.h"
#include "gui/InfoWindow.h"
#include "common/ClientFiles.h"
#include "gui/ClientEntryWindow.h"
#include "gui/ClientListWindow.h"
#include "gui/AfmEdit.h"
#include "gui/AnalysisWindow.h"
#include "portal/StartUpTidy.h"

#include <QApplication>
#include <QEvent>
#include <QFrame>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>
#include <QStyle>
#include <QTimer>
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
    setObjectName("fiMain");

    QMenu* file = menuBar()->addMenu("Αρχείο");
    file->addAction("Αποθήκευση")->setShortcut(Qt::Key_F2);
    file->addAction("Αποθήκευση Ως...");
    file->addAction("Εκτύπωση");
    file->addSeparator();
    acExit = file->addAction("Έξοδος");
    acExit->setObjectName("acExit");
    acExit->setShortcut(QKeySequence(Qt::ALT | Qt::Key_X));
    connect(acExit, &QAction::triggered, this, &QWidget::close);

    QMenu* clients = menuBar()->addMenu("Φορολογούμενοι");
    miNewCustomer = clients->addAction("Νέος Φορολογούμενος");
    miCustomerList = clients->addAction("Κατάλογος");
    connect(miNewCustomer, &QAction::triggered, this, &MainWindow::miNewCustomerClick);
    connect(miCustomerList, &QAction::triggered, this, &MainWindow::miCustomerListClick);

    QMenu* analysis = menuBar()->addMenu("Ανάλωση κεφαλαίου");
    acNewVelmora = analysis->addAction("Διαχείριση δηλώσεων ανάλωσης κεφαλαίου προηγ. ετών");
    acNewVelmora->setObjectName("acNewVelmora");
    connect(acNewVelmora, &QAction::triggered, this, &MainWindow::acNewVelmoraExecute);

    QMenu* tools = menuBar()->addMenu("Βοηθητικά");
    miAbout = tools->addAction("About");
    miAbout->setObjectName("miAbout");
    connect(miAbout, &QAction::triggered, this, &MainWindow::miAboutClick);
    miNewVersion = tools->addAction("Έλεγχος Νέας Έκδοσης");
    connect(miNewVersion, &QAction::triggered, this, &MainWindow::miNewVersionClick);
    miAutoCheck = tools->addAction("Αυτόματος έλεγχος νέων εκδόσεων κατα την εκκίνηση");
    miAutoCheck->setObjectName("miAutoCheck");
    miAutoCheck->setCheckable(true);
    connect(miAutoCheck, &QAction::triggered, this, &MainWindow::miAutoCheckClick);

    miHelp = menuBar()->addAction("Σύντομες οδηγίες");
    connect(miHelp, &QAction::triggered, this, &MainWindow::miHelpClick);

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
    logo->setObjectName("imLogo");
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
        shadow[i] = new QFrame(tileArea_);
        shadow[i]->setObjectName(QString("P%1B").arg(tag));
        shadow[i]->setAutoFillBackground(true);
        QPalette sp = shadow[i]->palette();
        sp.setColor(QPalette::Window, ShadowColour());
        shadow[i]->setPalette(sp);
        front[i] = new QFrame(tileArea_);
        front[i]->setObjectName(QString("P%1F").arg(tag));
        front[i]->setProperty("tag", tag);
        front[i]->setAutoFillBackground(true);
        setFrontColour(tag, HighlightColour());
        imgP[i] = new QLabel(front[i]);
        imgP[i]->setObjectName(QString("imgP%1").arg(tag));
        imgP[i]->setProperty("tag", tag);
        imgP[i]->setPixmap(TilePicture(QString::fromUtf8(tiles[i].first), QString::fromUtf8(tiles[i].second),
                                       QSize(kTileWidth, kTileHeight)));
        imgP[i]->setGeometry(0, 0, kTileWidth, kTileHeight);
        imgP[i]->setCursor(Qt::PointingHandCursor);
        imgP[i]->setMouseTracking(true);
        imgP[i]->installEventFilter(this);
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
        shadow[i]->setGeometry(x + kShadowOffset, top + kShadowOffset, kTileWidth, kTileHeight);
        front[i]->setGeometry(x, top, kTileWidth, kTileHeight);
    }
}

void MainWindow::setFrontColour(int tag, const QColor& colour) {
    QFrame* panel = tileArea_->findChild<QFrame*>(QString("P%1F").arg(tag));
    QPalette p = panel->palette();
    p.setColor(QPalette::Window, colour);
    panel->setPalette(p);
}

void MainWindow::PrepareMainWindow() {
    setWindowTitle(kMainCaption);
    miAbout->setText(kAboutMenuCaption);
    miAutoCheck->setChecked(AutoCheckEnabled(workDir_));
    FirstTimeActive = true;
    // Pop-ups of the portal are allowed by the browser session itself; there is no registry here.
    // The data folder private, and what killed saves and browsers left removed.
    TidyAtStartUp(workDir_ / kTablesFolder);
    ConvertAnalysisFiles(workDir_ / kTablesFolder);
}

void MainWindow::FirstActivation() {
    if (!FirstTimeActive) return;
    FirstTimeActive = false;
    if (EditorialWanted(workDir_)) {
        InfoWindow pro(workDir_, http_, this);
        pro.exec();
    }
}

void MainWindow::miNewCustomerClick() {
    ClientEntryWindow window(workDir_, desktop_, this);
    window.exec();
}

void MainWindow::miCustomerListClick() {
    const auto afm = ChooseTaxpayer(workDir_ / kTablesFolder, desktop_, this);
    if (!afm) return;
    ClientEntryWindow window(workDir_, desktop_, this);
    window.edAFM->setText(QString::fromStdString(*afm));
    window.edAFMExit();
    window.exec();
}

void MainWindow::acNewVelmoraExecute() {
    AnalysisWindow window(workDir_, desktop_, this);
    window.WorkYear = kWorkYear;
    window.exec();
}

void MainWindow::miAboutClick() {
    AboutWindow about(this);
    about.exec();
}

void MainWindow::miAutoCheckClick() {
    try {
        SetAutoCheck(workDir_, miAutoCheck->isChecked());
    } catch (const std::exception& e) {
        desktop_.prompter->inform(e.what());
    }
    miAutoCheck->setChecked(AutoCheckEnabled(workDir_));
}

void MainWindow::miNewVersionClick() {
    VersionCheckWindow window(workDir_, desktop_, http_, this);
    window.exec();
    if (!KeepRunning) close();  // an installer was started
}

void MainWindow::miHelpClick() { desktop_.open(QString::fromStdString(ProductHost() + kHelpPath)); }

void MainWindow::imLogoClick() { desktop_.open(QString::fromStdString(ProductHost() + kHomePath)); }

void MainWindow::TileClick(int tag) {
    if (tag == 1) miNewCustomerClick();
    if (tag == 2) acNewVelmoraExecute();
    if (tag == 3) miNewVersionClick();
}

bool MainWindow::event(QEvent* event) {
    if (event->type() == QEvent::WindowActivate && FirstTimeActive)
        QTimer::singleShot(0, this, &MainWindow::FirstActivation);
    return QMainWindow::event(event);
}

bool MainWindow::eventFilter(QObject* object, QEvent* event) {
    if (object->objectName() == "imLogo" && event->type() == QEvent::MouseButtonRelease) {
        imLogoClick();
        return true;
    }
    if (object == tileArea_) {
        if (event->type() == QEvent::Resize) placeTiles();
        if (event->type() == QEvent::MouseMove)
            for (int tag = 1; tag <= 3; ++tag) setFrontColour(tag, HighlightColour());
        return false;
    }
    const QVariant tag = object->property("tag");
    if (!tag.isValid() || !object->objectName().startsWith("imgP")) return QMainWindow::eventFilter(object, event);
    QFrame* panel = front[tag.toInt() - 1];
    switch (event->type()) {
    case QEvent::MouseButtonPress:
        panel->move(panel->pos() + QPoint(kPressOffset, kPressOffset));
        setFrontColour(tag.toInt(), PressedColour());
        return true;
    case QEvent::MouseButtonRelease: {
        panel->move(panel->pos() - QPoint(kPressOffset, kPressOffset));
        setFrontColour(tag.toInt(), HighlightColour());
        const auto* release = static_cast<QMouseEvent*>(event);
        if (imgP[tag.toInt() - 1]->rect().contains(release->position().toPoint())) TileClick(tag.toInt());
        return true;
    }
    case QEvent::MouseMove:
        setFrontColour(tag.toInt(), HighlightColour());
        return false;
    default:
        return QMainWindow::eventFilter(object, event);
    }
}

}  // namespace skartina
