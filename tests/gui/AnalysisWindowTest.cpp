// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/TaxNumberEdit.h"
#include "gui/IntegerEdit.h"
#include "sheet/AnalysisFile.h"
#include "sheet/SheetRows.h"
#include "gui/SheetView.h"
#include "gui/AnalysisWindow.h"
#include "support/GuiTestSupport.h"
#include "support/PdfReadBack.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QMenu>
#include <QPrintDialog>
#include <QPrinter>
#include <QToolButton>
#include <QTableView>
#include <QTest>

#include <gtest/gtest.h>

namespace skartina {
namespace {

using test::FakeDesktop;
using test::Find;
using test::TempDir;
using test::YearBoxName;

struct AnalysisFixture {
    AnalysisFixture() { window.show(); }
    TempDir dir;
    FakeDesktop desktop;
    AnalysisWindow window{dir.path(), desktop.services()};

    std::string cell(int column, int row) { return CellText(window.sheet(), column, row); }
    void click(int year) { QTest::mouseClick(Find<QCheckBox>(window, YearBoxName(year)), Qt::LeftButton); }
    std::vector<int> ticked() {
        std::vector<int> years;
        for (int year = kOldestBoxYear; year <= kNewestYear; ++year)
            if (Find<QCheckBox>(window, YearBoxName(year))->isChecked()) years.push_back(year);
        return years;
    }
    // Types into a cell as a user does, then moves on to the cell below.
    void type(int column, int row, const QString& text) {
        QTableView* grid = Find<SheetView>(window, "sheetView");
        grid->setCurrentIndex(grid->model()->index(row, column));
        QApplication::processEvents();
        auto* editor = qobject_cast<QLineEdit*>(grid->indexWidget(grid->currentIndex()));
        if (!editor) editor = qobject_cast<QLineEdit*>(QApplication::focusWidget());
        ASSERT_NE(editor, nullptr);
        editor->selectAll();
        QTest::keyClicks(editor, text);
        grid->setCurrentIndex(grid->model()->index(row + 1, column));
        QApplication::processEvents();
    }
};

std::vector<int> Range(int from, int to) {
    std::vector<int> years;
    for (int y = from; y <= to; ++y) years.push_back(y);
    return years;
}

TEST(AnalysisWindow, YearBoxesChangeTheSheet) {
    AnalysisFixture f;
    ASSERT_EQ(f.window.sheet().columnCount(), 37);
    f.click(2001);
    EXPECT_EQ(f.window.sheet().columnCount(), 41);
    EXPECT_EQ(f.ticked(), Range(2001, 2020));

    SetCellText(f.window.sheet(), TaxpayerColumnOf(2011), Row::TaxedIncome, "1.000,00");
    f.desktop.prompter = test::ScriptedPrompter(false);
    f.click(2010);  // No: nothing changes, the box is ticked again
    EXPECT_EQ(f.window.sheet().columnCount(), 41);
    EXPECT_TRUE(Find<QCheckBox>(f.window, YearBoxName(2010))->isChecked());
    ASSERT_EQ(f.desktop.prompter.asked.size(), 1u);
    EXPECT_EQ(f.desktop.prompter.asked[0], kYearRemovalQuestion);

    f.desktop.prompter = test::ScriptedPrompter(true);
    f.click(2010);
    EXPECT_EQ(f.window.sheet().columnCount(), 21);
    EXPECT_EQ(f.ticked(), Range(2011, 2020));
    EXPECT_EQ(f.cell(TaxpayerColumnOf(2011), Row::TaxedIncome), "1.000,00");

    f.click(2020);
    EXPECT_EQ(f.window.sheet().columnCount(), 3);
    EXPECT_EQ(f.ticked(), std::vector<int>{2020});
    EXPECT_EQ(f.cell(TaxpayerColumnOf(2020), Row::TaxedIncome), "");
}

TEST(AnalysisWindow, FirstYearFieldNamesThe2000BoxAndAddsOlderYears) {
    AnalysisFixture f;
    Find<IntegerEdit>(f.window, "firstYearEdit")->setText("1995");
    EXPECT_EQ(Find<QCheckBox>(f.window, YearBoxName(2000))->text(), "1995");
    f.click(2000);
    EXPECT_EQ(f.window.sheet().columnCount(), 53);
    EXPECT_EQ(f.cell(51, 0), "_1995_");
}

TEST(AnalysisWindow, TypedAmountsAreNormalisedWhenLeft) {
    AnalysisFixture f;
    const int t = TaxpayerColumnOf(2015);
    f.type(t, Row::TaxedIncome, "12.5");
    EXPECT_EQ(f.cell(t, Row::TaxedIncome), "12,50");  // a point before two final digits is the decimal comma
    EXPECT_EQ(f.cell(t, Row::IncomeTotal), "12,50");  // recalculated
    f.type(t, Row::TaxedIncome, "abc");
    EXPECT_EQ(f.cell(t, Row::TaxedIncome), "12,50");  // refused: the cell keeps its amount
    f.type(t, Row::SpecialIncome, "1234,5");
    EXPECT_EQ(f.cell(t, Row::SpecialIncome), "1.234,50");
    EXPECT_EQ(f.cell(t, Row::IncomeTotal), "1.247,00");
}

TEST(AnalysisWindow, EnterMovesDownAndStopsOnTheLastRow) {
    AnalysisFixture f;
    QTableView* grid = Find<SheetView>(f.window, "sheetView");
    grid->setCurrentIndex(grid->model()->index(5, 3));
    f.window.onSheetEnterPressed();
    EXPECT_EQ(grid->currentIndex().row(), 6);
    grid->setCurrentIndex(grid->model()->index(39, 3));
    f.window.onSheetEnterPressed();
    EXPECT_EQ(grid->currentIndex().row(), 39);
}

TEST(AnalysisWindow, ClickOnASpouseHeaderTogglesTheMarriedMark) {
    AnalysisFixture f;
    QTableView* grid = Find<SheetView>(f.window, "sheetView");
    const int s = SpouseColumnOf(2020);
    const QPoint spouseHeader = grid->visualRect(grid->model()->index(Row::PersonHeader, s)).center();
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, spouseHeader);
    EXPECT_EQ(f.cell(s, 1), "Συζύγου*");
    EXPECT_EQ(f.cell(s, Row::MinimumLivingAmount), "2.500,00");
    EXPECT_EQ(f.cell(s - 1, Row::MinimumLivingAmount), "2.500,00");
    EXPECT_FALSE(grid->currentIndex().isValid() && grid->currentIndex().row() < 2);

    const QPoint taxpayerHeader = grid->visualRect(grid->model()->index(Row::PersonHeader, s - 1)).center();
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, taxpayerHeader);
    EXPECT_EQ(f.cell(s - 1, 1), "Υπόχρεου");
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, spouseHeader);
    EXPECT_EQ(f.cell(s, 1), "Συζύγου");
    EXPECT_EQ(f.cell(s - 1, Row::MinimumLivingAmount), "3.000,00");

    Find<QCheckBox>(f.window, "marriedAllYearsBox")->click();
    for (int year = 2003; year <= 2020; ++year) EXPECT_EQ(f.cell(SpouseColumnOf(year), 1), "Συζύγου*") << year;
}

TEST(AnalysisWindow, SaveThenOpenRestoresColumnsAndTicks) {
    AnalysisFixture f;
    f.window.onSaveClicked();  // no tax number yet
    EXPECT_EQ(f.desktop.prompter.informed.back(), kNoTaxNumberToSaveMessage);

    Find<TaxNumberEdit>(f.window, "taxNumberEdit")->setText("123456783");
    SetCellText(f.window.sheet(), TaxpayerColumnOf(2003), Row::TaxedIncome, "7,00");
    f.window.sheet().setMarried(SpouseColumnOf(2012), true);
    f.window.onSaveClicked();
    EXPECT_EQ(f.desktop.prompter.informed.back(), kAnalysisSavedMessage);
    const auto file = f.dir / "Tables" / "123456783_2021.grd";
    ASSERT_TRUE(std::filesystem::exists(file));

    // Saving the analysis this window saved asks nothing.
    f.desktop.prompter = test::ScriptedPrompter(false);
    SetCellText(f.window.sheet(), TaxpayerColumnOf(2003), Row::TaxedIncome, "8,00");
    EXPECT_TRUE(f.window.onSaveClicked());
    EXPECT_TRUE(f.desktop.prompter.asked.empty());
    SetCellText(f.window.sheet(), TaxpayerColumnOf(2003), Row::TaxedIncome, "7,00");
    EXPECT_TRUE(f.window.onSaveClicked());

    // Written meanwhile by someone else: the question names what it would replace.
    std::filesystem::last_write_time(file, std::filesystem::last_write_time(file) - std::chrono::hours(1));
    const std::string before = test::ReadBytes(file);
    f.desktop.prompter = test::ScriptedPrompter(false);
    SetCellText(f.window.sheet(), TaxpayerColumnOf(2003), Row::TaxedIncome, "9,00");
    EXPECT_FALSE(f.window.onSaveClicked());  // overwrite declined
    ASSERT_EQ(f.desktop.prompter.asked.size(), 1u);
    EXPECT_TRUE(f.desktop.prompter.asked[0].starts_with(kOverwriteAnalysisQuestion));
    EXPECT_NE(f.desktop.prompter.asked[0].find("με ποσά στο έτος 2003"), std::string::npos);
    EXPECT_TRUE(f.desktop.prompter.informed.empty());
    EXPECT_EQ(test::ReadBytes(file), before);

    f.desktop.prompter = test::ScriptedPrompter(true);
    f.click(2010);
    ASSERT_EQ(f.window.sheet().columnCount(), 21);
    ASSERT_TRUE(f.window.OpenAnalysisOf("123456783"));
    EXPECT_EQ(f.window.sheet().columnCount(), 37);
    EXPECT_EQ(f.ticked(), Range(2003, 2020));
    EXPECT_EQ(f.cell(TaxpayerColumnOf(2003), Row::TaxedIncome), "7,00");
    EXPECT_EQ(f.cell(SpouseColumnOf(2012), 1), "Συζύγου*");
    EXPECT_EQ(f.cell(SpouseColumnOf(2012), Row::MinimumLivingAmount), "2.500,00");
}

TEST(AnalysisWindow, ExportsWriteTheFileAndOpenIt) {
    AnalysisFixture f;
    f.desktop.prompter.chosen = 0;  // "Άνοιγμα" in the message that tells the file
    Find<TaxNumberEdit>(f.window, "taxNumberEdit")->setText("123456783");
    Find<QLineEdit>(f.window, "nameEdit")->setText("ΠΑΠΑΔΟΠΟΥΛΟΣ ΓΙΩΡΓΟΣ");
    f.window.onExportCsvClicked();  // no Tables folder: the file error, nothing opened
    EXPECT_TRUE(f.desktop.opened.empty());
    ASSERT_EQ(f.desktop.prompter.informed.size(), 1u);

    std::filesystem::create_directory(f.dir / "Tables");
    f.window.onExportCsvClicked();
    f.window.onExportExcelClicked();
    ASSERT_EQ(f.desktop.opened.size(), 2);
    EXPECT_TRUE(f.desktop.opened[0].endsWith("Tables/123456783_2021.csv"));
    EXPECT_TRUE(f.desktop.opened[1].endsWith("Tables/123456783_2021.xlsx"));
    EXPECT_TRUE(std::filesystem::exists(f.dir / "Tables" / "123456783_2021.xlsx"));

    f.desktop.openSucceeds = false;  // no program for the file: said, never silent
    f.window.onExportCsvClicked();
    EXPECT_NE(f.desktop.prompter.informed.back().find("123456783_2021.csv"), std::string::npos);
}

TEST(AnalysisWindow, PrintMenuSavesThePdfOrPrintsTheSamePages) {
    AnalysisFixture f;
    f.desktop.prompter.chosen = 0;  // "Άνοιγμα" in the message that tells the file
    Find<TaxNumberEdit>(f.window, "taxNumberEdit")->setText("123456783");
    Find<QLineEdit>(f.window, "nameEdit")->setText("ΠΑΠΑΔΟΠΟΥΛΟΣ ΓΙΩΡΓΟΣ");
    SetCellText(f.window.sheet(), TaxpayerColumnOf(2004), Row::TaxedIncome, "2.500,00");
    auto* const printButton = Find<QToolButton>(f.window, "printButton");
    auto* const savePdf = Find<QAction>(f.window, "savePdfAction");
    auto* const print = Find<QAction>(f.window, "printAction");
    EXPECT_EQ(printButton->parentWidget(), Find<QToolButton>(f.window, "saveButton")->parentWidget());
    ASSERT_EQ(printButton->menu()->actions(), (QList<QAction*>{savePdf, print}));
    EXPECT_EQ(savePdf->text().remove(QChar('&')), "Αποθήκευση ως PDF");
    EXPECT_EQ(print->text().remove(QChar('&')), "Εκτύπωση...");

    savePdf->trigger();  // no Tables folder: the file error, nothing opened
    EXPECT_TRUE(f.desktop.opened.empty());
    ASSERT_EQ(f.desktop.prompter.informed.size(), 1u);

    std::filesystem::create_directory(f.dir / "Tables");
    savePdf->trigger();
    ASSERT_EQ(f.desktop.opened.size(), 1);
    EXPECT_TRUE(f.desktop.opened[0].endsWith("Tables/123456783_2021.pdf"));
    const auto saved = test::ReadPdf(test::ReadBytes(f.dir / "Tables" / "123456783_2021.pdf"));
    ASSERT_EQ(saved.size(), 4u);
    EXPECT_NE(saved[3].text.find("2.500,00"), std::string::npos);

    // The print dialog offers the four pages; the printer, here a PDF file, gets them.
    const auto printed = f.dir / "printed.pdf";
    const auto printTo = [&](const std::filesystem::path& file, int from, int to, bool letter = false) {
        test::OnNextModal([file, from, to, letter](QWidget* modal) {
            auto* dialog = qobject_cast<QPrintDialog*>(modal);
            ASSERT_NE(dialog, nullptr);
            EXPECT_EQ(dialog->minPage(), 1);
            EXPECT_EQ(dialog->maxPage(), 4);
            dialog->printer()->setOutputFormat(QPrinter::PdfFormat);
            dialog->printer()->setOutputFileName(QString::fromStdString(file.string()));
            if (letter) dialog->printer()->setPageSize(QPageSize(QPageSize::Letter));
            if (from > 0) {
                dialog->printer()->setPrintRange(QPrinter::PageRange);
                dialog->printer()->setFromTo(from, to);
            }
            dialog->done(QDialog::Accepted);  // as chosen, without the dialog's own fields
        });
        print->trigger();
    };
    printTo(printed, 0, 0);
    const auto pages = test::ReadPdf(test::ReadBytes(printed));
    ASSERT_EQ(pages.size(), 4u);
    for (size_t p = 0; p < pages.size(); ++p) {
        EXPECT_NEAR(pages[p].width, 841.89, 1);
        EXPECT_NEAR(pages[p].height, 595.28, 1);
        EXPECT_EQ(pages[p].words, saved[p].words) << p;  // the same texts in the same places as the PDF file
    }

    printTo(f.dir / "range.pdf", 2, 3);
    const auto range = test::ReadPdf(test::ReadBytes(f.dir / "range.pdf"));
    ASSERT_EQ(range.size(), 2u);
    EXPECT_EQ(range[0].words, saved[1].words);

    // Letter paper, narrower than A4: the whole page, made smaller.
    printTo(f.dir / "letter.pdf", 1, 1, true);
    const auto letter = test::ReadPdf(test::ReadBytes(f.dir / "letter.pdf"));
    ASSERT_EQ(letter.size(), 1u);
    EXPECT_NEAR(letter[0].width, 792, 1);
    EXPECT_NEAR(letter[0].height, 612, 1);
    EXPECT_EQ(letter[0].words, saved[0].words);

    const size_t said = f.desktop.prompter.informed.size();
    printTo(f.dir / "missing" / "x.pdf", 0, 0);  // the printer cannot start: said
    ASSERT_EQ(f.desktop.prompter.informed.size(), said + 1);
    EXPECT_NE(f.desktop.prompter.informed.back().find("εκτύπωση"), std::string::npos);

    test::OnNextModal([](QWidget* modal) { static_cast<QDialog*>(modal)->reject(); });
    print->trigger();  // cancelled: nothing printed, nothing said
    EXPECT_EQ(f.desktop.prompter.informed.size(), said + 1);
}

}  // namespace
}  // namespace skartina
