// Fast paths for short operands; each answers false when the operands are not short enough,
// leaving r untouched.
#ifndef NUMBERA_PLATFORM_MAPM_SMALL_H
#define NUMBERA_PLATFORM_MAPM_SMALL_H

#include "mapm_internal.h"

namespace mapm {

// a / b rounded to `keep` digits; a and b non-zero.
bool divide_small(M_APM r, uint64_t keep, M_APM a, M_APM b);

// sqrt(a) rounded to `keep` digits; a positive.
bool sqrt_small(M_APM r, uint64_t keep, M_APM a);

}  // namespace mapm

#endif
