#include "HttpClient.h"

#include <curl/curl.h>

#include <algorithm>
#include <cctype>
#include <cmath>
#include <mutex>

namespace {

std::mutex g_sharedMutex;
std::shared_ptr<HttpClient> g_shared;

void initialiseCurlOnce() {
    static std::once_flag once;
    std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
}

struct Transfer {
    std::string body;
    bool tooLarge = false;
    const std::atomic<bool>* cancelled = nullptr;
};

size_t writeBody(char* data, size_t size, size_t count, void* context) {
    auto* transfer = static_cast<Transfer*>(context);
    const size_t bytes = size * count;
    if (transfer->body.size() + bytes > HttpClient::kMaxReplySize) {
        transfer->tooLarge = true;
        return 0;  // makes libcurl stop with a write error
    }
    transfer->body.append(data, bytes);
    return bytes;
}

int progress(void* context, curl_off_t, curl_off_t, curl_off_t, curl_off_t) {
    auto* transfer = static_cast<Transfer*>(context);
    return transfer->cancelled && transfer->cancelled->load() ? 1 : 0;
}

bool hasWebScheme(const std::string& url) {
    auto startsWith = [&](const char* prefix) {
        const std::string p(prefix);
        if (url.size() < p.size()) return false;
        for (size_t i = 0; i < p.size(); ++i)
            if (std::tolower(static_cast<unsigned char>(url[i])) != p[i]) return false;
        return true;
    };
    return startsWith("http://") || startsWith("https://");
}

HttpResponse failure(HttpClient::ErrorCode code, const std::string& message, long status = 0) {
    HttpResponse response;
    response.statusCode = status;
    response.error = NSError::withDomain(HttpClient::kErrorDomain, code,
                                         std::u16string(message.begin(), message.end()));
    return response;
}

std::string asciiOnly(const std::string& text) {
    std::string out;
    for (unsigned char c : text) out += c < 0x80 ? static_cast<char>(c) : '?';
    return out;
}

}  // namespace

std::shared_ptr<HttpClient> HttpClient::shared() {
    std::lock_guard<std::mutex> lock(g_sharedMutex);
    if (!g_shared) g_shared = std::make_shared<CurlHttpClient>();
    return g_shared;
}

void HttpClient::setShared(std::shared_ptr<HttpClient> client) {
    std::lock_guard<std::mutex> lock(g_sharedMutex);
    g_shared = std::move(client);
}

HttpResponse CurlHttpClient::get(const std::string& url, NSTimeInterval timeout,
                                 const std::atomic<bool>* cancelled) {
    if (!hasWebScheme(url))
        return failure(kUnsupportedURL,
                       "Unsupported address (only http and https): " + asciiOnly(url));
    initialiseCurlOnce();
    CURL* curl = curl_easy_init();
    if (!curl) return failure(kTransferFailed, "The HTTP client could not start");

    Transfer transfer;
    transfer.cancelled = cancelled;
    char errorText[CURL_ERROR_SIZE] = {0};
    // At least a millisecond: zero would mean no limit to libcurl.
    const long timeoutMs = std::isfinite(timeout) && timeout > 0
                               ? std::max(1L, std::lround(timeout * 1000.0))
                               : 60000L;

    curl_easy_setopt(curl, CURLOPT_URL, url.c_str());
    curl_easy_setopt(curl, CURLOPT_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(curl, CURLOPT_REDIR_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(curl, CURLOPT_FOLLOWLOCATION, 1L);
    curl_easy_setopt(curl, CURLOPT_MAXREDIRS, 5L);
    curl_easy_setopt(curl, CURLOPT_TIMEOUT_MS, timeoutMs);
    curl_easy_setopt(curl, CURLOPT_CONNECTTIMEOUT_MS, timeoutMs);
    // Worker threads must not receive signals from name resolution time-outs.
    curl_easy_setopt(curl, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, writeBody);
    curl_easy_setopt(curl, CURLOPT_WRITEDATA, &transfer);
    curl_easy_setopt(curl, CURLOPT_XFERINFOFUNCTION, progress);
    curl_easy_setopt(curl, CURLOPT_XFERINFODATA, &transfer);
    curl_easy_setopt(curl, CURLOPT_NOPROGRESS, 0L);
    curl_easy_setopt(curl, CURLOPT_ERRORBUFFER, errorText);
    curl_easy_setopt(curl, CURLOPT_ACCEPT_ENCODING, "");

    const CURLcode result = curl_easy_perform(curl);
    long status = 0;
    curl_easy_getinfo(curl, CURLINFO_RESPONSE_CODE, &status);
    curl_easy_cleanup(curl);

    if (result != CURLE_OK) {
        const std::string reason = errorText[0] ? errorText : curl_easy_strerror(result);
        if (transfer.tooLarge) return failure(kReplyTooLarge, "The reply is too large", status);
        if (result == CURLE_ABORTED_BY_CALLBACK)
            return failure(kCancelled, "The request was cancelled");
        if (result == CURLE_OPERATION_TIMEDOUT)
            return failure(kTimedOut, "The request timed out: " + reason, status);
        if (result == CURLE_UNSUPPORTED_PROTOCOL || result == CURLE_URL_MALFORMAT)
            return failure(kUnsupportedURL, "Unsupported address: " + reason);
        return failure(kTransferFailed, "The request failed: " + reason, status);
    }
    if (status < 200 || status > 299)
        return failure(kBadStatus, "The server answered with status " + std::to_string(status),
                       status);
    HttpResponse response;
    response.success = true;
    response.statusCode = status;
    response.body = std::move(transfer.body);
    return response;
}

std::string NKPercentEncode(const std::string& utf8) {
    static const char* const hex = "0123456789ABCDEF";
    std::string out;
    out.reserve(utf8.size());
    for (unsigned char c : utf8) {
        const bool unreserved = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') ||
                                (c >= '0' && c <= '9') || c == '-' || c == '.' || c == '_' ||
                                c == '~';
        if (unreserved) {
            out += static_cast<char>(c);
        } else {
            out += '%';
            out += hex[c >> 4];
            out += hex[c & 0xF];
        }
    }
    return out;
}
