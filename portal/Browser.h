// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The browser the program drives on the tax portal, reduced to the operations
// the portal logic uses: find the window showing an address, wait for a named
// element, find an element by name, act on elements and windows, and wait a
// fixed time while the user interface stays alive.
//
// The waiting operations, the window-matching and the frame rule live here,
// once; an implementation (Chromium over its DevTools pipe, or an in-memory page
// model in the tests) supplies the window list and the document walks.

#include "portal/PumpClock.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace skartina {

// A browser call that failed: the operation is left and the retrieval ends.
class BrowserError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// A page the browser could not load: the host refused, its name did not
// resolve, the connection timed out. The text is the browser's own words.
class PortalUnreachable : public BrowserError {
public:
    using BrowserError::BrowserError;
};

// A document too large to be read (a report over the bound); its text says so in Greek.
class ReportTooLarge : public BrowserError {
public:
    using BrowserError::BrowserError;
};

enum class MatchMode { Name = 1, Id = 2 };

// One window of the browser; its handle is the window's identity.
struct BrowserRef {
    std::string window;
    bool operator==(const BrowserRef&) const = default;
};

// The top document a window shows.
struct DocumentRef {
    std::string window;
    bool operator==(const DocumentRef&) const = default;
};

// An element of a searched document: the window, the frame (-1 for the top
// document), its position in the document's element list and the identity of
// the document it was found in, so that an action on a page that has since
// been replaced fails instead of touching another element.
struct ElementRef {
    std::string window;
    int frame = -1;
    int index = 0;
    std::string document;
    bool operator==(const ElementRef&) const = default;
};

// A window of the list, with the address it shows.
struct OpenWindow {
    std::string handle;
    std::string address;
};

// What a walk reads of one element: the "Name", "Type" and "VALUE"
// attributes (empty when missing), the id and, for a check box, whether it is ticked.
struct ElementFields {
    ElementRef element;
    std::string name;
    std::string type;
    std::string value;
    std::string id;
    bool checked = false;
};

struct WindowFound {
    bool found = false;
    BrowserRef browser;
    DocumentRef document;
};

// Where the browser's window goes on the screen; an empty one leaves it where the browser puts it.
struct ScreenRect {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
    bool empty() const { return width <= 0 || height <= 0; }
};

class Browser {
public:
    // Polling limits in whole seconds: a pass that ends later than this gives up.
    static constexpr int kFindWindowSeconds = 10;
    static constexpr int kWaitElementSeconds = 20;

    explicit Browser(PumpClock& clock) : clock_(clock) {}
    virtual ~Browser() = default;
    Browser(const Browser&) = delete;
    Browser& operator=(const Browser&) = delete;

    PumpClock& clock() { return clock_; }

    // Waits at least the given milliseconds, pumping events meanwhile (at least once).
    void PumpDelay(uint32_t milliseconds);

    // Polling passes over the window list until pass() returns true or a pass
    // ends more than limitSeconds whole seconds after the start. A begun pass
    // always runs to its end. Returns whether pass() succeeded.
    bool PollPasses(int limitSeconds, const std::function<bool()>& pass);

    // The last window whose address contains the text; polls up to 10 s.
    // On time-out nothing is found.
    WindowFound FindBrowserByUrl(std::string_view addressPart);

    // The last window whose address contains the text and whose searched
    // documents hold an element with the key as its "Name" attribute (Name)
    // or as its id (Id); polls up to 20 s.
    WindowFound WaitForElement(std::string_view addressPart, std::string_view key, MatchMode mode);

    // The first element of the searched documents whose "Name" attribute is
    // the name, letter case included; no waiting.
    std::optional<ElementRef> FindElementByName(const DocumentRef& document, std::string_view name);

    // The first element whose id is the id, in the searched documents or, when
    // the frame rule finds none, in any document of the page; no waiting.
    std::optional<ElementRef> FindElementById(const DocumentRef& document, std::string_view id) {
        return Search(document, id, MatchMode::Id);
    }

    // Every element of the searched documents, in order, as a walk reads it.
    std::vector<ElementFields> SearchedElements(const DocumentRef& document);
    // The same, together with the document that holds the element when the
    // frame rule leaves it out (a page whose own frames are widgets): what is
    // read beside an element is never another document's alone.
    std::vector<ElementFields> ElementsBeside(const ElementRef& element);

    // Every element of the top document alone, whatever its frames: the login
    // and logout sequences look only there.
    std::vector<ElementFields> TopDocumentElements(const DocumentRef& document) { return DocumentElements(document, -1); }

    // The index of the first option of the list whose text is the text, or -1.
    int OptionIndexOfText(const ElementRef& list, std::string_view text);

    // --- The browser application (one per analysis window) ---
    virtual bool HasApplication() const = 0;
    // Creates the application when there is none; its window.
    virtual BrowserRef OpenApplication() = 0;
    // Puts the application's window in the place without giving it the
    // focus; nothing without an application or with an empty place.
    virtual void PlaceBrowserWindow(ScreenRect place) = 0;
    // Minimises the application's window (a login kept between runs); nothing without one.
    virtual void MinimiseBrowserWindow() {}
    // Keeps the application running but throws away its windows and all they
    // kept (cookies, stored pages, cache): it is left with one new empty
    // window, as a new application would be, without the wait for its start.
    // False when there is no application or it cannot; the caller then ends it.
    virtual bool NewPrivateSession() { return false; }
    // Ends the application, ignoring every error; the next retrieval opens a new one.
    virtual void BrowserQuit() = 0;

    // --- The window list: windows that show an address and a document, oldest first ---
    virtual std::vector<OpenWindow> Windows() = 0;

    // --- Element actions ---
    virtual void SetValue(const ElementRef& element, std::string_view text) = 0;
    virtual void Click(const ElementRef& element) = 0;
    virtual bool IsChecked(const ElementRef& element) = 0;
    virtual std::optional<std::string> Attribute(const ElementRef& element, std::string_view name) = 0;
    virtual std::string Id(const ElementRef& element) = 0;
    virtual void SetSelectedIndex(const ElementRef& list, int index) = 0;
    virtual void FireChange(const ElementRef& list) = 0;
    virtual std::vector<std::string> OptionTexts(const ElementRef& list) = 0;

    // --- Window actions ---
    virtual void Navigate(const BrowserRef& browser, std::string_view address, bool bypassCache) = 0;
    virtual std::string DocumentUrl(const DocumentRef& document) = 0;
    virtual std::string DocumentTitle(const DocumentRef& document) = 0;
    // The handle of a window whose page title is exactly the title.
    virtual std::optional<std::string> FindWindowByTitle(std::string_view title) = 0;
    // Closes the window if it still exists.
    virtual void CloseWindow(const std::string& handle) = 0;
    // The bytes of the document the window shows (a report's PDF) as they
    // arrived, read once; empty while they have not all arrived.
    virtual std::string DocumentBytes(const DocumentRef& document) = 0;

    // Windows that have opened and are not yet in the list (their first page
    // has not arrived); their handles.
    virtual std::vector<std::string> OpeningWindows() { return {}; }

    // --- Following the browser ---
    // Waits until the browser reports a change (a window, a load) or the
    // milliseconds have passed, keeping the user interface alive.
    virtual void AwaitChange(uint32_t milliseconds) { PumpDelay(milliseconds); }
    // The browser's words for why the window's page could not be loaded;
    // nothing when it loaded (or is loading).
    virtual std::optional<std::string> LoadFailure(const std::string& window) { (void)window; return std::nullopt; }
    // Whether the window's page and every frame in it have finished loading:
    // a page is read only when it is whole, never while it is still arriving.
    virtual bool DocumentComplete(const std::string& window) { (void)window; return true; }
    // The visible text of the window's page and of every frame in it.
    virtual std::string PageText(const std::string& window) { (void)window; return {}; }
    // The texts of the page dialogs (alert, confirm, leave-the-page) the
    // browser has answered since the last call, oldest first.
    virtual std::vector<std::string> TakeDialogs() { return {}; }

    // --- For a developer, when a page is not as expected ---
    // A PNG picture of the window's page; empty when the browser cannot give one.
    virtual std::string Screenshot(const std::string& window) { (void)window; return {}; }
    // The page's HTML with the value of every input field removed.
    virtual std::string PageWithoutValues(const std::string& window) { (void)window; return {}; }

protected:
    // The document's frame count: with two or more, the frames' documents are
    // searched instead of the top document.
    virtual int FrameCount(const DocumentRef& document) = 0;
    // The count of every document inside the page, frames within frames
    // included: frame k below FrameCount() is the top document's frame k, the
    // ones after are the nested frames, level by level.
    virtual int AllFrameCount(const DocumentRef& document) { return FrameCount(document); }
    // One walk of one document (frame -1: the top document) for the first
    // element whose "Name" (Name) or id (Id) equals the key.
    virtual std::optional<ElementRef> SearchDocument(const DocumentRef& document, int frame, std::string_view key,
                                                     MatchMode mode) = 0;
    // The top document's frame count, and the first element of a walk of the
    // top document for the key; an implementation that can learn both in one
    // call saves a call on every page without frames.
    struct TopSearch {
        int frames = 0;
        std::optional<ElementRef> element;
    };
    virtual TopSearch SearchTopDocument(const DocumentRef& document, std::string_view key, MatchMode mode);
    // One walk of one document, reading every element.
    virtual std::vector<ElementFields> DocumentElements(const DocumentRef& document, int frame) = 0;

private:
    static std::vector<int> SearchedFrames(int frameCount);
    std::optional<ElementRef> Search(const DocumentRef& document, std::string_view key, MatchMode mode);

    PumpClock& clock_;
};

}  // namespace skartina
