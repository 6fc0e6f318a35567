#pragma once
// Plain HTTP GET requests, the way the program asks its product web host for
// pages and updates.

#include <chrono>
#include <functional>
#include <memory>
#include <stdexcept>
#include <string>

namespace skartina {

struct HttpResponse {
    long status = 0;
    std::string body;  // bytes as received
};

// The request could not be completed: no connection, a time-out, a transfer
// cut short. The text says which.
class HttpError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

struct HttpOptions {
    std::chrono::milliseconds connectTimeout{5000};
    // Gives up when no byte arrives for this long.
    std::chrono::milliseconds readTimeout{10000};
    // Called as bytes arrive: received so far, and the total when the server told it (else 0).
    std::function<void(long long received, long long total)> progress;
};

class HttpClient {
public:
    virtual ~HttpClient() = default;
    // Throws HttpError; any status the server sent is a response.
    virtual HttpResponse get(const std::string& url, const HttpOptions& options = {}) = 0;
};

// The real client, over libcurl; it keeps cookies between its requests.
std::unique_ptr<HttpClient> MakeCurlHttpClient();

}  // namespace skartina
