#include "portal/WebDriverClient.h"

#include <curl/curl.h>

namespace skartina {
namespace {

size_t Collect(char* data, size_t size, size_t count, void* target) {
    static_cast<std::string*>(target)->append(data, size * count);
    return size * count;
}

}  // namespace

WebDriverClient::WebDriverClient(std::string baseUrl) : baseUrl_(std::move(baseUrl)), curl_(curl_easy_init()) {
    if (!curl_) throw BrowserError("libcurl could not be initialised");
}

WebDriverClient::~WebDriverClient() { curl_easy_cleanup(static_cast<CURL*>(curl_)); }

nlohmann::json WebDriverClient::Get(const std::string& path) { return Send("GET", path, nullptr); }

nlohmann::json WebDriverClient::Post(const std::string& path, const nlohmann::json& body) {
    const std::string text = body.dump();
    return Send("POST", path, &text);
}

nlohmann::json WebDriverClient::Delete(const std::string& path) { return Send("DELETE", path, nullptr); }

nlohmann::json WebDriverClient::Send(const char* method, const std::string& path, const std::string* body) {
    CURL* curl = static_cast<CURL*>(curl_);
    curl_easy_reset(curl);
    const std::string url = baseUrl_ + path;
    std::string answer;
    curl_slist* headers = curl_slist_append(nullptr, "Content-Type: application/json; charset=utf-8");
    curl_easy_setopt(curl, CURLOPT_URL, url.c_str());
    curl_easy_setopt(curl, CURLOPT_CUSTOMREQUEST, method);
    curl_easy_setopt(curl, CURLOPT_HTTPHEADER, headers);
    curl_easy_setopt(curl, CURLOPT_NOPROXY, "*");
    curl_easy_setopt(curl, CURLOPT_CONNECTTIMEOUT_MS, 5000L);
    // Starting Chromium is the slowest command; nothing legitimate takes longer than this.
    curl_easy_setopt(curl, CURLOPT_TIMEOUT, 120L);
    curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, Collect);
    curl_easy_setopt(curl, CURLOPT_WRITEDATA, &answer);
    if (body) {
        curl_easy_setopt(curl, CURLOPT_POSTFIELDS, body->data());
        curl_easy_setopt(curl, CURLOPT_POSTFIELDSIZE, static_cast<long>(body->size()));
    }
    const CURLcode code = curl_easy_perform(curl);
    curl_slist_free_all(headers);
    if (code != CURLE_OK)
        throw BrowserError(std::string("chromedriver cannot be reached: ") + curl_easy_strerror(code));

    const nlohmann::json reply = nlohmann::json::parse(answer, nullptr, false);
    if (reply.is_discarded() || !reply.is_object()) throw BrowserError("chromedriver gave an unreadable answer to " + path);
    const nlohmann::json value = reply.value("value", nlohmann::json());
    if (value.is_object() && value.contains("error"))
        throw WebDriverError(value.value("error", std::string()), value.value("message", std::string()));
    return value;
}

}  // namespace skartina
