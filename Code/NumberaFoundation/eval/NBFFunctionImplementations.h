// The implementation kinds of the standard functions, one per calling shape of a body.
#ifndef NUMBERA_FOUNDATION_NBF_FUNCTION_IMPLEMENTATIONS_H
#define NUMBERA_FOUNDATION_NBF_FUNCTION_IMPLEMENTATIONS_H

#include "NBFFunction.h"
#include "NBFMathLibrary.h"

// Plain MAPM values in, last argument first; the answer as a plain number.
class NBFFunctionImplementationLegacyMAPM : public NBFFunctionImplementation {
  public:
    explicit NBFFunctionImplementationLegacyMAPM(NBFLegacyMAPMFunction body) : m_body(body) {}
    NBFValueRef execute(const NBFValueRef* arguments, int32_t count, NBFMAPMContextRef mapmContext,
                        NBFEvaluationContextRef evaluationContext,
                        NBFEvalMetadataRef* metadataOut) override;
    NBFFunctionImplementationType type() const override {
        return kNBFFunctionImplementationTypeLegacyMAPM;
    }

  private:
    const NBFLegacyMAPMFunction m_body;
};

// The body leaves its answer in register 0 of the MAPM context.
class NBFFunctionImplementationMAPM : public NBFFunctionImplementation {
  public:
    explicit NBFFunctionImplementationMAPM(NBFNumberToMAPMFunction body) : m_body(body) {}
    NBFValueRef execute(const NBFValueRef* arguments, int32_t count, NBFMAPMContextRef mapmContext,
                        NBFEvaluationContextRef evaluationContext,
                        NBFEvalMetadataRef* metadataOut) override;
    NBFFunctionImplementationType type() const override {
        return kNBFFunctionImplementationTypeMAPM;
    }

  private:
    const NBFNumberToMAPMFunction m_body;
};

// The body's value is the answer.
class NBFFunctionImplementationNBFValue : public NBFFunctionImplementation {
  public:
    explicit NBFFunctionImplementationNBFValue(NBFValueToValueFunction body) : m_body(body) {}
    NBFValueRef execute(const NBFValueRef* arguments, int32_t count, NBFMAPMContextRef mapmContext,
                        NBFEvaluationContextRef evaluationContext,
                        NBFEvalMetadataRef* metadataOut) override;
    NBFFunctionImplementationType type() const override {
        return kNBFFunctionImplementationTypeNBFValue;
    }

  private:
    const NBFValueToValueFunction m_body;
};

// The body's evaluated value: its value is the answer, its metadata goes to the caller.
class NBFFunctionImplementationNBFEvaluatedValue : public NBFFunctionImplementation {
  public:
    explicit NBFFunctionImplementationNBFEvaluatedValue(NBFValueToEvaluatedValueFunction body)
        : m_body(body) {}
    NBFValueRef execute(const NBFValueRef* arguments, int32_t count, NBFMAPMContextRef mapmContext,
                        NBFEvaluationContextRef evaluationContext,
                        NBFEvalMetadataRef* metadataOut) override;
    NBFFunctionImplementationType type() const override {
        return kNBFFunctionImplementationTypeNBFEvaluatedValue;
    }

  private:
    const NBFValueToEvaluatedValueFunction m_body;
};

// Each replaces and destroys the function's previous implementation.
void NBFFunctionSetMAPMImplementation(NBFFunctionRef function, NBFLegacyMAPMFunction body);
void NBFFunctionSetNBFNumberToMAPMImplementation(NBFFunctionRef function,
                                                 NBFNumberToMAPMFunction body);
void NBFFunctionSetNBFValueToNBFValueImplementation(NBFFunctionRef function,
                                                    NBFValueToValueFunction body);
void NBFFunctionSetNBFValueToNBFEvaluatedValueImplementation(NBFFunctionRef function,
                                                             NBFValueToEvaluatedValueFunction body);

#endif
