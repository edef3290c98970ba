// What the evaluation of one line carries to the functions it calls: the path of lines being
// evaluated (to catch cycles), the line collection, the line's index and an error slot that a
// function may set.
#ifndef NUMBERA_CORE_NC_EVALUATION_CONTEXT_H
#define NUMBERA_CORE_NC_EVALUATION_CONTEXT_H

#include <cstdint>
#include <memory>
#include <optional>

#include "NCIndex.h"

class NCLineCollection;

class NCEvaluationContext {
public:
    NCEvaluationContext() = default;
    NCEvaluationContext(std::shared_ptr<NCIndexPath> indexPath, NCLineCollection* lineCollection,
                        int64_t lineIndex)
        : _indexPath(std::move(indexPath)), _lineCollection(lineCollection), _lineIndex(lineIndex) {}

    const std::shared_ptr<NCIndexPath>& indexPath() const { return _indexPath; }
    void setIndexPath(std::shared_ptr<NCIndexPath> path) { _indexPath = std::move(path); }
    NCLineCollection* lineCollection() const { return _lineCollection; }
    void setLineCollection(NCLineCollection* collection) { _lineCollection = collection; }
    int64_t lineIndex() const { return _lineIndex; }
    void setLineIndex(int64_t index) { _lineIndex = index; }
    // The line index whose variable values are read; the line's own unless set.
    int64_t variableScopeIndex() const { return _variableScopeIndex.value_or(_lineIndex); }
    void setVariableScopeIndex(int64_t index) { _variableScopeIndex = index; }
    int64_t evaluatorError() const { return _evaluatorError; }
    void setEvaluatorError(int64_t error) { _evaluatorError = error; }

private:
    std::shared_ptr<NCIndexPath> _indexPath;
    NCLineCollection* _lineCollection = nullptr;  // not retained
    int64_t _lineIndex = 0;
    std::optional<int64_t> _variableScopeIndex;
    int64_t _evaluatorError = 0;
};

#endif
