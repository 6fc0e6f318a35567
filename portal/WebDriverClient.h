#pragma once
// The W3C WebDriver wire protocol: JSON commands to chromedriver over HTTP on
// the loopback interface, one reused connection.

#include "portal/Browser.h"

#include "common/HttpClient.h"

#include <nlohmann/json.hpp>

#include <memory>
#include <string>

namespace skartina {

// A command that chromedriver answered with an error; error() is the
// protocol's error code ("no such window", "invalid session id", ...).
class WebDriverError : public BrowserError {
public:
    WebDriverError(std::string error, const std::string& message)
        : BrowserError(error + ": " + message), error_(std::move(error)) {}
    const std::string& error() const { return error_; }

private:
    std::string error_;
};

class WebDriverClient {
public:
    explicit WebDriverClient(std::string baseUrl);  // "http://127.0.0.1:PORT"

    // The "value" of the answer. Throws WebDriverError, or BrowserError when chromedriver cannot be reached.
    nlohmann::json Get(const std::string& path);
    nlohmann::json Post(const std::string& path, const nlohmann::json& body);
    nlohmann::json Delete(const std::string& path);

private:
    nlohmann::json Send(const char* method, const std::string& path, const std::string* body);

    std::string baseUrl_;
    std::unique_ptr<HttpClient> http_;
};

}  // namespace skartina
