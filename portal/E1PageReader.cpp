#include "portal/E1PageReader.h"

#include "e1/ReportText.h"
#include "registry/AfmCheck.h"

#include <charconv>

namespace skartina {

std::string E1PageAddress(const PortalHosts& hosts, const std::string& yearText) {
    if (yearText == "2003") return hosts.AppAddress("/webtax/incomefp/Year_2003/income/e1/e1_print_mm.jsp");
    if (yearText == "2004") return hosts.AppAddress("/webtax/incomefp/Year_2004/income/e1/e1_print_mm_2004.jsp");
    if (yearText == "2005") return hosts.AppAddress("/webtax/incomefp/Year_2005/income/e1/e1_print_frames_mm_2005.jsp");
    return hosts.AppAddress("/webtax/incomefp/year" + yearText + "-income-menu.do");
}

std::optional<int> FieldCode(const std::string& name) {
    if (name.empty() || name[0] != 'n') return std::nullopt;
    // A rest that is not a number stands for code 0, which is skipped.
    int code = 0;
    const char* first = name.data() + 1;
    const char* last = name.data() + name.size();
    const auto [end, error] = std::from_chars(first, last, code);
    if (error != std::errc() || end != last || first == last) return std::nullopt;
    if (code < 1 || code > 999) return std::nullopt;
    return code;
}

void StoreE1Fields(const std::vector<ElementFields>& fields, E1CodeTable& e1) {
    for (const ElementFields& field : fields) {
        const std::optional<int> code = FieldCode(field.name);
        if (!code) continue;
        if (field.type == "checkbox") {
            if (field.checked) e1.set(*code, 1);
        } else if (const std::optional<double> amount = ParsePortalAmount(field.value)) {
            e1.set(*code, *amount);
        }
    }
}

bool FieldsNameAfm(const std::vector<ElementFields>& fields, const std::string& afm) {
    for (const ElementFields& field : fields)
        if (NamesAfm(field.value, afm)) return true;
    return false;
}

std::optional<E1PageFound> ReadE1Page(Browser& browser, const PortalHosts& hosts, const std::string& yearText,
                                      const std::string& afm, E1CodeTable& e1) {
    const WindowFound page = browser.WaitForElement(E1PageAddress(hosts, yearText), "n901", MatchMode::Name);
    bool namesClient = false;
    if (page.found && browser.FindElementByName(page.document, "n901")) {
        const std::vector<ElementFields> fields = browser.SearchedElements(page.document);
        namesClient = FieldsNameAfm(fields, afm);
        if (namesClient) StoreE1Fields(fields, e1);
    }

    if (const auto window = browser.FindWindowByTitle(kReturnWindowTitle)) {
        browser.CloseWindow(*window);
    } else if (page.found) {
        if (const auto own = browser.FindWindowByTitle(browser.DocumentTitle(page.document)))
            browser.CloseWindow(*own);
    }
    if (!page.found) return std::nullopt;
    return E1PageFound{page.browser, namesClient};
}

}  // namespace skartina
