// The quantities that flow between nodes, functions and word operators: a number with its
// unit fraction (a value), and a value with the unit metadata of how it came about (an
// evaluated value). Both are immutable and may be shared across threads.
#ifndef NUMBERA_FOUNDATION_NBF_VALUE_H
#define NUMBERA_FOUNDATION_NBF_VALUE_H

#include "NBFEvalMetadata.h"
#include "NBFNumber.h"
#include "NBFObject.h"
#include "NBFUnitFraction.h"

namespace NBF {

class Value : public Object<Value> {
  public:
    // Retains both; the fraction may be null (a plain number).
    static Value* create(NBFNumberRef number, NBFUnitFractionRef unitFraction);
    // Takes over the caller's references.
    static Value* create_TransferOwnership(NBFNumberRef number, NBFUnitFractionRef unitFraction);

    NBFNumberRef number() const { return m_number; }
    NBFUnitFractionRef unitFraction() const { return m_unitFraction; }

  private:
    Value(NBFNumberRef number, NBFUnitFractionRef unitFraction)
        : m_number(number), m_unitFraction(unitFraction) {}
    ~Value() override;

    NBFNumberRef const m_number;
    NBFUnitFractionRef const m_unitFraction;
};

class EvaluatedValue : public Object<EvaluatedValue> {
  public:
    // Retains both; either may be null.
    static EvaluatedValue* create(Value* value, NBFEvalMetadataRef metadata);

    Value* value() const { return m_value; }
    NBFEvalMetadataRef metadata() const { return m_metadata; }

  private:
    EvaluatedValue(Value* value, NBFEvalMetadataRef metadata)
        : m_value(value), m_metadata(metadata) {}
    ~EvaluatedValue() override;

    Value* const m_value;
    NBFEvalMetadataRef const m_metadata;
};

}  // namespace NBF

typedef NBF::Value* NBFValueRef;
typedef NBF::EvaluatedValue* NBFEvaluatedValueRef;

NBFValueRef NBFValueCreate(NBFNumberRef number, NBFUnitFractionRef unitFraction);
NBFValueRef NBFValueCreate_TransferOwnership(NBFNumberRef number);
NBFValueRef NBFValueCreate_TransferOwnership(NBFNumberRef number, NBFUnitFractionRef unitFraction);
NBFValueRef NBFValueRetain(NBFValueRef value);
void NBFValueRelease(NBFValueRef value);                        // null does nothing
NBFNumberRef NBFValueGetNumber(NBFValueRef value);              // borrowed; null for null
NBFUnitFractionRef NBFValueGetUnitFraction(NBFValueRef value);  // borrowed; null for null

NBFEvaluatedValueRef NBFEvaluatedValueCreate(NBFValueRef value, NBFEvalMetadataRef metadata);
NBFEvaluatedValueRef NBFEvaluatedValueRetain(NBFEvaluatedValueRef value);
void NBFEvaluatedValueRelease(NBFEvaluatedValueRef value);

#endif
