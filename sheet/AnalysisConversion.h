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
    bool markerWritten = false;
};

// Runs once per data folder: converts every "*.grd" whose name holds "_2020",
// leaves the sources in place, never replaces an existing target, skips (and
// reports) an entry it cannot read, that the analysis file loader refuses,
// that would not open in this edition once converted, or whose target cannot
// be written, and then writes the marker.
ConversionReport ConvertAnalysisFiles(const std::filesystem::path& tablesDir);

// Returns false when the target exists (it is left alone). Throws FileError
// or AnalysisFileError when the source cannot be read or converted or the
// target written.
bool ConvertAnalysisFile(const std::filesystem::path& source, const std::filesystem::path& target);

// The lines of the converted file, from the source file's bytes. Throws
// AnalysisFileError for a file the loader refuses and for a sheet that would
// have more columns than this edition opens; what it returns the loader
// always accepts.
std::vector<std::string> ConvertAnalysisBytes(std::string_view source);

}  // namespace skartina
