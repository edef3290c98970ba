// Whether a piece of text reads as one token of a kind (an operator, say) in the current
// environment.
#ifndef NUMBERA_CORE_NC_EXPRESSION_SCANNER_H
#define NUMBERA_CORE_NC_EXPRESSION_SCANNER_H

#include <string>

#include "NCExpressionTokenType.h"

class NCExpressionScanner {
  public:
    static bool string(const std::u16string& string, NCExpressionTokenType isSingleTokenOfType);
    static bool isOperator(const std::u16string& string) {
        return NCExpressionScanner::string(string, NCExpressionTokenTypeOperator);
    }
};

#endif
