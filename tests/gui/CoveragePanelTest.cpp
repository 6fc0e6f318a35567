// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/AnalysisWindow.h"
#include "gui/TaxNumberEdit.h"
#include "gui/BalanceChartView.h"
#include "gui/CoveragePanel.h"
#include "gui/SheetView.h"
#include "sheet/RowHints.h"
#include "sheet/SheetRows.h"
#include "support/GuiTestSupport.h"
#include "support/PdfReadBack.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QTabWidget>
#include <QTest>

#include <gtest/gtest.h>

namespace skartina {
namespace {

using test::FakeDesktop;
using test::Find;
using test::TempDir;

struct CoverageFixture {
    CoverageFixture() { window.show(); }
    TempDir dir;
    FakeDesktop desktop;
    AnalysisWindow window{dir.path(), desktop.services()};
    QString answer() { return Find<QLabel>(window, "answerLabel")->text(); }
};

TEST(CoveragePanel, AnswersForTheSheetAsItChanges) {
    CoverageFixture f;
    auto* tabs = f.window.findChild<QTabWidget*>();
    ASSERT_NE(tabs, nullptr);
    ASSERT_EQ(tabs->count(), 2);
    EXPECT_EQ(tabs->tabText(1), "Κάλυψη δαπάνης");
    tabs->setCurrentIndex(1);

    // A new window: 2003 to 2020 unmarried, no figures. The nine empty old
    // years take 2.900,00 each; 2020 then adds 7.000,00.
    SetCellText(f.window.sheet(), TaxpayerColumnOf(2020), Row::TaxedIncome, "10.000,00");
    f.window.RecalculateSheet();
    auto* amount = Find<QLineEdit>(f.window, "amountEdit");
    QTest::keyClicks(amount, "5.000");
    EXPECT_EQ(f.answer(),
              "Υπόχρεος: το τελικό διαθέσιμο υπόλοιπο του 2020 (-19.100,00) δεν καλύπτει τη δαπάνη των 5.000,00· λείπουν "
              "24.100,00.\nΜετρούν τα έτη 2003 έως 2020 του φύλλου.\nΤα έτη 2003 έως 2019 δεν έχουν ποσά στο φύλλο (δεν "
              "αντλήθηκαν ούτε συμπληρώθηκαν): τα εισοδήματα και οι δαπάνες τους μετρούν ως μηδέν, μόνο το ελάχιστο ποσό "
              "διαβίωσης μετρά.");
    const BalanceSeries& shown = Find<BalanceChartView>(f.window, "chart")->series();
    ASSERT_EQ(shown.years.size(), 18u);
    EXPECT_EQ(shown.years.back().taxpayer.final, -1910000);

    // The sheet changes: the answer and the chart follow; the spouse appears with a married year
    // (2019: minimum 2.500,00 each, the spouse's deficit carried as the couple's sum is positive).
    SetCellText(f.window.sheet(), TaxpayerColumnOf(2019), Row::TaxedIncome, "40.000,00");
    f.window.sheet().setMarried(SpouseColumnOf(2019), true);
    f.window.RecalculateSheet();
    EXPECT_TRUE(f.answer().startsWith("Υπόχρεος: το τελικό διαθέσιμο υπόλοιπο του 2020 (18.400,00) καλύπτει τη δαπάνη των "
                                      "5.000,00· απομένουν 13.400,00.\nΣύζυγος: το τελικό διαθέσιμο υπόλοιπο του 2020 "
                                      "(-2.500,00) δεν καλύπτει"))
        << f.answer().toStdString();
    EXPECT_TRUE(Find<BalanceChartView>(f.window, "chart")->series().hasSpouse);

    amount->setText("πέντε");
    EXPECT_EQ(f.answer(), "Το «πέντε» δεν είναι ποσό δαπάνης (π.χ. 25000 ή 25.000,50).");
}

TEST(CoveragePanel, ComputedRowsSayHowTheyAreComputed) {
    CoverageFixture f;
    const QAbstractItemModel* model = Find<SheetView>(f.window, "sheetView")->model();
    for (int row : {Row::IncomeTotal, Row::MinimumLivingAmount, Row::ExpenseTotal, Row::AvailableBalance,
                    Row::CarryAmount, Row::CapitalConsumptionUsed, Row::FinalBalance})
        for (int column : {0, 1, 2}) {
            const QString hint = model->index(row, column).data(Qt::ToolTipRole).toString();
            EXPECT_FALSE(hint.isEmpty()) << row << " " << column;
            EXPECT_EQ(hint, QString::fromUtf8(ComputedRowHint(row).data(), ComputedRowHint(row).size()));
        }
    for (int row : {Row::TaxedIncome, Row::HousePresumption, Row::DeclaredCapitalConsumption, Row::BankTransfers})
        EXPECT_TRUE(model->index(row, 1).data(Qt::ToolTipRole).toString().isEmpty()) << row;
}

TEST(CoveragePanel, TheChartBoxAddsThePdfPage) {
    CoverageFixture f;
    std::filesystem::create_directory(f.dir / "Tables");
    Find<TaxNumberEdit>(f.window, "taxNumberEdit")->setText("123456783");
    const auto pdf = f.dir / "Tables" / "123456783_2021.pdf";
    f.window.onSavePdfTriggered();
    const size_t plain = test::ReadPdf(test::ReadBytes(pdf)).size();
    ASSERT_GT(plain, 0u);
    Find<QCheckBox>(f.window, "chartBox")->setChecked(true);
    f.window.onSavePdfTriggered();
    const auto pages = test::ReadPdf(test::ReadBytes(pdf));
    ASSERT_EQ(pages.size(), plain + 1);
    EXPECT_NE(pages.back().text.find("ΔΙΑΘΕΣΙΜΟ ΥΠΟΛΟΙΠΟ ΑΝΑ ΕΤΟΣ"), std::string::npos);
}

}  // namespace
}  // namespace skartina
