// A basic unit: one measurable unit of one unit type and its conversion to the base unit of
// that type (value in base units = (value + offset) × base factor). Factor and offset are kept
// as text and converted to arbitrary precision on first use. The factor is a decimal or, for a
// definition that has no finite decimal (5/9), a ratio of two decimals "N/D" kept exact.
//
// Every function accepts a null unit and then does nothing or answers 0 / null. Strings and
// values handed out are borrowed from the unit.
#ifndef NUMBERA_FOUNDATION_NBF_UNIT_H
#define NUMBERA_FOUNDATION_NBF_UNIT_H

#include <cstdint>

#include "NBFArray.h"
#include "NBFString.h"
#include "NBFUnitType.h"
#include "mapm/m_apm.h"

struct NBFUnit;
typedef NBFUnit* NBFUnitRef;

// SI exponent answers: not yet computed (internal), and "no SI exponent".
constexpr int8_t NBFUnitSIExponentUnknown = 127;
constexpr int8_t NBFUnitSIExponentNone = 117;

// A new unit with a copy of the factor text (may be null); no names, no offset.
NBFUnitRef NBFUnitCreate(NBFUnitType type, const char* baseFactor);
// Also keeps the identifier, as text and as the string of last resort for name lookups.
NBFUnitRef NBFUnitCreate(NBFUnitType type, const char* baseFactor, const char* identifier);
NBFUnitRef NBFUnitCreateWithSingularName(NBFStringRef name, NBFUnitType type,
                                         const char* baseFactor);
NBFUnitRef NBFUnitRetain(NBFUnitRef unit);
void NBFUnitRelease(NBFUnitRef unit);

// Name types 0..4; 5 or more stops the process. A null name changes nothing.
void NBFUnitSetName(NBFUnitRef unit, NBFStringRef name, NBFUnitNameType nameType);
NBFStringRef NBFUnitGetName(NBFUnitRef unit, NBFUnitNameType nameType);
// Type 5: the identifier string. Otherwise that name; for the symbol, else the very short
// name; else the singular name; else the identifier string.
NBFStringRef NBFUnitGetNamePreferringType(NBFUnitRef unit, NBFUnitNameType nameType);
// Retains the alias.
void NBFUnitAddAlias(NBFUnitRef unit, NBFStringRef alias, NBFUnitNameType nameType);
// The slot's array of retained strings, made on first request.
NBFArrayRef NBFUnitGetAliasesArrayReference(NBFUnitRef unit, NBFUnitNameType nameType);

void NBFUnitSetBaseFactor(NBFUnitRef unit, const char* text);
// Counts the base factor changes of all units: what was computed from factors at one count
// holds until the next.
uint64_t NBFUnitGetFactorGeneration();
const char* NBFUnitGetBaseFactor(NBFUnitRef unit);
// Parsed on the first call (unparseable or absent text, or a zero denominator, reads as 0);
// owned by the unit. A ratio's value is rounded to 100 significant digits.
M_APM NBFUnitGetBaseFactorMAPMReference(NBFUnitRef unit);
// numerator ×= the factor's numerator, denominator ×= its denominator (1 for a decimal
// factor): products of factors stay exact until their one division. Needs the
// arbitrary-precision lock.
void NBFUnitMultiplyExactBaseFactor(NBFUnitRef unit, M_APM numerator, M_APM denominator);
// Retains the text; an equal text changes nothing.
void NBFUnitSetOffset(NBFUnitRef unit, NBFStringRef text);
NBFStringRef NBFUnitGetOffset(NBFUnitRef unit);
// Null without an offset.
M_APM NBFUnitGetOffsetMAPMReference(NBFUnitRef unit);

NBFUnitType NBFUnitGetType(NBFUnitRef unit);
uint32_t NBFUnitGetOptions(NBFUnitRef unit);
void NBFUnitSetOptions(NBFUnitRef unit, uint32_t options);
void NBFUnitSetObjectReference(NBFUnitRef unit, void* object);  // not retained
void* NBFUnitGetObjectReference(NBFUnitRef unit);
void NBFUnitSetAmbiguousTieBreakFactor(NBFUnitRef unit, int32_t factor);
int32_t NBFUnitGetAmbiguousTieBreakFactor(NBFUnitRef unit);

// The identifier is the key by which fractions, metadata and collections tell units apart.
void NBFUnitSetIdentifier(NBFUnitRef unit, const char* identifier);
const char* NBFUnitGetIdentifier(NBFUnitRef unit);  // null when absent

// The power of ten of a whole factor 10^e (e in -24..24, a multiple of 3 or within -2..2);
// NBFUnitSIExponentNone otherwise.
int8_t NBFUnitGetSIExponent(NBFUnitRef unit);
bool NBFUnitIsSIBaseUnit(NBFUnitRef unit);

// Both null: true; one null: false; else same type and equal factor values.
bool NBFUnitIsEqualToUnit(NBFUnitRef a, NBFUnitRef b);

namespace NBF {

// Order of identifier texts: byte-wise, a shorter prefix first.
struct StringId {
    bool operator()(const char* a, const char* b) const;
};

// Orders units by identifier, so two unit objects with one identifier count as one unit.
// Units without identifier come after all others, ordered by address.
struct UniqueObj {
    bool operator()(const NBFUnit* a, const NBFUnit* b) const;
};

}  // namespace NBF

#endif
