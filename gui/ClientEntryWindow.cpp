#include "gui/ClientEntryWindow.h"

#include "gui/Pictures.h"
#include "gui/QtText.h"
#include "common/ClientFiles.h"
#include "registry/TaxpayerRecord.h"
#include "gui/ClientListWindow.h"
#include "gui/AfmEdit.h"

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
    setObjectName("fiNewCustomer");
    setWindowTitle("Διαχείριση πελατών / επαφών");

    edAFM = new AfmEdit(this);
    edAFM->setObjectName("edAFM");
    edBigName = new QLineEdit(this);
    edBigName->setObjectName("edBigName");
    edName = new QLineEdit(this);
    edName->setObjectName("edName");
    edFName = new QLineEdit(this);
    edFName->setObjectName("edFName");
    edUserNameTaxis = new QLineEdit(this);
    edUserNameTaxis->setObjectName("edUserNameTaxis");
    edPasswordTaxis = new QLineEdit(this);
    edPasswordTaxis->setObjectName("edPasswordTaxis");
    // The portal password is masked; the button beside it shows it only while held.
    edPasswordTaxis->setEchoMode(QLineEdit::Password);
    auto* showPassword = new QToolButton(this);
    showPassword->setObjectName("btShowPassword");
    showPassword->setText("Εμφάνιση");
    showPassword->setToolTip("Κρατήστε πατημένο για να φανεί ο κωδικός");
    showPassword->setFocusPolicy(Qt::NoFocus);
    connect(showPassword, &QToolButton::pressed, this, [this] { edPasswordTaxis->setEchoMode(QLineEdit::Normal); });
    connect(showPassword, &QToolButton::released, this, [this] { edPasswordTaxis->setEchoMode(QLineEdit::Password); });
    const std::array<QLineEdit*, kRecordLines> fields = {edAFM, edBigName, edName, edFName, edUserNameTaxis, edPasswordTaxis};
    const int maxLengths[kRecordLines] = {40, 40, 20, 20, 20, 20};

    Image2 = new QToolButton(this);
    Image2->setObjectName("Image2");
    Image2->setIcon(style()->standardIcon(QStyle::SP_FileDialogContentsView));
    Image2->setAutoRaise(true);
    Image2->setToolTip(Q(std::string("Κατάλογος (F3)")));

    auto* form = new QGridLayout;
    for (int i = 0; i < kRecordLines; ++i) {
        fields[static_cast<size_t>(i)]->setMaxLength(maxLengths[i]);
        form->addWidget(new QLabel(Q(kRecordFieldLabels[static_cast<size_t>(i)]), this), i, 0);
        form->addWidget(fields[static_cast<size_t>(i)], i, 1);
    }
    form->addWidget(Image2, 1, 2);
    form->addWidget(showPassword, kRecordLines - 1, 2);

    btSave = new QPushButton("Αποθήκευση", this);
    btSave->setObjectName("btSave");
    btClose = new QPushButton("Έξοδος", this);
    btClose->setObjectName("btClose");
    btClearEdits = new QPushButton("Καθαρισμα", this);
    btClearEdits->setObjectName("btClearEdits");
    for (QPushButton* b : {btSave, btClose, btClearEdits}) b->setAutoDefault(false);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(btSave);
    buttons->addWidget(btClose);
    buttons->addWidget(btClearEdits);

    auto* picture = new QLabel(this);
    picture->setPixmap(TilePicture("+", "Πελάτες", QSize(140, 140)));
    auto* right = new QVBoxLayout;
    right->addLayout(form);
    right->addStretch();
    right->addLayout(buttons);
    auto* layout = new QHBoxLayout(this);
    layout->addWidget(picture, 0, Qt::AlignTop);
    layout->addLayout(right, 1);

    tabOrder_ = {edAFM, edBigName, edName, edFName, edUserNameTaxis, edPasswordTaxis, btSave, btClose, btClearEdits};
    for (int i = 0; i + 1 < tabOrder_.size(); ++i) setTabOrder(tabOrder_[i], tabOrder_[i + 1]);
    for (QWidget* w : tabOrder_) w->installEventFilter(this);

    connect(edAFM, &AfmEdit::exited, this, &ClientEntryWindow::edAFMExit);
    connect(btSave, &QPushButton::clicked, this, &ClientEntryWindow::btSaveClick);
    connect(btClose, &QPushButton::clicked, this, &QDialog::reject);
    connect(btClearEdits, &QPushButton::clicked, this, &ClientEntryWindow::btClearEditsClick);
    connect(Image2, &QToolButton::clicked, this, &ClientEntryWindow::Image2Click);
}

ClientEntryWindow::~ClientEntryWindow() {
    // Leaving the tax-number field loads a record: let that happen while the window is whole.
    if (QWidget* focused = focusWidget()) focused->clearFocus();
}

std::filesystem::path ClientEntryWindow::tablesDir() const { return workDir_ / kTablesFolder; }

void ClientEntryWindow::edAFMExit() {
    const std::string afm = edAFM->text().toStdString();
    if (afm.empty()) return;
    try {
        const auto record = LoadTaxpayer(tablesDir(), afm);
        if (!record) return;
        edAFM->setText(Q(record->afm));
        edBigName->setText(Q(record->surname));
        edName->setText(Q(record->firstName));
        edFName->setText(Q(record->fatherName));
        edUserNameTaxis->setText(Q(record->portalUser));
        edPasswordTaxis->setText(Q(record->portalPassword));
    } catch (const std::exception& e) {
        desktop_.prompter->inform(e.what());
    }
}

void ClientEntryWindow::btSaveClick() {
    const TaxpayerRecord record{edAFM->text().toStdString(),          edBigName->text().toStdString(),
                                edName->text().toStdString(),         edFName->text().toStdString(),
                                edUserNameTaxis->text().toStdString(), edPasswordTaxis->text().toStdString()};
    try {
        SaveTaxpayer(tablesDir(), record, *desktop_.prompter);
    } catch (const std::exception& e) {
        desktop_.prompter->inform(e.what());
    }
}

void ClientEntryWindow::btClearEditsClick() {
    for (QLineEdit* field : {static_cast<QLineEdit*>(edAFM), edBigName, edName, edFName, edUserNameTaxis, edPasswordTaxis})
        field->clear();
}

void ClientEntryWindow::Image2Click() {
    if (const auto afm = ChooseTaxpayer(tablesDir(), desktop_, this)) {
        edAFM->setText(Q(*afm));
        edAFMExit();
    }
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
        if (object == edBigName) {
            Image2Click();
            return true;
        }
        return false;
    default:
        return false;
    }
}

}  // namespace skartina
