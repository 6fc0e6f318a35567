// SPDX-License-Identifier: GPL-3.0-or-later
// The start-up version check against a hostile update server, for measuring
// its peak memory and time: run it under /usr/bin/time -v. The server runs in
// the same process, streaming what it sends, so the peak covers both.
//
//   skartina_check_memory MODE [WORKDIR]
//   MODE: huge-length (the probe announces 2 GB), endless (the version never ends),
//         drip (the version, a byte a second), redirects (the probe redirects to itself),
//         zeros-installer (400 MB of zeros, within the limit), endless-installer (zeros
//         without end), huge-installer (announces 2 GB)

#include "update/VersionCheck.h"
#include "support/UpdateServerSim.h"

#include <chrono>
#include <filesystem>
#include <iostream>
#include <map>

namespace {

using skartina::test::SimAnswer;

class Yes : public skartina::Prompter {
public:
    void inform(const std::string&) override {}
    bool confirm(const std::string&) override { return true; }
};

class NoWindows : public skartina::VersionCheckView {
public:
    void openProgress() override {}
    void setDetails(const std::string&) override {}
    void showFigures(const skartina::ProgressFigures&) override {}
    void pump() override {}
    void closeProgress() override {}
};

const char* ResultName(skartina::VersionCheckResult r) {
    using R = skartina::VersionCheckResult;
    switch (r) {
    case R::Unreachable: return "unreachable";
    case R::UpToDate: return "up to date";
    case R::Declined: return "declined";
    case R::NoInstaller: return "no installer";
    case R::Failed: return "failed";
    case R::InstallerStarted: return "installer started";
    case R::NoPackage: return "no package";
    case R::PackageHandedOver: return "package handed over";
    case R::InstallCommandTold: return "install command told";
    }
    return "?";
}

}  // namespace

int main(int argc, char** argv) {
    using namespace skartina;
    const std::string mode = argc > 1 ? argv[1] : "";
    const std::filesystem::path work = argc > 2 ? argv[2] : std::filesystem::temp_directory_path() / "skartina-check-memory";
    std::filesystem::create_directories(work);

    test::UpdateServerSim server;
    server.offer("2022 (ver 01.00)", "1<br/>Setup.exe<br/>1000000<br/>", {200, std::string(5000, 'I')});
    const unsigned long long twoGigabytes = 2ULL * 1024 * 1024 * 1024;
    const std::map<std::string, std::pair<std::string, SimAnswer>> modes = {
        {"huge-length", {kProbePath, SimAnswer::ZerosOf(twoGigabytes)}},
        {"endless", {kLatestVersionPath, SimAnswer::EndlessZeros()}},
        {"drip", {kLatestVersionPath, SimAnswer::Dripping(std::string(100, '2'), std::chrono::milliseconds(1000))}},
        {"redirects", {kProbePath, SimAnswer::RedirectTo(kProbePath)}},
        {"zeros-installer", {kDownloadPath, SimAnswer::ZerosOf(400ULL * 1024 * 1024)}},
        {"endless-installer", {kDownloadPath, SimAnswer::EndlessZeros()}},
        {"huge-installer", {kDownloadPath, SimAnswer::ZerosOf(twoGigabytes)}},
    };
    const auto chosen = modes.find(mode);
    if (chosen == modes.end()) {
        std::cerr << "usage: skartina_check_memory huge-length|endless|drip|redirects|zeros-installer|endless-installer|huge-installer [WORKDIR]\n";
        return 2;
    }
    server.answer(chosen->second.first, chosen->second.second);

    auto http = MakeCurlHttpClient();
    Yes yes;
    NoWindows view;
    TransferCounters counters;
    bool started = false;
    VersionCheckSetup setup{work, server.base(), *http, yes, view, [&](const std::filesystem::path&) { started = true; },
                            counters};
    setup.kind = UpdateKind::WindowsInstaller;  // the installer's download is what the hostile modes measure
    VersionCheck check(std::move(setup));
    const auto begin = std::chrono::steady_clock::now();
    const VersionCheckResult result = check.CheckForNewVersion(false);
    const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - begin);
    std::cout << mode << ": " << ResultName(result) << " after " << ms.count() << " ms, " << counters.ReceivedBytes
              << " bytes received" << (started ? ", installer started" : "") << "\n";
    return 0;
}
