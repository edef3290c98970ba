// A named function of expressions: its name, aliases, the fewest arguments a call must supply
// and the implementation object that computes it. Functions are built once, before evaluation,
// and then shared read-only by every function list and every expression that names them.
#ifndef NUMBERA_FOUNDATION_NBF_FUNCTION_H
#define NUMBERA_FOUNDATION_NBF_FUNCTION_H

#include <atomic>
#include <cstdint>
#include <string>
#include <vector>

#include "NBFArray.h"
#include "NBFEvaluationContext.h"
#include "NBFMAPMContext.h"
#include "NBFObject.h"
#include "NBFString.h"
#include "NBFValue.h"

// The kind of an implementation; kinds 2, 4, 5, 6 and 7 can be executed.
typedef int32_t NBFFunctionImplementationType;
enum : NBFFunctionImplementationType {
    kNBFFunctionImplementationTypeNone = 0,
    kNBFFunctionImplementationTypeLegacyMAPM = 2,
    kNBFFunctionImplementationTypeMAPM = 4,
    kNBFFunctionImplementationTypeWordOperator = 5,
    kNBFFunctionImplementationTypeNBFValue = 6,
    kNBFFunctionImplementationTypeNBFEvaluatedValue = 7,
};

// What a function computes with; a function owns its one implementation object.
class NBFFunctionImplementation {
  public:
    // A new value the caller owns, or null for no value. metadataOut, when given, may receive
    // the unit metadata of the result (retained).
    virtual NBFValueRef execute(const NBFValueRef* arguments, int32_t count,
                                NBFMAPMContextRef mapmContext,
                                NBFEvaluationContextRef evaluationContext,
                                NBFEvalMetadataRef* metadataOut) = 0;
    virtual NBFFunctionImplementationType type() const = 0;
    virtual ~NBFFunctionImplementation() = default;
};

// Expression tokens and nodes on any thread retain the shared functions.
struct NBFFunction : NBF::Object<NBFFunction> {
    ~NBFFunction() override;
    NBFStringRef name = nullptr;
    int8_t numberOfArguments = 0;
    NBFFunctionImplementationType implementationType = kNBFFunctionImplementationTypeNone;
    NBFFunctionImplementation* implementation = nullptr;
    NBFArrayRef aliases = nullptr;  // of retained NBFStrings; absent without aliases
    std::atomic<NBFStringRef> lowercaseName{nullptr};
};
typedef NBFFunction* NBFFunctionRef;

// A function with 0 arguments and the given aliases; no aliases leaves the alias array absent.
NBFFunctionRef NBFFunctionCreate(const std::string& name, const std::vector<std::string>& aliases);
// The name is retained; null gives null.
NBFFunctionRef NBFFunctionCreateWithName(NBFStringRef name, int8_t numberOfArguments);
NBFFunctionRef NBFFunctionCreateWithName(const std::string& name, int8_t numberOfArguments);
NBFFunctionRef NBFFunctionRetain(NBFFunctionRef function);
// The last release frees the name, lowercase name, aliases and implementation.
void NBFFunctionRelease(NBFFunctionRef function);

void NBFFunctionSetNumberOfArguments(NBFFunctionRef function, int8_t numberOfArguments);
int8_t NBFFunctionGetNumberOfArguments(NBFFunctionRef function);  // 0 for null
NBFStringRef NBFFunctionGetNameReference(NBFFunctionRef function);
// Made on the first call and kept.
NBFStringRef NBFFunctionGetLowercaseNameReference(NBFFunctionRef function);
int32_t NBFFunctionGetCountOfAliases(NBFFunctionRef function);
// Borrowed array of NBFStrings, null without aliases.
NBFArrayRef NBFFunctionGetAliasesReference(NBFFunctionRef function);
// kNBFFunctionImplementationTypeNone for null or a function without implementation.
NBFFunctionImplementationType NBFFunctionGetImplementationType(NBFFunctionRef function);
// Takes the implementation over, destroying the previous one, and caches its kind.
void NBFFunctionSetFunctionImplementation(NBFFunctionRef function,
                                          NBFFunctionImplementation* implementation);

// Calls the function: no value for null; not-a-number for fewer arguments than it needs or a
// not-a-number argument (without calling its body); no value, with an "Error!" report, for a
// function that cannot be executed. A legacy body gets the first arguments it needs, in call
// order; other kinds get every argument. metadataOut, when given, is cleared first.
NBFValueRef NBFFunctionExecute(NBFFunctionRef function, const NBFValueRef* arguments, int32_t count,
                               NBFMAPMContextRef mapmContext,
                               NBFEvaluationContextRef evaluationContext,
                               NBFEvalMetadataRef* metadataOut);
// The same with plain numbers given as MAPM values, last argument first.
NBFValueRef NBFFunctionExecute(NBFFunctionRef function, const M_APM* reversedArguments,
                               int32_t count, NBFMAPMContextRef mapmContext,
                               NBFEvaluationContextRef evaluationContext,
                               NBFEvalMetadataRef* metadataOut);

#endif
