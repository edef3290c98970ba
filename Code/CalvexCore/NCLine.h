// One line of a document: its text, the text classified (expression, declaration or plain
// text), its answer and the options the answer is shown with, its trigonometry mode, its place
// in the collection that holds it, and an identifier that survives moves. A free line evaluates
// itself when asked for its answer; a line in a collection registers every change with the
// collection and leaves evaluation to it.
#ifndef NUMBERA_CORE_NC_LINE_H
#define NUMBERA_CORE_NC_LINE_H

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "NCExpression.h"
#include "NCExpressionFormattingOptions.h"
#include "NCIndex.h"
#include "NCLineExpression.h"
#include "NCResult.h"
#include "NCResultFormattingOptions.h"
#include "NCSimpleLocale.h"
#include "NCTrigonometryMode.h"

class NCLineCollection;
class NCTokenizedExpression;

// Whether the character ends a line wherever text is shown or printed: line feed, carriage
// return, vertical tab, form feed, next line, and the line and paragraph separators.
bool NCIsLineBreakCharacter(char16_t character);
// Each such character read as a space: one line of a document is one line of any output.
void NCReplaceLineBreaksWithSpaces(std::u16string& text);

// Values of lineType: the line expression's type, 3 without one, 0 for an unknown one.
typedef int32_t NCLineType;

class NCLine {
  public:
    // Takes both as given.
    NCLine(std::shared_ptr<NCExpression> expression,
           std::shared_ptr<NCLineExpression> lineExpression);
    // Classifies the expression.
    explicit NCLine(std::shared_ptr<NCExpression> expression = nullptr);
    ~NCLine();
    NCLine(const NCLine&) = delete;
    NCLine& operator=(const NCLine&) = delete;
    // No text for a null string.
    static std::shared_ptr<NCLine> lineWithExpressionString(
        const std::optional<std::u16string>& string);
    // Plain text however it reads, until its text changes.
    static std::shared_ptr<NCLine> lineWithPlainText(const std::u16string& string);

    // Text.
    const std::shared_ptr<NCExpression>& expression() const { return m_expression; }
    std::optional<std::u16string> expressionString() const;
    // The same text without a copy (empty when none): valid until the line's text is set.
    std::u16string_view expressionText() const;
    std::optional<std::u16string> delocalizedExpressionString() const;
    void setExpressionString(const std::optional<std::u16string>& string);
    // Nothing for the current expression. Otherwise drops the answer, reclassifies and, in a
    // collection, registers an expression change of this line.
    void _setExpression(std::shared_ptr<NCExpression> expression);
    void expressionDidChange();
    // The characters numbers are read with; the text is not rewritten.
    void setLocale(NCSimpleLocale locale);
    // Rewrites the text into the new characters, then takes them.
    void convertToLocale(NCSimpleLocale locale);

    // Classification: plain text for no text and for a malformed declaration.
    std::shared_ptr<NCLineExpression> lineTypeForExpression(
        const std::shared_ptr<NCExpression>& expression) const;
    NCLineType lineType() const;
    const std::shared_ptr<NCLineExpression>& lineExpression() const { return m_lineExpression; }
    std::shared_ptr<NCLineVariableDeclaration> variableDeclaration() const;
    std::shared_ptr<NCSimpleTokenizedExpression> simpleTokenizedExpression() const;
    std::shared_ptr<NCSimpleTokenizedExpression> tokenizedEvaluableExpression() const;
    std::shared_ptr<NCParsedExpression> parsedExpression() const;
    std::shared_ptr<NCParsedExpression> evaluableParsedExpression() const;
    std::shared_ptr<NCExpression> evaluableExpression() const;
    // The expression's own tokenisation, analysed in its namespace.
    std::shared_ptr<NCTokenizedExpression> tokenizedExpression() const;
    bool isParsed() const;
    void unparse();

    // The stored answer; when there is none yet and the line has text, evaluates first (in a
    // collection, by the collection).
    std::shared_ptr<NCResult> result();
    void evaluate();
    void _evaluate();
    // Marks the line evaluated; a new answer takes the line's own options.
    void setResult(std::shared_ptr<NCResult> result);
    void _setResult(std::shared_ptr<NCResult> result) { setResult(std::move(result)); }
    void invalidateResult();
    bool hasResult() const { return m_result != nullptr; }
    // Whether the answer (evaluated first when due) is a value: not empty, not an error.
    bool hasResultValue();
    bool needsEvaluation() const { return !hasResult(); }
    bool isEvaluated() const { return m_evaluated; }
    // The answer for a line reference met while evaluating the lines on the path: the stored
    // answer, else the line evaluated along the path. A line already on the path is a reference
    // cycle: no answer, and the error slot (may be null) names the cycle.
    std::shared_ptr<NCResult> _resultAlongPath(NCIndexPath* path, int64_t* error);
    // The evaluator error of the last evaluation (0 for none).
    int64_t evaluationError() const { return m_evaluationError; }
    void setEvaluationError(int64_t error) { m_evaluationError = error; }
    // Drops the answer and makes the text anew (a new classification and, in a collection, a
    // registered change).
    void clearCaches();

    // Formatting.
    std::shared_ptr<NCResultFormattingOptions> formattingOptions();
    std::shared_ptr<NCResultFormattingOptions> contextualizedFormattingOptions();
    // None without a value.
    std::optional<std::u16string> formattedResult();
    const std::shared_ptr<NCResultFormattingOptions>& customFormattingOptions() const {
        return m_customFormattingOptions;
    }
    // Keeps the object itself: lines of a collection may share one.
    void setCustomFormattingOptions(std::shared_ptr<NCResultFormattingOptions> options);
    bool automaticContextualFormattingEnabled() const {
        return m_automaticContextualFormattingEnabled;
    }
    void setAutomaticContextualFormattingEnabled(bool on) {
        m_automaticContextualFormattingEnabled = on;
    }
    bool automaticallyAdjustsOutputPrecision() const {
        return m_automaticallyAdjustsOutputPrecision;
    }
    void setAutomaticallyAdjustsOutputPrecision(bool on) {
        m_automaticallyAdjustsOutputPrecision = on;
    }
    const std::shared_ptr<NCExpressionFormattingOptions>& expressionFormattingOptions() const {
        return m_expressionFormattingOptions;
    }
    void setExpressionFormattingOptions(std::shared_ptr<NCExpressionFormattingOptions> options) {
        m_expressionFormattingOptions = std::move(options);
    }

    // Line references. None when the line has no reference at all; an empty set when it has
    // only the other kind.
    std::optional<NCIndexSet> directAbsoluteLineReferenceIndexes();
    // The signed offsets.
    std::optional<NCIndexSet> directRelativeLineReferenceIndexes();
    // Target indexes of both kinds; cached.
    std::optional<NCIndexSet> directLineReferenceIndexes();

    // Position and mode.
    uint64_t index() const { return m_index; }
    void setIndex(uint64_t index);
    void _setIndex(uint64_t index) { setIndex(index); }
    // The line index whose variable values the line reads. A declaration reads those of the
    // line above, so that "t = t + 1" takes t as the previous declaration left it; no other
    // variable's governing declaration differs there, since a line declares one variable.
    uint64_t variableScopeIndex() const;
    NCLineCollection* _lineCollection() const { return m_lineCollection; }
    NCLineCollection* lineCollection() const { return m_lineCollection; }
    // Not retained; the collection clears it when the line leaves.
    void _setLineCollection(NCLineCollection* collection) { m_lineCollection = collection; }
    // The line's own mode, else its collection's, else 0.
    NCTrigonometryMode trigonometryMode() const;
    bool isTrigonometryModeSet() const { return m_trigonometryMode != 0; }
    void setTrigonometryMode(NCTrigonometryMode mode);

    // Identity: made on first request, unique within the process and kept for the line's life.
    const std::u16string& uniqueIdentifier();
    size_t hash() const;
    // Equal expressions.
    bool isEqual(const NCLine* other) const;
    std::u16string description() const;

  private:
    // The collection holding this line at its index; none for a free line or a stale link.
    static std::shared_ptr<NCLineExpression> classify(
        const std::shared_ptr<NCExpression>& expression);
    NCLineCollection* owningCollection() const;
    bool ownsResult() const;
    std::shared_ptr<NCParsedExpression> parsedExpressionForReferences();
    std::optional<NCIndexSet> lineReferenceIndexes(NCLineReferenceType mask);

    std::shared_ptr<NCResultFormattingOptions> m_customFormattingOptions;
    bool m_automaticContextualFormattingEnabled = true;
    bool m_automaticallyAdjustsOutputPrecision = true;
    NCTrigonometryMode m_trigonometryMode = 0;
    std::shared_ptr<NCExpressionFormattingOptions> m_expressionFormattingOptions;
    std::shared_ptr<NCExpression> m_expression;
    std::shared_ptr<NCLineExpression> m_lineExpression;
    std::shared_ptr<NCResult> m_result;
    std::optional<NCIndexSet> m_directLineReferences;
    // Whether the plain tokens name a line reference function, for the current line expression.
    std::optional<bool> m_mayHoldLineReferences;
    std::optional<std::u16string> uniqueID;
    bool m_evaluated = false;
    int64_t m_evaluationError = 0;
    uint64_t m_index = 0;
    NCLineCollection* m_lineCollection = nullptr;  // not retained
};

#endif
