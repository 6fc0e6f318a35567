// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// An exported workbook read back through tests/xlsx_dump.py (openpyxl).

#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <vector>

namespace skartina::test {

// The workbook as openpyxl reads it.
struct Workbook {
    int sheets = 0;
    std::map<std::string, std::vector<std::string>> cells;  // type, value, format, fill, size, alignment
    std::set<std::string> merges;
    std::map<std::string, double> widths;
    std::vector<std::string> page;
    std::vector<std::string> print;  // paper, scale, fit to pages, pages wide, pages tall, row breaks
    std::vector<std::string> laterSheets;                    // the names of the sheets after the first
    std::map<std::string, std::vector<std::string>> extra;  // "SHEET!B2": type, value, format
    std::vector<std::vector<std::string>> charts;            // part, kind, the ranges drawn from
};

inline std::vector<std::string> Split(const std::string& line) {
    std::vector<std::string> fields;
    std::stringstream in(line);
    for (std::string field; std::getline(in, field, '\t');) fields.push_back(field);
    if (!line.empty() && line.back() == '\t') fields.emplace_back();
    return fields;
}

inline Workbook ReadBack(const TempDir& dir, const std::filesystem::path& xlsx) {
    const std::filesystem::path script = SKARTINA_XLSX_DUMP;
    const auto out = dir / "dump.txt";
    const std::string command = "/usr/bin/python3 '" + script.string() + "' '" + xlsx.string() + "' > '" + out.string() + "'";
    EXPECT_EQ(std::system(command.c_str()), 0) << command;
    Workbook book;
    std::istringstream lines(ReadBytes(out));
    for (std::string line; std::getline(lines, line);) {
        const auto fields = Split(line);
        if (fields[0] == "sheets") book.sheets = std::stoi(fields[1]);
        if (fields[0] == "cell") book.cells[fields[1]] = {fields.begin() + 2, fields.end()};
        if (fields[0] == "merge") book.merges.insert(fields[1]);
        if (fields[0] == "width") book.widths[fields[1]] = std::stod(fields[2]);
        if (fields[0] == "page") book.page = {fields.begin() + 1, fields.end()};
        if (fields[0] == "print") book.print = {fields.begin() + 1, fields.end()};
        if (fields[0] == "sheet") book.laterSheets.push_back(fields[1]);
        if (fields[0] == "extra") book.extra[fields[1] + "!" + fields[2]] = {fields.begin() + 3, fields.end()};
        if (fields[0] == "chart") book.charts.push_back({fields.begin() + 1, fields.end()});
    }
    return book;
}

}  // namespace skartina::test
