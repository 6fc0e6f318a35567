// SPDX-License-Identifier: GPL-3.0-or-later
// The office's windows without the portal: the client list imported from the
// main window, the office run's window with its choice of clients and the
// offer to go on with an unfinished run, and an earlier version of a sheet
// opened in the analysis window.

#include "gui/AnalysisWindow.h"
#include "gui/MainWindow.h"
#include "gui/OfficeRunWindow.h"
#include "common/TextFile.h"
#include "portal/OfficeJournal.h"
#include "registry/TaxpayerRecord.h"
#include "sheet/AnalysisFile.h"
#include "sheet/AnalysisHistory.h"
#include "sheet/SheetLayout.h"
#include "sheet/SheetRows.h"
#include "support/GuiTestSupport.h"
#include "support/SheetGridForms.h"

#include <QAction>
#include <QCheckBox>
#include <QLineEdit>
#include <QListWidget>
#include <QRadioButton>

#include <gtest/gtest.h>

namespace skartina {
namespace {

using test::FakeDesktop;
using test::FakeHttp;
using test::Find;
using test::TempDir;

TEST(OfficeWindows, TheMainWindowImportsAClientListAndTellsItsBadLines) {
    TempDir dir;
    FakeDesktop desktop;
    FakeHttp http;
    MainWindow main(dir.path(), desktop.services(), http);
    EXPECT_EQ(Find<QAction>(main, "importClientsAction")->text().remove(QChar('&')), "Εισαγωγή πελατών από αρχείο");
    test::WriteBytes(dir / "list.csv", "ΑΦΜ;Επώνυμο\n123456783;ΠΑΠΑΣ\n123456789;ΛΑΘΟΣ\n");
    main.ImportClientsFrom(dir / "list.csv");
    ASSERT_EQ(desktop.prompter.informed.size(), 1u);
    EXPECT_EQ(desktop.prompter.informed[0],
              "Εισαγωγή πελατών: 1 νέος, 0 ενημερώθηκαν, 0 χωρίς αλλαγή, 1 γραμμή παραλείφθηκε.\n"
              "Γραμμή 3: ο Α.Φ.Μ. «123456789» δεν είναι έγκυρος.");
    EXPECT_EQ(ReadTaxpayerRecord(dir / "Tables" / "123456783.cst").surname, "ΠΑΠΑΣ");

    main.ImportClientsFrom(dir / "missing.csv");
    EXPECT_EQ(desktop.prompter.informed[1].rfind("Η εισαγωγή πελατών δεν έγινε: ", 0), 0u) << desktop.prompter.informed[1];
}

TEST(OfficeWindows, TheRunWindowListsTheRegisterAndOffersToGoOnWithAnUnfinishedRun) {
    TempDir dir;
    std::filesystem::create_directories(dir / "Tables");
    WriteTaxpayerRecord(dir / "Tables" / "123456783.cst", {"123456783", "ΠΑΠΑΣ", "Γιώργος", "", "", ""});
    WriteTaxpayerRecord(dir / "Tables" / "090909091.cst", {"090909091", "ΑΛΦΑ Α.Ε.", "", "", "", ""});
    {
        OfficeRunWindow window(dir.path());
        auto* list = Find<QListWidget>(window, "clientList");
        ASSERT_EQ(list->count(), 2);
        EXPECT_EQ(list->item(0)->text(), "090909091  ΑΛΦΑ Α.Ε.");  // by surname
        EXPECT_FALSE(list->isEnabled());                          // "all" takes no ticks
        Find<QRadioButton>(window, "tickedClientsButton")->setChecked(true);
        EXPECT_TRUE(list->isEnabled());
        EXPECT_TRUE(Find<QCheckBox>(window, "resumeBox")->isHidden());
        EXPECT_FALSE(Find<QLineEdit>(window, "portalUserEdit")->isEnabled());
    }
    WriteOfficeJournal(dir / "Tables", {{"20240315-221530", {"123456783", "090909091"}, {2016}, true, "logistis"},
                                        {{"123456783", "ΠΑΠΑΣ Γιώργος", {{2016, OfficeYearEnd::Read, ""}}}}});
    OfficeRunWindow window(dir.path());
    auto* resume = Find<QCheckBox>(window, "resumeBox");
    EXPECT_FALSE(resume->isHidden());
    EXPECT_TRUE(resume->isChecked());
    EXPECT_EQ(resume->text(), "Συνέχεια της ημιτελούς άντλησης (1 από 2 πελάτες ολοκληρώθηκαν)");
    EXPECT_EQ(Find<QLineEdit>(window, "portalUserEdit")->text(), "logistis");
    EXPECT_FALSE(Find<QRadioButton>(window, "allClientsButton")->isEnabled());
    EXPECT_TRUE(Find<QLineEdit>(window, "portalPasswordEdit")->isEnabled());  // asked again
    resume->setChecked(false);
    EXPECT_TRUE(Find<QRadioButton>(window, "allClientsButton")->isEnabled());
}

TEST(OfficeWindows, AnEarlierVersionOpensAsAChangeToSave) {
    TempDir dir;
    std::filesystem::create_directories(dir / "Tables");
    const auto file = AnalysisFilePath(dir / "Tables", "123456783", "2021");
    SheetGrid grid;
    BuildSheetLayout(grid, YearSelection());
    grid.setCell(TaxpayerColumnOf(2015), Row::TaxedIncome, "1.000,00");
    SaveGridKeepingHistory(grid, dir / "Tables", "123456783", file);
    grid.setCell(TaxpayerColumnOf(2015), Row::TaxedIncome, "2.000,00");
    SaveGridKeepingHistory(grid, dir / "Tables", "123456783", file);

    FakeDesktop desktop;
    AnalysisWindow window{dir.path(), desktop.services()};
    EXPECT_EQ(Find<QWidget>(window, "versionsButton")->property("text").toString(), "Προηγούμενες εκδόσεις");
    window.OpenAnalysisOf("123456783");
    EXPECT_EQ(CellText(window.sheet(), TaxpayerColumnOf(2015), Row::TaxedIncome), "2.000,00");
    EXPECT_FALSE(window.isModified());
    const auto versions = KeptVersions(dir / "Tables", "123456783");
    ASSERT_EQ(versions.size(), 1u);
    window.OpenVersion(versions[0]);
    EXPECT_EQ(CellText(window.sheet(), TaxpayerColumnOf(2015), Row::TaxedIncome), "1.000,00");
    EXPECT_TRUE(window.isModified());
    EXPECT_EQ(ReadCp1253Lines(file)[2 + 40 * TaxpayerColumnOf(2015) + Row::TaxedIncome], "2.000,00");  // the file as it was
}

}  // namespace
}  // namespace skartina
