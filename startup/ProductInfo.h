// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The texts by which the program names itself, and the pages of the product
// web host it opens.

#include "common/Edition.h"

#include <string>

namespace skartina {

inline constexpr const char* kMainCaption = "ΣΚΑΡΤΙΝΑ " SKARTINA_EDITION " (ver " SKARTINA_RELEASE ")";
inline constexpr const char* kAboutMenuCaption = "Πληροφορίες για το ΣΚΑΡΤΙΝΑ";
inline constexpr const char* kAboutCaption = "Πληροφορίες για το ΣΚΑΡΤΙΝΑ " SKARTINA_EDITION " (ver " SKARTINA_RELEASE ")";

inline constexpr const char* kHelpPath = "/apps_extras/" SKARTINA_EDITION_FOLDER "/dt_help.html";
inline constexpr const char* kEditorialPath = "/versions/" SKARTINA_EDITION_FOLDER "/editorial.html";
inline constexpr const char* kHomePath = "/";

// The product web host with its scheme, from SKARTINA_PRODUCT_HOST when set.
std::string ProductHost();

}  // namespace skartina
