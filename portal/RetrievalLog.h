// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What a retrieval leaves for whoever has to find out why it failed: the
// steps taken (what, the address without its query string, when), and a log
// file of technical detail ("Tables/<ΑΦΜ>_sources/retrieval.log", the
// owner's alone) that the user's message names. No password, cookie or query
// string is ever written.

#include "portal/PumpClock.h"

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace skartina {

// The address without its query string or fragment, where session tokens travel.
std::string AddressWithoutQuery(std::string_view address);

class RetrievalLog {
public:
    // An empty file: notes are kept in memory only.
    RetrievalLog(PumpClock& clock, std::filesystem::path file);

    // A step taken, with the address it concerns.
    void Step(std::string_view what, std::string_view address = {});
    // Technical detail, appended to the file with the time of day. False when
    // there is no file or it could not be written.
    bool Note(std::string_view detail);

    // "  +12.345 s  what  address" lines, in order.
    const std::vector<std::string>& steps() const { return steps_; }
    const std::filesystem::path& file() const { return file_; }

private:
    PumpClock& clock_;
    std::filesystem::path file_;
    uint64_t start_;
    std::vector<std::string> steps_;
};

}  // namespace skartina
