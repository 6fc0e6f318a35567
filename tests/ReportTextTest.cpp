// SPDX-License-Identifier: GPL-3.0-or-later
#include "common/TextFile.h"
#include "e1/ReportPdf.h"
#include "e1/ReportText.h"
#include "tools/ReportPdfWriter.h"

#include <gtest/gtest.h>

#include <map>

namespace skartina {
namespace {

const std::filesystem::path kFixtures = SKARTINA_FIXTURES;

std::map<int, double> Entries(const E1CodeTable& e1) {
    std::map<int, double> entries;
    for (int code = 0; code <= E1CodeTable::kLastCode; ++code)
        if (e1[code] != 0) entries[code] = e1[code];
    return entries;
}

std::map<int, double> Parse(std::string_view text, int year) {
    E1CodeTable e1;
    ParseReportText(text, year, e1);
    return Entries(e1);
}

TEST(ReportText, PicksTheEntriesOutOfEachLine) {
    const struct {
        const char* what;
        const char* text;
        int year;
        std::map<int, double> entries;
    } cases[] = {
        {"two entries on a line", "301: 1.234,56  302: 78,90", 2015, {{301, 1234.56}, {302, 78.9}}},
        {"115 and 117 under 515 and 517 from 2015", "115: 100,00 117: 5,00", 2015, {{515, 100}, {517, 5}}},
        {"115 as read in 2014", "115: 100,00", 2014, {{115, 100}}},
        {"word of four letters", "Word: 12,00 301: 7,00", 2015, {{301, 7}}},
        {"word of thirteen letters", "Thirteenchars: 301: 5,00", 2015, {{301, 5}}},
        {"greek words and a time", "Ώρα: 10:42 Ποσό: 303: 2,50", 2015, {{303, 2.5}}},
        {"text without a colon", "301 5,00 and nothing else", 2015, {}},
        {"a later entry wins", "301: 1,00\n303: 3,00\r\n301: 2,00", 2015, {{301, 2}, {303, 3}}},
        {"carriage returns alone", "301: 1,00\r303: 2,00", 2015, {{301, 1}, {303, 2}}},
        {"an amount with letters is skipped", "301: 12a 303: 4,00", 2015, {{303, 4}}},
        {"an entry without amount", "301:\n302:   \t", 2015, {}},
        {"thousands without decimals", "305: 1.234", 2015, {{305, 1234}}},
        {"negative amount", "305: -12,50", 2015, {{305, -12.5}}},
        {"short digit groups before colons", "12:30 7:00 099: 9,00", 2015, {{99, 9}}},
    };
    for (const auto& c : cases) EXPECT_EQ(Parse(c.text, c.year), c.entries) << c.what;
}

TEST(ReportText, CountsTheEntriesItStored) {
    E1CodeTable e1;
    EXPECT_EQ(ParseReportText("301: 1,00  302: x  30: 5,00\n303: 2,00", 2015, e1), 2u);
    EXPECT_EQ(ParseReportText("", 2015, e1), 0u);
    EXPECT_EQ(ParseReportText("\x01\x02 binary junk : : :", 2015, e1), 0u);
}

TEST(ReportText, NamesTheYearOfItsHeading) {
    const struct {
        const char* text;
        std::optional<int> year;
    } cases[] = {
        {"ΑΝΑΛΥΤΙΚΗ ΕΚΚΑΘΑΡΙΣΗ\nΟικονομικό Έτος: 2015    Α.Φ.Μ.: 123456783", 2015},
        {"ΕΚΚΑΘΑΡΙΣΤΙΚΟ ΣΗΜΕΙΩΜΑ ΟΙΚΟΝΟΜΙΚΟΥ ΕΤΟΥΣ 2016\n301: 1,00", 2016},
        {"ΟΙΚΟΝΟΜΙΚΟ ΕΤΟΣ:2010", 2010},
        {"Οικονομικό Έτος: 2015 ... Οικονομικό Έτος: 2016", 2015},  // the heading comes first
        {"Οικονομικό Έτος: 20155", std::nullopt},
        {"Οικονομικό Έτος: 15", std::nullopt},
        {"301: 1,00  302: 2,00", std::nullopt},
        {"", std::nullopt},
    };
    for (const auto& c : cases) EXPECT_EQ(ReportYear(c.text), c.year) << c.text;
}

TEST(ReportText, LeavesCodesTheTextDoesNotCarry) {
    E1CodeTable e1;
    e1.set(999, 42);
    ParseReportText("301: 1,00", 2015, e1);
    EXPECT_EQ(e1[999], 42);
    EXPECT_EQ(e1[301], 1);
}

TEST(ReportPdf, GivesTheTextAPersonWouldCopy) {
    for (const char* name : {"report-2015", "report-two-pages"}) {
        const std::string text = ReportPdfText(ReadFileBytes(kFixtures / (std::string(name) + ".pdf")));
        const std::string source = ReadFileBytes(kFixtures / (std::string(name) + ".txt"));
        EXPECT_EQ(Parse(text, 2015), Parse(source, 2015)) << name;
        EXPECT_FALSE(Parse(text, 2015).empty()) << name;
    }
    const auto report = Parse(ReportPdfText(ReadFileBytes(kFixtures / "report-2015.pdf")), 2015);
    const std::map<int, double> expected = {{101, 2400},  {213, 50},   {301, 18250.4}, {302, 9100},
                                            {303, 1200},  {515, 350.5}, {517, 40},     {719, 12000},
                                            {787, 3000},  {788, 1500}, {851, 2300},    {852, 1700}};
    EXPECT_EQ(report, expected);
    const auto twoPages = Parse(ReportPdfText(ReadFileBytes(kFixtures / "report-two-pages.pdf")), 2015);
    EXPECT_EQ(twoPages.at(301), 41.40);  // the entry on the second page wins
    EXPECT_EQ(twoPages.at(379), 80.79);
}

TEST(ReportPdf, WrittenReportsReadBack) {
    const std::vector<std::string> lines = {"Α.Φ.Μ.: 123456783", "301: 1.234,56  302: 78,90", "Τέλος: 719: 5,00"};
    const std::string text = ReportPdfText(WriteReportPdf(lines));
    EXPECT_NE(text.find("Α.Φ.Μ.: 123456783\n"), std::string::npos) << text;
    EXPECT_EQ(Parse(text, 2016), (std::map<int, double>{{301, 1234.56}, {302, 78.9}, {719, 5}}));
}

TEST(ReportPdf, RefusesBytesThatAreNoPdf) {
    EXPECT_THROW(ReportPdfText("301: 1,00"), ReportPdfError);
    EXPECT_THROW(ReportPdfText("%PDF-1.4 broken"), ReportPdfError);
    EXPECT_TRUE(LooksLikePdf("%PDF-1.5\n"));
    EXPECT_FALSE(LooksLikePdf("301: 1,00"));
}

}  // namespace
}  // namespace skartina
