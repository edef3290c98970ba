// A line's answer as the answer column shows it: its own options, except that currencies
// without minor units (yen, rupiah) are shown without decimal places.
#ifndef NUMBERA_KIT_NK_RESULT_FORMATTING_HELPER_H
#define NUMBERA_KIT_NK_RESULT_FORMATTING_HELPER_H

#include <memory>
#include <optional>
#include <string>

#include "NCLine.h"
#include "NCResultFormattingOptions.h"
#include "NSAttributedString.h"

class NKResultFormattingHelper {
  public:
    // A copy of the line's options; none for a line without options.
    static std::shared_ptr<NCResultFormattingOptions> bestResultFormattingOptionsForLine(
        NCLine& line);
    static std::optional<std::u16string> formattedResultForLine(NCLine& line);
    // An error shows its message; a value its formatted text, scientific notation in its
    // parts (base string and exponent at the options' scales, the exponent raised); anything
    // else is none.
    static std::optional<NSAttributedString> attributedFormattedResultForLine(
        NCLine& line, const NSAttributes& attributes);
};

#endif
