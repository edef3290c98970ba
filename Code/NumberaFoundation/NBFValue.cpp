#include "NBFValue.h"

namespace NBF {

Value* Value::create(NBFNumberRef number, NBFUnitFractionRef unitFraction) {
    return new Value(NBFNumberRetain(number), NBFUnitFractionRetain(unitFraction));
}

Value* Value::create_TransferOwnership(NBFNumberRef number, NBFUnitFractionRef unitFraction) {
    return new Value(number, unitFraction);
}

Value::~Value() {
    NBFNumberRelease(m_number);
    NBFUnitFractionRelease(m_unitFraction);
}

EvaluatedValue* EvaluatedValue::create(Value* value, NBFEvalMetadataRef metadata) {
    return new EvaluatedValue(NBF::retain(value), NBFEvalMetadataRetain(metadata));
}

EvaluatedValue::~EvaluatedValue() {
    NBF::release(m_value);
    NBFEvalMetadataRelease(m_metadata);
}

}  // namespace NBF

NBFValueRef NBFValueCreate(NBFNumberRef number, NBFUnitFractionRef unitFraction) {
    return NBF::Value::create(number, unitFraction);
}

NBFValueRef NBFValueCreate_TransferOwnership(NBFNumberRef number) {
    return NBF::Value::create_TransferOwnership(number, nullptr);
}

NBFValueRef NBFValueCreate_TransferOwnership(NBFNumberRef number, NBFUnitFractionRef unitFraction) {
    return NBF::Value::create_TransferOwnership(number, unitFraction);
}

NBFValueRef NBFValueRetain(NBFValueRef value) { return NBF::retain(value); }
void NBFValueRelease(NBFValueRef value) { NBF::release(value); }
NBFNumberRef NBFValueGetNumber(NBFValueRef value) { return value ? value->number() : nullptr; }

NBFUnitFractionRef NBFValueGetUnitFraction(NBFValueRef value) {
    return value ? value->unitFraction() : nullptr;
}

NBFEvaluatedValueRef NBFEvaluatedValueCreate(NBFValueRef value, NBFEvalMetadataRef metadata) {
    return NBF::EvaluatedValue::create(value, metadata);
}

NBFEvaluatedValueRef NBFEvaluatedValueRetain(NBFEvaluatedValueRef value) {
    return NBF::retain(value);
}

void NBFEvaluatedValueRelease(NBFEvaluatedValueRef value) { NBF::release(value); }
