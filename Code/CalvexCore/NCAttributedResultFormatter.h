// Gives a formatted answer its attributes: the whole text in the base attributes, and in
// scientific notation the base string and the exponent at their scaled sizes, the exponent
// raised.
#ifndef NUMBERA_CORE_NC_ATTRIBUTED_RESULT_FORMATTER_H
#define NUMBERA_CORE_NC_ATTRIBUTED_RESULT_FORMATTER_H

#include <cstdint>
#include <memory>
#include <string>

#include "NCResultFormattingOptions.h"
#include "NSAttributedString.h"
#include "NSRange.h"

class NCAttributedResultFormatter {
  public:
    const std::shared_ptr<const NCResultFormattingOptions>& options() const { return m_options; }
    void setOptions(std::shared_ptr<const NCResultFormattingOptions> options) {
        m_options = std::move(options);
    }

    // Ranges: the mantissa, then (with three) the base string and the exponent. Ranges that
    // reach past the text are cut at its end.
    NSAttributedString formatResultString(const std::u16string& string, const NSRange* ranges,
                                          uint64_t rangeCount,
                                          const NSAttributes& normalAttributes) const;

  private:
    std::shared_ptr<const NCResultFormattingOptions> m_options;
};

#endif
