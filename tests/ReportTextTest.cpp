// SPDX-License-Identifier: GPL-3.0-or-later
#include "common/TextFile.h"
#include "e1/ReportLines.h"
#include "e1/ReportPdf.h"
#include "e1/ReportText.h"
#include "tools/ReportPdfWriter.h"

#include <gtest/gtest.h>
#include <poppler-document.h>
#include <poppler-page.h>

#include <algorithm>
#include <cmath>
#include <map>
#include <memory>
#include <tuple>

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

TEST(ReportText, SaysWhetherTheReportSaysThereIsNoReturn) {
    EXPECT_TRUE(ReportSaysNoReturn("ΕΚΚΑΘΑΡΙΣΤΙΚΟ 2016\nΑ.Φ.Μ. 123456783\nΔεν υπάρχει δήλωση για το έτος 2016."));
    EXPECT_TRUE(ReportSaysNoReturn("Α.Φ.Μ. 123456783 ΔΕΝ ΥΠΑΡΧΕΙ ΔΗΛΩΣΗ"));
    EXPECT_FALSE(ReportSaysNoReturn("ΕΚΚΑΘΑΡΙΣΤΙΚΟ 2016\nΑ.Φ.Μ. 123456783\nΚωδ. 301 ποσό 1.234,56"));
    EXPECT_FALSE(ReportSaysNoReturn("Δεν υπάρχει"));
    EXPECT_FALSE(ReportSaysNoReturn(""));
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

// Words of a row 12 points high, rows 14 points apart, as a report prints them.
PlacedWord At(std::string text, double left, double right, double top, double height = 12) {
    return {std::move(text), left, top, right, top + height};
}

TEST(ReportLines, PutsTheWordsInReadingOrderWhateverTheirOrder) {
    const struct {
        const char* what;
        std::vector<PlacedWord> words;
        const char* text;
    } cases[] = {
        {"no words", {}, ""},
        {"rows from the top, each from the left",
         {At("304:", 80, 100, 64), At("1,00", 35, 55, 50), At("303:", 10, 30, 64), At("301:", 10, 30, 50),
          At("2,00", 105, 125, 64), At("9,00", 35, 55, 64)},
         "301: 1,00\n303: 9,00 304: 2,00\n"},
        {"a word a little higher or lower stays in its row",
         {At("301:", 10, 30, 50), At("5,00", 35, 55, 52.5), At("302:", 60, 80, 47.5), At("Τέλος", 10, 40, 64)},
         "301: 5,00 302:\nΤέλος\n"},
        {"pieces of one word drawn apart are one word", {At(",56", 40.3, 55, 50), At("1.234", 20, 40, 50), At("301:", 0, 16, 50)},
         "301: 1.234,56\n"},
        {"a larger heading over a row", {At("301:", 10, 30, 70), At("ΕΚΚΑΘΑΡΙΣΤΙΚΟ", 10, 120, 48, 18)}, "ΕΚΚΑΘΑΡΙΣΤΙΚΟ\n301:\n"},
        {"empty words are left out", {At("", 0, 5, 50), At("301:", 10, 30, 50), At("", 0, 0, 64)}, "301:\n"},
    };
    for (const auto& c : cases) EXPECT_EQ(TextInReadingOrder(c.words), c.text) << c.what;
}

// A report of two pages with three columns of entries, labels among them, and
// codes repeated further down and on the second page (the later one counts).
std::vector<std::string> ColumnReport() {
    std::vector<std::string> lines = {"ΕΚΚΑΘΑΡΙΣΤΙΚΟ ΣΗΜΕΙΩΜΑ ΟΙΚΟΝΟΜΙΚΟΥ ΕΤΟΥΣ 2016", "Α.Φ.Μ. 123456783",
                                      "Ημερομηνία: 15/07/2016 Ώρα: 10:42", "Μισθώματα: 2.400,00 101: 2.400,00 102: 0,00"};
    for (int i = 0; i < 66; ++i) {
        std::string line;
        for (int column = 0; column < 3; ++column) {
            const int code = 301 + (i * 3 + column) % 90;
            line += (column ? "   " : "") + std::to_string(code) + ": " + std::to_string((i + 1) * (column * 997 + 13)) + "," +
                    std::to_string(10 + i % 90);
        }
        if (i % 7 == 3) line = "Συνιδιοκτησία: 50%  " + line + "  ΣΧΟΛΙΟ";
        lines.push_back(line);
    }
    lines.push_back("115: 350,50   117: 40,00");
    return lines;
}

std::string Joined(const std::vector<std::string>& lines) {
    std::string text;
    for (const std::string& line : lines) text += line + "\n";
    return text;
}

TEST(ReportPdf, ReadsTheSameWhateverOrderTheTextIsDrawnIn) {
    const std::vector<std::string> lines = ColumnReport();
    const std::string plain = ReportPdfText(WriteReportPdf(lines, ReportOrder::Plain));
    const std::map<int, double> entries = Parse(plain, 2016);
    ASSERT_EQ(entries, Parse(Joined(lines), 2016)) << "the plain order reads as the lines were written";
    ASSERT_EQ(entries.size(), 93u);
    for (ReportOrder order : kReportOrders) {
        const std::string text = ReportPdfText(WriteReportPdf(lines, order));
        EXPECT_EQ(Parse(text, 2016), entries) << ReportOrderName(order);
        EXPECT_EQ(text, plain) << ReportOrderName(order);
    }
}

// A PDF's words where its pages show them (by page, from the top, from the
// left), and its text in the order the file draws it.
struct Drawn {
    struct Word {
        int page;
        double top, left;
        std::string text;
    };
    std::vector<Word> words;
    std::string drawingOrder;
};

Drawn Draw(const std::string& pdf) {
    std::vector<char> data(pdf.begin(), pdf.end());
    std::unique_ptr<poppler::document> doc(poppler::document::load_from_raw_data(data.data(), static_cast<int>(data.size())));
    Drawn drawn;
    for (int i = 0; doc && i < doc->pages(); ++i) {
        std::unique_ptr<poppler::page> page(doc->create_page(i));
        for (const poppler::text_box& box : page->text_list()) {
            const poppler::byte_array text = box.text().to_utf8();
            drawn.words.push_back({i, box.bbox().top(), box.bbox().left(), std::string(text.begin(), text.end())});
        }
        const poppler::byte_array raw = page->text(poppler::rectf(), poppler::page::raw_order_layout).to_utf8();
        drawn.drawingOrder.append(raw.begin(), raw.end());
    }
    std::sort(drawn.words.begin(), drawn.words.end(), [](const Drawn::Word& a, const Drawn::Word& b) {
        const long rowA = std::lround(a.top), rowB = std::lround(b.top);
        return std::tie(a.page, rowA, a.left) < std::tie(b.page, rowB, b.left);
    });
    return drawn;
}

TEST(ReportPdfWriter, EveryOrderPrintsTheSamePagesDrawnInAnotherOrder) {
    const std::vector<std::string> lines = ColumnReport();
    const Drawn plain = Draw(WriteReportPdf(lines, ReportOrder::Plain));
    ASSERT_EQ(plain.words.back().page, 1) << "two pages";
    for (ReportOrder order : kReportOrders) {
        EXPECT_EQ(ReportOrderNamed(ReportOrderName(order)), order);
        if (order == ReportOrder::Plain) continue;
        const Drawn drawn = Draw(WriteReportPdf(lines, order));
        EXPECT_NE(drawn.drawingOrder, plain.drawingOrder) << ReportOrderName(order) << ": drawn in the same order";
        ASSERT_EQ(drawn.words.size(), plain.words.size()) << ReportOrderName(order);
        for (size_t i = 0; i < plain.words.size(); ++i) {
            const Drawn::Word &a = drawn.words[i], &b = plain.words[i];
            // A row in one piece places its glyphs by the font's rounded widths: a word
            // drawn on its own may stand a third of a point away, which no eye sees.
            EXPECT_TRUE(a.page == b.page && a.text == b.text && std::abs(a.top - b.top) < 0.01 &&
                        std::abs(a.left - b.left) < 0.5)
                << ReportOrderName(order) << ": «" << a.text << "» at " << a.left << "," << a.top << " on page " << a.page
                << ", «" << b.text << "» at " << b.left << "," << b.top << " on page " << b.page;
        }
    }
    EXPECT_EQ(ReportOrderNamed("sideways"), std::nullopt);
}

TEST(ReportPdf, RefusesBytesThatAreNoPdf) {
    EXPECT_THROW(ReportPdfText("301: 1,00"), ReportPdfError);
    EXPECT_THROW(ReportPdfText("%PDF-1.4 broken"), ReportPdfError);
    EXPECT_TRUE(LooksLikePdf("%PDF-1.5\n"));
    EXPECT_FALSE(LooksLikePdf("301: 1,00"));
}

}  // namespace
}  // namespace skartina
