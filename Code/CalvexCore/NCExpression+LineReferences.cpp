#include <charconv>

#include "NCExpression.h"
#include "NCUtilityFunctions.h"

namespace {

std::u16string decimal(int64_t value, bool isUnsigned) {
    char buffer[24];
    char* end =
        isUnsigned ? std::to_chars(buffer, buffer + sizeof buffer, static_cast<uint64_t>(value)).ptr
                   : std::to_chars(buffer, buffer + sizeof buffer, value).ptr;
    return NBFUTF8ToUTF16(std::string(buffer, end));
}

std::u16string storedForm(const std::u16string& name, const std::u16string& argument) {
    return u"(" + name + u"(" + argument + u"))";
}

}  // namespace

const std::u16string& NCExpression::relativeLineReferenceFunctionName() {
    static const std::u16string name = u"___rel_line";
    return name;
}

const std::u16string& NCExpression::absoluteLineReferenceFunctionName() {
    static const std::u16string name = u"___abs_line";
    return name;
}

const std::u16string& NCExpression::absoluteLineReferenceByLineNumberFunctionName() {
    static const std::u16string name = u"___abs_line_numbered";
    return name;
}

const std::u16string& NCExpression::fixedRelativeLineReferenceFunctionName() {
    static const std::u16string name = u"___rel_line_fixed";
    return name;
}

const std::u16string& NCExpression::nullLineReferenceFunctionName() {
    static const std::u16string name = u"___dead_line";
    return name;
}

std::u16string NCExpression::relativeLineReferenceTokenWithOffset(int64_t offset) {
    return storedForm(relativeLineReferenceFunctionName(), decimal(offset, false));
}

std::u16string NCExpression::absoluteLineReferenceTokenWithIndex(uint64_t index) {
    return storedForm(absoluteLineReferenceFunctionName(),
                      decimal(static_cast<int64_t>(index), true));
}

std::u16string NCExpression::absoluteLineReferenceFunctionWithLineNumber(uint64_t lineNumber) {
    return storedForm(absoluteLineReferenceByLineNumberFunctionName(),
                      decimal(static_cast<int64_t>(lineNumber), true));
}

std::u16string NCExpression::fixedRelativeLineReferenceTokenWithOffset(int64_t offset) {
    return storedForm(fixedRelativeLineReferenceFunctionName(), decimal(offset, false));
}

std::u16string NCExpression::nullLineReferenceToken() {
    return storedForm(nullLineReferenceFunctionName(), u"0");
}

NCLineReferenceType NCExpression::lineReferenceTypeForFunctionName(const std::u16string& name) {
    if (name == relativeLineReferenceFunctionName()) return NCLineReferenceTypeRelative;
    if (name == absoluteLineReferenceFunctionName()) return NCLineReferenceTypeAbsolute;
    if (name == absoluteLineReferenceByLineNumberFunctionName())
        return NCLineReferenceTypeByLineNumber;
    if (name == fixedRelativeLineReferenceFunctionName()) return NCLineReferenceTypeFixedRelative;
    if (name == nullLineReferenceFunctionName()) return NCLineReferenceTypeNull;
    return NCLineReferenceTypeNone;
}
