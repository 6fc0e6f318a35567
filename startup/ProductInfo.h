#pragma once
// The texts by which the program names itself, and the pages of the product
// web host it opens.

#include <string>

namespace skartina {

inline constexpr const char* kAppTitle = "ΣΚΑΡΤΙΝΑ 2021";
inline constexpr const char* kMainCaption = "ΣΚΑΡΤΙΝΑ 2021 (ver 01.00)";
inline constexpr const char* kAboutMenuCaption = "Πληροφορίες για το ΣΚΑΡΤΙΝΑ";
inline constexpr const char* kAboutCaption = "Πληροφορίες για το ΣΚΑΡΤΙΝΑ 2021 (ver 01.00)";
inline constexpr const char* kVersionString = "2021 (ver 01.00)";
inline constexpr const char* kWorkYear = "2021";

inline constexpr const char* kHelpPath = "/apps_extras/VELMORA2021/dt_help.html";
inline constexpr const char* kEditorialPath = "/versions/VELMORA2021/editorial.html";
inline constexpr const char* kHomePath = "/";

// The product web host with its scheme, from SKARTINA_PRODUCT_HOST when set.
std::string ProductHost();

}  // namespace skartina
