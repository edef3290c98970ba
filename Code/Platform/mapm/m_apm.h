// Arbitrary-precision decimal numbers with the classic MAPM interface.
//
// A value is an exact decimal: a GMP integer significand times a power of ten. Parsing,
// addition, subtraction, multiplication, comparison, rounding and the integer operations are
// exact. Operations that take `places` round their result to places + 1 significant digits,
// ties away from zero, as MAPM does (divide(2, 3) at 10 places is 0.66666666667).
// Transcendental functions are computed through MPFR and rounded back to decimal by the same
// rule.
//
// Domain errors (sqrt of a negative, log of zero, arcsin(2), division by zero) answer 0 and
// never crash; callers check their arguments. A result whose decimal exponent would leave the
// 64-bit range is refused: the result is set to 0. So is a result that would need more than
// 80 million significant digits, and a trigonometric function of an argument of 10^119999 or
// more in size (too large to place in the period). What is computed through MPFR is refused
// beyond its range too (binary exponents beyond about +-4.6e18), as are exp, sinh and cosh of
// arguments of 10^19 or more in size, and x^y for such y unless |x| is 1. A refusal, unlike a
// domain error, is recorded in the calling thread's refusal status (below). A negative `places`
// counts as 0.
//
// The plain functions may be called from any thread on distinct values. The `_mt` forms take
// the one process-wide recursive mutex, the same one that m_apm_enter()/m_apm_leave() take
// around a group of plain calls.
#ifndef NUMBERA_PLATFORM_M_APM_H
#define NUMBERA_PLATFORM_M_APM_H

struct M_APM_struct;
typedef M_APM_struct* M_APM;

// Shared constants; valid from program start (before main) and never freed.
extern M_APM MM_Zero;
extern M_APM MM_One;
extern M_APM MM_Two;
extern M_APM MM_Ten;
extern M_APM MM_PI;  // pi, correct to 140 significant digits

// Lifetime. A new value is 0.
M_APM m_apm_init(void);
void m_apm_free(M_APM);
void m_apm_copy(M_APM dest, M_APM src);

// Setting. m_apm_set_string reads MAPM syntax: optional sign, digits with an optional point,
// an optional exponent ("e" or "E", optional sign, digits); surrounding blanks are ignored.
// Anything else sets 0.
void m_apm_set_long(M_APM, long);
void m_apm_set_double(M_APM, double);
void m_apm_set_string(M_APM, const char*);

// Exact arithmetic (r may be the same value as an operand).
void m_apm_add(M_APM r, M_APM a, M_APM b);
void m_apm_subtract(M_APM r, M_APM a, M_APM b);
void m_apm_multiply(M_APM r, M_APM a, M_APM b);
void m_apm_negate(M_APM r, M_APM a);
void m_apm_absolute_value(M_APM r, M_APM a);
void m_apm_floor(M_APM r, M_APM a);
void m_apm_ceil(M_APM r, M_APM a);
// Rounds to places + 1 significant digits, ties away from zero.
void m_apm_round(M_APM r, int places, M_APM a);

// Queries.
int m_apm_compare(M_APM a, M_APM b);  // -1, 0 or 1
int m_apm_sign(M_APM);                // -1, 0 or 1
// Decimal exponent in scientific form (0.05 -> -2, 1000 -> 3, 0 -> 0); saturates to the int
// range.
int m_apm_exponent(M_APM);
int m_apm_significant_digits(M_APM);  // 1000 -> 1, 0 -> 1
int m_apm_is_integer(M_APM);
int m_apm_is_even(M_APM);  // 0 for a non-integer
int m_apm_is_odd(M_APM);   // 0 for a non-integer

// Integer division of any a and b, exact: q = trunc(a / b) and r = a - q * b, so the remainder
// takes the sign of the dividend (-7, 2 -> -3, -1; 5.5, 2 -> 2, 1.5). A zero divisor, or a
// quotient too large to hold, gives q = r = 0.
void m_apm_integer_divide(M_APM q, M_APM a, M_APM b);
void m_apm_integer_div_rem(M_APM q, M_APM r, M_APM a, M_APM b);
void m_apm_factorial(M_APM r, M_APM a);              // of the integer part; 1 below 2
void m_apm_integer_pow_nr(M_APM r, M_APM x, int n);  // exact x^n, n >= 0 (0 for n < 0)

// Rounded to places + 1 significant digits.
void m_apm_divide(M_APM r, int places, M_APM a, M_APM b);
void m_apm_reciprocal(M_APM r, int places, M_APM a);
void m_apm_integer_pow(M_APM r, int places, M_APM x, int n);
void m_apm_sqrt(M_APM r, int places, M_APM a);
void m_apm_cbrt(M_APM r, int places, M_APM a);  // cbrt(-8) = -2
void m_apm_exp(M_APM r, int places, M_APM a);
void m_apm_log(M_APM r, int places, M_APM a);
void m_apm_log10(M_APM r, int places, M_APM a);
void m_apm_pow(M_APM r, int places, M_APM x, M_APM y);
void m_apm_sin(M_APM r, int places, M_APM a);
void m_apm_cos(M_APM r, int places, M_APM a);
void m_apm_tan(M_APM r, int places, M_APM a);
void m_apm_arcsin(M_APM r, int places, M_APM a);
void m_apm_arccos(M_APM r, int places, M_APM a);
void m_apm_arctan(M_APM r, int places, M_APM a);
void m_apm_sinh(M_APM r, int places, M_APM a);
void m_apm_cosh(M_APM r, int places, M_APM a);
void m_apm_tanh(M_APM r, int places, M_APM a);
void m_apm_arcsinh(M_APM r, int places, M_APM a);
void m_apm_arccosh(M_APM r, int places, M_APM a);
void m_apm_arctanh(M_APM r, int places, M_APM a);

// Text. Buffers are the caller's and must be large enough: for the exponent form,
// max(places, significant digits) + 25 bytes; for the fixed-point and integer forms, the digits
// before the point (|exponent| + 1), plus places or, for -1, significant digits + |exponent|,
// plus separators and 4 bytes.
// "d.ddddE+N": places digits after the point, padded with zeros (-1: every significant digit,
// at least one after the point: 1000 is "1.0E+3"). Places 0 writes no point: "3E+0". Zero is
// "0.000E+0" with places zeros, "0E+0" for places 0 and "0.0E+0" for -1.
void m_apm_to_string(char* s, int places, M_APM);
// Fixed point with places digits after the point (-1: every significant digit), halves
// rounded away from zero; no point for places 0. A value that rounds to zero has no sign.
void m_apm_to_fixpt_string(char* s, int places, M_APM);
// As m_apm_to_fixpt_string with the given radix character, and a separator character inserted
// every `count` digits of the integer part (count 0 or separator '\0': none).
void m_apm_to_fixpt_stringex(char* s, int places, M_APM, char radix, char separator, int count);
// As m_apm_to_fixpt_stringex into a new buffer that the caller frees with free(); NULL when it
// cannot be allocated.
char* m_apm_to_fixpt_stringexp(int places, M_APM, char radix, char separator, int count);
// The integer part, truncated toward zero.
void m_apm_to_integer_string(char* s, M_APM);

// The calling thread's refusal status: set by any refusal of any function above, nested calls
// included, and cleared only by m_apm_clear_refusal, so one check may follow a group of calls.
// Domain errors, invalid text and true zeros leave it alone. Per thread, so it needs no lock.
void m_apm_clear_refusal(void);
int m_apm_refused(void);  // 1 after a refusal since the last clear, else 0

// The process-wide mutex (recursive).
void m_apm_enter(void);
void m_apm_leave(void);

// Thread-safe forms: each takes the mutex around the plain function of the same name.
M_APM m_apm_init_mt(void);
void m_apm_free_mt(M_APM);
void m_apm_copy_mt(M_APM dest, M_APM src);
void m_apm_set_long_mt(M_APM, long);
void m_apm_set_double_mt(M_APM, double);
void m_apm_set_string_mt(M_APM, const char*);
void m_apm_add_mt(M_APM r, M_APM a, M_APM b);
void m_apm_subtract_mt(M_APM r, M_APM a, M_APM b);
void m_apm_multiply_mt(M_APM r, M_APM a, M_APM b);
void m_apm_negate_mt(M_APM r, M_APM a);
void m_apm_absolute_value_mt(M_APM r, M_APM a);
void m_apm_floor_mt(M_APM r, M_APM a);
void m_apm_ceil_mt(M_APM r, M_APM a);
void m_apm_round_mt(M_APM r, int places, M_APM a);
int m_apm_compare_mt(M_APM a, M_APM b);
int m_apm_sign_mt(M_APM);
int m_apm_exponent_mt(M_APM);
int m_apm_significant_digits_mt(M_APM);
int m_apm_is_integer_mt(M_APM);
int m_apm_is_even_mt(M_APM);
int m_apm_is_odd_mt(M_APM);
void m_apm_integer_divide_mt(M_APM q, M_APM a, M_APM b);
void m_apm_integer_div_rem_mt(M_APM q, M_APM r, M_APM a, M_APM b);
void m_apm_factorial_mt(M_APM r, M_APM a);
void m_apm_integer_pow_nr_mt(M_APM r, M_APM x, int n);
void m_apm_divide_mt(M_APM r, int places, M_APM a, M_APM b);
void m_apm_reciprocal_mt(M_APM r, int places, M_APM a);
void m_apm_integer_pow_mt(M_APM r, int places, M_APM x, int n);
void m_apm_sqrt_mt(M_APM r, int places, M_APM a);
void m_apm_cbrt_mt(M_APM r, int places, M_APM a);
void m_apm_exp_mt(M_APM r, int places, M_APM a);
void m_apm_log_mt(M_APM r, int places, M_APM a);
void m_apm_log10_mt(M_APM r, int places, M_APM a);
void m_apm_pow_mt(M_APM r, int places, M_APM x, M_APM y);
void m_apm_sin_mt(M_APM r, int places, M_APM a);
void m_apm_cos_mt(M_APM r, int places, M_APM a);
void m_apm_tan_mt(M_APM r, int places, M_APM a);
void m_apm_arcsin_mt(M_APM r, int places, M_APM a);
void m_apm_arccos_mt(M_APM r, int places, M_APM a);
void m_apm_arctan_mt(M_APM r, int places, M_APM a);
void m_apm_sinh_mt(M_APM r, int places, M_APM a);
void m_apm_cosh_mt(M_APM r, int places, M_APM a);
void m_apm_tanh_mt(M_APM r, int places, M_APM a);
void m_apm_arcsinh_mt(M_APM r, int places, M_APM a);
void m_apm_arccosh_mt(M_APM r, int places, M_APM a);
void m_apm_arctanh_mt(M_APM r, int places, M_APM a);
void m_apm_to_string_mt(char* s, int places, M_APM);
void m_apm_to_fixpt_string_mt(char* s, int places, M_APM);
void m_apm_to_fixpt_stringex_mt(char* s, int places, M_APM, char radix, char separator, int count);
char* m_apm_to_fixpt_stringexp_mt(int places, M_APM, char radix, char separator, int count);
void m_apm_to_integer_string_mt(char* s, M_APM);

#endif
