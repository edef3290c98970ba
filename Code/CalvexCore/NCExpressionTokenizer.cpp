#include "NCExpressionTokenizer.h"

#include <algorithm>

#include "NBFExpressionTokenizer.h"
#include "NCExpressionSubstituter.h"
#include "NCUtilityFunctions.h"

namespace {

int32_t clampedPosition(uint64_t position) {
    return static_cast<int32_t>(std::min<uint64_t>(position, INT32_MAX));
}

}  // namespace

std::shared_ptr<NCSimpleTokenizedExpression> NCExpressionTokenizer::tokenizeExpression(
    const std::shared_ptr<NCExpression>& expression) const {
    if (!expression) return nullptr;
    std::u16string text = expression->originalString().value_or(u"");
    const int64_t originalLength = static_cast<int64_t>(text.size());

    auto rangeMap = NBF::Ref<NCSubstitutionRangeMap>::adopt(NCSubstitutionRangeMap::create());
    auto mapRanges = [&](const NCExpressionMappings& mappings) {
        mappings.enumerateMappings([&](NSRange stored, NSRange evaluation) {
            rangeMap->put(clampedPosition(evaluation.location),
                          clampedPosition(NSMaxRange(evaluation)), stored);
        });
    };
    // The shared substituter's work is kept by the expression: the same text is substituted
    // once for its plain tokens and its evaluation string alike.
    const std::u16string* substituted = nullptr;
    const NCExpressionMappings* kept = nullptr;
    if (m_substituter == &NCExpressionSubstituter::defaultSubstituter() &&
        expression->substitutedBySharedSubstituter(&substituted, &kept)) {
        text = *substituted;
        mapRanges(*kept);
    } else if (m_substituter) {
        mapRanges(m_substituter->applySubstitutionsToMutableString(text));
    }

    NBFExpressionRef nbfExpression =
        NBFExpressionCreateWithString(NCNBFStringFromNSStringReference(text).get());
    NBFExpressionTokenizerRef tokenizer =
        NBFExpressionTokenizerCreate(NCNBFLocaleFromNCSimpleLocale(m_locale));
    NBFTokenizedExpressionRef tokenized = NBFExpressionTokenizerTokenize(tokenizer, nbfExpression);
    auto result =
        std::make_shared<NCSimpleTokenizedExpression>(tokenized, rangeMap.get(), originalLength);
    NBFTokenizedExpressionRelease(tokenized);
    NBFExpressionTokenizerRelease(tokenizer);
    NBFExpressionRelease(nbfExpression);
    return result;
}
