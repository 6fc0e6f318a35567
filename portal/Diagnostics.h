// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What a developer needs when the portal's page was not as the program
// expected: "<folder>/<YEAR>-<time>/" (or "login-<time>") with a picture of the page (page.png),
// its HTML with the value of every input field removed (page.html) and the
// steps taken (steps.txt). The folder is the owner's alone (0700), so are its
// files (0600); no password, cookie or query string goes into it.

#include "portal/Browser.h"
#include "portal/RetrievalLog.h"

#include <filesystem>
#include <string>

namespace skartina {

// Writes the bundle of the window's page into a new folder under the folder
// (a client's "<ΑΦΜ>_sources/diagnostics", checked as its own and made
// 0700 with its client's folder when missing) and returns it. Throws FileError when it cannot be written; a page the
// browser cannot picture or give is left out.
std::filesystem::path KeepDiagnostics(const std::filesystem::path& folder, const std::string& label, Browser& browser,
                                      const std::string& window, const RetrievalLog& log);

}  // namespace skartina
