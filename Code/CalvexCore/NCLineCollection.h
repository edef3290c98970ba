// The ordered lines of one document; a line's index always equals its position.
#ifndef NUMBERA_CORE_NC_LINE_COLLECTION_H
#define NUMBERA_CORE_NC_LINE_COLLECTION_H

#include <cstdint>
#include <memory>
#include <mutex>
#include <vector>

#include "NCLine.h"

class NCLineCollection {
  public:
    NCLineCollection() = default;
    ~NCLineCollection();
    NCLineCollection(const NCLineCollection&) = delete;
    NCLineCollection& operator=(const NCLineCollection&) = delete;

    uint64_t countOfLines() const;
    // Null outside the collection.
    std::shared_ptr<NCLine> lineAtIndex(uint64_t index) const;
    void addLine(std::shared_ptr<NCLine> line);
    void removeAllLines();

  private:
    mutable std::mutex mutex;  // guards the line array
    std::vector<std::shared_ptr<NCLine>> i_lines;
};

#endif
