#include "portal/WebDriverClient.h"

#include <curl/curl.h>

namespace skartina {

WebDriverClient::WebDriverClient(std::string baseUrl) : baseUrl_(std::move(baseUrl)), http_(MakeCurlHttpClient()) {}

nlohmann::json WebDriverClient::Get(const std::string& path) { return Send("GET", path, nullptr); }

nlohmann::json WebDriverClient::Post(const std::string& path, const nlohmann::json& body) {
    const std::string text = body.dump();
    return Send("POST", path, &text);
}

nlohmann::json WebDriverClient::Delete(const std::string& path) { return Send("DELETE", path, nullptr); }

nlohmann::json WebDriverClient::Send(const char* method, const std::string& path, const std::string* body) {
    HttpOptions options;
    options.connectTimeout = std::chrono::seconds(5);
    // Starting Chromium is the slowest command; nothing legitimate waits longer than this.
    options.readTimeout = std::chrono::seconds(120);
    HttpResponse answer;
    try {
        answer = http_->send(method, baseUrl_ + path, body ? *body : std::string(),
                             body ? "application/json; charset=utf-8" : "", options);
    } catch (const HttpError& e) {
        throw BrowserError(std::string("chromedriver cannot be reached: ") + e.what());
    }

    const nlohmann::json reply = nlohmann::json::parse(answer.body, nullptr, false);
    if (reply.is_discarded() || !reply.is_object()) throw BrowserError("chromedriver gave an unreadable answer to " + path);
    const nlohmann::json value = reply.value("value", nlohmann::json());
    if (value.is_object() && value.contains("error"))
        throw WebDriverError(value.value("error", std::string()), value.value("message", std::string()));
    return value;
}

}  // namespace skartina
