#include <gtest/gtest.h>

#include "MathTestSupport.h"

namespace {

struct Row {
    const char* name;
    MathFunction function;
    const char* argument;
    const char* expected;  // reference digits, 31 significant (context of 30 places)
};

void expectRows(const MathCaller& caller, const std::vector<Row>& rows) {
    for (const Row& row : rows) {
        EXPECT_EQ(caller.call(row.function, {row.argument}), row.expected)
            << row.name << "(" << row.argument << ")";
    }
}

TEST(MathFunctions, RoundingFamilyKeepsTypeAndUnit) {
    const MathFunction floorF = valueShape(NBFMAPM_floor), ceilF = valueShape(NBFMAPM_ceil),
                       roundF = valueShape(NBFMAPM_round), truncF = valueShape(NBFMAPM_trunc),
                       absF = valueShape(NBFMAPM_abs);
    const std::string nines = "2." + std::string(32, '9');  // beyond the precision
    MathCaller caller(30);
    expectRows(caller, {
                           {"floor", floorF, "2.5", "2"},
                           {"floor", floorF, "-2.5", "-3"},
                           {"ceil", ceilF, "2.5", "3"},
                           {"ceil", ceilF, "-2.5", "-2"},
                           {"round", roundF, "2.5", "3"},
                           {"round", roundF, "-2.5", "-3"},
                           {"round", roundF, "2.4", "2"},
                           {"round", roundF, "-2.4", "-2"},
                           {"round", roundF, "0.5", "1"},
                           {"round", roundF, "-0.5", "-1"},
                           {"trunc", truncF, "2.5", "2"},
                           {"trunc", truncF, "-2.5", "-2"},
                           {"trunc", truncF, "-2.7", "-2"},
                           {"abs", absF, "-2.5", "2.5"},
                           {"floor", floorF, nines.c_str(), "3"},
                           {"abs", absF, "-5 m", "5 m"},
                           {"round", roundF, "2.6 kg", "3 kg"},
                           {"floor", floorF, "-2.5 km h^-1", "-3 km/h"},
                           {"abs", absF, "-5%", "5%"},
                           {"round", roundF, "2.5%", "3%"},
                           {"ceil", ceilF, "nan", "nan"},
                       });
}

TEST(MathFunctions, ExponentialAndLogarithms) {
    const MathFunction expF = valueShape(NBFMAPM_exp), lnF = valueShape(NBFMAPM_ln),
                       logF = valueShape(NBFMAPM_log), log2F = valueShape(NBFMAPM_log2);
    MathCaller caller(30);
    expectRows(caller, {
                           {"exp", expF, "0", "1"},
                           {"exp", expF, "1", "2.718281828459045235360287471353"},
                           {"exp", expF, "100%", "2.718281828459045235360287471353"},
                           {"exp", expF, "1 m", "2.718281828459045235360287471353"},
                           {"exp", expF, "-1000000", "0"},
                           {"exp", expF, "-inf", "0"},
                           {"exp", expF, "inf", "inf"},
                           {"exp", expF, "nan", "nan"},
                           {"exp", expF, "2302588", "error 3"},  // e^x would be 10^1000001
                           {"exp", expF, "1e30", "error 3"},
                           {"ln", lnF, "2", "0.6931471805599453094172321214582"},
                           {"ln", lnF, "1", "0"},
                           {"ln", lnF, "0", "-inf"},
                           {"ln", lnF, "-1", "nan error 8"},
                           {"ln", lnF, "inf", "nan"},
                           {"log", logF, "1000", "3"},
                           {"log", logF, "0.5", "-0.3010299956639811952137388947245"},
                           {"log", logF, "50%", "-0.3010299956639811952137388947245"},
                           {"log2", log2F, "8", "3"},
                           {"log2", log2F, "1024", "10"},
                           {"log2", log2F, "3", "1.584962500721156181453738943948"},
                           {"log2", log2F, "0", "-inf"},
                       });
    // Just inside the bound: 9.11198925846314776...e+999999.
    std::string large = caller.call(expF, {"2302585"});
    EXPECT_EQ(large.substr(0, 6), "911198");
    EXPECT_EQ(large.size(), 1000000u) << large.substr(0, 40);
}

TEST(MathFunctions, Roots) {
    const MathFunction sqrtF = valueShape(NBFMAPM_sqrt), cbrtF = valueShape(NBFMAPM_cbrt);
    MathCaller caller(30);
    expectRows(caller, {
                           {"sqrt", sqrtF, "4", "2"},
                           {"sqrt", sqrtF, "2", "1.41421356237309504880168872421"},
                           {"sqrt", sqrtF, "0", "0"},
                           {"sqrt", sqrtF, "-4", "nan"},
                           {"sqrt", sqrtF, "25%", "0.5"},
                           {"sqrt", sqrtF, "4 m^2", "2 m"},
                           {"sqrt", sqrtF, "9 km^2 h^-2", "3 km/h"},
                           {"sqrt", sqrtF, "4 m", "error 11"},
                           {"sqrt", sqrtF, "inf", "nan"},
                           {"cbrt", cbrtF, "-8", "-2"},
                           {"cbrt", cbrtF, "27", "3"},
                           {"cbrt", cbrtF, "2", "1.259921049894873164767210607278"},
                           {"cbrt", cbrtF, "-8 m^3", "-2 m"},
                           {"cbrt", cbrtF, "8 m^2", "error 11"},
                       });
}

TEST(MathFunctions, NumAndConstants) {
    MathCaller caller(30);
    EXPECT_EQ(caller.call(registerShape(NBFMAPM_num), {"5%"}), "5");
    EXPECT_EQ(caller.call(registerShape(NBFMAPM_num), {"-2.5 km"}), "-2.5");
    EXPECT_EQ(caller.call(valueShape(NBFMAPM_infinity), {}), "inf");
    EXPECT_EQ(caller.call(valueShape(NBFMAPM_negative_infinity), {}), "-inf");
    EXPECT_EQ(caller.call(valueShape(NBFMAPM_nan), {}), "nan");
    EXPECT_EQ(caller.call(valueShape(NBFMAPM_abs), {}), "");  // no argument, no value
}

}  // namespace
