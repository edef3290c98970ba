// Running the register-shaped bodies: their answers become values, their refusals evaluation
// errors.
#include <vector>

#include "NBFMathInternal.h"

using namespace NBF::math;

NBFValueRef NBFMathExecuteNumberToMAPM(NBFNumberToMAPMFunction body, const NBFValueRef* arguments,
                                       int32_t count, NBFMAPMContextRef mapm,
                                       NBFEvaluationContextRef context) {
    if (!body || !mapm) return nullptr;
    if (!ordinaryNumber(arguments, count)) return specialValue(NBFNumberSpecialTypeNaN);
    // Without a context of the caller's the body still needs somewhere to put a special answer.
    NBFEvaluationContextRef local =
        context ? nullptr : NBFEvaluationContextCreate(NBFTrigonometryModeRadians);
    NBFEvaluationContextRef used = context ? context : local;
    NBFEvaluationError before = used->evaluationError;
    used->scratch->specialResult = NBFNumberSpecialTypeNone;
    body(arguments, count, mapm, used);
    NBFNumberSpecialType special = used->scratch->specialResult;
    used->scratch->specialResult = NBFNumberSpecialTypeNone;
    bool failed =
        used->evaluationError != NBFEvaluationErrorNone && used->evaluationError != before;
    NBFEvaluationContextRelease(local);
    if (failed) return nullptr;
    if (special != NBFNumberSpecialTypeNone) return specialValue(special);
    Lock lock;
    return numberValue(mapm->registers[0], NBFNumberTypeNumber, nullptr);
}

namespace {

// The evaluation error for a legacy body's refusal; the more specific reasons first.
NBFEvaluationError errorOfFlags(uint32_t flags) {
    if (flags & NBFMathFlagFactorialOfNegative) return NBFEvaluationErrorFactorialOfNegative;
    if (flags & NBFMathFlagFactorialOfNonInteger) return NBFEvaluationErrorFactorialOfNonInteger;
    if (flags & NBFMathFlagExponentTooLarge) return NBFEvaluationErrorExponentTooLarge;
    if (flags & NBFMathFlagDivideByZero) return NBFEvaluationErrorDivisionByZero;
    return NBFEvaluationErrorNone;
}

}  // namespace

NBFValueRef NBFMathExecuteLegacyMAPM(NBFLegacyMAPMFunction body, const NBFValueRef* arguments,
                                     int32_t count, NBFEvaluationContextRef context) {
    if (!body || count < 0) return nullptr;
    if (count > 255) count = 255;
    for (int32_t i = 0; i < count; ++i) {
        NBFValueRef argument = arguments ? arguments[i] : nullptr;
        if (!ordinaryNumber(&argument, 1)) return specialValue(NBFNumberSpecialTypeNaN);
    }
    std::vector<M_APM> reversed(static_cast<size_t>(count));
    {
        Lock lock;
        for (int32_t i = 0; i < count; ++i) {
            M_APM value = m_apm_init();
            loadAsFraction(value, NBFValueGetNumber(arguments[count - 1 - i]));
            reversed[static_cast<size_t>(i)] = value;
        }
    }
    uint32_t flags = 0;
    M_APM result = body(reversed.data(), static_cast<uint8_t>(count),
                        context ? context->contextInfo : nullptr, 0, &flags);
    NBFValueRef value = nullptr;
    {
        Lock lock;
        for (M_APM argument : reversed) m_apm_free(argument);
        if (result) {
            value = numberValue(result, NBFNumberTypeNumber, nullptr);
            m_apm_free(result);
        }
    }
    if (value) return value;
    if (NBFEvaluationError error = errorOfFlags(flags)) {
        setError(context, error);
        return nullptr;
    }
    if (flags & NBFMathFlagInfinity) return specialValue(NBFNumberSpecialTypeInfinity);
    if (flags & NBFMathFlagNegativeInfinity) {
        return specialValue(NBFNumberSpecialTypeNegativeInfinity);
    }
    // Not-a-number, and any refusal without a reason of its own.
    return specialValue(NBFNumberSpecialTypeNaN);
}
