// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The tax portal as the program knows it, in one place: the addresses of its
// pages, the names of the elements it acts on and the titles of its windows.
// When the portal changes, this is what is adapted.

#include "portal/PortalHosts.h"

#include <string>
#include <string_view>

namespace skartina {

namespace page {

// The login page: found by the password field's id, filled by ids, submitted by the button's name.
inline constexpr const char* kPasswordId = "password";
inline constexpr const char* kUserId = "username";
inline constexpr const char* kLoginButton = "btn_login";
// The application page after the login: clicked to enter.
inline constexpr const char* kEnterImage = "Image17";
// The accountant's client choice page: the client's tax number, then the button.
inline constexpr const char* kClientTaxNumberField = "username";
inline constexpr const char* kClientProceed = "PBIn";
// A year menu: its list of years, and the print button of the return (up to
// 2013) or of the yearly report (from 2014).
inline constexpr const char* kYearList = "YEAR";
inline constexpr const char* kReturnPrintButton = "PBE1_PRINT";
inline constexpr const char* kReportPrintButton = "PB_EKKATH_PDF";
// The first field of a return page.
inline constexpr const char* kReturnFirstField = "n901";

// Window titles.
inline constexpr const char* kLoginWindowTitle = "LoginPage";
inline constexpr const char* kReturnWindowTitle = "ΥΠΟΒΟΛΗ ΑΡΧΙΚΗΣ ΔΗΛΩΣΗΣ";

inline constexpr int kFirstReportYear = 2014;
inline constexpr int kFirstOwnMenuYear = 2006;  // 2003 to 2005 are chosen in a list

inline const char* PrintButton(int year) { return year >= kFirstReportYear ? kReportPrintButton : kReturnPrintButton; }

// What a page that answers a login with an error instead of the login page says.
inline constexpr std::string_view kLoginRefusedWords[] = {
    "λάθος", "Λάθος", "ΛΑΘΟΣ", "λανθασμέν", "Λανθασμέν", "ΛΑΝΘΑΣΜΕΝ", "εσφαλμέν", "Εσφαλμέν", "ΕΣΦΑΛΜΕΝ",
    "δεν είναι σωστ", "invalid", "Invalid", "incorrect", "Incorrect", "wrong", "Wrong"};

inline bool SaysLoginRefused(std::string_view text) {
    for (std::string_view words : kLoginRefusedWords)
        if (text.find(words) != std::string_view::npos) return true;
    return false;
}

}  // namespace page

struct PortalPages {
    PortalHosts hosts;

    std::string EntryPage() const { return hosts.AppAddress("/webtax/incomefp/index.jsp"); }
    std::string YearMenu(int year) const {
        return hosts.AppAddress("/webtax/incomefp/year" + std::to_string(year) + "-income-menu.do");
    }
    // The start page, with the list of 2003 to 2005; also where a login (and an
    // accountant's choice of client) lands.
    std::string StartPage() const { return hosts.AppAddress("/webtax/incomefp/login.do"); }
    std::string LogoutPage() const { return hosts.AppAddress("/webtax/incomefp/logout.do"); }
    std::string LoginHost() const { return "https://" + hosts.login; }
    std::string LoggedInYearPages() const { return hosts.AppAddress("/webtax/incomefp/year"); }
    std::string ApplicationPages() const { return hosts.AppAddress("/webtax/incomefp"); }
    std::string LoginPageAfterLogout() const { return "https://" + hosts.login + "/mylogin/login.jsp"; }
    std::string AltLoginPageAfterLogout() const { return "https://" + hosts.altLogin + "/mylogin/pages/login.jsp"; }
    std::string HomePage() const { return hosts.AppAddress("/taxisnet/mytaxisnet/protected/home.htm"); }
    std::string ReportPages() const { return hosts.AppAddress("/reports/rwservlet?"); }
    // What the address of the window showing the year's return contains.
    std::string ReturnPage(int year) const {
        if (year == 2003) return hosts.AppAddress("/webtax/incomefp/Year_2003/income/e1/e1_print_mm.jsp");
        if (year == 2004) return hosts.AppAddress("/webtax/incomefp/Year_2004/income/e1/e1_print_mm_2004.jsp");
        if (year == 2005) return hosts.AppAddress("/webtax/incomefp/Year_2005/income/e1/e1_print_frames_mm_2005.jsp");
        return YearMenu(year);
    }
    // The page whose "YEAR" list picks the year (2003 to 2005), and the menu it leads to.
    std::string YearListPage(int year) const { return year == 2005 ? StartPage() : YearMenu(2005); }
    std::string MenuOf(int year) const { return YearMenu(year < page::kFirstOwnMenuYear ? 2005 : year); }
};

}  // namespace skartina
