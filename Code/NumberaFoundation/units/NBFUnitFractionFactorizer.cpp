#include "NBFUnitFractionFactorizer.h"

#include <algorithm>
#include <deque>
#include <limits>
#include <set>
#include <string>
#include <utility>

#include "NBFMAPMContext.h"
#include "NBFObject.h"
#include "NBFUnitCollection.h"
#include "NBFUnitFractionSimplifier.h"

struct NBFUnitFractionFactorizer : NBF::Object<NBFUnitFractionFactorizer> {
    NBFUnitFractionFactorizer(NBF::UnitTypeFactorings* factorings, NBFUnitCollectionRef collection)
        : factorings(NBF::Ref<NBF::UnitTypeFactorings>::retainOf(factorings)),
          collection(NBFUnitCollectionRetain(collection)),
          accumulator(NBFMAPMAccumulatorCreate(100)),
          standardTypes(factorings->isBaseUnitType(NBFUnitTypeVoltage)
                            ? nullptr
                            : NBF::UnitFractionSimplifier::create(
                                  nullptr, NBF::UnitTypeFactorings::standardInstance())) {}
    ~NBFUnitFractionFactorizer() override {
        NBFUnitCollectionRelease(collection);
        NBFMAPMAccumulatorRelease(accumulator);
        NBFUnitFractionSimplifierRelease(standardTypes);
    }

    NBF::Ref<NBF::UnitTypeFactorings> const factorings;
    NBFUnitCollectionRef const collection;
    NBFMAPMAccumulatorRef const accumulator;
    // Where voltage and resistance are not base types: the standard table's simplification of
    // type fractions, which keeps them.
    NBF::UnitFractionSimplifier* const standardTypes;
};

namespace {

// Ordinary answers reach a few dozen fractions, powers of 6 a few hundred; but the count grows
// steeply with the degrees ((m/s)^20 reaches some 24000, (m/s)^60 far more), so the search
// stops expanding after this many. Breadth first, the fractions left out are the ones furthest
// from the answer's own shape.
constexpr size_t MaximumVisitedFractions = 4096;

// The fraction with the factoring applied forwards: its decomposed side taken out, its
// factorized side put in.
NBF::UnitTypeFraction applyForwards(const NBF::UnitTypeFraction& fraction,
                                    const NBF::UnitTypeFactoring& factoring) {
    NBF::UnitTypeFraction next = fraction;
    for (const auto& [type, degree] : factoring.decomposed().components()) {
        next.degreeOffset(type, -degree);
    }
    for (const auto& [type, degree] : factoring.factorized().components()) {
        next.degreeOffset(type, degree);
    }
    return next;
}

struct Candidate {
    NBF::UnitTypeFraction typeFraction;
    int32_t weight;
};

}  // namespace

NBFUnitFractionFactorizerRef NBFUnitFractionFactorizerCreate(NBFUnitCollectionRef collection) {
    return NBFUnitFractionFactorizerCreate(collection, NBF::UnitTypeFactorings::instance());
}

NBFUnitFractionFactorizerRef NBFUnitFractionFactorizerCreate(NBFUnitCollectionRef collection,
                                                             NBF::UnitTypeFactorings* factorings) {
    return new NBFUnitFractionFactorizer(
        factorings ? factorings : NBF::UnitTypeFactorings::instance(), collection);
}

NBFUnitFractionFactorizerRef NBFUnitFractionFactorizerRetain(
    NBFUnitFractionFactorizerRef factorizer) {
    return NBF::retain(factorizer);
}

void NBFUnitFractionFactorizerRelease(NBFUnitFractionFactorizerRef factorizer) {
    NBF::release(factorizer);
}

std::vector<NBF::UnitTypeFraction> NBFUnitFractionFactorizerFindAllFactorizations(
    NBFUnitFractionFactorizerRef factorizer, const NBF::UnitTypeFraction& typeFraction) {
    std::vector<NBF::UnitTypeFraction> result;
    if (!factorizer) return result;
    const NBF::UnitTypeFactorings& factorings = *factorizer->factorings;
    const std::string startKey = typeFraction.stringRepresentation();
    std::deque<std::pair<NBF::UnitTypeFraction, std::string>> queue;
    queue.emplace_back(typeFraction, startKey);
    std::set<std::string> visited;
    while (!queue.empty() && visited.size() < MaximumVisitedFractions) {
        auto [fraction, key] = std::move(queue.front());
        queue.pop_front();
        if (!visited.insert(key).second) continue;
        if (key != startKey) result.push_back(fraction);
        for (const NBF::UnitTypeFactoring* factoring : factorings.factorizations(fraction)) {
            NBF::UnitTypeFraction next = applyForwards(fraction, *factoring);
            std::string nextKey = next.stringRepresentation();
            if (!visited.count(nextKey)) queue.emplace_back(std::move(next), std::move(nextKey));
        }
    }
    return result;
}

int32_t NBFUnitFractionFactorizerScoreFactorization(NBFUnitFractionFactorizerRef factorizer,
                                                    const NBF::UnitTypeFraction& typeFraction,
                                                    const NBFEvalUnitsMap& preferredUnits,
                                                    const NBFEvalUnitsMap& requiredUnits) {
    const int32_t lowest = std::numeric_limits<int32_t>::min();
    const int32_t count = typeFraction.countOfComponents();
    if (!factorizer || count == 0) return lowest;
    auto has = [](const NBFEvalUnitsMap& units, NBFUnitType type) {
        auto found = units.find(type);
        return found != units.end() && found->second != nullptr;
    };
    int64_t score = 0;
    int32_t matched = 0;
    int64_t degreeSum = 0;
    for (const auto& [type, degree] : typeFraction.components()) {
        if (degree == 0) continue;
        degreeSum += degree;
        const int64_t square = static_cast<int64_t>(degree) * degree;
        if (type == NBFUnitTypeFrequency && degree < 0) {
            score -= 10000;
        } else if (has(requiredUnits, type)) {
            score += 500 + 8 / square;
            ++matched;
        } else if ((type == NBFUnitTypeVelocity || type == NBFUnitTypeFrequency) && count > 1) {
            score -= 50;
        } else if (has(preferredUnits, type)) {
            score += 8 / square;
            ++matched;
        }
    }
    if (matched == count) score += 6;
    const NBF::UnitTypeFactorings& factorings = *factorizer->factorings;
    const NBF::UnitTypeFactoring* asFactorized =
        factorings.factoringForFactorizedUnitTypeFraction(typeFraction);
    const NBF::UnitTypeFactoring* asDecomposed =
        factorings.factoringForDecomposedUnitTypeFraction(typeFraction);
    if (asFactorized && !asFactorized->isTrivial()) {
        score += 3;
    } else if (asDecomposed && asDecomposed->isTrivial()) {
        score += 6;
    }
    int64_t weight = score + 8 / count;
    if (degreeSum < 0) weight += degreeSum;
    return static_cast<int32_t>(
        std::clamp<int64_t>(weight, lowest + 1, std::numeric_limits<int32_t>::max() - 1));
}

NBFUnitFractionRef NBFUnitFractionFactorizerUndecompose(NBFUnitFractionFactorizerRef factorizer,
                                                        NBFUnitFractionRef fraction,
                                                        const NBFEvalUnitsMap& preferredUnits,
                                                        const NBFEvalUnitsMap& requiredUnits,
                                                        NBFUnitFractionRef evaluatedFraction) {
    if (!factorizer || !fraction) return nullptr;
    if (!evaluatedFraction) evaluatedFraction = fraction;
    const NBF::UnitTypeFraction simplified(fraction);
    const NBF::UnitTypeFraction evaluated(evaluatedFraction);
    auto weigh = [&](const NBF::UnitTypeFraction& candidate) {
        return NBFUnitFractionFactorizerScoreFactorization(factorizer, candidate, preferredUnits,
                                                           requiredUnits);
    };
    std::vector<Candidate> candidates;
    for (NBF::UnitTypeFraction& found :
         NBFUnitFractionFactorizerFindAllFactorizations(factorizer, simplified)) {
        int32_t weight = weigh(found);
        candidates.push_back({std::move(found), weight});
    }
    // The fraction's own shapes win ties against the shapes the search found.
    candidates.push_back({simplified, weigh(simplified) + 1});
    candidates.push_back({evaluated, weigh(evaluated) + 1});
    std::stable_sort(candidates.begin(), candidates.end(),
                     [](const Candidate& a, const Candidate& b) { return a.weight > b.weight; });

    NBFEvalUnitsMap units = preferredUnits;
    for (const auto& [type, unit] : requiredUnits) {
        if (unit) units[type] = unit;
    }
    for (const Candidate& candidate : candidates) {
        NBFUnitFractionRef built =
            NBFUnitFractionCreateFromTypeFraction(factorizer->collection, factorizer->accumulator,
                                                  evaluatedFraction, units, candidate.typeFraction);
        if (built) return built;
    }
    return nullptr;
}

NBFUnitFractionRef NBFUnitFractionFactorizerUndecompose(NBFUnitFractionFactorizerRef factorizer,
                                                        NBFUnitFractionRef fraction,
                                                        const NBFEvalUnitsMap& preferredUnits,
                                                        const NBFEvalUnitsMap& requiredUnits) {
    return NBFUnitFractionFactorizerUndecompose(factorizer, fraction, preferredUnits, requiredUnits,
                                                fraction);
}

NBFUnitFractionRef NBFUnitFractionFactorizerCreateElectricalUnitFraction(
    NBFUnitFractionFactorizerRef factorizer, NBFUnitFractionRef evaluatedFraction,
    NBFEvalMetadataRef metadata) {
    if (!factorizer || !evaluatedFraction || !factorizer->standardTypes) return nullptr;
    if (!NBFEvalMetadataGetRequiredUnitsMap(metadata).empty()) return nullptr;
    const std::string key =
        factorizer->standardTypes->simplify(NBF::UnitTypeFraction(evaluatedFraction))
            .stringRepresentation();
    const NBF::UnitTypeFactorings& factorings = *factorizer->factorings;
    for (NBFUnitType type : {NBFUnitTypeVoltage, NBFUnitTypeResistance}) {
        const NBF::UnitTypeFraction single(type, 1);
        const std::string singleKey = single.stringRepresentation();
        // The type itself, or its base types here: a sum is in its second operand's
        // simplified unit.
        const std::vector<NBF::UnitTypeFactoring*> decompositions = factorings.decompositions(type);
        if (key != singleKey &&
            std::none_of(decompositions.begin(), decompositions.end(),
                         [&](const NBF::UnitTypeFactoring* factoring) {
                             return factoring->factorized().stringRepresentation() == singleKey &&
                                    factoring->decomposed().stringRepresentation() == key;
                         }))
            continue;
        NBFEvalUnitsMap units;
        NBFUnit* unit = NBFEvalMetadataGetRequiredUnitOfType(metadata, type);
        if (!unit) unit = NBFEvalMetadataGetPreferredUnitOfType(metadata, type);
        if (unit) units[type] = unit;
        return NBFUnitFractionCreateFromTypeFraction(
            factorizer->collection, factorizer->accumulator, evaluatedFraction, units, single);
    }
    return nullptr;
}
