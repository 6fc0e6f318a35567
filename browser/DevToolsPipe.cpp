// SPDX-License-Identifier: GPL-3.0-or-later
#include "browser/DevToolsPipe.h"

#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <csignal>
#include <cstring>

namespace skartina {
namespace {

using nlohmann::json;

// How long one look at the pipe waits before the user interface is pumped.
constexpr int kPollMs = 5;

void NonBlocking(int fd) { fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) | O_NONBLOCK); }

}  // namespace

DevToolsPipe::DevToolsPipe(int toBrowser, int fromBrowser, PumpClock& clock)
    : clock_(clock), toBrowser_(toBrowser), fromBrowser_(fromBrowser) {
    NonBlocking(toBrowser_);
    NonBlocking(fromBrowser_);
    // A write to a browser that has ended must fail, not end this program.
    signal(SIGPIPE, SIG_IGN);
}

DevToolsPipe::~DevToolsPipe() {
    CloseToBrowser();
    if (fromBrowser_ >= 0) close(fromBrowser_);
}

void DevToolsPipe::CloseToBrowser() {
    if (toBrowser_ >= 0) close(toBrowser_);
    toBrowser_ = -1;
}

void DevToolsPipe::Closed(const std::string& why) {
    CloseToBrowser();
    if (fromBrowser_ >= 0) close(fromBrowser_);
    fromBrowser_ = -1;
    throw BrowserGone(why);
}

json DevToolsPipe::Call(const std::string& method, const json& params, const std::string& sessionId, int timeoutMs) {
    if (!Open()) throw BrowserGone("the browser has ended");
    const int id = nextId_++;
    json message = {{"id", id}, {"method", method}, {"params", params}};
    if (!sessionId.empty()) message["sessionId"] = sessionId;
    const uint64_t deadline = clock_.NowMs() + static_cast<uint64_t>(timeoutMs);
    inbox_.Await(id);
    // An answer that comes after the call has given up is dropped, not kept.
    struct Forget {
        DevToolsInbox& inbox;
        int id;
        ~Forget() { inbox.Forget(id); }
    } forget{inbox_, id};
    Write(message.dump(-1, ' ', false, json::error_handler_t::replace) + '\0', deadline);

    std::optional<json> answer;
    if (!WaitFor([&] { return (answer = inbox_.Take(id)).has_value(); }, timeoutMs))
        throw BrowserError("the browser did not answer " + method + " in time");
    return DevToolsInbox::ResultOf(method, *answer);
}

std::vector<int> DevToolsPipe::Send(const std::vector<Command>& commands) {
    if (!Open()) throw BrowserGone("the browser has ended");
    const uint64_t deadline = clock_.NowMs() + static_cast<uint64_t>(kAnswerMs);
    std::vector<int> ids;
    for (const Command& command : commands) {
        const int id = nextId_++;
        json message = {{"id", id}, {"method", command.method}, {"params", command.params}};
        if (!command.sessionId.empty()) message["sessionId"] = command.sessionId;
        inbox_.Await(id);
        ids.push_back(id);
        Write(message.dump(-1, ' ', false, json::error_handler_t::replace) + '\0', deadline);
    }
    return ids;
}

void DevToolsPipe::Write(const std::string& message, uint64_t deadline) {
    size_t written = 0;
    while (written < message.size()) {
        if (toBrowser_ < 0) Closed();
        const ssize_t n = write(toBrowser_, message.data() + written, message.size() - written);
        if (n > 0) {
            written += static_cast<size_t>(n);
            continue;
        }
        if (n < 0 && errno == EINTR) continue;
        if (n < 0 && errno != EAGAIN) Closed();
        // The pipe is full: the browser is busy writing to us, so read while
        // waiting. No pump here: one that ends the wait (a cancelled retrieval)
        // would leave half a message in the pipe.
        if (clock_.NowMs() > deadline) throw BrowserError("the browser does not read its commands");
        pollfd fds[2] = {{toBrowser_, POLLOUT, 0}, {fromBrowser_, POLLIN, 0}};
        if (poll(fds, 2, kPollMs) > 0 && fds[1].revents) ReadAvailable(0);
    }
}

bool DevToolsPipe::WaitFor(const std::function<bool()>& done, int timeoutMs) {
    const uint64_t start = clock_.NowMs();
    uint64_t lastPump = start;
    for (;;) {
        ReadAvailable(0);
        if (done()) return true;
        const uint64_t now = clock_.NowMs();
        if (now - start >= static_cast<uint64_t>(timeoutMs)) return false;
        ReadAvailable(kPollMs);
        if (done()) return true;
        if (onIdle_ && !idling_) {
            idling_ = true;
            try {
                onIdle_();
            } catch (...) {
                idling_ = false;
                throw;
            }
            idling_ = false;
            if (done()) return true;
        }
        // Pump when the pipe was quiet, and now and then while messages stream in.
        if (clock_.NowMs() - lastPump >= kPollMs) {
            clock_.Pump();
            lastPump = clock_.NowMs();
        }
    }
}

void DevToolsPipe::ReadAvailable(int waitMs) {
    if (!Open()) Closed();
    pollfd fd{fromBrowser_, POLLIN, 0};
    if (poll(&fd, 1, waitMs) <= 0) return;
    char chunk[65536];
    bool ended = false;
    for (;;) {
        const ssize_t n = read(fromBrowser_, chunk, sizeof chunk);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0 && errno == EAGAIN) break;
        if (n <= 0) {
            ended = true;
            break;
        }
        try {
            inbox_.Receive(std::string_view(chunk, static_cast<size_t>(n)));
        } catch (const DevToolsOverflow& overflow) {
            Closed(overflow.what());  // the rest of the stream cannot be read as messages
        }
        if (static_cast<size_t>(n) < sizeof chunk) break;
    }
    if (ended) Closed();
}

std::optional<json> DevToolsInbox::Take(int id) {
    const auto answer = answers_.find(id);
    if (answer == answers_.end()) return std::nullopt;
    json taken = std::move(answer->second);
    answers_.erase(answer);
    awaited_.erase(id);
    return taken;
}

void DevToolsInbox::Forget(int id) {
    awaited_.erase(id);
    answers_.erase(id);
}

void DevToolsInbox::Receive(std::string_view bytes) {
    const auto tooLarge = [this] {
        return DevToolsOverflow("the browser sent a message of more than " +
                                std::to_string(maxMessageBytes_ / (1024 * 1024)) + " MB");
    };
    // Only the new bytes are searched: a long message arrives in many pieces.
    const size_t endInNew = bytes.rfind('\0');
    const size_t before = buffered_.size();
    buffered_.append(bytes);
    if (endInNew == std::string_view::npos) {
        if (buffered_.size() > maxMessageBytes_) throw tooLarge();
        return;
    }
    const size_t last = before + endInNew;
    // Taken out first, so that a handler that throws leaves no message to be handled twice.
    const std::string complete = buffered_.substr(0, last + 1);
    buffered_.erase(0, last + 1);
    for (size_t begin = 0, end; (end = complete.find('\0', begin)) != std::string::npos; begin = end + 1) {
        if (end - begin > maxMessageBytes_) throw tooLarge();
        Handle(std::string_view(complete).substr(begin, end - begin));
    }
    if (buffered_.size() > maxMessageBytes_) throw tooLarge();
}

void DevToolsInbox::Handle(std::string_view text) {
    json message = json::parse(text, nullptr, false);
    if (message.is_discarded() || !message.is_object()) return;
    if (const auto found = message.find("id"); found != message.end()) {
        if (!found->is_number_integer() || found->get<long long>() < 0 || found->get<long long>() > INT32_MAX) return;
        const int id = static_cast<int>(found->get<long long>());
        if (awaited_.count(id)) answers_[id] = std::move(message);
        return;
    }
    if (onEvent_) onEvent_(message);
}

json DevToolsInbox::ResultOf(const std::string& method, const json& answer) {
    if (const auto error = answer.find("error"); error != answer.end()) {
        std::string text = "refused";
        if (error->is_object()) {
            if (const auto m = error->find("message"); m != error->end() && m->is_string()) text = m->get<std::string>();
            if (const auto d = error->find("data"); d != error->end() && d->is_string())
                text += " (" + d->get<std::string>() + ")";
        }
        throw DevToolsError(method + ": " + text);
    }
    const auto result = answer.find("result");
    if (result == answer.end()) return json::object();
    if (!result->is_object()) throw BrowserError(method + ": the browser's answer is malformed");
    return *result;
}

}  // namespace skartina
