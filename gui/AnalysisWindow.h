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

    void imSaveClick();
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

protected:
    bool eventFilter(QObject* object, QEvent* event) override;

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
    SheetModel* model_;
    SheetDelegate* delegate_;
    QList<QLineEdit*> fieldOrder_;
};

}  // namespace skartina
