// A number of the foundation: an exact arbitrary-precision decimal, a percentage, or one of the
// special values infinity, negative infinity and not-a-number. Numbers are immutable and may be
// shared across threads.
#ifndef NUMBERA_FOUNDATION_NBF_NUMBER_H
#define NUMBERA_FOUNDATION_NBF_NUMBER_H

#include <cstdint>
#include <string>

#include "NBFObject.h"
#include "mapm/m_apm.h"

typedef int32_t NBFNumberType;
enum : NBFNumberType {
    NBFNumberTypeNumber = 1,
    NBFNumberTypePercentage = 2,  // 5 of this type means "5 %"
    NBFNumberTypeSpecial = 5,     // no decimal value; see the special type
};

typedef int32_t NBFNumberSpecialType;
enum : NBFNumberSpecialType {
    NBFNumberSpecialTypeNone = 0,
    NBFNumberSpecialTypeInfinity = 1,
    NBFNumberSpecialTypeNegativeInfinity = 2,
    NBFNumberSpecialTypeNaN = 3,
};

namespace NBF {

struct NumberImpl {
    NBFNumberType type;
    NBFNumberSpecialType specialType;
    M_APM value;  // owned; null for special numbers
};

class Number : public Object<Number> {
  public:
    // Each takes the arbitrary-precision lock while it sets the value.
    static Number* create(M_APM value, NBFNumberType type);
    static Number* create(int32_t value, NBFNumberType type);
    static Number* create(const char* text, NBFNumberType type);  // decimal text
    static Number* create(NBFNumberSpecialType special);
    // Takes over a value the caller made (no copy).
    static Number* adopt(M_APM value, NBFNumberType type);

    // Fixed point with 100 decimal places, no grouping; "inf", "-inf" or "nan" when special.
    std::string stringValue() const;
    // Through nine significant digits of text: for display and indexing, not arithmetic.
    double doubleValue() const;
    int32_t int32Value() const;  // truncated toward zero, low 32 bits
    int8_t int8Value() const;

    M_APM mapmRef() const { return m_impl->value; }
    NBFNumberType type() const { return m_impl->type; }
    NBFNumberSpecialType specialType() const { return m_impl->specialType; }

  private:
    explicit Number(NumberImpl* impl) : m_impl(impl) {}
    ~Number() override;
    int64_t truncatedValue() const;
    NumberImpl* m_impl;
};

}  // namespace NBF

typedef NBF::Number* NBFNumberRef;

NBFNumberRef NBFNumberCreateWithMAPM(M_APM value, NBFNumberType type);
NBFNumberRef NBFNumberCreateWithInt32(int32_t value, NBFNumberType type);
NBFNumberRef NBFNumberCreateWithCString(const char* text, NBFNumberType type);
NBFNumberRef NBFNumberCreateSpecial(NBFNumberSpecialType special);
NBFNumberRef NBFNumberRetain(NBFNumberRef number);
void NBFNumberRelease(NBFNumberRef number);
double NBFNumberGetDoubleValue(NBFNumberRef number);   // 0.0 for null
int32_t NBFNumberGetInt32Value(NBFNumberRef number);   // 0 for null
M_APM NBFNumberGetMAPMReference(NBFNumberRef number);  // the number's own value; null if none
NBFNumberType NBFNumberGetType(NBFNumberRef number);   // 0 for null
NBFNumberSpecialType NBFNumberGetSpecialType(NBFNumberRef number);

// Shared numbers, made once by NBFNumber_ConstantsInit and never freed.
extern NBFNumberRef NBFNumber_CONST_0;
extern NBFNumberRef NBFNumber_CONST_1;
extern NBFNumberRef NBFNumber_CONST_NAN;
extern NBFNumberRef NBFNumber_CONST_INFINITY;
extern NBFNumberRef NBFNumber_CONST_NEGATIVE_INFINITY;
void NBFNumber_ConstantsInit();

#endif
