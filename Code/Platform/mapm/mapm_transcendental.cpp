// Exponentials, logarithms, powers, trigonometric and hyperbolic functions through MPFR.
//
// MPFR computes each result toward zero at a binary precision some digits beyond the one asked
// for; its exact decimal digits are then rounded by our own rule (halves away from zero). When
// the guard digits sit right at a tie the result is recomputed with more of them, so the
// rounding is correct unless the value is the tie itself.
#include <mpfr.h>

#include <vector>

#include "mapm_internal.h"

using namespace mapm;

namespace {

// MPFR keeps its exponent range and its caches per thread: widen the range once per thread
// and give the caches back when the thread ends.
struct MpfrThread {
    MpfrThread() {
        mpfr_set_emin(mpfr_get_emin_min());
        mpfr_set_emax(mpfr_get_emax_max());
    }
    ~MpfrThread() { mpfr_free_cache2(MPFR_FREE_LOCAL_CACHE); }
};

void prepare_thread() {
    thread_local MpfrThread state;
    (void)state;
}

class Fr {
  public:
    explicit Fr(mpfr_prec_t p) { mpfr_init2(m_v, p < MPFR_PREC_MIN ? MPFR_PREC_MIN : p); }
    ~Fr() { mpfr_clear(m_v); }
    Fr(const Fr&) = delete;
    Fr& operator=(const Fr&) = delete;
    mpfr_ptr get() { return m_v; }

  private:
    mpfr_t m_v;
};

constexpr double kBitsPerDigit = 3.3219280948873623;  // log2(10)

mpfr_prec_t bits_for_digits(uint64_t digits) {
    return mpfr_prec_t(double(digits) * kBitsPerDigit) + 1;
}

// Past this many guard bits for the size of an argument, periodic functions give up: the
// argument is too large for its position in the period to mean anything.
constexpr mpfr_prec_t kMaxMagnitudeBits = 400000;

// How a function's result responds to an error in its argument, which decides the precision at
// which the decimal argument is handed to MPFR.
enum class Sensitivity {
    Relative,  // relative error carries over
    Absolute,  // absolute error becomes relative error: exp, sinh, cosh, tanh
    NearRoot,  // as Relative, but with zeros or poles at simple arguments (log near 1, arccosh
               // near 1): extra bits for the argument's own digits absorb the cancellation
    Periodic,  // Absolute and NearRoot together: sin, cos, tan
};

// Bits of the magnitude of a (its binary exponent, roughly), 0 below 1, capped.
mpfr_prec_t magnitude_bits(M_APM a) {
    if (mpz_sgn(a->m) == 0) return 0;
    const wide sci = sci_exponent(a);
    if (sci < 0) return 0;
    const wide bits = (sci + 1) * 10 / 3 + 2;
    return bits > kMaxMagnitudeBits ? kMaxMagnitudeBits : mpfr_prec_t(bits);
}

mpfr_prec_t input_precision(M_APM a, mpfr_prec_t p, Sensitivity s) {
    // The significand always fits, so that loading it is exact before any scaling.
    const mpfr_prec_t own = mpfr_prec_t(mpz_sizeinbase(a->m, 2));
    mpfr_prec_t prec = p + 8;
    if (s == Sensitivity::NearRoot || s == Sensitivity::Periodic) prec += own;
    if (s == Sensitivity::Absolute || s == Sensitivity::Periodic) prec += magnitude_bits(a);
    return prec < own ? own : prec;
}

// Beyond this power of five the decimal input is scaled through a rounded power of ten.
constexpr uint64_t kExactScale = 20000;

// Sets x (precision already chosen) to the decimal a, correctly rounded when the power of ten
// is moderate and within a fraction of an ulp otherwise. Clears `exact` unless x is exactly a.
// False when a is outside MPFR's exponent range.
bool load(mpfr_ptr x, M_APM a, bool& exact) {
    if (mpz_sgn(a->m) == 0) {
        mpfr_set_zero(x, 1);
        return true;
    }
    // The precision covers the significand's bits, so this is exact.
    int inexact = mpfr_set_z(x, a->m, MPFR_RNDN);
    const uint64_t k = a->e >= 0 ? uint64_t(a->e) : uint64_t(-(a->e + 1)) + 1;
    if (k == 0) {
        // nothing to scale
    } else if (k <= kExactScale) {
        // 10^k = 5^k * 2^k: one correctly rounded operation, then an exact shift.
        mpz_t computed;
        mpz_init(computed);
        mpz_srcptr five = pow5_cached(k);
        if (five == nullptr) {
            mpz_ui_pow_ui(computed, 5, k);
            five = computed;
        }
        inexact = a->e > 0 ? mpfr_mul_z(x, x, five, MPFR_RNDN) : mpfr_div_z(x, x, five, MPFR_RNDN);
        mpz_clear(computed);
        inexact |= mpfr_mul_2si(x, x, a->e, MPFR_RNDN);
    } else {
        Fr scale(mpfr_get_prec(x) + 64);
        mpfr_ui_pow_ui(scale.get(), 10, k, MPFR_RNDN);
        if (a->e > 0)
            mpfr_mul(x, x, scale.get(), MPFR_RNDN);
        else
            mpfr_div(x, x, scale.get(), MPFR_RNDN);
        inexact = 1;
    }
    if (!mpfr_regular_p(x)) return false;  // overflowed or underflowed
    if (inexact != 0) exact = false;
    return true;
}

// Guard digits beyond those asked for, and bits beyond those: enough that the computed value is
// within a fraction of a unit of the last guard digit, so that only guard digits 4999… or
// 5000… can hide which side of a tie the true value lies.
#ifndef MAPM_GUARD_DIGITS
#define MAPM_GUARD_DIGITS 4
#endif
#ifndef MAPM_GUARD_BITS
#define MAPM_GUARD_BITS 12
#endif
constexpr uint64_t kGuardDigits = MAPM_GUARD_DIGITS;
constexpr mpfr_prec_t kGuardBits = MAPM_GUARD_BITS;

// What a computation hands back to `evaluate`.
enum class Outcome { Value, Refused };

// Runs `compute(y, p, exact)` at increasing precision until the decimal rounding of y to
// `places` is decided, then stores it in r. compute sets y toward zero, answers Outcome::Value
// or Outcome::Refused, and clears `exact` when y is not exactly the true result.
template <class Compute>
void evaluate(M_APM r, int places, Compute&& compute) {
    prepare_thread();
    const uint64_t keep = digits_for_places(places);
    if (keep > kMaxDigits) {
        refuse(r);
        return;
    }
    uint64_t guard = kGuardDigits;
    for (int attempt = 0;; ++attempt) {
        const uint64_t n = keep + guard;
        const mpfr_prec_t p = bits_for_digits(n) + kGuardBits;
        Fr y(p);
        bool exact = true;
        mpfr_clear_flags();
        const Outcome outcome = compute(y.get(), p, exact);
        // An argument or a result beyond MPFR's range is refused. Rounding toward zero turns an
        // overflow into the largest finite number, so the flag tells; a zero is a refusal only
        // when it stands for a result too small for the range.
        if (outcome != Outcome::Value || mpfr_overflow_p() ||
            (mpfr_zero_p(y.get()) && mpfr_underflow_p())) {
            refuse(r);
            return;
        }
        if (!mpfr_number_p(y.get()) || mpfr_zero_p(y.get())) {
            set_zero(r);  // domain error, or a true zero
            return;
        }
        char small[160];
        std::vector<char> large;
        char* buf = small;
        if (n + 3 > sizeof small) {
            large.resize(n + 3);
            buf = large.data();
        }
        mpfr_exp_t e10 = 0;
        mpfr_get_str(buf, &e10, 10, n, y.get(), MPFR_RNDZ);
        const bool negative = buf[0] == '-';
        char* digits = buf + (negative ? 1 : 0);
        // y is within a fraction of a unit of the last guard digit from the true value; only
        // guard digits 4999... or 5000... leave the side of the tie open.
        bool near_tie = false;
        if (!exact && (digits[keep] == '4' || digits[keep] == '5')) {
            const char rest = digits[keep] == '4' ? '9' : '0';
            near_tie = true;
            for (uint64_t i = keep + 1; i < n && near_tie; ++i) near_tie = digits[i] == rest;
        }
        if (near_tie && attempt < 3) {
            guard = guard * 4 + 16;
            continue;
        }
        // Still on the tie with a hundred or more guard digits: the value is the tie itself.
        const bool up = near_tie || digits[keep] >= '5';
        digits[keep] = '\0';
        mpz_set_str(r->m, digits, 10);
        if (up) mpz_add_ui(r->m, r->m, 1);
        if (negative) mpz_neg(r->m, r->m);
        settle(r, wide(e10) - wide(keep));
        return;
    }
}

using Unary = int (*)(mpfr_ptr, mpfr_srcptr, mpfr_rnd_t);

void unary(M_APM r, int places, M_APM a, Unary f, Sensitivity sensitivity) {
    evaluate(r, places, [&](mpfr_ptr y, mpfr_prec_t p, bool& exact) {
        Fr x(input_precision(a, p, sensitivity));
        if (!load(x.get(), a, exact)) return Outcome::Refused;
        if (f(y, x.get(), MPFR_RNDZ) != 0) exact = false;
        return Outcome::Value;
    });
}

// Arguments whose decimal exponent is at least this are out of reach of exp and friends:
// e^(10^19) and beyond overflow even the 64-bit decimal exponent.
constexpr wide kHugeArgument = 19;

bool huge(M_APM a) { return mpz_sgn(a->m) != 0 && sci_exponent(a) >= kHugeArgument; }

// Periodic functions refuse arguments too large to place in the period.
bool too_large_for_period(M_APM a) { return magnitude_bits(a) >= kMaxMagnitudeBits; }

// log or log10 of a value beyond MPFR's exponent range: log(a) = log(a / 10^E) + E log(10).
void reduced_log(M_APM r, int places, M_APM a, bool base10) {
    const wide sci = sci_exponent(a);
    M_APM_struct scaled;
    scaled.m[0] = a->m[0];  // shares the significand, read only
    scaled.e = -int64_t(digits10(a->m) - 1);
    evaluate(r, places, [&](mpfr_ptr y, mpfr_prec_t p, bool& exact) {
        exact = false;
        const mpfr_prec_t q = p + 80;
        Fr x(input_precision(&scaled, q, Sensitivity::NearRoot));
        if (!load(x.get(), &scaled, exact)) return Outcome::Refused;
        Fr head(q);
        if (base10) {
            mpfr_log10(head.get(), x.get(), MPFR_RNDN);
            mpfr_add_si(y, head.get(), long(sci), MPFR_RNDZ);
        } else {
            Fr ln10(q);
            mpfr_log(head.get(), x.get(), MPFR_RNDN);
            mpfr_log_ui(ln10.get(), 10, MPFR_RNDN);
            mpfr_mul_si(ln10.get(), ln10.get(), long(sci), MPFR_RNDN);
            mpfr_add(y, head.get(), ln10.get(), MPFR_RNDZ);
        }
        return Outcome::Value;
    });
}

void logarithm(M_APM r, int places, M_APM a, bool base10) {
    if (mpz_sgn(a->m) <= 0) {
        set_zero(r);
        return;
    }
    const wide sci = sci_exponent(a);
    constexpr wide kMpfrReach = wide(100'000'000'000'000'000);  // well inside MPFR's range
    if (sci > kMpfrReach || sci < -kMpfrReach) {
        reduced_log(r, places, a, base10);
        return;
    }
    unary(r, places, a, base10 ? mpfr_log10 : mpfr_log, Sensitivity::NearRoot);
}

// Bits in |log|x|| for the decimal x, roughly: how much an error in an exponent is magnified.
mpfr_prec_t log_magnitude_bits(M_APM x) {
    wide sci = sci_exponent(x);
    if (sci < 0) sci = -sci;
    mpfr_prec_t bits = 2;
    for (wide v = sci * 3 + 3; v > 0; v >>= 1) ++bits;
    return bits;
}

// |x|^y for x != 0 by MPFR; the sign is the caller's.
void mpfr_power(M_APM r, int places, M_APM x, M_APM y, bool negate) {
    evaluate(r, places, [&](mpfr_ptr out, mpfr_prec_t p, bool& exact) {
        Fr bx(input_precision(x, p + magnitude_bits(y), Sensitivity::Relative));
        Fr by(input_precision(y, p + log_magnitude_bits(x), Sensitivity::Absolute));
        if (!load(bx.get(), x, exact) || !load(by.get(), y, exact)) return Outcome::Refused;
        mpfr_abs(bx.get(), bx.get(), MPFR_RNDN);
        if (mpfr_pow(out, bx.get(), by.get(), MPFR_RNDZ) != 0) exact = false;
        if (negate) mpfr_neg(out, out, MPFR_RNDN);
        return Outcome::Value;
    });
}

bool is_half(M_APM a) { return a->e == -1 && mpz_cmp_ui(a->m, 5) == 0; }

}  // namespace

namespace mapm {

void const_pi(M_APM r, int places) {
    evaluate(r, places, [](mpfr_ptr y, mpfr_prec_t, bool& exact) {
        exact = false;
        mpfr_const_pi(y, MPFR_RNDZ);
        return Outcome::Value;
    });
}

void mpfr_integer_power(M_APM r, int places, M_APM x, int64_t n) {
    mpfr_prec_t nbits = 2;
    for (uint64_t v = n < 0 ? uint64_t(-n) : uint64_t(n); v > 0; v >>= 1) ++nbits;
    evaluate(r, places, [&](mpfr_ptr y, mpfr_prec_t p, bool& exact) {
        Fr bx(input_precision(x, p + nbits, Sensitivity::Relative));
        if (!load(bx.get(), x, exact)) return Outcome::Refused;
        if (mpfr_pow_si(y, bx.get(), long(n), MPFR_RNDZ) != 0) exact = false;
        return Outcome::Value;
    });
}

}  // namespace mapm

void m_apm_exp(M_APM r, int places, M_APM a) {
    if (huge(a)) {
        refuse(r);  // overflow, or underflow
        return;
    }
    unary(r, places, a, mpfr_exp, Sensitivity::Absolute);
}

void m_apm_log(M_APM r, int places, M_APM a) { logarithm(r, places, a, false); }
void m_apm_log10(M_APM r, int places, M_APM a) { logarithm(r, places, a, true); }

void m_apm_pow(M_APM r, int places, M_APM x, M_APM y) {
    const int sx = mpz_sgn(x->m);
    if (mpz_sgn(y->m) == 0) {
        m_apm_set_long(r, 1);
        return;
    }
    if (sx == 0) {
        set_zero(r);  // 0^y is 0, and 0^-y a domain error
        return;
    }
    const bool integer = y->e >= 0;
    if (sx < 0 && !integer) {
        set_zero(r);
        return;
    }
    if (huge(y)) {
        // |x|^y for |y| >= 10^19 overflows or underflows unless |x| is 1.
        if (mpz_cmpabs_ui(x->m, 1) == 0 && x->e == 0)
            m_apm_set_long(r, (sx < 0 && m_apm_is_odd(y)) ? -1 : 1);
        else
            refuse(r);
        return;
    }
    if (integer) {
        mpz_t n;
        mpz_init(n);
        mul_pow10(n, y->m, uint64_t(y->e));  // below 10^19 in magnitude
        const bool small = mpz_fits_sint_p(n);
        const long v = small ? mpz_get_si(n) : 0;
        const bool odd = mpz_odd_p(n);
        mpz_clear(n);
        if (small)
            m_apm_integer_pow(r, places, x, int(v));
        else
            mpfr_power(r, places, x, y, sx < 0 && odd);
        return;
    }
    if (is_half(y)) {
        m_apm_sqrt(r, places, x);  // exact roots stay exact
        return;
    }
    mpfr_power(r, places, x, y, false);
}

void m_apm_sin(M_APM r, int places, M_APM a) {
    if (too_large_for_period(a)) {
        refuse(r);
        return;
    }
    unary(r, places, a, mpfr_sin, Sensitivity::Periodic);
}

void m_apm_cos(M_APM r, int places, M_APM a) {
    if (too_large_for_period(a)) {
        refuse(r);
        return;
    }
    unary(r, places, a, mpfr_cos, Sensitivity::Periodic);
}

void m_apm_tan(M_APM r, int places, M_APM a) {
    if (too_large_for_period(a)) {
        refuse(r);
        return;
    }
    unary(r, places, a, mpfr_tan, Sensitivity::Periodic);
}

void m_apm_arcsin(M_APM r, int places, M_APM a) {
    unary(r, places, a, mpfr_asin, Sensitivity::NearRoot);
}
void m_apm_arccos(M_APM r, int places, M_APM a) {
    unary(r, places, a, mpfr_acos, Sensitivity::NearRoot);
}
void m_apm_arctan(M_APM r, int places, M_APM a) {
    unary(r, places, a, mpfr_atan, Sensitivity::Relative);
}

void m_apm_sinh(M_APM r, int places, M_APM a) {
    if (huge(a)) {
        refuse(r);
        return;
    }
    unary(r, places, a, mpfr_sinh, Sensitivity::Absolute);
}

void m_apm_cosh(M_APM r, int places, M_APM a) {
    if (huge(a)) {
        refuse(r);
        return;
    }
    unary(r, places, a, mpfr_cosh, Sensitivity::Absolute);
}

void m_apm_tanh(M_APM r, int places, M_APM a) {
    if (huge(a)) {
        m_apm_set_long(r, mpz_sgn(a->m));  // within any precision of +-1
        return;
    }
    unary(r, places, a, mpfr_tanh, Sensitivity::Absolute);
}

void m_apm_arcsinh(M_APM r, int places, M_APM a) {
    unary(r, places, a, mpfr_asinh, Sensitivity::Relative);
}
void m_apm_arccosh(M_APM r, int places, M_APM a) {
    unary(r, places, a, mpfr_acosh, Sensitivity::NearRoot);
}
void m_apm_arctanh(M_APM r, int places, M_APM a) {
    unary(r, places, a, mpfr_atanh, Sensitivity::NearRoot);
}
