// The options a line's answer is actually shown with: its own options adjusted to the answer,
// so percentages show a sensible number of digits and money shows cents and its currency.
#ifndef NUMBERA_CORE_NC_RESULT_FORMATTING_OPTIONS_CONTEXTUALIZER_H
#define NUMBERA_CORE_NC_RESULT_FORMATTING_OPTIONS_CONTEXTUALIZER_H

#include <memory>

#include "NCResult.h"
#include "NCResultFormattingOptions.h"

class NCResultFormattingOptionsContextualizer {
  public:
    bool enableAutoPrecision() const { return m_enableAutoPrecision; }
    void setEnableAutoPrecision(bool on) { m_enableAutoPrecision = on; }

    // A changed copy; the given options stay untouched. None for no options.
    std::shared_ptr<NCResultFormattingOptions> contextualizedOptions(
        const std::shared_ptr<NCResultFormattingOptions>& options, const NCResult* result) const;

  private:
    bool m_enableAutoPrecision = true;
};

#endif
