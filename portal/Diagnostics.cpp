// SPDX-License-Identifier: GPL-3.0-or-later
#include "portal/Diagnostics.h"

#include "common/ClientFiles.h"
#include "common/TextFile.h"

#include <chrono>
#include <ctime>
#include <system_error>

namespace skartina {
namespace {

std::string TimeOfNow() {
    const std::time_t now = std::chrono::system_clock::to_time_t(std::chrono::system_clock::now());
    std::tm local{};
    localtime_r(&now, &local);
    char text[32];
    std::strftime(text, sizeof text, "%Y%m%d-%H%M%S", &local);
    return text;
}

}  // namespace

std::filesystem::path KeepDiagnostics(const std::filesystem::path& folder, const std::string& label, Browser& browser,
                                      const std::string& window, const RetrievalLog& log) {
    // "<ΑΦΜ>_sources/diagnostics": the client's folder checked in its data folder, then this one in it.
    const OwnFolder diagnostics = MakeClientFolder(folder.parent_path()).MadeChild(folder.filename().string());
    std::string name = label + "-" + TimeOfNow();
    for (int n = 2; diagnostics.Child(name, false); ++n) name = label + "-" + TimeOfNow() + "-" + std::to_string(n);
    const OwnFolder bundleFolder = diagnostics.MadeChild(name);
    const std::filesystem::path bundle = bundleFolder.path();

    std::string steps;
    for (const std::string& line : log.steps()) steps += line + "\n";
    WriteFileAtomically(bundleFolder, "steps.txt", steps);
    if (window.empty() || !browser.HasApplication()) return bundle;
    // A page that cannot be pictured or read now (a browser going away) is left out.
    try {
        const std::string png = browser.Screenshot(window);
        if (!png.empty()) WriteFileAtomically(bundleFolder, "page.png", png);
    } catch (const BrowserError&) {
    }
    try {
        const std::string html = browser.PageWithoutValues(window);
        if (!html.empty()) WriteFileAtomically(bundleFolder, "page.html", html);
    } catch (const BrowserError&) {
    }
    return bundle;
}

}  // namespace skartina
