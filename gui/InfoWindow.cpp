// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/InfoWindow.h"

#include "startup/ProductInfo.h"
#include "startup/Settings.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QPushButton>
#include <QTextBrowser>
#include <QVBoxLayout>

namespace skartina {

InfoWindow::InfoWindow(const std::filesystem::path& workDir, HttpClient& http, QWidget* parent)
    : QDialog(parent), workDir_(workDir) {
    setObjectName("infoWindow");
    setWindowTitle(kMainCaption);
    resize(760, 560);
    pageView_ = new QTextBrowser(this);
    pageView_->setObjectName("pageView");
    pageView_->setOpenExternalLinks(true);

    const std::string address = ProductHost() + kEditorialPath;
    try {
        HttpOptions options;
        options.connectTimeout = std::chrono::seconds(5);
        options.readTimeout = std::chrono::seconds(10);
        const HttpResponse page = http.get(address, options);
        if (page.status != 200) throw HttpError("status " + std::to_string(page.status));
        pageView_->setHtml(QString::fromUtf8(page.body.data(), static_cast<int>(page.body.size())));
    } catch (const std::exception&) {
        // The transport's own wording is English and technical; the user needs
        // to know only that the page could not be reached.
        pageView_->setPlainText(kInfoPageUnreachable);
    }

    dontShowAgainBox_ = new QCheckBox("Να μην εμφανιστεί ξανά αυτό το μήνυμα", this);
    dontShowAgainBox_->setObjectName("dontShowAgainBox");
    auto* exit = new QPushButton("Έξοδος", this);
    exit->setObjectName("exitButton");
    connect(exit, &QPushButton::clicked, this, &InfoWindow::onExitClicked);

    auto* bottom = new QHBoxLayout;
    bottom->addWidget(dontShowAgainBox_);
    bottom->addStretch();
    bottom->addWidget(exit);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(pageView_, 1);
    layout->addLayout(bottom);
}

void InfoWindow::onExitClicked() { reject(); }

void InfoWindow::reject() {
    if (dontShowAgainBox_->isChecked()) DismissEditorial(workDir_);
    QDialog::reject();
}

}  // namespace skartina
