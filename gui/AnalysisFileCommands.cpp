// SPDX-License-Identifier: GPL-3.0-or-later
// The analysis window's commands on the client and the file: the client of
// the sheet, opening, saving, replacing, the earlier versions, the client's
// documents, and closing with changes.

#include "gui/AnalysisWindow.h"

#include "common/ClientFiles.h"
#include "gui/AfmEdit.h"
#include "gui/BatchProgressWindow.h"
#include "gui/AnalysisListWindow.h"
#include "gui/ClientListWindow.h"
#include "gui/IntegerEdit.h"
#include "gui/QtText.h"
#include "gui/SheetModel.h"
#include "registry/AfmCheck.h"
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
    const std::string afm = taxNumberEdit_->text().toStdString();
    // Another client: the login kept for the last one ends.
    retrieval_->endKeptLogin(afm);
    if (afm.empty() || !AfmFileNameProblem(afm).empty()) return;
    attempt([&] {
        const auto record = LoadTaxpayer(tablesDir(), afm);
        if (!record) return;
        taxNumberEdit_->setText(Q(record->afm));
        nameEdit_->setText(Q(record->surname + " " + record->firstName));
        portalUserEdit_->setText(Q(record->portalUser));
        portalPasswordEdit_->setText(Q(record->portalPassword));
    });
}

bool AnalysisWindow::OpenAnalysisOf(const QString& afm) {
    taxNumberEdit_->setText(afm);
    FillTaxpayerFields();
    bool loaded = false;
    attempt([&] { loaded = document_->open(afm.toStdString()); });
    if (loaded) syncYearBoxes();
    handEntry_.reset();
    RecalculateSheet();
    // The sheet as saved is where undo stops.
    if (loaded) document_->markClean();
    return loaded;
}

void AnalysisWindow::onTaxNumberLeft() {
    const QString afm = taxNumberEdit_->text();
    if (afm.isEmpty() || retrieving_) return;
    CommitOpenEdit();
    // The sheet belongs to one client: another tax number starts that client's sheet.
    if (!document_->afm().isEmpty() && afm != document_->afm() && sheetHoldsWork()) {
        switchClient(afm);
        return;
    }
    if (!document_->afm().isEmpty() && afm != document_->afm()) {
        // An empty sheet of another client: the new one's fields, none of the old one's.
        nameEdit_->clear();
        portalUserEdit_->clear();
        portalPasswordEdit_->clear();
    }
    FillTaxpayerFields();
    // A sheet that was nobody's, or an empty one, is now this client's.
    document_->setAfm(taxNumberEdit_->text());
    // The tax number of a saved analysis typed into a sheet without changes:
    // the client's sheet is offered, so that a save never replaces it by an empty one.
    if (isModified()) return;
    const std::string typed = taxNumberEdit_->text().toStdString();
    std::optional<FileStamp> saved;
    SheetGrid onDisk;
    try {
        saved = StampOf(document_->fileOf(typed));
        if (!document_->isForeign(saved) || !LoadGridFromFile(saved->path, onDisk)) return;
    } catch (const std::exception&) {
        return;  // a file that does not open is told when it is opened or replaced
    }
    if (desktop_.prompter->offer("Υπάρχει αποθηκευμένη δήλωση του Α.Φ.Μ. " + typed + " (αποθηκεύτηκε στις " +
                                 SavedAtText(*saved) + ", " + DescribeYearsWithFigures(onDisk) + "). Να ανοίξει;"))
        OpenAnalysisOf(taxNumberEdit_->text());
}

bool AnalysisWindow::sheetHoldsWork() const { return isModified() || !YearsWithFigures(grid_).empty(); }

std::string AnalysisWindow::ownerAfm() const {
    return (document_->afm().isEmpty() ? taxNumberEdit_->text() : document_->afm()).toStdString();
}

bool AnalysisWindow::switchClient(const QString& afm) {
    const std::string from = document_->afm().toStdString();
    const std::string to = afm.toStdString();
    if (!mayReplaceSheet("Η δήλωση του " + document_->clientLabel(from) +
                         " έχει αλλαγές που δεν έχουν αποθηκευτεί. Να αποθηκευτούν πριν ανοίξει η δήλωση του " +
                         document_->clientLabel(to) + ";")) {
        taxNumberEdit_->setText(document_->afm());
        return false;
    }
    bool saved = false;
    attempt([&] { saved = std::filesystem::exists(document_->fileOf(to)); });
    nameEdit_->clear();
    portalUserEdit_->clear();
    portalPasswordEdit_->clear();
    if (saved && OpenAnalysisOf(afm)) return true;
    // A client without a saved analysis starts on an empty sheet of the same years.
    taxNumberEdit_->setText(afm);
    FillTaxpayerFields();
    marriedAllYearsBox_->setChecked(false);
    ResetSheet();
    document_->startNew(afm);
    return true;
}

bool AnalysisWindow::sheetIsTheFieldsClients() {
    const QString afm = taxNumberEdit_->text();
    if (afm.isEmpty() || document_->afm().isEmpty() || afm == document_->afm()) return true;
    CommitOpenEdit();
    if (!sheetHoldsWork()) {
        onTaxNumberLeft();
        return true;
    }
    return switchClient(afm);
}

bool AnalysisWindow::onSaveClicked() {
    CommitOpenEdit();
    return saveSheet(true, false);
}

bool AnalysisWindow::saveSheet(bool tell, bool replaceAgreed) {
    const std::string afm = taxNumberEdit_->text().toStdString();
    if (afm.empty()) {
        desktop_.prompter->inform(kNoAfmToSaveMessage);
        return false;
    }
    // Never under another client's number without a question that names both.
    if (!document_->afm().isEmpty() && document_->afm().toStdString() != afm &&
        !desktop_.prompter->confirm("Το φύλλο είναι του " + document_->clientLabel(document_->afm().toStdString()) +
                                    ". Να αποθηκευτεί ως δήλωση του " + document_->clientLabel(afm) + ";"))
        return false;
    return saveSheetAs(afm, tell, replaceAgreed);
}

bool AnalysisWindow::saveSheetAs(const std::string& afm, bool tell, bool replaceAgreed) {
    if (!IsWholeAfm(afm) && !desktop_.prompter->confirm(kInvalidAfmAnalysisQuestion)) return false;
    bool written = false;
    attempt([&] {
        // Saving the analysis this window opened or saved asks nothing; any other file on disk is named first.
        if (!replaceAgreed) {
            const std::string question = document_->replaceQuestion(kOverwriteAnalysisQuestion, afm);
            if (!question.empty() && !desktop_.prompter->confirm(question)) return;
        }
        // The file it replaces stays among the client's earlier versions.
        document_->save(afm);
        written = true;
    });
    if (!written) return false;
    if (tell) desktop_.prompter->inform(kAnalysisSavedMessage);
    return true;
}

bool AnalysisWindow::mayReplaceSheet(const std::string& lead) {
    CommitOpenEdit();
    if (!isModified()) return true;
    const std::string owner = ownerAfm();
    std::string question = lead;
    attempt([&] {
        if (const std::string replacing = document_->replaceQuestion(question, owner); !replacing.empty()) question = replacing;
    });
    switch (desktop_.prompter->ask(question)) {
    case Prompter::Answer::Yes:
        // Saved under the sheet's own client (not saved, and told why: the sheet stays).
        if (owner.empty()) {
            desktop_.prompter->inform(kNoAfmToSaveMessage);
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
    const auto afm = ChooseAnalysis(tablesDir(), workYear().toStdString(), desktop_, this);
    if (afm && mayReplaceSheet()) OpenAnalysisOf(Q(*afm));
}

void AnalysisWindow::onChooseClientClicked() {
    const auto afm = ChooseTaxpayer(tablesDir(), desktop_, this);
    if (!afm || !mayReplaceSheet()) return;
    taxNumberEdit_->setText(Q(*afm));
    FillTaxpayerFields();
    bool saved = false;
    attempt([&] { saved = std::filesystem::exists(AnalysisFilePath(tablesDir(), *afm, workYear().toStdString())); });
    if (saved) {
        OpenAnalysisOf(Q(*afm));
    } else {
        ResetSheet();
        document_->startNew(Q(*afm));
    }
}

void AnalysisWindow::onVersionsClicked() {
    if (retrieving_) return;
    const std::string afm = taxNumberEdit_->text().toStdString();
    if (afm.empty()) return desktop_.prompter->inform(kNoAfmMessage);
    std::vector<std::filesystem::path> versions;
    if (!attempt([&] { versions = KeptVersions(tablesDir(), afm); })) return;
    if (versions.empty())
        return desktop_.prompter->inform("Δεν υπάρχουν προηγούμενες εκδόσεις του φύλλου για τον Α.Φ.Μ. " + afm + ".");

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
            const std::string afm = taxNumberEdit_->text().toStdString();
            if (const std::string replacing = document_->replaceQuestion(question, afm); !replacing.empty()) question = replacing;
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
    const std::string afm = taxNumberEdit_->text().toStdString();
    if (afm.empty()) return desktop_.prompter->inform(kNoAfmMessage);
    std::filesystem::path folder;
    if (!attempt([&] { folder = SourcesFolder(tablesDir(), afm); })) return;
    if (!std::filesystem::is_directory(folder))
        return desktop_.prompter->inform("Δεν υπάρχουν ακόμη έγγραφα της Α.Α.Δ.Ε. για τον Α.Φ.Μ. " + afm + ".");
    const QString shown = QString::fromStdString(std::filesystem::absolute(folder).string());
    if (!desktop_.open(shown)) desktop_.prompter->inform(NotOpenedSentence(shown));
}

}  // namespace skartina
