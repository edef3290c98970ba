#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <thread>
#include <vector>

#include "NBFMAPMContext.h"
#include "NBFNumber.h"

namespace {

using NumberRef = NBF::Ref<NBF::Number>;
NumberRef number(const char* text, NBFNumberType type = NBFNumberTypeNumber) {
    return NumberRef::adopt(NBFNumberCreateWithCString(text, type));
}

std::string fixed(M_APM value, int places) {
    char buffer[256];
    m_apm_to_fixpt_string_mt(buffer, places, value);
    return buffer;
}

TEST(NBFNumber, CreationKeepsTypeAndExactValue) {
    auto percent = number("12.5", NBFNumberTypePercentage);
    EXPECT_EQ(NBFNumberGetType(percent.get()), NBFNumberTypePercentage);
    EXPECT_EQ(NBFNumberGetSpecialType(percent.get()), NBFNumberSpecialTypeNone);
    EXPECT_EQ(fixed(NBFNumberGetMAPMReference(percent.get()), -1), "12.5");

    auto fromInt = NumberRef::adopt(NBFNumberCreateWithInt32(-2147483647 - 1, NBFNumberTypeNumber));
    EXPECT_EQ(fixed(fromInt->mapmRef(), 0), "-2147483648");

    M_APM source = m_apm_init_mt();
    m_apm_set_string_mt(source, "0.3048");
    auto copied = NumberRef::adopt(NBFNumberCreateWithMAPM(source, NBFNumberTypeNumber));
    m_apm_set_string_mt(source, "7");  // the number holds its own copy
    EXPECT_EQ(fixed(copied->mapmRef(), -1), "0.3048");
    m_apm_free_mt(source);
}

TEST(NBFNumber, SpecialNumbersHaveNoDecimalValue) {
    auto nan = NumberRef::adopt(NBFNumberCreateSpecial(NBFNumberSpecialTypeNaN));
    EXPECT_EQ(NBFNumberGetType(nan.get()), NBFNumberTypeSpecial);
    EXPECT_EQ(NBFNumberGetSpecialType(nan.get()), NBFNumberSpecialTypeNaN);
    EXPECT_EQ(NBFNumberGetMAPMReference(nan.get()), nullptr);
    EXPECT_TRUE(std::isnan(NBFNumberGetDoubleValue(nan.get())));
    EXPECT_EQ(NBFNumberGetInt32Value(nan.get()), 0);
    auto negativeInfinity =
        NumberRef::adopt(NBFNumberCreateSpecial(NBFNumberSpecialTypeNegativeInfinity));
    EXPECT_EQ(NBFNumberGetDoubleValue(negativeInfinity.get()), -INFINITY);
    EXPECT_EQ(negativeInfinity->stringValue(), "-inf");
}

TEST(NBFNumber, NullNumbersAnswerNeutralValues) {
    EXPECT_EQ(NBFNumberGetDoubleValue(nullptr), 0.0);
    EXPECT_EQ(NBFNumberGetInt32Value(nullptr), 0);
    EXPECT_EQ(NBFNumberGetType(nullptr), 0);
    EXPECT_EQ(NBFNumberGetMAPMReference(nullptr), nullptr);
    EXPECT_EQ(NBFNumberRetain(nullptr), nullptr);
    NBFNumberRelease(nullptr);
}

TEST(NBFNumber, DoubleValueCarriesNineSignificantDigits) {
    struct Case {
        const char* text;
        double expected;
    };
    const Case cases[] = {
        {"1.234567891", 1.23456789},  // ten digits in, nine out
        {"9.876543215", 9.87654322},  // rounded, not cut
        {"-0.000123456789", -0.000123456789},
        {"6.02214076e23", 6.02214076e23},
        {"1e400", INFINITY},
        {"-1e400", -INFINITY},
        {"1e-400", 0.0},
        {"0", 0.0},
    };
    for (const Case& c : cases) EXPECT_EQ(number(c.text)->doubleValue(), c.expected) << c.text;
}

TEST(NBFNumber, IntegerValuesTruncateTowardZero) {
    struct Case {
        const char* text;
        int32_t expected32;
        int8_t expected8;
    };
    const Case cases[] = {
        {"-2.7", -2, -2},     {"2.7", 2, 2}, {"300", 300, 44},  // low bits of the wider integer
        {"4294967300", 4, 4},                                   // 2^32 + 4
        {"4294967297", 4, 4},                                   // nine digits first: 4294967300
        {"1e30", -1, -1},  // saturates in 64 bits first, then keeps the low bits
        {"-1e30", 0, 0},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(number(c.text)->int32Value(), c.expected32) << c.text;
        EXPECT_EQ(number(c.text)->int8Value(), c.expected8) << c.text;
    }
}

TEST(NBFNumber, StringValueHasOneHundredPlaces) {
    std::string text = number("-1.5")->stringValue();
    EXPECT_EQ(text, "-1.5" + std::string(99, '0'));
}

TEST(NBFNumber, SharedConstants) {
    NBFNumber_ConstantsInit();
    NBFNumber_ConstantsInit();  // idempotent
    EXPECT_EQ(NBFNumberGetInt32Value(NBFNumber_CONST_1), 1);
    EXPECT_EQ(NBFNumberGetInt32Value(NBFNumber_CONST_0), 0);
    EXPECT_EQ(NBFNumberGetSpecialType(NBFNumber_CONST_INFINITY), NBFNumberSpecialTypeInfinity);
    EXPECT_EQ(NBFNumberGetSpecialType(NBFNumber_CONST_NEGATIVE_INFINITY),
              NBFNumberSpecialTypeNegativeInfinity);
    EXPECT_EQ(NBFNumberGetSpecialType(NBFNumber_CONST_NAN), NBFNumberSpecialTypeNaN);
    NBFMAPMExtensionsInit();
    EXPECT_EQ(fixed(NBF_MAPM_0_01, -1), "0.01");
    EXPECT_EQ(fixed(NBF_MAPM_180, -1), "180");
}

TEST(NBFMAPMAccumulator, ChainsWithoutLosingTheValue) {
    NBFMAPMAccumulatorRef accumulator = NBFMAPMAccumulatorCreate(30);
    M_APM six = m_apm_init_mt(), four = m_apm_init_mt(), three = m_apm_init_mt();
    m_apm_set_long_mt(six, 6);
    m_apm_set_long_mt(four, 4);
    m_apm_set_long_mt(three, 3);
    NBFMAPMAccumulatorInitialize(accumulator, six);
    NBFMAPMAccumulatorMultiplyBy(accumulator, four);
    NBFMAPMAccumulatorDivideBy(accumulator, three);
    EXPECT_EQ(fixed(NBFMAPMAccumulatorGetResult(accumulator), -1), "8");
    NBFMAPMAccumulatorReciprocal(accumulator);
    EXPECT_EQ(fixed(NBFMAPMAccumulatorGetResult(accumulator), -1), "0.125");
    NBFMAPMAccumulatorDivideBy(accumulator, three);  // 31 significant digits at 30 places
    EXPECT_EQ(fixed(NBFMAPMAccumulatorGetResult(accumulator), -1),
              "0.04166666666666666666666666666667");
    m_apm_free_mt(six);
    m_apm_free_mt(four);
    m_apm_free_mt(three);
    NBFMAPMAccumulatorRelease(accumulator);
}

TEST(NBFMAPMContext, HoldsPrecisionAndRegisters) {
    NBFMAPMContextRef context = NBFMAPMContextCreate(102);
    EXPECT_EQ(NBFMAPMContextGetSignificantDigits(context), 102);
    EXPECT_EQ(NBFMAPMContextGetSignificantDigits(nullptr), 0);
    for (M_APM reg : context->registers) EXPECT_EQ(m_apm_sign_mt(reg), 0);
    NBFMAPMContextRetain(context);
    NBFMAPMContextRelease(context);
    NBFMAPMContextRelease(context);
}

TEST(NBFNumber, SharedAcrossThreads) {
    auto shared = number("0.1");
    std::vector<std::thread> threads;
    std::vector<std::string> sums(8);
    for (int t = 0; t < 8; ++t) {
        threads.emplace_back([&, t] {
            M_APM sum = m_apm_init_mt();
            for (int i = 0; i < 1000; ++i) {
                NumberRef local = NumberRef::retainOf(shared.get());
                m_apm_add_mt(sum, sum, local->mapmRef());
            }
            sums[t] = fixed(sum, -1);
            m_apm_free_mt(sum);
        });
    }
    for (auto& thread : threads) thread.join();
    for (const auto& sum : sums) EXPECT_EQ(sum, "100");
    EXPECT_EQ(shared->retainCount(), 1);
}

}  // namespace
