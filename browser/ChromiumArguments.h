// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The command line the program starts Chromium with: its private pipe and
// profile, its own services switched off, every host name but the portal's
// resolving to nothing, and its sandbox on unless the program runs as root.

#include "browser/BrowserConfig.h"

#include <filesystem>
#include <string>
#include <vector>

namespace skartina {

std::vector<std::string> ChromiumArguments(const BrowserConfig& config, const std::filesystem::path& profile, bool asRoot);

}  // namespace skartina
