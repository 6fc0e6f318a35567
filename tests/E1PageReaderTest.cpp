// SPDX-License-Identifier: GPL-3.0-or-later
// Reading a year's return from the fields of its page.

#include "support/MemoryBrowser.h"
#include "portal/E1PageReader.h"
#include "portal/PortalPages.h"

#include <gtest/gtest.h>

namespace skartina::test {
namespace {

TEST(E1PageReader, FieldCodes) {
    const std::pair<const char*, std::optional<int>> cases[] = {
        {"n301", 301}, {"n0301", 301}, {"n1", 1},    {"n999", 999},  {"n1000", std::nullopt}, {"n0", std::nullopt},
        {"nabc", std::nullopt}, {"n30a", std::nullopt}, {"n", std::nullopt}, {"N301", std::nullopt}, {"", std::nullopt},
        {"n-5", std::nullopt}, {"username", std::nullopt}, {"n 301", std::nullopt},
    };
    for (const auto& [name, code] : cases) EXPECT_EQ(FieldCode(name), code) << name;
}

ElementFields Field(std::string name, std::string value, std::string type = "text", bool checked = false) {
    return {{}, std::move(name), std::move(type), std::move(value), "", checked};
}

TEST(E1PageReader, StoresAmountsAndTickedBoxes) {
    E1CodeTable e1;
    e1.set(8, 5);  // an unticked box leaves what the table held
    StoreE1Fields({Field("n301", "12.345,67"), Field("n0302", "1.234"), Field("n303", ""), Field("n304", "δώδεκα"),
                   Field("n007", "on", "checkbox", true), Field("n008", "on", "checkbox", false),
                   Field("n305", "1,00"), Field("n305", "2,50"), Field("n1000", "9,00"), Field("n0", "9,00"),
                   Field("nxyz", "9,00"), Field("n306", "-3,20"), Field("n307", "on", "CHECKBOX", true)},
                  e1);
    EXPECT_DOUBLE_EQ(e1[301], 12345.67);
    EXPECT_DOUBLE_EQ(e1[302], 1234);
    EXPECT_EQ(e1[303], 0);
    EXPECT_EQ(e1[304], 0);
    EXPECT_EQ(e1[7], 1);
    EXPECT_EQ(e1[8], 5);
    EXPECT_DOUBLE_EQ(e1[305], 2.5);
    EXPECT_EQ(e1[1000], 0);
    EXPECT_EQ(e1[0], 0);
    EXPECT_DOUBLE_EQ(e1[306], -3.2);
    EXPECT_EQ(e1[307], 0);  // not a check box to the reader, and "on" is no amount
}

TEST(PortalPages, ReturnPageAddresses) {
    const PortalPages pages{{"app.test", "login.test", "alt.test"}};
    EXPECT_EQ(pages.ReturnPage(2003), "https://app.test/webtax/incomefp/Year_2003/income/e1/e1_print_mm.jsp");
    EXPECT_EQ(pages.ReturnPage(2004), "https://app.test/webtax/incomefp/Year_2004/income/e1/e1_print_mm_2004.jsp");
    EXPECT_EQ(pages.ReturnPage(2005), "https://app.test/webtax/incomefp/Year_2005/income/e1/e1_print_frames_mm_2005.jsp");
    EXPECT_EQ(pages.ReturnPage(2010), "https://app.test/webtax/incomefp/year2010-income-menu.do");
    EXPECT_EQ(pages.MenuOf(2004), "https://app.test/webtax/incomefp/year2005-income-menu.do");
    EXPECT_EQ(pages.YearListPage(2005), "https://app.test/webtax/incomefp/login.do");
    EXPECT_EQ(pages.YearListPage(2003), "https://app.test/webtax/incomefp/year2005-income-menu.do");
}

TEST(E1PageReader, ReadsTheFramesOfThe2005ReturnNotItsTopDocument) {
    FakeClock clock;
    MemoryBrowser browser(clock);
    MemDocument frames{page::kReturnWindowTitle, {Named("n301", "77,00")}, {}};
    frames.frames.push_back({"", {Named("n301", "1.000,00"), Named("n007", "", "checkbox"), Named("AFM", "123456783")}, {}});
    frames.frames.push_back({"", {Named("n901", "12,00")}, {}});
    frames.frames[0].all[1].checked = true;
    browser.windows = {{"print", "https://app.test/webtax/incomefp/Year_2005/income/e1/e1_print_frames_mm_2005.jsp", frames}};

    E1CodeTable e1;
    StoreE1Fields(browser.SearchedElements({"print"}), e1);
    EXPECT_EQ(e1[301], 1000);  // the top document's own field is not read
    EXPECT_EQ(e1[7], 1);
    EXPECT_EQ(e1[901], 12);
    EXPECT_TRUE(FieldsNameTaxNumber(browser.SearchedElements({"print"}), "123456783"));
}

// A return is taken only when one of its fields holds the client's whole tax
// number: neither a part of it nor a longer number that contains it.
TEST(E1PageReader, AReturnNamesTheClientOnlyWithItsWholeTaxNumber) {
    for (const char* shown : {"", "23456783", "1234567830", "999999999"}) {
        const std::vector<ElementFields> fields = {{{"w", 0, 0, "doc"}, "AFM", "text", shown, "", false},
                                                   {{"w", 0, 1, "doc"}, "n301", "text", "5,00", "", false}};
        EXPECT_FALSE(FieldsNameTaxNumber(fields, "123456783")) << shown;
    }
    const std::vector<ElementFields> named = {{{"w", 0, 0, "doc"}, "AFM", "text", "123456783", "", false}};
    EXPECT_TRUE(FieldsNameTaxNumber(named, "123456783"));
    EXPECT_FALSE(FieldsNameTaxNumber(named, ""));
}

// A return that shows the tax number as text, whole or a digit a box, names
// the client; neither a part of it, nor a longer number, nor digits joined
// across other signs do.
TEST(E1PageReader, APagesTextNamesTheClientWithItsWholeTaxNumber) {
    const struct {
        const char* text;
        bool names;
    } cases[] = {
        {"Α.Φ.Μ.: 123456783 Δ.Ο.Υ. 1101", true},
        {"Α.Φ.Μ.\t1\t2\t3\t4\t5\t6\t7\t8\t3\nΕπώνυμο", true},
        {"ΑΦΜ 123 456 783", true},
        {"ΑΦΜ 1\u00a02\u00a03\u00a04\u00a05\u00a06\u00a07\u00a08\u00a03", true},
        {"1 123456783 2010", true},
        {"ΑΦΜ 23456783", false},
        {"ΑΦΜ 1234567830", false},
        {"ΑΦΜ 1 2 3 4 5 6 7 8 3 0", false},
        {"ΑΦΜ 1.234.567,83", false},
        {"ΑΦΜ\n1\n2\n3\n4\n5\n6\n7\n8\n3", false},
        {"ΑΦΜ 123 456 783 2010", false},
        {"123-456-783", false},
        {"", false},
    };
    for (const auto& c : cases) EXPECT_EQ(PageTextNamesTaxNumber(c.text, "123456783"), c.names) << c.text;
    EXPECT_FALSE(PageTextNamesTaxNumber("12345", "12345"));
}

}  // namespace
}  // namespace skartina::test
