// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/OfficeRunWindow.h"

#include "browser/PortalBrowser.h"
#include "common/ClientFiles.h"
#include "common/Edition.h"
#include "gui/QtText.h"
#include "gui/BrowserPlace.h"
#include "portal/BatchOfficePortal.h"
#include "portal/OfficeReport.h"
#include "portal/OfficeSelection.h"
#include "portal/PumpClock.h"
#include "registry/ClientLists.h"

#include <algorithm>

#include <QCoreApplication>
#include <QDateTime>
#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QThread>
#include <QVBoxLayout>

namespace skartina {
namespace {

QString Minutes(uint64_t ms) {
    const uint64_t seconds = ms / 1000;
    return QString("%1:%2").arg(seconds / 60).arg(seconds % 60, 2, 10, QChar('0'));
}

class WindowOfficeView : public OfficeView {
public:
    explicit WindowOfficeView(OfficeRunWindow& window) : window_(window) {}
    void Progress(const OfficeProgress& progress) override { window_.ShowProgress(progress); }
    bool CancelRequested() override { return window_.cancelRequested(); }

private:
    OfficeRunWindow& window_;
};

}  // namespace

OfficeRunWindow::OfficeRunWindow(const std::filesystem::path& workDir, QWidget* parent)
    : QDialog(parent), workDir_(workDir) {
    setObjectName("officeRunWindow");
    setWindowTitle("Άντληση στοιχείων πελατών από την Α.Α.Δ.Ε.");
    auto* layout = new QVBoxLayout(this);

    resumeBox_ = new QCheckBox(this);
    resumeBox_->setObjectName("resumeBox");
    layout->addWidget(resumeBox_);

    auto* clients = new QGroupBox("Πελάτες", this);
    auto* clientsLayout = new QVBoxLayout(clients);
    allClientsButton_ = new QRadioButton("Όλοι οι πελάτες", clients);
    allClientsButton_->setObjectName("allClientsButton");
    tickedClientsButton_ = new QRadioButton("Οι επιλεγμένοι", clients);
    tickedClientsButton_->setObjectName("tickedClientsButton");
    lackingClientsButton_ = new QRadioButton("Όσοι δεν έχουν στο φύλλο κάποιο από τα έτη", clients);
    lackingClientsButton_->setObjectName("lackingClientsButton");
    allClientsButton_->setChecked(true);
    auto* choices = new QHBoxLayout;
    for (QRadioButton* choice : {allClientsButton_, tickedClientsButton_, lackingClientsButton_}) {
        choices->addWidget(choice);
        connect(choice, &QRadioButton::toggled, this, [this] { onChoiceChanged(); });
    }
    clientsLayout->addLayout(choices);
    clientList_ = new QListWidget(clients);
    clientList_->setObjectName("clientList");
    clientList_->setMinimumHeight(160);
    clientsLayout->addWidget(clientList_);
    layout->addWidget(clients);

    auto* options = new QGroupBox("Έτη και είσοδος στην ΑΑΔΕ", this);
    auto* grid = new QGridLayout(options);
    firstYearEdit_ = new QSpinBox(options);
    firstYearEdit_->setObjectName("firstYearEdit");
    lastYearEdit_ = new QSpinBox(options);
    lastYearEdit_->setObjectName("lastYearEdit");
    for (QSpinBox* year : {firstYearEdit_, lastYearEdit_}) year->setRange(2003, kNewestYear);
    firstYearEdit_->setValue(2003);
    lastYearEdit_->setValue(kNewestYear);
    grid->addWidget(new QLabel("Από το έτος", options), 0, 0);
    grid->addWidget(firstYearEdit_, 0, 1);
    grid->addWidget(new QLabel("έως το έτος", options), 0, 2);
    grid->addWidget(lastYearEdit_, 0, 3);
    accountantBox_ = new QCheckBox("Είσοδος μία φορά ως λογιστής (αλλιώς με τα στοιχεία κάθε πελάτη)", options);
    accountantBox_->setObjectName("accountantBox");
    grid->addWidget(accountantBox_, 1, 0, 1, 4);
    portalUserEdit_ = new QLineEdit(options);
    portalUserEdit_->setObjectName("portalUserEdit");
    portalPasswordEdit_ = new QLineEdit(options);
    portalPasswordEdit_->setObjectName("portalPasswordEdit");
    portalPasswordEdit_->setEchoMode(QLineEdit::Password);
    grid->addWidget(new QLabel("Όνομα χρήστη", options), 2, 0);
    grid->addWidget(portalUserEdit_, 2, 1);
    grid->addWidget(new QLabel("Κωδικός", options), 2, 2);
    grid->addWidget(portalPasswordEdit_, 2, 3);
    extraWaitEdit_ = new QSpinBox(options);
    extraWaitEdit_->setObjectName("extraWaitEdit");
    extraWaitEdit_->setRange(0, 120);
    grid->addWidget(new QLabel("Επιπλέον αναμονή (δευτ.)", options), 3, 0);
    grid->addWidget(extraWaitEdit_, 3, 1);
    connect(accountantBox_, &QCheckBox::toggled, this, [this](bool on) {
        portalUserEdit_->setEnabled(on);
        portalPasswordEdit_->setEnabled(on);
    });
    portalUserEdit_->setEnabled(false);
    portalPasswordEdit_->setEnabled(false);
    layout->addWidget(options);

    clientLabel_ = new QLabel(this);
    clientLabel_->setObjectName("clientLabel");
    timeLabel_ = new QLabel(this);
    timeLabel_->setObjectName("timeLabel");
    clientsBar_ = new QProgressBar(this);
    clientsBar_->setObjectName("clientsBar");
    clientsBar_->setFormat("%v από %m πελάτες");
    layout->addWidget(clientLabel_);
    layout->addWidget(timeLabel_);
    layout->addWidget(clientsBar_);
    runSummary_ = new QPlainTextEdit(this);
    runSummary_->setObjectName("runSummary");
    runSummary_->setReadOnly(true);
    runSummary_->setMinimumHeight(100);
    layout->addWidget(runSummary_);

    auto* buttons = new QHBoxLayout;
    startButton_ = new QPushButton("Έναρξη άντλησης", this);
    startButton_->setObjectName("startButton");
    cancelButton_ = new QPushButton("Ακύρωση", this);
    cancelButton_->setObjectName("cancelButton");
    cancelButton_->setEnabled(false);
    closeButton_ = new QPushButton("Κλείσιμο", this);
    closeButton_->setObjectName("closeButton");
    buttons->addStretch();
    // Enter starts no run: none of the buttons is the window's default.
    for (QPushButton* button : {startButton_, cancelButton_, closeButton_}) {
        button->setAutoDefault(false);
        buttons->addWidget(button);
    }
    layout->addLayout(buttons);
    connect(startButton_, &QPushButton::clicked, this, [this] { onStartClicked(); });
    connect(cancelButton_, &QPushButton::clicked, this, [this] {
        cancelRequested_ = true;
        cancelButton_->setEnabled(false);
        clientLabel_->setText(clientLabel_->text() + " — ακύρωση μετά το τρέχον βήμα");
    });
    connect(closeButton_, &QPushButton::clicked, this, &QDialog::reject);

    fillClients();
    try {
        if (auto journal = ReadOfficeJournal(workDir_ / kTablesFolder)) unfinished_ = std::make_unique<OfficeJournal>(*journal);
    } catch (const std::exception& error) {
        runSummary_->setPlainText(Q(error.what()));
    }
    if (unfinished_) {
        resumeBox_->setText(QString("Συνέχεια της ημιτελούς άντλησης (%1 από %2 πελάτες ολοκληρώθηκαν)")
                                .arg(unfinished_->finished.size())
                                .arg(unfinished_->plan.taxNumbers.size()));
        resumeBox_->setChecked(true);
        accountantBox_->setChecked(unfinished_->plan.accountant);
        portalUserEdit_->setText(Q(unfinished_->plan.accountantUser));
        connect(resumeBox_, &QCheckBox::toggled, this, [this] { setChoiceEnabled(!resumeBox_->isChecked()); });
        setChoiceEnabled(false);
    } else {
        resumeBox_->hide();
    }
    onChoiceChanged();
}

OfficeRunWindow::~OfficeRunWindow() = default;

void OfficeRunWindow::fillClients() {
    std::vector<std::string> bad;
    for (const RegisterClient& client : RegisterClients(workDir_ / kTablesFolder, &bad)) {
        auto* item = new QListWidgetItem(Q(client.taxNumber + "  " + client.name), clientList_);
        item->setData(Qt::UserRole, Q(client.taxNumber));
        item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
        item->setCheckState(Qt::Unchecked);
    }
    if (!bad.empty()) runSummary_->setPlainText(Q(BadEntriesSentence(bad)));
}

void OfficeRunWindow::onChoiceChanged() {
    // The ticks count only for "Οι επιλεγμένοι".
    clientList_->setEnabled(!running_ && tickedClientsButton_->isChecked() && !(unfinished_ && resumeBox_->isChecked()));
}

void OfficeRunWindow::setChoiceEnabled(bool enabled) {
    for (QWidget* widget : std::initializer_list<QWidget*>{allClientsButton_, tickedClientsButton_, lackingClientsButton_, firstYearEdit_,
                                                           lastYearEdit_, accountantBox_})
        widget->setEnabled(enabled);
    portalUserEdit_->setEnabled(enabled && accountantBox_->isChecked());
    // A resumed accountant's run needs the password again; nothing changes while a run goes.
    portalPasswordEdit_->setEnabled(!running_ && accountantBox_->isChecked() &&
                              (enabled || (unfinished_ && unfinished_->plan.accountant)));
    extraWaitEdit_->setEnabled(!running_);
    onChoiceChanged();
}

std::unique_ptr<OfficeJournal> OfficeRunWindow::planFromChoice() {
    const auto tell = [this](const QString& text) {
        QMessageBox::information(this, windowTitle(), text);
        return std::unique_ptr<OfficeJournal>();
    };
    const std::filesystem::path tables = workDir_ / kTablesFolder;
    if (unfinished_ && resumeBox_->isChecked()) {
        if (unfinished_->plan.accountant && portalPasswordEdit_->text().isEmpty())
            return tell("Δώστε τον κωδικό (Password) του λογιστή.");
        return std::make_unique<OfficeJournal>(*unfinished_);
    }
    auto journal = std::make_unique<OfficeJournal>();
    OfficePlan& plan = journal->plan;
    if (firstYearEdit_->value() > lastYearEdit_->value()) return tell("Το πρώτο έτος είναι μετά το τελευταίο.");
    for (int year = lastYearEdit_->value(); year >= firstYearEdit_->value(); --year) plan.years.push_back(year);
    std::vector<std::string> lacking;
    if (lackingClientsButton_->isChecked()) lacking = ClientsLackingAYear(tables, plan.years);
    for (int row = 0; row < clientList_->count(); ++row) {
        const QListWidgetItem* item = clientList_->item(row);
        const std::string taxNumber = item->data(Qt::UserRole).toString().toStdString();
        const bool taken = allClientsButton_->isChecked() ||
                           (tickedClientsButton_->isChecked() && item->checkState() == Qt::Checked) ||
                           (lackingClientsButton_->isChecked() && std::find(lacking.begin(), lacking.end(), taxNumber) != lacking.end());
        if (taken && TaxNumberFileNameProblem(taxNumber).empty()) plan.taxNumbers.push_back(taxNumber);
    }
    if (plan.taxNumbers.empty()) return tell("Δεν υπάρχει πελάτης για άντληση.");
    plan.accountant = accountantBox_->isChecked();
    if (plan.accountant) {
        if (portalUserEdit_->text().isEmpty() || portalPasswordEdit_->text().isEmpty())
            return tell("Δώστε τα στοιχεία εισόδου (UserName, Password) του λογιστή.");
        plan.accountantUser = portalUserEdit_->text().toStdString();
    }
    plan.started = QDateTime::currentDateTime().toString("yyyyMMdd-HHmmss").toStdString();
    // A new run replaces an unfinished one the user chose not to go on with.
    if (unfinished_) RemoveOfficeJournal(tables);
    return journal;
}

Browser& OfficeRunWindow::portalBrowser() {
    if (!browser_) {
        // Every wait of the portal layer keeps the window alive.
        clock_ = std::make_unique<SteadyPumpClock>([] {
            QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
            QThread::msleep(1);
        });
        browser_ = MakePortalBrowser(*clock_, PortalHostsFromEnvironment());
    }
    return *browser_;
}

void OfficeRunWindow::onStartClicked() {
    if (running_) return;
    const std::unique_ptr<OfficeJournal> journal = planFromChoice();
    if (!journal) return;
    std::optional<PortalCredentials> accountant;
    if (journal->plan.accountant)
        accountant = PortalCredentials{{}, journal->plan.accountantUser, portalPasswordEdit_->text().toStdString(), true};

    running_ = true;
    cancelRequested_ = false;
    setChoiceEnabled(false);
    timeLabel_->clear();
    resumeBox_->setEnabled(false);
    startButton_->setEnabled(false);
    closeButton_->setEnabled(false);
    cancelButton_->setEnabled(true);
    runSummary_->clear();
    clientsBar_->setRange(0, static_cast<int>(journal->plan.taxNumbers.size()));
    clientsBar_->setValue(static_cast<int>(journal->finished.size()));
    clientLabel_->setText("Είσοδος στην Α.Α.Δ.Ε. ...");

    QStringList lines;
    try {
        PortalSession portal{portalBrowser(), PortalHostsFromEnvironment(), PortalTimingFromEnvironment(),
                             MakeRoomForBrowser(*this), {}};
        BatchOfficePortal office(portal, accountant, extraWaitEdit_->value());
        WindowOfficeView view(*this);
        const OfficeResult result = RunOffice(office, *journal, workDir_ / kTablesFolder, view);
        for (const std::string& line : OfficeSummaryLines(result.clients, result.cancelled)) lines << Q(line);
        lines << Q("Αναφορά: " + result.report.string());
        clientsBar_->setValue(static_cast<int>(std::count_if(result.clients.begin(), result.clients.end(), [](const OfficeClient& c) {
            return std::none_of(c.years.begin(), c.years.end(), [](const OfficeYear& y) { return y.end == OfficeYearEnd::NotReached; });
        })));
        unfinished_.reset();
        if (!result.finished)
            if (auto left = ReadOfficeJournal(workDir_ / kTablesFolder)) unfinished_ = std::make_unique<OfficeJournal>(*left);
    } catch (const std::exception& error) {
        lines << Q(std::string("Η άντληση διακόπηκε: ") + error.what());
    }
    running_ = false;
    clientLabel_->setText(cancelRequested_ ? "Η άντληση ακυρώθηκε." : "Η άντληση ολοκληρώθηκε.");
    // Nothing is left to estimate: the time the run took alone.
    timeLabel_->setText(timeLabel_->text().section(" · ", 0, 0));
    runSummary_->setPlainText(lines.join('\n'));
    cancelButton_->setEnabled(false);
    closeButton_->setEnabled(true);
    startButton_->setEnabled(true);
    if (unfinished_) {
        resumeBox_->show();
        resumeBox_->setEnabled(true);
        resumeBox_->setText(QString("Συνέχεια της ημιτελούς άντλησης (%1 από %2 πελάτες ολοκληρώθηκαν)")
                                .arg(unfinished_->finished.size())
                                .arg(unfinished_->plan.taxNumbers.size()));
        resumeBox_->setChecked(true);
        setChoiceEnabled(false);
    } else {
        resumeBox_->hide();
        setChoiceEnabled(true);
    }
}

void OfficeRunWindow::ShowProgress(const OfficeProgress& progress) {
    clientLabel_->setText(QString("Πελάτης %1 από %2: %3 %4 — έτος %5")
                              .arg(progress.client)
                              .arg(progress.clients)
                              .arg(Q(progress.taxNumber), Q(progress.name))
                              .arg(progress.year) +
                          (cancelRequested_ ? " — ακύρωση μετά το τρέχον βήμα" : ""));
    QString time = "Πέρασαν " + Minutes(progress.elapsedMs);
    if (progress.remainingMs) time += " · απομένουν περίπου " + Minutes(*progress.remainingMs);
    timeLabel_->setText(time);
    clientsBar_->setValue(progress.client - 1);
}

void OfficeRunWindow::reject() {
    if (running_) {
        cancelRequested_ = true;
        cancelButton_->setEnabled(false);
        return;
    }
    QDialog::reject();
}

}  // namespace skartina
