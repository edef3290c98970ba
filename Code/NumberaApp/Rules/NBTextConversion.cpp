#include "NBTextConversion.h"

#include <utf8.h>

#include <cstdint>
#include <iterator>

std::u16string NBUtf16(const std::string& utf8) {
    std::string valid;
    utf8::replace_invalid(utf8.begin(), utf8.end(), std::back_inserter(valid));
    std::u16string out;
    utf8::utf8to16(valid.begin(), valid.end(), std::back_inserter(out));
    return out;
}

std::string NBUtf8(const std::u16string& utf16) {
    std::string out;
    for (size_t i = 0; i < utf16.size(); ++i) {
        char32_t c = utf16[i];
        if (c >= 0xD800 && c <= 0xDBFF && i + 1 < utf16.size() && utf16[i + 1] >= 0xDC00 &&
            utf16[i + 1] <= 0xDFFF) {
            c = 0x10000 + ((c - 0xD800) << 10) + (utf16[i + 1] - 0xDC00);
            ++i;
        } else if (c >= 0xD800 && c <= 0xDFFF) {
            c = 0xFFFD;
        }
        utf8::append(static_cast<uint32_t>(c), std::back_inserter(out));
    }
    return out;
}
