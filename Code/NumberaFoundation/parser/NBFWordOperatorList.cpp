#include "NBFWordOperatorList.h"

#include <mutex>

#include "NBFDictionary.h"
#include "NBFObject.h"

struct NBFWordOperatorList : NBF::Object<NBFWordOperatorList> {
    ~NBFWordOperatorList() override;
    NBFDictionaryRef operators = NBFDictionaryCreate();  // word -> retained NBFWordOperator
    NBFWordOperatorListRef auxiliaryList = nullptr;      // borrowed
};

namespace {

NBFWordOperatorListRef s_standardWordOperators = nullptr;
std::once_flag s_standardWordOperatorsOnce;

NBFWordOperatorRef lookUp(NBFWordOperatorListRef list, NBFStringRef word) {
    return static_cast<NBFWordOperatorRef>(NBFDictionaryGetValue(list->operators, word));
}

}  // namespace

NBFWordOperatorListRef NBFWordOperatorListCreate() { return new NBFWordOperatorList(); }

NBFWordOperatorList::~NBFWordOperatorList() {
    NBFDictionaryApplyFunction(operators, [](NBFStringRef, void* value, void*) {
        NBFWordOperatorRelease(static_cast<NBFWordOperatorRef>(value));
    });
    NBFDictionaryRelease(operators);
}

NBFWordOperatorListRef NBFWordOperatorListRetain(NBFWordOperatorListRef list) {
    return NBF::retain(list);
}

void NBFWordOperatorListRelease(NBFWordOperatorListRef list) { NBF::release(list); }

void NBFWordOperatorListAddWordOperator(NBFWordOperatorListRef list,
                                        NBFWordOperatorRef wordOperator) {
    NBFStringRef word = NBFWordOperatorGetWord(wordOperator);
    if (!list || !word) return;
    NBFWordOperatorRef replaced = lookUp(list, word);
    NBFDictionarySetValue(list->operators, NBFWordOperatorRetain(wordOperator), word);
    NBFWordOperatorRelease(replaced);
}

void NBFWordOperatorListAddConditional(NBFWordOperatorListRef list, NBFStringRef word,
                                       NBFWordOperatorArgumentType argumentType,
                                       NBFStringRef templateString, int32_t operatorPrecedence,
                                       uint32_t options, uint32_t preConditionMask,
                                       uint32_t preConditionMode, uint32_t postConditionMask,
                                       uint32_t postConditionMode) {
    if (!list || !word) return;
    NBFWordOperatorRef wordOperator =
        NBFWordOperatorCreate(word, argumentType, templateString, operatorPrecedence, options);
    NBFWordOperatorSetPreConditions(wordOperator, preConditionMask, preConditionMode);
    NBFWordOperatorSetPostConditions(wordOperator, postConditionMask, postConditionMode);
    NBFWordOperatorListAddWordOperator(list, wordOperator);
    NBFWordOperatorRelease(wordOperator);
}

void NBFWordOperatorListAddConditionalASCII(NBFWordOperatorListRef list, const char* word,
                                            NBFWordOperatorArgumentType argumentType,
                                            const char* templateString, int32_t operatorPrecedence,
                                            uint32_t options, uint32_t preConditionMask,
                                            uint32_t preConditionMode, uint32_t postConditionMask,
                                            uint32_t postConditionMode) {
    if (!list || !word) return;
    auto wordString = NBF::Ref<NBF::String>::adopt(NBFStringCreateWithUTF8(word));
    auto templateText = NBF::Ref<NBF::String>::adopt(NBFStringCreateWithUTF8(templateString));
    NBFWordOperatorListAddConditional(list, wordString.get(), argumentType, templateText.get(),
                                      operatorPrecedence, options, preConditionMask,
                                      preConditionMode, postConditionMask, postConditionMode);
}

void NBFWordOperatorListAddASCII(NBFWordOperatorListRef list, const char* word,
                                 NBFWordOperatorArgumentType argumentType,
                                 const char* templateString, int32_t operatorPrecedence,
                                 uint32_t options) {
    NBFWordOperatorListAddConditionalASCII(list, word, argumentType, templateString,
                                           operatorPrecedence, options, 0, 1, 0, 1);
}

bool NBFWordOperatorListContains(NBFWordOperatorListRef list, NBFStringRef word) {
    return NBFWordOperatorListGet(list, word) != nullptr;
}

NBFWordOperatorRef NBFWordOperatorListGet(NBFWordOperatorListRef list, NBFStringRef word) {
    if (!list || !word) return nullptr;
    if (NBFWordOperatorRef found = lookUp(list, word)) return found;
    return list->auxiliaryList ? lookUp(list->auxiliaryList, word) : nullptr;
}

bool NBFWordOperatorListWordSequenceIsWordOperator(NBFWordOperatorListRef list,
                                                   NBFStringRef const* words, int32_t count,
                                                   bool* isWordOperator,
                                                   NBFWordOperatorRef* wordOperator) {
    NBFWordOperatorRef found =
        (words && count == 1) ? NBFWordOperatorListGet(list, words[0]) : nullptr;
    if (isWordOperator) *isWordOperator = found != nullptr;
    if (wordOperator) *wordOperator = found;
    return found != nullptr;
}

void NBFWordOperatorListSetAuxiliaryListReference(NBFWordOperatorListRef list,
                                                  NBFWordOperatorListRef auxiliaryList) {
    if (list) list->auxiliaryList = auxiliaryList;
}

void NBFStandardWordOperatorsInit() {
    std::call_once(s_standardWordOperatorsOnce,
                   [] { s_standardWordOperators = NBFWordOperatorListCreate(); });
}

NBFWordOperatorListRef NBFStandardWordOperatorsGetSharedListReference() {
    return s_standardWordOperators;
}
