// Helpers shared by the math function bodies; not part of the foundation's interface.
#ifndef NUMBERA_FOUNDATION_NBF_MATH_INTERNAL_H
#define NUMBERA_FOUNDATION_NBF_MATH_INTERNAL_H

#include "NBFMathLibrary.h"

namespace NBF::math {

// Digits beyond the requested precision for intermediate results, so a value that is exact
// in the end (sin 30° = 0.5, asin 1 = 90°) rounds to exactly that.
constexpr int kGuardDigits = 12;
// The precision of the legacy bodies, whatever the context says.
constexpr int kLegacyDigits = 102;

// Holds the process-wide MAPM lock for a scope.
class Lock {
  public:
    Lock() { m_apm_enter(); }
    ~Lock() { m_apm_leave(); }
    Lock(const Lock&) = delete;
    Lock& operator=(const Lock&) = delete;
};

// A MAPM value owned for a scope; made and freed under the lock.
class Scratch {
  public:
    Scratch() : m_value(m_apm_init_mt()) {}
    ~Scratch() { m_apm_free_mt(m_value); }
    Scratch(const Scratch&) = delete;
    Scratch& operator=(const Scratch&) = delete;
    operator M_APM() const { return m_value; }
    // Hands the value to the caller.
    M_APM release() {
        M_APM value = m_value;
        m_value = m_apm_init_mt();
        return value;
    }

  private:
    M_APM m_value;
};

// The first argument's number when it is an ordinary number (type 1 or 2 with a value).
NBFNumberRef ordinaryNumber(const NBFValueRef* arguments, int32_t count);
NBFNumberRef firstNumber(const NBFValueRef* arguments, int32_t count);
// dest = the number's value, a percentage turned into its fraction. Needs the lock.
void loadAsFraction(M_APM dest, NBFNumberRef number);
// The context's precision (100 when there is no context).
int digitsOf(NBFMAPMContextRef context);
bool isDegreeMode(NBFEvaluationContextRef context);
void setError(NBFEvaluationContextRef context, NBFEvaluationError error);
void setSpecialResult(NBFEvaluationContextRef context, NBFNumberSpecialType special);

// New values.
NBFValueRef specialValue(NBFNumberSpecialType special);
NBFValueRef numberValue(M_APM value, NBFNumberType type, NBFUnitFractionRef fraction);

// log10 |x| as a double, for estimating a result's size before computing it; needs the lock.
// 0 for 0.
double log10Magnitude(M_APM x);
// x to about 15 digits; infinite beyond the double range. Needs the lock.
double approximateDouble(M_APM x);

}  // namespace NBF::math

#endif
