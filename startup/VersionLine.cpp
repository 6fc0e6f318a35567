// SPDX-License-Identifier: GPL-3.0-or-later
#include "startup/VersionLine.h"

#include "startup/ProductInfo.h"

namespace skartina {

std::string VersionLine(const std::string& program) {
    // SKARTINA_VERSION is the project's version, given by the build (startup/CMakeLists.txt).
    return program + " " + kWorkYear + " (" + SKARTINA_VERSION + ")";
}

}  // namespace skartina
