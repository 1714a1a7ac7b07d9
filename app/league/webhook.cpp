#include "app/league/webhook.h"

#include <curl/curl.h>

#include <chrono>
#include <memory>
#include <thread>

namespace vorskal {

namespace {

std::size_t discard(char*, std::size_t size, std::size_t count, void*) {
    return size * count;
}

struct Easy {
    Easy() : handle(curl_easy_init()) {}
    ~Easy() {
        curl_slist_free_all(headers);
        curl_easy_cleanup(handle);
    }
    Easy(const Easy&) = delete;
    Easy& operator=(const Easy&) = delete;
    CURL* handle;
    curl_slist* headers = nullptr;
};

// One try: "" when the receiver took it; `retry` when another try may do.
std::string tryOnce(const std::string& address, const std::string& body, long timeoutMs,
                    bool& retry) {
    Easy easy;
    if (easy.handle == nullptr) {
        retry = false;
        return "libcurl could not start";
    }
    easy.headers = curl_slist_append(easy.headers, "Content-Type: application/json");
    easy.headers = curl_slist_append(easy.headers, "Expect:");  // no 100-continue round
    CURL* h = easy.handle;
    curl_easy_setopt(h, CURLOPT_URL, address.c_str());
    curl_easy_setopt(h, CURLOPT_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(h, CURLOPT_HTTPHEADER, easy.headers);
    curl_easy_setopt(h, CURLOPT_POSTFIELDS, body.data());
    curl_easy_setopt(h, CURLOPT_POSTFIELDSIZE_LARGE, static_cast<curl_off_t>(body.size()));
    curl_easy_setopt(h, CURLOPT_TIMEOUT_MS, timeoutMs);
    curl_easy_setopt(h, CURLOPT_CONNECTTIMEOUT_MS, timeoutMs);
    curl_easy_setopt(h, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(h, CURLOPT_WRITEFUNCTION, discard);
    curl_easy_setopt(h, CURLOPT_USERAGENT, "vorskal-league");
    const CURLcode code = curl_easy_perform(h);
    if (code != CURLE_OK) {
        retry = code == CURLE_OPERATION_TIMEDOUT || code == CURLE_COULDNT_CONNECT ||
                code == CURLE_GOT_NOTHING || code == CURLE_RECV_ERROR || code == CURLE_SEND_ERROR ||
                code == CURLE_COULDNT_RESOLVE_HOST;
        return curl_easy_strerror(code);
    }
    long status = 0;
    curl_easy_getinfo(h, CURLINFO_RESPONSE_CODE, &status);
    if (status >= 200 && status < 300) {
        return {};
    }
    retry = status == 429 || status >= 500;
    return "HTTP " + std::to_string(status);
}

}  // namespace

PostOutcome postJson(const std::string& address, const std::string& body, const PostTries& tries) {
    static const CURLcode started = curl_global_init(CURL_GLOBAL_DEFAULT);
    PostOutcome outcome;
    if (started != CURLE_OK) {
        outcome.failure = curl_easy_strerror(started);
        return outcome;
    }
    long wait = tries.backoffMs;
    for (int n = 1; n <= tries.tries; ++n) {
        outcome.triesMade = n;
        bool retry = false;
        outcome.failure = tryOnce(address, body, tries.timeoutMs, retry);
        if (outcome.failure.empty()) {
            outcome.sent = true;
            return outcome;
        }
        if (!retry || n == tries.tries) {
            break;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(wait));
        wait *= 2;
    }
    return outcome;
}

}  // namespace vorskal
