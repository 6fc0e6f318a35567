// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The DevTools protocol on a private pipe: JSON messages, each ended by a NUL
// byte, written to the browser's descriptor 3 and read from its descriptor 4.
// No port is opened, so only this program can reach the browser.
//
// Waiting for an answer polls the pipe briefly and pumps the clock between
// polls, so the user interface stays alive; a pump may itself send commands
// (a second retrieval started from inside a wait), and every answer is kept
// for the call that asked for it.

#include "portal/Browser.h"
#include "portal/PumpClock.h"

#include <nlohmann/json.hpp>

#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

namespace skartina {

// The browser ended: its end of the pipe is closed.
class BrowserGone : public BrowserError {
public:
    using BrowserError::BrowserError;
};

// A command the browser answered with an error.
class DevToolsError : public BrowserError {
public:
    using BrowserError::BrowserError;
};

// The browser sent a message beyond the size any answer needs.
class DevToolsOverflow : public BrowserError {
public:
    using BrowserError::BrowserError;
};

// What the browser sends, as its bytes arrive: JSON messages, each ended by a
// NUL byte and at most maxMessageBytes long. An answer ({"id", ...}) is kept
// only while its command awaits it; an event goes to the handler at once.
// Anything else (not JSON, not an object, an answer nobody awaits) is dropped.
class DevToolsInbox {
public:
    // The largest message: a yearly report's bytes in base64 with room to spare.
    static constexpr std::size_t kMaxMessageBytes = 48u * 1024 * 1024;

    explicit DevToolsInbox(std::size_t maxMessageBytes = kMaxMessageBytes) : maxMessageBytes_(maxMessageBytes) {}

    void OnEvent(std::function<void(const nlohmann::json&)> handler) { onEvent_ = std::move(handler); }
    void Await(int id) { awaited_.insert(id); }
    // The answer once it has come, which ends the wait for it; nothing before.
    std::optional<nlohmann::json> Take(int id);
    // No longer awaited: a late answer is dropped.
    void Forget(int id);

    // Handles every message the bytes complete. Throws DevToolsOverflow when
    // a message grows beyond the bound (the stream cannot be trusted after it).
    void Receive(std::string_view bytes);

    // The result of a command's answer. Throws DevToolsError for an error
    // answer and BrowserError for one without a result object.
    static nlohmann::json ResultOf(const std::string& method, const nlohmann::json& answer);

private:
    void Handle(std::string_view message);

    std::size_t maxMessageBytes_;
    std::string buffered_;
    std::set<int> awaited_;
    std::map<int, nlohmann::json> answers_;
    std::function<void(const nlohmann::json&)> onEvent_;
};

class DevToolsPipe {
public:
    // Takes over the descriptors: toBrowser is written, fromBrowser read.
    DevToolsPipe(int toBrowser, int fromBrowser, PumpClock& clock);
    ~DevToolsPipe();
    DevToolsPipe(const DevToolsPipe&) = delete;
    DevToolsPipe& operator=(const DevToolsPipe&) = delete;

    // Every event the browser sends ({"method", "params", "sessionId"}), as it is read.
    void OnEvent(std::function<void(const nlohmann::json&)> handler) { inbox_.OnEvent(std::move(handler)); }
    // Run between reads while a call or a wait waits, never inside an event:
    // what the events asked for can be done there, also while a command
    // waits on it (a window held until its document is read). Not run again
    // from inside itself.
    void OnIdle(std::function<void()> handler) { onIdle_ = std::move(handler); }

    // Sends a command (to a page's session when sessionId is not empty) and
    // waits for its answer. Throws DevToolsError for an error answer,
    // BrowserGone when the pipe closes (or the browser sends a message beyond
    // the bound, which ends it) and BrowserError when no answer comes in time
    // or it is malformed.
    nlohmann::json Call(const std::string& method, const nlohmann::json& params = nlohmann::json::object(),
                        const std::string& sessionId = {}, int timeoutMs = kAnswerMs);

    // One command of those sent without waiting.
    struct Command {
        std::string method;
        nlohmann::json params = nlohmann::json::object();
        std::string sessionId;
    };
    // Sends the commands one after the other without waiting for their
    // answers, which are kept until taken or forgotten: a window held at its
    // start answers nothing until the browser can run it, and the program must
    // go on serving the browser meanwhile. Returns the commands' ids.
    std::vector<int> Send(const std::vector<Command>& commands);
    // The answer to a command sent, once it has come (its result or error as the browser sent it).
    std::optional<nlohmann::json> TakeAnswer(int id) { return inbox_.Take(id); }
    void Forget(int id) { inbox_.Forget(id); }

    // Reads and handles what the browser has sent, waiting until done() or the
    // time is up; returns done(). Throws BrowserGone when the pipe closes.
    bool WaitFor(const std::function<bool()>& done, int timeoutMs);

    // Closes the descriptor the browser reads, which makes it end.
    void CloseToBrowser();

    bool Open() const { return fromBrowser_ >= 0; }

    // A browser that does not answer a command in this time is taken for hung.
    static constexpr int kAnswerMs = 60000;

private:
    void Write(const std::string& message, uint64_t deadline);
    // Reads what is there, waiting at most waitMs for the first byte; handles every complete message.
    void ReadAvailable(int waitMs);
    [[noreturn]] void Closed(const std::string& why = "the browser has ended");

    PumpClock& clock_;
    int toBrowser_;
    int fromBrowser_;
    int nextId_ = 1;
    DevToolsInbox inbox_;
    std::function<void()> onIdle_;
    bool idling_ = false;
};

}  // namespace skartina
