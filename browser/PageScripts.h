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
inline constexpr const char* kClick = SKARTINA_ELEMENT "el.click();";
inline constexpr const char* kChecked = SKARTINA_ELEMENT "return el.checked === true;";
inline constexpr const char* kAttribute = SKARTINA_ELEMENT "return el.getAttribute(arguments[3]);";
inline constexpr const char* kId = SKARTINA_ELEMENT "return el.id || '';";
inline constexpr const char* kSetSelectedIndex = SKARTINA_ELEMENT "el.selectedIndex = arguments[3];";
inline constexpr const char* kFireChange = SKARTINA_ELEMENT "el.dispatchEvent(new Event('change', {bubbles: true}));";
inline constexpr const char* kOptionTexts = SKARTINA_ELEMENT "return Array.from(el.options || [], o => o.text);";

// The bytes of the document the window shows (a report's PDF), fetched again
// with the window's cookies, as base64. Asynchronous: the caller awaits it.
// At most arguments[0] bytes, within arguments[1] ms: beyond either the answer
// is {tooLarge: size} or {timedOut: ms}, and no more is read.
inline constexpr const char* kFetchDocumentBytes =
    "const maxBytes = arguments[0], maxMs = arguments[1];"
    "return (async () => {"
    "  const abort = new AbortController();"
    "  const timer = setTimeout(() => abort.abort(), maxMs);"
    "  try {"
    "    const response = await fetch(location.href, {credentials: 'include', signal: abort.signal});"
    "    if (!response.ok) throw new Error('the document could not be fetched again: HTTP ' + response.status);"
    "    const declared = Number(response.headers.get('content-length'));"
    "    if (declared > maxBytes) { abort.abort(); return {tooLarge: declared}; }"
    "    const reader = response.body.getReader();"
    "    const parts = [];"
    "    let size = 0;"
    "    for (;;) {"
    "      const {done, value} = await reader.read();"
    "      if (done) break;"
    "      size += value.length;"
    "      if (size > maxBytes) { abort.abort(); return {tooLarge: size}; }"
    "      parts.push(value);"
    "    }"
    "    let text = '';"
    "    for (const part of parts)"
    "      for (let i = 0; i < part.length; i += 0x8000) text += String.fromCharCode.apply(null, part.subarray(i, i + 0x8000));"
    "    return btoa(text);"
    "  } catch (error) {"
    "    if (abort.signal.aborted) return {timedOut: maxMs};"
    "    throw error;"
    "  } finally {"
    "    clearTimeout(timer);"
    "  }"
    "})();";

#undef SKARTINA_ELEMENT
#undef SKARTINA_DOCUMENT

}  // namespace skartina::scripts
