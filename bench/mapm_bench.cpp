// The decimal layer beside raw MPFR at the same precision: 30 and 102 significant digits, the
// MPFR side at the equivalent number of bits. The argument of each benchmark is the digit count.
#include <benchmark/benchmark.h>
#include <mpfr.h>

#include <cmath>
#include <string>

#include "mapm/m_apm.h"

namespace {

// Digits of sqrt(2) and e, enough for the widest precision measured.
const char* const kSqrt2 =
    "1414213562373095048801688724209698078569671875376948073176679737990732478462107038850387534327"
    "641572735013846230912297024924836055850737212644121497099935831413222665927505592755799950501";
const char* const kE =
    "2718281828459045235360287471352662497757247093699959574966967627724076630353547594571382178525"
    "166427427466391932003059921817413596629043572900334295260595630738132328627943490763233829880";

// "d.ddd" with `digits` significant digits, scaled by 10^shift.
std::string operand(const char* source, int digits, int shift) {
    std::string s(1, source[0]);
    s += '.';
    s.append(source + 1, size_t(digits) - 1);
    return s + "e" + std::to_string(shift);
}

struct Operands {
    M_APM a, b, r;
    explicit Operands(int digits) : a(m_apm_init()), b(m_apm_init()), r(m_apm_init()) {
        m_apm_set_string(a, operand(kSqrt2, digits, 0).c_str());  // 1.414…
        m_apm_set_string(b, operand(kE, digits, 2).c_str());      // 271.8…
    }
    ~Operands() {
        m_apm_free(a);
        m_apm_free(b);
        m_apm_free(r);
    }
};

struct MpfrOperands {
    mpfr_t a, b, r;
    explicit MpfrOperands(int digits) {
        const mpfr_prec_t bits = mpfr_prec_t(std::ceil(digits * 3.3219280948873623));
        mpfr_inits2(bits, a, b, r, static_cast<mpfr_ptr>(nullptr));
        mpfr_set_str(a, operand(kSqrt2, digits, 0).c_str(), 10, MPFR_RNDN);
        mpfr_set_str(b, operand(kE, digits, 2).c_str(), 10, MPFR_RNDN);
    }
    ~MpfrOperands() { mpfr_clears(a, b, r, static_cast<mpfr_ptr>(nullptr)); }
};

template <class Body>
void ours(benchmark::State& state, Body body) {
    const int digits = int(state.range(0));
    Operands o(digits);
    for (auto _ : state) {
        body(o, digits - 1);
        benchmark::DoNotOptimize(o.r);
    }
}

template <class Body>
void raw(benchmark::State& state, Body body) {
    MpfrOperands o(int(state.range(0)));
    for (auto _ : state) {
        body(o);
        benchmark::DoNotOptimize(o.r);
    }
}

void Add_Ours(benchmark::State& s) {
    ours(s, [](Operands& o, int) { m_apm_add(o.r, o.a, o.b); });
}
void Add_Mpfr(benchmark::State& s) {
    raw(s, [](MpfrOperands& o) { mpfr_add(o.r, o.a, o.b, MPFR_RNDN); });
}
void Multiply_Ours(benchmark::State& s) {
    ours(s, [](Operands& o, int) { m_apm_multiply(o.r, o.a, o.b); });
}
void Multiply_Mpfr(benchmark::State& s) {
    raw(s, [](MpfrOperands& o) { mpfr_mul(o.r, o.a, o.b, MPFR_RNDN); });
}
void Divide_Ours(benchmark::State& s) {
    ours(s, [](Operands& o, int places) { m_apm_divide(o.r, places, o.a, o.b); });
}
void Divide_Mpfr(benchmark::State& s) {
    raw(s, [](MpfrOperands& o) { mpfr_div(o.r, o.a, o.b, MPFR_RNDN); });
}
void Sqrt_Ours(benchmark::State& s) {
    ours(s, [](Operands& o, int places) { m_apm_sqrt(o.r, places, o.a); });
}
void Sqrt_Mpfr(benchmark::State& s) {
    raw(s, [](MpfrOperands& o) { mpfr_sqrt(o.r, o.a, MPFR_RNDN); });
}
void Exp_Ours(benchmark::State& s) {
    ours(s, [](Operands& o, int places) { m_apm_exp(o.r, places, o.a); });
}
void Exp_Mpfr(benchmark::State& s) {
    raw(s, [](MpfrOperands& o) { mpfr_exp(o.r, o.a, MPFR_RNDN); });
}
void Log_Ours(benchmark::State& s) {
    ours(s, [](Operands& o, int places) { m_apm_log(o.r, places, o.b); });
}
void Log_Mpfr(benchmark::State& s) {
    raw(s, [](MpfrOperands& o) { mpfr_log(o.r, o.b, MPFR_RNDN); });
}
void Sin_Ours(benchmark::State& s) {
    ours(s, [](Operands& o, int places) { m_apm_sin(o.r, places, o.a); });
}
void Sin_Mpfr(benchmark::State& s) {
    raw(s, [](MpfrOperands& o) { mpfr_sin(o.r, o.a, MPFR_RNDN); });
}
void Pow_Ours(benchmark::State& s) {
    ours(s, [](Operands& o, int places) { m_apm_pow(o.r, places, o.b, o.a); });
}
void Pow_Mpfr(benchmark::State& s) {
    raw(s, [](MpfrOperands& o) { mpfr_pow(o.r, o.b, o.a, MPFR_RNDN); });
}

#define MAPM_PAIR(name)                        \
    BENCHMARK(name##_Ours)->Arg(30)->Arg(102); \
    BENCHMARK(name##_Mpfr)->Arg(30)->Arg(102)

MAPM_PAIR(Add);
MAPM_PAIR(Multiply);
MAPM_PAIR(Divide);
MAPM_PAIR(Sqrt);
MAPM_PAIR(Exp);
MAPM_PAIR(Log);
MAPM_PAIR(Sin);
MAPM_PAIR(Pow);

}  // namespace
