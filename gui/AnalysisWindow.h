#pragma once
// The analysis window: one client's capital-consumption sheet, the years it
// shows, the client's fields, saving, opening and exporting.

#include "gui/DesktopServices.h"
#include "sheet/HandEntry.h"
#include "sheet/SheetGrid.h"
#include "sheet/SheetLayout.h"

#include <QDialog>

#include <filesystem>
#include <functional>
#include <map>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTableView;
class QToolButton;

namespace skartina {

class SheetDelegate;
class SheetModel;
class SheetView;
class AfmEdit;
class IntegerEdit;

inline const std::string kNoAfmToSaveMessage =
    "Δεν έχετε δηλώσει τον ΑΦΜ του υπόχρεου. Για την αποθήκευση της δήλωσης είναι υποχρεωτικό.";
inline const std::string kOverwriteAnalysisQuestion =
    "Η δήλωση υπάρχει στο αρχείο. Nα γίνει επικάλυψη των στοιχείων ;";
inline const std::string kAnalysisSavedMessage = "Η δήλωση αποθηκεύτηκε με επιτυχία";
inline const std::string kSaveChangesQuestion =
    "Η δήλωση έχει αλλαγές που δεν έχουν αποθηκευτεί. Να αποθηκευτούν πριν κλείσει το παράθυρο;";

// One client's capital-consumption sheet: retrieve, edit, save, open and export it.
class AnalysisWindow : public QDialog {
    Q_OBJECT
public:
    AnalysisWindow(const std::filesystem::path& workDir, DesktopServices desktop, QWidget* parent = nullptr);
    ~AnalysisWindow() override;

    QString WorkYear = "2021";

    // The window's fields, under the names the rest of the program knows them by.
    AfmEdit* edAFM;
    QToolButton* sbGetCustom;
    QLineEdit* edBigName;
    QCheckBox* cbEggamos;
    QCheckBox* cbLogistis;
    QLineEdit* edUserName;
    QLineEdit* edPassword;
    QToolButton* imSave;
    QToolButton* imOpen;
    QToolButton* imExport;
    QToolButton* imExportToCsv;
    IntegerEdit* edExtraTime;
    IntegerEdit* edFirstYear;
    QLabel* gbWait;
    SheetView* sgVelmora;
    std::map<int, QCheckBox*> yearBoxes;     // cb2000 ... cb2020
    std::map<int, QPushButton*> yearButtons;  // bt2003 ... bt2020

    SheetGrid& sheet() { return grid_; }
    const YearSelection& years() const { return years_; }

    void BuildSheetLayout();
    void RecalculateSheet();
    void ResetSheet();
    void ApplyMarriedToAllYears();
    void FillTaxpayerFields();
    // Loads the client's saved sheet into the window (the tax number goes into
    // edAFM first); false, with the sheet recalculated as it was, when the file is gone.
    bool OpenAnalysisOf(const QString& afm);

    // Finishes the amount being typed, as leaving its cell does (amount form,
    // recalculation). Every command that reads the sheet runs this first.
    void CommitOpenEdit();
    // Whether the sheet has changes that are not saved: typing, married marks,
    // the year selection, a retrieved year. Saving and opening clear it.
    bool isModified() const { return modified_; }
    void markModified() { modified_ = true; }

    // Closing (title bar, Escape never): with changes not saved the user is
    // asked once whether to save them.
    void reject() override;

    bool imSaveClick();  // true when the sheet was written
    void imOpenClick();
    void imExportClick();
    void imExportToCsvClick();
    void cbAllClick(QCheckBox* box);
    void edFirstYearChange();
    void cbEggamosClick();
    void AddCustClick();
    void edAFMExit();
    void gbWaitClick();
    void GetEtosOfTAxisClick(QPushButton* button);

    // The grid's reactions: a click or a move of the current cell, a press on
    // a person header, Enter.
    void sgVelmoraClick();
    void sgVelmoraMouseDown(int column, int row);
    void sgVelmoraEnter();
    // Left or Right at the edge of the cell's text: the neighbouring year cell.
    void sgVelmoraStepAside(int columns);

protected:
    bool eventFilter(QObject* object, QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void syncYearBoxes();
    void refreshGrid();
    // Runs the work; a failure is told to the user. False when it failed.
    bool attempt(const std::function<void()>& work);
    // Writes the sheet next to the analysis file under the extension's name and opens it.
    void exportAndOpen(const char* extension, void (*write)(const SheetGrid&, const std::filesystem::path&,
                                                            const std::string&, const std::string&));
    std::filesystem::path tablesDir() const;

    std::filesystem::path workDir_;
    DesktopServices desktop_;
    SheetGrid grid_;
    YearSelection years_;
    HandEntry handEntry_;
    bool confirmYearRemoval_ = true;
    bool modified_ = false;
    SheetModel* model_;
    SheetDelegate* delegate_;
    QList<QLineEdit*> fieldOrder_;
};

}  // namespace skartina
