// SPDX-License-Identifier: GPL-3.0-or-later
#include "common/ClientFiles.h"
#include "common/Codepage.h"
#include "sheet/CsvExport.h"
#include "sheet/SheetLayout.h"
#include "sheet/SheetRows.h"
#include "support/TestSupport.h"
#include "support/SheetGridForms.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace skartina {
namespace {

using test::ReadBytes;
using test::TempDir;

TEST(CsvExport, BytesOfASmallSheet) {
    SheetGrid grid(3, kSheetRows);
    grid.setCell(0, 0, "Οικονομικό Έτος");
    grid.setCell(1, 0, "_2020_");
    grid.setCell(1, 1, "Υπόχρεου");
    grid.setCell(2, 1, "Συζύγου*");
    grid.setCell(1, 3, "2.500,00");
    grid.setCell(2, 33, "-1.234,50");
    grid.setCell(1, 34, "not exported");

    TempDir dir;
    ExportToCsv(grid, dir / "x.csv", "ΠΑΠΑΣ ΝΙΚΟΣ", "123456783");
    EXPECT_EQ(std::filesystem::status(dir / "x.csv").permissions() & std::filesystem::perms::all,
              std::filesystem::perms::owner_read | std::filesystem::perms::owner_write);

    std::string expected = "Υποχρεος : ΠΑΠΑΣ ΝΙΚΟΣ;;;;Α.Φ.Μ. : 123456783\r\n"
                           "ΠΙΝΑΚΑΣ ΑΝΑΛΩΣΗΣ ΚΕΦΑΛΑΙΟΥ ΠΡΟΗΓΟΥΜΕΝΩΝ ΕΤΩΝ\r\n\r\n\r\n\r\n"
                           "Οικονομικό Έτος;_2020_;;\r\n"
                           ";Υπόχρεου;Συζύγου*;\r\n"
                           ";;;\r\n"
                           ";2.500,00;;\r\n";
    for (int r = 4; r < 33; ++r) expected += ";;;\r\n";
    expected += ";;-1.234,50;\r\n";
    EXPECT_EQ(ReadBytes(dir / "x.csv"), Utf8ToCp1253(expected));
}

TEST(CsvExport, EveryRowOfAWholeSheetHasOneSemicolonPerColumn) {
    SheetGrid grid;
    BuildSheetLayout(grid, YearSelection());
    const auto lines = CsvLines(SheetOfGrid(grid), "", "");
    ASSERT_EQ(lines.size(), 39u);
    EXPECT_EQ(lines[0], "Υποχρεος : ;;;;Α.Φ.Μ. : ");
    EXPECT_TRUE(lines[5 + Row::IncomeTotal].starts_with("Σ ύ ν ο λ α   Ε ι σ ο δ η μ ά τ ω ν;"));
    for (size_t i = 5; i < lines.size(); ++i)
        EXPECT_EQ(std::count(lines[i].begin(), lines[i].end(), ';'), grid.columnCount()) << i;
}

TEST(CsvExport, QuotesOnlyTheFieldsThatWouldShiftTheColumns) {
    const struct {
        const char* text;
        const char* field;
    } cases[] = {
        {"ΠΑΠΑΣ ΝΙΚΟΣ", "ΠΑΠΑΣ ΝΙΚΟΣ"},
        {"2.500,00", "2.500,00"},
        {"", ""},
        {"Α; Β", "\"Α; Β\""},
        {"Ο \"ΚΑΛΟΣ\"", "\"Ο \"\"ΚΑΛΟΣ\"\"\""},
        {"Α\nΒ", "\"Α\r\nΒ\""},
        {"Α\r\nΒ", "\"Α\r\nΒ\""},
    };
    for (const auto& c : cases) EXPECT_EQ(CsvField(c.text), c.field) << c.text;

    SheetGrid grid(3, kSheetRows);
    grid.setCell(2, 3, "x;y");
    TempDir dir;
    ExportToCsv(grid, dir / "x.csv", "ΑΕ; \"ΟΜΕΓΑ\"\nΚΛΠ", "123456783");
    const std::string text = Cp1253ToUtf8(ReadBytes(dir / "x.csv"));
    EXPECT_TRUE(text.starts_with("\"Υποχρεος : ΑΕ; \"\"ΟΜΕΓΑ\"\"\r\nΚΛΠ\";;;;Α.Φ.Μ. : 123456783\r\n")) << text;
    EXPECT_NE(text.find("\r\n;;\"x;y\";\r\n"), std::string::npos) << text;
}

// A text a spreadsheet would run as a formula goes out as text; an amount,
// negative ones included, stays a number.
TEST(CsvExport, TextsThatWouldRunAsFormulasAreMarkedAsTextAmountsStayNumbers) {
    const struct {
        const char* cell;
        const char* field;
    } cases[] = {
        {"=HYPERLINK(\"http://x\")", "\"'=HYPERLINK(\"\"http://x\"\")\""},
        {"+30 210 1234567", "'+30 210 1234567"},
        {"-ΣΗΜΕΙΩΣΗ", "'-ΣΗΜΕΙΩΣΗ"},
        {"-", "'-"},
        {"@SUM(A1:A9)", "'@SUM(A1:A9)"},
        {"\tΚΡΥΦΟ", "'\tΚΡΥΦΟ"},
        {"\rcmd", "\"'\r\ncmd\""},
        {"-1.234,50", "-1.234,50"},
        {"-0,01", "-0,01"},
        {"2.500,00", "2.500,00"},
        {"Α=Β", "Α=Β"},
        {"", ""},
    };
    for (const auto& c : cases) EXPECT_EQ(CsvField(SheetCellText(c.cell)), c.field) << c.cell;
    EXPECT_EQ(SpreadsheetText("-1.234,50"), "'-1.234,50") << "free text is never taken for an amount";

    SheetGrid grid(3, kSheetRows);
    grid.setCell(1, 3, "=1+2");
    grid.setCell(2, 3, "-1.234,50");
    TempDir dir;
    ExportToCsv(grid, dir / "x.csv", "=cmd|' /C calc'!A0", "123456783");
    const std::vector<std::string> lines = CsvLines(SheetOfGrid(grid), "=cmd|' /C calc'!A0", "123456783");
    EXPECT_EQ(lines[0], "Υποχρεος : =cmd|' /C calc'!A0;;;;Α.Φ.Μ. : 123456783") << "the name is inside the title text";
    EXPECT_EQ(lines[5 + 3], ";'=1+2;-1.234,50;");
    EXPECT_NE(Cp1253ToUtf8(ReadBytes(dir / "x.csv")).find("\r\n;'=1+2;-1.234,50;\r\n"), std::string::npos);
}

TEST(CsvExport, FileNameAndErrors) {
    TempDir dir;
    EXPECT_EQ(CsvExportPath(dir.path(), "123456783", "2021"), dir / "123456783_2021.csv");
    EXPECT_EQ(CsvExportPath(dir.path(), "", "2021"), dir / "_2021.csv");
    EXPECT_THROW(CsvExportPath(dir.path(), "../x", "2021"), ClientNameError);

    SheetGrid grid(3, kSheetRows);
    grid.setCell(2, 12, "ok 😀");  // no such character in the Greek code page
    try {
        ExportToCsv(grid, dir / "x.csv", "", "");
        FAIL() << "no error";
    } catch (const std::invalid_argument& e) {
        EXPECT_NE(std::string(e.what()).find("2020 Συζύγου, «Τεκμήρια Σκαφών"), std::string::npos) << e.what();
    }
    EXPECT_THROW(ExportToCsv(SheetGrid(3), dir / "y.csv", "Ψ 😀", ""), std::invalid_argument);
    EXPECT_TRUE(test::FolderNames(dir.path()).empty());
}

}  // namespace
}  // namespace skartina
