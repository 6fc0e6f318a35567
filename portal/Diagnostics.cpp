// SPDX-License-Identifier: GPL-3.0-or-later
#include "portal/Diagnostics.h"

#include "common/TextFile.h"

#include <chrono>
#include <ctime>
#include <system_error>

namespace skartina {
namespace {

void MakePrivateFolder(const std::filesystem::path& folder) {
    std::error_code error;
    std::filesystem::create_directories(folder, error);
    if (!error)
        std::filesystem::permissions(folder, std::filesystem::perms::owner_all, std::filesystem::perm_options::replace,
                                     error);
    if (error) throw FileError("ο φάκελος «" + folder.string() + "» δεν δημιουργήθηκε: " + error.message());
}

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
    MakePrivateFolder(folder);
    std::filesystem::path bundle = folder / (label + "-" + TimeOfNow());
    for (int n = 2; std::filesystem::exists(bundle); ++n)
        bundle = folder / (label + "-" + TimeOfNow() + "-" + std::to_string(n));
    MakePrivateFolder(bundle);

    std::string steps;
    for (const std::string& line : log.steps()) steps += line + "\n";
    WriteFileAtomically(bundle / "steps.txt", steps, FileAccess::OwnerOnly);
    if (window.empty() || !browser.HasApplication()) return bundle;
    // A page that cannot be pictured or read now (a browser going away) is left out.
    try {
        const std::string png = browser.Screenshot(window);
        if (!png.empty()) WriteFileAtomically(bundle / "page.png", png, FileAccess::OwnerOnly);
    } catch (const BrowserError&) {
    }
    try {
        const std::string html = browser.PageWithoutValues(window);
        if (!html.empty()) WriteFileAtomically(bundle / "page.html", html, FileAccess::OwnerOnly);
    } catch (const BrowserError&) {
    }
    return bundle;
}

}  // namespace skartina
