// SPDX-License-Identifier: GPL-3.0-or-later
// skartina-portal-sim: a stand-in for the tax portal, for the tests and for
// trying the program without the real portal. Three HTTPS servers on loopback
// ports stand for the application host, the login host and the second login
// host; the first line printed names them in that order ("127.0.0.1:PORT").
//
//   skartina-portal-sim --data DIR [SWITCH...]   (--help lists the switches)
//
// The switches stand for the portal's faults and slow moments: --delay slows
// every page, --delay-print only the return page, --delay-report only the
// report; --no-year-list and --no-print-button take "YEAR" or the print button
// off the year menus; --refuse-client makes the client choice refuse that tax
// number to an accountant; --logout-to picks the page the logout lands on.
// The "-in" switches (each may be repeated) touch one year only: the portal
// has no return for it, its return and report leave out the tax number
// (--report-without-taxNumber: every year's), its report prints the amounts in a
// layout the program does not read, or its return page or report comes MS
// late. --report-order draws the reports' text in another order, the pages
// looking the same.
//
// Other switches stand for the ways an older portal may differ from this one
// while its figures stay the same: how a print button opens its window, a
// return that arrives in two parts with its first field first, a dialog on the
// year menus (an alert, a confirm, a question before leaving) or on the
// returns, a session that ends after some pages, a refused login answered by
// an error page, the tax number shown as text, frames of widgets on the menus
// or the returns, and pages refused to a browser that calls itself headless.

#include "tools/ReportPdfWriter.h"
#include "tools/portal-sim/SimCertificate.h"
#include "tools/portal-sim/SimData.h"
#include "tools/portal-sim/SimPages.h"
#include "startup/VersionLine.h"

#include <CLI/CLI.hpp>

#include <httplib.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <fstream>
#include <iostream>
#include <map>
#include <mutex>
#include <optional>
#include <random>
#include <set>
#include <regex>
#include <thread>

namespace skartina::sim {
namespace {

enum class LogoutLanding { Login, AltLogin, Home };

struct Faults {
    bool noLoginButton = false;
    bool noProceedButton = false;
    bool noReport = false;
    bool reportWithoutTaxNumber = false;
    bool noYearList = false;
    bool noPrintButton = false;
    bool hugeReport = false;  // the report padded beyond 20 MB
    ReportOrder reportOrder = ReportOrder::Plain;
    int printDelayMs = 0;
    int reportDelayMs = 0;
    std::string refusedClient;
    std::string loginLog;  // a file that gets the user name of every login that goes through
    // A file that gets a line for every request: whose session its cookie is, the method and the path.
    std::string sessionLog;
    LogoutLanding logoutTo = LogoutLanding::Login;
    std::set<int> noReturnYears;
    std::set<int> reportWithoutTaxNumberYears;
    std::set<int> unreadableReportYears;
    std::map<int, int> lateYears;  // year -> milliseconds
    // The variations of an older portal.
    int streamMs = 0;           // the return pages arrive in two parts, MS apart
    int expireAfter = 0;        // a session ends after this many pages; 0: never
    bool loginErrorPage = false;
    bool menuWidgets = false;
    bool returnWidgets = false;
    bool refuseHeadless = false;
    ReturnOptions returnLayout;
};

struct Session {
    std::string taxNumber;  // empty until an accountant has picked a client
    bool accountant = false;
    int pages = 0;    // pages served under the session
};

constexpr const char* kCookie = "SIMSESSION";

class Portal {
public:
    Portal(SimData data, Faults faults, PageOptions options, MenuOptions menu)
        : data_(std::move(data)), faults_(std::move(faults)), options_(options), returnOptions_(options), menu_(std::move(menu)) {
        menu_.withYearList = !faults_.noYearList;
        menu_.withPrintButton = !faults_.noPrintButton;
        if (faults_.printDelayMs > 0) returnOptions_.delayMs = faults_.printDelayMs;
    }

    std::string app, login, altLogin;  // "127.0.0.1:PORT"

    void ServeApp(httplib::Server& server);
    void ServeLogin(httplib::Server& server);
    // The request's line in the session log: the user whose session the
    // cookie names (ended or not; "-" without one), the method, the path.
    void LogRequest(const httplib::Request& req);

private:
    static void Html(httplib::Response& res, const std::string& html) {
        res.set_header("Cache-Control", "no-store");
        res.set_content(html, "text/html; charset=utf-8");
    }
    // A return page: whole, or in two parts with the pause between them.
    void ReturnHtml(httplib::Response& res, const std::string& html) const;
    MenuOptions Menu() const {
        MenuOptions menu = menu_;
        if (faults_.menuWidgets) menu.widgetsOrigin = "https://" + login;
        return menu;
    }
    ReturnOptions ReturnLayout() const {
        ReturnOptions layout = faults_.returnLayout;
        if (faults_.returnWidgets) layout.widgetsOrigin = "https://" + login;
        return layout;
    }
    std::optional<Session> SessionOf(const httplib::Request& req);
    std::string Token(const httplib::Request& req);
    // The session of a page that needs one; otherwise the answer sends the browser to log in.
    std::optional<Session> Require(const httplib::Request& req, httplib::Response& res);
    void HandleLogin(const httplib::Request& req, httplib::Response& res);
    void ServeReturn(httplib::Response& res, const Session& session, int year);
    // The client's return of the year as the portal has it (none: all zero).
    E1CodeTable ReturnOf(const Session& session, int year) const;
    // How the year's return page comes: late for the whole portal's return pages, or for this year.
    PageOptions ReturnOptionsOf(int year) const;
    // The tax number a return or report shows: the session's, or none where a fault takes it away.
    std::string ShownTaxNumber(const Session& session, int year) const;
    int LateMs(int year) const {
        const auto late = faults_.lateYears.find(year);
        return late == faults_.lateYears.end() ? 0 : late->second;
    }

    SimData data_;
    Faults faults_;
    PageOptions options_;
    PageOptions returnOptions_;  // the return page may come later than the others
    MenuOptions menu_;
    std::mutex mutex_;
    std::map<std::string, Session> sessions_;
    std::map<std::string, std::string> issued_;  // every session token given -> its user name
};

void Portal::LogRequest(const httplib::Request& req) {
    std::lock_guard lock(mutex_);
    const auto it = issued_.find(Token(req));
    std::ofstream(faults_.sessionLog, std::ios::app)
        << (it == issued_.end() ? std::string("-") : it->second) << ' ' << req.method << ' ' << req.path << '\n';
}

std::string Portal::Token(const httplib::Request& req) {
    static const std::regex cookie(std::string(kCookie) + "=([0-9a-f]+)");
    std::smatch match;
    const std::string header = req.get_header_value("Cookie");
    return std::regex_search(header, match, cookie) ? match[1].str() : std::string();
}

std::optional<Session> Portal::SessionOf(const httplib::Request& req) {
    std::lock_guard lock(mutex_);
    const auto it = sessions_.find(Token(req));
    if (it == sessions_.end()) return std::nullopt;
    return it->second;
}

std::optional<Session> Portal::Require(const httplib::Request& req, httplib::Response& res) {
    std::optional<Session> session;
    {
        std::lock_guard lock(mutex_);
        const auto it = sessions_.find(Token(req));
        if (it != sessions_.end() && faults_.expireAfter > 0 && ++it->second.pages > faults_.expireAfter)
            sessions_.erase(it);  // the portal ended the session: its next page is the login
        else if (it != sessions_.end())
            session = it->second;
    }
    if (!session) res.set_redirect("https://" + login + "/");
    return session;
}

void Portal::ReturnHtml(httplib::Response& res, const std::string& html) const {
    const size_t cut = html.find(kStreamCut);
    if (faults_.streamMs <= 0 || cut == std::string::npos) {
        Html(res, html);
        return;
    }
    res.set_header("Cache-Control", "no-store");
    const int pauseMs = faults_.streamMs;
    res.set_chunked_content_provider("text/html; charset=utf-8",
                                     [first = html.substr(0, cut), rest = html.substr(cut), pauseMs](size_t, httplib::DataSink& sink) {
                                         sink.write(first.data(), first.size());
                                         std::this_thread::sleep_for(std::chrono::milliseconds(pauseMs));
                                         sink.write(rest.data(), rest.size());
                                         sink.done();
                                         return true;
                                     });
}

void Portal::HandleLogin(const httplib::Request& req, httplib::Response& res) {
    const Account* account = data_.Login(req.get_param_value("username"), req.get_param_value("password"));
    if (!account) {
        Html(res, faults_.loginErrorPage ? LoginErrorPage(options_)
                                         : LoginPage(options_, !faults_.noLoginButton, "Λάθος στοιχεία εισόδου"));
        return;
    }
    std::random_device random;
    char token[33];
    std::snprintf(token, sizeof token, "%08x%08x%08x%08x", random(), random(), random(), random());
    {
        std::lock_guard lock(mutex_);
        sessions_[token] = {account->accountant() ? std::string() : account->taxNumber, account->accountant()};
        issued_[token] = req.get_param_value("username");
        if (!faults_.loginLog.empty()) std::ofstream(faults_.loginLog, std::ios::app) << req.get_param_value("username") << '\n';
    }
    res.set_header("Set-Cookie", std::string(kCookie) + "=" + token + "; Path=/; Secure; Max-Age=3600");
    res.set_redirect("https://" + app + "/webtax/incomefp/years.jsp");
}

void Portal::ServeLogin(httplib::Server& server) {
    const auto page = [this](const httplib::Request&, httplib::Response& res) {
        Html(res, LoginPage(options_, !faults_.noLoginButton, ""));
    };
    server.Get("/", page);
    server.Get("/mylogin/login.jsp", page);
    server.Get("/mylogin/pages/login.jsp", page);
    server.Post("/login", [this](const httplib::Request& req, httplib::Response& res) { HandleLogin(req, res); });
    server.Get("/widgets/counter.html", [](const httplib::Request&, httplib::Response& res) { Html(res, WidgetPage("counter")); });
}

E1CodeTable Portal::ReturnOf(const Session& session, int year) const {
    if (faults_.noReturnYears.count(year)) return {};
    return data_.Return(session.taxNumber, year);
}

std::string Portal::ShownTaxNumber(const Session& session, int year) const {
    if (faults_.reportWithoutTaxNumber || faults_.reportWithoutTaxNumberYears.count(year)) return {};
    return session.taxNumber;
}

PageOptions Portal::ReturnOptionsOf(int year) const {
    PageOptions options = returnOptions_;
    if (const int late = LateMs(year)) options.delayMs = late;
    return options;
}

void Portal::ServeReturn(httplib::Response& res, const Session& session, int year) {
    ReturnHtml(res, ReturnPage(ReturnOptionsOf(year), ReturnOf(session, year), ShownTaxNumber(session, year), ReturnLayout()));
}

void Portal::ServeApp(httplib::Server& server) {
    server.Get("/widgets/chat.html", [](const httplib::Request&, httplib::Response& res) { Html(res, WidgetPage("chat")); });
    server.Get("/webtax/incomefp/index.jsp", [this](const httplib::Request& req, httplib::Response& res) {
        res.set_redirect(SessionOf(req) ? "/webtax/incomefp/years.jsp" : "https://" + login + "/");
    });
    server.Get("/webtax/incomefp/years.jsp", [this](const httplib::Request& req, httplib::Response& res) {
        if (auto session = Require(req, res))
            Html(res, ApplicationPage(options_, session->accountant ? "/webtax/incomefp/client.jsp" : "/webtax/incomefp/login.do"));
    });
    server.Get("/webtax/incomefp/client.jsp", [this](const httplib::Request& req, httplib::Response& res) {
        if (Require(req, res)) Html(res, ClientChoicePage(options_, !faults_.noProceedButton, ""));
    });
    server.Get("/webtax/incomefp/client.do", [this](const httplib::Request& req, httplib::Response& res) {
        if (!Require(req, res)) return;
        const std::string taxNumber = req.get_param_value("username");
        if (taxNumber == faults_.refusedClient) {
            Html(res, ClientChoicePage(options_, !faults_.noProceedButton, "Δεν έχετε εξουσιοδότηση για τον Α.Φ.Μ. " + taxNumber));
            return;
        }
        {
            std::lock_guard lock(mutex_);
            Session& session = sessions_[Token(req)];
            if (session.accountant && IsTaxNumberText(taxNumber)) session.taxNumber = taxNumber;
        }
        res.set_redirect("/webtax/incomefp/login.do");
    });
    server.Get("/webtax/incomefp/login.do", [this](const httplib::Request& req, httplib::Response& res) {
        if (Require(req, res)) Html(res, StartPage(options_));
    });
    server.Get(R"(/webtax/incomefp/year(\d{4})-income-menu\.do)", [this](const httplib::Request& req, httplib::Response& res) {
        const auto session = Require(req, res);
        if (!session) return;
        if (session->taxNumber.empty()) {  // an accountant who has not picked a client yet
            res.set_redirect("/webtax/incomefp/client.jsp");
            return;
        }
        const int menuYear = std::stoi(req.matches[1]);
        if (menuYear == 2005) {
            // The 2005 menu serves 2003 to 2005, chosen in its list.
            int year = req.has_param("YEAR") ? std::atoi(req.get_param_value("YEAR").c_str()) : 2005;
            if (year < 2003 || year > 2005) year = 2005;
            const std::string print = year == 2003   ? "/webtax/incomefp/Year_2003/income/e1/e1_print_mm.jsp"
                                      : year == 2004 ? "/webtax/incomefp/Year_2004/income/e1/e1_print_mm_2004.jsp"
                                                     : "/webtax/incomefp/Year_2005/income/e1/e1_print_frames_mm_2005.jsp";
            Html(res, YearMenuPage(options_, Menu(), year, {2003, 2004, 2005},
                                   "location.href='/webtax/incomefp/year2005-income-menu.do?YEAR=' + this.value", "PBE1_PRINT", print));
            return;
        }
        if (menuYear < 2006 || menuYear > 2020) {
            res.status = 404;
            return;
        }
        if (req.get_param_value("print") == "e1" && menuYear <= 2013) {
            ServeReturn(res, *session, menuYear);
            return;
        }
        std::vector<int> years;
        for (int y = 2020; y >= 2006; --y) years.push_back(y);
        const std::string list = "location.href='/webtax/incomefp/year' + this.value + '-income-menu.do'";
        if (menuYear <= 2013)
            Html(res, YearMenuPage(options_, Menu(), menuYear, years, list, "PBE1_PRINT",
                                   "/webtax/incomefp/year" + std::to_string(menuYear) + "-income-menu.do?print=e1"));
        else
            Html(res, YearMenuPage(options_, Menu(), menuYear, years, list, "PB_EKKATH_PDF",
                                   faults_.noReport ? "" : "/reports/rwservlet?report=e1&year=" + std::to_string(menuYear)));
    });
    server.Get("/webtax/incomefp/Year_2003/income/e1/e1_print_mm.jsp", [this](const httplib::Request& req, httplib::Response& res) {
        if (auto session = Require(req, res)) ServeReturn(res, *session, 2003);
    });
    server.Get("/webtax/incomefp/Year_2004/income/e1/e1_print_mm_2004.jsp", [this](const httplib::Request& req, httplib::Response& res) {
        if (auto session = Require(req, res)) ServeReturn(res, *session, 2004);
    });
    server.Get("/webtax/incomefp/Year_2005/income/e1/e1_print_frames_mm_2005.jsp", [this](const httplib::Request& req, httplib::Response& res) {
        if (!Require(req, res)) return;
        res.set_header("Cache-Control", "no-store");
        res.set_content(ReturnFramesPage("e1_print_part_2005.jsp?part=1", "e1_print_part_2005.jsp?part=2"), "text/html; charset=utf-8");
    });
    server.Get("/webtax/incomefp/Year_2005/income/e1/e1_print_part_2005.jsp", [this](const httplib::Request& req, httplib::Response& res) {
        if (auto session = Require(req, res))
            ReturnHtml(res, ReturnPartPage(ReturnOptionsOf(2005), ReturnOf(*session, 2005),
                                           req.get_param_value("part") == "2" ? 2 : 1, ShownTaxNumber(*session, 2005), ReturnLayout()));
    });
    server.Get("/reports/rwservlet", [this](const httplib::Request& req, httplib::Response& res) {
        const auto session = Require(req, res);
        if (!session) return;
        const int year = std::atoi(req.get_param_value("year").c_str());
        const int delayMs = LateMs(year) > 0 ? LateMs(year) : faults_.reportDelayMs;
        if (delayMs > 0) std::this_thread::sleep_for(std::chrono::milliseconds(delayMs));
        const std::string taxNumber = ShownTaxNumber(*session, year);
        const auto lines = ReportLines(taxNumber, !taxNumber.empty(), year, ReturnOf(*session, year),
                                       !faults_.unreadableReportYears.count(year));
        res.set_header("Cache-Control", "no-store");
        std::string pdf = WriteReportPdf(lines, faults_.reportOrder);
        if (faults_.hugeReport) pdf += "\n%" + std::string(21u * 1024 * 1024, 'x') + "\n";
        res.set_content(pdf, "application/pdf");
    });
    server.Get("/webtax/incomefp/logout.do", [this](const httplib::Request& req, httplib::Response& res) {
        {
            std::lock_guard lock(mutex_);
            sessions_.erase(Token(req));
        }
        switch (faults_.logoutTo) {
            case LogoutLanding::Login: res.set_redirect("https://" + login + "/mylogin/login.jsp"); break;
            case LogoutLanding::AltLogin: res.set_redirect("https://" + altLogin + "/mylogin/pages/login.jsp"); break;
            case LogoutLanding::Home: res.set_redirect("/taxisnet/mytaxisnet/protected/home.htm"); break;
        }
    });
    server.Get("/taxisnet/mytaxisnet/protected/home.htm",
               [this](const httplib::Request&, httplib::Response& res) { Html(res, HomePage(options_)); });
}

struct Switches {
    std::string folder;
    Faults faults;
    PageOptions options;
    MenuOptions menu;
};

// The switches; nullopt after --help, --version or bad usage, with the exit status in `status`.
std::optional<Switches> Parse(int argc, char** argv, int& status) {
    Switches switches;
    std::string& folder = switches.folder;
    Faults& faults = switches.faults;
    PageOptions& options = switches.options;
    std::string logoutTo = "login";
    std::string reportOrder = "plain";
    std::vector<int> lateYears;  // year, milliseconds, year, ...
    std::vector<int> noReturnYears, reportWithoutTaxNumberYears, unreadableReportYears;
    std::string printOpens = "window", taxNumberShown = "field";

    CLI::App app("A stand-in for the tax portal on loopback, for the tests and for trying the program. "
                 "Its first line names the application, login and second login hosts (127.0.0.1:PORT).",
                 "skartina-portal-sim");
    app.set_version_flag("--version", VersionLine("skartina-portal-sim"));
    app.add_option("--data", folder, "the data folder: accounts.txt and AFM/YEAR.txt")->required()->type_name("DIR");
    app.add_option("--delay", options.delayMs, "every page shows its content only after MS")->type_name("MS");
    app.add_option("--delay-print", faults.printDelayMs, "the return page only")->type_name("MS");
    app.add_option("--delay-report", faults.reportDelayMs, "the report only")->type_name("MS");
    app.add_flag("--no-login-button", faults.noLoginButton, "the login page lacks its button");
    app.add_flag("--no-pbin", faults.noProceedButton, "the client-choice page lacks its button");
    app.add_flag("--no-report", faults.noReport, "the year menus from 2014 have no report");
    app.add_flag("--huge-report", faults.hugeReport, "the reports are larger than any yearly report may be");
    app.add_flag("--report-without-afm", faults.reportWithoutTaxNumber, "the reports leave out the tax number");
    std::vector<std::string> orders;
    for (ReportOrder order : kReportOrders) orders.emplace_back(ReportOrderName(order));
    app.add_option("--report-order", reportOrder,
                   "the order the reports' text is drawn in, the pages looking the same: plain (row by row), codes-first "
                   "(the codes, then the amounts), bottom-up (the last row first), columns (the first word of every "
                   "row, then the second, ...), right-to-left (column by column from the right)")
        ->check(CLI::IsMember(orders))
        ->type_name("ORDER");
    app.add_flag("--no-year-list", faults.noYearList, "the year menus lack \"YEAR\"");
    app.add_flag("--no-print-button", faults.noPrintButton, "the year menus lack their print button");
    app.add_option("--refuse-client", faults.refusedClient, "the client choice refuses that tax number")->type_name("AFM");
    app.add_option("--login-log", faults.loginLog, "appends the user name of every login that goes through")->type_name("FILE");
    app.add_option("--session-log", faults.sessionLog,
                   "appends a line for every request: the user whose session its cookie names (- for none), the "
                   "method and the path")
        ->type_name("FILE");
    app.add_option("--logout-to", logoutTo, "where the logout lands (login by default)")
        ->check(CLI::IsMember({"login", "alt-login", "home"}));
    app.add_option("--no-return-in", noReturnYears, "no return on the portal for the year (may be repeated)")
        ->type_name("YEAR")
        ->allow_extra_args(false);
    app.add_option("--report-without-afm-in", reportWithoutTaxNumberYears, "the year's report leaves out the tax number (may be repeated)")
        ->type_name("YEAR")
        ->allow_extra_args(false);
    app.add_option("--unreadable-report-in", unreadableReportYears,
                   "the year's report prints its amounts in a layout the program does not read (may be repeated)")
        ->type_name("YEAR")
        ->allow_extra_args(false);
    app.add_option("--late-in", lateYears, "the year's return page or report comes MS late (may be repeated)")
        ->type_name("YEAR MS")
        ->type_size(2)
        ->allow_extra_args(false);
    app.add_option("--print-opens", printOpens, "how a print button opens its window (window by default)")
        ->check(CLI::IsMember({"window", "noopener", "link", "form"}));
    app.add_option("--stream-return", faults.streamMs, "a return page arrives in two parts, its first field first, MS apart")
        ->type_name("MS");
    app.add_option("--alert", switches.menu.alert, "every year menu shows the text in a dialog as it loads")->type_name("TEXT");
    app.add_option("--confirm", switches.menu.confirm, "every year menu asks the text in a dialog as it loads")->type_name("TEXT");
    app.add_flag("--beforeunload", switches.menu.beforeUnload, "every year menu asks before it is left");
    app.add_option("--return-alert", faults.returnLayout.alert, "every return page shows the text in a dialog as it loads")
        ->type_name("TEXT");
    app.add_option("--expire-after", faults.expireAfter, "a session ends after N pages (its next page is the login)")
        ->type_name("N");
    app.add_flag("--login-error-page", faults.loginErrorPage, "a refused login is answered by an error page");
    app.add_option("--afm-as", taxNumberShown, "how a return shows the tax number (field by default)")
        ->check(CLI::IsMember({"field", "text", "boxes"}));
    app.add_flag("--menu-widgets", faults.menuWidgets, "the year menus carry two frames of widgets, one of another origin");
    app.add_flag("--return-widgets", faults.returnWidgets, "the return pages carry the same frames of widgets");
    app.add_flag("--refuse-headless", faults.refuseHeadless, "pages are refused to a browser that calls itself headless");
    try {
        app.parse(argc, argv);
    } catch (const CLI::Success& done) {  // --help, --version
        status = app.exit(done);
        return std::nullopt;
    } catch (const CLI::ParseError& error) {
        app.exit(error);
        status = 2;
        return std::nullopt;
    }
    faults.returnLayout.markerFirst = faults.streamMs > 0;
    faults.returnLayout.taxNumberShown = taxNumberShown == "text" ? TaxNumberShown::Text : taxNumberShown == "boxes" ? TaxNumberShown::Boxes : TaxNumberShown::Field;
    switches.menu.printOpens = printOpens == "noopener" ? PrintOpens::NoOpener
                          : printOpens == "link"   ? PrintOpens::Link
                          : printOpens == "form"   ? PrintOpens::Form
                                                   : PrintOpens::Window;
    faults.logoutTo = logoutTo == "home" ? LogoutLanding::Home : logoutTo == "alt-login" ? LogoutLanding::AltLogin : LogoutLanding::Login;
    faults.reportOrder = *ReportOrderNamed(reportOrder);
    faults.noReturnYears.insert(noReturnYears.begin(), noReturnYears.end());
    faults.reportWithoutTaxNumberYears.insert(reportWithoutTaxNumberYears.begin(), reportWithoutTaxNumberYears.end());
    faults.unreadableReportYears.insert(unreadableReportYears.begin(), unreadableReportYears.end());
    for (size_t i = 0; i + 1 < lateYears.size(); i += 2) faults.lateYears[lateYears[i]] = lateYears[i + 1];
    return switches;
}

int Run(int argc, char** argv) {
    int status = 0;
    const auto parsed = Parse(argc, argv, status);
    if (!parsed) return status;
    const auto& [folder, faults, options, menu] = *parsed;

    // Stop on SIGTERM or SIGINT; blocked here so that the server threads never take them.
    sigset_t stopSignals;
    sigemptyset(&stopSignals);
    sigaddset(&stopSignals, SIGTERM);
    sigaddset(&stopSignals, SIGINT);
    pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr);

    Portal portal(SimData(folder), faults, options, menu);
    const Certificate certificate = MakeLoopbackCertificate();
    httplib::SSLServer appServer(certificate.cert.get(), certificate.key.get());
    httplib::SSLServer loginServer(certificate.cert.get(), certificate.key.get());
    httplib::SSLServer altServer(certificate.cert.get(), certificate.key.get());
    httplib::SSLServer* servers[] = {&appServer, &loginServer, &altServer};
    std::string* hosts[] = {&portal.app, &portal.login, &portal.altLogin};
    for (int i = 0; i < 3; ++i) {
        if (!servers[i]->is_valid()) throw std::runtime_error("the HTTPS server could not be set up");
        // An answer goes out as headers and body in two writes: without this the
        // body waits for the acknowledgement of the headers (about 40 ms).
        servers[i]->set_tcp_nodelay(true);
        // The program tells the hosts apart by substring ("127.0.0.1:443" is in
        // "127.0.0.1:4433"): a port whose host text holds another's, or is held
        // by one, is given up for the next free one.
        for (int attempt = 0;; ++attempt) {
            const int port = servers[i]->bind_to_any_port("127.0.0.1");
            if (port <= 0) throw std::runtime_error("no loopback port to listen on");
            const std::string host = "127.0.0.1:" + std::to_string(port);
            const bool clashes = std::any_of(hosts, hosts + i, [&](const std::string* other) {
                return other->find(host) != std::string::npos || host.find(*other) != std::string::npos;
            });
            if (!clashes) {
                *hosts[i] = host;
                break;
            }
            if (attempt == 100) throw std::runtime_error("no loopback ports that tell the hosts apart");
            // The clashing socket stays open until the end, so the next bind takes another port.
        }
    }
    portal.ServeApp(appServer);
    portal.ServeLogin(loginServer);
    portal.ServeLogin(altServer);
    if (!faults.sessionLog.empty())
        for (httplib::SSLServer* server : servers)
            server->set_logger([&portal](const httplib::Request& req, const httplib::Response&) { portal.LogRequest(req); });
    for (httplib::SSLServer* server : servers)
        server->set_pre_routing_handler([&faults](const httplib::Request& req, httplib::Response& res) {
            // A page sent in parts reaches the browser part by part only when it
            // is not compressed: a compressor holds its first part back to the end.
            if (faults.streamMs > 0) const_cast<httplib::Request&>(req).headers.erase("Accept-Encoding");
            if (!faults.refuseHeadless || req.get_header_value("User-Agent").find("HeadlessChrome") == std::string::npos)
                return httplib::Server::HandlerResponse::Unhandled;
            res.status = 403;
            res.set_content("<!DOCTYPE html><html><head><title>403</title></head><body>Forbidden</body></html>", "text/html");
            return httplib::Server::HandlerResponse::Handled;
        });

    std::vector<std::thread> threads;
    for (httplib::SSLServer* server : servers) threads.emplace_back([server] { server->listen_after_bind(); });
    std::cout << portal.app << ' ' << portal.login << ' ' << portal.altLogin << std::endl;

    int signal = 0;
    sigwait(&stopSignals, &signal);
    for (httplib::SSLServer* server : servers) server->stop();
    for (std::thread& thread : threads) thread.join();
    return 0;
}

}  // namespace
}  // namespace skartina::sim

int main(int argc, char** argv) {
    try {
        return skartina::sim::Run(argc, argv);
    } catch (const std::exception& error) {
        std::cerr << "skartina-portal-sim: " << error.what() << '\n';
        return 1;
    }
}
