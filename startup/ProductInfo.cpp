// SPDX-License-Identifier: GPL-3.0-or-later
#include "startup/ProductInfo.h"

#include <cstdlib>

namespace skartina {

std::string ProductHost() {
    const char* configured = std::getenv("SKARTINA_PRODUCT_HOST");
    std::string host = configured && *configured ? configured : "https://www.skartina.gr";
    while (!host.empty() && host.back() == '/') host.pop_back();
    return host;
}

}  // namespace skartina
