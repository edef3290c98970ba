#include "NKResultFormattingHelper.h"

#include "NCResultFormatter.h"
#include "NCUnit.h"
#include "NKFunctions.h"

std::shared_ptr<NCResultFormattingOptions>
NKResultFormattingHelper::bestResultFormattingOptionsForLine(NCLine& line) {
    if (!line.formattingOptions()) return nullptr;
    std::shared_ptr<NCResultFormattingOptions> options = line.formattingOptions()->copy();
    std::shared_ptr<NCResult> result = line.result();
    if (result && result->unit()) {
        std::optional<std::u16string> code =
            result->unit()->nameForFormat(NCUnitNameFormatVeryShortName);
        if (code && (*code == u"JPY" || *code == u"IDR")) options->setDecimalPlaces(0);
    }
    return options;
}

std::optional<std::u16string> NKResultFormattingHelper::formattedResultForLine(NCLine& line) {
    std::shared_ptr<NCResult> result = line.result();
    if (!result) return std::nullopt;
    std::shared_ptr<NCResultFormattingOptions> options = bestResultFormattingOptionsForLine(line);
    return NCResultFormatter::sharedInstance().stringValueForResult(result.get(), options.get());
}

std::optional<NSAttributedString> NKResultFormattingHelper::attributedFormattedResultForLine(
    NCLine& line, const NSAttributes& attributes) {
    std::shared_ptr<NCResult> result = line.result();
    if (!result) return std::nullopt;
    if (result->resultType() == NCResultTypeError)
        return NSAttributedString(errorStringForNCResultErrorType(result->errorType()), attributes);
    if (result->resultType() == NCResultTypeValue) {
        std::shared_ptr<NCResultFormattingOptions> options =
            bestResultFormattingOptionsForLine(line);
        // The normal format in parts: an exponent raised, the base string and exponent at their
        // scales. Degrees and fractions have no parts and are shown as they are.
        const NCDisplayFormat format = options ? options->displayFormat() : NCDisplayFormatNormal;
        if (options &&
            (format == NCDisplayFormatNormal || format == NCDisplayFormatSpacedGroupsOfFour))
            if (std::optional<NSAttributedString> text =
                    NCResultFormatter::sharedInstance().attributedStringValueForResult(
                        result.get(), options.get(), attributes))
                return text;
        std::optional<std::u16string> text = formattedResultForLine(line);
        if (!text) return std::nullopt;
        return NSAttributedString(*text, attributes);
    }
    return std::nullopt;
}
