// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/AboutWindow.h"

#include "gui/Pictures.h"
#include "startup/ProductInfo.h"

#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace skartina {

AboutWindow::AboutWindow(const std::filesystem::path& dataFolder, QWidget* parent) : QDialog(parent) {
    setObjectName("aboutWindow");
    setWindowTitle(kAboutCaption);
    auto* picture = new QLabel(this);
    picture->setPixmap(LogoPicture(QSize(96, 96)));
    picture->setAlignment(Qt::AlignCenter);
    titleLabel_ = new QLabel(kMainCaption, this);
    titleLabel_->setObjectName("titleLabel");
    QFont big = titleLabel_->font();
    big.setPointSize(big.pointSize() + 6);
    big.setBold(true);
    titleLabel_->setFont(big);
    titleLabel_->setAlignment(Qt::AlignCenter);
    auto* description = new QLabel("Πίνακας ανάλωσης κεφαλαίου προηγούμενων ετών από τις δηλώσεις Ε1 της Α.Α.Δ.Ε.", this);
    description->setAlignment(Qt::AlignCenter);

    auto* contact = new QGroupBox("Στοιχεία επικοινωνίας :", this);
    auto* contactLayout = new QVBoxLayout(contact);
    contactLayout->addWidget(new QLabel("Υποστήριξη χρηστών: μέσω του ιστότοπου του προγράμματος", contact));
    contactLayout->addWidget(new QLabel(QString::fromStdString(ProductHost()), contact));

    auto* data = new QGroupBox("Φάκελος δεδομένων :", this);
    auto* dataLayout = new QVBoxLayout(data);
    dataFolderLabel_ = new QLabel(QString::fromStdString(dataFolder.string()), data);
    dataFolderLabel_->setObjectName("dataFolderLabel");
    dataFolderLabel_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    dataLayout->addWidget(dataFolderLabel_);

    auto* licence = new QLabel("Ελεύθερο λογισμικό με την άδεια GNU General Public License, έκδοση 3 ή νεότερη "
                               "(GPL-3.0-or-later), χωρίς καμία εγγύηση.",
                               this);
    licence->setObjectName("licenceLabel");
    licence->setWordWrap(true);
    licence->setAlignment(Qt::AlignCenter);

    auto* close = new QPushButton("Κλείσιμο", this);
    close->setObjectName("closeButton");
    connect(close, &QPushButton::clicked, this, &QDialog::accept);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(picture);
    layout->addWidget(titleLabel_);
    layout->addWidget(description);
    layout->addWidget(contact);
    layout->addWidget(data);
    layout->addWidget(licence);
    layout->addWidget(close, 0, Qt::AlignRight);
}

}  // namespace skartina
