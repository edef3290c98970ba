// A small owner for decimal values in tests, and text helpers that do not use the library.
#ifndef NUMBERA_TESTS_PLATFORM_MAPM_TEST_SUPPORT_H
#define NUMBERA_TESTS_PLATFORM_MAPM_TEST_SUPPORT_H

#include <string>
#include <vector>

#include "mapm/m_apm.h"

class Dec {
  public:
    Dec() : m_v(m_apm_init()) {}
    explicit Dec(const char* text) : Dec() { m_apm_set_string(m_v, text); }
    explicit Dec(long n) : Dec() { m_apm_set_long(m_v, n); }
    Dec(const Dec& other) : Dec() { m_apm_copy(m_v, other.m_v); }
    Dec& operator=(const Dec& other) {
        m_apm_copy(m_v, other.m_v);
        return *this;
    }
    ~Dec() { m_apm_free(m_v); }

    static Dec of(M_APM value) {
        Dec d;
        m_apm_copy(d.m_v, value);
        return d;
    }

    M_APM get() const { return m_v; }
    operator M_APM() const { return m_v; }

    // Exponent form with `places` decimals (-1: every digit).
    std::string sci(int places = -1) const {
        std::vector<char> buf(size_t(m_apm_significant_digits(m_v)) +
                              size_t(places < 0 ? 0 : places) + 64);
        m_apm_to_string(buf.data(), places, m_v);
        return buf.data();
    }

    // Fixed point with `places` decimals (-1: every digit).
    std::string fix(int places = -1) const {
        char* s = m_apm_to_fixpt_stringexp(places, m_v, '.', '\0', 0);
        std::string out = s;
        free(s);
        return out;
    }

  private:
    M_APM m_v;
};

// Rounds a reference mantissa "d.ddd…E±N" (more digits than wanted) to `places` decimals,
// halves up, and writes it back in the same form. Plain text manipulation, independent of the
// library.
inline std::string round_reference(const std::string& ref, int places) {
    const size_t epos = ref.find('E');
    const bool negative = ref[0] == '-';
    std::string digits;
    for (size_t i = negative ? 1 : 0; i < epos; ++i)
        if (ref[i] != '.') digits += ref[i];
    long exponent = std::stol(ref.substr(epos + 1));
    const size_t keep = size_t(places) + 1;
    std::string kept = digits.substr(0, keep);
    if (digits.size() > keep && digits[keep] >= '5') {
        int i = int(kept.size()) - 1;
        while (i >= 0 && kept[size_t(i)] == '9') kept[size_t(i--)] = '0';
        if (i < 0) {
            kept.insert(kept.begin(), '1');
            kept.pop_back();
            ++exponent;
        } else {
            ++kept[size_t(i)];
        }
    }
    std::string out = negative ? "-" : "";
    out += kept[0];
    if (places > 0) out += "." + kept.substr(1);
    out += exponent < 0 ? "E-" : "E+";
    out += std::to_string(exponent < 0 ? -exponent : exponent);
    return out;
}

#endif
