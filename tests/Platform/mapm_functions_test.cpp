// Transcendental functions against reference digits, their exact cases, domain errors and
// extreme magnitudes.
//
// Reference digits were computed once with MPFR at 4000 bits from the exact decimal arguments
// and rounded to the number of digits shown; pi, e, sqrt(2), ln 2 and ln 10 agree with the
// published expansions.
#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "mapm_test_support.h"

namespace {

using UnaryFn = void (*)(M_APM, int, M_APM);

struct UnaryRow {
    const char* name;
    UnaryFn fn;
    const char* argument;
    const char* expected;  // correctly rounded; its length gives the places
};

int places_of(const std::string& expected) {
    const size_t e = expected.find('E');
    const size_t point = expected.find('.');
    return point == std::string::npos ? 0 : int(e - point - 1);
}

TEST(MapmFunctions, MatchReferenceDigits) {
    const UnaryRow rows[] = {
        {"exp", m_apm_exp, "1",
         "2.718281828459045235360287471352662497757247093699959574966968E+0"},
        {"sqrt", m_apm_sqrt, "2",
         "1.414213562373095048801688724209698078569671875376948073176680E+0"},
        {"log", m_apm_log, "2",
         "6.931471805599453094172321214581765680755001343602552541206800E-1"},
        {"log", m_apm_log, "10",
         "2.302585092994045684017991454684364207601101488628772976033328E+0"},
        {"sin", m_apm_sin, "1",
         "8.414709848078965066525023216302989996225630607983710656727517E-1"},
        {"cos", m_apm_cos, "1",
         "5.403023058681397174009366074429766037323104206179222276700973E-1"},
        {"tan", m_apm_tan, "1",
         "1.557407724654902230506974807458360173087250772381520038383947E+0"},
        {"arctan", m_apm_arctan, "1",
         "7.853981633974483096156608458198757210492923498437764552437361E-1"},
        {"sinh", m_apm_sinh, "1",
         "1.175201193643801456882381850595600815155717981334095870229565E+0"},
        {"cosh", m_apm_cosh, "1",
         "1.543080634815243778477905620757061682601529112365863704737402E+0"},
        {"tanh", m_apm_tanh, "1",
         "7.615941559557648881194582826047935904127685972579365515968105E-1"},
        {"arcsinh", m_apm_arcsinh, "1",
         "8.813735870195430252326093249797923090281603282616354107532956E-1"},
        {"arcsin", m_apm_arcsin, "0.5",
         "5.235987755982988730771072305465838140328615665625176368291574E-1"},
        {"arccos", m_apm_arccos, "0.5",
         "1.047197551196597746154214461093167628065723133125035273658315E+0"},
        {"arctanh", m_apm_arctanh, "0.5",
         "5.493061443340548456976226184612628523237452789113747258673472E-1"},
        {"arccosh", m_apm_arccosh, "2",
         "1.316957896924816708625046347307968444026981971467516479768472E+0"},
        {"log10", m_apm_log10, "2",
         "3.010299956639811952137388947244930267681898814621085413104275E-1"},
        {"cbrt", m_apm_cbrt, "2",
         "1.259921049894873164767210607278228350570251464701507980081975E+0"},
        // Arguments near a zero or a singular point of the function.
        {"sin", m_apm_sin, "1e30", "-9.011690191213805803038642895299E-2"},
        {"sin", m_apm_sin, "3.1415926535", "8.9793238462643383279382219659103881259907E-11"},
        {"sin", m_apm_sin, "-123.456", "8.0393736857282209213294879459684152827413E-1"},
        {"arccosh", m_apm_arccosh, "1.0000000001", "1.4142135623613099357821780971792877360395E-5"},
        {"log", m_apm_log, "1.0000000001", "9.9999999995000000000333333333308333333335E-11"},
        {"arctanh", m_apm_arctanh, "0.9999999999", "1.1859499055225201074797948334150888488710E+1"},
        {"cos", m_apm_cos, "1e-30",
         "9.999999999999999999999999999999999999999999999999999999999995000000000E-1"},
    };
    for (const UnaryRow& row : rows) {
        const int places = places_of(row.expected);
        Dec r;
        row.fn(r, places, Dec(row.argument));
        EXPECT_EQ(r.sci(places), row.expected) << row.name << "(" << row.argument << ")";
    }
}

TEST(MapmFunctions, PowersMatchReferenceDigits) {
    struct Row {
        const char* x;
        const char* y;
        const char* expected;
    } rows[] = {
        {"2", "0.5", "1.414213562373095048801688724209698078569671875376948073176680E+0"},
        {"10", "-0.5", "3.162277660168379331998893544432718533719555139325216826857505E-1"},
        {"0.7", "2.5", "4.099634130016970185093042926347418698024795309563493779074839E-1"},
        {"2", "-1.5", "3.5355339059327376220042218105242451964242E-1"},
        {"1.000001", "1000000", "2.718280469319376883819799708454E+0"},
    };
    for (const auto& row : rows) {
        const int places = places_of(row.expected);
        Dec r;
        m_apm_pow(r, places, Dec(row.x), Dec(row.y));
        EXPECT_EQ(r.sci(places), row.expected) << row.x << "^" << row.y;
    }
}

TEST(MapmFunctions, EveryPrecisionRoundsCorrectly) {
    // Reference mantissas with more digits than the widest precision checked.
    struct Row {
        const char* name;
        std::function<void(M_APM, int)> compute;
        const char* reference;
    } rows[] = {
        {"sqrt(2)", [](M_APM r, int p) { m_apm_sqrt(r, p, Dec("2")); },
         "1.414213562373095048801688724209698078569671875376948073176679737990732478462107038850387"
         "534327641572735013846230912297024924836056E+0"},
        {"exp(1)", [](M_APM r, int p) { m_apm_exp(r, p, Dec("1")); },
         "2.718281828459045235360287471352662497757247093699959574966967627724076630353547594571382"
         "178525166427427466391932003059921817413597E+0"},
        {"log(10)", [](M_APM r, int p) { m_apm_log(r, p, Dec("10")); },
         "2.302585092994045684017991454684364207601101488628772976033327900967572609677352480235997"
         "205089598298341967784042286248633409525465E+0"},
    };
    for (const auto& row : rows) {
        for (int places = 0; places <= 115; ++places) {
            Dec r;
            row.compute(r, places);
            EXPECT_EQ(r.sci(places), round_reference(row.reference, places))
                << row.name << " places " << places;
        }
    }
}

TEST(MapmConstants, PiHas140CorrectDigits) {
    EXPECT_EQ(Dec::of(MM_PI).sci(),
              "3.14159265358979323846264338327950288419716939937510582097494459230781640628620899"
              "86280348253421170679821480865132823066470938446095505822317E+0");
    EXPECT_EQ(m_apm_significant_digits(MM_PI), 140);
    EXPECT_EQ(Dec::of(MM_Zero).sci(), "0.0E+0");
    EXPECT_EQ(Dec::of(MM_One).sci(), "1.0E+0");
    EXPECT_EQ(Dec::of(MM_Two).sci(), "2.0E+0");
    EXPECT_EQ(Dec::of(MM_Ten).sci(), "1.0E+1");
}

TEST(MapmFunctions, SineOfPiVanishesAt102Places) {
    Dec r;
    m_apm_sin(r, 102, MM_PI);
    EXPECT_TRUE(m_apm_sign(r) == 0 || m_apm_exponent(r) < -102) << r.sci();
    m_apm_cos(r, 102, MM_PI);
    EXPECT_EQ(r.sci(102), "-1." + std::string(102, '0') + "E+0");
    // sin(pi / 6) = 1/2.
    Dec sixth;
    m_apm_divide(sixth, 110, MM_PI, Dec("6"));
    m_apm_sin(r, 30, sixth);
    EXPECT_EQ(r.sci(30), "5." + std::string(30, '0') + "E-1");
}

TEST(MapmFunctions, ExactCasesStayExact) {
    struct Row {
        const char* what;
        std::function<void(M_APM)> compute;
        const char* expected;  // every digit
    } rows[] = {
        {"exp(0)", [](M_APM r) { m_apm_exp(r, 30, Dec("0")); }, "1.0E+0"},
        {"log(1)", [](M_APM r) { m_apm_log(r, 30, Dec("1")); }, "0.0E+0"},
        {"log10(1000)", [](M_APM r) { m_apm_log10(r, 30, Dec("1000")); }, "3.0E+0"},
        {"log10(1e-100000)", [](M_APM r) { m_apm_log10(r, 30, Dec("1e-100000")); }, "-1.0E+5"},
        {"cbrt(-8)", [](M_APM r) { m_apm_cbrt(r, 30, Dec("-8")); }, "-2.0E+0"},
        {"sqrt(6.25)", [](M_APM r) { m_apm_sqrt(r, 30, Dec("6.25")); }, "2.5E+0"},
        {"sqrt(6.25), 0 places", [](M_APM r) { m_apm_sqrt(r, 0, Dec("6.25")); }, "3.0E+0"},
        {"6.25^0.5, 0 places", [](M_APM r) { m_apm_pow(r, 0, Dec("6.25"), Dec("0.5")); }, "3.0E+0"},
        {"4^1.5", [](M_APM r) { m_apm_pow(r, 30, Dec("4"), Dec("1.5")); }, "8.0E+0"},
        {"2^10", [](M_APM r) { m_apm_pow(r, 30, Dec("2"), Dec("10")); }, "1.024E+3"},
        {"-2^3", [](M_APM r) { m_apm_pow(r, 30, Dec("-2"), Dec("3")); }, "-8.0E+0"},
        {"0.01^1.5", [](M_APM r) { m_apm_pow(r, 30, Dec("0.01"), Dec("1.5")); }, "1.0E-3"},
        {"1.5625^1.5, 5 places", [](M_APM r) { m_apm_pow(r, 5, Dec("1.5625"), Dec("1.5")); },
         "1.95313E+0"},
        {"1.1025^1.5, 5 places", [](M_APM r) { m_apm_pow(r, 5, Dec("1.1025"), Dec("1.5")); },
         "1.15763E+0"},
        {"0^0", [](M_APM r) { m_apm_pow(r, 5, Dec("0"), Dec("0")); }, "1.0E+0"},
        {"0^2", [](M_APM r) { m_apm_pow(r, 5, Dec("0"), Dec("2")); }, "0.0E+0"},
        {"(-1)^(10^30+1)",
         [](M_APM r) { m_apm_pow(r, 5, Dec("-1"), Dec("1000000000000000000000000000001")); },
         "-1.0E+0"},
        {"arccos(1)", [](M_APM r) { m_apm_arccos(r, 30, Dec("1")); }, "0.0E+0"},
        {"arctan(0)", [](M_APM r) { m_apm_arctan(r, 30, Dec("0")); }, "0.0E+0"},
        {"sin(0)", [](M_APM r) { m_apm_sin(r, 30, Dec("0")); }, "0.0E+0"},
        {"cos(0)", [](M_APM r) { m_apm_cos(r, 30, Dec("0")); }, "1.0E+0"},
        {"arccosh(1)", [](M_APM r) { m_apm_arccosh(r, 30, Dec("1")); }, "0.0E+0"},
        {"1.5^3, 2 places", [](M_APM r) { m_apm_integer_pow(r, 2, Dec("1.5"), 3); }, "3.38E+0"},
    };
    for (const auto& row : rows) {
        Dec r("42");
        row.compute(r);
        EXPECT_EQ(r.sci(), row.expected) << row.what;
    }
}

TEST(MapmFunctions, DomainErrorsAndRefusalsAnswerZero) {
    struct Row {
        const char* what;
        std::function<void(M_APM)> compute;
    } rows[] = {
        {"sqrt(-1)", [](M_APM r) { m_apm_sqrt(r, 20, Dec("-1")); }},
        {"log(0)", [](M_APM r) { m_apm_log(r, 20, Dec("0")); }},
        {"log(-1)", [](M_APM r) { m_apm_log(r, 20, Dec("-1")); }},
        {"log10(0)", [](M_APM r) { m_apm_log10(r, 20, Dec("0")); }},
        {"log10(-5)", [](M_APM r) { m_apm_log10(r, 20, Dec("-5")); }},
        {"arcsin(2)", [](M_APM r) { m_apm_arcsin(r, 20, Dec("2")); }},
        {"arcsin(-1.0001)", [](M_APM r) { m_apm_arcsin(r, 20, Dec("-1.0001")); }},
        {"arccos(1.5)", [](M_APM r) { m_apm_arccos(r, 20, Dec("1.5")); }},
        {"arccosh(0.5)", [](M_APM r) { m_apm_arccosh(r, 20, Dec("0.5")); }},
        {"arctanh(1)", [](M_APM r) { m_apm_arctanh(r, 20, Dec("1")); }},
        {"arctanh(-1)", [](M_APM r) { m_apm_arctanh(r, 20, Dec("-1")); }},
        {"arctanh(2)", [](M_APM r) { m_apm_arctanh(r, 20, Dec("2")); }},
        {"1/0", [](M_APM r) { m_apm_divide(r, 20, Dec("1"), Dec("0")); }},
        {"reciprocal(0)", [](M_APM r) { m_apm_reciprocal(r, 20, Dec("0")); }},
        {"(-2)^0.5", [](M_APM r) { m_apm_pow(r, 20, Dec("-2"), Dec("0.5")); }},
        {"(-8)^0.333", [](M_APM r) { m_apm_pow(r, 20, Dec("-8"), Dec("0.333")); }},
        {"0^-1", [](M_APM r) { m_apm_pow(r, 20, Dec("0"), Dec("-1")); }},
        {"0^-2 integer", [](M_APM r) { m_apm_integer_pow(r, 20, Dec("0"), -2); }},
        {"exp(1e20)", [](M_APM r) { m_apm_exp(r, 20, Dec("1e20")); }},
        {"exp(5e18)", [](M_APM r) { m_apm_exp(r, 20, Dec("5e18")); }},
        {"cosh(-1e25)", [](M_APM r) { m_apm_cosh(r, 20, Dec("-1e25")); }},
        {"2^(1e30)", [](M_APM r) { m_apm_pow(r, 20, Dec("2"), Dec("1e30")); }},
        {"sin(1e200000)", [](M_APM r) { m_apm_sin(r, 20, Dec("1e200000")); }},
        {"exp(-1e19)", [](M_APM r) { m_apm_exp(r, 20, Dec("-1e19")); }},
        {"(1e-9000000000000000000)^2",
         [](M_APM r) { m_apm_integer_pow(r, 20, Dec("1e-9000000000000000000"), 2); }},
    };
    for (const auto& row : rows) {
        Dec r("42");
        row.compute(r);
        EXPECT_EQ(m_apm_sign(r), 0) << row.what << " gave " << r.sci();
    }
}

TEST(MapmFunctions, HugeAndTinyMagnitudes) {
    struct Row {
        const char* what;
        std::function<void(M_APM, int)> compute;
        const char* expected;
    } rows[] = {
        {"exp(100000)", [](M_APM r, int p) { m_apm_exp(r, p, Dec("100000")); },
         "2.806663360426123179318385818572E+43429"},
        {"exp(-100000)", [](M_APM r, int p) { m_apm_exp(r, p, Dec("-100000")); },
         "3.562949565309373121071174418749E-43430"},
        {"log(1e-100000)", [](M_APM r, int p) { m_apm_log(r, p, Dec("1e-100000")); },
         "-2.302585092994045684017991454684E+5"},
        {"log(1e2000000000000000000)",
         [](M_APM r, int p) { m_apm_log(r, p, Dec("1e2000000000000000000")); },
         "4.605170185988091368035982909369E+18"},
        {"log10(1e2000000000000000000)",
         [](M_APM r, int p) { m_apm_log10(r, p, Dec("1e2000000000000000000")); },
         "2.000000000000000000000000000000E+18"},
        {"exp(1e-5000)", [](M_APM r, int p) { m_apm_exp(r, p, Dec("1e-5000")); },
         "1.000000000000000000000000000000E+0"},
        {"sin(1e-5000)", [](M_APM r, int p) { m_apm_sin(r, p, Dec("1e-5000")); },
         "1.000000000000000000000000000000E-5000"},
        {"tanh(1e20)", [](M_APM r, int p) { m_apm_tanh(r, p, Dec("1e20")); },
         "1.000000000000000000000000000000E+0"},
        {"sqrt(1e-100001)", [](M_APM r, int p) { m_apm_sqrt(r, p, Dec("1e-100001")); },
         "3.162277660168379331998893544433E-50001"},
    };
    for (const auto& row : rows) {
        Dec r;
        row.compute(r, 30);
        EXPECT_EQ(r.sci(30), row.expected) << row.what;
    }
}

}  // namespace
