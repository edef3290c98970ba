#include "NBFStandardFunctions.h"

#include <mutex>

#include "NBFFunctionImplementations.h"

namespace {

NBFFunctionListRef s_standardFunctions = nullptr;
std::once_flag s_standardFunctionsOnce;

NBFFunctionRef makeFunction(const char* name, const char* alias, int8_t arguments) {
    NBFFunctionRef function =
        alias ? NBFFunctionCreate(name, {alias}) : NBFFunctionCreateWithName(std::string(name), 0);
    NBFFunctionSetNumberOfArguments(function, arguments);
    return function;
}

void add(NBFFunctionRef function) {
    NBFFunctionListAddFunction(s_standardFunctions, function);
    NBFFunctionRelease(function);
}

// Number-to-MAPM bodies always take one argument.
void addNumberToMAPM(const char* name, NBFNumberToMAPMFunction body) {
    NBFFunctionRef function = makeFunction(name, nullptr, 1);
    NBFFunctionSetNBFNumberToMAPMImplementation(function, body);
    add(function);
}

void addValue(const char* name, const char* alias, int8_t arguments, NBFValueToValueFunction body) {
    NBFFunctionRef function = makeFunction(name, alias, arguments);
    NBFFunctionSetNBFValueToNBFValueImplementation(function, body);
    add(function);
}

void addLegacy(const char* name, const char* alias, int8_t arguments, NBFLegacyMAPMFunction body) {
    NBFFunctionRef function = makeFunction(name, alias, arguments);
    NBFFunctionSetMAPMImplementation(function, body);
    add(function);
}

void buildStandardFunctions() {
    s_standardFunctions = NBFFunctionListCreate();
    addNumberToMAPM("sin", NBFMAPM_sin);
    addNumberToMAPM("cos", NBFMAPM_cos);
    addValue("tan", nullptr, 1, NBFMAPM_tan);
    addNumberToMAPM("asin", NBFMAPM_asin);
    addNumberToMAPM("acos", NBFMAPM_acos);
    addNumberToMAPM("atan", NBFMAPM_atan);
    addValue("cosec", "csc", 1, NBFMAPM_cosec);
    addValue("sec", nullptr, 1, NBFMAPM_sec);
    addValue("cotan", "cot", 1, NBFMAPM_cotan);
    addLegacy("sinh", nullptr, 1, NBFMAPM_sinh);
    addLegacy("cosh", nullptr, 1, NBFMAPM_cosh);
    addLegacy("tanh", nullptr, 1, NBFMAPM_tanh);
    addLegacy("asinh", nullptr, 1, NBFMAPM_asinh);
    addLegacy("acosh", nullptr, 1, NBFMAPM_acosh);
    addLegacy("atanh", nullptr, 1, NBFMAPM_atanh);
    addLegacy("_mod", nullptr, 2, NBFMAPM_mod);
    addValue("abs", nullptr, 1, NBFMAPM_abs);
    addNumberToMAPM("num", NBFMAPM_num);
    addValue("floor", nullptr, 1, NBFMAPM_floor);
    addValue("ceil", nullptr, 1, NBFMAPM_ceil);
    addValue("trunc", nullptr, 1, NBFMAPM_trunc);
    addValue("round", nullptr, 1, NBFMAPM_round);
    addLegacy("choose", nullptr, 2, NBFMAPM_choose);
    addValue("sqrt", "√", 1, NBFMAPM_sqrt);
    addValue("cbrt", nullptr, 1, NBFMAPM_cbrt);
    addLegacy("_pow", "pow", 2, NBFMAPM_pow);
    addLegacy("_fact", nullptr, 1, NBFMAPM_fact);
    addValue("exp", nullptr, 1, NBFMAPM_exp);
    addLegacy("_e10", nullptr, 2, NBFMAPM_e10);
    addValue("ln", "loge", 1, NBFMAPM_ln);
    addValue("log", "log10", 1, NBFMAPM_log);
    addValue("log2", nullptr, 1, NBFMAPM_log2);
    addLegacy("_lsl", nullptr, 2, NBFMAPM_lsl);
    addLegacy("_lsr", nullptr, 2, NBFMAPM_lsr);
    addLegacy("_bitwise_or", nullptr, 2, NBFMAPM_bitwise_or);
    addLegacy("_bitwise_and", nullptr, 2, NBFMAPM_bitwise_and);
    addLegacy("_bitwise_xor", nullptr, 2, NBFMAPM_bitwise_xor);
    addLegacy("_bitwise_not", nullptr, 1, NBFMAPM_bitwise_not);
    addLegacy("test_add1", nullptr, 1, NBFMAPM_test_add1);
    addLegacy("test_add2", nullptr, 2, NBFMAPM_test_add2);
    addLegacy("test_add3", nullptr, 3, NBFMAPM_test_add3);
    addValue("__inf", nullptr, 0, NBFMAPM_infinity);
    addValue("__neg_inf", nullptr, 0, NBFMAPM_negative_infinity);
    addValue("__nan", nullptr, 0, NBFMAPM_nan);
}

}  // namespace

void NBFStandardFunctionsInit() { std::call_once(s_standardFunctionsOnce, buildStandardFunctions); }

NBFFunctionListRef NBFStandardFunctionsGetSharedListReference() { return s_standardFunctions; }

NBFFunctionListRef NBFFunctionListGetStandardList() {
    return NBFStandardFunctionsGetSharedListReference();
}
