// SPDX-License-Identifier: GPL-3.0-or-later
// A year's report into the table: read, the portal's own "no return", or not
// read at all, which is never taken for an empty year.

#include "portal/RetrievalEnding.h"
#include "portal/YearReport.h"
#include "tools/ReportPdfWriter.h"

#include <gtest/gtest.h>

namespace skartina {
namespace {

constexpr const char* kTaxNumber = "123456783";
const std::string kHeading = "ΕΚΚΑΘΑΡΙΣΤΙΚΟ ΣΗΜΕΙΩΜΑ ΟΙΚΟΝΟΜΙΚΟΥ ΕΤΟΥΣ 2016";

TEST(YearReport, ReadsEntriesTakesTheSaidNoReturnAndNeverAnEmptyTextForIt) {
    const struct {
        const char* what;
        std::string bytes;
        bool read;     // nothing to say why not
        double at301;  // the table after it
    } cases[] = {
        {"entries", WriteReportPdf({kHeading, "Α.Φ.Μ. 123456783", "301: 1.234,56   302: 5,00"}), true, 1234.56},
        {"entries drawn column by column",
         WriteReportPdf({kHeading, "Α.Φ.Μ. 123456783", "301: 1.234,56   302: 5,00"}, ReportOrder::Columns), true, 1234.56},
        {"the portal says there is no return",
         WriteReportPdf({kHeading, "Α.Φ.Μ. 123456783", "Δεν υπάρχει δήλωση για το έτος 2016."}), true, 0},
        {"text without a code table",
         WriteReportPdf({kHeading, "Α.Φ.Μ. 123456783", "Κωδ. 301 ποσό 1.234,56   Κωδ. 302 ποσό 5,00"}), false, 0},
        {"entries without an amount", WriteReportPdf({kHeading, "Α.Φ.Μ. 123456783", "301: —   302: ..."}), false, 0},
        {"a page without text", WriteReportPdf({""}), false, 0},
        {"a damaged PDF", "%PDF-1.5 cut short", false, 0},
        {"a text that is no PDF, with entries", "Α.Φ.Μ. 123456783\n301: 7,00", true, 7},
    };
    for (const auto& c : cases) {
        E1CodeTable e1;
        const std::optional<std::string> why = ReadYearReport(c.bytes, 2016, kTaxNumber, e1);
        EXPECT_EQ(!why.has_value(), c.read) << c.what << ": " << why.value_or("");
        if (why) {
            EXPECT_FALSE(why->empty()) << c.what;
        }
        EXPECT_EQ(e1[301], c.at301) << c.what;
    }
}

TEST(YearReport, AnotherTaxpayersReportIsRefused) {
    for (const std::vector<std::string>& lines : {std::vector<std::string>{kHeading, "Α.Φ.Μ. 999999999", "301: 1,00"},
                                                  std::vector<std::string>{kHeading, "Κωδ. 301 ποσό 1,00"}}) {
        E1CodeTable e1;
        try {
            ReadYearReport(WriteReportPdf(lines), 2016, kTaxNumber, e1);
            ADD_FAILURE() << lines[1] << ": taken";
        } catch (const RetrievalStop& stop) {
            EXPECT_EQ(stop.ending(), Ending::ReportWithoutTaxNumber) << lines[1];
        }
        EXPECT_EQ(e1[301], 0) << lines[1];
    }
}

}  // namespace
}  // namespace skartina
