// Evaluates one line and stores its answer: plain text gets the empty answer, an empty
// evaluable part a raw answer without text, anything else its evaluation in the line's
// environment as the line at its index.
#ifndef NUMBERA_CORE_NC_LINE_EVALUATOR_H
#define NUMBERA_CORE_NC_LINE_EVALUATOR_H

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "NCEnvironment.h"
#include "NCIndex.h"

class NCLine;

class NCLineEvaluator {
  public:
    // The precision at which line variables take their values from results.
    static constexpr int32_t evaluationPrecision() { return 102; }
    // How many lines may be evaluated inside one another through line references whose
    // targets had no answer yet.
    static constexpr size_t maximumEvaluationDepth() { return 16; }
    // The longest line text (in UTF-16 units) that is read and evaluated. A line costs about a
    // kilobyte per character while it is tokenised, parsed and shown, so a pasted or hostile
    // megabyte of "1+1+..." would take a gigabyte; no line typed in real work comes near ten
    // thousand characters. A longer line is shown as text, its answer an error, and keeps its
    // text whole.
    static constexpr size_t maximumEvaluatedLineLength() { return 10000; }
    // Whether the text is longer than a line that is evaluated.
    static bool isOverlongText(const std::optional<std::u16string>& text) {
        return text && text->size() > maximumEvaluatedLineLength();
    }

    static void evaluateLine(NCLine& line);
    // Inside the evaluation of the lines on the path (a line reference's target evaluated on
    // demand). The error slot (may be null) receives the evaluator error.
    static void evaluateLine(NCLine& line, NCIndexPath* path, int64_t* error);

    // One pass over lines whose answers are out of date, in dependency order: every answer is
    // dropped before any is computed, so a reference among them never reads an old answer and a
    // cycle among them is found whatever answers its members held.
    static void evaluateLines(const std::vector<std::shared_ptr<NCLine>>& lines);

    // The line's collection's environment, else the current one.
    static std::shared_ptr<NCEnvironment> environmentForLine(const NCLine& line);
};

#endif
