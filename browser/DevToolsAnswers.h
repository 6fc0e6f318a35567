// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Reading what the browser answers: its DevTools messages and what the page
// scripts return. Every reader checks what it reads; a missing field or one of
// another type is a BrowserError (an error of the retrieval), never an
// exception of the JSON library.

#include "portal/Browser.h"

#include <nlohmann/json.hpp>

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace skartina::devtools {

// The largest yearly report read (one is well under a megabyte).
inline constexpr std::size_t kMaxReportBytes = 20u * 1024 * 1024;

inline const std::string kReportTooLargeMessage =
    "Η αναφορά της Α.Α.Δ.Ε. είναι μεγαλύτερη από 20 MB και δεν διαβάστηκε.";

// A field of an object; throws BrowserError naming `what` when there is none.
const nlohmann::json& Member(const nlohmann::json& object, std::string_view key, std::string_view what);
// A text field, or empty when it is missing or not text.
std::string Text(const nlohmann::json& object, std::string_view key);

struct TargetInfo {
    std::string id, type, url, title;
    std::string opener;  // the target that opened it (a pop-up's page); empty: none
    std::string context;  // the browser context it belongs to
};

// A target's description (of an event or of the target list); nothing when it is not one.
std::optional<TargetInfo> TargetOf(const nlohmann::json& info);
// The targets of Target.getTargets' result; the entries that are not targets are left out.
std::vector<TargetInfo> TargetsOf(const nlohmann::json& result);
// Target.attachToTarget's session.
std::string SessionIdOf(const nlohmann::json& result);
// Browser.getWindowForTarget's window.
int WindowIdOf(const nlohmann::json& result);
// Runtime.evaluate's value; throws BrowserError with the page's first line when its script failed.
nlohmann::json EvaluatedValue(const nlohmann::json& result);

// What page scripts return.
int IntOf(const nlohmann::json& value);
bool BoolOf(const nlohmann::json& value);
std::string StringOf(const nlohmann::json& value);
std::optional<std::string> OptionalStringOf(const nlohmann::json& value);
std::vector<std::string> StringsOf(const nlohmann::json& value);
// [index, document identity] of a found element.
ElementRef FoundElement(const DocumentRef& document, int frame, const nlohmann::json& found);
// [frame count, found element or null] of the search of a top document.
std::pair<int, std::optional<ElementRef>> TopSearchOf(const DocumentRef& document, const nlohmann::json& answer);
// [identity, rows of name, type, value, id, checked] of a document's walk.
std::vector<ElementFields> ElementsOf(const DocumentRef& document, int frame, const nlohmann::json& walked);

// The bytes of a base64 text the browser sent (a report's body, a
// screenshot). Throws BrowserError: garbled, or kReportTooLargeMessage for
// more than maxBytes, which are never decoded.
std::string ReportBytesOf(const nlohmann::json& value, std::size_t maxBytes = kMaxReportBytes);

}  // namespace skartina::devtools
