#include "NBFString.h"

#include <unicode/ustring.h>
#include <utf8cpp/utf8.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace {

char* copyToCString(const std::string& text) {
    char* buffer = static_cast<char*>(std::malloc(text.size() + 1));
    std::memcpy(buffer, text.data(), text.size());
    buffer[text.size()] = '\0';
    return buffer;
}

// UTF-8 of one code unit. A lone surrogate is written as its three-byte form rather than
// being paired with whatever follows it.
std::string utf8OfCodeUnit(NBFChar unit) {
    std::string out;
    if (unit < 0x80) {
        out += static_cast<char>(unit);
    } else if (unit < 0x800) {
        out += static_cast<char>(0xC0 | (unit >> 6));
        out += static_cast<char>(0x80 | (unit & 0x3F));
    } else {
        out += static_cast<char>(0xE0 | (unit >> 12));
        out += static_cast<char>(0x80 | ((unit >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (unit & 0x3F));
    }
    return out;
}

}  // namespace

std::u16string NBFUTF8ToUTF16(const std::string& text) {
    // Plain ASCII (every number's text) is valid as it stands and widens unit for unit.
    if (std::all_of(text.begin(), text.end(),
                    [](char c) { return static_cast<unsigned char>(c) < 0x80; }))
        return std::u16string(text.begin(), text.end());
    std::string valid = utf8::replace_invalid(text);
    std::u16string units;
    units.reserve(valid.size());
    utf8::utf8to16(valid.begin(), valid.end(), std::back_inserter(units));
    return units;
}

std::string NBFUTF16ToUTF8(const std::u16string& units) {
    std::string out;
    out.reserve(units.size());
    for (size_t i = 0; i < units.size(); ++i) {
        char16_t unit = units[i];
        // Most text (every page of markup) is ASCII: a byte for a unit, with no string made.
        if (unit < 0x80) {
            out.push_back(static_cast<char>(unit));
            continue;
        }
        bool high = unit >= 0xD800 && unit <= 0xDBFF;
        if (high && i + 1 < units.size() && units[i + 1] >= 0xDC00 && units[i + 1] <= 0xDFFF) {
            uint32_t codePoint = 0x10000 + ((unit - 0xD800) << 10) + (units[i + 1] - 0xDC00);
            utf8::append(codePoint, std::back_inserter(out));
            ++i;
        } else if (unit >= 0xD800 && unit <= 0xDFFF) {
            utf8::append(0xFFFD, std::back_inserter(out));
        } else {
            out += utf8OfCodeUnit(unit);
        }
    }
    return out;
}

NBFStringRef NBFStringCreateWithUTF8(const char* text) {
    if (!text) return nullptr;
    return NBF::String::create(NBFUTF8ToUTF16(text));
}

NBFStringRef NBFStringCreateWithCppString(const std::string& text) {
    return NBF::String::create(NBFUTF8ToUTF16(text));
}

NBFStringRef NBFStringCreateWithInteger(int64_t value) {
    std::string digits = std::to_string(value);
    return NBF::String::create(std::u16string(digits.begin(), digits.end()));
}

NBFStringRef NBFStringCreateWithCharacter(NBFChar character) {
    return NBF::String::create(std::u16string(1, static_cast<char16_t>(character)));
}

NBFStringRef NBFStringCreateWithCharacters(const NBFChar* characters, int32_t count) {
    if (!characters || count <= 0) return NBF::String::create(std::u16string());
    return NBF::String::create(std::u16string(characters, characters + count));
}

NBFStringRef NBFStringCreateWithUTF16(std::u16string units) {
    return NBF::String::create(std::move(units));
}

NBFStringRef NBFStringRetain(NBFStringRef string) { return NBF::retain(string); }
NBFStringRef NBFStringCopy(NBFStringRef string) { return NBF::retain(string); }
void NBFStringRelease(NBFStringRef string) { NBF::release(string); }
void NBFStringFree(NBFStringRef string) { NBF::release(string); }

int32_t NBFStringLength(NBFStringRef string) {
    return string ? static_cast<int32_t>(string->units().size()) : 0;
}

NBFChar NBFStringGetCharAtIndex(NBFStringRef string, int32_t index) {
    if (!string || index < 0 || static_cast<size_t>(index) >= string->units().size()) return 0;
    return string->units()[static_cast<size_t>(index)];
}

int32_t NBFStringGetChars(NBFStringRef string, NBFChar* buffer, int32_t capacity) {
    if (!string || !buffer || capacity <= 0) return 0;
    int32_t count = std::min(NBFStringLength(string), capacity);
    std::copy_n(string->units().begin(), count, buffer);
    return count;
}

NBFStringRef NBFStringSubString(NBFStringRef string, int32_t location, int32_t length) {
    if (!string) return nullptr;
    int64_t size = NBFStringLength(string);
    int64_t start = std::clamp<int64_t>(location, 0, size);
    int64_t end =
        std::clamp<int64_t>(static_cast<int64_t>(start) + std::max(length, 0), start, size);
    return NBF::String::create(string->units().substr(start, end - start));
}

int NBFStringCompare(NBFStringRef a, NBFStringRef b) {
    if (!a || !b) return -1;
    return a->units() == b->units() ? 0 : -1;
}

NBFStringRef NBFStringConcatenate(NBFStringRef a, NBFStringRef b) {
    std::u16string units;
    units.reserve(NBFStringLength(a) + NBFStringLength(b));
    if (a) units += a->units();
    if (b) units += b->units();
    return NBF::String::create(std::move(units));
}

NBFStringRef NBFStringLowercaseString(NBFStringRef string) {
    if (!string) return nullptr;
    const std::u16string& source = string->units();
    if (source.empty()) return NBF::String::create(std::u16string());
    // Root-locale full case mapping: the same answer whatever the user's language.
    std::u16string lower(source.size() + 8, u'\0');
    UErrorCode status = U_ZERO_ERROR;
    int32_t length =
        u_strToLower(reinterpret_cast<UChar*>(lower.data()), static_cast<int32_t>(lower.size()),
                     reinterpret_cast<const UChar*>(source.data()),
                     static_cast<int32_t>(source.size()), "", &status);
    if (status == U_BUFFER_OVERFLOW_ERROR) {
        lower.assign(static_cast<size_t>(length), u'\0');
        status = U_ZERO_ERROR;
        length = u_strToLower(reinterpret_cast<UChar*>(lower.data()), length,
                              reinterpret_cast<const UChar*>(source.data()),
                              static_cast<int32_t>(source.size()), "", &status);
    }
    if (U_FAILURE(status)) return NBF::String::create(source);
    lower.resize(static_cast<size_t>(length));
    return NBF::String::create(std::move(lower));
}

char* NBFStringGetUTF8(NBFStringRef string, int32_t* outLength) {
    if (!string) {
        if (outLength) *outLength = 0;
        return nullptr;
    }
    std::string utf8 = NBFUTF16ToUTF8(string->units());
    if (outLength) *outLength = static_cast<int32_t>(utf8.size() + 1);
    return copyToCString(utf8);
}

char* NBFStringGetASCII(NBFStringRef string) {
    std::string ascii;
    if (string) {
        ascii.reserve(string->units().size());
        for (char16_t unit : string->units())
            ascii += (unit < 0x80 && unit != 0) ? static_cast<char>(unit) : '?';
    }
    return copyToCString(ascii);
}

std::string NBFStringGetCppString(NBFStringRef string) {
    return string ? NBFUTF16ToUTF8(string->units()) : std::string();
}

void NBFStringPrint(NBFStringRef string) {
    std::string utf8 = NBFStringGetCppString(string);
    std::fwrite(utf8.data(), 1, utf8.size(), stdout);
}

int NBFCharCompare(NBFChar a, NBFChar b) {
    if (a == b) return 0;
    return a < b ? -1 : 1;
}

char* NBFCharGetUTF8(NBFChar character) { return copyToCString(utf8OfCodeUnit(character)); }

NBFChar NBFCharFromUTF8(const char* text) {
    if (!text) return 0;
    std::string bytes(text);
    if (bytes.empty() || !utf8::is_valid(bytes.begin(), bytes.end())) return 0;
    std::u16string units;
    utf8::utf8to16(bytes.begin(), bytes.end(), std::back_inserter(units));
    return units.size() == 1 ? units[0] : 0;
}
