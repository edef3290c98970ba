#include "NBFExpressionTokenizer.h"

#include "NBFExpressionScanner.h"

namespace {

using NBF::ExpressionToken;

bool isWordBreaker(ExpressionToken* token, NBFChar character) {
    return token->type() == kNBFTokenTypeWord && token->subType() == kNBFTokenSubTypeWordBreaker &&
           NBFExpressionTokenGetFirstCharacter(token) == character;
}

// One comment token of the given kind over the tokens [first, last).
ExpressionToken* createCommentToken(const NBFExpressionTokenVector& tokens, size_t first,
                                    size_t last, NBFTokenSubType kind) {
    NBFBasicTokenVector basicTokens;
    for (size_t i = first; i < last; ++i) {
        const NBFBasicTokenVector& parts = tokens[i]->basicTokens();
        basicTokens.insert(basicTokens.end(), parts.begin(), parts.end());
    }
    ExpressionToken* comment = ExpressionToken::create(basicTokens);
    if (comment) {
        comment->setType(kNBFTokenTypeComment);
        comment->setSubType(kind);
    }
    return comment;
}

void releaseAll(const NBFExpressionTokenVector& tokens) {
    for (ExpressionToken* token : tokens) token->release();
}

// Quoted text becomes one comment token, quotes included; an unclosed quote merges nothing.
void mergeQuotedText(NBFExpressionTokenVector& tokens) {
    NBFExpressionTokenVector merged;
    bool insideQuotes = false;
    bool didMerge = false;
    size_t opening = 0;
    for (size_t i = 0; i < tokens.size(); ++i) {
        if (!isWordBreaker(tokens[i], u'"')) {
            if (!insideQuotes) merged.push_back(NBF::retain(tokens[i]));
            continue;
        }
        if (!insideQuotes) {
            insideQuotes = true;
            opening = i;
            continue;
        }
        insideQuotes = false;
        didMerge = true;
        merged.push_back(createCommentToken(tokens, opening, i + 1, kNBFTokenSubTypeQuotedText));
    }
    if (insideQuotes) {
        for (size_t i = opening; i < tokens.size(); ++i) merged.push_back(NBF::retain(tokens[i]));
    }
    if (!didMerge) {
        releaseAll(merged);
        return;
    }
    releaseAll(tokens);
    tokens = std::move(merged);
}

// Folds a leading label or a commented-out line, and a trailing "//" or "@" comment.
void foldCommentsAndLabels(NBFExpressionTokenVector& tokens) {
    const size_t count = tokens.size();
    size_t commentStart = count;
    NBFTokenSubType commentKind = kNBFTokenSubTypeNone;
    size_t markEnd = 0;  // one past the mark; 0 when there is none
    NBFTokenSubType markKind = kNBFTokenSubTypeNone;
    for (size_t i = 0; i < count; ++i) {
        ExpressionToken* token = tokens[i];
        if (token->type() == kNBFTokenTypeCommentMarker) {
            commentStart = i;
            commentKind = kNBFTokenSubTypeLineComment;
            break;
        }
        if (i == 0 && isWordBreaker(token, u'@')) {
            commentStart = i;
            commentKind = kNBFTokenSubTypeAtComment;
            break;
        }
        if (i == count - 1 && isWordBreaker(token, u';')) {
            markEnd = i + 1;
            markKind = kNBFTokenSubTypeCommentedOutLine;
        } else if (isWordBreaker(token, u':')) {
            markEnd = i + 1;
            markKind = kNBFTokenSubTypeLabel;
        }
    }
    if (markEnd == 0 && commentStart == count) return;

    NBFExpressionTokenVector folded;
    if (markEnd > 0) folded.push_back(createCommentToken(tokens, 0, markEnd, markKind));
    for (size_t i = markEnd; i < commentStart; ++i) folded.push_back(NBF::retain(tokens[i]));
    if (commentStart < count)
        folded.push_back(createCommentToken(tokens, commentStart, count, commentKind));
    releaseAll(tokens);
    tokens = std::move(folded);
}

}  // namespace

namespace NBF {

ExpressionTokenizer* ExpressionTokenizer::create(NBFLocale locale) {
    return new ExpressionTokenizer(locale);
}

TokenizedExpression* ExpressionTokenizer::tokenize(Expression* expression) const {
    auto scanner = Ref<ExpressionScanner>::adopt(ExpressionScanner::create(m_locale));
    NBFBasicTokenVector basicTokens =
        expression ? scanner->scan(expression) : NBFBasicTokenVector();

    NBFExpressionTokenVector tokens;
    tokens.reserve(basicTokens.size());
    for (BasicToken* basicToken : basicTokens)
        tokens.push_back(ExpressionToken::create(basicToken));
    if (m_commentsEnabled) {
        mergeQuotedText(tokens);
        foldCommentsAndLabels(tokens);
    }

    TokenizedExpression* tokenized = TokenizedExpression::create(tokens);
    releaseAll(tokens);
    for (BasicToken* basicToken : basicTokens) basicToken->release();
    return tokenized;
}

}  // namespace NBF

NBFExpressionTokenizerRef NBFExpressionTokenizerCreate(NBFLocale locale) {
    return NBF::ExpressionTokenizer::create(locale);
}

NBFExpressionTokenizerRef NBFExpressionTokenizerRetain(NBFExpressionTokenizerRef tokenizer) {
    return NBF::retain(tokenizer);
}

void NBFExpressionTokenizerRelease(NBFExpressionTokenizerRef tokenizer) { NBF::release(tokenizer); }

void NBFExpressionTokenizerSetEnableComments(NBFExpressionTokenizerRef tokenizer, bool enabled) {
    if (tokenizer) tokenizer->setEnableComments(enabled);
}

NBFTokenizedExpressionRef NBFExpressionTokenizerTokenize(NBFExpressionTokenizerRef tokenizer,
                                                         NBFExpressionRef expression) {
    return tokenizer ? tokenizer->tokenize(expression) : nullptr;
}
