#include "NBFUnitFractionSimplifier.h"

#include <cstdlib>

#include "NBFMAPMContext.h"
#include "NBFUnitCollection.h"

namespace NBF {

namespace {

constexpr int32_t MaximumRounds = 1000;

// A decomposition undoes a factorized degree of the type's own sign no larger than the
// degree: it moves the degree towards 0 without passing it. The inverse relations, which
// come first in key order, would move it away from 0 on every round.
bool movesTowardsZero(const UnitTypeFactoring& factoring, NBFUnitType type, int32_t degree) {
    int32_t undone = factoring.factorized().degree(type);
    if (undone == 0 || (undone > 0) != (degree > 0)) return false;
    return std::abs(undone) <= std::abs(degree);
}

}  // namespace

class UnitFractionSimplifierImpl final : public UnitFractionSimplifier {
  public:
    UnitFractionSimplifierImpl(NBFUnitCollectionRef collection, UnitTypeFactorings* factorings,
                               uint16_t precision)
        : m_factorings(Ref<UnitTypeFactorings>::retainOf(factorings)),
          m_collection(NBFUnitCollectionRetain(collection)),
          m_precision(precision),
          m_accumulator(NBFMAPMAccumulatorCreate(precision)) {}

    UnitTypeFraction simplify(const UnitTypeFraction& typeFraction) const override {
        UnitTypeFraction copy = typeFraction;
        for (int32_t round = 0; round < MaximumRounds; ++round) {
            const UnitTypeFactoring* chosen = findDecomposition(copy);
            if (!chosen) break;
            for (const auto& [type, degree] : chosen->factorized().components()) {
                copy.degreeOffset(type, -degree);
            }
            for (const auto& [type, degree] : chosen->decomposed().components()) {
                copy.degreeOffset(type, degree);
            }
        }
        return copy;
    }

    NBFUnitFraction* createSimplifiedUnitFraction(NBFUnitFraction* fraction) override {
        if (!fraction) return nullptr;
        return createUnitFraction(fraction, simplify(UnitTypeFraction(fraction)));
    }

    NBFUnitFraction* createUnitFraction(NBFUnitFraction* fraction,
                                        const UnitTypeFraction& typeFraction) override {
        return NBFUnitFractionCreateFromTypeFraction(m_collection, m_accumulator, fraction,
                                                     NBFEvalUnitsMap(), typeFraction);
    }

  private:
    ~UnitFractionSimplifierImpl() override {
        NBFUnitCollectionRelease(m_collection);
        NBFMAPMAccumulatorRelease(m_accumulator);
    }

    // For the first type in type order that is not a base type and can be decomposed, the
    // first suitable decomposition in key order; null when nothing is left to decompose.
    const UnitTypeFactoring* findDecomposition(const UnitTypeFraction& fraction) const {
        for (const auto& [type, degree] : fraction.components()) {
            if (degree == 0 || m_factorings->isBaseUnitType(type)) continue;
            for (const UnitTypeFactoring* factoring : m_factorings->decompositions(type)) {
                if (movesTowardsZero(*factoring, type, degree)) return factoring;
            }
        }
        return nullptr;
    }

    Ref<UnitTypeFactorings> const m_factorings;
    NBFUnitCollectionRef const m_collection;
    uint16_t const m_precision;
    NBFMAPMAccumulatorRef const m_accumulator;
};

UnitFractionSimplifier* UnitFractionSimplifier::create(NBFUnitCollectionRef collection) {
    return create(collection, nullptr, 100);
}

UnitFractionSimplifier* UnitFractionSimplifier::create(NBFUnitCollectionRef collection,
                                                       UnitTypeFactorings* factorings) {
    return create(collection, factorings, 100);
}

UnitFractionSimplifier* UnitFractionSimplifier::create(NBFUnitCollectionRef collection,
                                                       UnitTypeFactorings* factorings,
                                                       uint16_t precision) {
    return new UnitFractionSimplifierImpl(
        collection, factorings ? factorings : UnitTypeFactorings::instance(), precision);
}

}  // namespace NBF

NBFUnitFractionSimplifierRef NBFUnitFractionSimplifierCreate(NBFUnitCollectionRef collection) {
    return NBF::UnitFractionSimplifier::create(collection);
}

NBFUnitFractionSimplifierRef NBFUnitFractionSimplifierRetain(
    NBFUnitFractionSimplifierRef simplifier) {
    return NBF::retain(simplifier);
}

void NBFUnitFractionSimplifierRelease(NBFUnitFractionSimplifierRef simplifier) {
    NBF::release(simplifier);
}

NBFUnitFractionRef NBFUnitFractionSimplifierSimplifyUnitFraction(
    NBFUnitFractionSimplifierRef simplifier, NBFUnitFractionRef fraction) {
    return simplifier ? simplifier->createSimplifiedUnitFraction(fraction) : nullptr;
}
