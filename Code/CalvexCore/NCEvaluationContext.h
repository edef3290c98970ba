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
        : m_indexPath(std::move(indexPath)),
          m_lineCollection(lineCollection),
          m_lineIndex(lineIndex) {}

    const std::shared_ptr<NCIndexPath>& indexPath() const { return m_indexPath; }
    void setIndexPath(std::shared_ptr<NCIndexPath> path) { m_indexPath = std::move(path); }
    NCLineCollection* lineCollection() const { return m_lineCollection; }
    void setLineCollection(NCLineCollection* collection) { m_lineCollection = collection; }
    int64_t lineIndex() const { return m_lineIndex; }
    void setLineIndex(int64_t index) { m_lineIndex = index; }
    // The line index whose variable values are read; the line's own unless set.
    int64_t variableScopeIndex() const { return m_variableScopeIndex.value_or(m_lineIndex); }
    void setVariableScopeIndex(int64_t index) { m_variableScopeIndex = index; }
    int64_t evaluatorError() const { return m_evaluatorError; }
    void setEvaluatorError(int64_t error) { m_evaluatorError = error; }

  private:
    std::shared_ptr<NCIndexPath> m_indexPath;
    NCLineCollection* m_lineCollection = nullptr;  // not retained
    int64_t m_lineIndex = 0;
    std::optional<int64_t> m_variableScopeIndex;
    int64_t m_evaluatorError = 0;
};

#endif
