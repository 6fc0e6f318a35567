// SPDX-License-Identifier: GPL-3.0-or-later
#include "portal/E1PageReader.h"

#include "e1/ReportText.h"
#include "registry/TaxNumberCheck.h"

#include <charconv>

namespace skartina {

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

namespace {

// The length of a blank inside a line at the text's position: a space, a tab
// (between the cells of a row) or a no-break space; 0 for none.
size_t BlankAt(const std::string& text, size_t at) {
    const unsigned char c = static_cast<unsigned char>(text[at]);
    if (c == ' ' || c == '\t') return 1;
    if (c == 0xC2 && at + 1 < text.size() && static_cast<unsigned char>(text[at + 1]) == 0xA0) return 2;
    return 0;
}

bool IsDigitAt(const std::string& text, size_t at) { return at < text.size() && text[at] >= '0' && text[at] <= '9'; }

}  // namespace

bool PageTextNamesTaxNumber(const std::string& text, const std::string& taxNumber) {
    if (NamesTaxNumber(text, taxNumber)) return true;
    if (taxNumber.size() != 9 || taxNumber.find_first_not_of("0123456789") != std::string::npos) return false;
    // Digits in boxes: a run of digit groups that only blanks of one line
    // separate, which together are the tax number and nothing more.
    size_t at = 0;
    while (at < text.size()) {
        if (!IsDigitAt(text, at)) {
            ++at;
            continue;
        }
        std::string joined;
        for (;;) {
            while (IsDigitAt(text, at)) joined += text[at++];
            size_t next = at;
            while (next < text.size())
                if (const size_t blank = BlankAt(text, next)) next += blank;
                else break;
            if (next == at || !IsDigitAt(text, next)) break;
            at = next;
        }
        if (joined == taxNumber) return true;
    }
    return false;
}

bool FieldsNameTaxNumber(const std::vector<ElementFields>& fields, const std::string& taxNumber) {
    for (const ElementFields& field : fields)
        if (NamesTaxNumber(field.value, taxNumber)) return true;
    return false;
}

}  // namespace skartina
