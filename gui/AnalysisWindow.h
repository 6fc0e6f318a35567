// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The analysis window: one client's capital-consumption sheet, the years it
// shows, the client's fields, saving, opening and exporting.

#include "e1/E1CodeTable.h"
#include "gui/AnalysisDocument.h"
#include "gui/DesktopServices.h"
#include "portal/BatchRetrieval.h"
#include "sheet/HandEntry.h"
#include "sheet/PrintLayout.h"
#include "sheet/SavedAnalysis.h"
#include "sheet/Sheet.h"
#include "sheet/SheetLayout.h"

#include <QDialog>

#include <deque>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <optional>

class QCheckBox;
class QLabel;
class QAction;
class QLineEdit;
class QKeySequence;
class QMenu;
class QModelIndex;
class QVBoxLayout;
class QPrinter;
class QPushButton;
class QTableView;
class QToolButton;

namespace skartina {

class BatchProgressWindow;
class RetrievalWorker;
class SheetDelegate;
class SheetModel;
class SheetView;
class CoveragePanel;
class TaxNumberEdit;
class IntegerEdit;

inline const std::string kNoTaxNumberToSaveMessage =
    "Δεν έχετε δηλώσει τον ΑΦΜ του υπόχρεου. Για την αποθήκευση της δήλωσης είναι υποχρεωτικό.";
inline const std::string kOverwriteAnalysisQuestion =
    "Η δήλωση υπάρχει στο αρχείο. Nα γίνει επικάλυψη των στοιχείων ;";
inline const std::string kAnalysisSavedMessage = "Η δήλωση αποθηκεύτηκε με επιτυχία";
inline const std::string kCancelRunQuestion =
    "Η άντληση των ετών από την Α.Α.Δ.Ε. βρίσκεται σε εξέλιξη. Να ακυρωθεί και να κλείσει το παράθυρο;";
inline const std::string kSaveChangesQuestion =
    "Η δήλωση έχει αλλαγές που δεν έχουν αποθηκευτεί. Να αποθηκευτούν πριν κλείσει το παράθυρο;";
inline const std::string kSaveBeforeReplacingQuestion =
    "Η δήλωση έχει αλλαγές που δεν έχουν αποθηκευτεί. Να αποθηκευτούν πριν ανοίξει η άλλη δήλωση;";
inline const std::string kInvalidTaxNumberAnalysisQuestion =
    "Ο Α.Φ.Μ. που δώσατε δεν είναι σωστός (εννέα ψηφία με σωστό ψηφίο ελέγχου). Να αποθηκευτεί η δήλωση παρ' όλα αυτά;";

// One client's capital-consumption sheet: retrieve, edit, save, open and export it.
class AnalysisWindow : public QDialog {
    Q_OBJECT
public:
    AnalysisWindow(const std::filesystem::path& workDir, DesktopServices desktop, QWidget* parent = nullptr);
    ~AnalysisWindow() override;

    // The edition's year, which names the analysis files ("2021").
    const QString& workYear() const { return document_->workYear(); }
    void setWorkYear(const QString& year) { document_->setWorkYear(year); }
    // The analysis the window shows and edits.
    AnalysisDocument& document() { return *document_; }

    Sheet& sheet() { return sheet_; }
    // The E1 amounts of the year retrieved last.
    const E1CodeTable& codeTable() const { return e1_; }
    // Whether a year is being retrieved: the commands that touch the sheet wait for its end.
    bool retrieving() const { return retrieving_; }
    // The retrievals' worker: the kept login between year buttons.
    RetrievalWorker& retrievalWorker() { return *retrieval_; }
    const YearSelection& years() const { return years_; }

    void BuildSheetLayout();
    void RecalculateSheet();
    void ResetSheet();
    void ApplyMarriedToAllYears();
    void FillTaxpayerFields();
    // Loads the client's saved sheet into the window (the tax number goes into
    // its field first); false, with the sheet recalculated as it was, when the file is gone.
    bool OpenAnalysisOf(const QString& taxNumber);
    // The client the sheet belongs to: the tax number it was opened, started,
    // retrieved or saved for; empty while it is nobody's yet.
    const QString& sheetTaxNumber() const { return document_->taxNumber(); }
    // The last sentence the window told beside the sheet (a refused amount).
    const QString& lastNotice() const { return lastNotice_; }

    // Finishes the amount being typed, as leaving its cell does (amount form,
    // recalculation). Every command that reads the sheet runs this first.
    void CommitOpenEdit();
    // Whether the sheet has changes that are not saved: typing, married marks,
    // the year selection, a retrieved year. Saving and opening clear it, and
    // so does undoing every change back to the sheet as saved.
    bool isModified() const { return document_->isModified(); }

    // "Αναίρεση" and "Επανάληψη": the sheet as it was before the last change, or after it again.
    void undo();
    void redo();

    // Closing (title bar, "Έξοδος"; Escape never): during a run of all years
    // the user is asked whether to cancel it; during a retrieval the
    // retrieval ends first; with changes not saved the user is asked once
    // whether to save them.
    void reject() override;

    // The commands, as the window's controls run them.
    bool onSaveClicked();  // true when the sheet was written
    void onOpenClicked();
    void onExportExcelClicked();
    void onExportCsvClicked();
    // "Αποθήκευση ως PDF": the printed pages as Tables/<ΑΦΜ>_2021.pdf, opened.
    void onSavePdfTriggered();
    // "Εκτύπωση...": the system's print dialog, then the same pages on its
    // printer. Printing to a file offers Tables/<ΑΦΜ> <ονοματεπώνυμο>.pdf.
    void onPrintTriggered();
    QString defaultPrintFile() const;
    // The pages on the printer; a file printed to is the owner's alone (0600)
    // and told with its path. False when the printer took no pages; a file
    // the failed printing made is removed.
    bool printTo(QPrinter& printer);
    void onYearBoxClicked(int year);
    void onFirstYearEdited();
    // Leaving the first-year field: a year the sheet cannot start with is refused, with a message.
    void onFirstYearLeft();
    void onMarriedAllYearsClicked();
    void onChooseClientClicked();
    void onTaxNumberLeft();
    void onWaitLabelClicked();
    void onRetrieveYearClicked(int year);
    // Every ticked year from 2003 on, newest first, on one login, with a
    // progress window and one summary at the end.
    void onRetrieveAllYearsClicked();
    // Opens the client's folder of kept documents with the desktop's program.
    void onPortalDocumentsClicked();
    // "Προηγούμενες εκδόσεις": a version of the client's sheet that a run
    // replaced, opened in the window as a change to save.
    void onVersionsClicked();
    // Opens the kept version into the sheet.
    void OpenVersion(const std::filesystem::path& version);

    // The sheet's commands (its menu, its context menu, Ctrl+C, Ctrl+V, Delete):
    // the selected cells to the clipboard as tab-separated lines; the
    // clipboard's amounts into the cells from the current one on (a text that
    // is not an amount is told, its cell left as it was); the selected cells
    // emptied. Only cells that take typing change.
    void copySelectedCells();
    void pasteIntoSheet();
    void clearSelectedCells();

    // The grid's reactions: a click or a move of the current cell, a press on
    // a person header, Enter.
    void onSheetCellReached();
    void onSheetHeaderPressed(int column, int row);
    void onSheetEnterPressed();
    // Left or Right at the edge of the cell's text: the neighbouring year cell.
    void onSheetStepAside(int columns);

signals:
    // A retrieval (a year or a run) has ended and the window shows its end.
    void retrievalEnded();

protected:
    bool eventFilter(QObject* object, QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    // Writes the sheet as the client's analysis. The overwrite question comes
    // only when the file on disk is not the one this window opened or last
    // saved (unless `replaceAgreed`); the success message only when `tell`.
    // A sheet is saved under the tax number of its field; under another than
    // its own client's, or under a wrong number, only after a
    // question that names them. Every replaced file is kept in the client's history.
    bool saveSheet(bool tell, bool replaceAgreed);
    bool saveSheetAs(const std::string& taxNumber, bool tell, bool replaceAgreed);
    // Before the sheet is replaced by another: changes are offered for saving
    // under the sheet's own client (Ναι / Όχι / Άκυρο). False: the user kept the sheet.
    bool mayReplaceSheet(const std::string& lead = kSaveBeforeReplacingQuestion);
    // The sheet's client: the document's, or the field's while the sheet is nobody's.
    std::string ownerTaxNumber() const;
    // Whether the sheet holds anything of a client: figures, or changes.
    bool sheetHoldsWork() const;
    // Another tax number entered over a client's sheet: that client's saved
    // analysis, or a new empty sheet, after the current one's changes are
    // offered for saving. False (the field back to the sheet's client) when the user kept it.
    bool switchClient(const QString& taxNumber);
    // Before a retrieval, an export or printing: the sheet is the field's client's. False: keep it as it is.
    bool sheetIsTheFieldsClients();
    // A retrieval filled the year: where it changed the sheet's own figures
    // the user is asked (for a run, "για όλα" answers the rest); No puts them back.
    void keepOrReplaceYear(const Sheet& before, int year, bool inRun);
    std::vector<PrintPage> printPages() const;
    bool printOn(QPrinter& printer, const std::vector<PrintPage>& pages);
    // A typed text refused by the last move: told in one sentence at the cell.
    void tellRefusedAmount();
    // The sentence beside the cell, as a tooltip, and kept as the last notice.
    void tellAtCell(const std::string& sentence, const QModelIndex& cell);
    // The counter shows what this client's last retrieval did; another client clears it.
    void showRetrievalCounter(const QString& text, const QString& detail);
    void syncYearBoxes();
    // The year buttons and boxes, and the commands that open, save or replace the sheet.
    void setSheetCommandsEnabled(bool enabled);
    // The year's document, log and diagnostics folder; empty when the tax number cannot name one.
    std::filesystem::path sourcesFolder() const;
    PortalCredentials credentials() const;
    void connectRetrieval();
    // Starts the run in the worker (`singleYear`: a year button's; 0: every
    // ticked year): the commands off, the sheet read-only and every key kept
    // by the program (none reaches the sheet or the browser) until it ends.
    bool startRun(BatchRequest request, int singleYear);
    // The years the run filled, in turn, each asked about where it changes
    // the sheet's own figures; then the run's end, once they are all in.
    void takeFilledYears();
    void endRun();
    void finishRun(const BatchResult& result, const E1CodeTable& e1);
    void tellYearEnd(const BatchResult& result);
    void tellRunEnd(const BatchResult& result);
    // The window's parts (AnalysisWindowParts.cpp).
    QWidget* buildClientFields();
    QWidget* buildPortalFields();
    QWidget* buildEditingButtons();
    QWidget* buildSpecialSettings();
    QWidget* buildYearColumn();
    QWidget* buildSheet();
    // The menu bar, the shortcuts and the sheet's context menu.
    void buildMenus(QVBoxLayout* layout);
    QAction* addCommand(QMenu* menu, const char* name, const char* text, const QKeySequence& keys,
                        std::function<void()> run);
    // The undo and redo commands greyed out when there is nothing to undo or redo, or a retrieval runs.
    void syncUndoActions();
    // An undo or redo put the sheet back: the window shows it.
    void showState(const SheetState& state);
    // The grid after the sheet changed; `relayout`: its rows and captions sized again (a zoom).
    void refreshGrid(bool relayout = false);
    // The sheet's zoom, in steps (+1 larger, -1 smaller, 0 back to 100 %), remembered in the data folder.
    void zoomSheet(int step);
    // Runs the work; a failure is told to the user. False when it failed.
    bool attempt(const std::function<void()>& work);
    // Writes the sheet next to the analysis file under the extension's name and opens it.
    using SheetExport = std::function<void(const Sheet&, const std::filesystem::path&, const std::string& name,
                                           const std::string& taxNumber)>;
    void exportAndOpen(const char* extension, const SheetExport& write);
    std::filesystem::path tablesDir() const;

    // The window's controls; each carries its role name as its objectName
    // ("taxNumberEdit", "sheetView", "yearBox2000" ... "yearBox2020", "retrieveYearButton2003" ...),
    // a year's box and button their year as the property "year".
    TaxNumberEdit* taxNumberEdit_;
    QToolButton* chooseClientButton_;
    QLineEdit* nameEdit_;
    QCheckBox* marriedAllYearsBox_;
    QCheckBox* accountantBox_;
    QLineEdit* portalUserEdit_;
    QLineEdit* portalPasswordEdit_;
    QToolButton* saveButton_;
    QToolButton* openButton_;
    QToolButton* exportExcelButton_;
    QToolButton* exportCsvButton_;
    QToolButton* printButton_;  // its menu: savePdfAction_, printAction_
    QAction* savePdfAction_;
    QAction* printAction_;
    QCheckBox* chartBox_;  // the balance chart in the workbook, the PDF file and the printed pages
    QAction* copyAction_ = nullptr;
    QAction* pasteAction_ = nullptr;
    QAction* clearAction_ = nullptr;
    QAction* undoAction_ = nullptr;
    QAction* redoAction_ = nullptr;
    QList<QAction*> sheetCommands_;  // greyed out while a retrieval runs
    IntegerEdit* extraWaitEdit_;
    QCheckBox* fixedPausesBox_;  // the patient mode: the portal's fixed pauses besides the waits
    IntegerEdit* firstYearEdit_;
    QLabel* waitLabel_;
    QLabel* reportTakenLabel_;  // what this client's last retrieval did ("2016: ΟΚ")
    SheetView* sheetView_;
    CoveragePanel* coveragePanel_;  // "Κάλυψη δαπάνης": the planned expense and the balance chart
    std::map<int, QCheckBox*> yearBoxes_;               // 2000 ... 2020
    std::map<int, QPushButton*> retrieveYearButtons_;  // 2003 ... 2020
    QPushButton* retrieveAllYearsButton_;  // every ticked year in one run
    QPushButton* versionsButton_;          // the earlier versions of the client's sheet
    QPushButton* portalDocumentsButton_;   // the folder of the portal's documents kept for the client

    std::filesystem::path workDir_;
    DesktopServices desktop_;
    AnalysisDocument* document_;
    Sheet& sheet_;        // the document's
    YearSelection& years_;   // the document's
    HandEntry handEntry_;
    bool confirmYearRemoval_ = true;
    SheetModel* model_;
    SheetDelegate* delegate_;
    QList<QLineEdit*> fieldOrder_;
    E1CodeTable e1_;
    // The retrievals' thread and browser, stopped with the window.
    RetrievalWorker* retrieval_ = nullptr;
    std::unique_ptr<BatchProgressWindow> progress_;  // while a run of many years goes
    struct FilledYear {
        int year;
        Sheet sheet;
    };
    std::deque<FilledYear> filledYears_;  // filled by the run, not yet in the sheet
    bool askingAboutYear_ = false;
    struct RunEnd {
        BatchResult result;
        E1CodeTable e1;
    };
    std::optional<RunEnd> runEnd_;  // the run has ended; told once its years are in
    int runYear_ = 0;               // the year button's year; 0: a run of many years
    bool retrieving_ = false;
    bool batchRunning_ = false;
    bool closeRequested_ = false;
    QWidget* keySink_ = nullptr;  // holds the keyboard during a retrieval
    QString counterTaxNumber_;                // the client the counter speaks of
    QString lastNotice_;
    Sheet runBefore_;               // the sheet as a run of many years found it
    std::vector<int> keptOwnYears_;  // years of the run whose own figures the user kept
    std::optional<bool> runAnswerForAll_;  // "για όλα" given in the run
    QString firstYearShown_ = "2000";   // the last first year the field accepted
};

}  // namespace skartina
