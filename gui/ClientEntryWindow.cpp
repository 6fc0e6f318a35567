// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/ClientEntryWindow.h"

#include "gui/Pictures.h"
#include "gui/QtText.h"
#include "common/ClientFiles.h"
#include "registry/TaxpayerRecord.h"
#include "gui/ClientListWindow.h"
#include "gui/TaxNumberEdit.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStyle>
#include <QToolButton>
#include <QVBoxLayout>

namespace skartina {
ClientEntryWindow::ClientEntryWindow(const std::filesystem::path& workDir, DesktopServices desktop, QWidget* parent)
    : QDialog(parent), workDir_(workDir), desktop_(std::move(desktop)) {
    setObjectName("clientEntryWindow");
    setWindowTitle("Διαχείριση πελατών / επαφών");

    taxNumberEdit_ = new TaxNumberEdit(this);
    taxNumberEdit_->setObjectName("taxNumberEdit");
    surnameEdit_ = new QLineEdit(this);
    surnameEdit_->setObjectName("surnameEdit");
    firstNameEdit_ = new QLineEdit(this);
    firstNameEdit_->setObjectName("firstNameEdit");
    fatherNameEdit_ = new QLineEdit(this);
    fatherNameEdit_->setObjectName("fatherNameEdit");
    portalUserEdit_ = new QLineEdit(this);
    portalUserEdit_->setObjectName("portalUserEdit");
    portalPasswordEdit_ = new QLineEdit(this);
    portalPasswordEdit_->setObjectName("portalPasswordEdit");
    // The portal password is masked; the button beside it shows it only while held.
    portalPasswordEdit_->setEchoMode(QLineEdit::Password);
    auto* showPassword = new QToolButton(this);
    showPassword->setObjectName("showPasswordButton");
    showPassword->setText("Εμφάνιση");
    showPassword->setToolTip("Κρατήστε πατημένο για να φανεί ο κωδικός");
    showPassword->setFocusPolicy(Qt::NoFocus);
    connect(showPassword, &QToolButton::pressed, this, [this] { portalPasswordEdit_->setEchoMode(QLineEdit::Normal); });
    connect(showPassword, &QToolButton::released, this, [this] { portalPasswordEdit_->setEchoMode(QLineEdit::Password); });
    const std::array<QLineEdit*, kRecordLines> fields = {taxNumberEdit_,  surnameEdit_,   firstNameEdit_,
                                                         fatherNameEdit_, portalUserEdit_, portalPasswordEdit_};
    const int maxLengths[kRecordLines] = {40, 40, 20, 20, 20, 20};

    chooseClientButton_ = new QToolButton(this);
    chooseClientButton_->setObjectName("chooseClientButton");
    chooseClientButton_->setIcon(style()->standardIcon(QStyle::SP_FileDialogContentsView));
    chooseClientButton_->setAutoRaise(true);
    chooseClientButton_->setToolTip(Q(std::string("Κατάλογος (F3)")));

    auto* form = new QGridLayout;
    for (int i = 0; i < kRecordLines; ++i) {
        fields[static_cast<size_t>(i)]->setMaxLength(maxLengths[i]);
        form->addWidget(new QLabel(Q(kRecordFieldLabels[static_cast<size_t>(i)]), this), i, 0);
        form->addWidget(fields[static_cast<size_t>(i)], i, 1);
    }
    form->addWidget(chooseClientButton_, 1, 2);
    form->addWidget(showPassword, kRecordLines - 1, 2);

    saveButton_ = new QPushButton("Αποθήκευση", this);
    saveButton_->setObjectName("saveButton");
    closeButton_ = new QPushButton("Έξοδος", this);
    closeButton_->setObjectName("closeButton");
    clearButton_ = new QPushButton("Καθαρισμα", this);
    clearButton_->setObjectName("clearButton");
    for (QPushButton* b : {saveButton_, closeButton_, clearButton_}) b->setAutoDefault(false);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(saveButton_);
    buttons->addWidget(closeButton_);
    buttons->addWidget(clearButton_);

    auto* picture = new QLabel(this);
    picture->setPixmap(TilePicture("+", "Πελάτες", QSize(140, 140)));
    auto* right = new QVBoxLayout;
    right->addLayout(form);
    right->addStretch();
    right->addLayout(buttons);
    auto* layout = new QHBoxLayout(this);
    layout->addWidget(picture, 0, Qt::AlignTop);
    layout->addLayout(right, 1);

    tabOrder_ = {taxNumberEdit_,      surnameEdit_, firstNameEdit_, fatherNameEdit_, portalUserEdit_,
                 portalPasswordEdit_, saveButton_,  closeButton_,   clearButton_};
    for (int i = 0; i + 1 < tabOrder_.size(); ++i) setTabOrder(tabOrder_[i], tabOrder_[i + 1]);
    for (QWidget* w : tabOrder_) w->installEventFilter(this);

    connect(taxNumberEdit_, &TaxNumberEdit::exited, this, &ClientEntryWindow::onTaxNumberLeft);
    connect(saveButton_, &QPushButton::clicked, this, &ClientEntryWindow::onSaveClicked);
    connect(closeButton_, &QPushButton::clicked, this, &QDialog::reject);
    connect(clearButton_, &QPushButton::clicked, this, &ClientEntryWindow::onClearClicked);
    connect(chooseClientButton_, &QToolButton::clicked, this, &ClientEntryWindow::onChooseClientClicked);
}

ClientEntryWindow::~ClientEntryWindow() {
    // Leaving the tax-number field loads a record: let that happen while the window is whole.
    if (QWidget* focused = focusWidget()) focused->clearFocus();
}

std::filesystem::path ClientEntryWindow::tablesDir() const { return workDir_ / kTablesFolder; }

void ClientEntryWindow::loadClient(const QString& taxNumber) {
    taxNumberEdit_->setText(taxNumber);
    onTaxNumberLeft();
}

void ClientEntryWindow::onTaxNumberLeft() {
    const std::string taxNumber = taxNumberEdit_->text().toStdString();
    if (taxNumber.empty()) return;
    try {
        const auto record = LoadTaxpayer(tablesDir(), taxNumber);
        if (!record) return;
        taxNumberEdit_->setText(Q(record->taxNumber));
        surnameEdit_->setText(Q(record->surname));
        firstNameEdit_->setText(Q(record->firstName));
        fatherNameEdit_->setText(Q(record->fatherName));
        portalUserEdit_->setText(Q(record->portalUser));
        portalPasswordEdit_->setText(Q(record->portalPassword));
    } catch (const std::exception& e) {
        desktop_.prompter->inform(e.what());
    }
}

void ClientEntryWindow::onSaveClicked() {
    const TaxpayerRecord record{taxNumberEdit_->text().toStdString(),          surnameEdit_->text().toStdString(),
                                firstNameEdit_->text().toStdString(),         fatherNameEdit_->text().toStdString(),
                                portalUserEdit_->text().toStdString(), portalPasswordEdit_->text().toStdString()};
    try {
        SaveTaxpayer(tablesDir(), record, *desktop_.prompter);
    } catch (const std::exception& e) {
        desktop_.prompter->inform(e.what());
    }
}

void ClientEntryWindow::onClearClicked() {
    for (QLineEdit* field : {static_cast<QLineEdit*>(taxNumberEdit_), surnameEdit_, firstNameEdit_, fatherNameEdit_,
                             portalUserEdit_, portalPasswordEdit_})
        field->clear();
}

void ClientEntryWindow::onChooseClientClicked() {
    if (const auto taxNumber = ChooseTaxpayer(tablesDir(), desktop_, this)) loadClient(Q(*taxNumber));
}

bool ClientEntryWindow::eventFilter(QObject* object, QEvent* event) {
    if (event->type() != QEvent::KeyPress) return QDialog::eventFilter(object, event);
    auto* key = static_cast<QKeyEvent*>(event);
    // With Ctrl alone held the keys keep their usual meaning.
    if (key->modifiers() == Qt::ControlModifier) return false;
    const int at = tabOrder_.indexOf(static_cast<QWidget*>(object));
    if (at < 0) return false;
    const auto move = [&](int step) {
        tabOrder_[(at + step + tabOrder_.size()) % tabOrder_.size()]->setFocus(Qt::TabFocusReason);
        return true;
    };
    switch (key->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        if (qobject_cast<QPushButton*>(object)) {
            static_cast<QPushButton*>(object)->click();
            return true;
        }
        return move(1);
    case Qt::Key_Down:
        return move(1);
    case Qt::Key_Up:
        return move(-1);
    case Qt::Key_Escape:
        reject();
        return true;
    case Qt::Key_F3:
        if (object == surnameEdit_) {
            onChooseClientClicked();
            return true;
        }
        return false;
    default:
        return false;
    }
}

}  // namespace skartina
