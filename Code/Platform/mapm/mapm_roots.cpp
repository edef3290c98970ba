// Division, roots and integer powers, correctly rounded with integer arithmetic alone.
//
// Each computes the truncated magnitude of the result with at least one digit more than
// wanted. With halves rounding away from zero that is enough: the digits beyond the first
// dropped one can never move the result across a tie.
#include "mapm_internal.h"
#include "mapm_small.h"

using namespace mapm;

namespace {

// r = sign * q * 10^e rounded to `keep` digits; q is a non-negative integer.
void finish_rounded(M_APM r, mpz_ptr q, int sign, wide e, uint64_t keep) {
    e += wide(round_digits(q, keep));
    mpz_swap(r->m, q);
    if (sign < 0) mpz_neg(r->m, r->m);
    settle(r, e);
}

// Scales |m| by 10^t (t may be negative, truncating) into out.
void scale_truncated(mpz_ptr out, mpz_srcptr m, wide t) {
    if (t >= 0) {
        mul_pow10(out, m, uint64_t(t));
    } else {
        tdiv_pow10(out, m, uint64_t(-t));
    }
    mpz_abs(out, out);
}

// r = sign * q * 10^e where q has `keep` digits and is to be rounded up when `up`.
void finish_exact(M_APM r, mpz_ptr q, bool up, int sign, wide e) {
    if (up) mpz_add_ui(q, q, 1);
    mpz_swap(r->m, q);
    if (sign < 0) mpz_neg(r->m, r->m);
    settle(r, e);
}

// Square root when |m| * 10^t needs no truncation: the root N has exactly `keep` digits and
// the remainder M - N^2 decides the rounding: sqrt(M) >= N + 1/2 exactly when M - N^2 > N.
bool square_root_exact_scale(M_APM r, M_APM a, uint64_t keep) {
    const wide dm = wide(digits10(a->m));
    wide t = 2 * wide(keep) - 1 - dm;
    const wide e = a->e;
    if ((e - t) % 2 != 0) ++t;
    if (t < 0) return false;
    thread_local struct Scratch {
        mpz_t big, rem;
        Scratch() { mpz_inits(big, rem, nullptr); }
        ~Scratch() { mpz_clears(big, rem, nullptr); }
    } z;
    mul_pow10(z.big, a->m, uint64_t(t));
    mpz_sqrtrem(z.big, z.rem, z.big);
    const bool up = mpz_cmp(z.rem, z.big) > 0;
    finish_exact(r, z.big, up, 1, (e - t) / 2);
    return true;
}

// Integer n-th root (n = 2 or 3) of |a|, the sign left to the caller.
void root(M_APM r, int places, M_APM a, unsigned n) {
    const int sign = mpz_sgn(a->m);
    const uint64_t keep = digits_for_places(places);
    if (sign == 0) {
        set_zero(r);
        return;
    }
    if (keep > kMaxDigits) {
        refuse(r);
        return;
    }
    if (n == 2 && square_root_exact_scale(r, a, keep)) return;
    // M = |m| * 10^t with t = e (mod n) and at least n * (keep + 1) - n + 1 digits, so that its
    // root has keep + 1 digits or more.
    const wide dm = wide(digits10(a->m));
    wide t = wide(n) * wide(keep + 1) - wide(n) + 1 - dm;
    const wide e = a->e;
    while ((e - t) % wide(n) != 0) ++t;
    mpz_t big;
    mpz_init(big);
    scale_truncated(big, a->m, t);
    if (n == 2)
        mpz_sqrt(big, big);
    else
        mpz_root(big, big, n);
    finish_rounded(r, big, sign, (e - t) / wide(n), keep);
    mpz_clear(big);
}

}  // namespace

void m_apm_divide(M_APM r, int places, M_APM a, M_APM b) {
    const uint64_t keep = digits_for_places(places);
    const int sign = mpz_sgn(a->m) * mpz_sgn(b->m);
    if (sign == 0) {
        set_zero(r);  // includes division by zero
        return;
    }
    if (keep > kMaxDigits) {
        refuse(r);
        return;
    }
    if (divide_small(r, keep, a, b)) return;
    if (mpz_divisible_p(a->m, b->m)) {
        // The significands divide (unit factors, a divisor of one): the quotient is exact as it
        // stands, with no scaling to the wanted digits and no run of zeros to strip after.
        thread_local struct Exact {
            mpz_t q;
            Exact() { mpz_init(q); }
            ~Exact() { mpz_clear(q); }
        } x;
        mpz_divexact(x.q, a->m, b->m);
        const wide e = wide(a->e) - wide(b->e) + wide(round_digits(x.q, keep));
        mpz_swap(r->m, x.q);
        settle(r, e);
        return;
    }
    // q = floor(|ma| * 10^s / |mb|) has keep or keep + 1 digits; the numerator is scaled up, or
    // the denominator when s < 0, so that the remainder stays exact.
    const wide s = wide(keep) + wide(digits10(b->m)) - wide(digits10(a->m));
    wide e = wide(a->e) - wide(b->e) - s;
    thread_local struct Scratch {
        mpz_t num, den, rem;
        Scratch() { mpz_inits(num, den, rem, nullptr); }
        ~Scratch() { mpz_clears(num, den, rem, nullptr); }
    } z;
    if (s >= 0) {
        mul_pow10(z.num, a->m, uint64_t(s));
        mpz_abs(z.den, b->m);
    } else {
        mpz_abs(z.num, a->m);
        mul_pow10(z.den, b->m, uint64_t(-s));
    }
    mpz_abs(z.num, z.num);
    mpz_abs(z.den, z.den);
    mpz_tdiv_qr(z.num, z.rem, z.num, z.den);
    bool up;
    if (digits10(z.num) > keep) {
        up = mpz_tdiv_q_ui(z.num, z.num, 10) >= 5;  // the first dropped digit decides
        e += 1;
    } else {
        mpz_mul_2exp(z.rem, z.rem, 1);  // a half or more of the divisor rounds up
        up = mpz_cmp(z.rem, z.den) >= 0;
    }
    finish_exact(r, z.num, up, sign, e);
}

void m_apm_reciprocal(M_APM r, int places, M_APM a) { m_apm_divide(r, places, MM_One, a); }

void m_apm_sqrt(M_APM r, int places, M_APM a) {
    const int sign = mpz_sgn(a->m);
    if (sign < 0) {
        set_zero(r);
        return;
    }
    if (sign > 0 && sqrt_small(r, digits_for_places(places), a)) return;
    root(r, places, a, 2);
}

void m_apm_cbrt(M_APM r, int places, M_APM a) { root(r, places, a, 3); }

void m_apm_integer_pow(M_APM r, int places, M_APM x, int n) {
    const uint64_t keep = digits_for_places(places);
    if (n == 0) {
        m_apm_set_long(r, 1);
        return;
    }
    if (mpz_sgn(x->m) == 0) {
        set_zero(r);  // 0^n, and 0^-n is a domain error
        return;
    }
    if (keep > kMaxDigits) {
        refuse(r);
        return;
    }
    const uint64_t k = n < 0 ? uint64_t(-int64_t(n)) : uint64_t(n);
    // Exact when it stays a reasonable size; beyond that through the transcendental path,
    // which rounds just as correctly.
    const uint64_t limit = keep * 4 + 20000;
    const bool cheap = mpz_cmpabs_ui(x->m, 1) == 0 || wide(k) * wide(digits10(x->m)) <= wide(limit);
    M_APM p = m_apm_init();
    if (cheap && exact_power(p, x, k)) {
        if (n > 0)
            m_apm_round(r, places, p);
        else
            m_apm_divide(r, places, MM_One, p);
    } else {
        mpfr_integer_power(r, places, x, n);
    }
    m_apm_free(p);
}
