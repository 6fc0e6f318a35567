// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/HelpWindow.h"

#include "startup/HelpFile.h"
#include "startup/ProductInfo.h"

#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QTextBrowser>
#include <QUrl>
#include <QVBoxLayout>

namespace skartina {

HelpWindow::HelpWindow(const std::filesystem::path& page, const QString& onlineUrl, QWidget* parent) : QDialog(parent) {
    setObjectName("helpWindow");
    setWindowTitle(QString(kAppTitle) + " — Σύντομες οδηγίες");
    helpText_ = new QTextBrowser(this);
    helpText_->setObjectName("helpText");
    helpText_->setOpenExternalLinks(true);
    helpText_->setSource(QUrl::fromLocalFile(QString::fromStdString(page.string())));
    onlineLabel_ = new QLabel("Οι πλήρεις οδηγίες στο internet: <a href=\"" + onlineUrl.toHtmlEscaped() + "\">" +
                             onlineUrl.toHtmlEscaped() + "</a>",
                         this);
    onlineLabel_->setObjectName("onlineLabel");
    onlineLabel_->setOpenExternalLinks(true);
    onlineLabel_->setTextInteractionFlags(Qt::TextBrowserInteraction);
    auto* close = new QPushButton("Κλείσιμο", this);
    close->setObjectName("closeButton");
    connect(close, &QPushButton::clicked, this, &QDialog::accept);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(helpText_, 1);
    layout->addWidget(onlineLabel_);
    layout->addWidget(close, 0, Qt::AlignRight);
    resize(760, 620);
}

void ShowInstructions(const DesktopServices& desktop, QWidget* parent) {
    const QString online = QString::fromStdString(ProductHost() + kHelpPath);
    const auto page = ShippedHelpFile(QApplication::applicationDirPath().toStdString());
    if (page.empty()) {
        if (!desktop.open(online)) desktop.prompter->inform(NotOpenedSentence(online));
        return;
    }
    HelpWindow help(page, online, parent);
    help.exec();
}

}  // namespace skartina
