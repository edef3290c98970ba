// Text conversions and a log line for code that builds its messages as strings.
#ifndef NUMBERA_KIT_NK_TEXT_HELPERS_H
#define NUMBERA_KIT_NK_TEXT_HELPERS_H

#include <optional>
#include <string>

#include "NBFString.h"
#include "NKLog.h"

inline std::string NKUTF8(const std::u16string& text) { return NBFUTF16ToUTF8(text); }
inline std::u16string NKUTF16(const std::string& text) { return NBFUTF8ToUTF16(text); }
inline void NKLogLine(const std::string& line) { NKLog("%s", line.c_str()); }
inline std::optional<std::u16string> NKUTF16(const std::optional<std::string>& text) {
    return text ? std::optional<std::u16string>(NKUTF16(*text)) : std::nullopt;
}

#endif
