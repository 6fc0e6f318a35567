// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The environment Chromium starts with. Nothing of this program's own passes
// but what a browser window needs (display, locale, fonts, the session bus,
// the program search path): secrets such as the portal password never reach
// the browser or its crash handler. Its home, cache, data, config and runtime
// folders are inside its profile, so that whatever it writes goes when the
// profile goes (and a killed run's, at the next start); its temporary folder
// is the private folder of the profiles, which is tidied with them.

#include <filesystem>
#include <string>
#include <vector>

namespace skartina {

// "NAME=value" entries from `parent` (an environment as `environ` holds it),
// the allowed ones only, with the browser's folders inside `profile`; the
// folders are made, private to the user.
std::vector<std::string> BrowserEnvironment(const std::filesystem::path& profile, char** parent);

// The same from this program's environment.
std::vector<std::string> BrowserEnvironment(const std::filesystem::path& profile);

}  // namespace skartina
