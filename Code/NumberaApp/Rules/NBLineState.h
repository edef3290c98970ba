// The state of one line kept for window restoration: its trigonometry mode, its text alignment
// and a copy of its custom result formatting options. Archived flat: the options' own keys go
// under "resultFormattingOptions." so that one keyed archive holds the whole line state.
#ifndef NUMBERA_APP_RULES_NB_LINE_STATE_H
#define NUMBERA_APP_RULES_NB_LINE_STATE_H

#include <cstdint>
#include <memory>

#include "NSKeyedArchive.h"

class NCExpressionFormattingOptions;
class NCLine;
class NCResultFormattingOptions;

class NBLineState {
  public:
    // As made from no line: no options of either kind.
    NBLineState() = default;
    // Copies the line's index, trigonometry mode and custom formatting options; keeps (shares)
    // its expression formatting options.
    static NBLineState initFromLine(const NCLine* line);
    // Sets the line's alignment (when there are expression options), its trigonometry mode and
    // (when there are result options) has its custom options take their values.
    void applyToLine(NCLine& line) const;

    void encodeWithCoder(NSKeyedArchive& coder) const;
    static NBLineState initWithCoder(const NSKeyedArchive& coder);

    int64_t index() const { return m_index; }
    int32_t trigonometryMode() const { return m_trigonometryMode; }
    const std::shared_ptr<NCResultFormattingOptions>& resultFormattingOptions() const {
        return m_resultFormattingOptions;
    }
    const std::shared_ptr<NCExpressionFormattingOptions>& expressionFormattingOptions() const {
        return m_expressionFormattingOptions;
    }

  private:
    int64_t m_index = -1;
    int32_t m_trigonometryMode = 0;
    std::shared_ptr<NCResultFormattingOptions> m_resultFormattingOptions;
    std::shared_ptr<NCExpressionFormattingOptions> m_expressionFormattingOptions;
};

#endif
