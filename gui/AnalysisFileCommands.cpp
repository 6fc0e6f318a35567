// SPDX-License-Identifier: GPL-3.0-or-later
// The analysis window's commands on the client and the file: the client of
// the sheet, opening, saving, replacing, the earlier versions, the client's
// documents, and closing with changes.

#include "gui/AnalysisWindow.h"

#include "common/ClientFiles.h"
#include "gui/TaxNumberEdit.h"
#include "gui/BatchProgressWindow.h"
#include "gui/AnalysisListWindow.h"
#include "gui/ClientListWindow.h"
#include "gui/IntegerEdit.h"
#include "gui/QtText.h"
#include "gui/SheetModel.h"
#include "registry/TaxNumberCheck.h"
#include "registry/TaxpayerRecord.h"
#include "gui/RetrievalWorker.h"
#include "sheet/AnalysisFile.h"
#include "sheet/AnalysisHistory.h"
#include "portal/YearRetrieval.h"
#include "portal/YearSources.h"
#include "sheet/SheetRows.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

namespace skartina {

void AnalysisWindow::FillTaxpayerFields() {
    const std::string taxNumber = taxNumberEdit_->text().toStdString();
    // Another client: the login kept for the last one ends.
    retrieval_->endKeptLogin(taxNumber);
    if (taxNumber.empty() || !TaxNumberFileNameProblem(taxNumber).empty()) return;
    attempt([&] {
        const auto record = LoadTaxpayer(tablesDir(), taxNumber);
        if (!record) return;
        taxNumberEdit_->setText(Q(record->taxNumber));
        nameEdit_->setText(Q(record->surname + " " + record->firstName));
        portalUserEdit_->setText(Q(record->portalUser));
        portalPasswordEdit_->setText(Q(record->portalPassword));
    });
}

bool AnalysisWindow::OpenAnalysisOf(const QString& taxNumber) {
    taxNumberEdit_->setText(taxNumber);
    FillTaxpayerFields();
    bool loaded = false;
    attempt([&] { loaded = document_->open(taxNumber.toStdString()); });
    if (loaded) syncYearBoxes();
    handEntry_.reset();
    RecalculateSheet();
    // The sheet as saved is where undo stops.
    if (loaded) document_->markClean();
    return loaded;
}

void AnalysisWindow::onTaxNumberLeft() {
    const QString taxNumber = taxNumberEdit_->text();
    if (taxNumber.isEmpty() || retrieving_) return;
    CommitOpenEdit();
    // The sheet belongs to one client: another tax number starts that client's sheet.
    if (!document_->taxNumber().isEmpty() && taxNumber != document_->taxNumber() && sheetHoldsWork()) {
        switchClient(taxNumber);
        return;
    }
    if (!document_->taxNumber().isEmpty() && taxNumber != document_->taxNumber()) {
        // An empty sheet of another client: the new one's fields, none of the old one's.
        nameEdit_->clear();
        portalUserEdit_->clear();
        portalPasswordEdit_->clear();
    }
    FillTaxpayerFields();
    // A sheet that was nobody's, or an empty one, is now this client's.
    document_->setTaxNumber(taxNumberEdit_->text());
    // The tax number of a saved analysis typed into a sheet without changes:
    // the client's sheet is offered, so that a save never replaces it by an empty one.
    if (isModified()) return;
    const std::string typed = taxNumberEdit_->text().toStdString();
    std::optional<FileStamp> saved;
    Sheet onDisk;
    try {
        saved = StampOf(document_->fileOf(typed));
        if (!document_->isForeign(saved) || !LoadSheetFromFile(saved->path, onDisk)) return;
    } catch (const std::exception&) {
        return;  // a file that does not open is told when it is opened or replaced
    }
    if (desktop_.prompter->offer("Υπάρχει αποθηκευμένη δήλωση του Α.Φ.Μ. " + typed + " (αποθηκεύτηκε στις " +
                                 SavedAtText(*saved) + ", " + DescribeYearsWithFigures(onDisk) + "). Να ανοίξει;"))
        OpenAnalysisOf(taxNumberEdit_->text());
}

bool AnalysisWindow::sheetHoldsWork() const { return isModified() || !YearsWithFigures(sheet_).empty(); }

std::string AnalysisWindow::ownerTaxNumber() const {
    return (document_->taxNumber().isEmpty() ? taxNumberEdit_->text() : document_->taxNumber()).toStdString();
}

bool AnalysisWindow::switchClient(const QString& taxNumber) {
    const std::string from = document_->taxNumber().toStdString();
    const std::string to = taxNumber.toStdString();
    if (!mayReplaceSheet("Η δήλωση του " + document_->clientLabel(from) +
                         " έχει αλλαγές που δεν έχουν αποθηκευτεί. Να αποθηκευτούν πριν ανοίξει η δήλωση του " +
                         document_->clientLabel(to) + ";")) {
        taxNumberEdit_->setText(document_->taxNumber());
        return false;
    }
    bool saved = false;
    attempt([&] { saved = std::filesystem::exists(document_->fileOf(to)); });
    nameEdit_->clear();
    portalUserEdit_->clear();
    portalPasswordEdit_->clear();
    if (saved && OpenAnalysisOf(taxNumber)) return true;
    // A client without a saved analysis starts on an empty sheet of the same years.
    taxNumberEdit_->setText(taxNumber);
    FillTaxpayerFields();
    marriedAllYearsBox_->setChecked(false);
    ResetSheet();
    document_->startNew(taxNumber);
    return true;
}

bool AnalysisWindow::sheetIsTheFieldsClients() {
    const QString taxNumber = taxNumberEdit_->text();
    if (taxNumber.isEmpty() || document_->taxNumber().isEmpty() || taxNumber == document_->taxNumber()) return true;
    CommitOpenEdit();
    if (!sheetHoldsWork()) {
        onTaxNumberLeft();
        return true;
    }
    return switchClient(taxNumber);
}

bool AnalysisWindow::onSaveClicked() {
    CommitOpenEdit();
    return saveSheet(true, false);
}

bool AnalysisWindow::saveSheet(bool tell, bool replaceAgreed) {
    const std::string taxNumber = taxNumberEdit_->text().toStdString();
    if (taxNumber.empty()) {
        desktop_.prompter->inform(kNoTaxNumberToSaveMessage);
        return false;
    }
    // Never under another client's number without a question that names both.
    if (!document_->taxNumber().isEmpty() && document_->taxNumber().toStdString() != taxNumber &&
        !desktop_.prompter->confirm("Το φύλλο είναι του " + document_->clientLabel(document_->taxNumber().toStdString()) +
                                    ". Να αποθηκευτεί ως δήλωση του " + document_->clientLabel(taxNumber) + ";"))
        return false;
    return saveSheetAs(taxNumber, tell, replaceAgreed);
}

bool AnalysisWindow::saveSheetAs(const std::string& taxNumber, bool tell, bool replaceAgreed) {
    if (!IsWholeTaxNumber(taxNumber) && !desktop_.prompter->confirm(kInvalidTaxNumberAnalysisQuestion)) return false;
    bool written = false;
    attempt([&] {
        // Saving the analysis this window opened or saved asks nothing; any other file on disk is named first.
        if (!replaceAgreed) {
            const std::string question = document_->replaceQuestion(kOverwriteAnalysisQuestion, taxNumber);
            if (!question.empty() && !desktop_.prompter->confirm(question)) return;
        }
        // The file it replaces stays among the client's earlier versions.
        document_->save(taxNumber);
        written = true;
    });
    if (!written) return false;
    if (tell) desktop_.prompter->inform(kAnalysisSavedMessage);
    return true;
}

bool AnalysisWindow::mayReplaceSheet(const std::string& lead) {
    CommitOpenEdit();
    if (!isModified()) return true;
    const std::string owner = ownerTaxNumber();
    std::string question = lead;
    attempt([&] {
        if (const std::string replacing = document_->replaceQuestion(question, owner); !replacing.empty()) question = replacing;
    });
    switch (desktop_.prompter->ask(question)) {
    case Prompter::Answer::Yes:
        // Saved under the sheet's own client (not saved, and told why: the sheet stays).
        if (owner.empty()) {
            desktop_.prompter->inform(kNoTaxNumberToSaveMessage);
            return false;
        }
        return saveSheetAs(owner, false, true);
    case Prompter::Answer::No:
        return true;
    case Prompter::Answer::Cancel:
        return false;
    }
    return false;
}

void AnalysisWindow::onOpenClicked() {
    const auto taxNumber = ChooseAnalysis(tablesDir(), workYear().toStdString(), desktop_, this);
    if (taxNumber && mayReplaceSheet()) OpenAnalysisOf(Q(*taxNumber));
}

void AnalysisWindow::onChooseClientClicked() {
    const auto taxNumber = ChooseTaxpayer(tablesDir(), desktop_, this);
    if (!taxNumber || !mayReplaceSheet()) return;
    taxNumberEdit_->setText(Q(*taxNumber));
    FillTaxpayerFields();
    bool saved = false;
    attempt([&] { saved = std::filesystem::exists(AnalysisFilePath(tablesDir(), *taxNumber, workYear().toStdString())); });
    if (saved) {
        OpenAnalysisOf(Q(*taxNumber));
    } else {
        ResetSheet();
        document_->startNew(Q(*taxNumber));
    }
}

void AnalysisWindow::onVersionsClicked() {
    if (retrieving_) return;
    const std::string taxNumber = taxNumberEdit_->text().toStdString();
    if (taxNumber.empty()) return desktop_.prompter->inform(kNoTaxNumberMessage);
    std::vector<std::filesystem::path> versions;
    if (!attempt([&] { versions = KeptVersions(tablesDir(), taxNumber); })) return;
    if (versions.empty())
        return desktop_.prompter->inform("Δεν υπάρχουν προηγούμενες εκδόσεις του φύλλου για τον Α.Φ.Μ. " + taxNumber + ".");

    QDialog chooser(this);
    chooser.setObjectName("versionsWindow");
    chooser.setWindowTitle("Προηγούμενες εκδόσεις");
    auto* layout = new QVBoxLayout(&chooser);
    layout->addWidget(new QLabel("Το φύλλο όπως ήταν πριν από κάθε αντικατάστασή του (νεότερο πρώτο):", &chooser));
    auto* list = new QListWidget(&chooser);
    list->setObjectName("versionsList");
    for (const std::filesystem::path& version : versions) list->addItem(Q(VersionTimeText(version)));
    list->setCurrentRow(0);
    layout->addWidget(list);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Open | QDialogButtonBox::Cancel, &chooser);
    // Enter does not replace the sheet: the harmless button is the default.
    buttons->button(QDialogButtonBox::Open)->setAutoDefault(false);
    buttons->button(QDialogButtonBox::Cancel)->setDefault(true);
    layout->addWidget(buttons);
    connect(buttons, &QDialogButtonBox::accepted, &chooser, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, &chooser, &QDialog::reject);
    connect(list, &QListWidget::itemDoubleClicked, &chooser, &QDialog::accept);
    if (chooser.exec() != QDialog::Accepted || list->currentRow() < 0) return;
    if (!mayReplaceSheet()) return;
    OpenVersion(versions[static_cast<size_t>(list->currentRow())]);
}

void AnalysisWindow::OpenVersion(const std::filesystem::path& version) {
    CommitOpenEdit();
    bool loaded = false;
    attempt([&] { loaded = document_->openVersion(version); });
    if (!loaded) return;
    syncYearBoxes();
    handEntry_.reset();
    RecalculateSheet();
    // Saving it makes it the client's sheet again; until then the file stays as it is.
    document_->record("Προηγούμενη έκδοση");
}

void AnalysisWindow::reject() {
    if (retrieving_) {
        if (closeRequested_) return;
        // A run of many years is the user's to give up: asked, not assumed.
        if (batchRunning_ && !desktop_.prompter->confirm(kCancelRunQuestion)) return;
        closeRequested_ = true;  // the retrieval ends at its next look at the pages, then the window closes
        if (progress_) progress_->reject();
        retrieval_->cancel();
        return;
    }
    CommitOpenEdit();
    if (isModified()) {
        // One question: Ναι saves (naming the file it replaces, if any) and closes.
        std::string question = kSaveChangesQuestion;
        attempt([&] {
            const std::string taxNumber = taxNumberEdit_->text().toStdString();
            if (const std::string replacing = document_->replaceQuestion(question, taxNumber); !replacing.empty()) question = replacing;
        });
        switch (desktop_.prompter->ask(question)) {
        case Prompter::Answer::Yes:
            if (!saveSheet(false, true)) return;  // not saved, and told why: the window and its sheet stay
            break;
        case Prompter::Answer::No:
            break;
        case Prompter::Answer::Cancel:
            return;
        }
    }
    retrieval_->endKeptLogin();
    QDialog::reject();
}

void AnalysisWindow::onPortalDocumentsClicked() {
    const std::string taxNumber = taxNumberEdit_->text().toStdString();
    if (taxNumber.empty()) return desktop_.prompter->inform(kNoTaxNumberMessage);
    std::filesystem::path folder;
    if (!attempt([&] { folder = SourcesFolder(tablesDir(), taxNumber); })) return;
    if (!std::filesystem::is_directory(folder))
        return desktop_.prompter->inform("Δεν υπάρχουν ακόμη έγγραφα της Α.Α.Δ.Ε. για τον Α.Φ.Μ. " + taxNumber + ".");
    const QString shown = QString::fromStdString(std::filesystem::absolute(folder).string());
    if (!desktop_.open(shown)) desktop_.prompter->inform(NotOpenedSentence(shown));
}

}  // namespace skartina
