#include "NBFFunction.h"

#include "NBFErrorLog.h"

NBFFunctionRef NBFFunctionCreate(const std::string& name, const std::vector<std::string>& aliases) {
    NBFFunctionRef function = NBFFunctionCreateWithName(name, 0);
    if (!aliases.empty()) {
        function->aliases = NBFArrayCreate();
        for (const std::string& alias : aliases)
            NBFArrayAddItem(function->aliases, NBFStringCreateWithCppString(alias));
    }
    return function;
}

NBFFunctionRef NBFFunctionCreateWithName(NBFStringRef name, int8_t numberOfArguments) {
    if (!name) return nullptr;
    auto* function = new NBFFunction();
    function->name = NBFStringRetain(name);
    function->numberOfArguments = numberOfArguments;
    return function;
}

NBFFunctionRef NBFFunctionCreateWithName(const std::string& name, int8_t numberOfArguments) {
    NBF::Ref<NBF::String> text = NBF::Ref<NBF::String>::adopt(NBFStringCreateWithCppString(name));
    return NBFFunctionCreateWithName(text.get(), numberOfArguments);
}

NBFFunction::~NBFFunction() {
    NBFStringRelease(name);
    NBFStringRelease(lowercaseName.load());
    NBFArrayApplyItemFunction(
        aliases, [](void* alias) { NBFStringRelease(static_cast<NBFStringRef>(alias)); });
    NBFArrayRelease(aliases);
    delete implementation;
}

NBFFunctionRef NBFFunctionRetain(NBFFunctionRef function) { return NBF::retain(function); }

void NBFFunctionRelease(NBFFunctionRef function) { NBF::release(function); }

void NBFFunctionSetNumberOfArguments(NBFFunctionRef function, int8_t numberOfArguments) {
    if (function) function->numberOfArguments = numberOfArguments;
}

int8_t NBFFunctionGetNumberOfArguments(NBFFunctionRef function) {
    return function ? function->numberOfArguments : 0;
}

NBFStringRef NBFFunctionGetNameReference(NBFFunctionRef function) {
    return function ? function->name : nullptr;
}

NBFStringRef NBFFunctionGetLowercaseNameReference(NBFFunctionRef function) {
    if (!function) return nullptr;
    NBFStringRef lowercase = function->lowercaseName.load(std::memory_order_acquire);
    if (lowercase) return lowercase;
    auto made = NBF::Ref<NBF::String>::adopt(NBFStringLowercaseString(function->name));
    // Two threads may race to fill the cache; the loser drops its copy.
    if (function->lowercaseName.compare_exchange_strong(lowercase, made.get())) return made.leak();
    return lowercase;
}

int32_t NBFFunctionGetCountOfAliases(NBFFunctionRef function) {
    return function ? NBFArrayCount(function->aliases) : 0;
}

NBFArrayRef NBFFunctionGetAliasesReference(NBFFunctionRef function) {
    return function ? function->aliases : nullptr;
}

NBFFunctionImplementationType NBFFunctionGetImplementationType(NBFFunctionRef function) {
    return function ? function->implementationType : kNBFFunctionImplementationTypeNone;
}

void NBFFunctionSetFunctionImplementation(NBFFunctionRef function,
                                          NBFFunctionImplementation* implementation) {
    if (!function) {
        delete implementation;
        return;
    }
    if (function->implementation == implementation) return;
    delete function->implementation;
    function->implementation = implementation;
    function->implementationType =
        implementation ? implementation->type() : kNBFFunctionImplementationTypeNone;
}

namespace {

NBFValueRef notANumber() {
    return NBFValueCreate_TransferOwnership(NBFNumberCreateSpecial(NBFNumberSpecialTypeNaN));
}

bool isExecutable(NBFFunctionImplementationType type) {
    switch (type) {
        case kNBFFunctionImplementationTypeLegacyMAPM:
        case kNBFFunctionImplementationTypeMAPM:
        case kNBFFunctionImplementationTypeWordOperator:
        case kNBFFunctionImplementationTypeNBFValue:
        case kNBFFunctionImplementationTypeNBFEvaluatedValue:
            return true;
        default:
            return false;
    }
}

}  // namespace

NBFValueRef NBFFunctionExecute(NBFFunctionRef function, const NBFValueRef* arguments, int32_t count,
                               NBFMAPMContextRef mapmContext,
                               NBFEvaluationContextRef evaluationContext,
                               NBFEvalMetadataRef* metadataOut) {
    if (metadataOut) *metadataOut = nullptr;
    if (!function) return nullptr;
    if (count < 0 || (count > 0 && !arguments)) count = 0;
    if (count < function->numberOfArguments) return notANumber();
    for (int32_t i = 0; i < count; ++i) {
        if (NBFNumberGetSpecialType(NBFValueGetNumber(arguments[i])) == NBFNumberSpecialTypeNaN)
            return notANumber();
    }
    if (!function->implementation || !isExecutable(function->implementationType)) {
        NBF_LOG_ERROR("%s(%d arguments) has no implementation that can be executed",
                      NBFStringGetCppString(function->name).c_str(), function->numberOfArguments);
        return nullptr;
    }
    // A legacy body reads its arguments from the end of a reversed array: surplus arguments
    // would shift which ones it reads, so it is given exactly the ones it needs.
    if (function->implementationType == kNBFFunctionImplementationTypeLegacyMAPM)
        count = function->numberOfArguments;
    return function->implementation->execute(arguments, count, mapmContext, evaluationContext,
                                             metadataOut);
}

NBFValueRef NBFFunctionExecute(NBFFunctionRef function, const M_APM* reversedArguments,
                               int32_t count, NBFMAPMContextRef mapmContext,
                               NBFEvaluationContextRef evaluationContext,
                               NBFEvalMetadataRef* metadataOut) {
    if (count < 0 || !reversedArguments) count = 0;
    std::vector<NBFValueRef> arguments;
    arguments.reserve(static_cast<size_t>(count));
    for (int32_t i = count - 1; i >= 0; --i)
        arguments.push_back(NBFValueCreate_TransferOwnership(
            NBFNumberCreateWithMAPM(reversedArguments[i], NBFNumberTypeNumber)));
    NBFValueRef result = NBFFunctionExecute(function, arguments.data(), count, mapmContext,
                                            evaluationContext, metadataOut);
    for (NBFValueRef argument : arguments) NBFValueRelease(argument);
    return result;
}
