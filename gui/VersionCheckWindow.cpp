// SPDX-License-Identifier: GPL-3.0-or-later
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
    : QDialog(parent), http_(http), workDir_(workDir), desktop_(std::move(desktop)) {
    setObjectName("versionCheckWindow");
    setWindowTitle("Έλεγχος για νέα έκδοση της εφαρμογής");
    setWindowFlag(Qt::Tool);

    pictureLabel_ = new QLabel(this);
    pictureLabel_->setObjectName("pictureLabel");
    pictureLabel_->setPixmap(LogoPicture(QSize(72, 72)));
    noticeLabel_ = new QLabel("Για να μπορέσετε να ενημερωθείτε με τη νέα έκδοση της εφαρμογής πρέπει απαραιτήτως "
                          "να συνδεθείτε στο internet", this);
    noticeLabel_->setObjectName("noticeLabel");
    noticeLabel_->setWordWrap(true);
    firewallLabel_ = new QLabel("Αν στον υπολογιστή σας λειτουργεί τείχος προστασίας (firewall), επιτρέψτε στο "
                            "πρόγραμμα την πρόσβαση στο internet.", this);
    firewallLabel_->setObjectName("firewallLabel");
    firewallLabel_->setWordWrap(true);
    QFont small = firewallLabel_->font();
    small.setPointSizeF(small.pointSizeF() * 0.85);
    firewallLabel_->setFont(small);
    QPalette red = firewallLabel_->palette();
    red.setColor(QPalette::WindowText, Qt::red);
    firewallLabel_->setPalette(red);

    checkButton_ = new QPushButton("Έλεγχος", this);
    checkButton_->setObjectName("checkButton");
    checkButton_->setDefault(true);
    connect(checkButton_, &QPushButton::clicked, this, &VersionCheckWindow::onCheckClicked);
    exitButton_ = new QPushButton("Έξοδος", this);
    exitButton_->setObjectName("exitButton");
    connect(exitButton_, &QPushButton::clicked, this, &VersionCheckWindow::onExitClicked);
    percentBar_ = NewPercentBar(this);
    statusPanels_ = new StatusPanels(this);
    statusPanels_->setObjectName("statusPanels");

    auto* texts = new QVBoxLayout;
    texts->addWidget(noticeLabel_);
    texts->addWidget(firewallLabel_);
    auto* top = new QHBoxLayout;
    top->addWidget(pictureLabel_, 0, Qt::AlignTop);
    top->addLayout(texts, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(checkButton_);
    buttons->addWidget(exitButton_);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addStretch();
    layout->addLayout(buttons);
    layout->addWidget(percentBar_);
    layout->addWidget(statusPanels_);
    setFixedSize(520, 240);
}

VersionCheckWindow::~VersionCheckWindow() { closeProgress(); }

VersionCheckResult VersionCheckWindow::CheckForNewVersion(bool interactive) {
    // The window stays responsive while the check pumps events: no second check, no leaving mid-way.
    checkButton_->setEnabled(false);
    exitButton_->setEnabled(false);
    VersionCheckSetup setup{workDir_, ProductHost(), http_, *desktop_.prompter, *this, desktop_.start, UpdateCounters};
    setup.install = desktop_.install;
    setup.kind = desktop_.updateKind;
    setup.openPage = [open = desktop_.open](const std::string& url) {
        if (open) open(QString::fromStdString(url));
    };
    const UpdateKind kind = setup.kind;
    VersionCheck check(std::move(setup));
    const VersionCheckResult result = check.CheckForNewVersion(interactive);
    checkButton_->setEnabled(true);
    exitButton_->setEnabled(true);
    // Asked for from the menu, a site that does not answer is said (the
    // package check says so itself); at start-up the check stays silent.
    if (interactive && result == VersionCheckResult::Unreachable && kind != UpdateKind::DebianPackage)
        desktop_.prompter->inform(SiteNotAnsweringMessage(true));
    if (result == VersionCheckResult::InstallerStarted) {
        KeepRunning = false;
        if (isVisible()) reject();
        QApplication::quit();
    }
    return result;
}

void VersionCheckWindow::onCheckClicked() { CheckForNewVersion(true); }

void VersionCheckWindow::onExitClicked() { reject(); }

void VersionCheckWindow::openProgress() {
    progress_ = new CheckProgressWindow(this);
    pump();
    progress_->show();
    pump();
}

void VersionCheckWindow::setDetails(const std::string& text) {
    if (progress_) progress_->setDetails(QString::fromStdString(text));
}

void VersionCheckWindow::showFigures(const ProgressFigures& f) {
    const QString received = f.shown ? "Παραλήφθησαν " + Bytes(f.received) + " Bytes" : QString();
    const QString expected = f.shown ? "από σύνολο " + Bytes(f.expected) + " Bytes" : QString();
    statusPanels_->setPanels(received, expected);
    if (progress_) progress_->setFigures(received, expected);
    pump();
    if (f.percent) {
        const int value = std::clamp(*f.percent, 0, 100);
        percentBar_->setValue(value);
        if (progress_) progress_->setPercent(value);
    }
}

void VersionCheckWindow::pump() { QApplication::processEvents(); }

void VersionCheckWindow::closeProgress() {
    delete progress_;
    progress_ = nullptr;
}

}  // namespace skartina
