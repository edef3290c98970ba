#include "NCLineReferenceSubstituter.h"

#include <charconv>

#include "NBFErrorLog.h"
#include "NCExpressionParser.h"
#include "NCLineCollection.h"
#include "NCResultFormatter.h"
#include "NCUtilityFunctions.h"
#include "NSLocalizedString.h"

namespace {

// A reference token is made only where its reserved name stands in the text as evaluated.
bool namesLineReference(const std::u16string& evaluated) {
    for (const std::u16string* name :
         {&NCExpression::relativeLineReferenceFunctionName(),
          &NCExpression::absoluteLineReferenceFunctionName(),
          &NCExpression::absoluteLineReferenceByLineNumberFunctionName(),
          &NCExpression::fixedRelativeLineReferenceFunctionName(),
          &NCExpression::nullLineReferenceFunctionName()})
        if (evaluated.find(*name) != std::u16string::npos) return true;
    return false;
}

}  // namespace

std::u16string NCLineReferenceReplacementText(const NCLineReferenceReplacement& replacement) {
    if (const auto* plain = std::get_if<std::u16string>(&replacement)) return *plain;
    return std::get<NSAttributedString>(replacement).string();
}

std::optional<NCLineReferenceReplacement>
NCPlainTextLineReferenceSubstituterDelegate::stringForLineReference(
    NCLineReferenceType kind, int64_t number, int64_t lineIndex, NCLineCollection* lineCollection,
    void* contextInfo) {
    int64_t index = NCLineReferenceIndex(kind, number, lineIndex);
    std::optional<std::u16string> text;
    if (lineCollection && index >= 0 &&
        static_cast<uint64_t>(index) < lineCollection->countOfLines()) {
        std::shared_ptr<NCLine> line = lineCollection->lineAtIndex(static_cast<uint64_t>(index));
        if (line && line->result())
            text = NCResultFormatter::sharedInstance().stringValueForResult(
                line->result().get(), line->formattingOptions().get());
    }
    // A line without an answer to show is named, never left in its stored form.
    if (!text || text->empty()) {
        char digits[24];
        char* end = std::to_chars(digits, digits + sizeof digits, index + 1).ptr;
        text = NSLocalizedString(u"line") + NBFUTF8ToUTF16(std::string(digits, end));
    }
    if (m_prefix) text = *m_prefix + *text;
    return NCLineReferenceReplacement(std::move(*text));
}

std::optional<NCLineReferenceReplacement>
NCLineReferenceSubstituter::stringByReplacingLineReferencesOfType(
    NCLineReferenceType mask, const std::shared_ptr<NCExpression>& expression,
    NCParsedExpression* parsedExpression, int64_t lineIndex, void* contextInfo,
    NCLineReferenceSubstituterDelegate* substitutionDelegate, bool attributedString,
    bool lookInsideComments) {
    if (!expression || !expression->originalString()) return std::nullopt;
    const std::u16string& stored = *expression->originalString();
    std::u16string plain = stored;
    NSAttributedString attributed(attributedString ? stored : std::u16string());
    const uint64_t storedLength = stored.size();

    const NCExpressionTokenArray tokens =
        parsedExpression ? parsedExpression->tokens() : NCExpressionTokenArray();
    // From the last token back, so that the ranges still to come stay valid.
    for (auto it = tokens.rbegin(); it != tokens.rend(); ++it) {
        const std::shared_ptr<NCExpressionToken>& token = *it;
        std::optional<NCLineReferenceReplacement> replacement;
        if (token->lineReferenceType() & mask) {
            if (substitutionDelegate)
                replacement = substitutionDelegate->stringForLineReference(
                    token->lineReferenceType(), token->lineReferenceNumber(), lineIndex,
                    m_lineCollection.get(), contextInfo);
        } else if (lookInsideComments && token->type() == NCExpressionTokenTypeComment &&
                   NSMaxRange(token->range()) <= storedLength) {
            std::u16string comment = stored.substr(token->range().location, token->range().length);
            NCLineReferenceSubstituterDelegate* commentDelegate =
                m_commentSubstitutionDelegate ? m_commentSubstitutionDelegate
                                              : &m_plainTextDelegate;
            replacement = substitutedExpressionString(comment, mask, lineIndex, contextInfo,
                                                      commentDelegate, false);
            if (replacement) replacement = NCLineReferenceReplacementText(*replacement);
        }
        if (!replacement) continue;

        NSRange range = token->range();
        uint64_t length = attributedString ? attributed.length() : plain.size();
        if (range.location > length || range.length > length - range.location) {
            OX_logErr_bigHeader(false, "Warning!", __func__,
                                "Code/CalvexCore/NCLineReferenceSubstituter", __LINE__,
                                "WARNING: Bad error trying to replace characters in a string");
            continue;
        }
        if (!attributedString)
            plain.replace(range.location, range.length,
                          NCLineReferenceReplacementText(*replacement));
        else if (const auto* rich = std::get_if<NSAttributedString>(&*replacement))
            attributed.replaceCharactersInRange(range, *rich);
        else
            attributed.replaceCharactersInRange(range, std::get<std::u16string>(*replacement));
    }
    if (attributedString) return NCLineReferenceReplacement(std::move(attributed));
    return NCLineReferenceReplacement(std::move(plain));
}

std::optional<NCLineReferenceReplacement>
NCLineReferenceSubstituter::stringByReplacingLineReferencesOfType(
    NCLineReferenceType mask, NCParsedExpression& parsedExpression, int64_t lineIndex,
    void* contextInfo, bool attributedString) {
    return stringByReplacingLineReferencesOfType(mask, parsedExpression.expression(),
                                                 &parsedExpression, lineIndex, contextInfo,
                                                 m_substitutionDelegate, attributedString, true);
}

std::optional<NCLineReferenceReplacement> NCLineReferenceSubstituter::substitutedExpressionString(
    const std::optional<std::u16string>& string, NCLineReferenceType mask, int64_t lineIndex,
    void* contextInfo, NCLineReferenceSubstituterDelegate* substitutionDelegate,
    bool isAttributedString) {
    if (!string) return std::nullopt;
    std::shared_ptr<NCExpression> expression = NCExpression::expressionWithString(*string);
    // Without a reference the text comes back as it is: no need to analyse it.
    const std::optional<std::u16string>& evaluated = expression->stringForEvaluation();
    if (evaluated && !namesLineReference(*evaluated))
        return stringByReplacingLineReferencesOfType(mask, expression, nullptr, lineIndex,
                                                     contextInfo, substitutionDelegate,
                                                     isAttributedString, false);
    NCExpressionParser parser(parsingEnvironment());
    parser.enableComments = false;
    std::shared_ptr<NCParsedExpression> parsed = parser.parseExpression(expression);
    return stringByReplacingLineReferencesOfType(mask, expression, parsed.get(), lineIndex,
                                                 contextInfo, substitutionDelegate,
                                                 isAttributedString, false);
}

std::optional<std::u16string> NCLineReferenceSubstituter::stringByReplacingLineReferencesOfType(
    NCLineReferenceType mask, NCParsedExpression& parsedExpression, int64_t lineIndex,
    std::shared_ptr<NCLineCollection> lineCollection, NCLineReferenceSubstituterDelegate* delegate,
    void* contextInfo) {
    NCLineReferenceSubstituter substituter(std::move(lineCollection), delegate);
    auto replaced = substituter.stringByReplacingLineReferencesOfType(
        mask, parsedExpression, lineIndex, contextInfo, false);
    if (!replaced) return std::nullopt;
    return NCLineReferenceReplacementText(*replaced);
}

std::optional<NSAttributedString>
NCLineReferenceSubstituter::attributedStringByReplacingLineReferencesOfType(
    NCLineReferenceType mask, NCParsedExpression& parsedExpression, int64_t lineIndex,
    std::shared_ptr<NCLineCollection> lineCollection, NCLineReferenceSubstituterDelegate* delegate,
    void* contextInfo) {
    NCLineReferenceSubstituter substituter(std::move(lineCollection), delegate);
    auto replaced = substituter.stringByReplacingLineReferencesOfType(mask, parsedExpression,
                                                                      lineIndex, contextInfo, true);
    if (!replaced) return std::nullopt;
    if (auto* rich = std::get_if<NSAttributedString>(&*replaced)) return std::move(*rich);
    return NSAttributedString(NCLineReferenceReplacementText(*replaced));
}

std::shared_ptr<NCEnvironment> NCLineReferenceSubstituter::parsingEnvironment() {
    // Reserved reference names are known by their text, so the standard functions suffice.
    static const std::shared_ptr<NCEnvironment> environment = [] {
        auto made = std::make_shared<NCEnvironment>();
        made->setIsSet(true);
        return made;
    }();
    return environment;
}
