// Which unit types combine into which: relations between a decomposed type fraction (in more
// elementary types) and a factorized one (length² ↔ area, voltage · current ↔ power). The
// simplifier applies them backwards to reach base types; the factorizer applies them forwards
// to find the presentations of an answer.
//
// Two tables live for the whole process: the standard one, which keeps voltage and resistance
// as base types and takes power to them and energy, force and pressure to power, time and
// length, and an experimental one that decomposes energy, power, voltage, resistance, force
// and pressure into mass, length, time and current.
// Both are read-only once built and may be shared by all threads.
#ifndef NUMBERA_FOUNDATION_NBF_UNIT_TYPE_FACTORINGS_H
#define NUMBERA_FOUNDATION_NBF_UNIT_TYPE_FACTORINGS_H

#include <map>
#include <string>
#include <vector>

#include "NBFObject.h"
#include "NBFUnitType.h"
#include "NBFUnitTypeFraction.h"

namespace NBF {

class UnitTypeFactoring : public Object<UnitTypeFactoring> {
  public:
    // Trivial relations only name a power or quotient of length and time (volume, area,
    // velocity, acc); the factorizer scores them differently.
    static UnitTypeFactoring* create(const UnitTypeFraction& decomposed,
                                     const UnitTypeFraction& factorized);
    static UnitTypeFactoring* create(const UnitTypeFraction& decomposed,
                                     const UnitTypeFraction& factorized, bool trivial);

    const UnitTypeFraction& decomposed() const { return m_decomposed; }
    const UnitTypeFraction& factorized() const { return m_factorized; }
    bool isTrivial() const { return m_trivial; }
    // Both sides inverted, the same trivial flag; the caller releases it.
    UnitTypeFactoring* createInverse() const;
    // "<decomposed key>-><factorized key>".
    std::string key() const;
    bool operator==(const UnitTypeFactoring& other) const;

  private:
    UnitTypeFactoring(const UnitTypeFraction& decomposed, const UnitTypeFraction& factorized,
                      bool trivial)
        : m_decomposed(decomposed), m_factorized(factorized), m_trivial(trivial) {}

    UnitTypeFraction m_decomposed;
    UnitTypeFraction m_factorized;
    bool m_trivial;
};

class UnitTypeFactorings : public Object<UnitTypeFactorings> {
  public:
    typedef std::vector<Ref<UnitTypeFactoring>> FactoringList;

    // Builds both process-wide tables; later calls do nothing.
    static void initialize();
    // The experimental table while the experimental-units setting is on, else the standard
    // one. Borrowed; builds the tables on first use if start-up has not.
    static UnitTypeFactorings* instance();
    static UnitTypeFactorings* standardInstance();
    static UnitTypeFactorings* experimentalInstance();

    // The relations each table is built from, in order.
    static FactoringList standardBaseRelations();
    static FactoringList experimentalBaseRelations();

    // Each relation, its inverse, and each relation with one of its decomposed types moved a
    // step towards 0 on both sides (with that one's inverse) when its decomposed side keeps at
    // least as many types as its factorized side. A later factoring with an existing key
    // replaces the earlier one; the list is kept in key order.
    static UnitTypeFactorings* create(const FactoringList& baseRelations, bool experimental);

    // Distinct factorings whose decomposed side is a subset of the fraction, in list order.
    std::vector<UnitTypeFactoring*> factorizations(const UnitTypeFraction& typeFraction) const;
    // Factorings whose factorized side contains the type, in list order.
    std::vector<UnitTypeFactoring*> decompositions(NBFUnitType type) const;
    bool hasFactorizationForUnitTypeFraction(const UnitTypeFraction& typeFraction) const;
    // Borrowed, or null.
    UnitTypeFactoring* factoringForFactorizedUnitTypeFraction(
        const UnitTypeFraction& typeFraction) const;
    UnitTypeFactoring* factoringForDecomposedUnitTypeFraction(
        const UnitTypeFraction& typeFraction) const;
    // Length, mass, money, time, temp, comp storage and current; in the standard table also
    // voltage and resistance.
    bool isBaseUnitType(NBFUnitType type) const;

    const FactoringList& factorings() const { return m_factorings; }
    bool isExperimental() const { return m_experimental; }

  private:
    UnitTypeFactorings() = default;

    std::multimap<NBFUnitType, UnitTypeFactoring*> m_byDecomposedType;
    std::multimap<NBFUnitType, UnitTypeFactoring*> m_byFactorizedType;
    FactoringList m_factorings;
    std::map<std::string, UnitTypeFactoring*> m_byFactorizedKey;
    std::map<std::string, UnitTypeFactoring*> m_byDecomposedKey;
    bool m_experimental = false;
};

}  // namespace NBF

#endif
