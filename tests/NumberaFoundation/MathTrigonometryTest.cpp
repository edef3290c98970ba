#include <gtest/gtest.h>

#include "MathTestSupport.h"

namespace {

constexpr NBFTrigonometryMode kDeg = NBFTrigonometryModeDegrees;
constexpr NBFTrigonometryMode kRad = NBFTrigonometryModeRadians;

struct Row {
    const char* name;
    MathFunction function;
    NBFTrigonometryMode mode;
    const char* argument;
    const char* expected;  // reference digits, 31 significant (context of 30 places)
};

TEST(MathTrigonometry, DegreeAndRadianModes) {
    const MathFunction sine = registerShape(NBFMAPM_sin), cosine = registerShape(NBFMAPM_cos),
                       tangent = valueShape(NBFMAPM_tan), arcsine = registerShape(NBFMAPM_asin),
                       arccosine = registerShape(NBFMAPM_acos),
                       arctangent = registerShape(NBFMAPM_atan), cosec = valueShape(NBFMAPM_cosec),
                       sec = valueShape(NBFMAPM_sec), cotan = valueShape(NBFMAPM_cotan);
    const Row rows[] = {
        {"sin", sine, kDeg, "30", "0.5"},
        {"sin", sine, kDeg, "390", "0.5"},
        {"sin", sine, kDeg, "-30", "-0.5"},
        {"sin", sine, kDeg, "180", "0"},
        {"sin", sine, kDeg, "-720", "0"},
        {"sin", sine, kDeg, "1000000000000000000000000000170", "1"},  // 170 + a multiple of 360
        {"sin", sine, kDeg, "50", "0.7660444431189780352023926505554"},
        {"sin", sine, kDeg, "3000%", "0.5"},
        {"sin", sine, kDeg, "30 m", "0.5"},
        {"cos", cosine, kDeg, "60", "0.5"},
        {"cos", cosine, kDeg, "90", "0"},
        {"cos", cosine, kDeg, "180", "-1"},
        {"tan", tangent, kDeg, "45", "1"},
        {"tan", tangent, kDeg, "135", "-1"},
        {"tan", tangent, kDeg, "180", "0"},
        {"tan", tangent, kDeg, "90", "inf"},
        {"tan", tangent, kDeg, "270", "inf"},
        {"tan", tangent, kDeg, "-90", "inf"},
        {"asin", arcsine, kDeg, "1", "90"},
        {"asin", arcsine, kDeg, "0.5", "30"},
        {"asin", arcsine, kDeg, "50%", "30"},
        {"acos", arccosine, kDeg, "0", "90"},
        {"acos", arccosine, kDeg, "-1", "180"},
        {"atan", arctangent, kDeg, "1", "45"},
        {"atan", arctangent, kDeg, "2", "63.43494882292201064842780627955"},
        {"asin", arcsine, kDeg, "2", "nan"},
        {"asin", arcsine, kRad, "-1.0000001", "nan"},
        {"acos", arccosine, kRad, "1.5", "nan"},
        {"cosec", cosec, kDeg, "30", "2"},
        {"sec", sec, kDeg, "60", "2"},
        {"cotan", cotan, kDeg, "45", "1"},
        {"cotan", cotan, kDeg, "90", "0"},
        {"cosec", cosec, kDeg, "180", "error 9"},
        {"sec", sec, kDeg, "90", "error 9"},
        {"cotan", cotan, kDeg, "0", "error 9"},
        {"sin", sine, kRad, "1", "0.8414709848078965066525023216303"},
        {"sin", sine, kRad, "50%", "0.4794255386042030002732879352156"},
        {"cos", cosine, kRad, "1", "0.540302305868139717400936607443"},
        {"tan", tangent, kRad, "1", "1.557407724654902230506974807458"},
        {"atan", arctangent, kRad, "1", "0.7853981633974483096156608458199"},
        {"asin", arcsine, kRad, "1", "1.57079632679489661923132169164"},
        {"acos", arccosine, kRad, "0.5", "1.047197551196597746154214461093"},
        // pi and pi/2 to the context's precision
        {"sin", sine, kRad, "3.141592653589793238462643383280", "0"},
        {"tan", tangent, kRad, "1.570796326794896619231321691640", "inf"},
        {"sin", sine, kRad, "inf", "nan"},
        {"tan", tangent, kDeg, "-inf", "nan"},
        {"sin", sine, kRad, "1e1000001", "nan"},  // beyond the magnitude bound
        {"sin", sine, kRad, "1e1000", "0.6533597982103698569480994680398"},
        {"cos", cosine, kRad, "1e300000", "nan"},  // too large to place in the period
        {"sin", sine, kDeg, "1e300000", "-0.9848077530122080593667430245895"},  // 280 degrees
    };
    MathCaller caller(30);
    for (const Row& row : rows) {
        EXPECT_EQ(caller.call(row.function, {row.argument}, row.mode), row.expected)
            << row.name << " " << row.argument << (row.mode == kDeg ? " degrees" : " radians");
    }
}

TEST(MathTrigonometry, FullPrecision) {
    MathCaller caller(100);
    EXPECT_EQ(caller.call(registerShape(NBFMAPM_sin), {"1"}),
              "0.84147098480789650665250232163029899962256306079837106567275170999191040439"
              "123966894863974354305269585");
    EXPECT_EQ(caller.call(registerShape(NBFMAPM_sin), {"30"}, kDeg), "0.5");
    EXPECT_EQ(caller.call(registerShape(NBFMAPM_asin), {"1"}, kDeg), "90");
    EXPECT_EQ(caller.call(valueShape(NBFMAPM_tan), {"60"}, kDeg),
              caller.call(valueShape(NBFMAPM_sqrt), {"3"}));
}

TEST(MathTrigonometry, RegisterBodiesCalledDirectly) {
    MathCaller caller(30);
    NBFValueRef argument = caller.argument("2");
    NBFEvaluationContextRef context = NBFEvaluationContextCreate(kRad);
    NBFMAPM_asin(&argument, 1, caller.mapm(), context);
    EXPECT_EQ(context->scratch->specialResult, NBFNumberSpecialTypeNaN);
    EXPECT_EQ(decimalText(caller.mapm()->registers[0]), "0");
    context->scratch->specialResult = NBFNumberSpecialTypeNone;
    NBFMAPM_cos(&argument, 1, caller.mapm(), context);
    EXPECT_EQ(context->scratch->specialResult, NBFNumberSpecialTypeNone);
    EXPECT_EQ(decimalText(caller.mapm()->registers[0]), "-0.4161468365471423869975682295008");
    NBFEvaluationContextRelease(context);
    NBFValueRelease(argument);
    // No arguments: not-a-number, and no crash without contexts.
    EXPECT_EQ(caller.call(registerShape(NBFMAPM_sin), {}), "nan");
    EXPECT_EQ(NBFMathExecuteNumberToMAPM(NBFMAPM_sin, nullptr, 0, nullptr, nullptr), nullptr);
    EXPECT_EQ(NBFMAPM_tan(nullptr, 0, nullptr, nullptr), nullptr);
}

}  // namespace
