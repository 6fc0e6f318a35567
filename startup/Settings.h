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
bool EditorialWanted(const std::filesystem::path& workDir);
void DismissEditorial(const std::filesystem::path& workDir);

}  // namespace skartina
