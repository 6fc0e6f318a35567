// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// HTTP GET requests: the product web host's pages and updates.

#include <chrono>
#include <functional>
#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>

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
    // Covers the TLS handshake as well.
    std::chrono::milliseconds connectTimeout{5000};
    // Gives up when no byte arrives for this long once the request is sent.
    std::chrono::milliseconds readTimeout{10000};
    // Gives up when the whole request, connection and redirects included,
    // takes longer than this, however steadily the bytes arrive; 0: no limit.
    std::chrono::milliseconds totalTimeout{0};
    // The largest body taken; a server that announces or sends more fails the
    // request. 0: no limit.
    long long maxBodyBytes = 0;
    // Redirects followed before the request fails.
    long maxRedirects = 5;
    // When set, the body goes to it as it arrives instead of into the
    // response; an exception from it ends the request and is passed on.
    std::function<void(std::string_view bytes)> sink;
    // Sent as given when not empty.
    std::string userAgent;
    std::string accept;
    // Called as bytes arrive: received so far, and the total when the server told it (else 0).
    std::function<void(long long received, long long total)> progress;
};

class HttpClient {
public:
    virtual ~HttpClient() = default;
    // Throws HttpError; any status the server sent is a response.
    virtual HttpResponse get(const std::string& url, const HttpOptions& options = {}) = 0;
};

// The real client, over libcurl. It keeps cookies between its requests, always
// verifies certificates, speaks only http and https, never follows a redirect
// from https to http, follows at most `maxRedirects` redirects, and treats a
// body shorter than the server announced, or longer than `maxBodyBytes`, as
// an error. Certificates are checked against the system's authorities, or
// against the certificates in `trustedCertificates` (a PEM file) when given.
std::unique_ptr<HttpClient> MakeCurlHttpClient(const std::string& trustedCertificates = {});

}  // namespace skartina
