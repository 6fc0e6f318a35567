#include "common/HttpClient.h"

#include <curl/curl.h>

#include <algorithm>

namespace skartina {
namespace {

struct CurlGlobal {
    CurlGlobal() { curl_global_init(CURL_GLOBAL_DEFAULT); }
    ~CurlGlobal() { curl_global_cleanup(); }
};

size_t AppendBody(char* data, size_t size, size_t count, void* body) {
    static_cast<std::string*>(body)->append(data, size * count);
    return size * count;
}

int Progress(void* options, curl_off_t total, curl_off_t received, curl_off_t, curl_off_t) {
    const auto* o = static_cast<const HttpOptions*>(options);
    if (o->progress) o->progress(received, total);
    return 0;
}

class CurlHttpClient : public HttpClient {
public:
    CurlHttpClient() : curl_((Global(), curl_easy_init())) {
        if (!curl_) throw HttpError("libcurl could not start");
        curl_easy_setopt(curl_, CURLOPT_COOKIEFILE, "");  // keep cookies in memory
    }
    ~CurlHttpClient() override { curl_easy_cleanup(curl_); }

    HttpResponse get(const std::string& url, const HttpOptions& options) override {
        HttpResponse response;
        curl_easy_setopt(curl_, CURLOPT_URL, url.c_str());
        curl_easy_setopt(curl_, CURLOPT_HTTPGET, 1L);
        curl_easy_setopt(curl_, CURLOPT_FOLLOWLOCATION, 1L);
        curl_easy_setopt(curl_, CURLOPT_NOSIGNAL, 1L);
        curl_easy_setopt(curl_, CURLOPT_CONNECTTIMEOUT_MS, static_cast<long>(options.connectTimeout.count()));
        // A read time-out: fewer than one byte a second for the whole period.
        curl_easy_setopt(curl_, CURLOPT_LOW_SPEED_LIMIT, 1L);
        curl_easy_setopt(curl_, CURLOPT_LOW_SPEED_TIME,
                         std::max(1L, static_cast<long>(options.readTimeout.count() / 1000)));
        curl_easy_setopt(curl_, CURLOPT_WRITEFUNCTION, AppendBody);
        curl_easy_setopt(curl_, CURLOPT_WRITEDATA, &response.body);
        curl_easy_setopt(curl_, CURLOPT_XFERINFOFUNCTION, Progress);
        curl_easy_setopt(curl_, CURLOPT_XFERINFODATA, &options);
        curl_easy_setopt(curl_, CURLOPT_NOPROGRESS, options.progress ? 0L : 1L);

        const CURLcode rc = curl_easy_perform(curl_);
        if (rc != CURLE_OK) throw HttpError(curl_easy_strerror(rc));
        curl_easy_getinfo(curl_, CURLINFO_RESPONSE_CODE, &response.status);
        return response;
    }

private:
    static void Global() { static CurlGlobal global; }
    CURL* curl_;
};

}  // namespace

std::unique_ptr<HttpClient> MakeCurlHttpClient() { return std::make_unique<CurlHttpClient>(); }

}  // namespace skartina
