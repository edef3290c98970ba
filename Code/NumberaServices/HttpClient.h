// Plain HTTP GET for the data services: http and https only, a time-out per request, and any
// status outside 200-299 counted as a failure. Blocking; the callers run it off the main thread.
#ifndef NUMBERA_SERVICES_HTTP_CLIENT_H
#define NUMBERA_SERVICES_HTTP_CLIENT_H

#include <atomic>
#include <cstdint>
#include <memory>
#include <string>

#include "Clock.h"
#include "NSError.h"

struct HttpResponse {
    // The transfer completed with a 2xx status; otherwise error says why.
    bool success = false;
    long statusCode = 0;
    std::string body;
    NSError error;
};

class HttpClient {
  public:
    static constexpr const char* kErrorDomain = "NKHttpClient";
    enum ErrorCode : int64_t {
        kUnsupportedURL = 1,
        kTransferFailed = 2,
        kBadStatus = 3,
        kCancelled = 4,
        kTimedOut = 5,
        kReplyTooLarge = 6,
    };
    // Replies larger than this are refused: no service answers with more than a few kilobytes.
    static constexpr size_t kMaxReplySize = 8 * 1024 * 1024;

    virtual ~HttpClient() = default;
    // Any thread. When cancelled becomes true the transfer stops soon and fails.
    virtual HttpResponse get(const std::string& url, NSTimeInterval timeout,
                             const std::atomic<bool>* cancelled = nullptr) = 0;

    // The process's client: libcurl until another is installed.
    static std::shared_ptr<HttpClient> shared();
    // Null restores the default.
    static void setShared(std::shared_ptr<HttpClient> client);
};

class CurlHttpClient final : public HttpClient {
  public:
    HttpResponse get(const std::string& url, NSTimeInterval timeout,
                     const std::atomic<bool>* cancelled = nullptr) override;
};

// Percent-encodes everything but A-Z, a-z, 0-9 and "-", ".", "_", "~", so that a value cannot
// add query keys or break out of its place in an address.
std::string NKPercentEncode(const std::string& utf8);

#endif
