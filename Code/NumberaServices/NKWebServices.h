// Where the three data services live. Their addresses are configuration: a settings key, else
// an environment variable, else nothing, in which case no request is made and the source
// counts as failed. A configured value is a host ("quotes.example.com", given the service's
// own scheme) or an origin with a scheme, http or https only ("http://127.0.0.1:8080").
#ifndef NUMBERA_SERVICES_NK_WEB_SERVICES_H
#define NUMBERA_SERVICES_NK_WEB_SERVICES_H

#include <optional>
#include <string>

#include "Clock.h"

enum class NKWebService {
    Quotes,   // the CSV quote service
    Data,     // the maker's data service
    Bitcoin,  // the bitcoin rate service
};

struct NKWebServiceConfiguration {
    // Settings keys and environment variables of the addresses.
    static constexpr const char* kQuotesAddressKey = "NBQuoteServiceAddress";
    static constexpr const char* kDataAddressKey = "NBDataServiceAddress";
    static constexpr const char* kBitcoinAddressKey = "NBBitcoinServiceAddress";
    static constexpr const char* kQuotesAddressVariable = "NUMBERA_QUOTE_SERVICE";
    static constexpr const char* kDataAddressVariable = "NUMBERA_DATA_SERVICE";
    static constexpr const char* kBitcoinAddressVariable = "NUMBERA_BITCOIN_SERVICE";
    // Seconds; overrides every request's own time-out when set to a positive number.
    static constexpr const char* kTimeoutKey = "NBWebRequestTimeout";
    static constexpr const char* kTimeoutVariable = "NUMBERA_WEB_TIMEOUT";

    // "scheme://host[:port]" without a trailing "/"; none when not configured or unusable.
    static std::optional<std::string> origin(NKWebService service,
                                             const std::string& defaultScheme);
    // The configured time-out, else the caller's own.
    static NSTimeInterval timeout(NSTimeInterval defaultTimeout);
    // A configured value made into an origin; none for other schemes, queries, fragments,
    // blanks or control characters.
    static std::optional<std::string> normalizedOrigin(const std::string& value,
                                                       const std::string& defaultScheme);
};

#endif
