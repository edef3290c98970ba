// The line-reference tokens of a line's stored text, read afresh from its current text so
// that a text rewritten during an edit is never answered from stale tokens.
#ifndef NUMBERA_KIT_NK_LINE_REFERENCE_TOKENS_H
#define NUMBERA_KIT_NK_LINE_REFERENCE_TOKENS_H

#include <optional>
#include <string>

#include "NCExpressionToken.h"
#include "NCLine.h"
#include "NCLineReferenceType.h"
#include "NCParsedExpressionHelpers.h"

// The tokens of the kinds in the mask, in text order; empty for a line without text.
NCExpressionTokenArray NKLineReferenceTokensOfType(NCLineReferenceType mask, const NCLine& line);
NCExpressionTokenArray NKLineReferenceTokensOfTypeInString(NCLineReferenceType mask,
                                                           const std::u16string& text);

// A reference by line number written for another line number: the text as the user typed it
// ("Line2", "LINE02") with only its number replaced, so the word keeps the user's spelling.
std::u16string NKLineReferenceByLineNumberWithNumber(const std::u16string& tokenText,
                                                     int64_t lineNumber);

#endif
