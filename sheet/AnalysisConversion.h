// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The yearly carry-over: last edition's analysis files ("_2020") are copied
// into this edition's layout ("_2021"), which has one more year in front.

#include "common/Edition.h"

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace skartina {

inline constexpr const char* kConversionMarker = "Conver" SKARTINA_EDITION "Done.txt";

struct ConversionReport {
    bool alreadyDone = false;    // the marker was there: nothing was looked at
    bool tablesMissing = false;  // no data folder: nothing done, no marker
    std::vector<std::string> converted;     // names of the files written
    std::vector<std::string> keptExisting;  // targets that already existed
    std::vector<std::string> failed;        // "name: reason" of sources that were skipped
    std::vector<std::string> completed;     // "name: what was missing" of sources converted with empty cells
    bool markerWritten = false;
};

// Converts every "*.grd" whose name holds "_2020", leaves the sources in
// place, never replaces an existing target, skips (and reports) an entry it
// cannot read, that is not an analysis file, that would not open in this
// edition once converted, or whose target cannot be written. A file that
// lacks only cells at its end (a cut file) is converted with those cells
// empty, and reported. The marker is written only when no file was skipped,
// so the skipped ones are tried again at the next start.
ConversionReport ConvertAnalysisFiles(const std::filesystem::path& tablesDir);

// What the user is told of a conversion in one message: the files not
// converted and why, and those converted with empty cells; "" when all went well.
std::string ConversionMessage(const ConversionReport& report);

// The outcome of one file: whether the target was written (false: it existed
// and was left alone), and how many cells the source lacked at its end.
struct FileConversion {
    bool written = false;
    size_t missingCells = 0;
};

// Throws FileError or AnalysisFileError when the source cannot be read or
// converted or the target written.
FileConversion ConvertAnalysisFile(const std::filesystem::path& source, const std::filesystem::path& target);

// The lines of the converted file, from the source file's bytes. Cells missing
// at the end of the source (a cut file, a last line cut before its line break)
// read as empty cells and are counted in `missingCells`. Throws
// AnalysisFileError for a file that is no analysis file (header lines that are
// no counts, more cells than announced) and for a sheet that would have more
// columns than this edition opens; what it returns the loader always accepts.
std::vector<std::string> ConvertAnalysisBytes(std::string_view source, size_t* missingCells = nullptr);

}  // namespace skartina
