// SPDX-License-Identifier: GPL-3.0-or-later
#include "browser/DevToolsAnswers.h"

#include <openssl/evp.h>

#include <limits>

namespace skartina::devtools {
namespace {

using nlohmann::json;

[[noreturn]] void Unexpected(std::string_view what) {
    throw BrowserError("the browser's answer is malformed: " + std::string(what));
}

}  // namespace

const json& Member(const json& object, std::string_view key, std::string_view what) {
    if (!object.is_object()) Unexpected(what);
    const auto found = object.find(key);
    if (found == object.end()) Unexpected(what);
    return *found;
}

std::string Text(const json& object, std::string_view key) {
    if (!object.is_object()) return {};
    const auto found = object.find(key);
    return found != object.end() && found->is_string() ? found->get<std::string>() : std::string();
}

std::optional<TargetInfo> TargetOf(const json& info) {
    TargetInfo target{Text(info, "targetId"), Text(info, "type"), Text(info, "url"), Text(info, "title"),
                      Text(info, "openerId"), Text(info, "browserContextId")};
    if (target.id.empty()) return std::nullopt;
    return target;
}

std::vector<TargetInfo> TargetsOf(const json& result) {
    const json& infos = Member(result, "targetInfos", "no target list");
    if (!infos.is_array()) Unexpected("no target list");
    std::vector<TargetInfo> targets;
    for (const json& info : infos)
        if (auto target = TargetOf(info)) targets.push_back(std::move(*target));
    return targets;
}

std::string SessionIdOf(const json& result) {
    std::string session = Text(result, "sessionId");
    if (session.empty()) Unexpected("no session");
    return session;
}

int WindowIdOf(const json& result) { return IntOf(Member(result, "windowId", "no window")); }

json EvaluatedValue(const json& result) {
    if (result.is_object() && result.contains("exceptionDetails")) {
        const json& details = result["exceptionDetails"];
        std::string text = Text(details, "text");
        if (details.is_object() && details.contains("exception")) {
            if (std::string description = Text(details["exception"], "description"); !description.empty())
                text = std::move(description);
        }
        if (text.empty()) text = "the page's script failed";
        throw BrowserError(text.substr(0, text.find('\n')));
    }
    const json& value = Member(result, "result", "no script result");
    if (!value.is_object()) Unexpected("no script result");
    const auto found = value.find("value");
    return found == value.end() ? json() : *found;
}

int IntOf(const json& value) {
    if (!value.is_number_integer()) Unexpected("a number was expected");
    const long long number = value.get<long long>();
    if (value.is_number_unsigned() && value.get<unsigned long long>() > static_cast<unsigned long long>(std::numeric_limits<int>::max()))
        Unexpected("a number out of range");
    if (number < std::numeric_limits<int>::min() || number > std::numeric_limits<int>::max())
        Unexpected("a number out of range");
    return static_cast<int>(number);
}

bool BoolOf(const json& value) {
    if (!value.is_boolean()) Unexpected("true or false was expected");
    return value.get<bool>();
}

std::string StringOf(const json& value) {
    if (!value.is_string()) Unexpected("a text was expected");
    return value.get<std::string>();
}

std::optional<std::string> OptionalStringOf(const json& value) {
    if (value.is_null()) return std::nullopt;
    return StringOf(value);
}

std::vector<std::string> StringsOf(const json& value) {
    if (!value.is_array()) Unexpected("a list was expected");
    std::vector<std::string> texts;
    for (const json& item : value) texts.push_back(StringOf(item));
    return texts;
}

ElementRef FoundElement(const DocumentRef& document, int frame, const json& found) {
    if (!found.is_array() || found.size() < 2) Unexpected("an element was expected");
    return {document.window, frame, IntOf(found[0]), StringOf(found[1])};
}

std::pair<int, std::optional<ElementRef>> TopSearchOf(const DocumentRef& document, const json& answer) {
    if (!answer.is_array() || answer.size() < 2) Unexpected("a search result was expected");
    std::optional<ElementRef> element;
    if (!answer[1].is_null()) element = FoundElement(document, -1, answer[1]);
    return {IntOf(answer[0]), element};
}

std::vector<ElementFields> ElementsOf(const DocumentRef& document, int frame, const json& walked) {
    if (!walked.is_array() || walked.size() < 2 || !walked[1].is_array()) Unexpected("a document's elements were expected");
    const std::string identity = StringOf(walked[0]);
    std::vector<ElementFields> fields;
    int index = 0;
    for (const json& row : walked[1]) {
        if (!row.is_array() || row.size() < 5) Unexpected("an element's fields were expected");
        fields.push_back({{document.window, frame, index++, identity},
                          StringOf(row[0]),
                          StringOf(row[1]),
                          StringOf(row[2]),
                          StringOf(row[3]),
                          BoolOf(row[4])});
    }
    return fields;
}

std::string ReportBytesOf(const json& value, std::size_t maxBytes) {
    const std::string text = StringOf(value);
    // Four characters for every three bytes: what decodes beyond the bound is not decoded.
    if (text.size() / 4 > maxBytes / 3 + 1) throw BrowserError(kReportTooLargeMessage);
    if (text.size() % 4 != 0) throw BrowserError("the page returned its bytes garbled");
    std::string bytes(text.size() / 4 * 3, '\0');
    const int length = EVP_DecodeBlock(reinterpret_cast<unsigned char*>(bytes.data()),
                                       reinterpret_cast<const unsigned char*>(text.data()), static_cast<int>(text.size()));
    if (length < 0) throw BrowserError("the page returned its bytes garbled");
    // The decoder counts the padding as bytes.
    size_t padding = 0;
    for (size_t i = text.size(); i > 0 && text[i - 1] == '=' && padding < 2; --i) ++padding;
    if (static_cast<size_t>(length) < padding) throw BrowserError("the page returned its bytes garbled");
    bytes.resize(static_cast<size_t>(length) - padding);
    if (bytes.size() > maxBytes) throw BrowserError(kReportTooLargeMessage);
    return bytes;
}

}  // namespace skartina::devtools
