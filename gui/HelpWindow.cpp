// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/HelpWindow.h"

#include "startup/ProductInfo.h"

#include <QLabel>
#include <QPushButton>
#include <QTextBrowser>
#include <QUrl>
#include <QVBoxLayout>

namespace skartina {

HelpWindow::HelpWindow(const std::filesystem::path& page, const QString& onlineUrl, QWidget* parent) : QDialog(parent) {
    setObjectName("fiHelp");
    setWindowTitle(QString(kAppTitle) + " — Σύντομες οδηγίες");
    text_ = new QTextBrowser(this);
    text_->setObjectName("tbHelp");
    text_->setOpenExternalLinks(true);
    text_->setSource(QUrl::fromLocalFile(QString::fromStdString(page.string())));
    online_ = new QLabel("Οι πλήρεις οδηγίες στο internet: <a href=\"" + onlineUrl.toHtmlEscaped() + "\">" +
                             onlineUrl.toHtmlEscaped() + "</a>",
                         this);
    online_->setObjectName("lbOnline");
    online_->setOpenExternalLinks(true);
    online_->setTextInteractionFlags(Qt::TextBrowserInteraction);
    auto* close = new QPushButton("Κλείσιμο", this);
    close->setObjectName("btClose");
    connect(close, &QPushButton::clicked, this, &QDialog::accept);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(text_, 1);
    layout->addWidget(online_);
    layout->addWidget(close, 0, Qt::AlignRight);
    resize(760, 620);
}

}  // namespace skartina
