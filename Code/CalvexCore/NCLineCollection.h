// The ordered lines of one document; a line's index always equals its position.
#ifndef NUMBERA_CORE_NC_LINE_COLLECTION_H
#define NUMBERA_CORE_NC_LINE_COLLECTION_H

#include <cstdint>
#include <memory>
#include <mutex>
#include <vector>

#include "NCEnvironment.h"
#include "NCLine.h"
#include "NCTrigonometryMode.h"

class NCLineCollection {
  public:
    NCLineCollection() = default;
    ~NCLineCollection();
    NCLineCollection(const NCLineCollection&) = delete;
    NCLineCollection& operator=(const NCLineCollection&) = delete;

    // The environment its lines are evaluated in; none means the current one.
    std::shared_ptr<NCEnvironment> environment() const;
    void setEnvironment(std::shared_ptr<NCEnvironment> environment);
    NCTrigonometryMode trigonometryMode() const { return _trigonometryMode; }
    void setTrigonometryMode(NCTrigonometryMode mode) { _trigonometryMode = mode; }

    uint64_t countOfLines() const;
    // Null outside the collection.
    std::shared_ptr<NCLine> lineAtIndex(uint64_t index) const;
    void addLine(std::shared_ptr<NCLine> line);
    // The line leaves with its link to the collection cleared, so a copy held elsewhere never
    // reports changes here.
    void removeLineAtIndex(uint64_t index);
    void removeAllLines();

    // A line's text changed: its change is processed at once.
    void registerExpressionChangeForLineAtIndex(uint64_t index);
    void enqueEvaluationOfLine(NCLine& line);

  private:
    mutable std::mutex mutex;  // guards the line array
    std::vector<std::shared_ptr<NCLine>> i_lines;
    std::shared_ptr<NCEnvironment> _environment;
    NCTrigonometryMode _trigonometryMode = 0;
};

#endif
