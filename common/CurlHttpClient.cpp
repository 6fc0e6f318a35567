// SPDX-License-Identifier: GPL-3.0-or-later
#include "common/HttpClient.h"

#include <curl/curl.h>

#include <algorithm>
#include <cctype>
#include <exception>
#include <memory>

namespace skartina {
namespace {

using Clock = std::chrono::steady_clock;

struct CurlGlobal {
    CurlGlobal() { curl_global_init(CURL_GLOBAL_DEFAULT); }
    ~CurlGlobal() { curl_global_cleanup(); }
};

// What the callbacks of one request share.
struct Transfer {
    const HttpOptions* options;
    std::string* body;
    Clock::time_point lastByte;
    long long received = 0;
    bool tooLarge = false;
    std::exception_ptr sinkFailure;
};

size_t OnBody(char* data, size_t size, size_t count, void* transfer) {
    auto* t = static_cast<Transfer*>(transfer);
    const size_t n = size * count;
    t->lastByte = Clock::now();
    t->received += static_cast<long long>(n);
    // Counted here as well: libcurl checks the size limit only against an announced length.
    if (t->options->maxBodyBytes > 0 && t->received > t->options->maxBodyBytes) {
        t->tooLarge = true;
        return 0;  // ends the transfer
    }
    if (t->options->sink) {
        try {
            t->options->sink(std::string_view(data, n));
        } catch (...) {
            t->sinkFailure = std::current_exception();
            return 0;
        }
    } else {
        t->body->append(data, n);
    }
    return n;
}

size_t OnHeader(char*, size_t size, size_t count, void* transfer) {
    static_cast<Transfer*>(transfer)->lastByte = Clock::now();
    return size * count;
}

int OnProgress(void* transfer, curl_off_t total, curl_off_t received, curl_off_t, curl_off_t) {
    const auto* t = static_cast<const Transfer*>(transfer);
    if (t->options->progress) t->options->progress(received, total);
    return 0;
}

bool StartsWithHttps(const std::string& url) {
    if (url.size() < 8) return false;
    std::string scheme = url.substr(0, 8);
    std::transform(scheme.begin(), scheme.end(), scheme.begin(), [](unsigned char c) { return std::tolower(c); });
    return scheme == "https://";
}

struct SlistFree {
    void operator()(curl_slist* list) const { curl_slist_free_all(list); }
};

class CurlHttpClient : public HttpClient {
public:
    explicit CurlHttpClient(const std::string& trustedCertificates)
        : curl_((Global(), curl_easy_init())), multi_(curl_multi_init()) {
        if (!curl_ || !multi_) throw HttpError("libcurl could not start");
        curl_easy_setopt(curl_, CURLOPT_COOKIEFILE, "");  // keep cookies in memory
        if (!trustedCertificates.empty()) curl_easy_setopt(curl_, CURLOPT_CAINFO, trustedCertificates.c_str());
    }
    ~CurlHttpClient() override {
        curl_multi_cleanup(multi_);
        curl_easy_cleanup(curl_);
    }

    HttpResponse get(const std::string& url, const HttpOptions& options) override {
        HttpResponse response;
        Transfer transfer{&options, &response.body, Clock::now(), 0, false, {}};
        curl_slist* list = nullptr;
        if (!options.accept.empty()) list = curl_slist_append(list, ("Accept: " + options.accept).c_str());
        std::unique_ptr<curl_slist, SlistFree> headers(list);

        curl_easy_setopt(curl_, CURLOPT_URL, url.c_str());
        curl_easy_setopt(curl_, CURLOPT_HTTPGET, 1L);
        // Loopback (the tests' servers) never goes through a proxy.
        curl_easy_setopt(curl_, CURLOPT_NOPROXY, "127.0.0.1,localhost,::1");
        curl_easy_setopt(curl_, CURLOPT_HTTP_VERSION, CURL_HTTP_VERSION_1_1);
        curl_easy_setopt(curl_, CURLOPT_PROTOCOLS_STR, "http,https");
        curl_easy_setopt(curl_, CURLOPT_FOLLOWLOCATION, 1L);
        curl_easy_setopt(curl_, CURLOPT_MAXREDIRS, options.maxRedirects);
        // Refuses at once an answer that announces more than the limit.
        curl_easy_setopt(curl_, CURLOPT_MAXFILESIZE_LARGE, static_cast<curl_off_t>(std::max(options.maxBodyBytes, 0LL)));
        // A page fetched over https never continues over plain http.
        curl_easy_setopt(curl_, CURLOPT_REDIR_PROTOCOLS_STR, StartsWithHttps(url) ? "https" : "http,https");
        curl_easy_setopt(curl_, CURLOPT_SSL_VERIFYPEER, 1L);
        curl_easy_setopt(curl_, CURLOPT_SSL_VERIFYHOST, 2L);
        curl_easy_setopt(curl_, CURLOPT_NOSIGNAL, 1L);
        curl_easy_setopt(curl_, CURLOPT_CONNECTTIMEOUT_MS, static_cast<long>(options.connectTimeout.count()));
        curl_easy_setopt(curl_, CURLOPT_USERAGENT, options.userAgent.empty() ? nullptr : options.userAgent.c_str());
        curl_easy_setopt(curl_, CURLOPT_HTTPHEADER, headers.get());
        curl_easy_setopt(curl_, CURLOPT_WRITEFUNCTION, OnBody);
        curl_easy_setopt(curl_, CURLOPT_WRITEDATA, &transfer);
        curl_easy_setopt(curl_, CURLOPT_HEADERFUNCTION, OnHeader);
        curl_easy_setopt(curl_, CURLOPT_HEADERDATA, &transfer);
        curl_easy_setopt(curl_, CURLOPT_XFERINFOFUNCTION, OnProgress);
        curl_easy_setopt(curl_, CURLOPT_XFERINFODATA, &transfer);
        curl_easy_setopt(curl_, CURLOPT_NOPROGRESS, options.progress ? 0L : 1L);

        const CURLcode rc = perform(transfer);
        if (transfer.sinkFailure) std::rethrow_exception(transfer.sinkFailure);
        if (transfer.tooLarge || rc == CURLE_FILESIZE_EXCEEDED)
            throw HttpError("the answer is larger than " + std::to_string(options.maxBodyBytes) + " bytes");
        if (rc == CURLE_TOO_MANY_REDIRECTS)
            throw HttpError("more than " + std::to_string(options.maxRedirects) + " redirects");
        // libcurl reports CURLE_PARTIAL_FILE when the connection ends before the announced length.
        if (rc != CURLE_OK) throw HttpError(curl_easy_strerror(rc));
        curl_easy_getinfo(curl_, CURLINFO_RESPONSE_CODE, &response.status);
        return response;
    }

private:
    static void Global() { static CurlGlobal global; }

    // Runs the request on the multi interface so that the read time-out is
    // measured to the millisecond: libcurl's own low-speed limit counts whole
    // seconds.
    CURLcode perform(Transfer& transfer) {
        struct Attached {
            CURLM* multi;
            CURL* easy;
            ~Attached() { curl_multi_remove_handle(multi, easy); }
        };
        if (curl_multi_add_handle(multi_, curl_) != CURLM_OK) throw HttpError("libcurl could not start a request");
        Attached attached{multi_, curl_};

        const auto readTimeout = transfer.options->readTimeout;
        const auto totalTimeout = transfer.options->totalTimeout;
        const auto started = Clock::now();
        for (;;) {
            int running = 0;
            const CURLMcode mc = curl_multi_perform(multi_, &running);
            if (mc != CURLM_OK) throw HttpError(curl_multi_strerror(mc));
            if (!running) break;

            curl_off_t sentAt = 0;  // zero until the request has gone out
            curl_easy_getinfo(curl_, CURLINFO_PRETRANSFER_TIME_T, &sentAt);
            const auto now = Clock::now();
            if (sentAt == 0) transfer.lastByte = now;
            const auto idle = std::chrono::duration_cast<std::chrono::milliseconds>(now - transfer.lastByte);
            if (idle >= readTimeout)
                throw HttpError("no data from the server for " + std::to_string(readTimeout.count()) + " ms");
            auto wait = std::clamp(readTimeout - idle, std::chrono::milliseconds(1), std::chrono::milliseconds(200));
            if (totalTimeout.count() > 0) {
                const auto spent = std::chrono::duration_cast<std::chrono::milliseconds>(now - started);
                if (spent >= totalTimeout)
                    throw HttpError("the answer took longer than " + std::to_string(totalTimeout.count()) + " ms");
                wait = std::min(wait, std::max(totalTimeout - spent, std::chrono::milliseconds(1)));
            }
            curl_multi_poll(multi_, nullptr, 0, static_cast<int>(wait.count()), nullptr);
        }
        int left = 0;
        while (CURLMsg* msg = curl_multi_info_read(multi_, &left))
            if (msg->msg == CURLMSG_DONE) return msg->data.result;
        return CURLE_RECV_ERROR;
    }

    CURL* curl_;
    CURLM* multi_;
};

}  // namespace

std::unique_ptr<HttpClient> MakeCurlHttpClient(const std::string& trustedCertificates) {
    return std::make_unique<CurlHttpClient>(trustedCertificates);
}

}  // namespace skartina
