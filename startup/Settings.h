// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The program's settings: marker files in the working folder whose existence
// alone counts.

#include "common/Edition.h"

#include <filesystem>

namespace skartina {

inline constexpr const char* kAutoCheckOffMarker = "Autocheck" SKARTINA_EDITION_SHORT ".ini";
inline constexpr const char* kEditorialMarker = "editorial" SKARTINA_EDITION_SHORT ".ini";

// The check for a newer version runs at start-up unless the marker exists.
bool AutoCheckEnabled(const std::filesystem::path& workDir);

// Creates ("Not OK") or deletes the marker; returns whether the check is on
// afterwards, so the menu mark always mirrors the file. Throws FileError when
// the marker cannot be written or removed.
bool SetAutoCheck(const std::filesystem::path& workDir, bool enabled);

// The information window is shown while its marker exists.
// The sheet's zoom in percent, as the analysis window last left it
// ("zoom21.ini", the number alone); 100 without the file or with a number out of 50..300.
inline constexpr const char* kSheetZoomFile = "zoom" SKARTINA_EDITION_SHORT ".ini";
int SheetZoom(const std::filesystem::path& workDir);
void SetSheetZoom(const std::filesystem::path& workDir, int percent);

bool EditorialWanted(const std::filesystem::path& workDir);
void DismissEditorial(const std::filesystem::path& workDir);

}  // namespace skartina
