// SPDX-License-Identifier: GPL-3.0-or-later
// skartina-report-pdf IN.txt OUT.pdf: prints the lines of a UTF-8 text file
// as a report PDF, the way the portal delivers yearly reports.

#include "tools/ReportPdfWriter.h"

#include <fstream>
#include <iostream>

int main(int argc, char** argv) {
    if (argc != 3) {
        std::cerr << "χρήση: skartina-report-pdf IN.txt OUT.pdf\n";
        return 2;
    }
    std::ifstream in(argv[1]);
    if (!in) {
        std::cerr << "skartina-report-pdf: δεν διαβάζεται το «" << argv[1] << "»\n";
        return 1;
    }
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        lines.push_back(line);
    }
    const std::string pdf = skartina::WriteReportPdf(lines);
    std::ofstream out(argv[2], std::ios::binary);
    out << pdf;
    if (!out.flush()) {
        std::cerr << "skartina-report-pdf: δεν γράφεται το «" << argv[2] << "»\n";
        return 1;
    }
    return 0;
}
