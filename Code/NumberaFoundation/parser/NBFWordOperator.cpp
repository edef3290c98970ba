#include "NBFWordOperator.h"

#include "NBFCompiledWordOperator.h"

NBFWordOperatorRef NBFWordOperatorCreate(NBFStringRef word,
                                         NBFWordOperatorArgumentType argumentType,
                                         NBFStringRef templateString, int32_t operatorPrecedence,
                                         uint32_t options) {
    if (!word) return nullptr;
    auto* wordOperator = new NBFWordOperator();
    wordOperator->word = NBFStringRetain(word);
    wordOperator->argumentType = argumentType;
    wordOperator->templateString = NBFStringRetain(templateString);
    wordOperator->operatorPrecedence = operatorPrecedence;
    wordOperator->options = options;
    return wordOperator;
}

NBFWordOperatorRef NBFWordOperatorCreateASCII(const char* word,
                                              NBFWordOperatorArgumentType argumentType,
                                              const char* templateString,
                                              int32_t operatorPrecedence, uint32_t options) {
    auto wordString = NBF::Ref<NBF::String>::adopt(NBFStringCreateWithUTF8(word));
    auto templateText = NBF::Ref<NBF::String>::adopt(NBFStringCreateWithUTF8(templateString));
    return NBFWordOperatorCreate(wordString.get(), argumentType, templateText.get(),
                                 operatorPrecedence, options);
}

NBFWordOperator::~NBFWordOperator() {
    NBFStringRelease(word);
    NBFStringRelease(templateString);
    NBFCompiledWordOperatorRelease(compiled);
}

NBFWordOperatorRef NBFWordOperatorRetain(NBFWordOperatorRef wordOperator) {
    return NBF::retain(wordOperator);
}

void NBFWordOperatorRelease(NBFWordOperatorRef wordOperator) { NBF::release(wordOperator); }

NBFStringRef NBFWordOperatorGetWord(NBFWordOperatorRef wordOperator) {
    return wordOperator ? wordOperator->word : nullptr;
}

NBFWordOperatorArgumentType NBFWordOperatorGetArgumentType(NBFWordOperatorRef wordOperator) {
    return wordOperator ? wordOperator->argumentType : kNBFWordOperatorArgumentTypeInfix;
}

int32_t NBFWordOperatorGetOperatorPrecedence(NBFWordOperatorRef wordOperator) {
    return wordOperator ? wordOperator->operatorPrecedence : 0;
}

uint32_t NBFWordOperatorGetOptions(NBFWordOperatorRef wordOperator) {
    return wordOperator ? wordOperator->options : 0;
}

void NBFWordOperatorSetArgumentConditions(NBFWordOperatorRef wordOperator, uint32_t conditions) {
    if (wordOperator) wordOperator->argumentConditions = conditions;
}

uint32_t NBFWordOperatorGetArgumentConditions(NBFWordOperatorRef wordOperator) {
    return wordOperator ? wordOperator->argumentConditions : 0;
}

void NBFWordOperatorSetRepresentedTokenTypes(NBFWordOperatorRef wordOperator, int32_t type,
                                             int32_t subType) {
    if (!wordOperator) return;
    wordOperator->representedTokenType = type;
    wordOperator->representedTokenSubType = subType;
}

int32_t NBFWordOperatorGetRepresentedTokenSubType(NBFWordOperatorRef wordOperator) {
    return wordOperator ? wordOperator->representedTokenSubType : 0;
}

void NBFWordOperatorSetPreConditions(NBFWordOperatorRef wordOperator, uint32_t mask,
                                     uint32_t mode) {
    if (!wordOperator) return;
    wordOperator->preConditionMask = mask;
    wordOperator->preConditionMode = mode;
}

void NBFWordOperatorSetPostConditions(NBFWordOperatorRef wordOperator, uint32_t mask,
                                      uint32_t mode) {
    if (!wordOperator) return;
    wordOperator->postConditionMask = mask;
    wordOperator->postConditionMode = mode;
}

uint32_t NBFWordOperatorGetPostConditions(NBFWordOperatorRef wordOperator) {
    return wordOperator ? wordOperator->postConditionMask : 0;
}

bool NBFWordOperatorPreConditionsMatch(NBFWordOperatorRef wordOperator, uint32_t flags) {
    if (!wordOperator) return false;
    uint32_t mask = wordOperator->preConditionMask;
    if (mask == 0) return true;
    if (wordOperator->preConditionMode == 1) return (flags & mask) != 0;
    if (wordOperator->preConditionMode == 0) return (flags & mask) == mask;
    return false;
}

bool NBFWordOperatorPostConditionsMatch(NBFWordOperatorRef wordOperator, uint32_t flags) {
    if (!wordOperator) return false;
    if (wordOperator->postConditionMode == 1) return (flags & wordOperator->postConditionMask) != 0;
    return wordOperator->postConditionMode == 0;
}
