// SPDX-License-Identifier: GPL-3.0-or-later
#include "browser/BrowserEnvironment.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <map>
#include <string_view>

extern char** environ;

namespace skartina {
namespace {

// What a window on this desktop needs, and nothing that could carry a secret.
constexpr std::array<std::string_view, 20> kPassed = {
    "PATH",            "DISPLAY",           "XAUTHORITY",         "WAYLAND_DISPLAY",  "LANG",
    "LANGUAGE",        "TZ",                "DBUS_SESSION_BUS_ADDRESS", "FONTCONFIG_FILE", "FONTCONFIG_PATH",
    "XDG_DATA_DIRS",   "XDG_CONFIG_DIRS",   "XDG_CURRENT_DESKTOP", "XDG_SESSION_TYPE", "DESKTOP_SESSION",
    "XCURSOR_THEME",   "XCURSOR_SIZE",      "GDK_SCALE",          "USER",             "LOGNAME",
};

bool Passed(std::string_view name) {
    return name.starts_with("LC_") || std::find(kPassed.begin(), kPassed.end(), name) != kPassed.end();
}

}  // namespace

std::vector<std::string> BrowserEnvironment(const std::filesystem::path& profile, char** parent) {
    std::map<std::string, std::string> kept;
    for (char** entry = parent; entry && *entry; ++entry) {
        const std::string_view text = *entry;
        const size_t equals = text.find('=');
        if (equals == std::string_view::npos || !Passed(text.substr(0, equals))) continue;
        kept.emplace(std::string(text.substr(0, equals)), std::string(text.substr(equals + 1)));
    }
    std::string runtime;
    for (char** entry = parent; entry && *entry; ++entry)
        if (std::string_view(*entry).starts_with("XDG_RUNTIME_DIR=")) runtime = *entry + 16;

    // The desktop's sockets stay reachable when the runtime folder moves into the profile.
    if (auto wayland = kept.find("WAYLAND_DISPLAY"); wayland != kept.end() && !runtime.empty() &&
                                                     !wayland->second.empty() && wayland->second.front() != '/')
        wayland->second = runtime + "/" + wayland->second;
    if (!kept.count("DBUS_SESSION_BUS_ADDRESS") && !runtime.empty() &&
        std::filesystem::exists(std::filesystem::path(runtime) / "bus"))
        kept["DBUS_SESSION_BUS_ADDRESS"] = "unix:path=" + runtime + "/bus";

    // The temporary folder is the private folder that holds the profiles:
    // Chromium makes its singleton's socket there, and a socket's path may not
    // be longer than 107 bytes, which one inside a profile would pass. What it
    // leaves there is removed with the abandoned profiles.
    kept["TMPDIR"] = profile.parent_path().string();
    const std::vector<std::pair<const char*, const char*>> folders = {
        {"HOME", "home"},         {"XDG_CONFIG_HOME", "config"},
        {"XDG_CACHE_HOME", "cache"}, {"XDG_DATA_HOME", "data"}, {"XDG_STATE_HOME", "state"},
        {"XDG_RUNTIME_DIR", "runtime"}, {"CHROME_CONFIG_HOME", "config"},
    };
    for (const auto& [name, folder] : folders) {
        const std::filesystem::path path = profile / folder;
        ::mkdir(path.c_str(), 0700);
        kept[name] = path.string();
    }
    std::vector<std::string> environment;
    for (const auto& [name, value] : kept) environment.push_back(name + "=" + value);
    return environment;
}

std::vector<std::string> BrowserEnvironment(const std::filesystem::path& profile) {
    return BrowserEnvironment(profile, environ);
}

}  // namespace skartina
