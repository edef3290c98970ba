// Decimal text in and out. Nothing here depends on the C locale: digits, signs and the
// exponent letter are written and read by hand.
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <string>

#include "mapm_internal.h"

using namespace mapm;

namespace {

bool is_blank(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f' || c == '\v';
}

bool is_digit(char c) { return c >= '0' && c <= '9'; }

// Decimal digits of |z|.
std::string magnitude_digits(mpz_srcptr z) {
    std::string s(mpz_sizeinbase(z, 10) + 2, '\0');
    mpz_get_str(s.data(), 10, z);
    size_t n = std::strlen(s.data());
    if (n > 0 && s[0] == '-') {
        s.erase(0, 1);
        --n;
    }
    s.resize(n);
    return s;
}

void append_exponent(std::string& out, wide e) {
    out += 'E';
    out += e < 0 ? '-' : '+';
    unsigned __int128 v = e < 0 ? (unsigned __int128)(-e) : (unsigned __int128)e;
    char buf[48];
    int n = 0;
    do {
        buf[n++] = char('0' + int(v % 10));
        v /= 10;
    } while (v != 0);
    while (n > 0) out += buf[--n];
}

// Drops the last k digits of the non-negative z, halves rounding up (z is a magnitude).
void round_off_digits(mpz_ptr z, uint64_t k) {
    if (k == 0) return;
    const uint64_t n = digits10(z);
    if (k > n) {
        mpz_set_ui(z, 0);  // below a tenth of the last kept unit
        return;
    }
    tdiv_pow10(z, z, k - 1);
    if (mpz_tdiv_q_ui(z, z, 10) >= 5) mpz_add_ui(z, z, 1);
}

// A fixed-point rendering, described rather than built so that its length is known first.
struct FixedLayout {
    bool negative = false;
    std::string ds;          // digits of the rounded magnitude; empty for zero
    uint64_t int_ds = 0;     // how many of ds form the integer part
    uint64_t int_zeros = 0;  // zeros after them (a value with a positive exponent)
    uint64_t frac_lead = 0;  // zeros between the point and the rest of ds
    uint64_t frac_pad = 0;   // zeros after ds to fill the requested places
    bool point = false;

    uint64_t int_length() const {
        const uint64_t n = int_ds + int_zeros;
        return n == 0 ? 1 : n;  // a lone 0
    }
    uint64_t frac_length() const { return frac_lead + (ds.size() - int_ds) + frac_pad; }
};

FixedLayout layout_fixed(int places, M_APM a) {
    FixedLayout l;
    if (places < -1) places = -1;
    mpz_t q;
    mpz_init(q);
    mpz_abs(q, a->m);
    wide s = a->e;  // |a| = q * 10^s
    if (places >= 0 && s < -wide(places)) {
        round_off_digits(q, uint64_t(-wide(places) - s));
        s = -wide(places);
    }
    const uint64_t frac_wanted = places >= 0 ? uint64_t(places) : (s < 0 ? uint64_t(-s) : 0);
    if (mpz_sgn(q) != 0) {
        l.negative = mpz_sgn(a->m) < 0;
        l.ds = magnitude_digits(q);
    }
    const uint64_t n = l.ds.size();
    if (n == 0) {
        l.frac_pad = frac_wanted;
    } else if (s >= 0) {
        l.int_ds = n;
        l.int_zeros = uint64_t(s);
        l.frac_pad = frac_wanted;
    } else {
        const uint64_t f = uint64_t(-s);  // fraction digits held in q, at most frac_wanted
        if (n > f) {
            l.int_ds = n - f;
        } else {
            l.int_ds = 0;
            l.frac_lead = f - n;
        }
        l.frac_pad = frac_wanted - f;
    }
    l.point = frac_wanted > 0;
    mpz_clear(q);
    return l;
}

uint64_t fixed_length(const FixedLayout& l, char separator, int count) {
    uint64_t len = (l.negative ? 1 : 0) + l.int_length();
    if (separator != '\0' && count > 0) len += (l.int_length() - 1) / uint64_t(count);
    if (l.point) len += 1 + l.frac_length();
    return len;
}

void write_fixed(char* out, const FixedLayout& l, char radix, char separator, int count) {
    if (l.negative) *out++ = '-';
    const uint64_t int_len = l.int_length();
    const bool group = separator != '\0' && count > 0;
    for (uint64_t i = 0; i < int_len; ++i) {
        if (group && i > 0 && (int_len - i) % uint64_t(count) == 0) *out++ = separator;
        *out++ = (l.int_ds == 0 && l.int_zeros == 0) ? '0' : (i < l.int_ds ? l.ds[i] : '0');
    }
    if (l.point) {
        *out++ = radix;
        for (uint64_t i = 0; i < l.frac_lead; ++i) *out++ = '0';
        for (size_t i = l.int_ds; i < l.ds.size(); ++i) *out++ = l.ds[i];
        for (uint64_t i = 0; i < l.frac_pad; ++i) *out++ = '0';
    }
    *out = '\0';
}

}  // namespace

void m_apm_set_string(M_APM r, const char* text) {
    if (text == nullptr) {
        set_zero(r);
        return;
    }
    const char* p = text;
    while (is_blank(*p)) ++p;
    bool negative = false;
    if (*p == '+' || *p == '-') negative = *p++ == '-';
    std::string digits;  // without leading zeros
    bool any = false;
    wide frac = 0;
    for (; is_digit(*p); ++p) {
        any = true;
        if (!digits.empty() || *p != '0') digits += *p;
    }
    if (*p == '.') {
        for (++p; is_digit(*p); ++p) {
            any = true;
            ++frac;
            if (!digits.empty() || *p != '0') digits += *p;
        }
    }
    bool valid = any;
    wide exponent = 0;
    if (valid && (*p == 'e' || *p == 'E')) {
        ++p;
        bool exp_negative = false;
        if (*p == '+' || *p == '-') exp_negative = *p++ == '-';
        if (!is_digit(*p)) valid = false;
        constexpr wide kCap = wide(1) << 100;  // far outside the range; saturate there
        for (; is_digit(*p); ++p) {
            if (exponent < kCap) exponent = exponent * 10 + (*p - '0');
        }
        if (exp_negative) exponent = -exponent;
    }
    while (is_blank(*p)) ++p;
    if (!valid || *p != '\0' || digits.empty()) {
        set_zero(r);
        return;
    }
    mpz_set_str(r->m, digits.c_str(), 10);
    if (negative) mpz_neg(r->m, r->m);
    settle(r, exponent - frac);
}

void m_apm_set_double(M_APM r, double d) {
    if (!std::isfinite(d)) {
        set_zero(r);
        return;
    }
    // Shortest text that reads back as the same double; to_chars ignores the locale.
    char buf[64];
    const auto res = std::to_chars(buf, buf + sizeof buf - 1, d);
    *res.ptr = '\0';
    m_apm_set_string(r, buf);
}

void m_apm_to_string(char* s, int places, M_APM a) {
    if (places < -1) places = -1;
    std::string out;
    if (mpz_sgn(a->m) == 0) {
        out = "0";
        if (places == -1)
            out += ".0";
        else if (places > 0)
            out += '.' + std::string(size_t(places), '0');
        out += "E+0";
    } else {
        mpz_t t;
        mpz_init_set(t, a->m);
        wide e = a->e;
        if (places >= 0) e += wide(round_digits(t, uint64_t(places) + 1));
        const std::string ds = magnitude_digits(t);
        // After a carry (9.99 -> 10.0) ds is one longer; its extra digit is a zero that the
        // places below cut off.
        const wide sci = e + wide(ds.size()) - 1;
        if (mpz_sgn(t) < 0) out += '-';
        out += ds[0];
        std::string frac;
        if (places == -1) {
            frac = ds.size() > 1 ? ds.substr(1) : "0";
        } else {
            frac = ds.substr(1, size_t(places));
            frac.append(size_t(places) - frac.size(), '0');
        }
        if (!frac.empty()) out += '.' + frac;
        append_exponent(out, sci);
        mpz_clear(t);
    }
    std::memcpy(s, out.c_str(), out.size() + 1);
}

void m_apm_to_fixpt_stringex(char* s, int places, M_APM a, char radix, char separator, int count) {
    write_fixed(s, layout_fixed(places, a), radix, separator, count);
}

void m_apm_to_fixpt_string(char* s, int places, M_APM a) {
    m_apm_to_fixpt_stringex(s, places, a, '.', '\0', 0);
}

char* m_apm_to_fixpt_stringexp(int places, M_APM a, char radix, char separator, int count) {
    const FixedLayout l = layout_fixed(places, a);
    const uint64_t len = fixed_length(l, separator, count);
    char* s = static_cast<char*>(std::malloc(len + 1));
    if (s != nullptr) write_fixed(s, l, radix, separator, count);
    return s;
}

void m_apm_to_integer_string(char* s, M_APM a) {
    std::string ds = magnitude_digits(a->m);
    const wide n = wide(ds.size());
    const wide keep = n + wide(a->e);  // digits before the point
    if (mpz_sgn(a->m) == 0 || keep <= 0) {
        std::strcpy(s, "0");
        return;
    }
    char* p = s;
    if (mpz_sgn(a->m) < 0) *p++ = '-';
    if (a->e >= 0) {
        std::memcpy(p, ds.data(), ds.size());
        p += ds.size();
        std::memset(p, '0', size_t(a->e));
        p += a->e;
    } else {
        std::memcpy(p, ds.data(), size_t(keep));
        p += keep;
    }
    *p = '\0';
}
