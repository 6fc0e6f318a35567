// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The scripts that run in the portal's pages, written as function bodies that
// read their arguments from `arguments`. Each walks a whole document in one
// call: asking the browser once per element would make a poll over a long
// return take seconds.

namespace skartina::scripts {

// arguments[0] is the frame (-1: the top document; below the top document's
// frame count, its frame; beyond, the nested frames level by level). Every
// document gets an identity the first time it is walked, so that a found
// element can be told from one of a later page at the same position. A frame
// of another origin has no document to read (d is null).
#define SKARTINA_FRAMES                                                                        \
    "function skartinaFrames() {"                                                              \
    "  const out = [], queue = [];"                                                            \
    "  for (let i = 0; i < window.frames.length; i++) queue.push(window.frames[i]);"            \
    "  while (queue.length) {"                                                                 \
    "    const w = queue.shift(); out.push(w);"                                                 \
    "    for (let i = 0; i < w.length; i++) queue.push(w[i]);"                                  \
    "  }"                                                                                      \
    "  return out;"                                                                            \
    "}"                                                                                        \
    "function skartinaDocumentOf(w) { try { return w.document; } catch (e) { return null; } }"

#define SKARTINA_DOCUMENT                                                                      \
    SKARTINA_FRAMES                                                                            \
    "const frame = arguments[0];"                                                             \
    "const d = frame < 0 ? document : frame < window.frames.length ? skartinaDocumentOf(window.frames[frame])" \
    "        : skartinaDocumentOf(skartinaFrames()[frame] || {});"                              \
    "if (d && !d.__skartina) d.__skartina = Date.now().toString(36) + Math.random().toString(36).slice(2);"

// arguments[1..2] are the element's index and its document's identity.
#define SKARTINA_ELEMENT                                                                       \
    SKARTINA_DOCUMENT                                                                          \
    "if (!d || d.__skartina !== arguments[2]) throw new Error('the page has changed since the element was found');" \
    "const el = d.all[arguments[1]];"                                                          \
    "if (!el) throw new Error('the element is gone');"

inline constexpr const char* kFrameCount = "return window.frames.length;";
inline constexpr const char* kAllFrameCount = SKARTINA_FRAMES "return skartinaFrames().length;";

// Whether the page and every frame of it, at any depth, have finished
// loading; a frame still on its first empty page while its address is
// another is loading too. A frame of another origin cannot be looked into and
// is not read either.
inline constexpr const char* kComplete = SKARTINA_FRAMES
    "if (document.readyState !== 'complete') return false;"
    "for (const w of skartinaFrames()) {"
    "  const d = skartinaDocumentOf(w);"
    "  if (!d) continue;"
    "  if (d.readyState !== 'complete') return false;"
    "  let el = null; try { el = w.frameElement; } catch (e) {}"
    "  const src = el ? (el.getAttribute('src') || '') : '';"
    "  if (src && !/^about:/i.test(src) && d.location.href === 'about:blank') return false;"
    "}"
    "return true;";

// The visible text of the page and of every frame that can be read.
inline constexpr const char* kPageText = SKARTINA_FRAMES
    "const texts = [document.body ? document.body.innerText : ''];"
    "for (const w of skartinaFrames()) {"
    "  const d = skartinaDocumentOf(w);"
    "  if (d && d.body) texts.push(d.body.innerText);"
    "}"
    "return texts.join('\\n');";

// arguments[1]: the key, arguments[2]: 1 to match the name attribute, 2 the id.
inline constexpr const char* kSearch = SKARTINA_DOCUMENT
    "if (!d) return null;"
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
    "if (!d) return ['', []];"
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

// Empties every password field of the page and its frames: a picture of the
// page kept for a developer must not show even the length of a password.
inline constexpr const char* kClearPasswords = SKARTINA_FRAMES
    "const docs = [document];"
    "for (const w of skartinaFrames()) { const d = skartinaDocumentOf(w); if (d) docs.push(d); }"
    "for (const d of docs) for (const el of d.querySelectorAll('input[type=password]')) el.value = '';"
    "return true;";

// The browser's code for a page it could not load ("ERR_CONNECTION_REFUSED"), from its error page.
inline constexpr const char* kErrorCode =
    "const code = document.querySelector('.error-code');"
    "return code ? code.textContent.trim() : '';";

#undef SKARTINA_ELEMENT
#undef SKARTINA_DOCUMENT
#undef SKARTINA_FRAMES

}  // namespace skartina::scripts
