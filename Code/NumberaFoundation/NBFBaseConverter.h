// Conversion of integers between decimal text and hexadecimal or binary text, for prefixed
// numbers ("0xff", "0b101") and for answers shown in base 16 or 2.
#ifndef NUMBERA_FOUNDATION_NBF_BASE_CONVERTER_H
#define NUMBERA_FOUNDATION_NBF_BASE_CONVERTER_H

#include "NBFString.h"

// New decimal text, or null when a character is not a digit of the base (binary "12",
// hexadecimal "1.8"). Empty digits give "0".
NBFStringRef NBFBaseConverterHexadecimalToDecimal(NBFStringRef digits);
NBFStringRef NBFBaseConverterBinaryToDecimal(NBFStringRef digits);
// Text beginning "0x" or "0b"; null for another prefix or an invalid digit. Text that does
// not begin with "0" stops the process: callers only pass scanned prefixed numbers.
NBFStringRef NBFBaseConverter2CharPrefixToDecimal(NBFStringRef text);
bool NBFBaseConverterIs2CharPrefixedString(const char* text);
// The integer part of decimal text ("-12.75" -> -12) in base 2 or 16 with upper-case digits,
// optionally prefixed "0b" / "0x", "-" in front of a negative non-zero value. A new C string
// the caller frees, or null for another base (logged), text of 501 characters or more, or text
// that is not a decimal number.
char* NBFBaseConverterConvertFromDecimal(const char* decimal, unsigned base, bool withPrefix);

#endif
