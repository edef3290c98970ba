// A failure told to the caller: a domain, a code within it, and the two texts shown to the user.
#ifndef NUMBERA_PLATFORM_NSERROR_H
#define NUMBERA_PLATFORM_NSERROR_H

#include <cstdint>
#include <string>

inline constexpr const char* NSCocoaErrorDomain = "NSCocoaErrorDomain";
// The code of a refused value in the Cocoa domain.
inline constexpr int64_t NSKeyValueValidationError = 2048;

struct NSError {
    std::string domain;
    int64_t code = 0;
    std::u16string localizedDescription;
    std::u16string localizedRecoverySuggestion;

    static NSError withDomain(std::string domain, int64_t code, std::u16string description,
                              std::u16string recoverySuggestion = {}) {
        return NSError{std::move(domain), code, std::move(description),
                       std::move(recoverySuggestion)};
    }
    bool operator==(const NSError&) const = default;
};

#endif
