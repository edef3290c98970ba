// Private to the decimal layer: the value record and the integer helpers that every part of
// the layer shares.
#ifndef NUMBERA_PLATFORM_MAPM_INTERNAL_H
#define NUMBERA_PLATFORM_MAPM_INTERNAL_H

#include <gmp.h>

#include <cstdint>

#include "m_apm.h"

// value = m * 10^e. m carries no trailing decimal zeros; zero is m = 0, e = 0. The scientific
// exponent e + digits(m) - 1 and e itself both fit int64_t.
struct M_APM_struct {
    mpz_t m;
    int64_t e;
};

namespace mapm {

// Exponent arithmetic is done one size up so that no intermediate can wrap.
using wide = __int128;

// A significand longer than this is refused rather than handed to GMP, which aborts the
// process when it cannot allocate.
inline constexpr uint64_t kMaxDigits = 80'000'000;
inline constexpr uint64_t kMaxLimbs = kMaxDigits / 19 + 2;

// Builds the shared tables and constants once; safe to call from any thread and before main.
void ensure_initialised();

// Exact decimal digit count of |z|; 1 for zero.
uint64_t digits10(mpz_srcptr z);

// out = 10^k, 5^k. The cached forms answer nullptr beyond the table.
void pow10(mpz_ptr out, uint64_t k);
void pow5(mpz_ptr out, uint64_t k);
mpz_srcptr pow10_cached(uint64_t k);
mpz_srcptr pow5_cached(uint64_t k);

// r = a * 10^k; r = trunc(a / 10^k). r may be a.
void mul_pow10(mpz_ptr r, mpz_srcptr a, uint64_t k);
void tdiv_pow10(mpz_ptr r, mpz_srcptr a, uint64_t k);

// Rounds z to `keep` significant digits, halves away from zero. Answers how many trailing
// digits were dropped (the caller adds them to the exponent). `keep` is at least 1.
uint64_t round_digits(mpz_ptr z, uint64_t keep);

// Significant digits asked for by `places` (negative places count as 0).
inline uint64_t digits_for_places(int places) {
    return places < 0 ? 1 : static_cast<uint64_t>(places) + 1;
}

// Scientific exponent of a non-zero value.
inline wide sci_exponent(M_APM a) { return wide(a->e) + wide(digits10(a->m)) - 1; }

// Removes the trailing decimal zeros of a non-zero m; answers how many.
uint64_t strip_zeros(mpz_ptr m);

void set_zero(M_APM r);
// Sets r to 0 as a refusal: the result exists but cannot be held. Marks this thread's status,
// which a true zero or a domain error leaves alone.
void refuse(M_APM r);
// Marks the status where the zero is written by other means.
void note_refusal();
// Strips trailing zeros from r->m and stores the exponent e; a value out of range is refused
// (r becomes 0).
void settle(M_APM r, wide e);

// Integer part of a, truncated toward zero. False when it would be too large to hold.
bool integer_part(mpz_ptr out, M_APM a);

// Exact x^n (n >= 0) into r; false when too large to hold.
bool exact_power(M_APM r, M_APM x, uint64_t n);

// Transcendental path for x^n, used when the exact power would be too large.
void mpfr_integer_power(M_APM r, int places, M_APM x, int64_t n);

}  // namespace mapm

#endif
