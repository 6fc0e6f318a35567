// SPDX-License-Identifier: GPL-3.0-or-later
#include "tools/portal-sim/SimPages.h"

#include "sheet/Amount.h"

#include <cstdio>

namespace skartina::sim {
namespace {

std::string Escape(const std::string& text) {
    std::string out;
    for (char c : text) {
        switch (c) {
            case '&': out += "&amp;"; break;
            case '<': out += "&lt;"; break;
            case '>': out += "&gt;"; break;
            case '"': out += "&quot;"; break;
            default: out += c;
        }
    }
    return out;
}

std::string Code3(int code) {
    char text[8];
    std::snprintf(text, sizeof text, "%03d", code);
    return text;
}

// A late page keeps its content in a template until the delay has passed.
std::string Page(const std::string& title, const std::string& body, const PageOptions& options) {
    std::string html = "<!DOCTYPE html><html><head><meta charset=\"utf-8\"><title>" + Escape(title) + "</title></head><body>";
    if (options.delayMs <= 0) return html + body + "</body></html>";
    return html + "<template id=\"later\">" + body + "</template><script>setTimeout(function () {" +
           "document.body.appendChild(document.getElementById('later').content.cloneNode(true));}, " +
           std::to_string(options.delayMs) + ");</script></body></html>";
}

// The row of a code's field; empty for a code without an amount (but "n901").
std::string CodeRow(const E1CodeTable& e1, int code) {
    const double amount = e1[code];
    const std::string name = "n" + Code3(code);
    if (IsYesNoCode(code))
        return "<tr><td>" + Code3(code) + "</td><td><input type=\"checkbox\" name=\"" + name + "\"" +
               (amount == 1 ? " checked" : "") + "></td></tr>";
    if (amount != 0 || code == 901)
        return "<tr><td>" + Code3(code) + "</td><td><input type=\"text\" name=\"" + name + "\" value=\"" +
               (amount != 0 ? Escape(FormatAmount(amount)) : "") + "\"></td></tr>";
    return {};
}

std::string TaxNumberRow(const std::string& taxNumber, TaxNumberShown shown) {
    switch (shown) {
        case TaxNumberShown::Field:
            return "<tr><td>Α.Φ.Μ.</td><td><input type=\"text\" name=\"AFM\" readonly value=\"" + Escape(taxNumber) + "\"></td></tr>";
        case TaxNumberShown::Text: return "<tr><td>Α.Φ.Μ.: " + Escape(taxNumber) + "</td></tr>";
        case TaxNumberShown::Boxes: {
            std::string row = "<tr><td>Α.Φ.Μ.</td>";
            for (char digit : taxNumber) row += "<td class=\"box\">" + std::string(1, digit) + "</td>";
            return row + "</tr>";
        }
    }
    return {};
}

// The frames of a chat (of the page's own origin) and of a counter (of the
// origin given), as portals carry them; none without an origin.
std::string WidgetFrames(const std::string& origin) {
    if (origin.empty()) return {};
    return "<iframe name=\"chat\" src=\"/widgets/chat.html\"></iframe><iframe name=\"counter\" src=\"" + Escape(origin) +
           "/widgets/counter.html\"></iframe>";
}

// A script that shows the text in a dialog as the page loads; nothing for no text.
std::string DialogScript(const char* kind, const std::string& text) {
    return text.empty() ? std::string() : "<script>" + std::string(kind) + "(\"" + Escape(text) + "\");</script>";
}

// The fields of the codes in [first, last], with names a reader must pass over
// before them, and "n901" (empty when the return has no amount there) among
// them, or first of all, before the stream's cut.
std::string ReturnFields(const E1CodeTable& e1, int first, int last, bool withDecoys, const std::string& taxNumber,
                         const ReturnOptions& layout) {
    std::string form = WidgetFrames(layout.widgetsOrigin) + "<form name=\"E1\"><table>";
    const bool markerHere = first <= 901 && 901 <= last;
    if (layout.markerFirst && markerHere) form += CodeRow(e1, 901);
    if (layout.markerFirst) form += kStreamCut;
    if (!taxNumber.empty()) form += TaxNumberRow(taxNumber, layout.taxNumberShown);
    if (withDecoys) {
        form += "<tr><td><input type=\"text\" name=\"n1000\" value=\"5,00\"><input type=\"text\" name=\"n0\" value=\"3,00\">"
                "<input type=\"text\" name=\"nabc\" value=\"4,00\"><input type=\"text\" name=\"afm_text\" value=\"7,00\">"
                "<input type=\"text\" name=\"N301\" value=\"8,00\"><input type=\"text\" value=\"9,00\"></td></tr>";
    }
    for (int code = first; code <= last; ++code)
        if (!(layout.markerFirst && code == 901)) form += CodeRow(e1, code);
    return form + "</table></form>";
}

// What a print button is: a button whose script opens the address, a link or a form aimed at a new window.
std::string PrintControl(const std::string& name, const std::string& address, PrintOpens opens) {
    if (address.empty()) return "<input type=\"button\" name=\"" + name + "\" value=\"Εκτύπωση\">";
    switch (opens) {
        case PrintOpens::Window:
        case PrintOpens::NoOpener:
            return "<input type=\"button\" name=\"" + name + "\" value=\"Εκτύπωση\" onclick=\"window.open('" +
                   Escape(address) + "', '_blank'" + (opens == PrintOpens::NoOpener ? ", 'noopener'" : "") + ")\">";
        case PrintOpens::Link:
            return "<a name=\"" + name + "\" href=\"" + Escape(address) + "\" target=\"_blank\">Εκτύπωση</a>";
        case PrintOpens::Form: {
            // A form sends its fields as the query: the address's own query becomes hidden fields.
            const size_t query = address.find('?');
            std::string form = "<form method=\"get\" target=\"_blank\" action=\"" + Escape(address.substr(0, query)) + "\">";
            if (query != std::string::npos) {
                std::string rest = address.substr(query + 1);
                while (!rest.empty()) {
                    const std::string pair = rest.substr(0, rest.find('&'));
                    rest = pair.size() < rest.size() ? rest.substr(pair.size() + 1) : "";
                    const size_t equals = pair.find('=');
                    form += "<input type=\"hidden\" name=\"" + Escape(pair.substr(0, equals)) + "\" value=\"" +
                            Escape(equals == std::string::npos ? "" : pair.substr(equals + 1)) + "\">";
                }
            }
            return form + "<input type=\"submit\" name=\"" + name + "\" value=\"Εκτύπωση\"></form>";
        }
    }
    return {};
}

}  // namespace

bool IsYesNoCode(int code) { return code >= 1 && code <= 10; }

std::string LoginPage(const PageOptions& options, bool withLoginButton, const std::string& message) {
    std::string body = "<h1>Είσοδος</h1>";
    if (!message.empty()) body += "<p class=\"error\">" + Escape(message) + "</p>";
    body += "<form method=\"post\" action=\"/login\">"
            "<label>Χρήστης <input type=\"text\" id=\"username\" name=\"username\"></label>"
            "<label>Κωδικός <input type=\"password\" id=\"password\" name=\"password\"></label>";
    body += withLoginButton ? "<input type=\"submit\" name=\"btn_login\" value=\"Σύνδεση\">"
                            : "<input type=\"submit\" name=\"btn_enter\" value=\"Σύνδεση\">";
    return Page("LoginPage", body + "</form>", options);
}

std::string ApplicationPage(const PageOptions& options, const std::string& nextPath) {
    return Page("Φορολογία Εισοδήματος",
                "<a href=\"" + Escape(nextPath) + "\"><img name=\"Image17\" alt=\"Είσοδος στην εφαρμογή\" width=\"120\" height=\"30\" "
                "src=\"data:image/gif;base64,R0lGODlhAQABAAAAACw=\"></a>",
                options);
}

std::string ClientChoicePage(const PageOptions& options, bool withProceedButton, const std::string& message) {
    std::string body = message.empty() ? "" : "<p class=\"error\">" + Escape(message) + "</p>";
    body += "<form method=\"get\" action=\"/webtax/incomefp/client.do\">"
                       "<label>Α.Φ.Μ. φορολογούμενου <input type=\"text\" name=\"username\"></label>";
    if (withProceedButton) body += "<input type=\"submit\" name=\"PBIn\" value=\"Συνέχεια\">";
    return Page("Επιλογή φορολογούμενου", body + "</form>", options);
}

std::string StartPage(const PageOptions& options) {
    return Page("Φορολογία Εισοδήματος",
                "<form><select name=\"YEAR\" onchange=\"location.href='/webtax/incomefp/year2005-income-menu.do?YEAR=' + this.value\">"
                "<option value=\"\"></option><option value=\"2003\">2003</option><option value=\"2004\">2004</option>"
                "<option value=\"2005\">2005</option></select></form>",
                options);
}

std::string YearMenuPage(const PageOptions& options, const MenuOptions& menu, int year, const std::vector<int>& listYears,
                         const std::string& listTarget, const std::string& printButton, const std::string& printAddress) {
    std::string body = DialogScript("alert", menu.alert) + DialogScript("confirm", menu.confirm);
    if (menu.beforeUnload)
        body += "<script>window.addEventListener('beforeunload', function (e) { e.preventDefault(); "
                "e.returnValue = 'Θέλετε να φύγετε από τη σελίδα;'; });</script>";
    body += "<h1>Οικονομικό έτος " + std::to_string(year) + "</h1>";
    body += WidgetFrames(menu.widgetsOrigin);
    body += "<form>";
    if (menu.withYearList) {
        body += "<select name=\"YEAR\" onchange=\"" + Escape(listTarget) + "\">";
        for (int y : listYears)
            body += "<option value=\"" + std::to_string(y) + "\"" + (y == year ? " selected" : "") + ">" + std::to_string(y) + "</option>";
        body += "</select>";
    }
    body += "</form>";
    if (menu.withPrintButton) body += PrintControl(printButton, printAddress, menu.printOpens);
    return Page("Φορολογία Εισοδήματος " + std::to_string(year), body, options);
}

std::string ReturnPage(const PageOptions& options, const E1CodeTable& e1, const std::string& taxNumber, const ReturnOptions& layout) {
    return Page("ΥΠΟΒΟΛΗ ΑΡΧΙΚΗΣ ΔΗΛΩΣΗΣ", DialogScript("alert", layout.alert) + ReturnFields(e1, 1, 999, true, taxNumber, layout),
                options);
}

std::string ReturnFramesPage(const std::string& firstFrame, const std::string& secondFrame) {
    return "<!DOCTYPE html><html><head><meta charset=\"utf-8\"><title>ΥΠΟΒΟΛΗ ΑΡΧΙΚΗΣ ΔΗΛΩΣΗΣ</title></head>"
           "<frameset rows=\"50%,50%\"><frame name=\"first\" src=\"" + Escape(firstFrame) + "\">"
           "<frame name=\"second\" src=\"" + Escape(secondFrame) + "\"></frameset></html>";
}

std::string ReturnPartPage(const PageOptions& options, const E1CodeTable& e1, int part, const std::string& taxNumber,
                           const ReturnOptions& layout) {
    return Page("Ε1",
                part == 1 ? DialogScript("alert", layout.alert) + ReturnFields(e1, 1, 499, true, taxNumber, layout)
                          : ReturnFields(e1, 500, 999, false, {}, layout),
                options);
}

std::string LoginErrorPage(const PageOptions& options) {
    return Page("Σφάλμα", "<h1>Σφάλμα εισόδου</h1><p>Λανθασμένο όνομα χρήστη ή κωδικός πρόσβασης.</p><a href=\"/\">Επιστροφή</a>",
                options);
}

std::string WidgetPage(const std::string& name) {
    return "<!DOCTYPE html><html><head><meta charset=\"utf-8\"><title>" + Escape(name) + "</title></head><body><p>" +
           Escape(name) + "</p><input type=\"text\" name=\"message\"></body></html>";
}

std::string HomePage(const PageOptions& options) { return Page("myTAXISnet", "<h1>myTAXISnet</h1>", options); }

std::vector<std::string> ReportLines(const std::string& taxNumber, bool withTaxNumber, int year, const E1CodeTable& e1,
                                     bool readable) {
    std::vector<std::string> lines = {"ΕΚΚΑΘΑΡΙΣΤΙΚΟ ΣΗΜΕΙΩΜΑ ΟΙΚΟΝΟΜΙΚΟΥ ΕΤΟΥΣ " + std::to_string(year)};
    if (withTaxNumber) lines.push_back("Α.Φ.Μ. " + taxNumber);
    std::string line;
    int onLine = 0;
    for (int code = 1; code <= 999; ++code) {
        if (e1[code] == 0) continue;
        line += (onLine ? "   " : "") +
                (readable ? Code3(code) + ": " + FormatAmount(e1[code]) : "Κωδ. " + Code3(code) + " ποσό " + FormatAmount(e1[code]));
        if (++onLine == 3) {
            lines.push_back(line);
            line.clear();
            onLine = 0;
        }
    }
    if (onLine) lines.push_back(line);
    if (lines.size() == (withTaxNumber ? 2u : 1u)) lines.push_back("Δεν υπάρχει δήλωση για το έτος " + std::to_string(year) + ".");
    return lines;
}

}  // namespace skartina::sim
