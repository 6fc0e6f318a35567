// SPDX-License-Identifier: GPL-3.0-or-later
#include "portal/E1PageReader.h"

#include "e1/ReportText.h"
#include "registry/AfmCheck.h"

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

bool FieldsNameAfm(const std::vector<ElementFields>& fields, const std::string& afm) {
    for (const ElementFields& field : fields)
        if (NamesAfm(field.value, afm)) return true;
    return false;
}

}  // namespace skartina
