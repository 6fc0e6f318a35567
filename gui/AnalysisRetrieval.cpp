// SPDX-License-Identifier: GPL-3.0-or-later
// The analysis window's retrievals: the year buttons and the run of every
// ticked year. The navigation runs in the RetrievalWorker; the window takes
// each year it filled, asks where it would change the sheet's own figures,
// and tells the end.

#include "gui/AnalysisWindow.h"

#include "gui/TaxNumberEdit.h"
#include "gui/BatchProgressWindow.h"
#include "gui/BrowserPlace.h"
#include "gui/IntegerEdit.h"
#include "gui/RetrievalWorker.h"
#include "gui/SheetModel.h"
#include "gui/SheetView.h"
#include "portal/YearRetrieval.h"
#include "portal/YearSources.h"
#include "sheet/SavedAnalysis.h"

#include <QAction>
#include <QCheckBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QToolButton>

namespace skartina {
namespace {

// Takes every key while a retrieval runs: typing then reaches neither the
// sheet nor the browser's window, whichever has the focus on the desktop.
class KeySink : public QWidget {
public:
    explicit KeySink(QWidget* parent) : QWidget(parent) { setObjectName("retrievalKeySink"); }

protected:
    void keyPressEvent(QKeyEvent* event) override { event->accept(); }
    void keyReleaseEvent(QKeyEvent* event) override { event->accept(); }
};

}  // namespace

void AnalysisWindow::connectRetrieval() {
    retrieval_ = new RetrievalWorker(this);
    connect(retrieval_, &RetrievalWorker::yearFilled, this, [this](int year, const Sheet& sheet) {
        filledYears_.push_back({year, sheet});
        takeFilledYears();
    });
    connect(retrieval_, &RetrievalWorker::progress, this, [this](const BatchProgress& progress) {
        if (progress_) progress_->ShowProgress(progress);
    });
    connect(retrieval_, &RetrievalWorker::yearEnded, this, [this] {
        if (progress_) progress_->YearEnded();
    });
    connect(retrieval_, &RetrievalWorker::finished, this, [this](const BatchResult& result, const E1CodeTable& e1) {
        runEnd_ = RunEnd{result, e1};
        takeFilledYears();
    });
}

void AnalysisWindow::setSheetCommandsEnabled(bool enabled) {
    for (auto& [year, button] : retrieveYearButtons_) button->setEnabled(enabled);
    for (auto& [year, box] : yearBoxes_) box->setEnabled(enabled);
    // The client's fields too: a retrieval reads them, and a mouse paste must not change them under it.
    for (QWidget* command : std::initializer_list<QWidget*>{firstYearEdit_, chooseClientButton_, openButton_, saveButton_,
                                                            exportExcelButton_, exportCsvButton_, marriedAllYearsBox_,
                                                            retrieveAllYearsButton_, taxNumberEdit_, nameEdit_,
                                                            accountantBox_, portalUserEdit_, portalPasswordEdit_,
                                                            extraWaitEdit_, fixedPausesBox_, versionsButton_})
        command->setEnabled(enabled);
    for (QAction* command : sheetCommands_) command->setEnabled(enabled);
    syncUndoActions();
}

std::filesystem::path AnalysisWindow::sourcesFolder() const {
    std::filesystem::path folder;
    try {
        folder = SourcesFolder(tablesDir(), taxNumberEdit_->text().toStdString());
    } catch (const std::exception&) {
        // A tax number that cannot name a folder keeps nothing.
    }
    return folder;
}

PortalCredentials AnalysisWindow::credentials() const {
    return {taxNumberEdit_->text().toStdString(), portalUserEdit_->text().toStdString(),
            portalPasswordEdit_->text().toStdString(), accountantBox_->isChecked()};
}

bool AnalysisWindow::startRun(BatchRequest request, int singleYear) {
    RecalculateSheet();
    runBefore_ = sheet_;
    keptOwnYears_.clear();
    runAnswerForAll_.reset();
    runYear_ = singleYear;
    runEnd_.reset();
    filledYears_.clear();
    CommitOpenEdit();
    // The run's years become one undo step at its end.
    document_->setPaused(true);
    retrieving_ = true;
    batchRunning_ = singleYear == 0;
    setSheetCommandsEnabled(false);
    model_->setReadOnly(true);
    if (!keySink_) keySink_ = new KeySink(this);
    keySink_->grabKeyboard();
    const ScreenRect place = BrowserPlaceBeside(*this);
    retrieval_->start({std::move(request), place, sheet_});
    return true;
}

void AnalysisWindow::onRetrieveYearClicked(int year) {
    // One retrieval at a time: they share the sheet.
    if (retrieving_) return;
    CommitOpenEdit();
    if (!sheetIsTheFieldsClients()) return;
    const auto box = yearBoxes_.find(year);
    const bool ticked = box != yearBoxes_.end() && box->second->isChecked();
    const YearRequest year_{year, credentials(), extraWaitEdit_->Value(), {}, fixedPausesBox_->isChecked()};
    if (const std::optional<std::string> problem = YearRequestProblem(year_, ticked))
        return desktop_.prompter->inform(*problem);
    waitLabel_->move((width() - waitLabel_->width()) / 2, (height() - waitLabel_->height()) / 2);
    waitLabel_->raise();
    waitLabel_->show();
    startRun({year_.credentials, {year}, year_.extraSeconds, sourcesFolder(), year_.fixedPauses}, year);
}

void AnalysisWindow::onRetrieveAllYearsClicked() {
    if (retrieving_) return;
    CommitOpenEdit();
    if (!sheetIsTheFieldsClients()) return;
    BatchRequest request;
    request.credentials = credentials();
    request.extraSeconds = extraWaitEdit_->Value();
    for (const auto& [year, box] : yearBoxes_)
        if (year >= 2003 && box->isChecked()) request.years.push_back(year);
    if (request.years.empty()) return desktop_.prompter->inform(kNoYearsTickedMessage);
    if (request.credentials.taxNumber.empty()) return desktop_.prompter->inform(kNoTaxNumberMessage);
    if (request.credentials.user.empty() || request.credentials.password.empty())
        return desktop_.prompter->inform(kNoCredentialsMessage);
    if (!attempt([&] { request.sourcesFolder = SourcesFolder(tablesDir(), request.credentials.taxNumber); })) return;
    request.fixedPauses = fixedPausesBox_->isChecked();

    progress_ = std::make_unique<BatchProgressWindow>(static_cast<int>(request.years.size()), this);
    connect(progress_.get(), &BatchProgressWindow::cancelled, retrieval_, &RetrievalWorker::cancel);
    progress_->show();
    // The progress window stays clear of the browser's place, on this window's side.
    const ScreenRect place = BrowserPlaceBeside(*this);
    if (!place.empty()) {
        const QRect browserArea(place.left, place.top, place.width, place.height);
        const QRect shown = progress_->frameGeometry();
        if (shown.intersects(browserArea)) {
            const bool browserRight = browserArea.center().x() > frameGeometry().center().x();
            progress_->move(browserRight ? std::max(0, browserArea.left() - shown.width() - 10) : browserArea.right() + 10,
                            progress_->y());
        }
    }
    startRun(std::move(request), 0);
}

void AnalysisWindow::takeFilledYears() {
    // One question at a time: years that arrive while one is open wait their turn.
    if (askingAboutYear_) return;
    askingAboutYear_ = true;
    while (!filledYears_.empty()) {
        const FilledYear filled = std::move(filledYears_.front());
        filledYears_.pop_front();
        RestoreYearFigures(sheet_, filled.sheet, filled.year);
        keepOrReplaceYear(runBefore_, filled.year, runYear_ == 0);
        RecalculateSheet();
    }
    askingAboutYear_ = false;
    if (runEnd_) endRun();
}

void AnalysisWindow::keepOrReplaceYear(const Sheet& before, int year, bool inRun) {
    const std::vector<ReplacedFigure> figures = ReplacedFigures(before, sheet_, year);
    if (figures.empty()) return;
    // While the question is open the sheet shows its own figures, as they were.
    const Sheet retrieved = sheet_;
    RestoreYearFigures(sheet_, before, year);
    RecalculateSheet();
    bool replace = false;
    if (inRun && runAnswerForAll_) {
        replace = *runAnswerForAll_;
    } else {
        const std::string question = ReplaceFiguresQuestion(before, year, figures);
        if (inRun) {
            const Prompter::EachAnswer answer = desktop_.prompter->askEach(question);
            replace = answer.yes;
            if (answer.forAll) runAnswerForAll_ = answer.yes;
        } else {
            replace = desktop_.prompter->confirm(question);
        }
    }
    if (replace)
        RestoreYearFigures(sheet_, retrieved, year);
    else
        keptOwnYears_.push_back(year);
    RecalculateSheet();
}

void AnalysisWindow::endRun() {
    const RunEnd end = std::move(*runEnd_);
    runEnd_.reset();
    finishRun(end.result, end.e1);
    emit retrievalEnded();
}

void AnalysisWindow::finishRun(const BatchResult& result, const E1CodeTable& e1) {
    e1_ = e1;
    if (keySink_) keySink_->releaseKeyboard();
    model_->setReadOnly(false);
    setSheetCommandsEnabled(true);
    retrieving_ = false;
    batchRunning_ = false;
    waitLabel_->hide();
    if (progress_) progress_->hide();
    progress_.reset();
    RecalculateSheet();
    document_->setPaused(false);
    // What a retrieval changes is a change to save (and one undo step); its recalculation alone is not.
    if (!(sheet_ == runBefore_)) {
        document_->setTaxNumber(taxNumberEdit_->text());
        document_->record(runYear_ != 0 ? QString("Άντληση %1").arg(runYear_) : QString("Άντληση όλων των ετών"));
    }
    syncUndoActions();
    if (closeRequested_) {
        // The window was closed meanwhile: the sheet's changes are offered for saving as at any close.
        closeRequested_ = false;
        reject();
        if (!isVisible()) return;
    }
    sheetView_->setFocus(Qt::OtherFocusReason);
    // A year given up tells nothing; a run says what it read before the cancel.
    if (runYear_ != 0 && result.cancelled) return;
    runYear_ != 0 ? tellYearEnd(result) : tellRunEnd(result);
}

void AnalysisWindow::tellYearEnd(const BatchResult& result) {
    const YearResult& year = result.years.front();
    const Ending ending = year.end.ending;
    showRetrievalCounter(QString(ending == Ending::Read       ? "%1: ΟΚ"
                                 : ending == Ending::NoReturn ? "%1: κενό"
                                                              : "%1: όχι")
                             .arg(year.year),
                         QString::fromStdString(EndingWords(year.end)));
    if (ending != Ending::Read) desktop_.prompter->inform(year.Sentence());
}

void AnalysisWindow::tellRunEnd(const BatchResult& result) {
    int read = 0;
    for (const YearResult& year : result.years) read += year.end.ending == Ending::Read;
    const std::vector<std::string> lines = BatchSummaryLines(result);
    // "ΟΚ" only for years that were read: a run that read nothing says so.
    showRetrievalCounter(QString(read > 0 ? "ΟΚ %1/%2" : "όχι %1/%2").arg(read).arg(result.years.size()),
                         QString::fromStdString(lines.empty() ? std::string() : lines.front()));
    std::string summary;
    for (const std::string& line : lines) summary += (summary.empty() ? "" : "\n") + line;
    // A year read but left with the sheet's own figures is said to be so, not only "read".
    if (!keptOwnYears_.empty()) {
        std::string years;
        for (int year : keptOwnYears_) years += (years.empty() ? "" : ", ") + std::to_string(year);
        summary += "\nΚρατήθηκαν τα ποσά του φύλλου, όχι της Α.Α.Δ.Ε., για: " + years + ".";
    }
    desktop_.prompter->report(summary);
}


}  // namespace skartina
