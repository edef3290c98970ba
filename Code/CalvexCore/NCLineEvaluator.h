// Evaluates one line and stores its answer: plain text gets the empty answer, an empty
// evaluable part a raw answer without text, anything else its evaluation in the line's
// environment as the line at its index.
#ifndef NUMBERA_CORE_NC_LINE_EVALUATOR_H
#define NUMBERA_CORE_NC_LINE_EVALUATOR_H

#include <cstddef>
#include <cstdint>
#include <memory>

#include "NCEnvironment.h"
#include "NCIndex.h"

class NCLine;

class NCLineEvaluator {
  public:
    // The precision at which line variables take their values from results.
    static constexpr int32_t evaluationPrecision() { return 102; }
    // How many lines may be evaluated inside one another through line references whose
    // targets had no answer yet.
    static constexpr size_t maximumEvaluationDepth() { return 32; }

    static void evaluateLine(NCLine& line);
    // Inside the evaluation of the lines on the path (a line reference's target evaluated on
    // demand). The error slot (may be null) receives the evaluator error.
    static void evaluateLine(NCLine& line, NCIndexPath* path, int64_t* error);

    // The line's collection's environment, else the current one.
    static std::shared_ptr<NCEnvironment> environmentForLine(const NCLine& line);
};

#endif
