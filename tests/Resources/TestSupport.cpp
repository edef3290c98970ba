#include "TestSupport.hpp"

#include <cstdlib>
#include <sstream>

namespace resources_test {

std::string resourcesDirectory() {
    const char* source = std::getenv("NUMBERA_SOURCE_DIR");
    return std::string(source ? source : ".") + "/Resources";
}

const LoadedCatalogue& sharedCatalogue() {
    static const LoadedCatalogue loaded = [] {
        LoadedCatalogue result;
        result.loaded = result.catalogue.load(resourcesDirectory(), result.error);
        return result;
    }();
    return loaded;
}

const std::vector<std::string>& reservedFunctionNames() {
    // The standard function list, its aliases, the word-operator operand functions and the
    // line-reference functions; functions are found without regard to case.
    static const std::vector<std::string> names = {
        "sin",          "cos",
        "tan",          "asin",
        "acos",         "atan",
        "cosec",        "csc",
        "sec",          "cotan",
        "cot",          "sinh",
        "cosh",         "tanh",
        "asinh",        "acosh",
        "atanh",        "_mod",
        "abs",          "num",
        "floor",        "ceil",
        "trunc",        "round",
        "choose",       "sqrt",
        "\u221a",       "cbrt",
        "_pow",         "pow",
        "_fact",        "exp",
        "_e10",         "ln",
        "loge",         "log",
        "log10",        "log2",
        "_lsl",         "_lsr",
        "_bitwise_or",  "_bitwise_and",
        "_bitwise_xor", "_bitwise_not",
        "test_add1",    "test_add2",
        "test_add3",    "__inf",
        "__neg_inf",    "__nan",
        "_op1",         "_op2",
        "___rel_line",  "___rel_line_fixed",
        "___abs_line",  "___abs_line_numbered",
        "___dead_line",
    };
    return names;
}

const std::vector<std::string>& reservedWordOperators() {
    static const std::vector<std::string> words = {
        "from",
        "into",
        "x",
        "per",
        "mod",
        "lsl",
        "lsr",
        "xor",
        "_bit_or",
        "_bit_and",
        "_bit_not",
        "__mod",
        "__uc",
        "_as_percent",
        "_as_percent_of",
        "_as_percent_off",
        "_as_percent_on",
        "_percent_of",
        "_percent_off",
        "_percent_on",
        "_percent_of_what_is",
        "_percent_off_what_is",
        "_percent_on_what_is",
        "_as_percent_increase_of",
        "_as_percent_decrease_of",
        "_reverse_as_percent_off",
        "_reverse_as_percent_on",
        "_reverse_percent_off_what_is",
        "_reverse_percent_on_what_is",
        "_reverse_percent_of_what_is",
    };
    return words;
}

const std::vector<std::string>& conversionWords() {
    static const std::vector<std::string> words = {"in", "to", "as"};
    return words;
}

const std::vector<std::string>& defaultGlobalVariables() {
    static const std::vector<std::string> names = {"k", "M", "G"};
    return names;
}

const std::vector<std::string>& standardVariables() {
    static const std::vector<std::string> names = {"pi", "\u03c0"};
    return names;
}

const std::vector<std::string>& supportedCurrencyCodes() {
    static const std::vector<std::string> codes = [] {
        const char* const list =
            "USD JPY IDR NOK GBP AED AFN ALL AMD ANG AOA ARS AUD AWG AZN BAM BBD BDT BGN BHD BIF "
            "BMD BND BOB BRL BSD BTN BWP BYR BZD CAD CDF CHF CLP CNY COP CRC CUP CVE CZK DJF DKK "
            "DOP DZD EGP ETB EUR FJD FKP GEL GHS GIP GMD GNF GTQ GYD HKD HNL HRK HTG HUF ILS INR "
            "IQD IRR ISK JMD JOD KES KGS KHR KMF KRW KWD KYD KZT LAK LBP LKR LRD LSL LTL LVL LYD "
            "MAD MDL MKD MMK MNT MOP MRO MUR MVR MWK MXN MYR MZN NAD NGN NIO NPR NZD OMR PAB PEN "
            "PGK PHP PKR PLN PYG QAR RON RSD RUB RWF SAR SBD SCR SDG SEK SGD SHP SLL SOS SRD STD "
            "SVC SYP SZL THB TJS TMT TND TOP TRY TTD TWD TZS UAH UGX UYU UZS VEF VND VUV WST XAF "
            "XCD XOF XPF YER ZAR ZMK";
        std::vector<std::string> out;
        std::istringstream in(list);
        for (std::string code; in >> code;) out.push_back(code);
        return out;
    }();
    return codes;
}

const std::vector<ClashingCurrencyName>& clashingCurrencyNames() {
    static const std::vector<ClashingCurrencyName> names = {
        {"$", "Dollar", "Dollars", "USD"},
        {"kr", "Krona", "Kronor", "NOK"},
    };
    return names;
}

}  // namespace resources_test
