#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "NBFFunctionImplementations.h"
#include "NBFStandardFunctions.h"

namespace {

constexpr int L = kNBFFunctionImplementationTypeLegacyMAPM;
constexpr int M = kNBFFunctionImplementationTypeMAPM;
constexpr int V = kNBFFunctionImplementationTypeNBFValue;

NBFFunctionRef standard(const char* name) {
    NBFStandardFunctionsInit();
    return NBFFunctionListGetFunctionWithName(NBFFunctionListGetStandardList(), std::string(name));
}

TEST(NBFStandardFunctions, TableOfNamesAliasesArgumentsAndKinds) {
    struct Row {
        const char* name;
        const char* alias;
        int arguments, kind;
    };
    const Row rows[] = {
        {"sin", nullptr, 1, M},          {"cos", nullptr, 1, M},
        {"tan", nullptr, 1, V},          {"asin", nullptr, 1, M},
        {"acos", nullptr, 1, M},         {"atan", nullptr, 1, M},
        {"cosec", "csc", 1, V},          {"sec", nullptr, 1, V},
        {"cotan", "cot", 1, V},          {"sinh", nullptr, 1, L},
        {"cosh", nullptr, 1, L},         {"tanh", nullptr, 1, L},
        {"asinh", nullptr, 1, L},        {"acosh", nullptr, 1, L},
        {"atanh", nullptr, 1, L},        {"_mod", nullptr, 2, L},
        {"abs", nullptr, 1, V},          {"num", nullptr, 1, M},
        {"floor", nullptr, 1, V},        {"ceil", nullptr, 1, V},
        {"trunc", nullptr, 1, V},        {"round", nullptr, 1, V},
        {"choose", nullptr, 2, L},       {"sqrt", "√", 1, V},
        {"cbrt", nullptr, 1, V},         {"_pow", "pow", 2, L},
        {"_fact", nullptr, 1, L},        {"exp", nullptr, 1, V},
        {"_e10", nullptr, 2, L},         {"ln", "loge", 1, V},
        {"log", "log10", 1, V},          {"log2", nullptr, 1, V},
        {"_lsl", nullptr, 2, L},         {"_lsr", nullptr, 2, L},
        {"_bitwise_or", nullptr, 2, L},  {"_bitwise_and", nullptr, 2, L},
        {"_bitwise_xor", nullptr, 2, L}, {"_bitwise_not", nullptr, 1, L},
        {"test_add1", nullptr, 1, L},    {"test_add2", nullptr, 2, L},
        {"test_add3", nullptr, 3, L},    {"__inf", nullptr, 0, V},
        {"__neg_inf", nullptr, 0, V},    {"__nan", nullptr, 0, V},
    };
    for (const Row& row : rows) {
        NBFFunctionRef function = standard(row.name);
        ASSERT_NE(function, nullptr) << row.name;
        EXPECT_EQ(NBFStringGetCppString(NBFFunctionGetNameReference(function)), row.name);
        EXPECT_EQ(NBFFunctionGetNumberOfArguments(function), row.arguments) << row.name;
        EXPECT_EQ(NBFFunctionGetImplementationType(function), row.kind) << row.name;
        EXPECT_EQ(NBFFunctionGetCountOfAliases(function), row.alias ? 1 : 0) << row.name;
        if (row.alias) {
            EXPECT_EQ(standard(row.alias), function) << row.alias;
        }
    }
    EXPECT_EQ(NBFStandardFunctionsGetSharedListReference(), NBFFunctionListGetStandardList());
}

class Calls : public ::testing::Test {
  protected:
    void TearDown() override {
        NBFMAPMContextRelease(mapm);
        NBFEvaluationContextRelease(context);
    }
    // The answer as text: a number, "nan", "inf", "-inf", or "none" for no value.
    std::string call(NBFFunctionRef function, const std::vector<const char*>& arguments,
                     NBFEvalMetadataRef* metadata = nullptr) {
        std::vector<NBFValueRef> values;
        for (const char* text : arguments) {
            NBFNumberRef number = std::string(text) == "nan"
                                      ? NBFNumberCreateSpecial(NBFNumberSpecialTypeNaN)
                                      : NBFNumberCreateWithCString(text, NBFNumberTypeNumber);
            values.push_back(NBFValueCreate_TransferOwnership(number));
        }
        NBFValueRef result = NBFFunctionExecute(
            function, values.data(), static_cast<int32_t>(values.size()), mapm, context, metadata);
        for (NBFValueRef value : values) NBFValueRelease(value);
        std::string text = describe(result);
        NBFValueRelease(result);
        return text;
    }
    static std::string describe(NBFValueRef value) {
        if (!value) return "none";
        switch (NBFNumberGetSpecialType(NBFValueGetNumber(value))) {
            case NBFNumberSpecialTypeNaN:
                return "nan";
            case NBFNumberSpecialTypeInfinity:
                return "inf";
            case NBFNumberSpecialTypeNegativeInfinity:
                return "-inf";
            default:
                return std::to_string(NBFNumberGetInt32Value(NBFValueGetNumber(value)));
        }
    }
    NBFMAPMContextRef mapm = NBFMAPMContextCreate(102);
    NBFEvaluationContextRef context = NBFEvaluationContextCreate(NBFTrigonometryModeRadians);
};

TEST_F(Calls, StandardFunctionsByName) {
    struct Row {
        const char* name;
        std::vector<const char*> arguments;
        const char* expected;
    };
    const std::vector<Row> rows = {
        {"pow", {"2", "10"}, "1024"},
        {"_pow", {"2", "10"}, "1024"},
        {"_pow", {"2", "10", "5"}, "1024"},  // surplus arguments are left out, not shifted
        {"_mod", {"7", "3", "100"}, "1"},
        {"_e10", {"5", "3"}, "5000"},
        {"sin", {}, "nan"},  // too few arguments
        {"_pow", {"2"}, "nan"},
        {"sqrt", {"nan"}, "nan"},
        {"sqrt", {"16"}, "4"},
        {"abs", {"-3"}, "3"},
        {"__inf", {}, "inf"},
        {"__neg_inf", {}, "-inf"},
        {"__nan", {}, "nan"},
        {"pow", {"2", "1000000"}, "none"},  // beyond the exponent limit
    };
    for (const Row& row : rows)
        EXPECT_EQ(call(standard(row.name), row.arguments), row.expected) << row.name;

    // Plain MAPM arguments, last one first.
    M_APM reversed[2] = {m_apm_init(), m_apm_init()};
    m_apm_set_long(reversed[0], 10);
    m_apm_set_long(reversed[1], 2);
    NBFValueRef result = NBFFunctionExecute(standard("pow"), reversed, 2, mapm, context, nullptr);
    EXPECT_EQ(describe(result), "1024");
    NBFValueRelease(result);
    m_apm_free(reversed[0]);
    m_apm_free(reversed[1]);
}

// A body that counts its calls and answers the number of arguments it was given.
class CountingImplementation : public NBFFunctionImplementation {
  public:
    explicit CountingImplementation(int* calls, NBFFunctionImplementationType kind)
        : m_calls(calls), m_kind(kind) {}
    NBFValueRef execute(const NBFValueRef*, int32_t count, NBFMAPMContextRef,
                        NBFEvaluationContextRef, NBFEvalMetadataRef*) override {
        ++*m_calls;
        return NBFValueCreate_TransferOwnership(
            NBFNumberCreateWithInt32(count, NBFNumberTypeNumber));
    }
    NBFFunctionImplementationType type() const override { return m_kind; }

  private:
    int* m_calls;
    NBFFunctionImplementationType m_kind;
};

TEST_F(Calls, BodiesAreSparedWhatTheyCannotUse) {
    int calls = 0;
    NBFFunctionRef function = NBFFunctionCreateWithName(std::string("f"), 2);
    NBFFunctionSetFunctionImplementation(function, new CountingImplementation(&calls, V));
    EXPECT_EQ(call(function, {"1"}), "nan");
    EXPECT_EQ(call(function, {"1", "nan"}), "nan");
    EXPECT_EQ(calls, 0);
    EXPECT_EQ(call(function, {"1", "2", "3"}), "3");  // other kinds get every argument
    EXPECT_EQ(calls, 1);

    // Not executable: no value.
    NBFFunctionSetFunctionImplementation(function, new CountingImplementation(&calls, 3));
    EXPECT_EQ(call(function, {"1", "2"}), "none");
    EXPECT_EQ(calls, 1);
    NBFFunctionRelease(function);
    EXPECT_EQ(call(nullptr, {}), "none");
}

NBFEvaluatedValueRef withMetadata(const NBFValueRef*, int32_t, NBFMAPMContextRef,
                                  NBFEvaluationContextRef) {
    NBFValueRef value =
        NBFValueCreate_TransferOwnership(NBFNumberCreateWithInt32(9, NBFNumberTypeNumber));
    NBFEvalMetadataRef metadata = NBFEvalMetadataCreate();
    NBFEvaluatedValueRef evaluated = NBFEvaluatedValueCreate(value, metadata);
    NBFValueRelease(value);
    NBFEvalMetadataRelease(metadata);
    return evaluated;
}

TEST_F(Calls, EvaluatedValuesHandTheirMetadataOver) {
    NBFFunctionRef function = NBFFunctionCreateWithName(std::string("g"), 0);
    NBFFunctionSetNBFValueToNBFEvaluatedValueImplementation(function, withMetadata);
    NBFEvalMetadataRef metadata = nullptr;
    EXPECT_EQ(call(function, {}, &metadata), "9");
    ASSERT_NE(metadata, nullptr);
    NBFEvalMetadataRelease(metadata);  // ours alone: the evaluated value is gone
    NBFFunctionRelease(function);
}

}  // namespace
