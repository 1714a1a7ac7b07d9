#include "app/league/webhook.h"

#include <curl/curl.h>

#include <algorithm>
#include <cctype>
#include <chrono>
#include <cstring>
#include <ctime>
#include <optional>
#include <string_view>
#include <thread>

namespace vorskal {

namespace {

std::size_t discard(char*, std::size_t size, std::size_t count, void*) {
    return size * count;
}

// The body, handed to libcurl as it asks: once it asks, the body may be on
// its way to the receiver.
struct Upload {
    const std::string* body;
    std::size_t at = 0;
    bool started = false;
};

std::size_t readBody(char* buffer, std::size_t size, std::size_t count, void* user) {
    Upload& upload = *static_cast<Upload*>(user);
    upload.started = true;
    const std::size_t n = std::min(size * count, upload.body->size() - upload.at);
    std::memcpy(buffer, upload.body->data() + upload.at, n);
    upload.at += n;
    return n;
}

// The seconds a Retry-After line asks to wait (a number, or an HTTP date:
// the time until it); nullopt for any other header line or a value not
// understood.
std::optional<long> retryAfter(std::string line) {
    constexpr std::string_view name = "retry-after:";
    if (line.size() < name.size()) {
        return std::nullopt;
    }
    for (std::size_t i = 0; i < name.size(); ++i) {
        if (std::tolower(static_cast<unsigned char>(line[i])) != name[i]) {
            return std::nullopt;
        }
    }
    line.erase(0, name.size());
    line.erase(0, line.find_first_not_of(" \t"));
    line.erase(line.find_last_not_of(" \t\r\n") + 1);
    if (line.empty()) {
        return std::nullopt;
    }
    if (line.find_first_not_of("0123456789") == std::string::npos) {
        return line.size() > 9 ? 999999999L : std::stol(line);
    }
    const time_t when = curl_getdate(line.c_str(), nullptr);
    if (when == -1) {
        return std::nullopt;
    }
    return std::max(0L, static_cast<long>(when - std::time(nullptr)));
}

std::size_t readHeader(char* buffer, std::size_t size, std::size_t count, void* user) {
    if (const std::optional<long> seconds = retryAfter(std::string(buffer, size * count))) {
        *static_cast<std::optional<long>*>(user) = seconds;
    }
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

struct Try {
    bool taken = false;
    bool retry = false;
    bool maybeTaken = false;
    std::optional<long> retryAfterSeconds;
    std::string failure;
};

Try tryOnce(const std::string& address, const std::string& body, long timeoutMs) {
    Try got;
    Easy easy;
    if (easy.handle == nullptr) {
        got.failure = "libcurl could not start";
        return got;
    }
    Upload upload{&body};
    easy.headers = curl_slist_append(easy.headers, "Content-Type: application/json");
    easy.headers = curl_slist_append(easy.headers, "Expect:");  // no 100-continue round
    CURL* h = easy.handle;
    curl_easy_setopt(h, CURLOPT_URL, address.c_str());
    curl_easy_setopt(h, CURLOPT_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(h, CURLOPT_HTTPHEADER, easy.headers);
    curl_easy_setopt(h, CURLOPT_POST, 1L);
    curl_easy_setopt(h, CURLOPT_READFUNCTION, readBody);
    curl_easy_setopt(h, CURLOPT_READDATA, &upload);
    curl_easy_setopt(h, CURLOPT_POSTFIELDSIZE_LARGE, static_cast<curl_off_t>(body.size()));
    curl_easy_setopt(h, CURLOPT_TIMEOUT_MS, timeoutMs);
    curl_easy_setopt(h, CURLOPT_CONNECTTIMEOUT_MS, timeoutMs);
    curl_easy_setopt(h, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(h, CURLOPT_WRITEFUNCTION, discard);
    curl_easy_setopt(h, CURLOPT_HEADERFUNCTION, readHeader);
    curl_easy_setopt(h, CURLOPT_HEADERDATA, &got.retryAfterSeconds);
    curl_easy_setopt(h, CURLOPT_USERAGENT, "vorskal-league");
    const CURLcode code = curl_easy_perform(h);
    long status = 0;
    curl_easy_getinfo(h, CURLINFO_RESPONSE_CODE, &status);
    if (status >= 200 && status < 300) {
        got.taken = true;  // even when the rest of the answer was lost
        return got;
    }
    if (status != 0) {
        got.retry = status == 429 || status == 500 || status == 502 || status == 503;
        if (status != 429 && status != 503) {
            got.retryAfterSeconds.reset();
        }
        got.failure = "HTTP " + std::to_string(status);
        return got;
    }
    got.retryAfterSeconds.reset();
    got.failure = code == CURLE_OK ? "no answer" : curl_easy_strerror(code);
    if (upload.started) {
        got.maybeTaken = true;
        got.failure += " after the summary was sent, so it was not sent again";
        return got;
    }
    got.retry = code == CURLE_COULDNT_CONNECT || code == CURLE_COULDNT_RESOLVE_HOST ||
                code == CURLE_OPERATION_TIMEDOUT;
    return got;
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
        const Try got = tryOnce(address, body, tries.timeoutMs);
        outcome.failure = got.failure;
        outcome.maybeTaken = got.maybeTaken;
        if (got.taken) {
            outcome.sent = true;
            return outcome;
        }
        if (!got.retry || n == tries.tries) {
            break;
        }
        if (got.retryAfterSeconds) {
            if (*got.retryAfterSeconds > tries.maxWaitMs / 1000) {
                outcome.failure += ", and its Retry-After asks for " +
                                   std::to_string(*got.retryAfterSeconds) + " s, more than the " +
                                   std::to_string(tries.maxWaitMs / 1000) + " s this waits";
                break;
            }
            wait = std::max(wait, *got.retryAfterSeconds * 1000);
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(wait));
        wait = std::min(wait * 2, tries.maxWaitMs);
    }
    return outcome;
}

}  // namespace vorskal
