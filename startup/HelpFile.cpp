// SPDX-License-Identifier: GPL-3.0-or-later
#include "startup/HelpFile.h"

namespace skartina {

std::filesystem::path ShippedHelpFile(const std::filesystem::path& programFolder) {
    for (const auto& candidate : {programFolder / "help" / kHelpFileName,
                                  programFolder / ".." / "share" / "skartina" / kHelpFileName}) {
        std::error_code ec;
        if (std::filesystem::is_regular_file(candidate, ec)) return candidate.lexically_normal();
    }
    return {};
}

}  // namespace skartina
