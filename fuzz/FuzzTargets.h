// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The loaders and parsers of outside data, each fed raw bytes: what the
// fuzzers run and what the regression corpus replays. A target returns, or
// lets through only the error types its loader documents (which it catches);
// anything else escaping is a fault.

#include <string_view>
#include <vector>

namespace skartina::fuzz {

struct Target {
    const char* name;  // also the folder of its corpus
    void (*run)(std::string_view bytes);
};

// An analysis file, loaded and recalculated.
void AnalysisFile(std::string_view bytes);
// A client record file, as the lists and the entry window read it.
void RecordFile(std::string_view bytes);
// A yearly report's text; the first byte picks the year; the year's rules run on it.
void ReportText(std::string_view bytes);
// A yearly report's PDF bytes, turned into text and parsed.
void ReportPdf(std::string_view bytes);
// A list of "code amount" lines; the rules of a year run on it.
void CodeList(std::string_view bytes);
// The fields of an E1 page: groups of four lines (name, type, value, checked).
void E1PageValues(std::string_view bytes);
// Last edition's analysis file through the yearly conversion; what comes out must load.
void Conversion(std::string_view bytes);
// The update server's file list.
void FileList(std::string_view bytes);
// What the browser writes on its DevTools pipe, as raw bytes: the framing
// (the first byte picks the size of the pieces the bytes arrive in) and every
// answer and event read as the browser driver reads them.
void PipeMessages(std::string_view bytes);
// What a page script returns (JSON), read as a found element, a search, a
// document's fields (then filed as a return's amounts) and plain values.
void PageAnswers(std::string_view bytes);
// The report's bytes as the page sends them, in base64; and the bytes
// themselves, encoded, read back whole.
void ReportBase64(std::string_view bytes);
// The update server's answer to "which version is the latest".
void VersionAnswer(std::string_view bytes);

const std::vector<Target>& Targets();

}  // namespace skartina::fuzz
