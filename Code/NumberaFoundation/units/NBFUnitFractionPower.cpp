#include "NBFUnitFractionPower.h"

#include <charconv>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <vector>

#include "NBFUnitFractionBuilder.h"

namespace {

constexpr int kPowerDigits = 100;

struct PoweredUnit {
    NBFUnit* unit;
    int32_t degree;
};

// Builds the fraction of the new degrees; power(extra) computes the new extra multiplier into
// its argument, under the arbitrary-precision lock.
NBFUnitFractionRef buildPowered(NBFUnitFractionRef fraction, const std::vector<PoweredUnit>& units,
                                const std::function<void(M_APM result, M_APM extra)>& power) {
    auto builder = NBF::Ref<NBF::UnitFractionBuilder>::adopt(NBF::UnitFractionBuilder::create());
    for (const PoweredUnit& entry : units) {
        builder->addUnit(entry.unit, static_cast<int8_t>(entry.degree));
    }
    if (M_APM extra = NBFUnitFractionGetExtraMultiplier(fraction)) {
        M_APM powered = m_apm_init_mt();
        m_apm_enter();
        power(powered, extra);
        m_apm_leave();
        builder->setExtraMultiplier(powered);
        m_apm_free_mt(powered);
    }
    return NBFUnitFractionRetain(builder->getUnitFraction());
}

bool degreeFits(int64_t degree) { return degree >= -127 && degree <= 127; }

}  // namespace

NBFUnitFractionRef NBFUnitFractionCreateWithPower(NBFUnitFractionRef fraction, M_APM exponent,
                                                  NBFEvaluationError* error) {
    if (error) *error = NBFEvaluationErrorNone;
    if (!fraction || !exponent) return nullptr;
    std::vector<PoweredUnit> units;
    NBFEvaluationError failure = NBFEvaluationErrorNone;
    m_apm_enter();
    M_APM product = m_apm_init();
    M_APM whole = m_apm_init();
    M_APM difference = m_apm_init();
    M_APM tolerance = m_apm_init();
    M_APM half = m_apm_init();
    m_apm_set_string(tolerance, "1e-50");
    m_apm_set_string(half, "0.5");
    for (const auto& [unit, unitDegree] : NBFUnitFractionGetUnitDegrees(fraction)) {
        if (unitDegree == 0) continue;
        m_apm_set_long(product, unitDegree);
        m_apm_multiply(product, product, exponent);
        if (m_apm_exponent(product) >= 4) {  // far beyond any degree, whole or not
            failure = NBFEvaluationErrorExponentTooLarge;
            break;
        }
        m_apm_add(whole, product, half);
        m_apm_floor(whole, whole);
        m_apm_subtract(difference, product, whole);
        m_apm_absolute_value(difference, difference);
        if (m_apm_compare(difference, tolerance) > 0) {
            failure = NBFEvaluationErrorRootOfUnit;
            break;
        }
        char text[32];
        m_apm_to_integer_string(text, whole);
        long value = 0;
        std::from_chars(text, text + std::strlen(text), value);
        if (!degreeFits(value)) {
            failure = NBFEvaluationErrorExponentTooLarge;
            break;
        }
        units.push_back({unit, static_cast<int32_t>(value)});
    }
    m_apm_free(product);
    m_apm_free(whole);
    m_apm_free(difference);
    m_apm_free(tolerance);
    m_apm_free(half);
    m_apm_leave();
    if (failure != NBFEvaluationErrorNone) {
        if (error) *error = failure;
        return nullptr;
    }
    return buildPowered(fraction, units, [exponent](M_APM result, M_APM extra) {
        m_apm_pow(result, kPowerDigits, extra, exponent);
    });
}

NBFUnitFractionRef NBFUnitFractionCreateWithRoot(NBFUnitFractionRef fraction, int32_t root,
                                                 NBFEvaluationError* error) {
    if (error) *error = NBFEvaluationErrorNone;
    if (!fraction || root < 1) return nullptr;
    std::vector<PoweredUnit> units;
    for (const auto& [unit, unitDegree] : NBFUnitFractionGetUnitDegrees(fraction)) {
        if (unitDegree == 0) continue;
        if (unitDegree % root != 0) {
            if (error) *error = NBFEvaluationErrorRootOfUnit;
            return nullptr;
        }
        units.push_back({unit, unitDegree / root});
    }
    return buildPowered(fraction, units, [root](M_APM result, M_APM extra) {
        if (root == 2) {
            m_apm_sqrt(result, kPowerDigits, extra);
        } else if (root == 3) {
            m_apm_cbrt(result, kPowerDigits, extra);
        } else {
            M_APM inverse = m_apm_init();
            M_APM count = m_apm_init();
            m_apm_set_long(count, root);
            m_apm_reciprocal(inverse, kPowerDigits + 10, count);
            m_apm_pow(result, kPowerDigits, extra, inverse);
            m_apm_free(inverse);
            m_apm_free(count);
        }
    });
}
