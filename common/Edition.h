// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The edition: the year the program carries in its name, its files and its
// web paths, and the newest tax year it holds. A new edition changes this
// file alone.
//
// The texts are macros so that longer names (captions, web paths, marker
// files) are joined from them at compile time.

#include <string_view>

#define SKARTINA_EDITION "2021"
#define SKARTINA_EDITION_SHORT "21"  // in the names of the setting files
#define SKARTINA_LAST_EDITION "2020"
#define SKARTINA_RELEASE "01.00"
// The product web host's folder of this edition.
#define SKARTINA_EDITION_FOLDER "VELMORA" SKARTINA_EDITION

namespace skartina {

namespace edition_detail {
constexpr int YearOf(std::string_view digits) {
    int year = 0;
    for (const char ch : digits) year = year * 10 + (ch - '0');
    return year;
}
}  // namespace edition_detail

inline constexpr int kEditionYear = edition_detail::YearOf(SKARTINA_EDITION);
// Each edition adds the year before its own.
inline constexpr int kNewestYear = kEditionYear - 1;
static_assert(edition_detail::YearOf(SKARTINA_LAST_EDITION) == kNewestYear);
static_assert(edition_detail::YearOf(SKARTINA_EDITION_SHORT) == kEditionYear % 100);

// The year this edition's files carry ("<ΑΦΜ>_2021.grd"), and last edition's.
inline constexpr const char* kWorkYear = SKARTINA_EDITION;
inline constexpr std::string_view kEditionTag = "_" SKARTINA_EDITION;
inline constexpr std::string_view kLastEditionTag = "_" SKARTINA_LAST_EDITION;

inline constexpr const char* kAppTitle = "ΣΚΑΡΤΙΝΑ " SKARTINA_EDITION;
inline constexpr const char* kVersionString = SKARTINA_EDITION " (ver " SKARTINA_RELEASE ")";

}  // namespace skartina
