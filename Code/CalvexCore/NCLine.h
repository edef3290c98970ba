// One line of a document: its text, its answer and the options the answer is shown with, and
// its place in the collection that holds it. The collection sets the index and the back link.
#ifndef NUMBERA_CORE_NC_LINE_H
#define NUMBERA_CORE_NC_LINE_H

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "NCExpression.h"
#include "NCResult.h"
#include "NCResultFormattingOptions.h"

class NCLineCollection;

class NCLine {
  public:
    explicit NCLine(std::shared_ptr<NCExpression> expression = nullptr);
    ~NCLine();
    NCLine(const NCLine&) = delete;
    NCLine& operator=(const NCLine&) = delete;
    static std::shared_ptr<NCLine> lineWithExpressionString(
        const std::optional<std::u16string>& string);

    const std::shared_ptr<NCExpression>& expression() const { return i_expression; }
    std::optional<std::u16string> expressionString() const;

    // The stored answer.
    const std::shared_ptr<NCResult>& result() const { return i_result; }
    // Gives the answer the line's own options.
    void setResult(std::shared_ptr<NCResult> result);
    const std::shared_ptr<NCResultFormattingOptions>& customFormattingOptions() const {
        return _customFormattingOptions;
    }
    // The options the answer is shown with.
    const std::shared_ptr<NCResultFormattingOptions>& formattingOptions() const {
        return _customFormattingOptions;
    }

    uint64_t index() const { return i_index; }
    NCLineCollection* lineCollection() const { return i_lineCollection; }
    void _setIndex(uint64_t index) { i_index = index; }
    void _setLineCollection(NCLineCollection* collection) { i_lineCollection = collection; }

  private:
    std::shared_ptr<NCResultFormattingOptions> _customFormattingOptions;
    std::shared_ptr<NCExpression> i_expression;
    std::shared_ptr<NCResult> i_result;
    uint64_t i_index = 0;
    NCLineCollection* i_lineCollection = nullptr;  // not retained
};

#endif
