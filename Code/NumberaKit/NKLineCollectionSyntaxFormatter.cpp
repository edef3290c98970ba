#include "NKLineCollectionSyntaxFormatter.h"

#include <algorithm>
#include <cinttypes>

#include "NCLineEvaluator.h"
#include "NCLineExpressionParser.h"
#include "NCParsedExpression.h"
#include "NKLog.h"

std::shared_ptr<NCParsedExpression> NKParsedExpressionOfLine(NCLine& line) {
    if (!line.isParsed() && line.lineExpression())
        NCLineExpressionParser(NCLineEvaluator::environmentForLine(line))
            .parseLineExpression(*line.lineExpression());
    return line.parsedExpression();
}

void NKLineCollectionSyntaxFormatter::formatLinesAtIndexes(const NSIndexSet& indexes,
                                                           const NSAttributedString& source,
                                                           NSAttributedString& destination,
                                                           void* contextInfo) {
    if (!m_delegate) {
        NKLog("Error: syntax formatter requires a delegate to proceed");
        return;
    }
    // Later source ranges move only when the delegate writes into the source itself.
    const bool inPlace = &source == &destination;
    int64_t destinationShift = 0;
    int64_t sourceShift = 0;
    const uint64_t count = m_lineCollection ? m_lineCollection->countOfLines() : 0;
    auto shifted = [](uint64_t location, int64_t shift) {
        return static_cast<uint64_t>(static_cast<int64_t>(location) + shift);
    };

    for (uint64_t index : indexes.indexes()) {
        if (index >= count) {
            NKLog("Warning! Text view being asked to reformat line %" PRIu64
                  " which is beyond the count",
                  index);
            return;
        }
        std::shared_ptr<NCLine> line = m_lineCollection->lineAtIndex(index);
        if (!line) return;
        NSRange lineRange = m_delegate->rangeOfLineAtIndex(index, contextInfo);
        const bool cut = m_lengthShown && lineRange.length > *m_lengthShown;
        if (cut) lineRange.length = *m_lengthShown;
        const int64_t destinationShiftBefore = destinationShift;
        const int64_t sourceShiftBefore = sourceShift;
        auto track = [&](uint64_t lengthBefore) {
            const int64_t growth =
                static_cast<int64_t>(destination.length()) - static_cast<int64_t>(lengthBefore);
            destinationShift += growth;
            if (inPlace) sourceShift += growth;
        };

        uint64_t before = destination.length();
        m_delegate->preFormatLine(
            *line, {shifted(lineRange.location, sourceShift), lineRange.length}, source,
            destination, {shifted(lineRange.location, destinationShift), lineRange.length},
            contextInfo);
        track(before);

        std::shared_ptr<NCParsedExpression> parsed = NKParsedExpressionOfLine(*line);
        const NCExpressionTokenArray tokens = parsed ? parsed->tokens() : NCExpressionTokenArray();
        for (const std::shared_ptr<NCExpressionToken>& token : tokens) {
            NSRange range = m_useHighLevelLocations ? token->highLevelRange() : token->range();
            range.location += lineRange.location;
            if (cut) {
                const uint64_t end = lineRange.location + lineRange.length;
                if (range.location >= end) continue;
                range.length = std::min(range.length, end - range.location);
            }
            if (range.location + range.length > lineRange.location + lineRange.length) {
                NKLog(
                    "Warning! Critical error with formatLines: the expression parser is giving "
                    "us a token range ({%" PRIu64 ", %" PRIu64
                    "}) that goes beyond the range "
                    "of the line ({%" PRIu64 ", %" PRIu64
                    "}). This probably indicates a line "
                    "reference has detokenized into its functional form.",
                    range.location, range.length, lineRange.location, lineRange.length);
                continue;
            }
            before = destination.length();
            m_delegate->formatToken(*token, {shifted(range.location, sourceShift), range.length},
                                    source, line->index(), destination,
                                    {shifted(range.location, destinationShift), range.length},
                                    contextInfo);
            track(before);
        }

        const int64_t lineGrowth = destinationShift - destinationShiftBefore;
        const uint64_t currentLength =
            static_cast<uint64_t>(static_cast<int64_t>(lineRange.length) + lineGrowth);
        if (currentLength != 0) {
            before = destination.length();
            m_delegate->postFormatLine(
                *line,
                {shifted(lineRange.location, sourceShiftBefore),
                 inPlace ? currentLength : lineRange.length},
                source, destination,
                {shifted(lineRange.location, destinationShiftBefore), currentLength}, contextInfo);
            track(before);
        }
    }
}
