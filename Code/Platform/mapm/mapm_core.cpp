// Shared tables, constants, lifetime and the exact operations of the decimal layer.
#include <climits>
#include <cmath>
#include <new>

#include "mapm_internal.h"

M_APM MM_Zero = nullptr;
M_APM MM_One = nullptr;
M_APM MM_Two = nullptr;
M_APM MM_Ten = nullptr;
M_APM MM_PI = nullptr;

namespace mapm {

void const_pi(M_APM r, int places);  // mapm_transcendental.cpp

namespace {

// This thread's refusal status; trivially initialised, so usable before main and in any thread.
thread_local bool t_refused = false;

// Powers that the common precisions (up to a few hundred digits) need are built once and
// only read afterwards, so every thread may use them without a lock.
constexpr uint64_t kTableSize = 640;
mpz_t g_pow10[kTableSize];
mpz_t g_pow5[kTableSize];
mpz_t g_ten;

constexpr uint64_t kPow10U64[20] = {1ull,
                                    10ull,
                                    100ull,
                                    1000ull,
                                    10000ull,
                                    100000ull,
                                    1000000ull,
                                    10000000ull,
                                    100000000ull,
                                    1000000000ull,
                                    10000000000ull,
                                    100000000000ull,
                                    1000000000000ull,
                                    10000000000000ull,
                                    100000000000000ull,
                                    1000000000000000ull,
                                    10000000000000000ull,
                                    100000000000000000ull,
                                    1000000000000000000ull,
                                    10000000000000000000ull};

// 10^0 .. 10^38, everything below 2^128; constant-initialised for use before main.
constexpr struct Pow10U128 {
    unsigned __int128 v[39];
    constexpr Pow10U128() : v{} {
        v[0] = 1;
        for (int i = 1; i < 39; ++i) v[i] = v[i - 1] * 10;
    }
    unsigned __int128 operator[](int i) const { return v[i]; }
} g_pow10_u128{};

uint64_t digits_u64(uint64_t v) {
    if (v == 0) return 1;
    const int bits = 64 - __builtin_clzll(v);
    const int t = (bits * 1233) >> 12;  // floor(bits * log10(2)), at most 19
    return uint64_t(t) + (v >= kPow10U64[t] ? 1 : 0);
}

M_APM make_constant(long v) {
    M_APM r = m_apm_init();
    m_apm_set_long(r, v);
    return r;
}

bool build_everything() {
    mpz_init_set_ui(g_ten, 10);
    mpz_init_set_ui(g_pow10[0], 1);
    mpz_init_set_ui(g_pow5[0], 1);
    for (uint64_t k = 1; k < kTableSize; ++k) {
        mpz_init(g_pow10[k]);
        mpz_mul_ui(g_pow10[k], g_pow10[k - 1], 10);
        mpz_init(g_pow5[k]);
        mpz_mul_ui(g_pow5[k], g_pow5[k - 1], 5);
    }
    // The tables are complete here; the constants below are ordinary values.
    return true;
}

void build_constants() {
    MM_Zero = make_constant(0);
    MM_One = make_constant(1);
    MM_Two = make_constant(2);
    MM_Ten = make_constant(10);
    M_APM pi = m_apm_init();
    const_pi(pi, 139);
    MM_PI = pi;
}

// Runs before any ordinary static initialiser of the program, so the constants are usable from
// them; m_apm_init() also ensures it for initialisers that run earlier still.
__attribute__((constructor(101))) void initialise_at_load() { ensure_initialised(); }

}  // namespace

void ensure_initialised() {
    static const bool tables = build_everything();
    (void)tables;
    // The constants need the tables, and building them calls m_apm_init, which comes back
    // here: the second guard sees the tables done and the constants under construction.
    static thread_local bool building = false;
    if (building) return;
    building = true;
    static const bool constants = (build_constants(), true);
    (void)constants;
    building = false;
}

mpz_srcptr pow10_cached(uint64_t k) { return k < kTableSize ? g_pow10[k] : nullptr; }
mpz_srcptr pow5_cached(uint64_t k) { return k < kTableSize ? g_pow5[k] : nullptr; }

void pow10(mpz_ptr out, uint64_t k) {
    if (k < kTableSize)
        mpz_set(out, g_pow10[k]);
    else
        mpz_ui_pow_ui(out, 10, k);
}

void pow5(mpz_ptr out, uint64_t k) {
    if (k < kTableSize)
        mpz_set(out, g_pow5[k]);
    else
        mpz_ui_pow_ui(out, 5, k);
}

void mul_pow10(mpz_ptr r, mpz_srcptr a, uint64_t k) {
    if (k < 20) {
        mpz_mul_ui(r, a, kPow10U64[k]);
    } else if (k < kTableSize) {
        mpz_mul(r, a, g_pow10[k]);
    } else {
        // 10^k = 5^k * 2^k: the power of two is a free shift.
        mpz_t f;
        mpz_init(f);
        mpz_ui_pow_ui(f, 5, k);
        mpz_mul(r, a, f);
        mpz_mul_2exp(r, r, k);
        mpz_clear(f);
    }
}

void tdiv_pow10(mpz_ptr r, mpz_srcptr a, uint64_t k) {
    if (k < 20) {
        mpz_tdiv_q_ui(r, a, kPow10U64[k]);
    } else if (k < kTableSize) {
        mpz_tdiv_q(r, a, g_pow10[k]);
    } else if (k >= mpz_sizeinbase(a, 10)) {
        mpz_set_ui(r, 0);  // |a| < 10^k
    } else {
        // trunc(trunc(a / 2^k) / 5^k) = trunc(a / 10^k).
        mpz_t f;
        mpz_init(f);
        mpz_ui_pow_ui(f, 5, k);
        mpz_tdiv_q_2exp(r, a, k);
        mpz_tdiv_q(r, r, f);
        mpz_clear(f);
    }
}

uint64_t digits10(mpz_srcptr z) {
    const size_t limbs = mpz_size(z);
    if (limbs == 0) return 1;
    if (limbs == 1) return digits_u64(mpz_getlimbn(z, 0));
    if (limbs == 2) {
        const unsigned __int128 v =
            (static_cast<unsigned __int128>(mpz_getlimbn(z, 1)) << 64) | mpz_getlimbn(z, 0);
        const int bits = 128 - __builtin_clzll(mpz_getlimbn(z, 1));
        const int t = (bits * 1233) >> 12;  // floor(bits * log10(2)), at most 38
        return uint64_t(t) + (v >= g_pow10_u128[t] ? 1 : 0);
    }
    const uint64_t d = mpz_sizeinbase(z, 10);  // exact or one too many
    if (d - 1 < kTableSize) return mpz_cmpabs(z, g_pow10[d - 1]) < 0 ? d - 1 : d;
    // Past the table: decide with a double estimate of log10|z| unless it is too close to call.
    long ex = 0;
    const double f = std::fabs(mpz_get_d_2exp(&ex, z));
    const double l = std::log10(f) + double(ex) * 0.30102999566398119521;
    const double boundary = double(d - 1);
    if (l > boundary + 1e-4) return d;
    if (l < boundary - 1e-4) return d - 1;
    mpz_t p;
    mpz_init(p);
    mpz_ui_pow_ui(p, 10, d - 1);
    const bool below = mpz_cmpabs(z, p) < 0;
    mpz_clear(p);
    return below ? d - 1 : d;
}

uint64_t round_digits(mpz_ptr z, uint64_t keep) {
    const uint64_t n = digits10(z);
    if (n <= keep) return 0;
    const uint64_t drop = n - keep;
    // Only the first dropped digit matters: the rest can only push a 5 further from the tie
    // and never pull a 4 up to it.
    bool up;
    if (drop < 20) {
        up = mpz_tdiv_q_ui(z, z, kPow10U64[drop]) >= 5 * kPow10U64[drop - 1];
    } else {
        tdiv_pow10(z, z, drop - 1);
        up = mpz_tdiv_q_ui(z, z, 10) >= 5;
    }
    if (up) {
        if (mpz_sgn(z) < 0)
            mpz_sub_ui(z, z, 1);
        else
            mpz_add_ui(z, z, 1);
    }
    return drop;
}

uint64_t strip_zeros(mpz_ptr m) {
    // Exact division by 10 and the divisibility test avoid GMP's general remainder code; a long
    // run of zeros goes to mpz_remove, which takes it in logarithmically many steps.
    uint64_t count = 0;
    if (mpz_sgn(m) == 0) return 0;
    while (mpz_even_p(m) && mpz_divisible_ui_p(m, 5)) {
        if (count == 8) return count + mpz_remove(m, m, g_ten);
        mpz_divexact_ui(m, m, 10);
        ++count;
    }
    return count;
}

void set_zero(M_APM r) {
    mpz_set_ui(r->m, 0);
    r->e = 0;
}

void note_refusal() { t_refused = true; }

void refuse(M_APM r) {
    set_zero(r);
    note_refusal();
}

void settle(M_APM r, wide e) {
    if (mpz_sgn(r->m) == 0) {
        r->e = 0;
        return;
    }
    if (mpz_size(r->m) > kMaxLimbs) {
        refuse(r);
        return;
    }
    e += wide(strip_zeros(r->m));
    constexpr wide kSafe = wide(1) << 62;
    if (e < -kSafe || e > kSafe) {
        // Near the ends of the range: check both the exponent and the scientific exponent.
        const wide sci = e + wide(digits10(r->m)) - 1;
        if (e < wide(INT64_MIN) || sci > wide(INT64_MAX)) {
            refuse(r);
            return;
        }
    }
    r->e = int64_t(e);
}

bool integer_part(mpz_ptr out, M_APM a) {
    if (a->e >= 0) {
        if (uint64_t(a->e) + digits10(a->m) > kMaxDigits) return false;
        mul_pow10(out, a->m, uint64_t(a->e));
        return true;
    }
    const uint64_t frac = uint64_t(-(a->e + 1)) + 1;  // -e without overflow
    if (frac >= digits10(a->m)) {
        mpz_set_ui(out, 0);
        return true;
    }
    tdiv_pow10(out, a->m, frac);
    return true;
}

bool exact_power(M_APM r, M_APM x, uint64_t n) {
    if (n == 0) {
        mpz_set_ui(r->m, 1);
        r->e = 0;
        return true;
    }
    if (mpz_sgn(x->m) == 0) {
        set_zero(r);
        return true;
    }
    // A power of ten costs nothing whatever n is; anything else grows by up to digits(x) a step.
    if (mpz_cmpabs_ui(x->m, 1) != 0 && wide(n) * wide(digits10(x->m)) > wide(kMaxDigits))
        return false;
    const wide e = wide(x->e) * wide(n);
    if (e > wide(INT64_MAX) || e < wide(INT64_MIN)) {
        refuse(r);
        return true;  // refused, not too large to compute
    }
    mpz_pow_ui(r->m, x->m, n);
    settle(r, e);
    return true;
}

}  // namespace mapm

using namespace mapm;

// ---- lifetime ----

M_APM m_apm_init(void) {
    ensure_initialised();
    M_APM r = new (std::nothrow) M_APM_struct;
    if (r == nullptr) return nullptr;
    mpz_init(r->m);
    r->e = 0;
    return r;
}

void m_apm_free(M_APM a) {
    if (a == nullptr) return;
    mpz_clear(a->m);
    delete a;
}

void m_apm_copy(M_APM dest, M_APM src) {
    if (dest == src) return;
    mpz_set(dest->m, src->m);
    dest->e = src->e;
}

void m_apm_set_long(M_APM r, long v) {
    mpz_set_si(r->m, v);
    settle(r, 0);
}

// ---- exact arithmetic ----

namespace {

void add_or_subtract(M_APM r, M_APM a, M_APM b, bool subtract) {
    if (mpz_sgn(b->m) == 0) {
        m_apm_copy(r, a);
        return;
    }
    if (mpz_sgn(a->m) == 0) {
        m_apm_copy(r, b);
        if (subtract) mpz_neg(r->m, r->m);
        return;
    }
    if (a->e == b->e) {
        if (subtract)
            mpz_sub(r->m, a->m, b->m);
        else
            mpz_add(r->m, a->m, b->m);
        settle(r, a->e);
        return;
    }
    // Align on the smaller exponent: the operand with the larger one gains zeros.
    const bool a_high = a->e > b->e;
    M_APM high = a_high ? a : b;
    M_APM low = a_high ? b : a;
    const uint64_t shift = uint64_t(wide(high->e) - wide(low->e));
    if (shift > kMaxDigits || shift + mpz_sizeinbase(high->m, 10) > kMaxDigits) {
        refuse(r);
        return;
    }
    const int64_t e = low->e;
    thread_local struct Scratch {
        mpz_t t;
        Scratch() { mpz_init(t); }
        ~Scratch() { mpz_clear(t); }
    } scratch;
    mul_pow10(scratch.t, high->m, shift);
    // r = a ± b with whichever of the two was scaled.
    if (a_high) {
        if (subtract)
            mpz_sub(r->m, scratch.t, b->m);
        else
            mpz_add(r->m, scratch.t, b->m);
    } else {
        if (subtract)
            mpz_sub(r->m, a->m, scratch.t);
        else
            mpz_add(r->m, a->m, scratch.t);
    }
    settle(r, e);
}

// Floor (toward -inf) or ceiling of a.
void floor_or_ceil(M_APM r, M_APM a, bool ceiling) {
    if (a->e >= 0) {
        m_apm_copy(r, a);
        return;
    }
    const int sign = mpz_sgn(a->m);
    const uint64_t frac = uint64_t(-(a->e + 1)) + 1;
    if (frac >= digits10(a->m)) {
        // |a| < 1
        const long v = ceiling ? (sign > 0 ? 1 : 0) : (sign < 0 ? -1 : 0);
        m_apm_set_long(r, v);
        return;
    }
    tdiv_pow10(r->m, a->m, frac);  // truncated toward zero; a is not an integer
    if (ceiling && sign > 0) mpz_add_ui(r->m, r->m, 1);
    if (!ceiling && sign < 0) mpz_sub_ui(r->m, r->m, 1);
    settle(r, 0);
}

}  // namespace

void m_apm_add(M_APM r, M_APM a, M_APM b) { add_or_subtract(r, a, b, false); }
void m_apm_subtract(M_APM r, M_APM a, M_APM b) { add_or_subtract(r, a, b, true); }

void m_apm_multiply(M_APM r, M_APM a, M_APM b) {
    if (mpz_sgn(a->m) == 0 || mpz_sgn(b->m) == 0) {
        set_zero(r);
        return;
    }
    if (mpz_size(a->m) + mpz_size(b->m) > kMaxLimbs) {
        refuse(r);
        return;
    }
    const wide e = wide(a->e) + wide(b->e);
    mpz_mul(r->m, a->m, b->m);
    settle(r, e);
}

void m_apm_negate(M_APM r, M_APM a) {
    m_apm_copy(r, a);
    mpz_neg(r->m, r->m);
}

void m_apm_absolute_value(M_APM r, M_APM a) {
    m_apm_copy(r, a);
    mpz_abs(r->m, r->m);
}

void m_apm_floor(M_APM r, M_APM a) { floor_or_ceil(r, a, false); }
void m_apm_ceil(M_APM r, M_APM a) { floor_or_ceil(r, a, true); }

void m_apm_round(M_APM r, int places, M_APM a) {
    m_apm_copy(r, a);
    if (mpz_sgn(r->m) == 0) return;
    const uint64_t dropped = round_digits(r->m, digits_for_places(places));
    settle(r, wide(r->e) + wide(dropped));
}

// ---- queries ----

int m_apm_sign(M_APM a) { return mpz_sgn(a->m); }

int m_apm_compare(M_APM a, M_APM b) {
    const int sa = mpz_sgn(a->m);
    const int sb = mpz_sgn(b->m);
    if (sa != sb) return sa < sb ? -1 : 1;
    if (sa == 0) return 0;
    int mag;  // comparison of |a| and |b|
    if (a->e == b->e) {
        mag = mpz_cmpabs(a->m, b->m);
    } else {
        const wide ea = sci_exponent(a);
        const wide eb = sci_exponent(b);
        if (ea != eb) {
            mag = ea < eb ? -1 : 1;
        } else {
            // Same leading power of ten: the exponent gap is below the longer significand's length.
            const bool a_high = a->e > b->e;
            mpz_t t;
            mpz_init(t);
            mul_pow10(t, (a_high ? a : b)->m,
                      uint64_t(wide(a_high ? a->e : b->e) - wide(a_high ? b->e : a->e)));
            mag = a_high ? mpz_cmpabs(t, b->m) : mpz_cmpabs(a->m, t);
            mpz_clear(t);
        }
    }
    const int r = sa > 0 ? mag : -mag;
    return r < 0 ? -1 : (r > 0 ? 1 : 0);
}

int m_apm_exponent(M_APM a) {
    if (mpz_sgn(a->m) == 0) return 0;
    const wide e = sci_exponent(a);
    if (e > INT_MAX) return INT_MAX;
    if (e < INT_MIN) return INT_MIN;
    return int(e);
}

int m_apm_significant_digits(M_APM a) {
    const uint64_t d = digits10(a->m);
    return d > uint64_t(INT_MAX) ? INT_MAX : int(d);
}

int m_apm_is_integer(M_APM a) { return a->e >= 0 ? 1 : 0; }

int m_apm_is_even(M_APM a) {
    if (a->e < 0) return 0;
    if (a->e > 0) return 1;  // a multiple of ten
    return mpz_even_p(a->m) ? 1 : 0;
}

int m_apm_is_odd(M_APM a) { return (a->e == 0 && mpz_odd_p(a->m)) ? 1 : 0; }

// ---- integer operations ----

namespace {

// q = trunc(a / b) and r = a - q * b, both exact, for any a and non-zero b; the remainder's
// significand goes to rm and its exponent to re (rm may be null when only q is wanted). False
// when the quotient would be too large to hold.
bool truncated_division(mpz_ptr q, mpz_ptr rm, int64_t* re, M_APM a, M_APM b) {
    if (mpz_sgn(a->m) == 0 || sci_exponent(a) < sci_exponent(b)) {  // |a| < |b|
        mpz_set_ui(q, 0);
        if (rm) {
            mpz_set(rm, a->m);
            *re = a->e;
        }
        return true;
    }
    // Both operands are written over the smaller exponent, where they are integers n and d with
    // a / b = n / d and a - q * b = (n - q * d) * 10^exponent.
    const wide shift = wide(a->e) - wide(b->e);
    mpz_t scaled;
    mpz_init(scaled);
    if (shift >= 0) {
        if (wide(digits10(a->m)) + shift > wide(kMaxDigits)) {
            mpz_clear(scaled);
            return false;
        }
        mul_pow10(scaled, a->m, uint64_t(shift));
        if (rm)
            mpz_tdiv_qr(q, rm, scaled, b->m);
        else
            mpz_tdiv_q(q, scaled, b->m);
        if (rm) *re = b->e;
    } else {
        // |a| >= |b| bounds the scaled divisor's length by the dividend's.
        mul_pow10(scaled, b->m, uint64_t(-shift));
        if (rm)
            mpz_tdiv_qr(q, rm, a->m, scaled);
        else
            mpz_tdiv_q(q, a->m, scaled);
        if (rm) *re = a->e;
    }
    mpz_clear(scaled);
    return true;
}

}  // namespace

void m_apm_integer_div_rem(M_APM q, M_APM r, M_APM a, M_APM b) {
    mpz_t iq, ir;
    mpz_inits(iq, ir, nullptr);
    int64_t re = 0;
    const bool divided = mpz_sgn(b->m) != 0 && truncated_division(iq, ir, &re, a, b);
    if (!divided) {
        if (mpz_sgn(b->m) != 0) note_refusal();  // a zero divisor is a domain error
        mpz_set_ui(iq, 0);
        mpz_set_ui(ir, 0);
        re = 0;
    }
    // Written after both are computed: q or r may be an operand.
    mpz_swap(q->m, iq);
    settle(q, 0);
    if (r != q) {
        mpz_swap(r->m, ir);
        settle(r, re);
    }
    mpz_clears(iq, ir, nullptr);
}

void m_apm_integer_divide(M_APM q, M_APM a, M_APM b) {
    mpz_t iq;
    mpz_init(iq);
    if (mpz_sgn(b->m) == 0) {
        set_zero(q);  // a domain error
    } else if (truncated_division(iq, nullptr, nullptr, a, b)) {
        mpz_swap(q->m, iq);
        settle(q, 0);
    } else {
        refuse(q);
    }
    mpz_clear(iq);
}

void m_apm_factorial(M_APM r, M_APM a) {
    mpz_t n;
    mpz_init(n);
    const bool ok = integer_part(n, a);
    if (ok && mpz_cmp_ui(n, 2) < 0) {
        m_apm_set_long(r, 1);
    } else if (!ok || !mpz_fits_ulong_p(n)) {
        refuse(r);
    } else {
        const unsigned long k = mpz_get_ui(n);
        // log10(k!) by Stirling, generously: refuse what could not be held.
        const double dk = double(k);
        const double digits = (dk * std::log(dk) - dk + 0.5 * std::log(6.3 * dk)) / std::log(10.0);
        if (digits > double(kMaxDigits)) {
            refuse(r);
        } else {
            mpz_fac_ui(r->m, k);
            settle(r, 0);
        }
    }
    mpz_clear(n);
}

void m_apm_integer_pow_nr(M_APM r, M_APM x, int n) {
    if (n < 0)
        set_zero(r);
    else if (!exact_power(r, x, uint64_t(n)))
        refuse(r);
}

// ---- refusals ----

void m_apm_clear_refusal(void) { t_refused = false; }
int m_apm_refused(void) { return t_refused ? 1 : 0; }
