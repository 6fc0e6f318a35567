// SPDX-License-Identifier: GPL-3.0-or-later
// The analysis window keeps each sheet with its one client, keeps every sheet
// it replaces, starts nothing on Enter, and tells every outcome.

#include "gui/TaxNumberEdit.h"
#include "gui/AnalysisWindow.h"
#include "gui/OfficeRunWindow.h"
#include "gui/PickListWindow.h"
#include "gui/SheetView.h"
#include "registry/ClientLists.h"
#include "registry/TaxpayerRecord.h"
#include "sheet/AnalysisFile.h"
#include "sheet/AnalysisHistory.h"
#include "sheet/SavedAnalysis.h"
#include "sheet/SheetLayout.h"
#include "sheet/SheetRows.h"
#include "support/GuiTestSupport.h"
#include "support/PdfReadBack.h"
#include "support/SheetGridForms.h"
#include "support/WorkbookReadBack.h"
#include "portal/YearSources.h"

#include <QAction>
#include <QCheckBox>
#include <QClipboard>
#include <QDialogButtonBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPaintEngine>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <QTest>
#include <QToolButton>
#include <QToolTip>

#include <gtest/gtest.h>

#include <sys/stat.h>

namespace skartina {
namespace {

using test::FakeDesktop;
using test::ScriptedPrompter;
using test::TempDir;
using Answer = Prompter::Answer;

constexpr const char* kA = "123456783";
constexpr const char* kB = "200000006";

bool Contains(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

struct Fixture {
    Fixture() {
        std::filesystem::create_directory(dir / "Tables");
        window.show();
        window.activateWindow();
        QApplication::processEvents();
    }
    TempDir dir;
    FakeDesktop desktop;
    AnalysisWindow window{dir.path(), desktop.services()};

    std::filesystem::path tables() const { return dir / "Tables"; }
    std::filesystem::path file(const std::string& taxNumber) const { return tables() / (taxNumber + "_2021.grd"); }
    std::string cell(int column, int row) { return CellText(window.sheet(), column, row); }
    SheetView* grid() { return test::Find<SheetView>(window, "sheetView"); }
    TaxNumberEdit* taxNumberField() { return test::Find<TaxNumberEdit>(window, "taxNumberEdit"); }
    QString field(const char* name) { return test::Find<QLineEdit>(window, name)->text(); }

    void record(const std::string& taxNumber, const std::string& surname, const std::string& user) {
        ScriptedPrompter yes(true);
        SaveTaxpayer(tables(), {taxNumber, surname, "", "", user, user.empty() ? "" : "pw"}, yes);
    }
    // A client's analysis saved earlier: 2016 with a figure and a married mark.
    void savedAnalysis(const std::string& taxNumber, const std::string& figure) {
        SheetGrid grid;
        BuildSheetLayout(grid, YearSelection());
        grid.setCell(TaxpayerColumnOf(2016), Row::TaxedIncome, figure);
        grid.setCell(SpouseColumnOf(2016), Row::PersonHeader, "Συζύγου*");
        SaveGridToFile(grid, file(taxNumber));
    }
    QLineEdit* enter(int column, int row) { return test::EnterCell(grid(), column, row); }
    void typeAndLeave(int column, int row, const QString& text) {
        ASSERT_NE(test::TypeAndLeave(grid(), column, row, text), nullptr);
    }
    void typeTaxNumber(const QString& taxNumber, Qt::Key leave = Qt::Key_Tab) {
        window.activateWindow();
        taxNumberField()->setFocus();
        taxNumberField()->selectAll();
        QTest::keyClicks(taxNumberField(), taxNumber);
        QTest::keyClick(taxNumberField(), leave);
        QApplication::processEvents();
    }
};

SheetGrid Load(const std::filesystem::path& file) {
    SheetGrid grid;
    EXPECT_TRUE(LoadGridFromFile(file, grid)) << file;
    return grid;
}

TEST(OneClient, AnotherTaxNumberStartsThatClientsSheet) {
    const struct {
        bool changed;     // A's sheet has a change not saved
        Answer answer;    // to the question whether to save it first
        bool bSaved;      // B has a saved analysis of its own
        Qt::Key leave = Qt::Key_Tab;  // the key that leaves the tax-number field
    } cases[] = {
        {true, Answer::Cancel, false}, {true, Answer::No, false}, {true, Answer::Yes, false},
        {true, Answer::No, true},      {false, Answer::Yes, false}, {false, Answer::Yes, true},
        {true, Answer::Cancel, false, Qt::Key_Return}, {true, Answer::Yes, true, Qt::Key_Return},
        {false, Answer::Yes, false, Qt::Key_Enter},
    };
    for (const auto& c : cases) {
        const std::string label = std::to_string(c.changed) + "/" + std::to_string(int(c.answer)) + "/" +
                                  std::to_string(c.bSaved) + "/" + std::to_string(c.leave);
        Fixture f;
        f.record(kA, "ΑΛΦΑ", "alpha");
        f.record(kB, "ΒΗΤΑ", "");
        f.savedAnalysis(kA, "4.000,00");
        if (c.bSaved) f.savedAnalysis(kB, "7,00");
        const std::string aBefore = test::ReadBytes(f.file(kA));
        const std::string bBefore = c.bSaved ? test::ReadBytes(f.file(kB)) : "";
        ASSERT_TRUE(f.window.OpenAnalysisOf(kA));
        if (c.changed) f.typeAndLeave(TaxpayerColumnOf(2017), Row::TaxedIncome, "21000");

        f.desktop.prompter = ScriptedPrompter(c.answer);
        f.typeTaxNumber(kB, c.leave);
        if (c.changed) {
            ASSERT_EQ(f.desktop.prompter.asked.size(), 1u) << label;
            EXPECT_TRUE(Contains(f.desktop.prompter.asked[0], std::string("Α.Φ.Μ. ") + kA + " (ΑΛΦΑ)")) << label;
            EXPECT_TRUE(Contains(f.desktop.prompter.asked[0], std::string("Α.Φ.Μ. ") + kB + " (ΒΗΤΑ)")) << label;
        } else {
            EXPECT_TRUE(f.desktop.prompter.asked.empty()) << label;  // nothing to lose: nothing asked
        }
        if (c.answer == Answer::Cancel) {
            // The sheet stays A's, changes and all, and so does the field.
            EXPECT_EQ(f.taxNumberField()->text(), kA) << label;
            EXPECT_EQ(f.cell(TaxpayerColumnOf(2017), Row::TaxedIncome), "21.000,00") << label;
            EXPECT_EQ(f.field("nameEdit"), "ΑΛΦΑ ") << label;
            EXPECT_TRUE(test::ReadBytes(f.file(kA)) == aBefore) << label;
            continue;
        }
        // B's own sheet, B's own fields: nothing of A's stays.
        EXPECT_EQ(f.window.sheetTaxNumber(), kB) << label;
        EXPECT_EQ(f.field("nameEdit"), "ΒΗΤΑ ") << label;
        EXPECT_EQ(f.field("portalUserEdit"), "") << label;
        EXPECT_EQ(f.cell(TaxpayerColumnOf(2016), Row::TaxedIncome), c.bSaved ? "7,00" : "") << label;
        EXPECT_EQ(f.cell(TaxpayerColumnOf(2017), Row::TaxedIncome), "") << label;
        EXPECT_EQ(f.cell(SpouseColumnOf(2016), Row::PersonHeader), c.bSaved ? "Συζύγου*" : "Συζύγου") << label;
        const SheetGrid aNow = Load(f.file(kA));
        EXPECT_EQ(aNow.cell(TaxpayerColumnOf(2017), Row::TaxedIncome), c.answer == Answer::Yes && c.changed ? "21.000,00" : "")
            << label;
        if (!(c.answer == Answer::Yes && c.changed)) EXPECT_TRUE(test::ReadBytes(f.file(kA)) == aBefore) << label;

        // Retrieving or saving now writes B's sheet, never A's years under B's name.
        f.typeAndLeave(TaxpayerColumnOf(2015), Row::TaxedIncome, "5");
        f.desktop.prompter = ScriptedPrompter(true);
        ASSERT_TRUE(f.window.onSaveClicked()) << label;
        const SheetGrid bNow = Load(f.file(kB));
        EXPECT_EQ(YearsWithFigures(bNow), (c.bSaved ? std::vector<int>{2016, 2015} : std::vector<int>{2015})) << label;
        if (c.bSaved) EXPECT_TRUE(test::ReadBytes(KeptVersions(f.tables(), kB).at(0)) == bBefore) << label;
    }
}

TEST(OneClient, ASheetGoesUnderAnotherNumberOnlyAfterAQuestionNamingBoth) {
    for (const bool yes : {false, true}) {
        Fixture f;
        f.record(kA, "ΑΛΦΑ", "");
        f.savedAnalysis(kA, "4.000,00");
        ASSERT_TRUE(f.window.OpenAnalysisOf(kA));
        // The number changed without leaving its field (the save button takes no focus).
        f.taxNumberField()->setText(kB);
        f.desktop.prompter = ScriptedPrompter(yes);
        EXPECT_EQ(f.window.onSaveClicked(), yes);
        ASSERT_GE(f.desktop.prompter.asked.size(), 1u);
        const std::string& question = f.desktop.prompter.asked[0];
        EXPECT_TRUE(Contains(question, std::string("Α.Φ.Μ. ") + kA + " (ΑΛΦΑ)")) << question;
        EXPECT_TRUE(Contains(question, std::string("Α.Φ.Μ. ") + kB)) << question;
        EXPECT_EQ(std::filesystem::exists(f.file(kB)), yes);
    }
}

TEST(OneClient, AWrongTaxNumberIsSavedOnlyWhenTheUserInsists) {
    for (const bool yes : {false, true}) {
        Fixture f;
        f.typeTaxNumber("123456789");
        f.typeAndLeave(TaxpayerColumnOf(2017), Row::TaxedIncome, "5");
        f.desktop.prompter = ScriptedPrompter(yes);
        EXPECT_EQ(f.window.onSaveClicked(), yes);
        EXPECT_EQ(f.desktop.prompter.asked, std::vector<std::string>{kInvalidTaxNumberAnalysisQuestion});
        EXPECT_EQ(std::filesystem::exists(f.file("123456789")), yes);
        EXPECT_EQ(f.desktop.prompter.informed.size(), yes ? 1u : 0u);  // "αποθηκεύτηκε με επιτυχία" only when it was
    }
}

TEST(OneClient, EveryReplacedOrDeletedAnalysisIsKeptAndComesBack) {
    Fixture f;
    f.savedAnalysis(kA, "4.000,00");
    const std::string first = test::ReadBytes(f.file(kA));
    ASSERT_TRUE(f.window.OpenAnalysisOf(kA));

    // A save from the window.
    f.typeAndLeave(TaxpayerColumnOf(2017), Row::TaxedIncome, "5");
    ASSERT_TRUE(f.window.onSaveClicked());
    std::vector<std::filesystem::path> kept = KeptVersions(f.tables(), kA);
    ASSERT_EQ(kept.size(), 1u);
    EXPECT_TRUE(test::ReadBytes(kept[0]) == first);
    struct stat info {};
    ASSERT_EQ(::stat(kept[0].c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0600u);
    const std::string second = test::ReadBytes(f.file(kA));

    // Ναι when closing with changes.
    f.typeAndLeave(TaxpayerColumnOf(2018), Row::TaxedIncome, "6");
    f.desktop.prompter = ScriptedPrompter(Answer::Yes);
    f.window.close();
    QApplication::processEvents();
    kept = KeptVersions(f.tables(), kA);
    ASSERT_EQ(kept.size(), 2u);
    EXPECT_TRUE(test::ReadBytes(kept[0]) == second);
    const std::string third = test::ReadBytes(f.file(kA));

    // Deleting from the analysis list.
    ScriptedPrompter yes(true);
    ASSERT_TRUE(DeleteAnalysisRow(f.tables(), {"", "", kA}, "2021", yes));
    EXPECT_FALSE(std::filesystem::exists(f.file(kA)));
    kept = KeptVersions(f.tables(), kA);
    ASSERT_EQ(kept.size(), 3u);
    EXPECT_TRUE(test::ReadBytes(kept[0]) == third);

    // "Προηγούμενες εκδόσεις" lists them, and the one chosen comes back as a change to save.
    AnalysisWindow again(f.dir.path(), f.desktop.services());
    again.show();
    test::Find<TaxNumberEdit>(again, "taxNumberEdit")->setText(kA);
    int listed = 0;
    test::OnNextModal([&listed](QWidget* modal) {
        auto* list = test::Find<QListWidget>(*modal, "versionsList");
        listed = list->count();
        list->setCurrentRow(2);  // the oldest: the sheet first saved
        modal->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Open)->click();
    });
    again.onVersionsClicked();
    EXPECT_EQ(listed, 3);
    EXPECT_EQ(CellText(again.sheet(), TaxpayerColumnOf(2016), Row::TaxedIncome), "4.000,00");
    EXPECT_EQ(CellText(again.sheet(), TaxpayerColumnOf(2017), Row::TaxedIncome), "");
    EXPECT_TRUE(again.isModified());
    f.desktop.prompter = ScriptedPrompter(true);
    ASSERT_TRUE(again.onSaveClicked());
    const SheetGrid restored = Load(f.file(kA));
    EXPECT_EQ(YearsWithFigures(restored), std::vector<int>{2016});
    EXPECT_EQ(restored.cell(SpouseColumnOf(2016), Row::PersonHeader), "Συζύγου*");
}

TEST(OneClient, EnterStartsNoRetrieval) {
    Fixture f;
    f.taxNumberField()->setText(kA);  // no portal credentials: a run started would say so
    std::vector<QString> modals;
    const auto closeAnyModal = [&modals] {
        test::OnNextModal([&modals](QWidget* modal) {
            if (!modal) return;
            modals.push_back(modal->objectName());
            modal->close();
        });
    };
    for (const char* focused : {"fixedPausesBox", "accountantBox", "retrieveAllYearsButton", "retrieveYearButton2019", "yearBox2019"}) {
        auto* control = test::Find<QWidget>(f.window, focused);
        control->setFocus();
        QApplication::processEvents();
        if (auto* box = qobject_cast<QCheckBox*>(control)) {
            // Ticked from the keyboard first, as the user does just before Enter.
            const bool was = box->isChecked();
            QTest::keyClick(box, Qt::Key_Space);
            EXPECT_NE(box->isChecked(), was) << focused;
        }
        closeAnyModal();
        QTest::keyClick(control, Qt::Key_Return);
        QTest::keyClick(control, Qt::Key_Enter);
        QApplication::processEvents();
        EXPECT_FALSE(f.window.retrieving()) << focused;
        EXPECT_TRUE(f.desktop.prompter.informed.empty()) << focused << ": " << f.desktop.prompter.informed.front();
        EXPECT_TRUE(f.window.isVisible()) << focused;
    }
    EXPECT_TRUE(modals.empty());

    // The office run's window: Enter starts no run either.
    OfficeRunWindow office(f.dir.path());
    office.show();
    QApplication::processEvents();
    auto* start = test::Find<QPushButton>(office, "startButton");
    start->setFocus();
    closeAnyModal();
    QTest::keyClick(start, Qt::Key_Return);
    QApplication::processEvents();
    EXPECT_TRUE(modals.empty());  // "Δεν υπάρχει πελάτης για άντληση." would have shown
}

TEST(OneClient, ARefusedAmountIsToldAndTheCellKeepsItsValue) {
    for (const char* typed : {"abc", "1.2.3"}) {
        Fixture f;
        const int t = TaxpayerColumnOf(2019);
        f.typeAndLeave(t, Row::TaxedIncome, "21000");
        EXPECT_TRUE(f.window.lastNotice().isEmpty());
        f.typeAndLeave(t, Row::TaxedIncome, typed);
        EXPECT_EQ(f.cell(t, Row::TaxedIncome), "21.000,00") << typed;
        const std::string notice = f.window.lastNotice().toStdString();
        EXPECT_TRUE(Contains(notice, std::string("«") + typed + "» δεν είναι ποσό")) << notice;
        EXPECT_TRUE(Contains(notice, "21.000,00")) << notice;
        EXPECT_EQ(QToolTip::text().toStdString(), notice);
    }
}

TEST(OneClient, ExportsTellTheFullPathAndOpenWhatIsAsked) {
    const struct {
        void (AnalysisWindow::*command)();
        const char* extension;
        int chosen;  // 0 "Άνοιγμα", 1 "Άνοιγμα φακέλου", 2 "Κλείσιμο"
        bool openerWorks;
    } cases[] = {
        {&AnalysisWindow::onExportCsvClicked, ".csv", 2, true},
        {&AnalysisWindow::onExportCsvClicked, ".csv", 0, true},
        {&AnalysisWindow::onExportExcelClicked, ".xlsx", 1, true},
        {&AnalysisWindow::onSavePdfTriggered, ".pdf", 0, false},
    };
    for (const auto& c : cases) {
        Fixture f;
        f.taxNumberField()->setText(kA);
        f.desktop.prompter.chosen = c.chosen;
        f.desktop.openSucceeds = c.openerWorks;
        (f.window.*c.command)();
        const std::filesystem::path file = std::filesystem::absolute(f.tables() / (std::string(kA) + "_2021" + c.extension));
        ASSERT_TRUE(std::filesystem::exists(file)) << file;
        ASSERT_GE(f.desktop.prompter.informed.size(), 1u);
        EXPECT_EQ(f.desktop.prompter.informed[0], "Το αρχείο γράφτηκε: " + file.string());
        EXPECT_EQ(f.desktop.prompter.offeredButtons,
                  (std::vector<std::string>{"Άνοιγμα", "Άνοιγμα φακέλου", "Κλείσιμο"}));
        const QString opened = c.chosen == 0 ? QString::fromStdString(file.string())
                                             : QString::fromStdString(file.parent_path().string());
        EXPECT_EQ(f.desktop.opened, c.chosen == 2 ? QStringList() : QStringList{opened}) << c.extension;
        if (c.openerWorks) {
            EXPECT_EQ(f.desktop.prompter.informed.size(), 1u);
        } else {
            ASSERT_EQ(f.desktop.prompter.informed.size(), 2u);
            EXPECT_EQ(f.desktop.prompter.informed[1], NotOpenedSentence(opened));
        }
    }
}

TEST(OneClient, PrintingToAFileOffersTheClientsFileAndKeepsItPrivate) {
    Fixture f;
    f.record(kA, "ΠΑΠΑΔΟΠΟΥΛΟΣ", "");
    f.typeTaxNumber(kA);
    const QString expected = QString::fromStdString(
        (std::filesystem::absolute(f.tables()) / (std::string(kA) + " ΠΑΠΑΔΟΠΟΥΛΟΣ.pdf")).string());
    EXPECT_EQ(f.window.defaultPrintFile(), expected);

    // The print dialog's file field offers it.
    QString offered;
    test::OnNextModal([&offered](QWidget* modal) {
        QTimer::singleShot(50, modal, [modal, &offered] {
            if (auto* field = modal->findChild<QLineEdit*>("filename")) offered = field->text();
            modal->close();
        });
    });
    f.window.onPrintTriggered();
    EXPECT_EQ(offered, expected);

    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(expected);
    ASSERT_TRUE(f.window.printTo(printer));
    struct stat info {};
    ASSERT_EQ(::stat(expected.toStdString().c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0600u);
    EXPECT_GT(info.st_size, 1000);
    EXPECT_EQ(f.desktop.prompter.informed.back(), "Το αρχείο γράφτηκε: " + expected.toStdString());
}

// Whether an exported or printed file holds any of client A's figures (4.000,00 saved, 21.000,00 typed).
bool HoldsAsFigures(const TempDir& dir, const std::filesystem::path& file) {
    const std::string bytes = test::ReadBytes(file);
    if (file.extension() == ".csv") return Contains(bytes, "4.000,00") || Contains(bytes, "21.000,00");
    if (file.extension() == ".pdf") {
        for (const test::ReadPage& page : test::ReadPdf(bytes))
            if (Contains(page.text, "4.000,00") || Contains(page.text, "21.000,00")) return true;
        return false;
    }
    for (const auto& [where, cell] : test::ReadBack(dir, file).cells)
        if (cell.size() > 1 && (cell[1].starts_with("4000") || cell[1].starts_with("21000") ||
                                Contains(cell[1], "4.000,00") || Contains(cell[1], "21.000,00")))
            return true;
    return false;
}

TEST(OneClient, AnExportOrPrintUnderAnotherNumberStartsThatClientsSheetFirst) {
    enum class Press { ExcelButton, CtrlE, CsvButton, PdfAction, CtrlP };
    const struct {
        Press press;
        const char* name;
    } commands[] = {{Press::ExcelButton, "Excel"}, {Press::CtrlE, "Ctrl+E"}, {Press::CsvButton, "CSV"},
                    {Press::PdfAction, "PDF"},     {Press::CtrlP, "Ctrl+P"}};
    for (const auto& command : commands) {
        for (const Answer answer : {Answer::Cancel, Answer::No}) {
            const std::string label = std::string(command.name) + "/" + std::to_string(int(answer));
            Fixture f;
            f.record(kA, "ΑΛΦΑ", "");
            f.record(kB, "ΒΗΤΑ", "");
            f.savedAnalysis(kA, "4.000,00");
            const std::string aBefore = test::ReadBytes(f.file(kA));
            ASSERT_TRUE(f.window.OpenAnalysisOf(kA));
            f.typeAndLeave(TaxpayerColumnOf(2017), Row::TaxedIncome, "21000");
            // The file each client's command writes.
            const auto written = [&](const std::string& taxNumber, const std::string& name) {
                switch (command.press) {
                case Press::ExcelButton:
                case Press::CtrlE: return f.tables() / (taxNumber + "_2021.xlsx");
                case Press::CsvButton: return f.tables() / (taxNumber + "_2021.csv");
                case Press::PdfAction: return f.tables() / (taxNumber + "_2021.pdf");
                case Press::CtrlP: break;
                }
                return f.tables() / (taxNumber + " " + name + ".pdf");
            };
            // B's number typed into the field, which is not left: the buttons and keys take no focus.
            f.taxNumberField()->setFocus();
            f.taxNumberField()->selectAll();
            QTest::keyClicks(f.taxNumberField(), kB);
            bool dialogShown = false;
            const auto press = [&] {
                dialogShown = false;
                if (command.press == Press::CtrlP) {
                    // Printed to the file the print dialog offers.
                    test::OnNextModal([&dialogShown](QWidget* modal) {
                        auto* dialog = qobject_cast<QPrintDialog*>(modal);
                        if (!dialog) return;
                        dialogShown = true;
                        QTimer::singleShot(50, dialog, [dialog] {
                            dialog->printer()->setOutputFormat(QPrinter::PdfFormat);
                            dialog->printer()->setOutputFileName(dialog->findChild<QLineEdit*>("filename")->text());
                            dialog->done(QDialog::Accepted);
                        });
                    });
                }
                switch (command.press) {
                case Press::ExcelButton:
                    QTest::mouseClick(test::Find<QToolButton>(f.window, "exportExcelButton"), Qt::LeftButton);
                    break;
                case Press::CsvButton:
                    QTest::mouseClick(test::Find<QToolButton>(f.window, "exportCsvButton"), Qt::LeftButton);
                    break;
                case Press::PdfAction: test::Find<QAction>(f.window, "savePdfAction")->trigger(); break;
                case Press::CtrlE: QTest::keyClick(f.taxNumberField(), Qt::Key_E, Qt::ControlModifier); break;
                case Press::CtrlP: QTest::keyClick(f.taxNumberField(), Qt::Key_P, Qt::ControlModifier); break;
                }
                QApplication::processEvents();
            };
            f.desktop.prompter = ScriptedPrompter(answer);
            press();
            ASSERT_EQ(f.desktop.prompter.asked.size(), 1u) << label;
            EXPECT_TRUE(Contains(f.desktop.prompter.asked[0], std::string("Α.Φ.Μ. ") + kA + " (ΑΛΦΑ)")) << label;
            EXPECT_TRUE(test::ReadBytes(f.file(kA)) == aBefore) << label;
            const std::filesystem::path bFile = written(kB, "ΒΗΤΑ");
            if (answer == Answer::Cancel) {
                // Nothing written under B's number; the sheet and the field stay A's.
                EXPECT_FALSE(std::filesystem::exists(bFile)) << label;
                EXPECT_FALSE(dialogShown) << label;
                EXPECT_EQ(f.taxNumberField()->text(), kA) << label;
                EXPECT_EQ(f.cell(TaxpayerColumnOf(2017), Row::TaxedIncome), "21.000,00") << label;
                // The same command on A's own number writes A's figures (and the check above could fail).
                f.desktop.prompter = ScriptedPrompter(Answer::Cancel);
                press();
                EXPECT_TRUE(f.desktop.prompter.asked.empty()) << label;
                const std::filesystem::path aFile = written(kA, "ΑΛΦΑ");
                ASSERT_TRUE(std::filesystem::exists(aFile)) << label;
                EXPECT_TRUE(HoldsAsFigures(f.dir, aFile)) << label;
                continue;
            }
            // B's own (empty) sheet under B's number, nothing of A's in it.
            EXPECT_EQ(f.window.sheetTaxNumber(), kB) << label;
            EXPECT_EQ(dialogShown, command.press == Press::CtrlP) << label;
            ASSERT_TRUE(std::filesystem::exists(bFile)) << label;
            EXPECT_FALSE(HoldsAsFigures(f.dir, bFile)) << label;
            EXPECT_FALSE(std::filesystem::exists(written(kA, "ΑΛΦΑ"))) << label;
        }
    }
}

TEST(OneClient, APastedTextThatIsNoAmountIsToldAndItsCellKept) {
    const int t = TaxpayerColumnOf(2019);
    const struct {
        const char* clipboard;
        const char* first;   // (2019, taxed income), 21.000,00 before
        const char* beside;  // the spouse's cell beside it, empty before
        const char* below;   // the taxpayer's cell below, 300,00 before
        std::string notice;
    } cases[] = {
        {"abc", "21.000,00", "", "300,00", RefusedAmountSentence("abc", "21.000,00")},
        {"7\t1.2.3\n", "7,00", "", "300,00", RefusedAmountSentence("1.2.3", "")},
        {"x\ty\nz", "21.000,00", "", "300,00", RefusedAmountSentence("x", "21.000,00")},
        {"8\t9\r\n1.234,5\r\n", "8,00", "9,00", "1.234,50", ""},
    };
    for (const auto& c : cases) {
        Fixture f;
        f.typeAndLeave(t, Row::TaxedIncome, "21000");
        f.typeAndLeave(t, Row::TaxedIncome + 1, "300");
        QApplication::clipboard()->setText(c.clipboard);
        f.grid()->setCurrentIndex(f.grid()->model()->index(Row::TaxedIncome, t));
        f.grid()->setFocus();
        QTest::keySequence(f.grid(), QKeySequence::Paste);
        EXPECT_EQ(f.cell(t, Row::TaxedIncome), c.first) << c.clipboard;
        EXPECT_EQ(f.cell(t + 1, Row::TaxedIncome), c.beside) << c.clipboard;
        EXPECT_EQ(f.cell(t, Row::TaxedIncome + 1), c.below) << c.clipboard;
        EXPECT_EQ(f.cell(t, Row::TaxedIncome + 2), "") << c.clipboard;
        EXPECT_EQ(f.window.lastNotice().toStdString(), c.notice) << c.clipboard;
        if (!c.notice.empty()) {
            EXPECT_EQ(QToolTip::text().toStdString(), c.notice) << c.clipboard;
        }
    }
}

// A printer that takes no pages, as one switched off or gone from the network.
class RefusingPrinter : public QPrinter {
public:
    QPaintEngine* paintEngine() const override { return &engine_; }

private:
    class Engine : public QPaintEngine {
    public:
        bool begin(QPaintDevice*) override { return false; }
        bool end() override { return true; }
        void updateState(const QPaintEngineState&) override {}
        void drawPixmap(const QRectF&, const QPixmap&, const QRectF&) override {}
        Type type() const override { return QPaintEngine::User; }
    };
    mutable Engine engine_;
};

TEST(OneClient, AFailedPrintLeavesNoFileAndAFailedOpenerIsTold) {
    for (const bool existed : {false, true}) {
        Fixture f;
        f.taxNumberField()->setText(kA);
        const std::filesystem::path file = f.tables() / "printed.pdf";
        if (existed) test::WriteBytes(file, "earlier");
        RefusingPrinter printer;
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(QString::fromStdString(file.string()));
        EXPECT_FALSE(f.window.printTo(printer));
        EXPECT_EQ(f.desktop.prompter.informed,
                  std::vector<std::string>{"Η εκτύπωση του πίνακα δεν έγινε: ο εκτυπωτής δεν δέχτηκε τις σελίδες."});
        // No empty file made for the pages; one the user had stays as it was.
        EXPECT_EQ(std::filesystem::exists(file), existed);
        if (existed) {
            EXPECT_EQ(test::ReadBytes(file), "earlier");
        }
    }

    // "Έγγραφα Α.Α.Δ.Ε.": the folder opened, an opener that fails told, a missing folder said.
    const struct {
        bool folder;
        bool openerWorks;
    } cases[] = {{false, true}, {true, true}, {true, false}};
    for (const auto& c : cases) {
        Fixture f;
        f.taxNumberField()->setText(kA);
        const QString folder = QString::fromStdString(std::filesystem::absolute(SourcesFolder(f.tables(), kA)).string());
        if (c.folder) std::filesystem::create_directories(folder.toStdString());
        f.desktop.openSucceeds = c.openerWorks;
        QTest::mouseClick(test::Find<QPushButton>(f.window, "portalDocumentsButton"), Qt::LeftButton);
        EXPECT_EQ(f.desktop.opened, c.folder ? QStringList{folder} : QStringList());
        const std::vector<std::string> told =
            !c.folder ? std::vector<std::string>{std::string("Δεν υπάρχουν ακόμη έγγραφα της Α.Α.Δ.Ε. για τον Α.Φ.Μ. ") + kA + "."}
            : c.openerWorks ? std::vector<std::string>{}
                            : std::vector<std::string>{NotOpenedSentence(folder)};
        EXPECT_EQ(f.desktop.prompter.informed, told) << c.folder << c.openerWorks;
    }
}

}  // namespace
}  // namespace skartina
