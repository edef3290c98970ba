// The document window's rules that need no toolkit: the statistics bar's labels, detail and
// values, and the step by which the line-number column follows the width its numbers need.
#ifndef NUMBERA_APP_RULES_NB_DOCUMENT_WINDOW_RULES_H
#define NUMBERA_APP_RULES_NB_DOCUMENT_WINDOW_RULES_H

#include <cstdint>
#include <string>

#include "NBUserDefaultsKeys.h"
#include "NSAttributedString.h"
#include "NSIndexSet.h"

class NCLineCollectionStatistics;

// Statistic types: the tags of the statistics menu and the values of "NBChosenStatistic".
enum : int32_t {
    NBStatisticNone = 0,
    NBStatisticTotal = 1,
    NBStatisticAverage = 2,
    NBStatisticVariance = 3,
    NBStatisticStandardDeviation = 4,
};

// Localised. Representation 0 is the short form of the standard deviation, 1 the usual, 2 the
// long one; type 0 is a single space; unknown types and representations are empty. With the
// range and two or more key lines, " of lines 2-4" follows (lines counted from 1).
std::u16string statisticsLabelForType(int32_t type, int32_t representation, bool includeRange,
                                      const NSIndexSet& keyLines);
// " (Lines 2-4)" for two or more key lines, " (selection)" when that would be 19 characters
// or longer; empty for fewer lines.
std::u16string statisticsSelectionDetail(const NSIndexSet& keyLines);
// The statistic of the whole collection with fewer than two key lines, else of those lines,
// in the user's default formatting. Evaluatable text ("×10^" exponents) can be pasted into a
// line; the other raises its exponents. Empty without a value.
std::u16string statisticValueForType(NCLineCollectionStatistics& statistics, int32_t type,
                                     const NSIndexSet& keyLines, bool mustBeEvaluatable);
// The statistic as the bar shows it, worked out once: the text with superscript exponent
// characters, and the same value in the attributes with the exponent raised and the base
// string and exponent at the default scales. Both empty without a value.
struct NBStatisticValue {
    std::u16string text;
    NSAttributedString attributed;
};
NBStatisticValue statisticDisplayValueForType(NCLineCollectionStatistics& statistics, int32_t type,
                                              const NSIndexSet& keyLines,
                                              const NSAttributes& attributes);

// The number column's width after one redraw: 8 wider while narrower than needed, 8 narrower
// while more than 8 wider than needed, else unchanged, so repeated redraws converge.
double numberLineNextWidth(double neededWidth, double currentWidth);
// The text measured for a column of that many lines: a single line is measured as "2".
std::u16string numberLineMeasuredText(uint64_t lineCount);

#endif
