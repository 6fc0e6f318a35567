// SPDX-License-Identifier: GPL-3.0-or-later
#include "fuzz/FuzzTargets.h"

#include "sheet/AnalysisConversion.h"
#include "update/VersionCheck.h"
#include "common/TextFile.h"
#include "e1/CodeList.h"
#include "e1/PresumptionRules.h"
#include "e1/ReportPdf.h"
#include "e1/ReportText.h"
#include "e1/YearRules.h"
#include "browser/DevToolsAnswers.h"
#include "browser/DevToolsPipe.h"
#include "portal/E1PageReader.h"
#include "common/Edition.h"
#include "registry/TaxpayerRecord.h"
#include "sheet/AnalysisFile.h"
#include "sheet/Recalculate.h"

#include <openssl/evp.h>
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
    Sheet sheet(SpouseColumnOf(year) + 1, kSheetRows);
    try {
        RunYearRules(e1, sheet, year);
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
        Sheet sheet = SheetFromBytes(bytes);
        // What loads saves back to the same bytes, before and after a recalculation.
        const std::vector<std::string> lines = SheetToLines(sheet);
        if (SheetFromLines(lines) != sheet || SheetToLines(SheetFromLines(lines)) != lines)
            Fault("a loaded sheet does not read back");
        RecalculateSheet(sheet);
        if (SheetFromLines(SheetToLines(sheet)) != sheet) Fault("a recalculated sheet does not read back");
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
        // The program routes poppler's words to its log on the first report; here they go nowhere.
        try {
            ReportPdfText("");
        } catch (const ReportPdfError&) {
        }
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
        SheetFromLines(converted);
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

void PipeMessages(std::string_view bytes) {
    using nlohmann::json;
    const size_t piece = bytes.empty() ? 1 : 1 + static_cast<unsigned char>(bytes[0]) % 64;
    if (!bytes.empty()) bytes.remove_prefix(1);
    // A small bound, so that the fuzzer reaches it.
    DevToolsInbox inbox(4096);
    size_t events = 0;
    inbox.OnEvent([&](const json& event) {
        ++events;
        if (!event.is_object()) Fault("an event that is not an object");
        const std::string method = devtools::Text(event, "method");
        const json params = event.contains("params") && event["params"].is_object() ? event["params"] : json::object();
        if (params.contains("targetInfo")) (void)devtools::TargetOf(params["targetInfo"]);
        (void)devtools::Text(params, "targetId");
        (void)devtools::Text(params, "loaderId");
        (void)method;
    });
    for (int id = 1; id <= 4; ++id) inbox.Await(id);
    try {
        for (size_t at = 0; at < bytes.size(); at += piece) inbox.Receive(bytes.substr(at, piece));
    } catch (const DevToolsOverflow&) {
    }
    if (inbox.Take(5)) Fault("an answer nobody awaited was kept");
    for (int id = 1; id <= 4; ++id) {
        const std::optional<json> answer = inbox.Take(id);
        if (!answer) continue;
        if (inbox.Take(id)) Fault("an answer was taken twice");
        json result;
        try {
            result = DevToolsInbox::ResultOf("Method.call", *answer);
        } catch (const BrowserError&) {
            continue;
        }
        if (!result.is_object()) Fault("a result that is not an object");
        const auto read = [&](auto reader) {
            try {
                reader();
            } catch (const BrowserError&) {
            }
        };
        read([&] { (void)devtools::TargetsOf(result); });
        read([&] { (void)devtools::SessionIdOf(result); });
        read([&] { (void)devtools::WindowIdOf(result); });
        read([&] { (void)devtools::EvaluatedValue(result); });
        (void)devtools::Text(result, "errorText");
    }
}

void PageAnswers(std::string_view bytes) {
    using nlohmann::json;
    const int year = YearOf(bytes);
    const json value = json::parse(bytes, nullptr, false);
    if (value.is_discarded()) return;
    const DocumentRef document{"window"};
    const auto read = [&](auto reader) {
        try {
            reader();
        } catch (const BrowserError&) {
        }
    };
    read([&] { (void)devtools::IntOf(value); });
    read([&] { (void)devtools::BoolOf(value); });
    read([&] { (void)devtools::OptionalStringOf(value); });
    read([&] { (void)devtools::StringsOf(value); });
    read([&] {
        if (devtools::FoundElement(document, 0, value).window != document.window) Fault("an element of another window");
    });
    read([&] { (void)devtools::TopSearchOf(document, value); });
    read([&] {
        const std::vector<ElementFields> fields = devtools::ElementsOf(document, 0, value);
        for (size_t i = 0; i < fields.size(); ++i)
            if (fields[i].element.index != static_cast<int>(i)) Fault("the elements are not numbered in order");
        E1CodeTable e1;
        StoreE1Fields(fields, e1);
        RunRules(e1, year);
    });
}

void ReportBase64(std::string_view bytes) {
    constexpr size_t kBound = 64 * 1024;
    try {
        const std::string decoded = devtools::ReportBytesOf(nlohmann::json(std::string(bytes)), kBound);
        if (decoded.size() > kBound || decoded.size() > bytes.size()) Fault("more bytes than the text holds");
    } catch (const BrowserError&) {
    }
    // What the page encodes comes back whole.
    std::string encoded(4 * ((bytes.size() + 2) / 3) + 1, '\0');
    const int length = EVP_EncodeBlock(reinterpret_cast<unsigned char*>(encoded.data()),
                                       reinterpret_cast<const unsigned char*>(bytes.data()), static_cast<int>(bytes.size()));
    encoded.resize(static_cast<size_t>(length));
    try {
        if (devtools::ReportBytesOf(nlohmann::json(encoded), kBound) != bytes) Fault("the bytes did not come back whole");
    } catch (const BrowserError& error) {
        if (bytes.size() <= kBound) Fault(error.what());
    }
}

void VersionAnswer(std::string_view bytes) {
    const bool newer = IsNewerVersion(bytes);
    if (bytes == kVersionString && newer) Fault("this version is newer than itself");
    if (bytes.size() > std::string_view(kVersionString).size() && bytes.starts_with(kVersionString) && !newer)
        Fault("a longer version with the same beginning is not newer");
}

const std::vector<Target>& Targets() {
    static const std::vector<Target> targets = {
        {"analysis-file", AnalysisFile}, {"record-file", RecordFile}, {"report-text", ReportText},
        {"report-pdf", ReportPdf},       {"code-list", CodeList},     {"e1-page-values", E1PageValues},
        {"conversion", Conversion},      {"file-list", FileList},
        {"pipe-messages", PipeMessages}, {"page-answers", PageAnswers},
        {"report-base64", ReportBase64},         {"version-answer", VersionAnswer},
    };
    return targets;
}

}  // namespace skartina::fuzz
