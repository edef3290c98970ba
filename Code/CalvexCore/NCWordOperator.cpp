#include "NCWordOperator.h"

#include "NBFErrorLog.h"
#include "NCUtilityFunctions.h"

std::shared_ptr<NCWordOperator> NCWordOperator::wordOperatorOfType(NCWordOperatorType type,
                                                                   const std::u16string& word) {
    const char* templateText = nullptr;
    int32_t precedence = 1;
    switch (type) {
        case NCWordOperatorTypeAdd:
            templateText = "${1}+${2}";
            precedence = 2;
            break;
        case NCWordOperatorTypeSubtract:
            templateText = "(${1})-(${2})";
            precedence = 2;
            break;
        case NCWordOperatorTypeMultiply:
            templateText = "${1}*${2}";
            precedence = 6;
            break;
        case NCWordOperatorTypeDivide:
            templateText = "${1}/${2}";
            precedence = 7;
            break;
        case NCWordOperatorTypeReverseSubtract:
            templateText = "(${2})-(${1})";
            precedence = 2;
            break;
        case NCWordOperatorTypeReverseDivide:
            templateText = "${2}/${1}";
            precedence = 7;
            break;
        default:
            OX_logErr_bigHeader(false, "Error!", __func__, "Code/CalvexCore/NCWordOperator",
                                __LINE__, "Unexpected type %d", static_cast<int>(type));
            OX_logErr_bigHeader(false, "Error!", __func__, "Code/CalvexCore/NCWordOperator",
                                __LINE__, "Unexpected operator type");
            break;
    }
    NBFStringRef wordString = NCNBFStringCreateFromNSString(word);
    NBFStringRef templateString = templateText ? NBFStringCreateWithUTF8(templateText) : nullptr;
    NBFWordOperatorRef created = NBFWordOperatorCreate(
        wordString, kNBFWordOperatorArgumentTypeInfix, templateString, precedence, 28);
    NBFStringRelease(wordString);
    NBFStringRelease(templateString);
    if (!created) return nullptr;
    NBFWordOperatorSetPreConditions(created, 41, 0);
    NBFWordOperatorSetArgumentConditions(created, 31);
    return std::make_shared<NCWordOperator>(created);
}
