// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A simulated update server for the tests: plain HTTP on a free loopback port,
// started with the object and stopped with it. Each test sets what a path
// answers, including answers that go wrong on the wire.

#include <chrono>
#include <condition_variable>
#include <filesystem>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace httplib {
class Server;
struct Request;
struct Response;
}

namespace skartina::test {

struct SimAnswer {
    enum class Wire {
        Whole,     // status and body as given
        CutShort,  // announces the body's length, sends `sent` bytes, closes
        ChunkedCut, // chunked, sends `sent` bytes, closes without the last chunk
        Stall,      // announces the body's length, sends `sent` bytes, the rest after `delay`
        Late,       // answers as Whole after `delay`
        // Hostile servers:
        Zeros,      // announces `length` bytes and sends that many zeros, made as they go out
        Endless,    // chunked zeros without end
        Drip,       // announces the body's length, then sends it one byte every `delay`
    };
    SimAnswer() = default;
    SimAnswer(int status, std::string body, Wire wire = Wire::Whole, size_t sent = 0)
        : status(status), body(std::move(body)), wire(wire), sent(sent) {}

    int status = 200;
    std::string body;
    Wire wire = Wire::Whole;
    size_t sent = 0;
    // Long enough that a client whose time-out works never sees the rest.
    std::chrono::milliseconds delay{3000};
    std::vector<std::pair<std::string, std::string>> headers;
    unsigned long long length = 0;  // Zeros

    // An answer of `length` zeros (Zeros), endless zeros (Endless), the body one byte at a time (Drip).
    static SimAnswer ZerosOf(unsigned long long length);
    static SimAnswer EndlessZeros();
    static SimAnswer Dripping(std::string body, std::chrono::milliseconds perByte);
    // A redirect to the location given.
    static SimAnswer RedirectTo(const std::string& location);
};

struct SimRequest {
    std::string target;  // path and query
    std::string userAgent;
    std::string accept;
    std::string cookie;
};

class UpdateServerSim {
public:
    UpdateServerSim();
    // Over https with a fresh self-signed certificate, written into the folder.
    explicit UpdateServerSim(const std::filesystem::path& certificateFolder);
    ~UpdateServerSim();
    UpdateServerSim(const UpdateServerSim&) = delete;
    UpdateServerSim& operator=(const UpdateServerSim&) = delete;

    // "http://127.0.0.1:<port>" (https for the certificate's server)
    std::string base() const { return base_; }
    // What a path (without its query) answers; any other path gets 404.
    void answer(const std::string& path, SimAnswer answer);
    // A service that is up, with the latest version, the file list and the installer.
    void offer(const std::string& version, const std::string& fileList, SimAnswer installer);
    std::vector<SimRequest> requests() const;

private:
    void start(const std::string& scheme);
    void handle(const httplib::Request& req, httplib::Response& res);
    // Sleeps for the delay, or until the server stops.
    void pause(std::chrono::milliseconds delay);
    bool stopping() const;

    std::unique_ptr<httplib::Server> server_;
    std::thread thread_;
    std::string base_;
    mutable std::mutex mutex_;
    std::condition_variable stopping_;
    bool stopped_ = false;
    std::map<std::string, SimAnswer> answers_;
    std::vector<SimRequest> requests_;
};

}  // namespace skartina::test
