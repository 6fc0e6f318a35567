// SPDX-License-Identifier: GPL-3.0-or-later
#include "UpdateServerSim.h"

#include <httplib.h>

#include <chrono>
#include <algorithm>
#include <cstdlib>
#include <stdexcept>

namespace skartina::test {

SimAnswer SimAnswer::ZerosOf(unsigned long long length) {
    SimAnswer a(200, "", Wire::Zeros);
    a.length = length;
    return a;
}

SimAnswer SimAnswer::EndlessZeros() { return SimAnswer(200, "", Wire::Endless); }

SimAnswer SimAnswer::Dripping(std::string body, std::chrono::milliseconds perByte) {
    SimAnswer a(200, std::move(body), Wire::Drip);
    a.delay = perByte;
    return a;
}

SimAnswer SimAnswer::RedirectTo(const std::string& location) {
    SimAnswer a(302, "");
    a.headers = {{"Location", location}};
    return a;
}

UpdateServerSim::UpdateServerSim() : server_(std::make_unique<httplib::Server>()) { start("http"); }

UpdateServerSim::UpdateServerSim(const std::filesystem::path& certificateFolder) {
    const auto cert = certificateFolder / "sim-cert.pem";
    const auto key = certificateFolder / "sim-key.pem";
    const std::string command = "openssl req -x509 -newkey rsa:2048 -nodes -days 1 -subj /CN=127.0.0.1 "
                                "-addext subjectAltName=IP:127.0.0.1 -keyout '" +
                                key.string() + "' -out '" + cert.string() + "' 2>/dev/null";
    if (std::system(command.c_str()) != 0) throw std::runtime_error("openssl could not make a certificate");
    server_ = std::make_unique<httplib::SSLServer>(cert.c_str(), key.c_str());
    start("https");
}

void UpdateServerSim::start(const std::string& scheme) {
    server_->Get(".*", [this](const httplib::Request& req, httplib::Response& res) { handle(req, res); });
    const int port = server_->bind_to_any_port("127.0.0.1");
    if (port <= 0) throw std::runtime_error("the simulated update server could not bind to 127.0.0.1");
    base_ = scheme + "://127.0.0.1:" + std::to_string(port);
    thread_ = std::thread([this] { server_->listen_after_bind(); });
    // stop() does nothing to a server that has not begun to listen.
    while (!server_->is_running()) std::this_thread::sleep_for(std::chrono::milliseconds(1));
}

UpdateServerSim::~UpdateServerSim() {
    {
        std::lock_guard lock(mutex_);
        stopped_ = true;
    }
    stopping_.notify_all();
    server_->stop();
    thread_.join();
}

void UpdateServerSim::answer(const std::string& path, SimAnswer answer) {
    std::lock_guard lock(mutex_);
    answers_[path] = std::move(answer);
}

void UpdateServerSim::offer(const std::string& version, const std::string& fileList, SimAnswer installer) {
    answer("/versions/VELMORA2021/enableinternetcheck.php", {200, "OK"});
    answer("/versions/VELMORA2021/getvelmoraver.php", {200, version});
    answer("/versions/VELMORA2021/httpfilelist.php", {200, fileList});
    answer("/versions/VELMORA2021/httpdnld.php", std::move(installer));
}

std::vector<SimRequest> UpdateServerSim::requests() const {
    std::lock_guard lock(mutex_);
    return requests_;
}

void UpdateServerSim::pause(std::chrono::milliseconds delay) {
    std::unique_lock lock(mutex_);
    stopping_.wait_for(lock, delay, [this] { return stopped_; });
}

bool UpdateServerSim::stopping() const {
    std::lock_guard lock(mutex_);
    return stopped_;
}

void UpdateServerSim::handle(const httplib::Request& req, httplib::Response& res) {
    SimAnswer answer;
    {
        std::lock_guard lock(mutex_);
        requests_.push_back({req.target, req.get_header_value("User-Agent"), req.get_header_value("Accept"),
                             req.get_header_value("Cookie")});
        const auto found = answers_.find(req.path);
        if (found == answers_.end()) {
            res.status = 404;
            return;
        }
        answer = found->second;
    }
    res.status = answer.status;
    for (const auto& [name, value] : answer.headers) res.set_header(name, value);
    using Wire = SimAnswer::Wire;
    switch (answer.wire) {
    case Wire::Whole:
        res.set_content(answer.body, "text/html");
        return;
    case Wire::Late:
        pause(answer.delay);
        res.set_content(answer.body, "text/html");
        return;
    case Wire::ChunkedCut:
        res.set_chunked_content_provider("application/octet-stream", [answer](size_t, httplib::DataSink& sink) {
            sink.write(answer.body.data(), answer.sent);
            return false;  // the connection closes without the last chunk
        });
        return;
    case Wire::Zeros:
        res.set_content_provider(answer.length, "application/octet-stream",
                                 [this](size_t, size_t left, httplib::DataSink& sink) {
                                     static const std::string zeros(64 * 1024, '\0');
                                     return !stopping() && sink.write(zeros.data(), std::min(left, zeros.size()));
                                 });
        return;
    case Wire::Endless:
        res.set_chunked_content_provider("application/octet-stream", [this](size_t, httplib::DataSink& sink) {
            static const std::string zeros(64 * 1024, '\0');
            return !stopping() && sink.write(zeros.data(), zeros.size());
        });
        return;
    case Wire::Drip:
        res.set_content_provider(answer.body.size(), "application/octet-stream",
                                 [this, answer](size_t offset, size_t, httplib::DataSink& sink) {
                                     pause(answer.delay);
                                     return !stopping() && sink.write(answer.body.data() + offset, 1);
                                 });
        return;
    case Wire::CutShort:
    case Wire::Stall:
        res.set_content_provider(answer.body.size(), "application/octet-stream",
                                 [this, answer](size_t offset, size_t, httplib::DataSink& sink) {
                                     if (offset > 0) return false;
                                     sink.write(answer.body.data(), answer.sent);
                                     if (answer.wire == Wire::CutShort) return false;
                                     pause(answer.delay);
                                     sink.write(answer.body.data() + answer.sent, answer.body.size() - answer.sent);
                                     return true;
                                 });
        return;
    }
}

}  // namespace skartina::test
