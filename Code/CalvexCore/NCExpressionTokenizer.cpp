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
    auto record = [&](const NCExpressionMappings& mappings) {
        mappings.enumerateMappings([&](NSRange stored, NSRange evaluation) {
            rangeMap->put(clampedPosition(evaluation.location),
                          clampedPosition(NSMaxRange(evaluation)), stored);
        });
    };
    if (_substituter == &NCExpressionSubstituter::defaultSubstituter() &&
        expression->originalString() && !expression->hasStringForEvaluation()) {
        // The expression's own evaluation string is this same rewrite: made here once, it
        // is kept for the parse that follows instead of being made again there.
        text = *expression->stringForEvaluation();
        if (const NCExpressionMappings* mappings = expression->expressionMappings())
            record(*mappings);
    } else if (_substituter) {
        record(_substituter->applySubstitutionsToMutableString(text));
    }

    NBFExpressionRef nbfExpression =
        NBFExpressionCreateWithString(NCNBFStringFromNSStringReference(text).get());
    NBFExpressionTokenizerRef tokenizer =
        NBFExpressionTokenizerCreate(NCNBFLocaleFromNCSimpleLocale(_locale));
    NBFTokenizedExpressionRef tokenized = NBFExpressionTokenizerTokenize(tokenizer, nbfExpression);
    auto result =
        std::make_shared<NCSimpleTokenizedExpression>(tokenized, rangeMap.get(), originalLength);
    NBFTokenizedExpressionRelease(tokenized);
    NBFExpressionTokenizerRelease(tokenizer);
    NBFExpressionRelease(nbfExpression);
    return result;
}
