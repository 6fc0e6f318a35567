#include "gui/VersionCheckWindow.h"

#include "gui/Pictures.h"
#include "startup/ProductInfo.h"
#include "gui/StatusPanels.h"
#include "gui/CheckProgressWindow.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QLocale>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

namespace skartina {

bool KeepRunning = true;
TransferCounters UpdateCounters;

namespace {

QString Bytes(long long count) { return QLocale().toString(count); }

}  // namespace

VersionCheckWindow::VersionCheckWindow(const std::filesystem::path& workDir, DesktopServices desktop, HttpClient& http,
                     QWidget* parent)
    : QDialog(parent), HTTP(http), workDir_(workDir), desktop_(std::move(desktop)) {
    setObjectName("fiNewVer");
    setWindowTitle("Έλεγχος για νέα έκδοση της εφαρμογής");
    setWindowFlag(Qt::Tool);

    imPicture = new QLabel(this);
    imPicture->setObjectName("imPicture");
    imPicture->setPixmap(LogoPicture(QSize(72, 72)));
    lbNotice = new QLabel("Για να μπορέσετε να ενημερωθείτε με τη νέα έκδοση της εφαρμογής πρέπει απαραιτήτως "
                          "να συνδεθείτε στο internet", this);
    lbNotice->setObjectName("lbNotice");
    lbNotice->setWordWrap(true);
    lbFirewall = new QLabel("Αν στον υπολογιστή σας λειτουργεί τείχος προστασίας (firewall), επιτρέψτε στο "
                            "πρόγραμμα την πρόσβαση στο internet.", this);
    lbFirewall->setObjectName("lbFirewall");
    lbFirewall->setWordWrap(true);
    QFont small = lbFirewall->font();
    small.setPointSizeF(small.pointSizeF() * 0.85);
    lbFirewall->setFont(small);
    QPalette red = lbFirewall->palette();
    red.setColor(QPalette::WindowText, Qt::red);
    lbFirewall->setPalette(red);

    btNewVersion = new QPushButton("Έλεγχος", this);
    btNewVersion->setObjectName("btNewVersion");
    btNewVersion->setDefault(true);
    connect(btNewVersion, &QPushButton::clicked, this, &VersionCheckWindow::btNewVersionClick);
    btExit = new QPushButton("Έξοδος", this);
    btExit->setObjectName("btExit");
    connect(btExit, &QPushButton::clicked, this, &VersionCheckWindow::btExitClick);
    pbInfo = NewPercentBar(this);
    sbInfo = new StatusPanels(this);
    sbInfo->setObjectName("sbInfo");

    auto* texts = new QVBoxLayout;
    texts->addWidget(lbNotice);
    texts->addWidget(lbFirewall);
    auto* top = new QHBoxLayout;
    top->addWidget(imPicture, 0, Qt::AlignTop);
    top->addLayout(texts, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(btNewVersion);
    buttons->addWidget(btExit);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addStretch();
    layout->addLayout(buttons);
    layout->addWidget(pbInfo);
    layout->addWidget(sbInfo);
    setFixedSize(520, 240);
}

VersionCheckWindow::~VersionCheckWindow() { closeProgress(); }

VersionCheckResult VersionCheckWindow::CheckForNewVersion(bool interactive) {
    // The window stays responsive while the check pumps events: no second check, no leaving mid-way.
    btNewVersion->setEnabled(false);
    btExit->setEnabled(false);
    VersionCheck check({workDir_, ProductHost(), HTTP, *desktop_.prompter, *this, desktop_.start, UpdateCounters});
    const VersionCheckResult result = check.CheckForNewVersion(interactive);
    btNewVersion->setEnabled(true);
    btExit->setEnabled(true);
    if (result == VersionCheckResult::InstallerStarted) {
        KeepRunning = false;
        if (isVisible()) reject();
        QApplication::quit();
    }
    return result;
}

void VersionCheckWindow::btNewVersionClick() { CheckForNewVersion(true); }

void VersionCheckWindow::btExitClick() { reject(); }

void VersionCheckWindow::openProgress() {
    progress_ = new CheckProgressWindow(this);
    pump();
    progress_->show();
    pump();
}

void VersionCheckWindow::setDetails(const std::string& text) {
    if (progress_) progress_->lbDetails->setText(QString::fromStdString(text));
}

void VersionCheckWindow::showFigures(const ProgressFigures& f) {
    const QString received = f.shown ? "Παραλήφθησαν " + Bytes(f.received) + " Bytes" : QString();
    const QString expected = f.shown ? "από σύνολο " + Bytes(f.expected) + " Bytes" : QString();
    sbInfo->setPanels(received, expected);
    if (progress_) progress_->sbInfo->setPanels(received, expected);
    pump();
    if (f.percent) {
        const int value = std::clamp(*f.percent, 0, 100);
        pbInfo->setValue(value);
        if (progress_) progress_->pbInfo->setValue(value);
    }
}

void VersionCheckWindow::pump() { QApplication::processEvents(); }

void VersionCheckWindow::closeProgress() {
    delete progress_;
    progress_ = nullptr;
}

}  // namespace skartina
