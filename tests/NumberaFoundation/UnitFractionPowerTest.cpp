#include <gtest/gtest.h>

#include "NBFUnitFractionPower.h"
#include "UnitTestCatalog.h"

namespace {

struct Decimal {
    explicit Decimal(const std::string& text) : value(m_apm_init_mt()) {
        m_apm_set_string_mt(value, text.c_str());
    }
    ~Decimal() { m_apm_free_mt(value); }
    M_APM value;
};

TEST(UnitFractionPower, DegreesMustStayWholeAndInRange) {
    const std::string third = "0." + std::string(100, '3');
    struct Row {
        std::vector<std::pair<const char*, int>> unit;
        std::string exponent;
        const char* degrees;  // or the error
        const char* multiplier;
    } rows[] = {
        {{{"m", 2}}, "0.5", "[length:1]", "1"},
        {{{"km", 2}}, "0.5", "[length:1]", "1000"},
        {{{"m", 1}, {"s", -1}}, "-2", "[length:-2][time:2]", "1"},
        {{{"m", 3}}, third, "[length:1]", "1"},
        {{{"m", 1}}, "127", "[length:127]", "1"},
        {{{"m", 1}}, "0", "", "1"},
        {{{"m", 1}}, "0.5", "error 11", ""},
        {{{"m", 2}, {"s", -1}}, "0.5", "error 11", ""},
        {{{"m", 1}}, "200", "error 3", ""},
        {{{"m", 2}}, "-64", "error 3", ""},
        {{{"m", 1}}, "1e30", "error 3", ""},
        {{{"km", 1}, {"m", -1}}, "2", "", "1000000"},  // no units, extra multiplier 1000
    };
    UnitTestCatalog units;
    for (const Row& row : rows) {
        NBFUnitFractionBuilderRef builder = NBFUnitFractionBuilderCreate();
        for (const auto& [id, power] : row.unit) {
            builder->addUnit(units[id], static_cast<int8_t>(power));
        }
        Decimal exponent(row.exponent);
        NBFEvaluationError error = -1;
        NBFUnitFractionRef powered = NBFUnitFractionCreateWithPower(
            NBFUnitFractionBuilderGetUnitFraction(builder), exponent.value, &error);
        SCOPED_TRACE(row.exponent);
        if (powered) {
            EXPECT_EQ(error, NBFEvaluationErrorNone);
            EXPECT_EQ(NBFUnitFractionGetStringRepresentation(powered), row.degrees);
            EXPECT_EQ(decimalText(NBFUnitFractionGetMultiplier(powered)), row.multiplier);
        } else {
            EXPECT_EQ("error " + std::to_string(error), row.degrees);
        }
        NBFUnitFractionRelease(powered);
        NBFUnitFractionBuilderRelease(builder);
    }
}

TEST(UnitFractionPower, Roots) {
    UnitTestCatalog units;
    NBFUnitFractionRef area = units.fraction({{"km", 2}, {"h", -2}});
    NBFEvaluationError error = -1;
    NBFUnitFractionRef speed = NBFUnitFractionCreateWithRoot(area, 2, &error);
    EXPECT_EQ(error, NBFEvaluationErrorNone);
    EXPECT_EQ(NBFUnitFractionGetStringRepresentation(speed), "[length:1][time:-1]");
    EXPECT_EQ(NBFUnitFractionGetOnlyNumeratorUnitOfType(speed, NBFUnitTypeLength), units["km"]);
    EXPECT_EQ(NBFUnitFractionCreateWithRoot(area, 3, &error), nullptr);
    EXPECT_EQ(error, NBFEvaluationErrorRootOfUnit);
    EXPECT_EQ(NBFUnitFractionCreateWithRoot(nullptr, 2, &error), nullptr);
    EXPECT_EQ(error, NBFEvaluationErrorNone);
    NBFUnitFractionRelease(speed);
    NBFUnitFractionRelease(area);

    // A scalar with an extra multiplier: its root is taken too.
    NBFUnitFractionBuilderRef builder = NBFUnitFractionBuilderCreate();
    builder->addUnit(units["km"], 1)->addUnit(units["cm"], -1);  // 100000
    builder->addUnit(units["km"], 1)->addUnit(units["m"], -1);   // 1000
    NBFUnitFractionRef root = NBFUnitFractionCreateWithRoot(builder->getUnitFraction(), 2, &error);
    EXPECT_EQ(decimalText(NBFUnitFractionGetExtraMultiplier(root)), "10000");
    NBFUnitFractionRelease(root);
    NBFUnitFractionBuilderRelease(builder);
}

}  // namespace
