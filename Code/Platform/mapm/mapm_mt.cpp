// The process-wide lock and the thread-safe entry points: each holds the lock around the plain
// function of the same name.
#include <mutex>

#include "mapm_internal.h"

namespace {

// Created on first use and never destroyed, so static initialisers and destructors of other
// files may still take it.
std::recursive_mutex& the_lock() {
    static std::recursive_mutex* lock = new std::recursive_mutex;
    return *lock;
}

class Held {
  public:
    Held() { the_lock().lock(); }
    ~Held() { the_lock().unlock(); }
    Held(const Held&) = delete;
    Held& operator=(const Held&) = delete;
};

}  // namespace

void m_apm_enter(void) { the_lock().lock(); }
void m_apm_leave(void) { the_lock().unlock(); }

M_APM m_apm_init_mt(void) {
    Held held;
    return m_apm_init();
}

void m_apm_free_mt(M_APM a) {
    Held held;
    m_apm_free(a);
}

void m_apm_copy_mt(M_APM dest, M_APM src) {
    Held held;
    m_apm_copy(dest, src);
}

void m_apm_set_long_mt(M_APM a, long v) {
    Held held;
    m_apm_set_long(a, v);
}

void m_apm_set_double_mt(M_APM a, double d) {
    Held held;
    m_apm_set_double(a, d);
}

void m_apm_set_string_mt(M_APM a, const char* text) {
    Held held;
    m_apm_set_string(a, text);
}

void m_apm_add_mt(M_APM r, M_APM a, M_APM b) {
    Held held;
    m_apm_add(r, a, b);
}

void m_apm_subtract_mt(M_APM r, M_APM a, M_APM b) {
    Held held;
    m_apm_subtract(r, a, b);
}

void m_apm_multiply_mt(M_APM r, M_APM a, M_APM b) {
    Held held;
    m_apm_multiply(r, a, b);
}

void m_apm_negate_mt(M_APM r, M_APM a) {
    Held held;
    m_apm_negate(r, a);
}

void m_apm_absolute_value_mt(M_APM r, M_APM a) {
    Held held;
    m_apm_absolute_value(r, a);
}

void m_apm_floor_mt(M_APM r, M_APM a) {
    Held held;
    m_apm_floor(r, a);
}

void m_apm_ceil_mt(M_APM r, M_APM a) {
    Held held;
    m_apm_ceil(r, a);
}

void m_apm_round_mt(M_APM r, int places, M_APM a) {
    Held held;
    m_apm_round(r, places, a);
}

int m_apm_compare_mt(M_APM a, M_APM b) {
    Held held;
    return m_apm_compare(a, b);
}

int m_apm_sign_mt(M_APM a) {
    Held held;
    return m_apm_sign(a);
}

int m_apm_exponent_mt(M_APM a) {
    Held held;
    return m_apm_exponent(a);
}

int m_apm_significant_digits_mt(M_APM a) {
    Held held;
    return m_apm_significant_digits(a);
}

int m_apm_is_integer_mt(M_APM a) {
    Held held;
    return m_apm_is_integer(a);
}

int m_apm_is_even_mt(M_APM a) {
    Held held;
    return m_apm_is_even(a);
}

int m_apm_is_odd_mt(M_APM a) {
    Held held;
    return m_apm_is_odd(a);
}

void m_apm_integer_divide_mt(M_APM q, M_APM a, M_APM b) {
    Held held;
    m_apm_integer_divide(q, a, b);
}

void m_apm_integer_div_rem_mt(M_APM q, M_APM r, M_APM a, M_APM b) {
    Held held;
    m_apm_integer_div_rem(q, r, a, b);
}

void m_apm_factorial_mt(M_APM r, M_APM a) {
    Held held;
    m_apm_factorial(r, a);
}

void m_apm_integer_pow_nr_mt(M_APM r, M_APM x, int n) {
    Held held;
    m_apm_integer_pow_nr(r, x, n);
}

void m_apm_divide_mt(M_APM r, int places, M_APM a, M_APM b) {
    Held held;
    m_apm_divide(r, places, a, b);
}

void m_apm_reciprocal_mt(M_APM r, int places, M_APM a) {
    Held held;
    m_apm_reciprocal(r, places, a);
}

void m_apm_integer_pow_mt(M_APM r, int places, M_APM x, int n) {
    Held held;
    m_apm_integer_pow(r, places, x, n);
}

void m_apm_sqrt_mt(M_APM r, int places, M_APM a) {
    Held held;
    m_apm_sqrt(r, places, a);
}

void m_apm_cbrt_mt(M_APM r, int places, M_APM a) {
    Held held;
    m_apm_cbrt(r, places, a);
}

void m_apm_exp_mt(M_APM r, int places, M_APM a) {
    Held held;
    m_apm_exp(r, places, a);
}

void m_apm_log_mt(M_APM r, int places, M_APM a) {
    Held held;
    m_apm_log(r, places, a);
}

void m_apm_log10_mt(M_APM r, int places, M_APM a) {
    Held held;
    m_apm_log10(r, places, a);
}

void m_apm_pow_mt(M_APM r, int places, M_APM x, M_APM y) {
    Held held;
    m_apm_pow(r, places, x, y);
}

void m_apm_sin_mt(M_APM r, int places, M_APM a) {
    Held held;
    m_apm_sin(r, places, a);
}

void m_apm_cos_mt(M_APM r, int places, M_APM a) {
    Held held;
    m_apm_cos(r, places, a);
}

void m_apm_tan_mt(M_APM r, int places, M_APM a) {
    Held held;
    m_apm_tan(r, places, a);
}

void m_apm_arcsin_mt(M_APM r, int places, M_APM a) {
    Held held;
    m_apm_arcsin(r, places, a);
}

void m_apm_arccos_mt(M_APM r, int places, M_APM a) {
    Held held;
    m_apm_arccos(r, places, a);
}

void m_apm_arctan_mt(M_APM r, int places, M_APM a) {
    Held held;
    m_apm_arctan(r, places, a);
}

void m_apm_sinh_mt(M_APM r, int places, M_APM a) {
    Held held;
    m_apm_sinh(r, places, a);
}

void m_apm_cosh_mt(M_APM r, int places, M_APM a) {
    Held held;
    m_apm_cosh(r, places, a);
}

void m_apm_tanh_mt(M_APM r, int places, M_APM a) {
    Held held;
    m_apm_tanh(r, places, a);
}

void m_apm_arcsinh_mt(M_APM r, int places, M_APM a) {
    Held held;
    m_apm_arcsinh(r, places, a);
}

void m_apm_arccosh_mt(M_APM r, int places, M_APM a) {
    Held held;
    m_apm_arccosh(r, places, a);
}

void m_apm_arctanh_mt(M_APM r, int places, M_APM a) {
    Held held;
    m_apm_arctanh(r, places, a);
}

void m_apm_to_string_mt(char* s, int places, M_APM a) {
    Held held;
    m_apm_to_string(s, places, a);
}

void m_apm_to_fixpt_string_mt(char* s, int places, M_APM a) {
    Held held;
    m_apm_to_fixpt_string(s, places, a);
}

void m_apm_to_fixpt_stringex_mt(char* s, int places, M_APM a, char radix, char separator,
                                int count) {
    Held held;
    m_apm_to_fixpt_stringex(s, places, a, radix, separator, count);
}

char* m_apm_to_fixpt_stringexp_mt(int places, M_APM a, char radix, char separator, int count) {
    Held held;
    return m_apm_to_fixpt_stringexp(places, a, radix, separator, count);
}

void m_apm_to_integer_string_mt(char* s, M_APM a) {
    Held held;
    m_apm_to_integer_string(s, a);
}
