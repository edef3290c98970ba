#include "NBFUnitFractionBuilder.h"

#include <cstdlib>
#include <map>
#include <utility>
#include <vector>

namespace NBF {

namespace {

constexpr int32_t kBuilderDigits = 100;
constexpr int32_t kMaxDegree = 127;

class UnitFractionBuilderImpl final : public UnitFractionBuilder {
  public:
    explicit UnitFractionBuilderImpl(NBFMAPMAccumulatorRef accumulator)
        : m_accumulator(accumulator ? NBFMAPMAccumulatorRetain(accumulator)
                                    : NBFMAPMAccumulatorCreate(kBuilderDigits)) {}

    ~UnitFractionBuilderImpl() override {
        for (NBFUnit* unit : m_numerator) NBFUnitRelease(unit);
        for (NBFUnit* unit : m_denominator) NBFUnitRelease(unit);
        if (m_extraMultiplier) m_apm_free_mt(m_extraMultiplier);
        NBFUnitFractionRelease(m_fraction);
        NBFMAPMAccumulatorRelease(m_accumulator);
    }

    UnitFractionBuilder* addUnit(NBFUnit* unit, int8_t power) override {
        m_valid = false;
        if (!unit) return this;
        auto& list = power >= 0 ? m_numerator : m_denominator;
        for (int i = 0; i < std::abs(static_cast<int>(power)); ++i) {
            list.push_back(NBFUnitRetain(unit));
        }
        return this;
    }

    UnitFractionBuilder* addUnit(UnitContainer* unit, int8_t power) override {
        if (!unit) {
            m_valid = false;
            return this;
        }
        return addUnit(unit->unitFraction(), power);
    }

    UnitFractionBuilder* addUnit(NBFUnitFraction* fraction, int8_t power) override {
        m_valid = false;
        if (!fraction) return this;
        std::vector<NBFUnit*> numerator = NBFUnitFractionGetNumeratorUnits(fraction);
        std::vector<NBFUnit*> denominator = NBFUnitFractionGetDenominatorUnits(fraction);
        if (power <= 0) std::swap(numerator, denominator);
        for (int i = 0; i < std::abs(static_cast<int>(power)); ++i) {
            for (NBFUnit* unit : numerator) m_numerator.push_back(NBFUnitRetain(unit));
            for (NBFUnit* unit : denominator) m_denominator.push_back(NBFUnitRetain(unit));
        }
        return this;
    }

    UnitFractionBuilder* setExtraMultiplier(M_APM value) override {
        m_valid = false;
        m_apm_enter();
        if (m_extraMultiplier) m_apm_free(m_extraMultiplier);
        m_extraMultiplier = nullptr;
        if (value) {
            m_extraMultiplier = m_apm_init();
            m_apm_copy(m_extraMultiplier, value);
        }
        m_apm_leave();
        return this;
    }

    UnitFractionBuilder* setExtraMultiplier(const char* text) override {
        if (!text) return setExtraMultiplier(static_cast<M_APM>(nullptr));
        M_APM value = m_apm_init_mt();
        m_apm_set_string_mt(value, text);
        setExtraMultiplier(value);
        m_apm_free_mt(value);
        return this;
    }

    M_APM multiplier() override { return NBFUnitFractionGetMultiplier(getUnitFraction()); }

    UnitFractionBuilder* invert() override {
        m_valid = false;
        std::swap(m_numerator, m_denominator);
        return this;
    }

    NBFUnitFraction* getUnitFraction() override {
        if (!m_valid) {
            NBFUnitFractionRelease(m_fraction);
            m_fraction = build();
            m_valid = true;
        }
        return m_fraction;
    }

    bool hasDegreeOverflow() override {
        getUnitFraction();
        return m_overflow;
    }

  private:
    NBFUnitFraction* build();

    std::vector<NBFUnit*> m_numerator;  // retained, once per entry
    std::vector<NBFUnit*> m_denominator;
    M_APM m_extraMultiplier = nullptr;
    NBFMAPMAccumulatorRef m_accumulator;
    bool m_valid = false;
    bool m_overflow = false;
    NBFUnitFraction* m_fraction = nullptr;
};

// Multiplies each unit's factor into up / down (exact); needs the arbitrary-precision lock.
void multiplyFactors(M_APM up, M_APM down, const std::vector<NBFUnit*>& units) {
    for (NBFUnit* unit : units) NBFUnitMultiplyExactBaseFactor(unit, up, down);
}

NBFUnitFraction* UnitFractionBuilderImpl::build() {
    m_overflow = false;
    NBFUnitsByTypeMap unitsByType;
    std::map<NBFUnitType, int32_t> typePowers;
    std::map<NBFUnitType, std::vector<NBFUnit*>> numeratorOfType;
    std::map<NBFUnitType, std::vector<NBFUnit*>> denominatorOfType;
    for (NBFUnit* unit : m_numerator) {
        NBFUnitType type = NBFUnitGetType(unit);
        unitsByType[type] = unit;
        typePowers[type] += 1;
        numeratorOfType[type].push_back(unit);
    }
    for (NBFUnit* unit : m_denominator) {
        NBFUnitType type = NBFUnitGetType(unit);
        unitsByType[type] = unit;
        typePowers[type] -= 1;
        denominatorOfType[type].push_back(unit);
    }

    // The latest-added units of the winning side survive, one power each.
    std::map<NBFUnit*, int32_t, NBF::UniqueObj> unitPowers;
    std::vector<NBFUnit*> survivorsUp;  // each entry one power
    std::vector<NBFUnit*> survivorsDown;
    int32_t totalPower = 0;
    for (const auto& [type, power] : typePowers) {
        if (power > kMaxDegree || power < -kMaxDegree) m_overflow = true;
        totalPower += std::abs(power);
        const auto& side = power > 0 ? numeratorOfType[type] : denominatorOfType[type];
        int32_t count = std::abs(power);
        for (int32_t i = 0; i < count && i < static_cast<int32_t>(side.size()); ++i) {
            NBFUnit* unit = side[side.size() - 1 - static_cast<size_t>(i)];
            unitPowers[unit] += power > 0 ? 1 : -1;
            (power > 0 ? survivorsUp : survivorsDown).push_back(unit);
        }
    }
    if (m_overflow) return nullptr;

    // Products are exact; each quotient is one rounding, so cancelling factors such as
    // 3600 / 1000 come out exact.
    m_apm_enter();
    M_APM numerator = m_apm_init();
    M_APM denominator = m_apm_init();
    M_APM multiplier = m_apm_init();
    M_APM unitMultiplier = nullptr;
    M_APM extraMultiplier = nullptr;
    m_apm_copy(numerator, m_extraMultiplier ? m_extraMultiplier : MM_One);
    m_apm_copy(denominator, MM_One);
    multiplyFactors(numerator, denominator, m_numerator);
    multiplyFactors(denominator, numerator, m_denominator);
    m_apm_leave();
    NBFMAPMAccumulatorInitialize(m_accumulator, numerator);
    NBFMAPMAccumulatorDivideBy(m_accumulator, denominator);
    m_apm_copy_mt(multiplier, NBFMAPMAccumulatorGetResult(m_accumulator));

    m_apm_enter();
    if (totalPower != 0) {
        M_APM up = m_apm_init();
        M_APM down = m_apm_init();
        m_apm_copy(up, MM_One);
        m_apm_copy(down, MM_One);
        multiplyFactors(up, down, survivorsUp);
        multiplyFactors(down, up, survivorsDown);
        m_apm_leave();
        NBFMAPMAccumulatorInitialize(m_accumulator, up);
        NBFMAPMAccumulatorDivideBy(m_accumulator, down);
        unitMultiplier = m_apm_init_mt();
        m_apm_copy_mt(unitMultiplier, NBFMAPMAccumulatorGetResult(m_accumulator));
        m_apm_enter();
        // extra = (numerator · down) / (denominator · up)
        m_apm_multiply(numerator, numerator, down);
        m_apm_multiply(denominator, denominator, up);
        m_apm_free(up);
        m_apm_free(down);
    }
    m_apm_leave();
    NBFMAPMAccumulatorInitialize(m_accumulator, numerator);
    NBFMAPMAccumulatorDivideBy(m_accumulator, denominator);
    m_apm_enter();
    if (m_apm_compare(NBFMAPMAccumulatorGetResult(m_accumulator), MM_One) != 0) {
        extraMultiplier = m_apm_init();
        m_apm_copy(extraMultiplier, NBFMAPMAccumulatorGetResult(m_accumulator));
    }
    m_apm_leave();

    NBFUnitDegreeMap degrees;
    for (const auto& [unit, power] : unitPowers) degrees[unit] = static_cast<int8_t>(power);
    NBFUnitFraction* fraction = NBFUnitFractionCreateWithComponents(
        degrees, unitsByType, unitMultiplier, extraMultiplier, multiplier);

    m_apm_enter();
    m_apm_free(numerator);
    m_apm_free(denominator);
    m_apm_free(multiplier);
    if (unitMultiplier) m_apm_free(unitMultiplier);
    if (extraMultiplier) m_apm_free(extraMultiplier);
    m_apm_leave();
    return fraction;
}

}  // namespace

UnitFractionBuilder* UnitFractionBuilder::create() { return new UnitFractionBuilderImpl(nullptr); }

UnitFractionBuilder* UnitFractionBuilder::create(NBFMAPMAccumulatorRef accumulator) {
    return new UnitFractionBuilderImpl(accumulator);
}

UnitFractionBuilder* UnitFractionBuilder::create(NBFUnit* unit) {
    UnitFractionBuilder* builder = create();
    builder->addUnit(unit, 1);
    return builder;
}

UnitFractionBuilder* UnitFractionBuilder::create(UnitContainer* unit) {
    UnitFractionBuilder* builder = create();
    builder->addUnit(unit, 1);
    return builder;
}

UnitFractionBuilder* UnitFractionBuilder::create(NBFUnitFraction* fraction) {
    UnitFractionBuilder* builder = create();
    builder->addUnit(fraction, 1);
    return builder;
}

}  // namespace NBF

NBFUnitFractionBuilderRef NBFUnitFractionBuilderCreate() {
    return NBF::UnitFractionBuilder::create();
}

NBFUnitFractionBuilderRef NBFUnitFractionBuilderCreate(NBFMAPMAccumulatorRef accumulator) {
    return NBF::UnitFractionBuilder::create(accumulator);
}

NBFUnitFractionBuilderRef NBFUnitFractionBuilderCreateWithBasicUnit(NBFUnit* unit) {
    return NBF::UnitFractionBuilder::create(unit);
}

NBFUnitFractionBuilderRef NBFUnitFractionBuilderCreateWithContentsOfUnit(
    NBF::UnitContainer* container) {
    return NBF::UnitFractionBuilder::create(container);
}

NBFUnitFractionBuilderRef NBFUnitFractionBuilderCreateWithContentsOfUnitFraction(
    NBFUnitFraction* fraction) {
    return NBF::UnitFractionBuilder::create(fraction);
}

NBFUnitFractionBuilderRef NBFUnitFractionBuilderRetain(NBFUnitFractionBuilderRef builder) {
    return NBF::retain(builder);
}

void NBFUnitFractionBuilderRelease(NBFUnitFractionBuilderRef builder) { NBF::release(builder); }

void NBFUnitFractionBuilderAddUnit(NBFUnitFractionBuilderRef builder, NBFUnit* unit, int8_t power) {
    if (builder) builder->addUnit(unit, power);
}

void NBFUnitFractionBuilderAddUnit(NBFUnitFractionBuilderRef builder, NBF::UnitContainer* unit,
                                   int8_t power) {
    if (builder) builder->addUnit(unit, power);
}

void NBFUnitFractionBuilderAddUnit(NBFUnitFractionBuilderRef builder, NBFUnitFraction* fraction,
                                   int8_t power) {
    if (builder) builder->addUnit(fraction, power);
}

void NBFUnitFractionBuilderAddNumeratorUnit(NBFUnitFractionBuilderRef builder,
                                            NBF::UnitContainer* container) {
    if (builder && container && container->unitFraction()) builder->addUnit(container, 1);
}

void NBFUnitFractionBuilderAddDenominatorUnit(NBFUnitFractionBuilderRef builder,
                                              NBF::UnitContainer* container) {
    if (builder && container && container->unitFraction()) builder->addUnit(container, -1);
}

void NBFUnitFractionBuilderAddNumeratorUnitFraction(NBFUnitFractionBuilderRef builder,
                                                    NBFUnitFraction* fraction) {
    if (builder && fraction) builder->addUnit(fraction, 1);
}

void NBFUnitFractionBuilderAddDenominatorUnitFraction(NBFUnitFractionBuilderRef builder,
                                                      NBFUnitFraction* fraction) {
    if (builder && fraction) builder->addUnit(fraction, -1);
}

void NBFUnitFractionBuilderSetExtraMultiplierMAPM(NBFUnitFractionBuilderRef builder, M_APM value) {
    if (builder) builder->setExtraMultiplier(value);
}

void NBFUnitFractionBuilderSetExtraMultiplierString(NBFUnitFractionBuilderRef builder,
                                                    const char* text) {
    if (builder) builder->setExtraMultiplier(text);
}

M_APM NBFUnitFractionBuilderGetMultiplier(NBFUnitFractionBuilderRef builder) {
    return builder ? builder->multiplier() : nullptr;
}

void NBFUnitFractionBuilderInvert(NBFUnitFractionBuilderRef builder) {
    if (builder) builder->invert();
}

NBFUnitFraction* NBFUnitFractionBuilderGetUnitFraction(NBFUnitFractionBuilderRef builder) {
    return builder ? builder->getUnitFraction() : nullptr;
}

NBFUnitFraction* NBFUnitFractionBuilderCreateUnitFraction(NBFUnitFractionBuilderRef builder) {
    return builder ? NBFUnitFractionRetain(builder->getUnitFraction()) : nullptr;
}

bool NBFUnitFractionBuilderHasDegreeOverflow(NBFUnitFractionBuilderRef builder) {
    return builder && builder->hasDegreeOverflow();
}
