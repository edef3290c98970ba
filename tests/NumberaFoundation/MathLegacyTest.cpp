#include <gtest/gtest.h>

#include "MathTestSupport.h"

namespace {

struct Row {
    const char* name;
    NBFLegacyMAPMFunction body;
    std::vector<std::string> arguments;
    std::string expected;
};

TEST(MathLegacy, BodiesThroughTheLegacyCall) {
    const std::string twoTo200 = "1606938044258990275541962092341162602522202993782792835301376";
    // C(1000, 500) has 300 digits; the division gives 101 of them.
    const std::string choose1000of500 =
        "2702882409454365695156146936259752754961520084465482870073928751066254287055221938986124"
        "8392450237017" +
        std::string(199, '0');
    const Row rows[] = {
        {"mod", NBFMAPM_mod, {"7", "3"}, "1"},
        {"mod", NBFMAPM_mod, {"-7", "2"}, "-1"},
        {"mod", NBFMAPM_mod, {"7.5", "2"}, "1.5"},
        {"mod", NBFMAPM_mod, {"1.75", "0.5"}, "0.25"},
        {"mod", NBFMAPM_mod, {"10", "0.3"}, "0.1"},
        {"mod", NBFMAPM_mod, {"-10", "0.3"}, "-0.1"},
        {"mod", NBFMAPM_mod, {"10", "30%"}, "0.1"},
        {"mod", NBFMAPM_mod, {"7", "0"}, "error 9"},
        {"mod", NBFMAPM_mod, {"7.5", "0"}, "error 9"},
        {"choose", NBFMAPM_choose, {"5", "2"}, "10"},
        {"choose", NBFMAPM_choose, {"5", "0"}, "1"},
        {"choose", NBFMAPM_choose, {"5", "5"}, "1"},
        {"choose", NBFMAPM_choose, {"5", "-1"}, "0"},
        {"choose", NBFMAPM_choose, {"5", "6"}, "0"},
        {"choose", NBFMAPM_choose, {"5.5", "2"}, "nan"},
        {"choose", NBFMAPM_choose, {"5", "2.5"}, "nan"},
        {"choose", NBFMAPM_choose, {"100", "50"}, "100891344545564193334812497256"},
        {"choose", NBFMAPM_choose, {"1000000", "2"}, "499999500000"},
        {"choose", NBFMAPM_choose, {"1000", "500"}, choose1000of500},
        {"choose", NBFMAPM_choose, {"10000000", "1000000"}, "error 3"},
        {"pow", NBFMAPM_pow, {"2", "10"}, "1024"},
        {"pow", NBFMAPM_pow, {"2", "-1"}, "0.5"},
        {"pow", NBFMAPM_pow, {"-2", "3"}, "-8"},
        {"pow", NBFMAPM_pow, {"4", "0.5"}, "2"},
        {"pow", NBFMAPM_pow, {"50%", "2"}, "0.25"},
        {"pow", NBFMAPM_pow, {"-8", "0.5"}, "nan"},
        {"pow", NBFMAPM_pow, {"0", "-1"}, "error 9"},
        {"pow", NBFMAPM_pow, {"0", "0"}, "1"},
        {"pow", NBFMAPM_pow, {"0", "3"}, "0"},
        {"pow", NBFMAPM_pow, {"2", "1000000"}, "error 3"},
        {"pow", NBFMAPM_pow, {"100000", "300000"}, "error 3"},
        {"pow", NBFMAPM_pow, {"10", "-3"}, "0.001"},
        {"fact", NBFMAPM_fact, {"0"}, "1"},
        {"fact", NBFMAPM_fact, {"5"}, "120"},
        {"fact", NBFMAPM_fact, {"20"}, "2432902008176640000"},
        {"fact", NBFMAPM_fact, {"2.5"}, "error 6"},
        {"fact", NBFMAPM_fact, {"-3"}, "error 7"},
        {"fact", NBFMAPM_fact, {"-2.5"}, "error 7"},
        {"fact", NBFMAPM_fact, {"100000"}, "error 3"},
        {"e10", NBFMAPM_e10, {"1.5", "3"}, "1500"},
        {"e10", NBFMAPM_e10, {"2", "-3"}, "0.002"},
        {"e10", NBFMAPM_e10, {"1", "1000000"}, "error 3"},
        {"e10", NBFMAPM_e10, {"1e999999", "2"}, "error 3"},
        {"lsl", NBFMAPM_lsl, {"3", "2"}, "12"},
        {"lsl", NBFMAPM_lsl, {"1", "200"}, twoTo200},
        {"lsl", NBFMAPM_lsl, {"3", "-1"}, "1.5"},
        {"lsl", NBFMAPM_lsl, {"1", "4000000"}, "error 3"},
        {"lsr", NBFMAPM_lsr, {"13", "2"}, "3"},
        {"lsr", NBFMAPM_lsr, {"-13", "2"}, "-3"},
        {"lsr", NBFMAPM_lsr, {"1", "-2"}, "4"},
        {"lsr", NBFMAPM_lsr, {twoTo200, "199"}, "2"},
        {"or", NBFMAPM_bitwise_or, {"12", "10"}, "14"},
        {"and", NBFMAPM_bitwise_and, {"12", "10"}, "8"},
        {"xor", NBFMAPM_bitwise_xor, {"12", "10"}, "6"},
        {"not", NBFMAPM_bitwise_not, {"5"}, "2"},
        {"not", NBFMAPM_bitwise_not, {"0"}, "1"},
        {"or", NBFMAPM_bitwise_or, {"12.7", "10.2"}, "14"},
        {"and", NBFMAPM_bitwise_and, {twoTo200, "1"}, "0"},
        {"or",
         NBFMAPM_bitwise_or,
         {twoTo200, "1"},
         "1606938044258990275541962092341162602522202993782792835301377"},
        {"or", NBFMAPM_bitwise_or, {"-1", "2"}, "nan"},
        {"or", NBFMAPM_bitwise_or, {"1e1000", "1"}, "error 3"},
        {"test_add1", NBFMAPM_test_add1, {"5"}, "5"},
        {"test_add2", NBFMAPM_test_add2, {"2", "3"}, "5"},
        {"test_add3", NBFMAPM_test_add3, {"1", "2", "3.5"}, "6.5"},
        {"test_add2", NBFMAPM_test_add2, {"inf", "3"}, "nan"},
    };
    MathCaller caller;
    for (const Row& row : rows) {
        EXPECT_EQ(caller.call(legacyShape(row.body), row.arguments), row.expected) << row.name;
    }
}

TEST(MathLegacy, Hyperbolic) {
    const Row rows[] = {
        {"sinh", NBFMAPM_sinh, {"0"}, "0"},
        {"sinh",
         NBFMAPM_sinh,
         {"1"},
         "1.17520119364380145688238185059560081515571798133409587022956541301330756730432389560711"
         "745208962339184"},
        {"cosh", NBFMAPM_cosh, {"0"}, "1"},
        {"cosh",
         NBFMAPM_cosh,
         {"1"},
         "1.54308063481524377847790562075706168260152911236586370473740221471076906304922369896426"
         "4726435543035587"},
        {"tanh",
         NBFMAPM_tanh,
         {"0.5"},
         "0.4621171572600097585023184836436725487302892803301130385527318158380809061404092787749"
         "490641519624905843"},
        {"asinh",
         NBFMAPM_asinh,
         {"1"},
         "0.8813735870195430252326093249797923090281603282616354107532956086533771842220260878337"
         "068919102560428567"},
        {"acosh",
         NBFMAPM_acosh,
         {"2"},
         "1.31695789692481670862504634730796844402698197146751647976847225692046018541644397607421"
         "9013450101783556"},
        {"atanh",
         NBFMAPM_atanh,
         {"0.5"},
         "0.5493061443340548456976226184612628523237452789113747258673471668187471466093044834368"
         "07877406866044394"},
        {"acosh", NBFMAPM_acosh, {"1"}, "0"},
        {"acosh", NBFMAPM_acosh, {"0.5"}, "nan"},
        {"atanh", NBFMAPM_atanh, {"1"}, "inf"},
        {"atanh", NBFMAPM_atanh, {"-1"}, "-inf"},
        {"atanh", NBFMAPM_atanh, {"2"}, "nan"},
        {"atanh", NBFMAPM_atanh, {"-100%"}, "-inf"},
        {"sinh", NBFMAPM_sinh, {"10000000"}, "error 3"},
        {"cosh", NBFMAPM_cosh, {"-2400000"}, "error 3"},
        {"sinh", NBFMAPM_sinh, {"-inf"}, "nan"},
    };
    MathCaller caller;
    for (const Row& row : rows) {
        EXPECT_EQ(caller.call(legacyShape(row.body), row.arguments), row.expected)
            << row.name << "(" << row.arguments[0] << ")";
    }
}

TEST(MathLegacy, ReversedArgumentsAndMissingOnes) {
    // Called directly: element 0 is the last argument.
    M_APM values[2] = {m_apm_init_mt(), m_apm_init_mt()};
    m_apm_set_long_mt(values[0], 3);  // exponent
    m_apm_set_long_mt(values[1], 2);  // base
    uint32_t flags = 0;
    M_APM result = NBFMAPM_pow(values, 2, nullptr, 0, &flags);
    EXPECT_EQ(decimalText(result), "8");
    EXPECT_EQ(flags, 0u);
    m_apm_free_mt(result);
    EXPECT_EQ(NBFMAPM_pow(values, 1, nullptr, 0, &flags), nullptr);
    EXPECT_EQ(flags, NBFMathFlagNotANumber);
    m_apm_free_mt(values[0]);
    m_apm_free_mt(values[1]);
    MathCaller caller;
    EXPECT_EQ(caller.call(legacyShape(NBFMAPM_choose), {"5"}), "nan");
    EXPECT_EQ(NBFMathExecuteLegacyMAPM(nullptr, nullptr, 0, nullptr), nullptr);
}

}  // namespace
