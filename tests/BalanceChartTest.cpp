// SPDX-License-Identifier: GPL-3.0-or-later
#include "sheet/AnalysisFile.h"
#include "sheet/BalanceChart.h"
#include "sheet/SheetPdf.h"
#include "support/CliRunner.h"
#include "support/PdfReadBack.h"
#include "support/TestSupport.h"
#include "support/SheetGridForms.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace skartina {
namespace {

using test::Cli;
using test::Q;
using test::ReadPdf;
using test::TempDir;

std::filesystem::path Fixture(const std::string& name) { return std::filesystem::path(SKARTINA_FIXTURES) / "sheets" / name; }

double RoughWidth(std::string_view text, double size, bool) { return 0.5 * size * static_cast<double>(text.size()); }

// The bars of a colour, left to right; the legend's swatches (its first line) left out.
std::vector<PrintRect> BarsOf(const PrintPage& page, unsigned color, double areaTop) {
    std::vector<PrintRect> bars;
    for (const PrintFill& fill : page.fills)
        if (fill.color == color && fill.rect.y > areaTop + 14) bars.push_back(fill.rect);
    std::sort(bars.begin(), bars.end(), [](const PrintRect& a, const PrintRect& b) { return a.x < b.x; });
    return bars;
}

bool HasText(const PrintPage& page, const std::string& text) {
    return std::any_of(page.texts.begin(), page.texts.end(), [&](const PrintText& t) { return t.text == text; });
}

BalanceSeries TwoYears() {
    BalanceSeries series;
    series.years = {{2019, {100000, 100000}, {0, 0}, true}, {2020, {-50000, 50000}, {0, 0}, true}};
    return series;
}

TEST(BalanceChart, BarsStandOnTheZeroLineInProportion) {
    PrintPage page;
    LayOutBalanceChart(TwoYears(), {10, 20, 600, 300}, RoughWidth, page);
    const auto finals = BarsOf(page, kFinalBarColor, 20);
    const auto available = BarsOf(page, kAvailableBarColor, 20);
    ASSERT_EQ(finals.size(), 2u);
    ASSERT_EQ(available.size(), 2u);
    // 1.000,00 against 500,00; oldest on the left; every bar inside the area.
    EXPECT_NEAR(finals[0].height, 2 * finals[1].height, 1e-9);
    EXPECT_LT(finals[0].x, finals[1].x);
    const double zero = finals[0].y + finals[0].height;
    EXPECT_NEAR(finals[1].y + finals[1].height, zero, 1e-9);
    // The negative available balance of 2020 hangs below the line, half the final bar of 2019.
    EXPECT_NEAR(available[1].y, zero, 1e-9);
    EXPECT_NEAR(available[1].height, finals[0].height / 2, 1e-9);
    for (const PrintFill& fill : page.fills) {
        EXPECT_GE(fill.rect.x, 10 - 0.5);
        EXPECT_LE(fill.rect.x + fill.rect.width, 610 + 1e-9);
        EXPECT_GE(fill.rect.y, 20 - 1e-9);
        EXPECT_LE(fill.rect.y + fill.rect.height, 320 + 1e-9);
    }
    // Greek labels and the amounts in the sheet's format.
    for (const char* text : {"2019", "2020", "-500", "0", "500", "1.000", kAvailableSeriesName, kFinalSeriesName,
                             "Υπόχρεος — Τελικό Διαθέσιμο Υπόλοιπο 2020: 500,00"})
        EXPECT_TRUE(HasText(page, text)) << text;
    EXPECT_FALSE(HasText(page, "Σύζυγος — Τελικό Διαθέσιμο Υπόλοιπο 2020: 0,00"));
}

TEST(BalanceChart, ASpouseGetsAPanelOfItsOwnOnTheSameScale) {
    BalanceSeries series = TwoYears();
    series.hasSpouse = true;
    series.years[1].spouse = {25000, 25000};
    PrintPage page;
    LayOutBalanceChart(series, {0, 0, 600, 400}, RoughWidth, page);
    EXPECT_TRUE(HasText(page, "Σύζυγος — Τελικό Διαθέσιμο Υπόλοιπο 2020: 250,00"));
    const auto finals = BarsOf(page, kFinalBarColor, 0);
    ASSERT_EQ(finals.size(), 3u);  // the spouse's 2019 is 0: no bar
    std::vector<double> heights;
    for (const PrintRect& r : finals) heights.push_back(r.height);
    std::sort(heights.begin(), heights.end());
    EXPECT_NEAR(heights[2], 4 * heights[0], 1e-9);  // 1.000,00 and 250,00
}

TEST(BalanceChart, YearLabelsThinOutButKeepTheNewest) {
    BalanceSeries series;
    for (int year = 1991; year <= 2020; ++year) series.years.push_back({year, {100, 100}, {}, true});
    PrintPage page;
    LayOutBalanceChart(series, {0, 0, 300, 200}, RoughWidth, page);
    EXPECT_TRUE(HasText(page, "2020"));
    int labels = 0;
    for (int year = 1991; year <= 2020; ++year) labels += HasText(page, std::to_string(year));
    EXPECT_GT(labels, 3);
    EXPECT_LT(labels, 30);
}

TEST(BalanceChart, PdfLastPageOnlyWhenAskedFor) {
    SheetGrid grid;
    ASSERT_TRUE(LoadGridFromFile(Fixture("married.grd"), grid));
    const auto plain = SheetPrintPages(grid, "ΠΑΠΑΣ ΝΙΚΟΣ", "123456783", "10/12/2026");
    const auto pages = ReadPdf(PrintPagesPdf(SheetPrintPages(grid, "ΠΑΠΑΣ ΝΙΚΟΣ", "123456783", "10/12/2026", true), "τ"));
    ASSERT_EQ(pages.size(), plain.size() + 1);
    const std::string count = std::to_string(pages.size());
    for (size_t p = 0; p < pages.size(); ++p)
        EXPECT_NE(pages[p].text.find("Σελίδα " + std::to_string(p + 1) + " από " + count), std::string::npos) << p;
    const std::string& chart = pages.back().text;
    for (const char* text : {"Υποχρεος : ΠΑΠΑΣ ΝΙΚΟΣ", "Α.Φ.Μ. : 123456783", "ΔΙΑΘΕΣΙΜΟ ΥΠΟΛΟΙΠΟ ΑΝΑ ΕΤΟΣ",
                             "Υπόχρεος — Τελικό Διαθέσιμο Υπόλοιπο 2020: 75.000,00",
                             "Σύζυγος — Τελικό Διαθέσιμο Υπόλοιπο 2020: 12.000,00", "10/12/2026"})
        EXPECT_NE(chart.find(text), std::string::npos) << text << "\n" << chart;
}

TEST(BalanceChart, CliChartOnRequestOnly) {
    TempDir dir;
    const std::string in = Q(Fixture("single.grd"));
    ASSERT_EQ(Cli(dir, "pdf " + in + " " + Q(dir / "a.pdf")).status, 0);
    ASSERT_EQ(Cli(dir, "pdf " + in + " " + Q(dir / "b.pdf") + " --chart").status, 0);
    const auto plain = ReadPdf(test::ReadBytes(dir / "a.pdf"));
    const auto chart = ReadPdf(test::ReadBytes(dir / "b.pdf"));
    ASSERT_EQ(chart.size(), plain.size() + 1);
    EXPECT_EQ(plain.back().text.find("ΔΙΑΘΕΣΙΜΟ ΥΠΟΛΟΙΠΟ ΑΝΑ ΕΤΟΣ"), std::string::npos);
    EXPECT_NE(chart.back().text.find("Υπόχρεος — Τελικό Διαθέσιμο Υπόλοιπο 2020: 37.500,00"), std::string::npos);

    ASSERT_EQ(Cli(dir, "xlsx " + in + " " + Q(dir / "a.xlsx")).status, 0);
    ASSERT_EQ(Cli(dir, "xlsx " + in + " " + Q(dir / "b.xlsx") + " --chart").status, 0);
    EXPECT_EQ(test::ReadBytes(dir / "a.xlsx").find("xl/charts/chart1.xml"), std::string::npos);
    EXPECT_NE(test::ReadBytes(dir / "b.xlsx").find("xl/charts/chart1.xml"), std::string::npos);
    // The CSV export has no chart to give.
    EXPECT_EQ(Cli(dir, "csv " + in + " " + Q(dir / "a.csv") + " --chart").status, 2);
}

}  // namespace
}  // namespace skartina
