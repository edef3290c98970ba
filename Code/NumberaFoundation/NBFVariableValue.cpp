#include "NBFVariableValue.h"

#include <cstdio>
#include <cstdlib>
#include <set>
#include <string>
#include <vector>

#include "Diagnostics.h"
#include "NBFVariable.h"
#include "NBFVariableInternal.h"

namespace {

bool isDigit(char c) { return c >= '0' && c <= '9'; }

// Whether the arbitrary-precision reader takes the text as a number: optional blanks and
// sign, digits with an optional decimal point, an optional exponent. Anything else it would
// read as 0, which is not what the text means.
bool isDecimalText(const std::string& text) {
    size_t i = text.find_first_not_of(" \t\n\r\f\v");
    if (i == std::string::npos) return false;
    if (text[i] == '+' || text[i] == '-') ++i;
    bool digits = false;
    for (; i < text.size() && isDigit(text[i]); ++i) digits = true;
    if (i < text.size() && text[i] == '.')
        for (++i; i < text.size() && isDigit(text[i]); ++i) digits = true;
    if (!digits) return false;
    if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
        ++i;
        if (i < text.size() && (text[i] == '+' || text[i] == '-')) ++i;
        if (i == text.size() || !isDigit(text[i])) return false;
        while (i < text.size() && isDigit(text[i])) ++i;
    }
    return text.find_first_not_of(" \t\n\r\f\v", i) == std::string::npos;
}

// The special number a text names, as the foundation's numbers write them.
NBFNumberSpecialType specialTypeOfText(NBFStringRef text) {
    std::string value = NBFStringGetCppString(text);
    if (value == "inf") return NBFNumberSpecialTypeInfinity;
    if (value == "-inf") return NBFNumberSpecialTypeNegativeInfinity;
    if (value == "nan") return NBFNumberSpecialTypeNaN;
    return NBFNumberSpecialTypeNone;
}

void freeValue(void* value) { NBFVariableValueFree(static_cast<NBFVariableValueRef>(value)); }

NBFVariableValueRef valueAt(NBFVariableRef variable, uint32_t index) {
    if (!variable || !variable->values || index > static_cast<uint32_t>(NBFRangeLengthMax))
        return nullptr;
    return static_cast<NBFVariableValueRef>(
        NBFIndexRangeMapGetValueForIndex(variable->values, static_cast<int32_t>(index)));
}

constexpr uint32_t kUnscoped = static_cast<uint32_t>(NBFRangeLengthMax);

NBFNumberRef createNumber(NBFVariableValueRef value) {
    if (!value) return nullptr;
    NBFNumberType type = value->resultFlags & NBFVariableValueFlagPercentage
                             ? NBFNumberTypePercentage
                             : NBFNumberTypeNumber;
    if (M_APM number = NBFVariableValueGetMAPMReference(value))
        return NBFNumberCreateWithMAPM(number, type);
    NBFNumberSpecialType special = specialTypeOfText(value->text);
    return special != NBFNumberSpecialTypeNone ? NBFNumberCreateSpecial(special) : nullptr;
}

NBFNumberRef createNaN() {
    return NBFNumber_CONST_NAN ? NBFNumberRetain(NBFNumber_CONST_NAN)
                               : NBFNumberCreateSpecial(NBFNumberSpecialTypeNaN);
}

std::string describeRange(NBFRange range) {
    char text[32];
    uint32_t first = static_cast<uint32_t>(range.location);
    if (range.length == NBFRangeLengthMax)
        std::snprintf(text, sizeof text, "%u+", first);
    else if (range.length == 1)
        std::snprintf(text, sizeof text, "%u", first);
    else
        std::snprintf(text, sizeof text, "%u-%u", first,
                      static_cast<uint32_t>(NBFRangeEnd(range) - 1));
    return text;
}

}  // namespace

NBFVariableValueRef NBFVariableValueCreate(NBFStringRef text, uint32_t resultFlags,
                                           NBFUnitContainerRef unitContainer) {
    auto* value = new NBFVariableValue();
    value->text = NBFStringCopy(text);
    value->resultFlags = resultFlags;
    value->unitContainer = NBFUnitContainerRetain(unitContainer);
    return value;
}

void NBFVariableValueFree(NBFVariableValueRef value) {
    if (!value) return;
    NBFStringRelease(value->text);
    if (M_APM number = value->number.load()) m_apm_free_mt(number);
    NBFUnitContainerRelease(value->unitContainer);
    delete value;
}

M_APM NBFVariableValueGetMAPMReference(NBFVariableValueRef value) {
    if (!value || !value->text) return nullptr;
    M_APM number = value->number.load(std::memory_order_acquire);
    if (number) return number;
    std::string text = NBFStringGetCppString(value->text);
    if (!isDecimalText(text)) return nullptr;
    M_APM made = m_apm_init_mt();
    m_apm_set_string_mt(made, text.c_str());
    // Two first readers may race; one number is kept, the other freed.
    if (value->number.compare_exchange_strong(number, made, std::memory_order_acq_rel)) return made;
    m_apm_free_mt(made);
    return number;
}

NBFVariableRef NBFVariableCreate(const std::string& name, NBFNumberRef number,
                                 NBFUnitContainerRef unitContainer) {
    NBFVariableRef variable = NBFVariableCreate();
    NBFStringRef nameString = NBFStringCreateWithCppString(name);
    NBFVariableSetName(variable, nameString);
    NBFStringRelease(nameString);
    NBFStringRef text = number ? NBFStringCreateWithCppString(number->stringValue()) : nullptr;
    uint32_t flags =
        NBFNumberGetType(number) == NBFNumberTypePercentage ? NBFVariableValueFlagPercentage : 0;
    NBFVariableSetValue(variable, text, flags, unitContainer);
    NBFStringRelease(text);
    return variable;
}

void NBFVariableSetValue(NBFVariableRef variable, NBFStringRef text, uint32_t resultFlags,
                         NBFUnitContainerRef unitContainer) {
    NBFVariableSetValueForScopeRange(variable, text, resultFlags, unitContainer,
                                     NBFRangeMake(0, NBFRangeLengthMax));
}

namespace {

// Takes over the record.
void storeValueForScopeRange(NBFVariableRef variable, NBFVariableValueRef value, NBFRange range) {
    if (!variable->values) {
        variable->values = NBFIndexRangeMapCreate();
        NBFIndexRangeMapSetDeallocator(variable->values, freeValue);
    }
    NBFIndexRangeMapSetValueForRange(variable->values, value, range);
    // A record the map did not take would otherwise be lost.
    const std::set<void*>* held = NBFIndexRangeMapGetUniqueValuesSetReference(variable->values);
    if (!held || !held->count(value)) NBFVariableValueFree(value);
}

}  // namespace

void NBFVariableSetValueForScopeRange(NBFVariableRef variable, NBFStringRef text,
                                      uint32_t resultFlags, NBFUnitContainerRef unitContainer,
                                      NBFRange range) {
    if (!variable || range.location < 0 || range.length <= 0) return;
    storeValueForScopeRange(variable, NBFVariableValueCreate(text, resultFlags, unitContainer),
                            range);
}

void NBFVariableSetEvaluationErrorForScopeRange(NBFVariableRef variable, NBFEvaluationError error,
                                                NBFRange range) {
    if (!variable || range.location < 0 || range.length <= 0) return;
    NBFVariableValueRef value = NBFVariableValueCreate(nullptr, 0, nullptr);
    value->evaluationError = error;
    storeValueForScopeRange(variable, value, range);
}

void NBFVariableShiftScopeIndexes(NBFVariableRef variable, uint32_t index, int32_t delta) {
    if (variable && variable->values && index < kUnscoped)
        NBFIndexRangeMapShiftIndexes(variable->values, static_cast<int32_t>(index), delta);
}

void NBFVariableSetResultFlags(NBFVariableRef variable, uint32_t resultFlags) {
    if (!variable) return;
    NBFVariableValueRef unscoped = valueAt(variable, kUnscoped);
    // A failure has no flags: it stays the failure it is.
    if (unscoped && unscoped->evaluationError != NBFEvaluationErrorNone) {
        NBFVariableSetEvaluationErrorForScopeRange(variable, unscoped->evaluationError,
                                                   NBFRangeMake(0, NBFRangeLengthMax));
        return;
    }
    // Kept alive across the set, which frees the old record.
    NBF::Ref<NBF::String> text =
        NBF::Ref<NBF::String>::retainOf(unscoped ? unscoped->text : nullptr);
    NBF::Ref<NBF::UnitContainer> unit =
        NBF::Ref<NBF::UnitContainer>::retainOf(unscoped ? unscoped->unitContainer : nullptr);
    NBFVariableSetValue(variable, text.get(), resultFlags, unit.get());
}

NBFStringRef NBFVariableGetValueReference(NBFVariableRef variable) {
    return NBFVariableGetValueReferenceForScopeIndex(variable, kUnscoped);
}

NBFStringRef NBFVariableGetValueReferenceForScopeIndex(NBFVariableRef variable, uint32_t index) {
    NBFVariableValueRef value = valueAt(variable, index);
    return value ? value->text : nullptr;
}

M_APM NBFVariableGetValueMAPMReference(NBFVariableRef variable) {
    return NBFVariableGetValueMAPMReferenceForScopeIndex(variable, kUnscoped);
}

M_APM NBFVariableGetValueMAPMReferenceForScopeIndex(NBFVariableRef variable, uint32_t index) {
    return NBFVariableValueGetMAPMReference(valueAt(variable, index));
}

NBFNumberRef NBFVariableCreateValueNumber(NBFVariableRef variable) {
    return NBFVariableCreateValueNumberForScopeIndex(variable, kUnscoped);
}

NBFNumberRef NBFVariableCreateValueNumberForScopeIndex(NBFVariableRef variable, uint32_t index) {
    return createNumber(valueAt(variable, index));
}

NBFUnitContainerRef NBFVariableGetUnitContainerReference(NBFVariableRef variable) {
    return NBFVariableGetUnitContainerReferenceForScopeIndex(variable, kUnscoped);
}

NBFUnitContainerRef NBFVariableGetUnitContainerReferenceForScopeIndex(NBFVariableRef variable,
                                                                      uint32_t index) {
    NBFVariableValueRef value = valueAt(variable, index);
    return value ? value->unitContainer : nullptr;
}

NBFUnitFractionRef NBFVariableGetUnitFractionReference(NBFVariableRef variable) {
    return NBFVariableGetUnitFractionReferenceForScopeIndex(variable, kUnscoped);
}

NBFUnitFractionRef NBFVariableGetUnitFractionReferenceForScopeIndex(NBFVariableRef variable,
                                                                    uint32_t index) {
    return NBFUnitContainerGetUnitFraction(
        NBFVariableGetUnitContainerReferenceForScopeIndex(variable, index));
}

uint32_t NBFVariableGetResultFlags(NBFVariableRef variable) {
    return NBFVariableGetResultFlagsForScopeIndex(variable, kUnscoped);
}

uint32_t NBFVariableGetResultFlagsForScopeIndex(NBFVariableRef variable, uint32_t index) {
    NBFVariableValueRef value = valueAt(variable, index);
    return value ? value->resultFlags : 0;
}

NBFEvaluationError NBFVariableGetEvaluationError(NBFVariableRef variable) {
    return NBFVariableGetEvaluationErrorForScopeIndex(variable, kUnscoped);
}

NBFEvaluationError NBFVariableGetEvaluationErrorForScopeIndex(NBFVariableRef variable,
                                                              uint32_t index) {
    NBFVariableValueRef value = valueAt(variable, index);
    return value ? value->evaluationError : NBFEvaluationErrorNone;
}

void NBFVariablePrint(NBFVariableRef variable) {
    if (!variable) return;
    Diagnostics::writef(Diagnostics::Stream::output, "NBFVariable %p \"%s\"",
                        static_cast<void*>(variable),
                        NBFStringGetCppString(variable->name).c_str());
    const std::set<void*>* values = NBFIndexRangeMapGetUniqueValuesSetReference(variable->values);
    if (!values) return;
    for (void* item : *values) {
        auto* value = static_cast<NBFVariableValueRef>(item);
        std::vector<NBFRange> ranges(16);
        int32_t count;
        while ((count = NBFIndexRangeMapFindRangesForValue(variable->values, value, ranges.data(),
                                                           static_cast<int32_t>(ranges.size()))) ==
               static_cast<int32_t>(ranges.size()))
            ranges.resize(ranges.size() * 2);
        std::string covered;
        for (int32_t i = 0; i < count; ++i)
            covered += (i ? ", " : "") + describeRange(ranges[static_cast<size_t>(i)]);
        Diagnostics::writef(
            Diagnostics::Stream::output, "  \"%s\" unit %p: %s",
            NBFStringGetCppString(value->text).c_str(),
            static_cast<void*>(NBFUnitContainerGetUnitFraction(value->unitContainer)),
            covered.c_str());
    }
}

NBFValueRef NBFScopedVariableGetValue(NBFScopedVariableRef scopedVariable) {
    if (!scopedVariable) return nullptr;
    NBFValueRelease(scopedVariable->cachedValue);
    scopedVariable->cachedValue = nullptr;
    NBFVariableValueRef value = valueAt(scopedVariable->variable, scopedVariable->scopeIndex);
    NBFUnitFractionRef fraction = NBFUnitFractionCopyWithRecomputedMultiplier(
        NBFUnitContainerGetUnitFraction(value ? value->unitContainer : nullptr));
    NBFNumberRef number = createNumber(value);
    if (!number) number = createNaN();
    scopedVariable->cachedValue = NBFValueCreate_TransferOwnership(number, fraction);
    return scopedVariable->cachedValue;
}

NBFEvaluationError NBFScopedVariableGetEvaluationError(NBFScopedVariableRef scopedVariable) {
    if (!scopedVariable) return NBFEvaluationErrorNone;
    return NBFVariableGetEvaluationErrorForScopeIndex(scopedVariable->variable,
                                                      scopedVariable->scopeIndex);
}
