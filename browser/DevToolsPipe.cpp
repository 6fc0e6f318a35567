#include "browser/DevToolsPipe.h"

#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

#include <cerrno>
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

void DevToolsPipe::Closed() {
    CloseToBrowser();
    if (fromBrowser_ >= 0) close(fromBrowser_);
    fromBrowser_ = -1;
    throw BrowserGone("the browser has ended");
}

json DevToolsPipe::Call(const std::string& method, const json& params, const std::string& sessionId, int timeoutMs) {
    if (!Open()) throw BrowserGone("the browser has ended");
    const int id = nextId_++;
    json message = {{"id", id}, {"method", method}, {"params", params}};
    if (!sessionId.empty()) message["sessionId"] = sessionId;
    const uint64_t deadline = clock_.NowMs() + static_cast<uint64_t>(timeoutMs);
    Write(message.dump(-1, ' ', false, json::error_handler_t::replace) + '\0', deadline);

    if (!WaitFor([&] { return answers_.count(id) != 0; }, timeoutMs))
        throw BrowserError("the browser did not answer " + method + " in time");
    json answer = std::move(answers_.at(id));
    answers_.erase(id);
    if (answer.contains("error")) {
        const json& error = answer["error"];
        throw DevToolsError(method + ": " + error.value("message", std::string("refused")) +
                            (error.contains("data") ? " (" + error["data"].dump() + ")" : ""));
    }
    return answer.value("result", json::object());
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
        buffered_.append(chunk, static_cast<size_t>(n));
        if (static_cast<size_t>(n) < sizeof chunk) break;
    }
    // What came before the end is still handled.
    size_t begin = 0;
    for (size_t end; (end = buffered_.find('\0', begin)) != std::string::npos; begin = end + 1)
        Handle(buffered_.substr(begin, end - begin));
    buffered_.erase(0, begin);
    if (ended) Closed();
}

void DevToolsPipe::Handle(const std::string& text) {
    json message = json::parse(text, nullptr, false);
    if (message.is_discarded()) return;
    if (message.contains("id") && message["id"].is_number_integer()) {
        const int id = message["id"].get<int>();
        answers_[id] = std::move(message);
        return;
    }
    if (onEvent_) onEvent_(message);
}

}  // namespace skartina
