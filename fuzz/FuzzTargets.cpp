#include "fuzz/FuzzTargets.h"

#include "sheet/AnalysisConversion.h"
#include "update/VersionCheck.h"
#include "common/TextFile.h"
#include "e1/CodeList.h"
#include "e1/PresumptionRules.h"
#include "e1/ReportPdf.h"
#include "e1/ReportText.h"
#include "e1/YearRules.h"
#include "portal/E1PageReader.h"
#include "registry/TaxpayerRecord.h"
#include "sheet/AnalysisFile.h"
#include "sheet/Recalculate.h"

#include <poppler-global.h>

#include <cstdlib>
#include <iostream>

namespace skartina::fuzz {
namespace {

// A fault of the program, not of the input: stop so the fuzzer keeps the case.
[[noreturn]] void Fault(const char* what) {
    std::cerr << "fault: " << what << "\n";
    std::abort();
}

int YearOf(std::string_view& bytes) {
    if (bytes.empty()) return 2015;
    const int year = 2000 + static_cast<unsigned char>(bytes[0]) % 21;
    bytes.remove_prefix(1);
    return year;
}

// The year's rules, publishing into a sheet that reaches the year's columns
// (the recalculation of a sheet is fuzzed with the analysis file).
void RunRules(E1CodeTable& e1, int year) {
    SheetGrid grid(SpouseColumnOf(year) + 1, kSheetRows);
    try {
        RunYearRules(e1, grid, year);
    } catch (const E1RangeError&) {
    }
}

std::vector<std::string_view> SplitLines(std::string_view bytes) {
    std::vector<std::string_view> lines;
    while (!bytes.empty()) {
        const size_t end = bytes.find('\n');
        lines.push_back(bytes.substr(0, end));
        if (end == std::string_view::npos) break;
        bytes.remove_prefix(end + 1);
    }
    return lines;
}

}  // namespace

void AnalysisFile(std::string_view bytes) {
    try {
        SheetGrid grid = GridFromBytes(bytes);
        RecalculateSheet(grid);
        // What loads saves back to the same lines.
        if (GridFromLines(GridToLines(grid)) != grid) Fault("a loaded sheet does not read back");
    } catch (const AnalysisFileError&) {
    } catch (const SheetError&) {
    }
}

void RecordFile(std::string_view bytes) {
    try {
        RecordLinesOf(Cp1253Lines(bytes, "fuzz"));
    } catch (const LineEncodingError&) {
    }
}

void ReportText(std::string_view bytes) {
    const int year = YearOf(bytes);
    E1CodeTable e1;
    ParseReportText(bytes, year, e1);
    RunRules(e1, year);
}

void ReportPdf(std::string_view bytes) {
    static const bool quiet = [] {
        poppler::set_debug_error_function([](const std::string&, void*) {}, nullptr);
        return true;
    }();
    (void)quiet;
    try {
        E1CodeTable e1;
        ParseReportText(ReportPdfText(bytes), 2015, e1);
    } catch (const ReportPdfError&) {
    }
}

void CodeList(std::string_view bytes) {
    const int year = YearOf(bytes);
    E1CodeTable e1;
    try {
        ReadCodeList(bytes, e1);
    } catch (const CodeListError&) {
        return;
    }
    RunRules(e1, year);
    // What is written reads back the same.
    E1CodeTable again;
    ReadCodeList(WriteCodeList(e1), again);
    for (int code = 0; code <= E1CodeTable::kLastCode; ++code)
        if (again[code] != e1[code]) Fault("a code list does not read back");
}

void E1PageValues(std::string_view bytes) {
    const int year = YearOf(bytes);
    const std::vector<std::string_view> lines = SplitLines(bytes);
    std::vector<ElementFields> fields;
    for (size_t i = 0; i < lines.size(); i += 4) {
        ElementFields f;
        f.name = lines[i];
        f.type = i + 1 < lines.size() ? lines[i + 1] : "text";
        f.value = i + 2 < lines.size() ? lines[i + 2] : "";
        f.checked = i + 3 < lines.size() && !lines[i + 3].empty();
        fields.push_back(std::move(f));
    }
    E1CodeTable e1;
    StoreE1Fields(fields, e1);
    RunRules(e1, year);
}

void Conversion(std::string_view bytes) {
    std::vector<std::string> converted;
    try {
        converted = ConvertAnalysisBytes(bytes);
    } catch (const AnalysisFileError&) {
        return;
    }
    // Never a file this edition cannot open.
    try {
        GridFromLines(converted);
    } catch (const AnalysisFileError&) {
        Fault("the conversion wrote a file the loader refuses");
    }
}

void FileList(std::string_view bytes) {
    try {
        if (ExpectedBytesOf(bytes) < 0 && bytes.find('-') == std::string_view::npos)
            Fault("a negative sum without a negative size");
    } catch (const FileListError&) {
    }
}

const std::vector<Target>& Targets() {
    static const std::vector<Target> targets = {
        {"analysis-file", AnalysisFile}, {"record-file", RecordFile}, {"report-text", ReportText},
        {"report-pdf", ReportPdf},       {"code-list", CodeList},     {"e1-page-values", E1PageValues},
        {"conversion", Conversion},      {"file-list", FileList},
    };
    return targets;
}

}  // namespace skartina::fuzz
