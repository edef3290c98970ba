// Fast paths for division and square root when the operands and the result fit two limbs (up
// to 38 digits, the common precisions). The general code in mapm_roots.cpp gives the same
// results; at this size its cost is GMP's per-call overhead rather than arithmetic, so here
// the bookkeeping is done in 128-bit integers and only the long division is left to GMP.
#include "mapm_small.h"

#include <cmath>

using u128 = unsigned __int128;

namespace mapm {

namespace {

constexpr int kMaxShortDigits = 38;  // 10^38 < 2^127

// Constant-initialised: these functions may run from other files' static initialisers.
constexpr struct Powers {
    u128 p[kMaxShortDigits + 1];  // 10^0 .. 10^38
    double d[2 * 80 + 1];         // 10^-80 .. 10^80 as doubles, within a few ulps
    constexpr Powers() : p{}, d{} {
        p[0] = 1;
        for (int i = 1; i <= kMaxShortDigits; ++i) p[i] = p[i - 1] * 10;
        d[80] = 1.0;
        for (int i = 1; i <= 80; ++i) {
            d[80 + i] = d[80 + i - 1] * 10.0;
            d[80 - i] = d[80 - i + 1] / 10.0;
        }
    }
} g_pow{};

struct U256 {
    u128 hi, lo;
};

U256 mul_128(u128 a, u128 b) {
    const uint64_t a0 = uint64_t(a), a1 = uint64_t(a >> 64);
    const uint64_t b0 = uint64_t(b), b1 = uint64_t(b >> 64);
    const u128 p00 = u128(a0) * b0, p01 = u128(a0) * b1, p10 = u128(a1) * b0, p11 = u128(a1) * b1;
    const u128 mid = (p00 >> 64) + uint64_t(p01) + uint64_t(p10);
    return {p11 + (p01 >> 64) + (p10 >> 64) + (mid >> 64), (mid << 64) | uint64_t(p00)};
}

int cmp_256(const U256& a, const U256& b) {
    if (a.hi != b.hi) return a.hi < b.hi ? -1 : 1;
    if (a.lo != b.lo) return a.lo < b.lo ? -1 : 1;
    return 0;
}

U256 sub_256(const U256& a, const U256& b) {  // a >= b
    return {a.hi - b.hi - (a.lo < b.lo ? 1 : 0), a.lo - b.lo};
}

// Conversions through 64-bit halves: the compiler's own 128-bit ones are library calls.
double to_d(u128 v) { return double(uint64_t(v >> 64)) * 0x1p64 + double(uint64_t(v)); }
double to_d(const U256& v) { return to_d(v.hi) * 0x1p128 + to_d(v.lo); }

u128 from_d(double x) {  // 0 <= x < 2^127
    const uint64_t hi = uint64_t(x * 0x1p-64);
    const double rest = x - double(hi) * 0x1p64;  // exact
    return (u128(hi) << 64) + (rest > 0 ? uint64_t(rest) : 0);
}

int digits_u128(u128 v) {  // v > 0
    const uint64_t hi = uint64_t(v >> 64);
    const int bits = hi != 0 ? 128 - __builtin_clzll(hi) : 64 - __builtin_clzll(uint64_t(v));
    const int t = (bits * 1233) >> 12;  // floor(bits * log10(2))
    return t + (t <= kMaxShortDigits && v >= g_pow.p[t] ? 1 : 0);
}

unsigned mod10(u128 v) {  // 2^64 = 6 (mod 10)
    return unsigned((uint64_t(v >> 64) % 10 * 6 + uint64_t(v) % 10) % 10);
}

bool load_u128(mpz_srcptr z, u128& v) {
    const size_t n = mpz_size(z);
    if (n > 2) return false;
    v = n == 0 ? 0 : (u128(n == 2 ? mpz_getlimbn(z, 1) : 0) << 64) | mpz_getlimbn(z, 0);
    return true;
}

// Limbs of a 256-bit value, low first; answers their count.
int to_limbs(const U256& v, mp_limb_t* out) {
    out[0] = uint64_t(v.lo);
    out[1] = uint64_t(v.lo >> 64);
    out[2] = uint64_t(v.hi);
    out[3] = uint64_t(v.hi >> 64);
    int n = 4;
    while (n > 1 && out[n - 1] == 0) --n;
    return n;
}

// v * 10^k into limbs (k <= 2 * kMaxShortDigits); answers the count.
int scale_to_limbs(u128 v, int k, mp_limb_t* out) {
    if (k <= kMaxShortDigits) return to_limbs(mul_128(v, g_pow.p[k]), out);
    const int n = to_limbs(mul_128(v, g_pow.p[k - kMaxShortDigits]), out);
    const mp_limb_t f[2] = {uint64_t(g_pow.p[kMaxShortDigits]),
                            uint64_t(g_pow.p[kMaxShortDigits] >> 64)};
    mp_limb_t t[6];
    if (n >= 2)
        mpn_mul(t, out, n, f, 2);
    else
        mpn_mul(t, f, 2, out, n);
    int m = n + 2;
    while (m > 1 && t[m - 1] == 0) --m;
    for (int i = 0; i < m; ++i) out[i] = t[i];
    return m;
}

// sign * v * 10^e into r; v > 0 and below 2^128.
void store(M_APM r, u128 v, int sign, wide e) {
    while ((v & 1) == 0 && mod10(v) == 0) {  // rare: a plain division is fine
        v /= 10;
        ++e;
    }
    const int n = (v >> 64) != 0 ? 2 : 1;
    mp_limb_t* w = mpz_limbs_write(r->m, 2);
    w[0] = uint64_t(v);
    w[1] = uint64_t(v >> 64);
    mpz_limbs_finish(r->m, sign < 0 ? -n : n);
    constexpr wide kSafe = wide(1) << 62;
    if (e > -kSafe && e < kSafe)
        r->e = int64_t(e);
    else
        settle(r, e);  // checks the range
}

}  // namespace

bool divide_small(M_APM r, uint64_t keep, M_APM a, M_APM b) {
    u128 x, y;
    if (keep > uint64_t(kMaxShortDigits) || !load_u128(a->m, x) || !load_u128(b->m, y))
        return false;
    const int sign = mpz_sgn(a->m) * mpz_sgn(b->m);
    const int dx = digits_u128(x), dy = digits_u128(y);
    // q = floor(x 10^s / y) has keep digits, or keep + 1 when x aligned to y's digit count is
    // not below y; s one smaller then leaves exactly keep. A double estimate decides unless it
    // is too close to call.
    const double aligned = to_d(x) / to_d(y) * g_pow.d[80 + dy - dx];
    bool longer;
    if (aligned > 1.0 + 1e-9) {
        longer = true;
    } else if (aligned < 1.0 - 1e-9) {
        longer = false;
    } else {
        longer = dx >= dy ? cmp_256(U256{0, x}, mul_128(y, g_pow.p[dx - dy])) >= 0
                          : cmp_256(mul_128(x, g_pow.p[dy - dx]), U256{0, y}) >= 0;
    }
    const int s = int(keep) + dy - dx - (longer ? 1 : 0);
    mp_limb_t num[6], den[6];
    int nn, dn;
    if (s >= 0) {
        nn = scale_to_limbs(x, s, num);
        dn = to_limbs(U256{0, y}, den);
    } else {
        nn = to_limbs(U256{0, x}, num);
        dn = scale_to_limbs(y, -s, den);
    }
    mp_limb_t q[6], rem[6];
    mpn_tdiv_qr(q, rem, 0, num, nn, den, dn);  // num >= den since q >= 10^(keep-1)
    u128 quotient = (u128(nn - dn >= 1 ? q[1] : 0) << 64) | q[0];  // below 10^keep
    // Half away from zero: up when 2 * remainder >= divisor, that is remainder >= divisor -
    // remainder.
    mp_limb_t other[6];
    mpn_sub_n(other, den, rem, dn);
    if (mpn_cmp(rem, other, dn) >= 0) ++quotient;
    store(r, quotient, sign, wide(a->e) - wide(b->e) - s);
    return true;
}

bool sqrt_small(M_APM r, uint64_t keep, M_APM a) {
    u128 x;
    if (keep > uint64_t(kMaxShortDigits) || !load_u128(a->m, x)) return false;
    // M = x 10^t with t = e (mod 2) has 2 keep - 1 or 2 keep digits: its root N has keep.
    const int dx = digits_u128(x);
    int t = 2 * int(keep) - 1 - dx;
    if (((uint64_t(a->e) ^ uint64_t(t)) & 1) != 0) ++t;  // e - t even
    if (t < 0) return false;
    // M < 10^76 < 2^253.
    U256 m;
    if (t <= kMaxShortDigits) {
        m = mul_128(x, g_pow.p[t]);
    } else {
        mp_limb_t limbs[6];
        const int mn = scale_to_limbs(x, t, limbs);
        m = {0, 0};
        for (int i = mn - 1; i >= 0; --i) {
            m.hi = (m.hi << 64) | (m.lo >> 64);
            m.lo = (m.lo << 64) | limbs[i];
        }
    }
    // A double estimate (53 bits) refined by exact Newton corrections N += (M - N^2) / 2N, each
    // squaring the relative error: one suffices up to about 100 bits, two beyond.
    const double root_d = std::sqrt(to_d(m));
    const double half_inverse = 0.5 / root_d;
    u128 n = from_d(root_d);
    for (int step = 0; step < 2; ++step) {
        const U256 sq = mul_128(n, n);
        const bool below = cmp_256(sq, m) <= 0;
        const double diff = to_d(below ? sub_256(m, sq) : sub_256(sq, m));
        const double delta_d = diff * half_inverse;
        const u128 delta = from_d(delta_d);
        n = below ? n + delta : n - delta;
        // Next error: about delta^2 / 2N from the method plus delta / 2^50 from the doubles.
        if (delta_d * delta_d * half_inverse + delta_d * 0x1p-50 < 0.25) break;
    }
    // Settle the last unit or two, and take the remainder M - N^2 (at most 2N).
    U256 sq = mul_128(n, n);
    for (int guard = 0; cmp_256(sq, m) > 0; ++guard) {
        if (guard == 8) return false;
        --n;
        sq = mul_128(n, n);
    }
    U256 rem = sub_256(m, sq);
    for (int guard = 0; rem.hi != 0 || rem.lo > 2 * n; ++guard) {
        if (guard == 8) return false;
        rem = sub_256(rem, U256{0, 2 * n + 1});
        ++n;
    }
    // sqrt(M) >= N + 1/2 exactly when M - N^2 > N.
    store(r, rem.lo > n ? n + 1 : n, 1, (wide(a->e) - t) >> 1);  // exact: the difference is even
    return true;
}

}  // namespace mapm
