#include "NCWordOperatorList.h"

#include "NCEnvironment.h"
#include "NCWordOperator.h"

std::shared_ptr<NCWordOperatorList> NCWordOperatorList::sharedList() {
    auto environment = NCEnvironment::current();
    return environment ? environment->wordOperators() : nullptr;
}

void NCWordOperatorList::addWordOperator(const NCWordOperator& wordOperator) {
    if (m_nbfWordOperatorList)
        NBFWordOperatorListAddWordOperator(m_nbfWordOperatorList, wordOperator.nbfWordOperator());
}

std::shared_ptr<NCWordOperatorList> NCWordOperatorList::listWithStandardWordOperators() {
    struct Row {
        const char* word;
        NBFWordOperatorArgumentType argumentType;
        const char* templateText;
        int32_t precedence;
        uint32_t options;
        bool conditional;  // pre 9, 0; post 0, 1; arguments 30
        uint32_t argumentConditions;
    };
    constexpr NBFWordOperatorArgumentType prefix = kNBFWordOperatorArgumentTypePrefix;
    constexpr NBFWordOperatorArgumentType postfix = kNBFWordOperatorArgumentTypePostfix;
    constexpr NBFWordOperatorArgumentType infix = kNBFWordOperatorArgumentTypeInfix;
    // ";" separates function arguments in the templates of the shifts and bitwise words.
    static const Row rows[] = {
        {"from", infix, "(${2})-(${1})", 2, 1, true, 30},
        {"into", infix, "${2}/${1}", 7, 1, true, 30},
        {"x", infix, "(${2})*(${1})", 6, 21, false, 31},
        {"per", infix, "${1}/${2}", 7, 16, false, 31},
        {"_as_percent", postfix, "(${1}*100)%", 2, 1, false, 0},
        {"_as_percent_of", infix, "(${1}/${2}*100)%", 8, 1, false, 0},
        {"_as_percent_off", infix, "(100-(${1})/${2}*100)%", 8, 1, false, 0},
        {"_as_percent_on", infix, "((${1}/${2}-1)*100)%", 8, 1, false, 0},
        {"_percent_of", infix, "((${1})%*${2})", 8, 1, false, 0},
        {"_percent_off_what_is", infix, "(${2}/(1-(${1})%))", 8, 1, false, 0},
        {"_percent_on_what_is", infix, "(${2}/((${1})%+1))", 8, 1, false, 0},
        {"_percent_of_what_is", infix, "(${2}/(${1}%))", 8, 1, false, 0},
        {"_percent_off", infix, "(${2}*(1 - (${1})%))", 8, 1, false, 0},
        {"_percent_on", infix, "(${2}*(1 + (${1})%))", 8, 1, false, 0},
        {"_as_percent_increase_of", infix, "((${1}/(${2})-1)*100)%", 8, 1, false, 0},
        {"_as_percent_decrease_of", infix, "((1-(${1})/${2})*100)%", 8, 1, false, 0},
        {"_reverse_as_percent_off", infix, "(100-(${2})/${1}*100)%", 8, 1, false, 0},
        {"_reverse_as_percent_on", infix, "((${2}/${1}-1)*100)%", 8, 1, false, 0},
        {"_reverse_percent_off_what_is", infix, "(${1}/(1-(${2})%))", 8, 1, false, 0},
        {"_reverse_percent_on_what_is", infix, "(${1}/((${2})%+1))", 8, 1, false, 0},
        {"_reverse_percent_of_what_is", infix, "(${1}/${2}*100)", 8, 1, false, 0},
        {"mod", infix, "(${1})__mod(${2})", 2, 1, true, 30},
        {"lsl", infix, "_lsl(${1};${2})", 2, 0, true, 30},
        {"lsr", infix, "_lsr(${1};${2})", 2, 0, true, 30},
        {"_bit_or", infix, "_bitwise_or(${1};${2})", 2, 0, true, 30},
        {"_bit_and", infix, "_bitwise_and(${1};${2})", 2, 0, true, 30},
        {"xor", infix, "_bitwise_xor(${1};${2})", 2, 0, true, 30},
        {"_bit_not", prefix, "_bitwise_not(${1})", 2, 0, false, 0},
    };
    NBFWordOperatorListRef list = NBFWordOperatorListCreate();
    for (const Row& row : rows) {
        NBFWordOperatorRef wordOperator = NBFWordOperatorCreateASCII(
            row.word, row.argumentType, row.templateText, row.precedence, row.options);
        if (row.conditional) {
            NBFWordOperatorSetPreConditions(wordOperator, 9, 0);
            NBFWordOperatorSetPostConditions(wordOperator, 0, 1);
        }
        if (row.argumentConditions)
            NBFWordOperatorSetArgumentConditions(wordOperator, row.argumentConditions);
        NBFWordOperatorListAddWordOperator(list, wordOperator);
        NBFWordOperatorRelease(wordOperator);
    }
    auto wrapped = std::make_shared<NCWordOperatorList>(list);
    NBFWordOperatorListRelease(list);
    return wrapped;
}
