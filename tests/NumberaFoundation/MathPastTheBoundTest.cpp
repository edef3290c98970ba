// Answers past what can be held: an error or not-a-number, whether the decimal layer computes
// the result and the bound refuses it, or the layer refuses it as beyond its own range.
#include <gtest/gtest.h>

#include "MathTestSupport.h"

namespace {

struct Row {
    const char* name;
    MathFunction function;
    std::vector<std::string> arguments;
    const char* expected;
};

void expectRows(const std::vector<Row>& rows) {
    MathCaller caller(30);
    for (const Row& row : rows) {
        EXPECT_EQ(caller.call(row.function, row.arguments), row.expected)
            << row.name << "(" << row.arguments.front() << ", " << row.arguments.back() << ")";
    }
}

TEST(MathPastTheBound, Exponential) {
    const MathFunction expF = valueShape(NBFMAPM_exp);
    expectRows({
        {"exp", expF, {"3000000"}, "error 3"},  // computed: 10^1302883.6…
        {"exp", expF, {"1e18"}, "error 3"},     // computed: 10^(4.3 × 10^17)
        {"exp", expF, {"4e18"}, "error 3"},     // refused: beyond MPFR's range
        {"exp", expF, {"1e19"}, "error 3"},     // refused by the layer's own check
    });
}

TEST(MathPastTheBound, LegacyPowerAndHyperbolic) {
    const MathFunction powF = legacyShape(NBFMAPM_pow), sinhF = legacyShape(NBFMAPM_sinh),
                       coshF = legacyShape(NBFMAPM_cosh);
    expectRows({
        {"pow", powF, {"1e999999", "999999"}, "error 3"},              // computed
        {"pow", powF, {"0.01", "999999.5"}, "error 3"},                // computed, tiny
        {"pow", powF, {"1e10000000000000", "999999"}, "error 3"},      // refused: 64-bit exponent
        {"pow", powF, {"1e-10000000000000", "-999999.5"}, "error 3"},  // refused: MPFR's range
        {"sinh", sinhF, {"1e10"}, "error 3"},                          // computed
        {"cosh", coshF, {"5e18"}, "error 3"},                          // refused: MPFR's range
        {"sinh", sinhF, {"-1e25"}, "error 3"},                         // refused: the layer's check
    });
}

// Radians the layer cannot place in their period give not-a-number, from the first power of
// ten it refuses.
TEST(MathPastTheBound, RadiansTooLargeForThePeriod) {
    expectRows({
        {"sin", registerShape(NBFMAPM_sin), {"1e119999"}, "nan"},
        {"cos", registerShape(NBFMAPM_cos), {"-1e119999"}, "nan"},
        {"tan", valueShape(NBFMAPM_tan), {"1e119999"}, "nan"},
        {"cotan", valueShape(NBFMAPM_cotan), {"3e150000"}, "nan"},
        {"cosec", valueShape(NBFMAPM_cosec), {"1e119999"}, "nan"},
        {"sec", valueShape(NBFMAPM_sec), {"1e500000"}, "nan"},
    });
}

}  // namespace
