// An error that is only a message.
#ifndef NUMBERA_SERVICES_NSERROR_SIMPLEADDITIONS_H
#define NUMBERA_SERVICES_NSERROR_SIMPLEADDITIONS_H

#include <string>

#include "NSError.h"

// Cocoa domain, code 2048, the text as its description.
inline NSError simpleErrorWithString(const std::u16string& string) {
    return NSError::withDomain(NSCocoaErrorDomain, NSKeyValueValidationError, string);
}

#endif
