// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The scripts that run in the portal's pages, written as function bodies that
// read their arguments from `arguments`. Each walks a whole document in one
// call: asking the browser once per element would make a poll over a long
// return take seconds.

namespace skartina::scripts {

// arguments[0] is the frame (-1: the top document). Every document gets an
// identity the first time it is walked, so that a found element can be told
// from one of a later page at the same position.
#define SKARTINA_DOCUMENT                                                                      \
    "const frame = arguments[0];"                                                             \
    "const d = frame < 0 ? document : window.frames[frame].document;"                          \
    "if (!d.__skartina) d.__skartina = Date.now().toString(36) + Math.random().toString(36).slice(2);"

// arguments[1..2] are the element's index and its document's identity.
#define SKARTINA_ELEMENT                                                                       \
    SKARTINA_DOCUMENT                                                                          \
    "if (d.__skartina !== arguments[2]) throw new Error('the page has changed since the element was found');" \
    "const el = d.all[arguments[1]];"                                                          \
    "if (!el) throw new Error('the element is gone');"

inline constexpr const char* kFrameCount = "return window.frames.length;";

// arguments[1]: the key, arguments[2]: 1 to match the name attribute, 2 the id.
inline constexpr const char* kSearch = SKARTINA_DOCUMENT
    "const key = arguments[1], byName = arguments[2] === 1, all = d.all;"
    "for (let i = 0; i < all.length; i++) {"
    "  const el = all[i];"
    "  if (byName ? el.getAttribute('name') === key : el.id === key) return [i, d.__skartina];"
    "}"
    "return null;";

// The same search of the top document, together with its frame count, so that
// a page without frames costs one call: [frames, [index, identity] or null].
inline constexpr const char* kSearchTop = SKARTINA_DOCUMENT
    "const key = arguments[1], byName = arguments[2] === 1, all = d.all;"
    "for (let i = 0; i < all.length; i++) {"
    "  const el = all[i];"
    "  if (byName ? el.getAttribute('name') === key : el.id === key) return [window.frames.length, [i, d.__skartina]];"
    "}"
    "return [window.frames.length, null];";

// Name, type, value, id and ticked of every element; the properties stand for
// type and value where the element has them (a typed-in value, "checkbox" in
// any letter case).
inline constexpr const char* kElements = SKARTINA_DOCUMENT
    "const all = d.all, out = [];"
    "for (let i = 0; i < all.length; i++) {"
    "  const el = all[i];"
    "  const type = typeof el.type === 'string' ? el.type : (el.getAttribute('type') || '');"
    "  const value = typeof el.value === 'string' ? el.value : (el.getAttribute('value') || '');"
    "  out.push([el.getAttribute('name') || '', type, value, el.id || '', el.checked === true]);"
    "}"
    "return [d.__skartina, out];";

inline constexpr const char* kSetValue = SKARTINA_ELEMENT "el.value = arguments[3];";
// The click runs once the call has returned: a script it starts (a window
// opened, a page replaced) is not waited for.
inline constexpr const char* kClick = SKARTINA_ELEMENT "setTimeout(() => el.click(), 0);";
inline constexpr const char* kChecked = SKARTINA_ELEMENT "return el.checked === true;";
inline constexpr const char* kAttribute = SKARTINA_ELEMENT "return el.getAttribute(arguments[3]);";
inline constexpr const char* kId = SKARTINA_ELEMENT "return el.id || '';";
inline constexpr const char* kSetSelectedIndex = SKARTINA_ELEMENT "el.selectedIndex = arguments[3];";
inline constexpr const char* kFireChange = SKARTINA_ELEMENT "el.dispatchEvent(new Event('change', {bubbles: true}));";
inline constexpr const char* kOptionTexts = SKARTINA_ELEMENT "return Array.from(el.options || [], o => o.text);";

// The page's HTML with the value of every input field taken out: what a
// developer needs to see of the page, without what was typed into it.
inline constexpr const char* kPageWithoutValues =
    "const copy = document.documentElement.cloneNode(true);"
    "for (const el of copy.querySelectorAll('input, textarea')) {"
    "  el.removeAttribute('value');"
    "  if (el.tagName === 'TEXTAREA') el.textContent = '';"
    "}"
    "return '<!DOCTYPE html>\\n' + copy.outerHTML;";

// The browser's code for a page it could not load ("ERR_CONNECTION_REFUSED"), from its error page.
inline constexpr const char* kErrorCode =
    "const code = document.querySelector('.error-code');"
    "return code ? code.textContent.trim() : '';";

#undef SKARTINA_ELEMENT
#undef SKARTINA_DOCUMENT

}  // namespace skartina::scripts
