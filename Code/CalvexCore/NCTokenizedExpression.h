// A line's text scanned, tokenised and analysed by the foundation in the namespace of its
// variables, units, word operators and functions, and turned into expression tokens that know
// their place in the stored, evaluation and displayed texts. Stale once its variable list is
// replaced or changes; it then tokenises again on the next request.
#ifndef NUMBERA_CORE_NC_TOKENIZED_EXPRESSION_H
#define NUMBERA_CORE_NC_TOKENIZED_EXPRESSION_H

#include <cstdint>
#include <memory>
#include <vector>

#include "NBFExpressionToken.h"
#include "NCExpressionToken.h"
#include "NCFunctionList.h"
#include "NCSimpleTokenizedExpression.h"
#include "NCUnitCollection.h"
#include "NCVariableList.h"
#include "NCWordOperatorList.h"

class NCExpression;

class NCTokenizedExpression {
  public:
    // Comment parsing on. The expression is not retained.
    explicit NCTokenizedExpression(std::weak_ptr<NCExpression> expression);
    ~NCTokenizedExpression();
    NCTokenizedExpression(const NCTokenizedExpression&) = delete;
    NCTokenizedExpression& operator=(const NCTokenizedExpression&) = delete;

    std::shared_ptr<NCExpression> expression() const { return m_expression.lock(); }
    // Tokenises first when stale; empty when there is nothing.
    const std::vector<std::shared_ptr<NCExpressionToken>>& tokens();
    const NBFExpressionTokenVector& nbfExpressionTokens();
    bool isTokenized() const;
    void setNeedsTokenizing();
    void setNeedsRefresh() { setNeedsTokenizing(); }

    // A different list forces a new tokenisation.
    void setVariableList(std::shared_ptr<NCVariableList> variableList);
    const std::shared_ptr<NCVariableList>& variableList() const { return m_variableList; }
    const std::shared_ptr<NCUnitCollection>& unitManager() const { return m_unitManager; }
    void setUnitManager(std::shared_ptr<NCUnitCollection> unitManager) {
        m_unitManager = std::move(unitManager);
    }
    const std::shared_ptr<NCWordOperatorList>& wordOperators() const { return m_wordOperators; }
    void setWordOperators(std::shared_ptr<NCWordOperatorList> wordOperators) {
        m_wordOperators = std::move(wordOperators);
    }
    // The functions words may name; the foundation's standard functions while none are given.
    const std::shared_ptr<NCFunctionList>& functions() const { return m_functions; }
    void setFunctions(std::shared_ptr<NCFunctionList> functions) {
        m_functions = std::move(functions);
    }
    // The plain tokens of the expression's text, scanned with comments on as this expression
    // scans it: analysed instead of scanning again. Retained; null scans anew.
    void setScannedTokens(std::shared_ptr<NCSimpleTokenizedExpression> scanned) {
        m_scannedTokens = std::move(scanned);
    }
    bool enableCommentParsing() const { return m_enableCommentParsing; }
    void setEnableCommentParsing(bool enable) { m_enableCommentParsing = enable; }

    void tokenize();
    // Takes the evaluation's analysis of the same scanned text as this expression's tokens,
    // when it was made in this expression's namespace and no variable in it carries the
    // evaluation's scope; otherwise leaves the expression to tokenise itself. Answers whether
    // it took them. The tokens are retained.
    bool adoptAnalysis(const NBFExpressionTokenVector& analysed, NBFFunctionListRef functions,
                       NBFVariableListRef variables, NBFWordOperatorListRef words,
                       NBFUnitCollectionRef units);
    // The current analysis, when it was made in the given lists and holds no variable: any
    // line's evaluation may parse it as it stands. Borrowed; null otherwise.
    const NBFExpressionTokenVector* analysisWithoutVariables(NBFFunctionListRef functions,
                                                             NBFVariableListRef variables,
                                                             NBFWordOperatorListRef words,
                                                             NBFUnitCollectionRef units) const;
    // Converts foundation tokens into expression tokens; answers how many were written.
    size_t parseNBFExpressionTokens(const NBFExpressionTokenVector& nbfTokens,
                                    std::vector<std::shared_ptr<NCExpressionToken>>& buffer);

  private:
    void releaseFoundationTokens();
    bool analysesIn(NBFFunctionListRef functions, NBFVariableListRef variables,
                    NBFWordOperatorListRef words, NBFUnitCollectionRef units) const;
    static bool holdsVariable(const NBFExpressionTokenVector& analysed);

    std::weak_ptr<NCExpression> m_expression;
    uint64_t variableListStateIndicator = 0;
    bool m_enableCommentParsing = true;
    std::shared_ptr<NCVariableList> m_variableList;
    bool m_hasTokens = false;
    // The foundation tokens are adopted; the expression tokens are not yet made from them.
    bool m_convertsOnRequest = false;
    std::vector<std::shared_ptr<NCExpressionToken>> m_tokenArray;
    NBFExpressionTokenVector m_expressionTokens;  // each retained
    std::shared_ptr<NCUnitCollection> m_unitManager;
    std::shared_ptr<NCWordOperatorList> m_wordOperators;
    std::shared_ptr<NCFunctionList> m_functions;
    std::shared_ptr<NCSimpleTokenizedExpression> m_scannedTokens;
};

#endif
