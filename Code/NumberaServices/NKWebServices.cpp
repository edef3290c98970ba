#include "NKWebServices.h"

#include <cctype>
#include <charconv>
#include <cmath>
#include <cstdlib>

#include "NKTextHelpers.h"
#include "Settings.h"

namespace {

std::optional<std::string> configuredText(const char* key, const char* variable) {
    if (auto text = Settings::standard()->stringForKey(key)) {
        if (!text->empty()) return NKUTF8(*text);
    }
    if (const char* value = std::getenv(variable)) {
        if (*value) return std::string(value);
    }
    return std::nullopt;
}

std::string lowercase(std::string text) {
    for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

}  // namespace

std::optional<std::string> NKWebServiceConfiguration::normalizedOrigin(
    const std::string& value, const std::string& defaultScheme) {
    std::string text = value;
    while (!text.empty() && std::isspace(static_cast<unsigned char>(text.back()))) text.pop_back();
    size_t start = 0;
    while (start < text.size() && std::isspace(static_cast<unsigned char>(text[start]))) ++start;
    text.erase(0, start);
    if (text.empty()) return std::nullopt;
    for (unsigned char c : text)
        if (c <= 0x20 || c == 0x7F || c == '?' || c == '#' || c == '\\') return std::nullopt;

    const size_t separator = text.find("://");
    std::string scheme = defaultScheme;
    std::string rest = text;
    if (separator != std::string::npos) {
        scheme = lowercase(text.substr(0, separator));
        rest = text.substr(separator + 3);
    }
    if (scheme != "http" && scheme != "https") {
        NKLogLine("Warning: Service address '" + value + "' ignored: only http and https are used");
        return std::nullopt;
    }
    while (!rest.empty() && rest.back() == '/') rest.pop_back();
    // host[:port], then an optional path prefix.
    const std::string authority = rest.substr(0, rest.find('/'));
    const size_t colon = authority.rfind(':');
    const std::string host = authority.substr(0, colon);
    if (host.empty() || host.find('@') != std::string::npos) return std::nullopt;
    if (colon != std::string::npos) {
        const std::string port = authority.substr(colon + 1);
        if (port.empty() || port.size() > 5) return std::nullopt;
        for (char c : port)
            if (!std::isdigit(static_cast<unsigned char>(c))) return std::nullopt;
    }
    return scheme + "://" + rest;
}

std::optional<std::string> NKWebServiceConfiguration::origin(NKWebService service,
                                                             const std::string& defaultScheme) {
    std::optional<std::string> text;
    switch (service) {
        case NKWebService::Quotes:
            text = configuredText(kQuotesAddressKey, kQuotesAddressVariable);
            break;
        case NKWebService::Data:
            text = configuredText(kDataAddressKey, kDataAddressVariable);
            break;
        case NKWebService::Bitcoin:
            text = configuredText(kBitcoinAddressKey, kBitcoinAddressVariable);
            break;
    }
    if (!text) return std::nullopt;
    return normalizedOrigin(*text, defaultScheme);
}

NSTimeInterval NKWebServiceConfiguration::timeout(NSTimeInterval defaultTimeout) {
    if (auto value = Settings::standard()->objectForKey(kTimeoutKey)) {
        double seconds = 0;
        if (auto* real = std::get_if<double>(&*value)) seconds = *real;
        if (auto* whole = std::get_if<int64_t>(&*value)) seconds = static_cast<double>(*whole);
        if (std::isfinite(seconds) && seconds > 0) return seconds;
    }
    if (const char* text = std::getenv(kTimeoutVariable)) {
        double seconds = 0;
        const char* end = text + std::char_traits<char>::length(text);
        auto [ptr, ec] = std::from_chars(text, end, seconds);
        if (ec == std::errc() && ptr == end && std::isfinite(seconds) && seconds > 0)
            return seconds;
    }
    return defaultTimeout;
}
