// The foundation's immutable text: reference-counted UTF-16 code units, made from and read back
// as UTF-8. Every length, index and range counts UTF-16 code units.
//
// Ownership: Create/Copy hand out a reference the caller releases; C strings handed out
// (GetUTF8, GetASCII, CharGetUTF8) are malloc'ed and freed by the caller with free().
#ifndef NUMBERA_FOUNDATION_NBF_STRING_H
#define NUMBERA_FOUNDATION_NBF_STRING_H

#include <cstdint>
#include <string>

#include "NBFObject.h"

typedef uint16_t NBFChar;

namespace NBF {

class String : public Object<String> {
  public:
    static String* create(std::u16string units) { return new String(std::move(units)); }
    const std::u16string& units() const { return m_units; }

  private:
    explicit String(std::u16string units) : m_units(std::move(units)) {}
    const std::u16string m_units;
};

}  // namespace NBF

typedef NBF::String* NBFStringRef;

// Invalid UTF-8 sequences become U+FFFD; null text gives null.
NBFStringRef NBFStringCreateWithUTF8(const char* text);
NBFStringRef NBFStringCreateWithCppString(const std::string& text);
NBFStringRef NBFStringCreateWithInteger(int64_t value);
NBFStringRef NBFStringCreateWithCharacter(NBFChar character);
NBFStringRef NBFStringCreateWithCharacters(const NBFChar* characters, int32_t count);
// Our own addition for callers that already hold UTF-16 text.
NBFStringRef NBFStringCreateWithUTF16(std::u16string units);

NBFStringRef NBFStringRetain(NBFStringRef string);
NBFStringRef NBFStringCopy(NBFStringRef string);
void NBFStringRelease(NBFStringRef string);
void NBFStringFree(NBFStringRef string);

int32_t NBFStringLength(NBFStringRef string);
// 0 for a null string or an index outside the string.
NBFChar NBFStringGetCharAtIndex(NBFStringRef string, int32_t index);
int32_t NBFStringGetChars(NBFStringRef string, NBFChar* buffer, int32_t capacity);
// The range is clamped to the string; never null for a non-null string.
NBFStringRef NBFStringSubString(NBFStringRef string, int32_t location, int32_t length);
// 0 when both are non-null and equal code unit for code unit; -1 otherwise.
int NBFStringCompare(NBFStringRef a, NBFStringRef b);
NBFStringRef NBFStringConcatenate(NBFStringRef a, NBFStringRef b);
NBFStringRef NBFStringLowercaseString(NBFStringRef string);
// outLength receives the byte count plus one for the terminator (0 for a null string).
char* NBFStringGetUTF8(NBFStringRef string, int32_t* outLength);
// Characters outside ASCII become "?".
char* NBFStringGetASCII(NBFStringRef string);
std::string NBFStringGetCppString(NBFStringRef string);
void NBFStringPrint(NBFStringRef string);

int NBFCharCompare(NBFChar a, NBFChar b);
char* NBFCharGetUTF8(NBFChar character);
// The one code unit the text encodes; 0 for anything else (empty, several characters, a
// character outside the Basic Multilingual Plane, invalid UTF-8, null).
NBFChar NBFCharFromUTF8(const char* text);

// Conversions for our own code.
std::u16string NBFUTF8ToUTF16(const std::string& text);
std::string NBFUTF16ToUTF8(const std::u16string& units);

#endif
