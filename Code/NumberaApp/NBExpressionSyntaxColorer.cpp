#include "NBExpressionSyntaxColorer.h"

#include "NBAnswerColumnRules.h"
#include "NBAppResources.h"
#include "NBInterfaceHelpers.h"
#include "NBTextAttributes.h"
#include "NBUserDefaultsController.h"
#include "NCExpression.h"
#include "NCExpressionParser.h"
#include "NCParsedExpression.h"

NBExpressionSyntaxColorer& NBExpressionSyntaxColorer::sharedInstance() {
    static NBExpressionSyntaxColorer colorer;
    return colorer;
}

NSAttributes NBExpressionSyntaxColorer::defaultAttributes() {
    const QFont font = NBTextAttributes::defaultTextViewFont();
    return {
        {NSFontNameAttributeName, NBAppResources::toU16(font.family())},
        {NSFontSizeAttributeName, font.pointSizeF() > 0 ? font.pointSizeF() : NSDefaultFontSize},
        {NBForegroundColorAttributeName, std::u16string(u"#000000")},
    };
}

NSAttributedString& NBExpressionSyntaxColorer::colorExpressionAttributedString(
    NSAttributedString& string, NSRange range, const std::shared_ptr<NCEnvironment>& environment) {
    if (string.length() == 0) return string;
    const bool coloring = NBUserDefaultsController::syntaxColouringEnabled();
    NCExpressionParser parser =
        environment ? NCExpressionParser(environment) : NCExpressionParser();
    std::shared_ptr<NCParsedExpression> parsed =
        parser.parseExpression(NCExpression::expressionWithString(string.string()));
    if (!parsed) return string;
    const NSAttributes base = defaultAttributes();
    for (const std::shared_ptr<NCExpressionToken>& token : parsed->tokens()) {
        if (!token) continue;
        const NSRange tokenRange = token->highLevelRange();
        if (tokenRange.length == 0 || tokenRange.location < range.location ||
            NSMaxRange(tokenRange) > NSMaxRange(range) || NSMaxRange(tokenRange) > string.length())
            continue;
        NSAttributes attributes = base;
        const QColor color =
            coloring ? NBSyntaxColorForTokenType(token->type(), token->subType()) : Qt::black;
        attributes[NBForegroundColorAttributeName] = NBAppResources::toU16(color.name());
        string.setAttributes(attributes, tokenRange);
    }
    return string;
}
